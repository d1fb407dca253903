#include "game/floor/waitresshands.h"

#include "game/floor/quessa.h"

int TQuessaHands::HandCount() const
{
    return mWaitress->HandCount();
}

int TQuessaHands::HandsInUse() const
{
    return mWaitress->NumActiveHands();
}

bool TQuessaHands::Carries(ECarryables item, int id, int* heldId, int* extra) const
{
    for (int i = 0; i < mWaitress->HandCount(); ++i) {
        const THand& hand = mWaitress->Hand(i);
        if (hand.kind != item || (id != kAnyId && hand.id != id))
            continue;
        if (heldId)
            *heldId = hand.id;
        if (extra)
            *extra = hand.extra;
        return true;
    }
    return false;
}

bool TQuessaHands::PickUp(ECarryables item, int id, int extra)
{
    return mWaitress->PickupItem(item, id, extra);
}

bool TQuessaHands::Drop(ECarryables item, int id, int* heldId, int* extra)
{
    // Read first: the dropped id is also a legitimate -1 (the camera).
    if (!Carries(item, id, heldId, extra))
        return false;
    mWaitress->DropItem(item, id);
    return true;
}

void TQuessaHands::PauseMotion(float seconds, ECarryables item)
{
    mWaitress->PauseMotion(seconds, item);
}

void TQuessaHands::UseMop()
{
    mWaitress->UseMop();
}

int TQuessaHands::HighChairBoost() const
{
    return mWaitress->GetHighChairBoost();
}
