// TSettings: the functions the screens' scripts use to manage players and
// choose levels, one registration table. Each is a global of the window
// script's Lua state that calls the TSettings method it names on the current
// instance (qm::lua::Method with the Settings finder), so a script that outlives one instance
// (CreateSettings replaces it) never reaches a deleted object; with no
// instance a call does nothing and returns a default.
#include "game/settings/settings.h"

#include "engine/base/debuglog.h"
#include "engine/script/luabind.h"
#include "engine/script/windowscript.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowmanager.h"
#include "engine/platform/platform.h"

#include "lua.h"

namespace {

using qm::lua::Method;

// The instance, or null (logged): a call then does nothing.
TSettings* Settings(lua_State*)
{
    TSettings* s = TSettings::GetInstance();
    if (!s)
        WriteDbg("settings: Lua call without a settings object");
    return s;
}

// The next notice about a save found unreadable: the string labels of its
// title and body, and the body's words (the file, its owner, its folder),
// or nothing once all were told.
int LuaTakeSaveNotice(lua_State* L)
{
    TSettings* s = Settings(L);
    TSaveNotice notice;
    if (!s || !s->TakeSaveNotice(&notice))
        return 0;
    for (const str* value : {&notice.title, &notice.body, &notice.file, &notice.owner, &notice.folder})
        lua_pushstring(L, value->c_str());
    return 5;
}

template <auto Fn>
constexpr lua_CFunction kOnSettings = Method<Fn, Settings>;

// In the order the scripts expect them to be registered.
const qm::lua::TBinding kSettingsFunctions[] = {
    {"ToggleFullScreen", kOnSettings<&TSettings::ToggleFullScreen>},
    {"ToggleSoundMute", kOnSettings<&TSettings::ToggleSoundMute>},
    {"SetCurrentGameMode", kOnSettings<&TSettings::SetCurrentGameMode>},
    {"GetCurrentGameMode", kOnSettings<&TSettings::GetCurrentGameModeInt>},
    {"SetDownloadLevelName", kOnSettings<&TSettings::SetDownloadLevelName>},
    {"SetLevelInfoToDownloadLevel", kOnSettings<&TSettings::SetLevelInfoToDownloadLevel>},
    {"SetDownloadLevelDescription", kOnSettings<&TSettings::SetDownloadLevelDescription>},
    {"SetLevelMode", kOnSettings<&TSettings::SetLevelMode>},
    {"GetNumUsers", kOnSettings<&TSettings::GetNumUsers>},
    {"CreateNewUser", kOnSettings<&TSettings::CreateNewUser>},
    {"SetCurrentUser", kOnSettings<&TSettings::SetCurrentUser>},
    {"ChangeCurrentUserName", kOnSettings<&TSettings::ChangeCurrentUserName>},
    {"DeleteUser", kOnSettings<&TSettings::DeleteUser>},
    {"IsNameInUse", kOnSettings<&TSettings::IsNameInUse>},
    {"GetCurrentLevel", kOnSettings<&TSettings::GetCurrentLevel>},
    {"SetCurrentRestaurant", kOnSettings<&TSettings::SetCurrentRestaurant>},
    {"SetCurrentLevel", kOnSettings<&TSettings::SetCurrentLevel>},
    {"GetNumUnlockedLevels", kOnSettings<&TSettings::GetNumUnlockedLevels>},
    {"UnlockLevel", kOnSettings<&TSettings::UnlockLevel>},
    {"SetWindowNameMetric", kOnSettings<&TSettings::SetWindowNameMetric>},
    {"ShowBonusUnlockedDialog", kOnSettings<&TSettings::ShowBonusUnlockedDialog>},
    {"ActivateHelpClock", kOnSettings<&TSettings::ActivateHelpClock>},
    {"ActivatePauseClock", kOnSettings<&TSettings::ActivatePauseClock>},
    {"EnterQuessasCloset", kOnSettings<&TSettings::EnterQuessasCloset>},
    {"EnterUpgradeScreen", kOnSettings<&TSettings::EnterUpgradeScreen>},
    {"ClearNewClothing", kOnSettings<&TSettings::ClearNewClothing>},
    {"HasCheckedLoadGame", kOnSettings<&TSettings::HasCheckedLoadGame>},
    {"CheckedLoadGame", kOnSettings<&TSettings::CheckedLoadGame>},
    {"TakeSaveNotice", LuaTakeSaveNotice},
};

}  // namespace

void TSettings::RegisterLuaFunctions()
{
    TWindowScript* script = TWindowScript::Get();
    if (!script) {
        WriteDbg("settings: no window script; Lua functions not registered");
        return;
    }
    // Bound to no object: each function finds the current instance itself.
    qm::lua::PublishAll(script->GetState(), kSettingsFunctions, "TSettings");
}

void TSettings::SetWindowNameMetric(str name)
{
    TPlatform* platform = TPlatform::GetInstance();
    TWindowManager* manager = platform ? platform->GetWindowManager() : nullptr;
    if (TModalWindow* top = manager ? manager->GetTopModalWindow() : nullptr)
        top->SetName(name);
}
