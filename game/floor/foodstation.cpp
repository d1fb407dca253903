#include "game/floor/foodstation.h"

#include "game/floor/floorart.h"
#include "game/floor/floorview.h"
#include "game/floor/quessa.h"
#include "game/rules/tutorial.h"

#include <algorithm>

TFoodStation::TFoodStation(float cookTime, float staleTime, float perOrderDelay, TPoint position)
    : mPosition(position), mCookTime(cookTime), mStaleTime(staleTime), mPerOrderDelay(perOrderDelay)
{
    mPoof.Init("ui/foodpoof.anm", "", "");
    mPoof.SetClock(floorart::GameClock());
    mReadySounds = {floorart::LoadSound("audio/sfx/sfx_food_ready_1_snd.ogg"),
                    floorart::LoadSound("audio/sfx/sfx_food_ready_2_snd.ogg")};
    mPickupSound = floorart::LoadSound("audio/sfx/sfx_pickup_food_1_snd.ogg");
}

TFoodStation::~TFoodStation() = default;

void TFoodStation::PlaceOrder(int tableNumber, int ordersCooking)
{
    mActive = true;
    mTableNumber = tableNumber;
    mTimer = -(float(ordersCooking) * mPerOrderDelay);
}

int TFoodStation::Staleness() const
{
    if (mStaleTime <= 0)
        return 0;
    if (mTimeSinceReady > mStaleTime)
        return 2;
    return int(2.0f * mTimeSinceReady / mStaleTime);
}

void TFoodStation::Update(float dt, TTutorial* tutorial)
{
    const bool wasReady = IsOrderReady();
    mTimer += dt;
    mTimeSinceReady += dt;
    if (mActive && IsOrderReady() && !wasReady) {
        if (tutorial)
            tutorial->AdvanceState(kTutorialFoodReady, mTableNumber);
        floorart::PlayEither(mReadySounds);
        mPoof.Play("DoAnim", false);
        mTimeSinceReady = 0;
    }
}

void TFoodStation::Draw()
{
    const TVec2 at{float(mPosition.x), float(mPosition.y)};
    if (IsOrderReady())
        mTray.Draw(at, mTableNumber + 1);
    if (mPoof.IsPlaying())
        mPoof.Draw(at.x, at.y, 1.0f, 1.0f, 0.0f, 0);
}

bool TFoodStation::HitTest(const TPoint& point, TTutorial* tutorial, int* clickKind)
{
    if (clickKind)
        *clickKind = kClickOrdinary;
    if (tutorial && !tutorial->AllowAction(kTutorialFoodPickedUp, mTableNumber))
        return false;
    if (!IsOrderReady())
        return false;
    TRect box = mTray.BoundingBox();
    box.Offset(mPosition.x, mPosition.y);
    return box.Contains(point);
}

void ReorderFood(const std::vector<TFoodStation*>& kitchen, int tableNumber)
{
    const int cooking =
        int(std::count_if(kitchen.begin(), kitchen.end(), [](TFoodStation* s) { return s->IsCooking(); }));
    auto idle = std::find_if(kitchen.begin(), kitchen.end(), [](TFoodStation* s) { return !s->IsActive(); });
    if (idle != kitchen.end())
        (*idle)->PlaceOrder(tableNumber, cooking);
}

bool TFoodStation::ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int)
{
    if (!IsOrderReady())
        return false;
    if (!waitress->PickupItem(kCarryFood, mTableNumber, Staleness()))
        return false;
    if (rules.tutorial)
        rules.tutorial->AdvanceState(kTutorialFoodPickedUp, mTableNumber);
    floorart::Play(mPickupSound);
    mActive = false;
    return true;
}
