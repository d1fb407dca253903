#include "engine/base/animtask.h"

#include "engine/base/clock.h"
#include "engine/base/debuglog.h"
#include "engine/base/timesource.h"

TAnimTask::TAnimTask(TClock* clock)
    : mClock(clock)
{
    mDue = now();
}

std::uint32_t TAnimTask::now() const
{
    return mClock ? mClock->GetTime() : qm::Timer();
}

int TAnimTask::SetDelay(int ms, bool repeat, bool fromNow, bool catchUp)
{
    mFromNow = fromNow;
    mCatchUp = catchUp;
    mPeriod = repeat ? static_cast<std::uint32_t>(ms) : 0;
    std::uint32_t delay = static_cast<std::uint32_t>(ms);
    if (!fromNow && !IsPaused())
        mDue += delay;
    else
        mDue = now() + delay;
    return static_cast<int>(mPeriod);
}

void TAnimTask::Pause()
{
    mDue = kPaused;
    mDrawPass = false;
}

bool TAnimTask::Ready(ETaskContext context)
{
    if (!IsPaused() && qm::TimeDiff(now(), mDue) >= 0)
        return true;
    return context == kDrawContext && mDrawPass;
}

bool TAnimTask::DoTask()
{
    const std::uint32_t current = now();
    std::int32_t late = qm::TimeDiff(current, mDue);
    if (late >= kLargeBackupMs) {
        WriteDbg("LARGE Backup: %d", late);
        mDue = current;
    }
    for (;;) {
        mDue = mFromNow ? current + mPeriod : mDue + mPeriod;
        if (!Animate())
            return false;
        // Catching up needs a period to advance by (period 0 would repeat
        // forever) and a schedule that Animate left running.
        if (!mCatchUp || mPeriod == 0 || IsPaused())
            return true;
        if (qm::TimeDiff(current, mDue) <= 0)
            return true;
    }
}

int TAnimTask::GetTimeUntilReady() const
{
    if (IsPaused())
        return -1;
    return qm::TimeDiff(now(), mDue);
}

void TAnimTask::SetClock(TClock* clock)
{
    if (IsPaused()) {
        mClock = clock;
        return;
    }
    std::uint32_t remaining = mDue - now();
    mClock = clock;
    mDue = now() + remaining;
}
