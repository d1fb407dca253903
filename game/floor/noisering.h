// TNoiseRing: an expanding ellipse a noisy party sends out (a phone, a
// crying baby, an unhappy group) or a pair of lovebirds when they smooch.
// The first expansion only shows; during the second, each extreme point of
// the ring that sweeps into another seated party's table costs that party
// hearts: each table asks the ring what its step swept into
// (HearNoiseRing), so the ring knows nothing of a table.
// The game updates and draws every ring and deletes one whose Update
// returns false.
#pragma once

#include "engine/base/rect.h"
#include "engine/base/vec.h"
#include "engine/script/animation.h"

#include <list>
#include <memory>

class TEatingStation;
class TTexture;
class TTextGraphic;

class TNoiseRing {
public:
    static constexpr float kGrowthPerSecond = 200.0f;  // pixels

    TNoiseRing(TVec2 centre, float rangeX, float rangeY, float yFactor, bool smooch);
    ~TNoiseRing();
    TNoiseRing(const TNoiseRing&) = delete;
    TNoiseRing& operator=(const TNoiseRing&) = delete;

    // False when the ring has finished both expansions. At each step of
    // the second expansion every table hears the ring (HearNoiseRing),
    // whose SweptInto then tells what that step reached.
    bool Update(float dt, const std::list<TEatingStation*>& tables);
    // How many of the ring's four extreme points moved into `box` in the
    // step being swept.
    int SweptInto(const TRect& box) const;
    // Where the ring started (a table's noise point), as a point.
    TPoint GetSource() const { return {static_cast<int>(mCentre.x), static_cast<int>(mCentre.y)}; }
    bool IsSmooch() const { return mSmooch; }
    void Draw();

    TVec2 GetCentre() const { return mCentre; }
    float GetRadiusY() const { return mRadiusY; }
    float GetAlpha() const { return mAlpha; }

private:
    void DrawQuarter(float extent, float rotation, TVec2 direction);

    TVec2 mCentre;
    float mAge = 0;
    float mYFactor;
    float mRadiusX = 0, mRadiusY = 0;
    float mPrevRadiusX = 0, mPrevRadiusY = 0;
    float mRangeX, mRangeY;
    float mAlpha = 1.0f;
    float mSavedRadius = 0;
    int mPass = 0;
    bool mToggle = false;
    bool mSmooch;
    TAnimation mSmoochAnimation;
    std::shared_ptr<TTexture> mRingImage;
    TTextGraphic* mCaption = nullptr;  // owned; laid out, not drawn
};

// A table hearing a step of a ring (TEatingStation::HearRing). Defined with
// the tables, so that the ring calls on them without knowing them.
void HearNoiseRing(TEatingStation* table, const TNoiseRing& ring);
