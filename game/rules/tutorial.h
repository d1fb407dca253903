// TTutorial: walks a new player through the first career level and the first
// endless game. A fixed script of steps (gTutorialDefs): each waits for one
// game event, optionally on one table, shows a text box with up to three
// arrows while it waits, and moves on when the event is reported. While a
// step waits, stations and the game window ask it whether a click or a drag
// is allowed, so the player can only do what the step asks.
#pragma once

#include "engine/base/str.h"

#include <array>
#include <memory>

class TTexture;
class TTextGraphic;

// The events that stations, parties and the game window report.
enum eTutorialActions : int {
    kTutorialPartyArrives = 0,
    kTutorialPickUpParty = 1,
    kTutorialSeatParty = 2,      // table number
    kTutorialReadyToOrder = 3,   // table number
    kTutorialTicketPosted = 4,
    kTutorialFoodReady = 5,      // the food's table number
    kTutorialFoodPickedUp = 6,   // the food's table number
    kTutorialWantsCheck = 7,     // table number
    kTutorialDishesToCart = 8,
    kTutorialOrderTaken = 9,     // table number
    kTutorialFoodServed = 10,    // table number
    kTutorialCheckCollected = 11,  // table number
    kTutorialDishesPickedUp = 12,  // table number
    kTutorialPartyLeaves = 13,   // table number
    kTutorialTwoSeconds = 14,
    kTutorialFourSeconds = 15,
    kTutorialUpgradeScreen = 16,
};

struct TTutorialArrow {
    float x, y;   // centre; negative x: no arrow
    float angle;  // radians
    // The table number it points at, -1 for none: a step that waits for the
    // same job at every table drops the arrow of a table where it is done.
    int table = -1;
};

struct TTutorialDef {
    int action;  // eTutorialActions
    int param;   // -1: any
    float boxX, boxY;  // centre of the text box; negative x: the step shows nothing
    TTutorialArrow arrows[3];
    const char* key;   // string-table label of the text; "" for none
    int mode;          // 0 every game mode, 1 career only, 2 endless only
};

constexpr int kTutorialSteps = 44;
extern const TTutorialDef gTutorialDefs[kTutorialSteps];

class TTutorial {
public:
    TTutorial();
    ~TTutorial();
    TTutorial(const TTutorial&) = delete;
    TTutorial& operator=(const TTutorial&) = delete;

    // Back to the first step with nothing done; the active flag stays.
    void Reset();
    void SetActive(bool active) { mActive = active; }
    bool IsActive() const { return mActive; }

    void AdvanceState(eTutorialActions action, int param);
    // Takes back the step that waits for action (a dragged party let go).
    void RevertState(eTutorialActions action);
    bool AllowAction(eTutorialActions action, int param) const;
    bool AllowCustomerPickup() const;
    bool AllowCustomerDropoff(int table) const;

    // The game tells whether a party stands in line: a step that teaches
    // picking one up shows nothing until there is one to pick up.
    void SetPartyWaiting(bool waiting) { mPartyWaiting = waiting; }
    // No party walks in while a tip waits for the player: only a step that
    // waits for an arrival, or one that waits for a party to pick up while
    // the line is empty, lets the next one in.
    bool HoldsArrivals() const;
    // Whether the current step's box shows (what Draw draws).
    bool IsShowing() const;

    void Update(float dt);
    void Draw();

    int GetStep() const { return mStep; }
    bool IsDone(int step) const { return step >= 0 && step < kTutorialSteps && mDone[step]; }
    const TTextGraphic* GetTextGraphic() const { return mText; }
    // Whether the current step draws its arrow `index` (0 to 2).
    bool ShowsArrow(int index) const;

private:
    const TTutorialDef& Current() const { return gTutorialDefs[mStep]; }
    static bool Matches(const TTutorialDef& def, int action, int param);
    bool BelongsToOtherMode(const TTutorialDef& def) const;
    void MoveToNextOpenStep();
    void ShowCurrentText();

    std::shared_ptr<TTexture> mBox;
    std::shared_ptr<TTexture> mArrow;
    TTextGraphic* mText = nullptr;  // owned; freed with Destroy
    int mStep = 0;
    bool mActive = false;
    float mTimer = 0;
    bool mPartyWaiting = false;
    // Steps that have happened, some ahead of time.
    std::array<bool, kTutorialSteps> mDone{};
    // Tables (bit n: table number n) where the current run of steps waiting
    // for the same job has had it done.
    unsigned mDoneAtTables = 0;
};
