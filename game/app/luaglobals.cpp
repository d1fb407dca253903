#include "game/app/luaglobals.h"

#include "engine/base/clock.h"
#include "engine/base/debuglog.h"
#include "engine/platform/platform.h"
#include "engine/script/luabind.h"
#include "engine/script/windowscript.h"
#include "engine/window/modalwindow.h"
#include "engine/window/screen.h"
#include "engine/window/showwindow.h"
#include "engine/window/text.h"
#include "engine/window/webpage.h"
#include "engine/window/windowmanager.h"
#include "game/editors/leveleditor.h"
#include "game/play/game.h"
#include "game/settings/settings.h"

namespace game {

const char* const kPrivacyPolicyAddress = "https://corvellatrip.example.org/privacy";

namespace {

bool gInQuitConfirm = false;
bool gAllowQuitConfirm = false;

TWindowManager* Manager() { return TWindowManager::GetInstance(); }

int LuaReturn(lua_State* L, bool b)
{
    lua_pushboolean(L, b ? 1 : 0);
    return 1;
}

constexpr auto kMaingamewindow = contract::Child<TGame>("maingamewindow").In("scripts/game.lua");
constexpr auto kLeveleditorwindow = contract::Child<TLevelEditor>("leveleditorwindow").In("scripts/leveleditor.lua");
constexpr auto kToplevelmainmenu = contract::Child<TWindow>("toplevelmainmenu").In("scripts/mainmenu.lua").Optional();

// A window anywhere under the root, or null.
TWindow* FindUnderRoot(const contract::TChildSpec& child)
{
    TWindowManager* manager = Manager();
    TWindow* root = manager ? manager->GetScreen() : nullptr;
    return root ? root->GetChildWindow(child.name, -1) : nullptr;
}

int SetVersion(lua_State*)
{
    TWindowManager* manager = Manager();
    TModalWindow* top = manager ? manager->GetTopModalWindow() : nullptr;
    TWindow* child = top ? top->GetChildWindow("version", -1) : nullptr;
    TText* text = child ? ::GetCast<TText>(child) : nullptr;
    if (TPlatform* platform = TPlatform::GetInstance(); text && platform)
        text->SetText(platform->GetVersion());
    return 0;
}

int AllowQuitCofirm(lua_State* L)
{
    gAllowQuitConfirm = qm::lua::ToBool(L, 1);
    return 0;
}

int InQuitCofirm(lua_State* L)
{
    gInQuitConfirm = qm::lua::ToBool(L, 1);
    return 0;
}

// Pausing answers whether this call paused the game clock, so the caller
// resumes it only then; resuming always answers true.
int QuitConfirmPause(lua_State* L)
{
    const bool pause = qm::lua::ToBool(L, 1);
    TSettings* settings = TSettings::GetInstance();
    if (!settings)
        return LuaReturn(L, !pause);
    TClock* clock = settings->GetGameClock();
    if (!pause) {
        clock->Start();
        return LuaReturn(L, true);
    }
    const bool wasPaused = clock->Pause();
    return LuaReturn(L, !wasPaused);
}

int CurrentlyInGame(lua_State* L) { return LuaReturn(L, FindUnderRoot(kMaingamewindow) != nullptr); }

int ShowAnyCursor(lua_State* L)
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->HideCursor(!qm::lua::ToBool(L, 1));
    return 0;
}

// The argument is the visibility to set.
int HideMainMenu(lua_State* L)
{
    ShowWindow(FindUnderRoot(kToplevelmainmenu), qm::lua::ToBool(L, 1));
    return 0;
}

int LaunchPrivacyPolicy(lua_State*)
{
    qm::OpenWebPage(kPrivacyPolicyAddress);
    return 0;
}

// Bound to no object: each finds what it acts on when it is called.
// SetTopModalOnly, the game's ninth global, is the window manager's own
// (published with its lifeline when the window script is attached): the game
// does not publish it a second time.
const qm::lua::TBinding kGlobals[] = {
    {"SetVersion", SetVersion},
    {"AllowQuitCofirm", AllowQuitCofirm},
    {"InQuitCofirm", InQuitCofirm},
    {"QuitConfirmPause", QuitConfirmPause},
    {"CurrentlyInGame", CurrentlyInGame},
    {"ShowAnyCursor", ShowAnyCursor},
    {"HideMainMenu", HideMainMenu},
    {"LaunchPrivacyPolicy", LaunchPrivacyPolicy},
};

// The windows the globals and the close request look for by name.
const contract::TChildSpec kMainChildren[] = {
    kMaingamewindow,
    kLeveleditorwindow,
    // Shown and hidden by HideMainMenu when a screen names a window so.
    kToplevelmainmenu,
};

}  // namespace

const contract::TScreenSpec kMainContract{"Main", nullptr, nullptr, kGlobals, kMainChildren};

void PublishGameGlobals()
{
    gInQuitConfirm = false;
    gAllowQuitConfirm = false;
    if (TWindowScript* script = TWindowScript::Get())
        qm::lua::PublishAll(script->GetState(), kGlobals, kMainContract.className);
    else
        WriteDbg("no window script: the game's Lua globals are not published");
}

bool IsQuitConfirmAllowed() { return gAllowQuitConfirm; }
bool IsInQuitConfirm() { return gInQuitConfirm; }
void ClearInQuitConfirm() { gInQuitConfirm = false; }

}  // namespace game
