// A pausable millisecond clock over the engine timer (qm::Timer). A group of
// timed tasks can share one clock, so pausing it freezes all of them.
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

private:
    std::uint32_t runningTime() const;

    bool mPaused = true;
    bool mStarted = false;
    std::uint32_t mStart = 0;
    std::uint32_t mBase = 0;
    std::uint32_t mFrozen = 0;
    std::uint32_t mPausedTotal = 0;
};
