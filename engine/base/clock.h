// A pausable millisecond clock over the engine timer (qm::Timer). A group of
// timed tasks can share one clock, so pausing it freezes all of them. A clock
// may run at a rate of its own (tests play game time faster than real time,
// or slower on a busy machine); the timer itself never changes pace.
#pragma once

#include <cstdint>

class TClock {
public:
    TClock() = default;
    virtual ~TClock() = default;

    // Starts a clock that is paused: the first start runs from 0, a later one
    // resumes from the frozen time. No effect while running.
    void Start();

    // Freezes the time; returns whether the clock was already paused.
    bool Pause();

    // The running time in ms (the frozen time while paused), wrapping.
    std::uint32_t GetTime() const;

    // Sets the current time; the paused state is unchanged.
    void SetTime(unsigned long ms);

    // Back to 0 and paused.
    void Reset();

    bool IsPaused() const { return mPaused; }

    // From now on the clock advances `rate` / `divisor` ms per timer ms (a
    // zero in either counts as 1); the time so far and the paused state are
    // kept.
    void SetRate(std::uint32_t rate, std::uint32_t divisor = 1);
    // The rate rounded up to a whole number, at least 1: how many timer
    // steps' worth of clock time one timer step can hold.
    std::uint32_t GetRate() const { return (mRate + mDivisor - 1) / mDivisor; }

private:
    std::uint32_t runningTime() const;

    bool mPaused = true;
    bool mStarted = false;
    std::uint32_t mStart = 0;
    std::uint32_t mBase = 0;
    std::uint32_t mFrozen = 0;
    std::uint32_t mPausedTotal = 0;
    std::uint32_t mRate = 1;
    std::uint32_t mDivisor = 1;
};
