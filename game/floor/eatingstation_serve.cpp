// The serving rules of an eating station: what a click hits, and what the
// waitress's visit does, checked in a fixed order; the first rule that
// matches wins.
#include "game/floor/eatingstation.h"

#include "engine/render/animatedtexture.h"
#include "game/rules/scoremanager.h"
#include "game/rules/tutorial.h"

namespace {

constexpr float kPictureSeconds = 1.25f;

}  // namespace

bool TEatingStation::HitTest(const TPoint& point, TTutorial* tutorial, int* clickKind)
{
    if (clickKind)
        *clickKind = kClickOrdinary;
    if (tutorial && tutorial->IsActive()) {
        const eCustomerStates state = mParty ? mParty->GetState() : kStateWaitingInLine;
        const bool allowed =
            (mParty && state == kStateReadyToOrder && tutorial->AllowAction(kTutorialOrderTaken, mTableNumber)) ||
            (mParty && state == kStateWaitingForFood && tutorial->AllowAction(kTutorialFoodServed, mTableNumber)) ||
            (mParty && state == kStateWantsCheck && tutorial->AllowAction(kTutorialCheckCollected, mTableNumber)) ||
            (!mParty && tutorial->AllowAction(kTutorialDishesPickedUp, mTableNumber));
        if (!allowed)
            return false;
    }
    if (mBoundingBox.Contains(point))
        return true;
    if (mSpillPresent) {
        if (const std::shared_ptr<TAnimatedTexture> spill = mSpillAnimation.GetAnimatedTexture()) {
            TRect box = spill->BoundingBox();
            box.Offset(mSpillLocation.x, mSpillLocation.y);
            if (box.Contains(point)) {
                if (clickKind)
                    *clickKind = kClickSpill;
                return true;
            }
        }
    }
    return mParty && mParty->CheckClick(point);
}

bool TEatingStation::ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int clickKind)
{
    if (!waitress)
        return false;
    TQuessaHands hands(waitress);
    return ServeVisit(&hands, rules, clickKind);
}

bool TEatingStation::ServeVisit(IWaitressHands* hands, TPlayRules rules, int clickKind)
{
    if (!hands)
        return false;
    const bool mop = hands->Carries(kCarryMop, IWaitressHands::kAnyId);
    if (clickKind == kClickSpill && mop && mSpillPresent) {
        MopupSpill(hands, rules.score);
        return true;
    }
    if (!mParty || mParty->Leaving()) {
        if (mop && mSpillPresent) {
            MopupSpill(hands, rules.score);
            return true;
        }
        return mDishesPresent && PickUpDishes(hands, rules);
    }
    return ServeParty(hands, rules) || ServeFallback(hands, rules.score);
}

bool TEatingStation::PickUpDishes(IWaitressHands* hands, TPlayRules rules)
{
    if (!hands->PickUp(kCarryDishes, mTableNumber, 0))
        return false;
    if (rules.tutorial)
        rules.tutorial->AdvanceState(kTutorialDishesPickedUp, mTableNumber);
    if (mDishesScore)
        Score(rules.score, kScoreDishes);
    ClearPlates();
    return true;
}

// Rules for a seated party that is not leaving; false falls back to a drink.
bool TEatingStation::ServeParty(IWaitressHands* hands, TPlayRules rules)
{
    TParty& party = *mParty;
    int extra = 0;
    if (party.NumHighChairsWanted() > 0 && party.GetSize() < (mEndSeat - mFirstSeat) - NumHighChairs() &&
        hands->Carries(kCarryHighChair, IWaitressHands::kAnyId)) {
        if (!hands->Drop(kCarryHighChair, IWaitressHands::kAnyId, nullptr, &extra))
            return false;
        Score(rules.score, kScoreHighChair);
        const eCustomerColors baby = party.GetBabyColor();
        party.SeatBaby();
        party.ApplyPatience(static_cast<float>(extra) / 1000.0f);
        party.HeartBoost(hands->HighChairBoost(), true);
        PlaceHighChair(baby);
        return true;
    }
    if (party.WantsMop() && hands->Carries(kCarryMop, IWaitressHands::kAnyId)) {
        MopupSpill(hands, rules.score);
        return true;
    }
    switch (party.GetState()) {
    case kStateReadyToOrder:
        if (!hands->PickUp(kCarryTicket, mTableNumber, 0))
            return false;
        if (rules.tutorial)
            rules.tutorial->AdvanceState(kTutorialOrderTaken, mTableNumber);
        Score(rules.score, kScoreOrder);
        party.SetState(kStateWaitingForFood);
        PlaySound(kPencil);
        return true;
    case kStateWaitingForFood:
        if (!hands->Drop(kCarryFood, mTableNumber))
            return false;
        if (rules.tutorial)
            rules.tutorial->AdvanceState(kTutorialFoodServed, mTableNumber);
        PlaySound(Rand() & 1 ? kDeliver2 : kDeliver1);
        Score(rules.score, kScoreFood);
        party.SetState(kStateEating);
        return true;
    case kStateWantsDessert:
        if (hands->Drop(kCarryDessert, IWaitressHands::kAnyId)) {
            PlaySound(Rand() & 1 ? kDeliver2 : kDeliver1);
            Score(rules.score, kScoreDessert);
            party.SetState(kStateEatingDessert);
            return true;
        }
        if (!hands->HasFreeHand())
            return false;
        TakeCheck(rules);
        return true;
    default:
        break;
    }
    if (party.WantsPicture()) {
        if (!hands->PickUp(kCarryCamera, -1, 0))
            return false;
        party.TakePicture();
        Score(rules.score, kScorePicture);
        hands->PauseMotion(kPictureSeconds, kCarryCamera);
        return true;
    }
    if (party.GetState() == kStateWantsCheck && hands->HasFreeHand()) {
        TakeCheck(rules);
        return true;
    }
    if (party.WantsSnack()) {
        if (!hands->Drop(kCarrySnack, IWaitressHands::kAnyId))
            return false;
        party.DeliverSnack();
        Score(rules.score, kScoreSnack);
        return true;
    }
    return mDishesPresent && PickUpDishes(hands, rules);
}

void TEatingStation::TakeCheck(TPlayRules rules)
{
    ClearCheck();
    if (rules.tutorial)
        rules.tutorial->AdvanceState(kTutorialCheckCollected, mTableNumber);
    Score(rules.score, kScoreCheck);
}

bool TEatingStation::ServeFallback(IWaitressHands* hands, TScoreManager* score)
{
    int drinkId = 0;
    if (mParty && !mParty->Leaving() && hands->Drop(kCarryDrink, IWaitressHands::kAnyId, &drinkId)) {
        Score(score, kScoreDrink);
        PlaySound(kDrink);
        mParty->TakeDrink(drinkId);
        return true;
    }
    if (hands->Carries(kCarryMop, IWaitressHands::kAnyId) && mSpillPresent) {
        MopupSpill(hands, score);
        return true;
    }
    return false;
}
