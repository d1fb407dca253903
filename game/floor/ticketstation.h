// TTicketStation: the spike where the waitress posts order tickets. Each
// ticket goes to the first idle food station. A ticket for which no food
// station is free stays in her hand, so no order is ever lost.
#pragma once

#include "engine/script/animation.h"
#include "game/floor/frameslots.h"
#include "game/floor/station.h"

#include <array>
#include <memory>

class IFloorView;
class TSound;

class TTicketStation : public IStation {
public:
    TTicketStation();
    ~TTicketStation() override;

    // The graph that holds the food stations; not owned.
    void SetFloor(IFloorView* floor) { mFloor = floor; }
    void Update(float dt, TQuessa* waitress);
    void Draw();
    float GetTicketTime() const { return mTicketTime; }

    TPoint GetStandingSpot() override { return mPosition; }
    // Where it is drawn (and clicked).
    TRect BoundingBox() const;
    bool HitTest(const TPoint& point, TTutorial* tutorial, int* clickKind) override;
    bool ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int clickKind) override;

private:
    IFloorView* mFloor = nullptr;
    TPoint mPosition;
    TAnimation mAnimation;
    // The wheel and its glow while she carries a ticket.
    TFrameSlots mFrames{2};
    float mTicketTime = 0;
    std::array<std::shared_ptr<TSound>, 2> mCookSounds;
};
