// The engine's millisecond time source. Tasks and clocks read the time
// through qm::Timer() so that a test can drive them with a fake clock and
// the platform can put its own timer (milliseconds since start-up) in place.
//
// Times are unsigned 32-bit milliseconds that wrap modulo 2^32; compare two
// of them by their signed difference, never with < or >.
#pragma once

#include <cstdint>
#include <functional>

namespace qm {

using TTimeSource = std::function<std::uint32_t()>;

// The current time of the installed source (the monotonic clock by default).
std::uint32_t Timer();

// Installs a time source; an empty function restores the default.
void SetTimeSource(TTimeSource source);

// CLOCK_MONOTONIC in milliseconds, wrapped to 32 bits. Never goes back when
// the wall clock is set.
std::uint32_t MonotonicMilliseconds();

// The signed distance from `from` to `to` on the wrapping 32-bit clock.
inline std::int32_t TimeDiff(std::uint32_t to, std::uint32_t from)
{
    return static_cast<std::int32_t>(to - from);
}

}  // namespace qm
