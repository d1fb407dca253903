#include "game/floor/chef.h"

#include "engine/render/animatedtexture.h"
#include "game/floor/floorart.h"
#include "game/floor/foodstation.h"

#include <algorithm>

namespace {

// Intensity per second of warming to the work or winding down.
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
    if (mAnimation.IsPlaying())
        return;
    if (mIntensity > 0) {
        mMirrored = !mMirrored;
        mAnimation.Play("DoAnim", false);
    } else {
        mAnimation.SetCurrentFrame(0);  // waiting for an order, spoon at rest
    }
}

// The cook is always at his place, so a player sees where the orders go
// before the first one is cooked.
void TChef::Draw()
{
    mAnimation.Draw(mPosition.x, mPosition.y, 1.0f, 1.0f, 0.0f, mMirrored ? 1 : 0);
}
