// TUpgrades: the endless upgrades of the current restaurant
// (assets/config/endlessupgrades.xml) with the levels bought so far in this
// run. Between endless shifts the picker offers some; buying one applies its
// next level to the game through IUpgradeTarget and logs the purchase as the
// metric "UpgradeEndless". Bought levels live only in memory.
#pragma once

#include "engine/base/str.h"

#include <map>
#include <vector>

class IUpgradeTarget;
class TXmlNode;

struct TUpgradeLevel {
    str name;         // string-table label of the level's title
    str icon;         // texture base name of the offer's art ("%" is the restaurant 1-6)
    str description;  // string-table label
    int price = 0;
    int unlock = 0;
    std::map<str, float> props;  // the level's parameters; a missing one reads as 0

    float Prop(const char* key) const;
};

struct TUpgrade {
    str id;
    int level = 0;  // levels bought
    std::vector<TUpgradeLevel> levels;
    int index = 0;  // position of its element among the children of "upgrades"

    bool HasLevelLeft() const { return level >= 0 && level < int(levels.size()); }
    // The level the next purchase buys, or null when none is left.
    const TUpgradeLevel* NextLevel() const { return HasLevelLeft() ? &levels[size_t(level)] : nullptr; }
};

class TUpgrades {
public:
    static constexpr const char* kFile = "assets/config/endlessupgrades.xml";
    static constexpr const char* kTableId = "table";

    // Reads the catalogue (endless mode only; empty otherwise).
    TUpgrades();

    void ParseUpgrades();
    // Parses the catalogue from text, for the restaurant 1-6.
    void ParseUpgradesText(const str& text, int restaurantId);

    TUpgrade* GetUpgrade(int i);
    int Count() const { return int(mUpgrades.size()); }
    bool UpgradeAvailable() const;
    str GetCurrentDescription(const str& id) const;
    void UpgradeItem(const str& id, IUpgradeTarget* game);
    void Reset();
    int GetBoughtCount() const { return mBought; }

private:
    static void ApplyEffect(const TUpgrade& upgrade, const TUpgradeLevel& level, IUpgradeTarget* game);
    void ReadUpgrade(TXmlNode* element, int index, int restaurantId);

    int mBought = 0;
    std::vector<TUpgrade> mUpgrades;
};
