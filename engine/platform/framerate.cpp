#include "engine/platform/framerate.h"

#include "engine/base/debuglog.h"

#include <cstdlib>

void TFrameRateLog::OnFrame(std::uint32_t now)
{
    if (!mChecked) {
        mChecked = true;
        mEnabled = std::getenv("LANTERNKIT_SHOWFPS") != nullptr;
    }
    if (!mEnabled)
        return;
    mTimes[mNext] = now;
    mNext = (mNext + 1) % kFrames;
    if (mNext != 0 || now - mLastLog <= 1000)
        return;
    std::uint32_t elapsed = now - mTimes[0];
    if (elapsed == 0)
        return;  // fifteen frames within one millisecond: no meaningful rate
    float fps = 15000.0f / static_cast<float>(elapsed);
    mLastLog = now;
    WriteDbg("fps: %f", fps);
}
