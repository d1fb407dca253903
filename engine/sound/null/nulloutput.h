// The output of a machine without sound: nothing is heard, but streams move
// on with the clock, so their ends, chains and completions come as they would.
#pragma once

#include "engine/sound/audiooutput.h"

class TNullAudioOutput : public TAudioOutput {
public:
    // An empty clock means the engine's timer (qm::Timer).
    explicit TNullAudioOutput(TMillisecondClock clock = {});

    const char* Name() const override { return "null"; }
    void SetPaused(bool paused) override;
    bool IsPaused() const override { return mPaused; }

    // Advances every channel by the time since the previous update.
    void Update() override;

private:
    // A clock that jumps (a stopped debugger, a suspended machine) moves the
    // streams on by at most this much.
    static constexpr int32_t kMaxStepMs = 10000;

    TMillisecondClock mClock;
    uint32_t mLast;
    int64_t mPendingMsTimesRate = 0;  // time not yet turned into whole frames
    bool mPaused = false;
};
