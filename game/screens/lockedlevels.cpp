#include "game/screens/lockedlevels.h"

#include "engine/base/directorysearch.h"
#include "engine/platform/platform.h"
#include "engine/script/luabind.h"
#include "engine/window/button.h"
#include "engine/window/stringtable.h"
#include "engine/window/text.h"
#include "game/settings/unlockmanager.h"

#include <cstring>

namespace {

const char kPackFolder[] = "assets/config/levels";

str Label(const str& label)
{
    TPlatform* platform = TPlatform::GetInstance();
    TStringTable* table = platform ? platform->GetStringTable() : nullptr;
    return table ? table->GetString(label, "", "", "", "", "") : str();
}

const TGameDescription* GameArg(lua_State* L)
{
    return qm::lua::Self<TLockedLevels>(L)->GetGame(qm::lua::CheckInt(L, 1));
}

int LuaGetFullLevelName(lua_State* L)
{
    const TGameDescription* game = GameArg(L);
    lua_pushstring(L, game ? game->file.c_str() : "");
    return 1;
}

int LuaIsButtonLocked(lua_State* L)
{
    const TGameDescription* game = GameArg(L);
    lua_pushboolean(L, game && game->state == TGameDescription::kLocked);
    return 1;
}

int LuaGetDescription(lua_State* L)
{
    const TGameDescription* game = GameArg(L);
    lua_pushstring(L, game ? Label(game->name + "_description").c_str() : "");
    return 1;
}

const qm::lua::TBinding kLuaFunctions[] = {
    {"GetFullLevelName", LuaGetFullLevelName},
    {"IsButtonLocked", LuaIsButtonLocked},
    {"GetDescription", LuaGetDescription},
};

void SetText(TText* text, const str& value)
{
    if (text)
        text->SetText(value);
}

using contract::Numbered;
const contract::TChildSpec kPackChildren[] = {
    Numbered("gamebutton_%d", 1, TLockedLevels::kSlots, &TButton::ClassId),
    Numbered("leveltext_%d", 1, TLockedLevels::kSlots, &TText::ClassId),
    Numbered("descriptiontext_%d", 1, TLockedLevels::kSlots, &TText::ClassId),
    Numbered("statustext_%d", 1, TLockedLevels::kSlots, &TText::ClassId),
};

}  // namespace

const contract::TScreenSpec TLockedLevels::kContract{"TLockedLevels", "LockedLevels", "scripts/lockedlevels.lua",
                                                     kLuaFunctions, kPackChildren};

TLockedLevels::TLockedLevels() { PublishFunctions(); }

const TGameDescription* TLockedLevels::GetGame(int index) const
{
    if (index < 0 || index >= GetGameCount())
        return nullptr;
    return &mGames[static_cast<size_t>(index)];
}

void TLockedLevels::PostChildrenInit()
{
    for (int k = 1; k <= kSlots; ++k) {
        TSlot& slot = mSlots[static_cast<size_t>(k - 1)];
        slot.button = Child<TButton>(str::getFormatted("gamebutton_%d", k).c_str());
        slot.title = Child<TText>(str::getFormatted("leveltext_%d", k).c_str());
        slot.description = Child<TText>(str::getFormatted("descriptiontext_%d", k).c_str());
        slot.status = Child<TText>(str::getFormatted("statustext_%d", k).c_str());
    }
    BuildGameList(kPackFolder);
    UpdateDisplay();
}

void TLockedLevels::BuildGameList(const char* folder)
{
    TDirectorySearch search(folder);
    char entry[1024];
    TUnlockManager* unlocks = TUnlockManager::GetInstance();
    while (search.GetNextFile(entry, sizeof entry)) {
        // "pack.bin" and "pack.xml.old" both name the pack "pack".
        const char* cut = std::strstr(entry, ".bin");
        if (!cut)
            cut = std::strstr(entry, ".xml");
        if (!cut)
            continue;
        const str name(entry, static_cast<size_t>(cut - entry));
        const bool ready = !unlocks || unlocks->IsItemUnlocked(TUnlockManager::kLevel, name, 0);
        AddGame(name, ready ? TGameDescription::kReady : TGameDescription::kLocked,
                str(kPackFolder) + "/" + name + ".xml");
    }
}

void TLockedLevels::AddGame(str name, TGameDescription::EContentState state, str file)
{
    for (const TGameDescription& game : mGames)
        if (game.file == file)
            return;
    mGames.push_back({name, state, file});
}

void TLockedLevels::UpdateDisplay()
{
    // A layout may leave a slot window out; that part of the slot is skipped.
    for (int i = 0; i < kSlots; ++i) {
        const TSlot& slot = mSlots[static_cast<size_t>(i)];
        const TGameDescription* game = GetGame(i);
        if (slot.button) {
            if (game)
                slot.button->AddFlags(kVisible);
            else
                slot.button->ClearFlags(kVisible);
        }
        SetText(slot.title, game ? Label(game->name + "_name") : str());
        SetText(slot.description, game ? Label(game->name + "_description") : str());
        SetText(slot.status, game ? Label(game->state == TGameDescription::kLocked ? "levellocked" : "levelready")
                                  : str());
    }
    InvalidateRect(nullptr);
}
