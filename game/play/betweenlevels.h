// TBetweenLevels: what happens on the floor between two levels, apart from
// play. Between career levels: the decor choice after an even level (the
// panel, the items pointed at and chosen, the one kept), then the new items
// blinking in (the decor just kept and the stations the new level brings)
// before the intro, and the way back from the wardrobe. Between endless
// shifts: the upgrade notice that flashes once a shift's goal is reached,
// and the endless upgrades themselves (it is their IUpgradeTarget, with
// their catalogue): what each bought one changes on the running floor.
//
// The flow has a state of its own while it runs (kDecorChoice, kDecorChosen,
// kNewItem or kLoadAssets, which the level reports as its own), that state's
// timer and the pointer over the decor; the level starts it and takes over
// again when it is done. It tells its events (TLevelEvent) to the same list
// as the level, and changes the floor only through IBetweenLevelsFloor, so
// the two are read and tested apart.
#pragma once

#include "engine/base/rect.h"
#include "engine/base/str.h"
#include "game/levels/tabledescriptor.h"
#include "game/levels/upgrades.h"
#include "game/levels/upgradetarget.h"
#include "game/play/gamestate.h"
#include "game/play/levelcontext.h"

#include <optional>
#include <vector>

class IStation;
class TDrinkStation;
class TLevelManager;
class TQuessa;
class TRestaurantStaff;
class TScoreManager;
class TTutorial;

// The few pieces of the floor the between-levels flow changes: the room and
// its decor, the tables that wear it, the dishes of a dirty start, and what
// an endless upgrade adds or speeds up. The level (TGameData) is the one.
class IBetweenLevelsFloor {
public:
    virtual ~IBetweenLevelsFloor() = default;

    // ---- the decor choice and the new items
    // The room's scene (its decor and the choice's modes) and its staff (the
    // entertainer and the podium an upgrade brings).
    virtual TRestaurantStaff& GetStaff() = 0;
    // The tables, among which the decor's items are pointed at.
    virtual std::vector<IStation*> TableStations() const = 0;
    // The decor level the tables and the bar's seats wear.
    virtual void WearDecorLevel(int level) = 0;
    // Last night's dishes on every table, on a level flagged to start dirty.
    virtual void DoStartDirty() = 0;
    // The level's score: its till shows the cash.
    virtual TScoreManager* GetScoreManager() = 0;
    // The level's manager: its layout's stations, the shift's label, its
    // next table layout.
    virtual TLevelManager* GetLevelManager() = 0;

    // ---- what the endless upgrades change
    virtual TTutorial& GetTutorial() = 0;
    virtual TQuessa* GetQuessa() = 0;
    virtual TDrinkStation& GetDrinkStation() = 0;
    // The layout's next table upgrade: its new tables beside the standing
    // ones. Returns how many tables stand then.
    virtual int AddTableUpgrade() = 0;
    // How patient the parties in line are, and those still to come.
    virtual void SetLinePatience(float multiplier) = 0;
    virtual void ShowBench(float patienceMultiplier, bool luxury) = 0;
    // How long the kitchen takes for an order.
    virtual void SetFoodReadyTime(float seconds) = 0;
    // A station was switched on: the lists the frame walks are made again.
    virtual void BuildStationList() = 0;
};

class TBetweenLevels : public IUpgradeTarget {
public:
    // `events`: where the flow appends what it asks to be shown (the level's
    // list; null: nobody listens).
    TBetweenLevels(IBetweenLevelsFloor& floor, std::vector<TLevelEvent>* events) : mFloor(floor), mEvents(events) {}
    TBetweenLevels(const TBetweenLevels&) = delete;
    TBetweenLevels& operator=(const TBetweenLevels&) = delete;

