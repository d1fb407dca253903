// TFoodStation: one place on the kitchen counter. It takes one order at a
// time, cooks it after a wait that grows with the orders already cooking,
// then shows the food on a tray with the table's number until the waitress
// picks it up.
#pragma once

#include "engine/script/animation.h"
#include "game/floor/foodtray.h"
#include "game/floor/station.h"

#include <array>
#include <memory>
#include <vector>

class TSound;

class TFoodStation : public IStation {
public:
    // Times in seconds; staleTime 0: food never goes stale.
    TFoodStation(float cookTime, float staleTime, float perOrderDelay, TPoint position);
    ~TFoodStation() override;

    // ordersCooking: stations cooking now; each adds one per-order delay.
    void PlaceOrder(int tableNumber, int ordersCooking);
    void CancelOrder() { mActive = false; }
    // A faster oven (an endless upgrade): seconds until an order is ready.
    void SetCookTime(float seconds) { mCookTime = seconds; }
    bool IsActive() const { return mActive; }
    bool IsOrderReady() const { return mActive && mTimer >= mCookTime; }
    bool IsCooking() const { return mActive && mTimer < mCookTime; }
    int GetTableNumber() const { return mTableNumber; }
    // 0 fresh .. 2 stale.
    int Staleness() const;

    void Update(float dt, TTutorial* tutorial);
    void Draw();

    TPoint GetStandingSpot() override { return mPosition; }
    bool HitTest(const TPoint& point, TTutorial* tutorial, int* clickKind) override;
    bool ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int clickKind) override;

private:
    TAnimation mPoof;
    TFoodTray mTray;
    bool mActive = false;
    int mTableNumber = 0;
    TPoint mPosition;
    float mTimer = 0;
    float mCookTime;
    float mStaleTime;
    float mTimeSinceReady = 0;
    float mPerOrderDelay;
    std::array<std::shared_ptr<TSound>, 2> mReadySounds;
    std::shared_ptr<TSound> mPickupSound;
};
