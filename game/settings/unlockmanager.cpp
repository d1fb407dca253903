#include "game/settings/unlockmanager.h"

#include "engine/base/debuglog.h"
#include "engine/base/xml.h"
#include "engine/script/luabind.h"
#include "engine/script/windowscript.h"
#include "game/settings/configfile.h"
#include "game/settings/settings.h"

#include "lua.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

const char* const kUnlocksFile = "assets/config/unlocks.xml";

std::unique_ptr<TUnlockManager> gInstance;

bool SameText(const str& a, const char* b) { return std::strcmp(a.c_str(), b) == 0; }

// Calls fn on every "unlock" element in order until it returns false.
void ForEachRule(TXmlNode* root, const std::function<bool(TXmlNode*)>& fn)
{
    if (!root)
        return;
    str name;
    TXmlNode* rule = nullptr;
    root->ResetChildren();
    while (root->GetNextChild(&name, &rule))
        if (SameText(name, "unlock") && !fn(rule))
            return;
}

// The Lua global calls whatever manager exists now, so a script never
// reaches one that was freed; with none it answers nothing.
TUnlockManager* CurrentManager(lua_State*)
{
    TUnlockManager* manager = TUnlockManager::GetInstance();
    if (!manager)
        WriteDbg("IsSomethingNewUnlocked: no unlock manager");
    return manager;
}

}  // namespace

str TUnlockManager::TypeToStr(int type)
{
    switch (type) {
    case kLevel: return str("level");
    case kOutfit: return str("outfit");
    default: return str();
    }
}

TUnlockManager* TUnlockManager::Create()
{
    gInstance.reset();
    gInstance.reset(new TUnlockManager());  // private constructor
    return gInstance.get();
}

TUnlockManager* TUnlockManager::GetInstance() { return gInstance.get(); }

void TUnlockManager::Free() { gInstance.reset(); }

TUnlockManager::TUnlockManager() : mData(std::make_unique<TUnlockManagerData>())
{
    game::ReadConfigDocument(kUnlocksFile, &mData->document, "unlocks", "nothing is locked");
    RegisterLuaFunction();
}

TUnlockManager::~TUnlockManager() = default;

void TUnlockManager::RegisterLuaFunction()
{
    TWindowScript* script = TWindowScript::Get();
    if (!script) {
        WriteDbg("TUnlockManager: no window script; IsSomethingNewUnlocked not registered");
        return;
    }
    qm::lua::Publish(script->GetState(), "IsSomethingNewUnlocked", "TUnlockManager", nullptr,
                         qm::lua::Method<&TUnlockManager::IsSomethingNewUnlocked, CurrentManager>);
}

TXmlNode* TUnlockManager::Root() const { return mData->document.GetChild("unlocks"); }

bool TUnlockManager::IsNodeUnlocked(TXmlNode* rule)
{
    if (!rule)
        return false;
    const int level = rule->GetAttribute("level").to_int();
    const int levelScore = rule->GetAttribute("levelscore").to_int();
    const int score = rule->GetAttribute("score").to_int();
    const int restaurantExpert = rule->GetAttribute("restaurantexpert").to_int();
    TSettings* settings = TSettings::GetInstance();
    if (!settings)  // no player: only rules without conditions are met
        return level <= 0 && score <= 0 && restaurantExpert <= 0;

    bool met = true;
    if (level > 0) {
        if (!settings->HasBeatGame() && settings->GetNumUnlockedLevels() < level + 1) {
            met = false;
        } else if (levelScore > 0) {
            int restaurant = 0;
            int levelInRestaurant = 0;
            TSettings::LevelToRestaurantAndLevel(level - 1, &restaurant, &levelInRestaurant);
            met = levelScore <= settings->GetLevelScore(restaurant, levelInRestaurant);
        }
    }
    if (score > 0 && score > settings->GetCareerScore(-1))
        met = false;
    if (restaurantExpert > 0 && !settings->BeatRestaurantOnExpert(restaurantExpert - 1))
        met = false;
    return met;
}

bool TUnlockManager::IsAnyLevelUnlocked()
{
    bool any = false;
    ForEachRule(Root(), [&](TXmlNode* rule) {
        any = SameText(rule->GetAttribute("type"), "level") && IsNodeUnlocked(rule);
        return !any;
    });
    return any;
}

TXmlNode* TUnlockManager::ItemRule(EUnlockType type, const str& name, int color) const
{
    const str typeName = TypeToStr(type);
    TXmlNode* found = nullptr;
    ForEachRule(Root(), [&](TXmlNode* rule) {
        if (!SameText(rule->GetAttribute("name"), name.c_str()) || !SameText(rule->GetAttribute("type"), typeName.c_str()))
            return true;
        if (type == kOutfit) {
            const str ruleColor = rule->GetAttribute("color");
            if (ruleColor.length() > 0 && ruleColor.to_int() != color)
                return true;
        }
        found = rule;
        return false;
    });
    return found;
}

bool TUnlockManager::IsItemUnlocked(EUnlockType type, str name, int color)
{
    TXmlNode* rule = ItemRule(type, name, color);
    return !rule || IsNodeUnlocked(rule);  // no rule names it: open
}

int TUnlockManager::LevelToFinish(EUnlockType type, str name) const
{
    TXmlNode* rule = ItemRule(type, name, 0);
    if (!rule)
        return 0;
    for (const char* more : {"levelscore", "score", "restaurantexpert"})
        if (rule->GetAttribute(more).to_int() > 0)
            return 0;
    return std::max(0, rule->GetAttribute("level").to_int());
}

void TUnlockManager::MarkCurrentState()
{
    ForEachRule(Root(), [&](TXmlNode* rule) {
        rule->SetAttribute("_stateUnlocked", IsNodeUnlocked(rule) ? "true" : "false");
        return true;
    });
}

bool TUnlockManager::GetNextUnlockedItem(EUnlockType* type, str* name)
{
    bool found = false;
    ForEachRule(Root(), [&](TXmlNode* rule) {
        if (SameText(rule->GetAttribute("_stateUnlocked"), "true") || !IsNodeUnlocked(rule))
            return true;
        if (name)
            *name = rule->GetAttribute("name");
        if (type) {
            const str typeName = rule->GetAttribute("type");
            *type = static_cast<EUnlockType>(SameText(typeName, "level") ? 0 : SameText(typeName, "outfit") ? 1 : 2);
        }
        rule->SetAttribute("_stateUnlocked", "true");
        found = true;
        return false;
    });
    return found;
}

bool TUnlockManager::IsSomethingNewUnlocked()
{
    bool any = false;
    ForEachRule(Root(), [&](TXmlNode* rule) {
        any = !SameText(rule->GetAttribute("_stateUnlocked"), "true") && IsNodeUnlocked(rule);
        return !any;
    });
    return any;
}
