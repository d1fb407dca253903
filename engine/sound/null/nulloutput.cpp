#include "engine/sound/null/nulloutput.h"

#include "engine/base/timesource.h"

#include <algorithm>

TNullAudioOutput::TNullAudioOutput(TMillisecondClock clock)
    : TAudioOutput(kDefaultRate),
      mClock(clock ? std::move(clock) : TMillisecondClock(qm::Timer)),
      mLast(mClock())
{
}

void TNullAudioOutput::SetPaused(bool paused)
{
    if (mPaused && !paused)
        mLast = mClock();  // the paused time does not count
    mPaused = paused;
}

void TNullAudioOutput::Update()
{
    uint32_t now = mClock();
    int32_t elapsed = static_cast<int32_t>(now - mLast);  // wraps modulo 2^32
    mLast = now;
    if (mPaused || elapsed <= 0)
        return;
    elapsed = std::min(elapsed, kMaxStepMs);
    mPendingMsTimesRate += static_cast<int64_t>(elapsed) * Mixer().Rate();
    int frames = static_cast<int>(mPendingMsTimesRate / 1000);
    mPendingMsTimesRate %= 1000;
    Mixer().Advance(frames);
}
