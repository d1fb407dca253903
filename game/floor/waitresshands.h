// What an eating station needs of the waitress: her hands. TQuessaHands
// reaches TQuessa's; the serving rules are written against this interface
// so they are tested with a pair of plain hands.
#pragma once

#include "game/floor/carryables.h"

class TQuessa;

class IWaitressHands {
public:
    static constexpr int kAnyId = -1;

    virtual ~IWaitressHands() = default;
    virtual int HandCount() const = 0;
    virtual int HandsInUse() const = 0;
    // The first hand holding `item` with `id` (kAnyId: any); its id and
    // extra are written when asked for.
    virtual bool Carries(ECarryables item, int id, int* heldId = nullptr, int* extra = nullptr) const = 0;
    // Takes an item into a free hand; false when both are busy.
    virtual bool PickUp(ECarryables item, int id, int extra) = 0;
    // Gives away the first matching item; false when she has none.
    virtual bool Drop(ECarryables item, int id, int* heldId = nullptr, int* extra = nullptr) = 0;
    // She stands still for a moment (taking a picture).
    virtual void PauseMotion(float seconds, ECarryables item) = 0;
    // The mop goes back after a spill is mopped up.
    virtual void UseMop() = 0;
    // Hearts a delivered high chair gives the party.
    virtual int HighChairBoost() const = 0;

    bool HasFreeHand() const { return HandsInUse() < HandCount(); }
};

// The waitress's own hands.
class TQuessaHands : public IWaitressHands {
public:
    explicit TQuessaHands(TQuessa* waitress) : mWaitress(waitress) {}
    int HandCount() const override;
    int HandsInUse() const override;
    bool Carries(ECarryables item, int id, int* heldId = nullptr, int* extra = nullptr) const override;
    bool PickUp(ECarryables item, int id, int extra) override;
    bool Drop(ECarryables item, int id, int* heldId = nullptr, int* extra = nullptr) override;
    void PauseMotion(float seconds, ECarryables item) override;
    void UseMop() override;
    int HighChairBoost() const override;

private:
    TQuessa* mWaitress;  // not owned
};
