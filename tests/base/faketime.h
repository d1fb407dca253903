// A fake engine timer for tests: installed for the life of the object.
#pragma once

#include "engine/base/timesource.h"

#include <cstdint>

struct FakeTime {
    std::uint32_t now;

    explicit FakeTime(std::uint32_t start = 1000) : now(start)
    {
        qm::SetTimeSource([this] { return now; });
    }
    ~FakeTime() { qm::SetTimeSource({}); }
    FakeTime(const FakeTime&) = delete;
    FakeTime& operator=(const FakeTime&) = delete;

    void Advance(std::uint32_t ms) { now += ms; }
};
