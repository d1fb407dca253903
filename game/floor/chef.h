// TChef: the cook behind the counter, always at his place; he stirs while
// anything cooks and his intensity (0-1) warms up and winds down with it.
#pragma once

#include "engine/script/animation.h"

#include <vector>

class TFoodStation;

class TChef {
public:
    TChef();
    virtual ~TChef() = default;

    void Reset();
    void Update(float dt, const std::vector<TFoodStation*>& foodStations);
    virtual void Draw();

    bool IsCooking() const { return mCooking; }
    float GetIntensity() const { return mIntensity; }
    bool IsMirrored() const { return mMirrored; }

private:
    TAnimation mAnimation;
    bool mCooking = false;
    bool mMirrored = false;
    float mIntensity = 0;
    TVec2 mPosition;
};
