#include "game/floor/noisering.h"

#include "engine/platform/platform.h"
#include "engine/render/texture.h"
#include "engine/text/textgraphic.h"
#include "engine/window/stringtable.h"
#include "game/floor/floorart.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.1415927f;
constexpr float kFadeStart = 0.8f;  // of the range: the ring fades over the last fifth
constexpr float kArcStep = 15.0f;   // pixels between the images of one quarter

}  // namespace

TNoiseRing::TNoiseRing(TVec2 centre, float rangeX, float rangeY, float yFactor, bool smooch)
    : mCentre(centre), mYFactor(yFactor), mRangeX(rangeX), mRangeY(rangeY), mSmooch(smooch)
{
    mRingImage = TTexture::Get("ui/noisering", 0);
    if (!mSmooch)
        return;
    if (mSmoochAnimation.Init("ui/smooch.anm", "", "")) {
        mSmoochAnimation.SetClock(floorart::GameClock());
        mSmoochAnimation.Play("DoAnim", false);
    }
    TPlatform* platform = TPlatform::GetInstance();
    TStringTable* strings = platform ? platform->GetStringTable() : nullptr;
    const str caption = strings ? strings->GetString("smooch", "", "", "", "", "") : str("smooch");
    mCaption = TTextGraphic::Create(caption, 200, 200,
                                    TTextGraphic::kHAlignCenter | TTextGraphic::kVAlignCenter,
                                    "assets/fonts/corona.mvec", 30, TColor{1, 1, 1, 1});
}

TNoiseRing::~TNoiseRing()
{
    TTextGraphic::Destroy(mCaption);
}

bool TNoiseRing::Update(float dt, const std::list<TEatingStation*>& tables)
{
    if (dt <= 0)
        return true;
    mAge += dt;
    const float before = mRadiusX;
    const bool trueStep = !mToggle;
    // Every other update takes the true size; the one between goes halfway,
    // so the drawn ring grows smoothly at a low frame rate.
    if (trueStep) {
        mSavedRadius = before;
        mRadiusX = mAge * kGrowthPerSecond;
    } else {
        mRadiusX = mSavedRadius + (before - mSavedRadius) * 0.5f;
    }
    mToggle = !mToggle;

    mRadiusX = std::min(mRadiusX, mRangeX);
    // A type without noise has no range: nothing to scale or fade by.
    if (mRangeX != 0) {
        mRadiusY = mRangeY / mRangeX * mRadiusX * mYFactor;
        const float t = mRadiusX / mRangeX;
        mAlpha = t >= kFadeStart ? 1.0f - (t - kFadeStart) / (1.0f - kFadeStart) : 1.0f;
    }

    if (mPass == 1 && mRadiusX != before && trueStep) {
        for (TEatingStation* table : tables)
            if (table)
                HearNoiseRing(table, *this);
        mPrevRadiusX = mRadiusX;
        mPrevRadiusY = mRadiusY;
    }

    if (mRadiusX >= mRangeX) {
        ++mPass;
        if (mPass >= 2)
            return false;
        mAge = 0;
        mToggle = false;
        mRadiusX = 0;
        mSavedRadius = 0;
    }
    return true;
}

int TNoiseRing::SweptInto(const TRect& box) const
{
    struct Extreme {
        float dx, dy;  // unit direction
        float now, before;
    };
    const Extreme extremes[4] = {{1, 0, mRadiusX, mPrevRadiusX},
                                 {-1, 0, mRadiusX, mPrevRadiusX},
                                 {0, 1, mRadiusY, mPrevRadiusY},
                                 {0, -1, mRadiusY, mPrevRadiusY}};
    int swept = 0;
    for (const Extreme& e : extremes) {
        if (e.now <= e.before)
            continue;
        const TPoint now{static_cast<int>(mCentre.x + e.dx * e.now), static_cast<int>(mCentre.y + e.dy * e.now)};
        const TPoint was{static_cast<int>(mCentre.x + e.dx * e.before), static_cast<int>(mCentre.y + e.dy * e.before)};
        if (box.Contains(now) && !box.Contains(was))
            ++swept;
    }
    return swept;
}

void TNoiseRing::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->Begin2d())
        return;
    if (mRingImage && mRingImage->GetHeight() > 0) {
        DrawQuarter(mRadiusX, 0, {1, 0});
        DrawQuarter(mRadiusX, kPi, {-1, 0});
        DrawQuarter(mRadiusY, kPi / 2, {0, 1});
        DrawQuarter(mRadiusY, -kPi / 2, {0, -1});
    }
    if (mSmooch)
        mSmoochAnimation.Draw(mCentre.x, mCentre.y - 10, 1.0f, 1.0f, 0, 0);
    platform->End2d();
}

void TNoiseRing::DrawQuarter(float extent, float rotation, TVec2 direction)
{
    const float height = static_cast<float>(mRingImage->GetHeight());
    for (float r = extent; r > 0; r -= kArcStep)
        mRingImage->DrawSprite(mCentre.x + direction.x * r, mCentre.y + direction.y * r, mAlpha, r / height, rotation,
                               0);
}
