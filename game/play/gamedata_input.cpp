// Clicks and drags on the floor: a click sends the waitress to a station, a
// drag takes a party from the line (or the bench) to a table.
#include "game/play/gamedata.h"

#include "game/floor/bar.h"
#include "game/floor/customer.h"
#include "game/floor/eatingstation.h"
#include "game/floor/foodstation.h"
#include "game/floor/quessa.h"
#include "game/rules/scoremanager.h"

namespace {

// Where along a station she stops: left of most, right of a bar seat, and
// behind the podium's lectern.
constexpr float kRobotOffset = -35;
constexpr float kBarRobotOffset = 35;
constexpr float kPodiumRobotOffset = 30;
constexpr int kMaxBenchParty = 6;

}  // namespace

IStation* TGameData::StationAt(TPoint point, int* clickKind)
{
    TTutorial* tutorial = mTutorial.IsActive() ? &mTutorial : nullptr;
    // A ready plate wins over a table standing in front of it.
    for (const auto& food : mFoodStations)
        if (food->IsOrderReady() && food->HitTest(point, tutorial, clickKind))
            return food.get();
    for (IStation* station : mStations)
        if (station->HitTest(point, tutorial, clickKind))
            return station;
    return nullptr;
}

bool TGameData::TryPickUp(TPoint point)
{
    if (mTutorial.IsActive() && !mTutorial.AllowCustomerPickup())
        return false;
    for (bool benchPass : {false, true}) {
        int looked = 0;
        for (TParty* party : mWaitingParties) {
            if (looked++ >= kMaxActiveParties)
                break;
            if (party->IsOnBench() != benchPass || !party->PickupParty(point))
                continue;
            mDragMode = 1;
            mDraggedParty = party;
            mDragHome = party->GetLocation();
            mDragFromBench = benchPass;
            mGrabOffset = benchPass ? TPoint{0, -50} : TPoint{point.x - party->GetLocation().x, point.y - party->GetLocation().y};
            mCursorState = EFloorCursor::kGrabbingHand;
            return true;
        }
    }
    return false;
}

float TGameData::RobotOffset(const IStation* station) const
{
    if (mBar && mBar->IsBarStation(station))
        return kBarRobotOffset;
    if (station == &mStaff->Podium())
        return kPodiumRobotOffset;
    return kRobotOffset;
}

bool TGameData::MouseDown(TPoint point)
{
    mMousePos = point;
    mDragMode = 0;
    for (TParty* party : mWaitingParties)
        party->ResetPartyMouseState();
    int clickKind = 0;
    if (IStation* station = StationAt(point, &clickKind)) {
        mQuessa->AddDestination(station, clickKind, RobotOffset(station));
        mCursorState = EFloorCursor::kPointingHand;
        return true;
    }
    TryPickUp(point);
    return false;
}

TEatingStation* TGameData::AcceptingStation(TPoint point) const
{
    for (TEatingStation* station : mEatingStations) {
        if (station->GetParty() || station->HasDishes())
            continue;
        if (station->GetEndSeat() - station->GetFirstSeat() < mDraggedParty->GetSize())
            continue;
        if (!station->MouseOverBox().Contains(point))
            continue;
        if (mTutorial.IsActive() && !mTutorial.AllowCustomerDropoff(station->GetTableNumber()))
            continue;
        // Lovebirds want a table for two to themselves.
        if (mDraggedParty->IsLovebirds() && (station->GetFirstSeat() != 0 || station->GetEndSeat() != 2))
            continue;
        return station;
    }
    return nullptr;
}

void TGameData::ReleaseDropTable(TPoint follow)
{
    if (mDropTable)
        mDropTable->TryOutParty(nullptr);
    mDropTable = nullptr;
    if (mDraggedParty)
        mDraggedParty->SetInLine(follow, false);
}

