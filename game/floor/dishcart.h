// TDishCart: where the waitress drops dirty dishes and whatever she no longer
// needs. Food thrown away is ordered again for its table.
#pragma once

#include "engine/script/animation.h"
#include "game/floor/frameslots.h"
#include "game/floor/station.h"

#include <array>
#include <memory>

class TSound;

class TDishCart : public IStation {
public:
    explicit TDishCart(TPoint position);
    ~TDishCart() override;

    void Reset();
    void Update(float dt, TQuessa* waitress);
    // Staff bring count loads at once.
    void DropOffDishes(int count);
    void Draw();
    int GetLoadCount() const { return mLoadCount; }
    // 0 empty, 2 one load, 4 full.
    int GetFrame() const { return mFrame; }

    TPoint GetStandingSpot() override { return mPosition; }
    // Where it is drawn (and clicked).
    TRect BoundingBox() const;
    bool HitTest(const TPoint& point, TTutorial* tutorial, int* clickKind) override;
    bool ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int clickKind) override;

private:
    void ShowLoad();

    TAnimation mCart;
    // The cart and its glow while she carries dishes.
    TFrameSlots mFrames{2};
    int mFrame = 0;
    int mLoadCount = 0;
    float mCarryTimer = 0;
    float mClearTimer = 0;
    TPoint mPosition;
    std::array<std::shared_ptr<TSound>, 2> mDishSounds;
    std::array<std::shared_ptr<TSound>, 2> mDrinkSounds;
};
