// TBetweenLevels: what happens on the floor between two levels, apart from
// play. Between career levels: the decor choice after an even level (the
// panel, the items pointed at and chosen, the one kept), then the new items
// blinking in (the decor just kept and the stations the new level brings)
// before the intro, and the way back from the wardrobe. Between endless
// shifts: the upgrade notice that flashes once a shift's goal is reached,
// and the endless upgrades themselves (it is their IUpgradeTarget, with
// their catalogue): what each bought one changes on the running floor.
//
// It is a part of the level (TGameData), whose flow state (EGameState) and
// floor it works on: the level hands it the states kDecorChoice,
// kDecorChosen, kNewItem and kLoadAssets, and it tells the same events
// (TLevelEvent) to the same list as the level.
#pragma once

#include "engine/base/rect.h"
#include "engine/base/str.h"
#include "game/levels/tabledescriptor.h"
#include "game/levels/upgrades.h"
#include "game/levels/upgradetarget.h"
#include "game/play/gamestate.h"

#include <vector>

class IStation;
class TGameData;

class TBetweenLevels : public IUpgradeTarget {
public:
    explicit TBetweenLevels(TGameData& level) : mLevel(level) {}
    TBetweenLevels(const TBetweenLevels&) = delete;
    TBetweenLevels& operator=(const TBetweenLevels&) = delete;

    // ---- what the level tells it
    // A level was set up: no notice, no blinking, and the decor the tables
    // wear now is what they blink back to.
    void LevelSetUp();
    // The level ends for the next one: its stations are what the next
    // level's new ones are told from.
    void LevelEnds();
    // The fade into a career level is over: the decor choice opens on an
    // even level, the new items blink in on an odd one.
    void Begin();
    // One frame of kDecorChoice, kDecorChosen, kNewItem or kLoadAssets.
    void Update(float dt);
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

    // ---- what the window draws
    // Whether the stations a new level brings are drawn this frame (they
    // blink in while kNewItem runs), and what the level before had.
    bool DrawNewItems() const;
    const TLayoutStations& GetPreviousLayoutStations() const { return mLayoutBefore; }
    bool IsBlinkOn() const { return mBlinkOn; }
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
    void EnterDecorChoice();
    void UpdateDecorChoice(float dt);
    void UpdateDecorChosen(float dt);
    void UpdateNewItem(float dt);
    void BackFromCloset();
    void SetTablesDecorLevel(int level);
    void PlayNewItemSound(bool force);
    std::vector<IStation*> TableStations() const;

    TGameData& mLevel;  // the owner
    TUpgrades mUpgrades;  // endless: the catalogue of the current restaurant and what is bought
    bool mBlinkOn = false;
    int mPreviousDecorLevel = 0;
    TLayoutStations mLayoutBefore;  // the stations of the level before
    float mUpgradeAnimTime = 0;
    bool mUpgradeNoticeShown = false;
};
