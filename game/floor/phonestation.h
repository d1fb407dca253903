// TPhoneStation: in career levels whose layout holds one, the waitress walks
// to the phone and calls one member of staff for a while. Her arrival shows
// the staff buttons of the play screen (its "phonebox2/3/4" windows); a
// button (Lua PhoneButton) calls that staff member, and the phone vanishes
// with a puff for the rest of the level.
//
// The buttons are looked up in the window the game window hands over with
// SetButtonHost (its own modal), never in whatever modal is on top: while
// the game is paused that is the pause screen.
#pragma once

#include "engine/base/lifeline.h"
#include "engine/script/animation.h"
#include "game/floor/station.h"

#include <array>
#include <memory>

class TBusBoy;
class TDrinkServer;
class TEntertainer;
class THostess;
class TSound;
class TWindow;

class TPhoneStation : public IStation {
public:
    enum EStaff { kBusBoy = 0, kDrinkServer = 1, kHostess = 2, kEntertainer = 3, kNone = 4 };
    static constexpr int kButtons = 4;
    static constexpr float kStaffSeconds = 60.0f;

    TPhoneStation();
    ~TPhoneStation() override;

    void SetPowerups(TQuessa* waitress, TBusBoy* busBoy, TDrinkServer* drinkServer, THostess* hostess,
                     TEntertainer* entertainer);
    // The window holding the phone boxes (the play screen's own modal); null:
    // none. The boxes are hidden until she picks up the phone.
    void SetButtonHost(TWindow* host);
    void SetPresent(bool present) { mPresent = present; }
    bool IsPresent() const { return mPresent; }
    void SetStaffTime(float seconds) { mStaffTime = seconds; }

    TPoint GetStandingSpot() override { return {730, 430}; }
    bool HitTest(const TPoint& point, TTutorial* tutorial, int* clickKind) override;
    bool ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int clickKind) override;
    void LeavingStation(TQuessa* waitress) override;

    void PhoneButton(int index);
    void SetButtons(bool show);
    // The staff kinds on offer, in button order; the rest kNone.
    std::array<int, kButtons> OfferedStaff() const;
    int ButtonKind(int index) const;
    void Update(TQuessa* waitress, float dt);
    void Reset();
    void Draw();

private:
    TWindow* ButtonHost() const;

    TBusBoy* mBusBoy = nullptr;  // the four staff members: not owned
    TDrinkServer* mDrinkServer = nullptr;
    THostess* mHostess = nullptr;
    TEntertainer* mEntertainer = nullptr;
    TQuessa* mWaitress = nullptr;  // not owned
    TPoint mPosition{760, 440};
    TAnimation mPhone, mPoof;
    bool mPresent = false;
    float mStaffTime = kStaffSeconds;
    std::shared_ptr<TSound> mArrivalSound, mPickupSound;
    std::array<int, kButtons> mButtonKinds{};
    TWindow* mButtonHost = nullptr;  // not owned; valid while its handle lives
    TLifeHandle mButtonHostAlive;
    TLifeline mLifeline;  // last: cut before the rest goes
};
