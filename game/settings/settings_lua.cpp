// TSettings: the functions the screens' scripts use to manage players and
// choose levels. Each is a global of the window script's Lua state that calls
// the current TSettings instance, so a script that outlives one instance
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

// Calls fn on the instance; pushes its result, or `none` without an instance.
template <typename Fn>
int WithSettings(Fn fn)
{
    if (TSettings* s = TSettings::GetInstance())
        return fn(*s);
    WriteDbg("settings: Lua call without a settings object");
    return 0;
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

struct TLuaEntry {
    const char* name;
    lua_CFunction fn;
};

// In the order the scripts expect them to be registered.
const TLuaEntry kLuaFunctions[] = {
    {"ToggleFullScreen", [](lua_State* L) { return WithSettings([L](TSettings& s) { return PushBool(L, s.ToggleFullScreen()); }); }},
    {"ToggleSoundMute", [](lua_State*) { return WithSettings([](TSettings& s) { s.ToggleSoundMute(); return 0; }); }},
    {"SetCurrentGameMode", [](lua_State* L) { const int m = CheckInt(L, 1); return WithSettings([m](TSettings& s) { s.SetCurrentGameMode(m); return 0; }); }},
    {"GetCurrentGameMode", [](lua_State* L) { return WithSettings([L](TSettings& s) { return PushInt(L, s.GetCurrentGameModeInt()); }); }},
    {"SetDownloadLevelName", [](lua_State* L) { const str n = CheckString(L, 1); return WithSettings([&n](TSettings& s) { s.SetDownloadLevelName(n); return 0; }); }},
    {"SetLevelInfoToDownloadLevel", [](lua_State*) { return WithSettings([](TSettings& s) { s.SetLevelInfoToDownloadLevel(); return 0; }); }},
    {"SetDownloadLevelDescription", [](lua_State* L) { const str t = CheckString(L, 1); return WithSettings([&t](TSettings& s) { s.SetDownloadLevelDescription(t); return 0; }); }},
    {"SetLevelMode", [](lua_State* L) { const int m = CheckInt(L, 1); return WithSettings([m](TSettings& s) { s.SetLevelMode(m); return 0; }); }},
    {"GetNumUsers", [](lua_State* L) { return WithSettings([L](TSettings& s) { return PushInt(L, s.GetNumUsers()); }); }},
    {"CreateNewUser", [](lua_State* L) { const str n = CheckString(L, 1); return WithSettings([&n](TSettings& s) { s.CreateNewUser(n); return 0; }); }},
    {"SetCurrentUser", [](lua_State* L) { const int i = CheckInt(L, 1); const bool f = ArgBool(L, 2); return WithSettings([i, f](TSettings& s) { s.SetCurrentUser(i, f); return 0; }); }},
    {"ChangeCurrentUserName", [](lua_State* L) { const str n = CheckString(L, 1); return WithSettings([&n](TSettings& s) { s.ChangeCurrentUserName(n); return 0; }); }},
    {"DeleteUser", [](lua_State* L) { const int i = CheckInt(L, 1); return WithSettings([i](TSettings& s) { s.DeleteUser(i); return 0; }); }},
    {"IsNameInUse", [](lua_State* L) { const str n = CheckString(L, 1); return WithSettings([L, &n](TSettings& s) { return PushBool(L, s.IsNameInUse(n)); }); }},
    {"GetCurrentLevel", [](lua_State* L) { return WithSettings([L](TSettings& s) { return PushInt(L, s.GetCurrentLevel()); }); }},
    {"SetCurrentRestaurant", [](lua_State* L) { const int r = CheckInt(L, 1); return WithSettings([r](TSettings& s) { s.SetCurrentRestaurant(r); return 0; }); }},
    {"SetCurrentLevel", [](lua_State* L) { const int l = CheckInt(L, 1); return WithSettings([l](TSettings& s) { s.SetCurrentLevel(l); return 0; }); }},
    {"GetNumUnlockedLevels", [](lua_State* L) { return WithSettings([L](TSettings& s) { return PushInt(L, s.GetNumUnlockedLevels()); }); }},
    {"UnlockLevel", [](lua_State* L) { const int r = CheckInt(L, 1); const int l = CheckInt(L, 2); return WithSettings([r, l](TSettings& s) { s.UnlockLevel(r, l); return 0; }); }},
    {"SetWindowNameMetric", [](lua_State* L) { const str n = CheckString(L, 1); return WithSettings([&n](TSettings& s) { s.SetWindowNameMetric(n); return 0; }); }},
    {"ShowBonusUnlockedDialog", [](lua_State* L) { return WithSettings([L](TSettings& s) { return PushBool(L, s.ShowBonusUnlockedDialog()); }); }},
    {"ActivateHelpClock", [](lua_State* L) { const bool on = ArgBool(L, 1); return WithSettings([on](TSettings& s) { s.ActivateHelpClock(on); return 0; }); }},
    {"ActivatePauseClock", [](lua_State* L) { const bool on = ArgBool(L, 1); return WithSettings([on](TSettings& s) { s.ActivatePauseClock(on); return 0; }); }},
    {"EnterQuessasCloset", [](lua_State* L) { return WithSettings([L](TSettings& s) { return PushBool(L, s.EnterQuessasCloset()); }); }},
    {"EnterUpgradeScreen", [](lua_State* L) { return WithSettings([L](TSettings& s) { return PushBool(L, s.EnterUpgradeScreen()); }); }},
    {"ClearNewClothing", [](lua_State*) { return WithSettings([](TSettings& s) { s.ClearNewClothing(); return 0; }); }},
    {"HasCheckedLoadGame", [](lua_State* L) { return WithSettings([L](TSettings& s) { return PushBool(L, s.HasCheckedLoadGame()); }); }},
    {"CheckedLoadGame", [](lua_State*) { return WithSettings([](TSettings& s) { s.CheckedLoadGame(); return 0; }); }},
};

}  // namespace

void TSettings::RegisterLuaFunctions()
{
    TWindowScript* script = TWindowScript::Get();
    if (!script) {
        WriteDbg("settings: no window script; Lua functions not registered");
        return;
    }
    for (const TLuaEntry& entry : kLuaFunctions)
        qm::lua::Publish(script->GetState(), entry.name, nullptr, entry.fn);
}

void TSettings::SetWindowNameMetric(str name)
{
    TPlatform* platform = TPlatform::GetInstance();
    TWindowManager* manager = platform ? platform->GetWindowManager() : nullptr;
    if (TModalWindow* top = manager ? manager->GetTopModalWindow() : nullptr)
        top->SetName(name);
}
