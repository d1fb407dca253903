// Frames really presented: the SDL back end counts each buffer swap as it
// returns, with the wall-clock time of the first and the latest. Benchmarks
// read them to time what a player sees rather than when drawing was asked
// for.
#pragma once

#include <chrono>
#include <cstdint>

struct TPresentStats {
    std::uint64_t swaps = 0;
    std::chrono::system_clock::time_point first;  // valid once swaps > 0
    std::chrono::system_clock::time_point latest;
};

namespace qm {

TPresentStats PresentStats();
// Called right after a buffer swap (main thread).
void CountPresent();

}  // namespace qm
