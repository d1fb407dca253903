#include "game/floor/dishcart.h"

#include "engine/render/animatedtexture.h"
#include "game/floor/floorart.h"
#include "game/floor/quessa.h"
#include "game/rules/tutorial.h"

#include <cmath>

namespace {

constexpr int kRobotRestaurant = 4;
constexpr int kEmptyFrame = 0;
constexpr int kOneLoadFrame = 2;
constexpr int kFullFrame = 4;
// A full cart is emptied this long after its last load.
constexpr float kClearSeconds = 1.0f;

// The kinds thrown on the cart, in the order they leave her hands.
constexpr ECarryables kThrownAway[] = {kCarryDishes, kCarryDrink, kCarrySnack, kCarryDessert, kCarryFood};

}  // namespace

TDishCart::TDishCart(TPoint position) : mPosition(position)
{
    mCart.Init(floorart::RestaurantIndex() == kRobotRestaurant ? "furniture/dishcart_fancy.anm"
                                                                : "furniture/dishcart.anm",
               "", "");
    mCart.SetClock(floorart::GameClock());
    mCart.SetCurrentFrame(kEmptyFrame);
    mDishSounds = {floorart::LoadSound("audio/sfx/sfx_dish_dropoff_1_snd.ogg"),
                   floorart::LoadSound("audio/sfx/sfx_dish_dropoff_2_snd.ogg")};
    mDrinkSounds = {floorart::LoadSound("audio/sfx/sfx_dropoff_drinks_1.ogg"),
                    floorart::LoadSound("audio/sfx/sfx_dropoff_drinks_2.ogg")};
}

TDishCart::~TDishCart() = default;

void TDishCart::Reset()
{
    mLoadCount = 0;
    mFrame = kEmptyFrame;
    mCart.SetCurrentFrame(mFrame);
}

void TDishCart::ShowLoad()
{
    if (mLoadCount == 1) {
        mFrame = kOneLoadFrame;
    } else if (mLoadCount > 1) {
        mFrame = kFullFrame;
        mClearTimer = 0;
    }
    mCart.SetCurrentFrame(mFrame);
}

bool TDishCart::ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int)
{
    bool droppedDrink = false;
    int dropped = 0;
    for (ECarryables kind : kThrownAway) {
        while (waitress->CarryingItem(kind, -1)) {
            const int id = waitress->DropItem(kind, -1);
            ++dropped;
            if (kind == kCarryDishes && rules.tutorial)
                rules.tutorial->AdvanceState(kTutorialDishesToCart, -1);
            if (kind == kCarryDrink)
                droppedDrink = true;
            if (kind == kCarryFood)
                waitress->ReorderFood(id);
        }
    }
    if (dropped == 0)
        return false;
    mLoadCount += dropped;
    floorart::PlayEither(droppedDrink ? mDrinkSounds : mDishSounds);
    ShowLoad();
    return true;
}

void TDishCart::DropOffDishes(int count)
{
    mLoadCount += count;
    floorart::PlayEither(mDishSounds);
    ShowLoad();
}

void TDishCart::Update(float dt, TQuessa* waitress)
{
    if (waitress && waitress->CarryingItem(kCarryDishes, -1))
        mCarryTimer += dt;
    else
        mCarryTimer = 0;
    if (mLoadCount >= 2) {
        mClearTimer += dt;
        if (mClearTimer > kClearSeconds) {
            mClearTimer = 0;
            Reset();
        }
    }
}

void TDishCart::Draw()
{
    if (mCarryTimer > 0 && mFrame + 1 < mCart.GetNumFrames()) {
        mFrames.DrawWithGlow(mCart, mFrame, mPosition, floorart::Pulse(mCarryTimer));
        return;
    }
    mCart.SetCurrentFrame(mFrame);
    mFrames.Draw(mCart, mPosition);
}

bool TDishCart::HitTest(const TPoint& point, TTutorial* tutorial, int* clickKind)
{
    if (clickKind)
        *clickKind = kClickOrdinary;
    if (tutorial && !tutorial->AllowAction(kTutorialDishesToCart, -1))
        return false;
    return floorart::HitFrame(mCart, mFrame, mPosition, point);
}

TRect TDishCart::BoundingBox() const { return floorart::FrameBox(mCart, mFrame, mPosition); }
