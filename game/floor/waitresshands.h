// What the floor's stations need of the waitress: her hands. TQuessa
// provides them; the game window hands a station the waitress through
// TEatingStation::SetWaitressHands, so the serving rules are tested with a
// pair of plain hands.
#pragma once

// The item in one hand; each hand also carries an id and an extra value
// chosen by the station that hands it over.
enum ECarryables : int {
    kCarryNothing = 0,
    kCarryTicket = 1,
    kCarryFood = 2,
    kCarryDishes = 3,
    kCarryDrink = 4,
    kCarryDessert = 5,
    kCarryHighChair = 6,
    kCarryMop = 7,
    kCarrySnack = 8,
    kCarryCamera = 9,
};

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
