#include "game/levels/upgrades.h"

#include "engine/base/xml.h"
#include "engine/platform/platform.h"
#include "engine/window/stringtable.h"
#include "game/levels/upgradetarget.h"
#include "game/settings/configfile.h"
#include "game/settings/settings.h"

#include <algorithm>

namespace {

str Text(const str& label)
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->GetStringTable())
        return str();
    return platform->GetStringTable()->GetString(label, "", "", "", "", "");
}

// Elements of another restaurant are skipped; 0 (or none) means every one.
bool BelongsHere(const TXmlNode* node, int restaurantId)
{
    const int restaurant = node->GetAttribute("restaurant").to_int();
    return restaurant == 0 || restaurant == restaurantId;
}

TUpgradeLevel ReadLevel(TXmlNode* node, int restaurantId)
{
    TUpgradeLevel level;
    level.icon = node->GetChildContent("icon");
    level.icon.replace("%", str::getFormatted("%d", restaurantId), str::kReplaceAll);
    level.name = node->GetChildContent("name");
    level.price = node->GetChildContent("price").to_int();
    level.description = node->GetChildContent("description");
    level.unlock = node->GetChildContent("unlock").to_int();
    if (TXmlNode* props = node->GetChild("props")) {
        str key, value;
        props->ResetAttributes();
        while (props->GetNextAttribute(&key, &value))
            level.props[key] = value.to_float();
    }
    return level;
}

}  // namespace

float TUpgradeLevel::Prop(const char* key) const
{
    const auto found = props.find(str(key));
    return found == props.end() ? 0.0f : found->second;
}

TUpgrades::TUpgrades() { ParseUpgrades(); }

void TUpgrades::ParseUpgrades()
{
    mUpgrades.clear();
    TSettings* settings = TSettings::GetInstance();
    if (!settings || settings->GetCurrentGameModeInt() != TSettings::kEndlessMode)
        return;
    ParseUpgradesText(game::ReadConfigXmlText(kFile, "upgrades", "no upgrades are offered between shifts"),
                      settings->GetCurrentRestaurantID());
}

void TUpgrades::ParseUpgradesText(const str& text, int restaurantId)
{
    mUpgrades.clear();
    TXmlNode document;
    document.ParseString(text.c_str());
    TXmlNode* root = document.GetChild("upgrades");
    if (!root)
        return;
    str name;
    TXmlNode* element = nullptr;
    int index = 0;
    root->ResetChildren();
    while (root->GetNextChild(&name, &element))
        ReadUpgrade(element, index++, restaurantId);
}

void TUpgrades::ReadUpgrade(TXmlNode* element, int index, int restaurantId)
{
    if (!BelongsHere(element, restaurantId))
        return;
    TUpgrade upgrade;
    upgrade.id = element->GetAttribute("id");
    upgrade.index = index;
    bool anyLevel = false;
    str name;
    TXmlNode* child = nullptr;
    element->ResetChildren();
    while (element->GetNextChild(&name, &child)) {
        if (name != str("level"))
            continue;
        anyLevel = true;
        if (BelongsHere(child, restaurantId))
            upgrade.levels.push_back(ReadLevel(child, restaurantId));
    }
    if (anyLevel)
        mUpgrades.push_back(std::move(upgrade));
}

TUpgrade* TUpgrades::GetUpgrade(int i)
{
    return i >= 0 && i < Count() ? &mUpgrades[size_t(i)] : nullptr;
}

bool TUpgrades::UpgradeAvailable() const
{
    for (const TUpgrade& upgrade : mUpgrades)
        if (upgrade.HasLevelLeft())
            return true;
    return false;
}

str TUpgrades::GetCurrentDescription(const str& id) const
{
    for (const TUpgrade& upgrade : mUpgrades) {
        if (upgrade.id != id)
            continue;
        if (upgrade.level <= 0 || upgrade.levels.empty())
            return str();
        const size_t bought = std::min(size_t(upgrade.level), upgrade.levels.size());
        return Text(upgrade.levels[bought - 1].name);
    }
    return str();
}

void TUpgrades::UpgradeItem(const str& id, IUpgradeTarget* game)
{
    ++mBought;
    TSettings* settings = TSettings::GetInstance();
    const int shift = game ? game->GetCurrentLevelStr().to_int() : 0;
    str detail = settings ? str::getFormatted("%d, %d, %d", settings->GetCurrentLevel(),
                                              settings->GetCurrentRestaurant(), shift - 1)
                          : str();
    if (id == str(kTableId)) {
        if (settings)
            settings->RecordEventMetric("UpgradeEndless", detail + ", \"New Table\"");
        if (game)
            game->TableUpgrade();
        return;
    }
    for (TUpgrade& upgrade : mUpgrades) {
        if (upgrade.id != id)
            continue;
        // A fully bought upgrade is not bought again: there is no level to
        // name, log or apply.
        const TUpgradeLevel* next = upgrade.NextLevel();
        if (!next)
            continue;
        if (settings)
            settings->RecordEventMetric("UpgradeEndless", detail + ", \"" + Text(next->name) + "\"");
        ++upgrade.level;
        if (game)
            ApplyEffect(upgrade, *next, game);
    }
}

void TUpgrades::ApplyEffect(const TUpgrade& upgrade, const TUpgradeLevel& level, IUpgradeTarget* game)
{
    const str& id = upgrade.id;
    if (id == str("shoes"))
        game->SetWaitressSpeed(level.Prop("Speed"));
    else if (id == str("stereo"))
        game->EnableStereo(int(level.Prop("level")), level.Prop("frequency"));
    else if (id == str("maitred"))
        game->EnableMaitreD(level.Prop("patienceMultiplier"));
    else if (id == str("bench"))
        game->EnableBench(level.Prop("patienceMultiplier"), upgrade.level > 1);
    else if (id == str("oven"))
        game->EnableOven(level.Prop("foodReadyMS") / 1000.0f);
    else if (id == str("drinks"))
        game->EnableDrinkStation(level.Prop("drinkRefreshMS") / 1000.0f, int(level.Prop("moodPoints")));
    else if (id == str("podium"))
        game->EnablePodium(level.Prop("chargeMS") / 1000.0f, level.Prop("activeMS") / 1000.0f,
                           level.Prop("delayMS") / 1000.0f, int(level.Prop("moodPoints")),
                           int(level.Prop("parties")));
}

void TUpgrades::Reset()
{
    for (TUpgrade& upgrade : mUpgrades)
        upgrade.level = 0;
    mBought = 0;
}
