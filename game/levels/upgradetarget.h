// IUpgradeTarget: what the endless upgrades change in a running game. The
// level being played implements it (TBetweenLevels, game/play); tests use a
// recording one (tests/game/support/recording_game.h). The upgrades and the picker
// only ever see this seam, so they are tested (and the picker runs) without
// a floor. Times are in seconds, moods in hearts.
#pragma once

#include "engine/base/str.h"

class TUpgrades;

class IUpgradeTarget {
public:
    virtual ~IUpgradeTarget() = default;

    // The game's catalogue (the picker draws its offers from it).
    virtual TUpgrades* GetUpgrades() = 0;
    // Whether the endless tutorial runs: it offers two fixed upgrades.
    virtual bool IsTutorialActive() { return false; }
    // Hides the play screen's upgrade notice while the picker is up.
    virtual void HideUpgradeNotice() {}

    // The shown level label of the running shift ("3" for the third).
    virtual str GetCurrentLevelStr() = 0;

    // Whether the endless entry has another table layout to add, and adding it.
    virtual bool TableUpgradeAvailable() = 0;
    virtual void TableUpgrade() = 0;

    virtual void SetWaitressSpeed(float pixelsPerSecond) = 0;
    virtual void EnableStereo(int level, float frequency) = 0;
    virtual void EnableMaitreD(float patienceMultiplier) = 0;
    virtual void EnableBench(float patienceMultiplier, bool secondBench) = 0;
    virtual void EnableOven(float foodReadySeconds) = 0;
    virtual void EnableDrinkStation(float refreshSeconds, int moodPoints) = 0;
    virtual void EnablePodium(float chargeSeconds, float activeSeconds, float delaySeconds, int moodPoints,
                              int parties) = 0;
};
