#include "game/floor/chef.h"

#include "engine/render/animatedtexture.h"
#include "game/floor/floorart.h"
#include "game/floor/foodstation.h"

#include <algorithm>

namespace {

// Intensity per second of fading in or out.
constexpr float kFadeRate = 2.0f;

}  // namespace

TChef::TChef()
{
    mAnimation.Init(floorart::RestaurantArt("%speople/cook.anm"), "", "");
    mAnimation.SetClock(floorart::GameClock());
    mAnimation.Play("DoAnim", false);
    if (auto texture = mAnimation.GetAnimatedTexture()) {
        int x = 0, y = 0;
        texture->GetRegistrationPoint(&x, &y);
        mPosition = TVec2{float(x), float(y)};
    }
}

void TChef::Reset()
{
    mCooking = false;
    mIntensity = 0;
}

void TChef::Update(float dt, const std::vector<TFoodStation*>& foodStations)
{
    mCooking = std::any_of(foodStations.begin(), foodStations.end(), [](TFoodStation* s) { return s->IsCooking(); });
    mIntensity = std::clamp(mIntensity + (mCooking ? kFadeRate : -kFadeRate) * dt, 0.0f, 1.0f);
    if (!mAnimation.IsPlaying()) {
        mMirrored = !mMirrored;
        mAnimation.Play("DoAnim", false);
    }
}

void TChef::Draw()
{
    if (mIntensity > 0)
        mAnimation.Draw(mPosition.x, mPosition.y, mIntensity, 1.0f, 0.0f, mMirrored ? 1 : 0);
}
