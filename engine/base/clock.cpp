#include "engine/base/clock.h"

#include "engine/base/timesource.h"

std::uint32_t TClock::runningTime() const
{
    const std::uint64_t elapsed = static_cast<std::uint32_t>(qm::Timer() - mStart);
    return static_cast<std::uint32_t>(elapsed * mRate / mDivisor) + mBase - mPausedTotal;
}

void TClock::Start()
{
    if (!mPaused)
        return;
    mPaused = false;
    if (!mStarted) {
        mStarted = true;
        mStart = qm::Timer();
        mBase = mFrozen = mPausedTotal = 0;
        return;
    }
    // Whatever the running formula would add beyond the frozen time is the
    // time spent paused.
    mPausedTotal += runningTime() - mFrozen;
}

bool TClock::Pause()
{
    if (mPaused)
        return true;
    mFrozen = runningTime();
    mPaused = true;
    return false;
}

std::uint32_t TClock::GetTime() const
{
    return mPaused ? mFrozen : runningTime();
}

void TClock::SetTime(unsigned long ms)
{
    mStart = qm::Timer();
    mBase = mFrozen = static_cast<std::uint32_t>(ms);
    mPausedTotal = 0;
    // A time that was set counts as a start: the next Start resumes from it
    // instead of throwing it away and running from 0.
    mStarted = true;
}

void TClock::Reset()
{
    mStart = qm::Timer();
    mBase = mFrozen = mPausedTotal = 0;
    mPaused = true;
}

void TClock::SetRate(std::uint32_t rate, std::uint32_t divisor)
{
    // Rebased on the time so far, so that the new rate counts only from now.
    const std::uint32_t now = GetTime();
    mStart = qm::Timer();
    mBase = mFrozen = now;
    mPausedTotal = 0;
    mRate = rate > 0 ? rate : 1;
    mDivisor = divisor > 0 ? divisor : 1;
}