    // ---- what the level tells it
    // A level was set up: no notice, no blinking, and the decor the tables
    // wear now is what they blink back to.
    void LevelSetUp();
    // The level ends for the next one: its stations are what the next
    // level's new ones are told from.
    void LevelEnds();
    // The fade into career level `level` is over: the decor choice opens on
    // an even level, the new items blink in on an odd one.
    void Begin(const TLevelContext& level);
    // The wardrobe opened over the game while the next level is set up
    // behind it: the flow waits until the game shows again.
    void WaitForCloset();
    // Whether the flow runs; while it does, its state and that state's timer
    // are the level's.
    bool IsRunning() const { return mState.has_value(); }
    EGameState State() const { return mState.value_or(kPlaying); }
    float Timer() const { return mTimer; }
    // One frame of the flow. When it is over: the level's state that follows
    // (kIntroFadeDown after the new items, kFadeIn back from the wardrobe).
    std::optional<EGameState> Update(float dt);
    // The level's own flow takes over before this one is done.
    void Stop() { mState.reset(); }
    // Endless: a shift's goal was reached; the notice flashes while there is
    // something left to buy.
    void OfferUpgrades();
    // A play frame: the notice's glow runs its course.
    void UpdateUpgradeNotice(float dt);

    // ---- the decor choice (kDecorChoice)
    // Lua: keeps the chosen decor item.
    void DecorButton();
    // The mouse: pointing shows an item (not while over the keep button), a
    // click chooses one.
    void DecorMouseMove(TPoint point, bool overKeepButton);
    void DecorMouseUp(TPoint point);
    // What the pointer shows over the room: the pointing hand over an item.
    EFloorCursor Cursor() const { return mCursor; }

    // ---- what the window draws
    // Whether the blinking new items show this frame, and what the level
    // before had.
    bool IsBlinkOn() const { return mBlinkOn; }
    const TLayoutStations& GetPreviousLayoutStations() const { return mLayoutBefore; }
    // Seconds since the upgrade notice last showed (its glow's clock).
    float GetUpgradeAnimTime() const { return mUpgradeAnimTime; }

    // ---- IUpgradeTarget: what each endless upgrade changes on the floor
    // (seconds, hearts); each is logged as "endless upgrade: ...".
    TUpgrades* GetUpgrades() override { return &mUpgrades; }
    bool IsTutorialActive() override;
    void HideUpgradeNotice() override;
    str GetCurrentLevelStr() override;
    bool TableUpgradeAvailable() override;
    // The layout's next table upgrade adds its new tables; the tables
    // already standing keep their parties and dishes.
    void TableUpgrade() override;
    void SetWaitressSpeed(float pixelsPerSecond) override;
    void EnableStereo(int level, float frequency) override;
    void EnableMaitreD(float patienceMultiplier) override;
    void EnableBench(float patienceMultiplier, bool secondBench) override;
    void EnableOven(float foodReadySeconds) override;
    void EnableDrinkStation(float refreshSeconds, int moodPoints) override;
    void EnablePodium(float chargeSeconds, float activeSeconds, float delaySeconds, int moodPoints,
                      int parties) override;

private:
    void SetState(EGameState state);
    void Tell(TLevelEvent event);
    void EnterDecorChoice();
    void UpdateDecorChoice(float dt);
    void UpdateDecorChosen(float dt);
    void UpdateNewItem(float dt);
    void BackFromCloset();
    void PlayNewItemSound(bool force);

    IBetweenLevelsFloor& mFloor;
    std::vector<TLevelEvent>* mEvents;  // not owned: the level's listener's
    TLevelContext mLevel;               // the level the flow leads into
    // Its state while it runs, or the level's that follows once it is done.
    std::optional<EGameState> mState;
    float mTimer = 0;
    EFloorCursor mCursor = EFloorCursor::kArrow;
    TUpgrades mUpgrades;  // endless: the catalogue of the current restaurant and what is bought
    bool mBlinkOn = false;
    int mPreviousDecorLevel = 0;
    TLayoutStations mLayoutBefore;  // the stations of the level before
    float mUpgradeAnimTime = 0;
    bool mUpgradeNoticeShown = false;
};
