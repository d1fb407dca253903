#include "game/app/luaglobals.h"

#include "engine/base/clock.h"
#include "engine/base/debuglog.h"
#include "engine/platform/platform.h"
#include "engine/script/luabind.h"
#include "engine/script/windowscript.h"
#include "engine/window/modalwindow.h"
#include "engine/window/screen.h"
#include "engine/window/text.h"
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

// Flags are read as Lua truth (nil and false are false).
bool LuaBoolArg(lua_State* L, int i) { return lua_toboolean(L, i) != 0; }

int LuaReturn(lua_State* L, bool b)
{
    lua_pushboolean(L, b ? 1 : 0);
    return 1;
}

// A window anywhere under the root, or null.
TWindow* FindUnderRoot(const char* name)
{
    TWindowManager* manager = Manager();
    TWindow* root = manager ? manager->GetScreen() : nullptr;
    return root ? root->GetChildWindow(name, -1) : nullptr;
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
    gAllowQuitConfirm = LuaBoolArg(L, 1);
    return 0;
}

int InQuitCofirm(lua_State* L)
{
    gInQuitConfirm = LuaBoolArg(L, 1);
    return 0;
}

// Pausing answers whether this call paused the game clock, so the caller
// resumes it only then; resuming always answers true.
int QuitConfirmPause(lua_State* L)
{
    const bool pause = LuaBoolArg(L, 1);
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

int CurrentlyInGame(lua_State* L) { return LuaReturn(L, FindUnderRoot("maingamewindow") != nullptr); }

int ShowAnyCursor(lua_State* L)
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->HideCursor(!LuaBoolArg(L, 1));
    return 0;
}

// The argument is the visibility to set.
int HideMainMenu(lua_State* L)
{
    TWindow* menu = FindUnderRoot("toplevelmainmenu");
    if (!menu)
        return 0;
    if (LuaBoolArg(L, 1))
        menu->AddFlags(TWindow::kVisible);
    else
        menu->ClearFlags(TWindow::kVisible);
    menu->InvalidateRect(nullptr);
    return 0;
}

int LaunchPrivacyPolicy(lua_State*)
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->OpenBrowser(kPrivacyPolicyAddress);
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
    contract::Child("maingamewindow", &TGame::ClassId).In("scripts/game.lua"),
    contract::Child("leveleditorwindow", &TLevelEditor::ClassId).In("scripts/leveleditor.lua"),
    // Shown and hidden by HideMainMenu when a screen names a window so.
    contract::Child("toplevelmainmenu").In("scripts/mainmenu.lua").Optional(),
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
