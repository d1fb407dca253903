#include "engine/base/timesource.h"

#include <ctime>
#include <utility>

namespace qm {

namespace {

TTimeSource& installedSource()
{
    static TTimeSource source;
    return source;
}

}  // namespace

std::uint32_t MonotonicMilliseconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    // Unsigned arithmetic wraps modulo 2^64; the cast keeps the low 32 bits.
    std::uint64_t ms = static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                       static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<std::uint32_t>(ms);
}

std::uint32_t Timer()
{
    const TTimeSource& source = installedSource();
    return source ? source() : MonotonicMilliseconds();
}

void SetTimeSource(TTimeSource source)
{
    installedSource() = std::move(source);
}

}  // namespace qm
