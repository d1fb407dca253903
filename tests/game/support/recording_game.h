// A game as the endless upgrades see it (IUpgradeTarget) that writes every
// effect down as text ("shoes 340", "podium 3 2 15 1 2"), for the upgrade
// tests and the upgrade screen's demonstration program.
#pragma once

#include "game/levels/upgrades.h"
#include "game/levels/upgradetarget.h"

#include <functional>
#include <string>
#include <vector>

// The game as the upgrades see it: every effect is written down.
class RecordingGame : public IUpgradeTarget {
public:
    TUpgrades upgrades;
    int tablesLeft = 1;
    bool tutorial = false;
    int shift = 1;
    std::vector<std::string> applied;
    std::function<void(const std::string&)> listener;  // told of each effect

    TUpgrades* GetUpgrades() override { return &upgrades; }
    bool IsTutorialActive() override { return tutorial; }
    str GetCurrentLevelStr() override { return str::getFormatted("%d", shift); }
    bool TableUpgradeAvailable() override { return tablesLeft > 0; }
    void TableUpgrade() override
    {
        --tablesLeft;
        Note("table");
    }
    void SetWaitressSpeed(float speed) override { Note("shoes " + Num(speed)); }
    void EnableStereo(int level, float frequency) override { Note("stereo " + Num(level) + " " + Num(frequency)); }
    void EnableMaitreD(float multiplier) override { Note("maitred " + Num(multiplier)); }
    void EnableBench(float multiplier, bool second) override { Note("bench " + Num(multiplier) + (second ? " second" : "")); }
    void EnableOven(float seconds) override { Note("oven " + Num(seconds)); }
    void EnableDrinkStation(float refresh, int mood) override { Note("drinks " + Num(refresh) + " " + Num(mood)); }
    void EnablePodium(float charge, float active, float delay, int mood, int parties) override
    {
        Note("podium " + Num(charge) + " " + Num(active) + " " + Num(delay) + " " + Num(mood) + " " + Num(parties));
    }

private:
    static std::string Num(float v) { return str::getFormatted("%g", double(v)).c_str(); }
    void Note(const std::string& text)
    {
        applied.push_back(text);
        if (listener)
            listener(text);
    }
};
