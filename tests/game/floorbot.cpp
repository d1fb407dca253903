#include "floorbot.h"

#include "game/floor/chair.h"
#include "game/floor/customer.h"
#include "game/floor/eatingstation.h"
#include "game/floor/foodstation.h"
#include "game/floor/quessa.h"
#include "game/floor/table.h"

namespace {

TPoint Centre(const TRect& r) { return {(r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2}; }

}  // namespace

void TFloorBot::Act()
{
    ++mActs;
    if (mFloor.GetState() != kPlaying)
        return;
    if (mSeats && SeatAParty())
        return;
    if (!mFloor.GetQuessa()->GetQueue().empty())
        return;
    // The first useful click the floor takes (a running tutorial refuses
    // all but the one it teaches).
    for (IStation* station : UsefulStations())
        if (Click(station))
            return;
}

bool TFloorBot::SeatAParty()
{
    for (TParty* party : mFloor.GetWaitingParties()) {
        for (TEatingStation* table : mFloor.GetEatingStations()) {
            if (table->GetParty() || table->HasDishes() ||
                table->GetEndSeat() - table->GetFirstSeat() < party->GetSize())
                continue;
            // Lovebirds sit only at a table for two.
            if (party->IsLovebirds() && (table->GetFirstSeat() != 0 || table->GetEndSeat() != 2))
                continue;
            const auto refused = mRefusedUntil.find({party, table->GetTableNumber()});
            if (refused != mRefusedUntil.end() && mActs < refused->second)
                continue;
            const TPoint grab = Centre(party->MembersInBuildOrder().front()->BoundingBox());
            const TRect over = table->MouseOverBox();
            TPoint drop = Centre(table->GetChair(table->GetFirstSeat())->BoundingBox());
            if (!over.Contains(drop))
                drop = Centre(over);
            mFloor.MouseDown(grab);
            if (mFloor.GetDraggedParty() != party) {
                mFloor.MouseUp(grab);
                return false;
            }
            mFloor.MouseMove({(grab.x + drop.x) / 2, (grab.y + drop.y) / 2});
            mFloor.MouseMove(drop);
            mFloor.MouseUp(drop);
            if (table->GetParty() == party) {
                ++mSeated;
                return true;
            }
            // Refused (a table may not take every party): tried again a
            // while later, as a person would, not on every frame; the next
            // free table meanwhile.
            mRefusedUntil[{party, table->GetTableNumber()}] = mActs + kRetryRefusedAfterActs;
        }
        return false;  // only the head of the line is seated first
    }
    return false;
}

std::vector<IStation*> TFloorBot::UsefulStations()
{
    std::vector<IStation*> useful;
    TQuessa* her = mFloor.GetQuessa();
    if (her->CarryingItem(kCarryDishes, IWaitressHands::kAnyId))
        useful.push_back(&mFloor.GetDishCart());
    for (TEatingStation* table : mFloor.GetEatingStations())
        if (her->CarryingItem(kCarryFood, table->GetTableNumber()))
            useful.push_back(table);
    if (her->CarryingItem(kCarryTicket, IWaitressHands::kAnyId))
        useful.push_back(&mFloor.GetTicketStation());
    if (her->HasFreeHand())
        for (const auto& food : mFloor.GetFoodStationList())
            if (food->IsOrderReady())
                useful.push_back(food.get());
    for (TEatingStation* table : mFloor.GetEatingStations()) {
        const int state = table->PartyState();
        if (state == kStateReadyToOrder || state == kStateWantsCheck)
            useful.push_back(table);
    }
    for (TEatingStation* table : mFloor.GetEatingStations())
        if (table->HasDishes() && !table->GetParty() && her->HasFreeHand())
            useful.push_back(table);
    return useful;
}

bool TFloorBot::Click(IStation* station)
{
    TPoint point;
    if (!PointOn(station, &point))
        return false;
    mFloor.MouseDown(point);
    mFloor.MouseUp(point);
    ++mClicks;
    return true;
}

bool TFloorBot::PointOn(IStation* station, TPoint* point)
{
    int kind = 0;
    auto known = mKnownPoints.find(station->StationId());
    if (known != mKnownPoints.end() && mFloor.StationAt(known->second, &kind) == station) {
        *point = known->second;
        return true;
    }
    // Probe outwards from where she would stand and from the checkmark.
    for (TPoint origin : {station->GetCheckmarkSpot(), station->GetStandingSpot()})
        for (int radius = 0; radius <= 90; radius += 3)
            for (int dy = -radius; dy <= radius; dy += 3)
                for (int dx = -radius; dx <= radius; dx += 3) {
                    if (std::abs(dx) != radius && std::abs(dy) != radius)
                        continue;
                    const TPoint p{origin.x + dx, origin.y + dy};
                    if (mFloor.StationAt(p, &kind) == station) {
                        mKnownPoints[station->StationId()] = p;
                        *point = p;
                        return true;
                    }
                }
    return false;
}