void TGameData::MouseMove(TPoint point)
{
    mMousePos = point;
    if (mDragMode != 1 || !mDraggedParty) {
        int clickKind = 0;
        if (StationAt(point, &clickKind)) {
            mCursorState = EFloorCursor::kPointingHand;
            return;
        }
        mCursorState = EFloorCursor::kArrow;
        int looked = 0;
        for (TParty* party : mWaitingParties)
            if (looked++ < kMaxActiveParties && party->PartyRollover(point))
                mCursorState = EFloorCursor::kOpenHand;
        return;
    }
    mTutorial.AdvanceState(kTutorialPickUpParty, -1);
    if (TEatingStation* station = AcceptingStation(point)) {
        if (station != mDropTable) {
            ReleaseDropTable(TPoint{point.x - mGrabOffset.x, point.y - mGrabOffset.y});
            mDropTable = station;
            station->TryOutParty(mDraggedParty);
        }
        mDraggedParty->PickSeats(point, station);
        return;
    }
    if (mBench.shown && mDraggedParty->GetSize() <= kMaxBenchParty && mBench.BoundingBox().Contains(point) &&
        mDraggedParty->SitOnBench(&mBench, 0, 1.0f))
        return;
    ReleaseDropTable(TPoint{point.x - mGrabOffset.x, point.y - mGrabOffset.y});
    if (mDraggedParty->IsOnBench())
        mDraggedParty->GetOffBench(&mBench);
    mDraggedParty->SetInLine(TPoint{point.x - mGrabOffset.x, point.y - mGrabOffset.y}, false);
}

void TGameData::DropParty()
{
    TParty* party = mDraggedParty;
    TEatingStation* station = mDropTable;
    if (mLevelManager->GetMustColorMatch() && !station->AllCustomersMatch(party)) {
        Tell(levelevent::Sound{"refuse"});
        LetGoOfCustomers();
        return;
    }
    mTutorial.AdvanceState(kTutorialPickUpParty, -1);
    mTutorial.AdvanceState(kTutorialSeatParty, station->GetTableNumber());
    mWaitingParties.remove(party);
    mTutorial.SetPartyWaiting(!mWaitingParties.empty());
    station->AdoptParty(std::unique_ptr<TParty>(party), mScore);
    party->SetState(kStateDeciding);
    Tell(levelevent::Sound{"seat"});
    if (mBar && mBar->IsBarStation(station)) {
        mBar->SplitEatingStation(station);
        BuildStationList();
    }
}

// A party let go over a table that would not take it (too small, taken,
// not yet cleared) goes back to the line with a sound, so the player knows
// the drop was refused rather than missed; let go on the floor, it goes
// back quietly.
bool TGameData::OverEatingStation(TPoint point) const
{
    for (const TEatingStation* station : mEatingStations)
        if (station->MouseOverBox().Contains(point))
            return true;
    return false;
}

void TGameData::LetGoOfCustomers()
{
    if (mDropTable)
        mDropTable->TryOutParty(nullptr);
    mDropTable = nullptr;
    if (!mDraggedParty)
        return;
    if (mDragFromBench && mBench.shown) {
        mDraggedParty->SitOnBench(&mBench, 0, 1.0f);
    } else {
        if (mDraggedParty->IsOnBench())
            mDraggedParty->GetOffBench(&mBench);
        mDraggedParty->SetInLine(mDragHome, false);
    }
    mTutorial.RevertState(kTutorialSeatParty);
}

void TGameData::MouseUp(TPoint point)
{
    mMousePos = point;
    if (mDragMode != 1 || !mDraggedParty) {
        mDragMode = 0;
        return;
    }
    if (mDropTable && mDraggedParty->IsPickingSeats()) {
        DropParty();
    } else if (mDraggedParty->IsOnBench() && !mDragFromBench) {
        mDraggedParty->GetOffBench(&mBench);
        mDraggedParty->SitOnBench(&mBench, mBenchHeartBoost, mBenchPatienceMultiplier * mBenchBoostScale);
    } else {
        if (OverEatingStation(point))
            Tell(levelevent::Sound{"refuse"});
        LetGoOfCustomers();
    }
    mDraggedParty = nullptr;
    mDropTable = nullptr;
    mDragMode = 0;
    mCursorState = EFloorCursor::kArrow;
    AdjustQueue();
}

void TGameData::CancelDrag()
{
    MouseMove({-1, -1});
    MouseUp({-1, -1});
    mCursorState = EFloorCursor::kArrow;
}
