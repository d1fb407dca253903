// TSettings: the functions the screens' scripts use to manage players and
// choose levels, one function per binding and one registration table. Each is
// a global of the window script's Lua state that calls the current TSettings
// instance, so a script that outlives one instance
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

using qm::lua::CheckInt;
using qm::lua::CheckString;

// The instance, or null (logged): a call then does nothing.
TSettings* Settings()
{
    TSettings* s = TSettings::GetInstance();
    if (!s)
        WriteDbg("settings: Lua call without a settings object");
    return s;
}

int PushBool(lua_State* L, bool b)
{
    lua_pushboolean(L, b ? 1 : 0);
    return 1;
}

int PushInt(lua_State* L, int n)
{
    lua_pushnumber(L, static_cast<lua_Number>(n));
    return 1;
}

bool ArgBool(lua_State* L, int i) { return lua_toboolean(L, i) != 0; }

int LuaToggleFullScreen(lua_State* L)
{
    TSettings* s = Settings();
    if (!s)
        return 0;
    return PushBool(L, s->ToggleFullScreen());
}

int LuaToggleSoundMute(lua_State*)
{
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->ToggleSoundMute();
    return 0;
}

int LuaSetCurrentGameMode(lua_State* L)
{
    const int m = CheckInt(L, 1);
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->SetCurrentGameMode(m);
    return 0;
}

int LuaGetCurrentGameMode(lua_State* L)
{
    TSettings* s = Settings();
    if (!s)
        return 0;
    return PushInt(L, s->GetCurrentGameModeInt());
}

int LuaSetDownloadLevelName(lua_State* L)
{
    const str n = CheckString(L, 1);
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->SetDownloadLevelName(n);
    return 0;
}

int LuaSetLevelInfoToDownloadLevel(lua_State*)
{
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->SetLevelInfoToDownloadLevel();
    return 0;
}

int LuaSetDownloadLevelDescription(lua_State* L)
{
    const str t = CheckString(L, 1);
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->SetDownloadLevelDescription(t);
    return 0;
}

int LuaSetLevelMode(lua_State* L)
{
    const int m = CheckInt(L, 1);
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->SetLevelMode(m);
    return 0;
}

int LuaGetNumUsers(lua_State* L)
{
    TSettings* s = Settings();
    if (!s)
        return 0;
    return PushInt(L, s->GetNumUsers());
}

int LuaCreateNewUser(lua_State* L)
{
    const str n = CheckString(L, 1);
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->CreateNewUser(n);
    return 0;
}

int LuaSetCurrentUser(lua_State* L)
{
    const int i = CheckInt(L, 1);
    const bool f = ArgBool(L, 2);
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->SetCurrentUser(i, f);
    return 0;
}

int LuaChangeCurrentUserName(lua_State* L)
{
    const str n = CheckString(L, 1);
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->ChangeCurrentUserName(n);
    return 0;
}

int LuaDeleteUser(lua_State* L)
{
    const int i = CheckInt(L, 1);
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->DeleteUser(i);
    return 0;
}

int LuaIsNameInUse(lua_State* L)
{
    const str n = CheckString(L, 1);
    TSettings* s = Settings();
    if (!s)
        return 0;
    return PushBool(L, s->IsNameInUse(n));
}

int LuaGetCurrentLevel(lua_State* L)
{
    TSettings* s = Settings();
    if (!s)
        return 0;
    return PushInt(L, s->GetCurrentLevel());
}

int LuaSetCurrentRestaurant(lua_State* L)
{
    const int r = CheckInt(L, 1);
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->SetCurrentRestaurant(r);
    return 0;
}

int LuaSetCurrentLevel(lua_State* L)
{
    const int l = CheckInt(L, 1);
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->SetCurrentLevel(l);
    return 0;
}

int LuaGetNumUnlockedLevels(lua_State* L)
{
    TSettings* s = Settings();
    if (!s)
        return 0;
    return PushInt(L, s->GetNumUnlockedLevels());
}

int LuaUnlockLevel(lua_State* L)
{
    const int r = CheckInt(L, 1);
    const int l = CheckInt(L, 2);
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->UnlockLevel(r, l);
    return 0;
}

