// THostess: called by phone, she stands beside the host podium and starts a
// new charge whenever it is ready; when her time is over she leaves with the
// puff and the charge she started is dropped.
#pragma once

#include "engine/base/vec.h"
#include "engine/script/animation.h"

class TPodium;

class THostess {
public:
    THostess();

    void SetPodium(TPodium* podium) { mPodium = podium; }
    void Reset();
    void Activate(float seconds);
    // She has a podium to stand at, and it is on the floor this level.
    bool Available() const;
    void Update(float dt);
    void Draw();

    bool IsActive() const { return mActive; }
    float TimeLeft() const { return mTimeLeft; }
    TVec2 Position() const { return mPosition; }
    bool IsPoofPlaying() const { return mPoof.IsPlaying(); }

private:
    float mTimeLeft = 0;
    bool mActive = false;
    TAnimation mIdle;
    TPodium* mPodium = nullptr;  // not owned
    TVec2 mPosition;
    TAnimation mPoof;
    TVec2 mPoofPosition;
};
