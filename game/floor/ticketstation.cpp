#include "engine/render/animatedtexture.h"
#include "game/floor/ticketstation.h"

#include "game/floor/floorart.h"
#include "game/floor/floorview.h"
#include "game/floor/foodstation.h"
#include "game/floor/kitchenpass.h"
#include "game/floor/quessa.h"
#include "game/rules/tutorial.h"

#include <algorithm>

namespace {

TFoodStation* FirstIdle(const std::vector<TFoodStation*>& stations)
{
    for (TFoodStation* station : stations)
        if (!station->IsActive())
            return station;
    return nullptr;
}

int CountCooking(const std::vector<TFoodStation*>& stations)
{
    return int(std::count_if(stations.begin(), stations.end(), [](TFoodStation* s) { return s->IsCooking(); }));
}

}  // namespace

TTicketStation::TTicketStation() : mPosition(kitchen::kOrderWheel)
{
    mAnimation.Init("furniture/ticketstation.anm", "", "");
    mAnimation.SetClock(floorart::GameClock());
    mAnimation.SetCurrentFrame(0);
    mCookSounds = {floorart::LoadSound("audio/sfx/chef_cook1.ogg"), floorart::LoadSound("audio/sfx/chef_cook2.ogg")};
}

TTicketStation::~TTicketStation() = default;

// Each ticket goes to the first idle food station. A ticket that finds every
// station busy stays in her hand: dropping it would leave its party waiting
// for food that is never cooked.
bool TTicketStation::ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int)
{
    const std::vector<TFoodStation*> stations = mFloor ? mFloor->FoodStations() : std::vector<TFoodStation*>{};
    int posted = 0;
    while (waitress->CarryingItem(kCarryTicket, -1)) {
        TFoodStation* idle = FirstIdle(stations);
        if (!idle)
            break;
        const int table = waitress->DropItem(kCarryTicket, -1);
        if (rules.tutorial)
            rules.tutorial->AdvanceState(kTutorialTicketPosted, table);
        idle->PlaceOrder(table, CountCooking(stations));
        mAnimation.Play("DoAnim", false);
        ++posted;
    }
    if (posted == 0)
        return false;
    floorart::PlayEither(mCookSounds);
    return true;
}

void TTicketStation::Update(float dt, TQuessa* waitress)
{
    if (!mAnimation.IsPlaying())
        mAnimation.SetCurrentFrame(0);
    if (!mAnimation.IsPlaying() && waitress && waitress->CarryingItem(kCarryTicket, -1))
        mTicketTime += dt;
    else
        mTicketTime = 0;
}

void TTicketStation::Draw()
{
    if (mTicketTime == 0)
        mFrames.Draw(mAnimation, mPosition);
    else
        mFrames.DrawWithGlow(mAnimation, 0, mPosition, floorart::Pulse(mTicketTime));
}

bool TTicketStation::HitTest(const TPoint& point, TTutorial* tutorial, int* clickKind)
{
    if (clickKind)
        *clickKind = kClickOrdinary;
    if (tutorial && !tutorial->AllowAction(kTutorialTicketPosted, -1))
        return false;
    return floorart::HitFrame(mAnimation, 0, mPosition, point);
}

TRect TTicketStation::BoundingBox() const { return floorart::FrameBox(mAnimation, 0, mPosition); }