int LuaSetWindowNameMetric(lua_State* L)
{
    const str n = CheckString(L, 1);
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->SetWindowNameMetric(n);
    return 0;
}

int LuaShowBonusUnlockedDialog(lua_State* L)
{
    TSettings* s = Settings();
    if (!s)
        return 0;
    return PushBool(L, s->ShowBonusUnlockedDialog());
}

// The next notice about a save found unreadable: its string label and the
// file it names, or nothing once all were told.
int LuaTakeSaveNotice(lua_State* L)
{
    TSettings* s = Settings();
    str label, file;
    if (!s || !s->TakeSaveNotice(&label, &file))
        return 0;
    lua_pushstring(L, label.c_str());
    lua_pushstring(L, file.c_str());
    return 2;
}

int LuaActivateHelpClock(lua_State* L)
{
    const bool on = ArgBool(L, 1);
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->ActivateHelpClock(on);
    return 0;
}

int LuaActivatePauseClock(lua_State* L)
{
    const bool on = ArgBool(L, 1);
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->ActivatePauseClock(on);
    return 0;
}

int LuaEnterQuessasCloset(lua_State* L)
{
    TSettings* s = Settings();
    if (!s)
        return 0;
    return PushBool(L, s->EnterQuessasCloset());
}

int LuaEnterUpgradeScreen(lua_State* L)
{
    TSettings* s = Settings();
    if (!s)
        return 0;
    return PushBool(L, s->EnterUpgradeScreen());
}

int LuaClearNewClothing(lua_State*)
{
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->ClearNewClothing();
    return 0;
}

int LuaHasCheckedLoadGame(lua_State* L)
{
    TSettings* s = Settings();
    if (!s)
        return 0;
    return PushBool(L, s->HasCheckedLoadGame());
}

int LuaCheckedLoadGame(lua_State*)
{
    TSettings* s = Settings();
    if (!s)
        return 0;
    s->CheckedLoadGame();
    return 0;
}

// In the order the scripts expect them to be registered.
const qm::lua::TBinding kSettingsFunctions[] = {
    {"ToggleFullScreen", LuaToggleFullScreen},
    {"ToggleSoundMute", LuaToggleSoundMute},
    {"SetCurrentGameMode", LuaSetCurrentGameMode},
    {"GetCurrentGameMode", LuaGetCurrentGameMode},
    {"SetDownloadLevelName", LuaSetDownloadLevelName},
    {"SetLevelInfoToDownloadLevel", LuaSetLevelInfoToDownloadLevel},
    {"SetDownloadLevelDescription", LuaSetDownloadLevelDescription},
    {"SetLevelMode", LuaSetLevelMode},
    {"GetNumUsers", LuaGetNumUsers},
    {"CreateNewUser", LuaCreateNewUser},
    {"SetCurrentUser", LuaSetCurrentUser},
    {"ChangeCurrentUserName", LuaChangeCurrentUserName},
    {"DeleteUser", LuaDeleteUser},
    {"IsNameInUse", LuaIsNameInUse},
    {"GetCurrentLevel", LuaGetCurrentLevel},
    {"SetCurrentRestaurant", LuaSetCurrentRestaurant},
    {"SetCurrentLevel", LuaSetCurrentLevel},
    {"GetNumUnlockedLevels", LuaGetNumUnlockedLevels},
    {"UnlockLevel", LuaUnlockLevel},
    {"SetWindowNameMetric", LuaSetWindowNameMetric},
    {"ShowBonusUnlockedDialog", LuaShowBonusUnlockedDialog},
    {"ActivateHelpClock", LuaActivateHelpClock},
    {"ActivatePauseClock", LuaActivatePauseClock},
    {"EnterQuessasCloset", LuaEnterQuessasCloset},
    {"EnterUpgradeScreen", LuaEnterUpgradeScreen},
    {"ClearNewClothing", LuaClearNewClothing},
    {"HasCheckedLoadGame", LuaHasCheckedLoadGame},
    {"CheckedLoadGame", LuaCheckedLoadGame},
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
