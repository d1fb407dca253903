// The optional frame-rate log: when LANTERNKIT_SHOWFPS is set (to anything;
// read on the first frame only) the frame rate over the last 15 frames is
// logged as "fps: %f" about once a second.
#pragma once

#include <cstdint>

class TFrameRateLog {
public:
    static constexpr int kFrames = 15;

    // Called once per drawn frame with the platform timer.
    void OnFrame(std::uint32_t now);

private:
    bool mChecked = false;
    bool mEnabled = false;
    std::uint32_t mTimes[kFrames] = {};
    int mNext = 0;
    std::uint32_t mLastLog = 0;
};
