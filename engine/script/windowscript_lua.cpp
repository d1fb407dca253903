// The native functions the window script publishes to Lua. Each reads and
// checks its arguments first (luabind.h), then acts on the window system.
// The widget classes (text, text entry, button, image) and movie playback
// are not part of the engine yet: their creation functions build windows
// through the registered factories, and plain windows without them.
#include "engine/base/debuglog.h"
#include "engine/platform/platform.h"
#include "engine/script/luabind.h"
#include "engine/script/luamessage.h"
#include "engine/script/luaobject.h"
#include "engine/script/windowscript.h"
#include "engine/script/windowstyle.h"
#include "engine/window/layeredwindow.h"
#include "engine/window/modalwindow.h"
#include "engine/window/stringtable.h"
#include "engine/window/windowmanager.h"

#include "lauxlib.h"

#include <memory>

using namespace qm::lua;

namespace {

TWindowManager* Manager()
{
    return TWindowManager::GetInstance();
}

TModalWindow* TopModal()
{
    TWindowManager* manager = Manager();
    return manager ? manager->GetTopModalWindow() : nullptr;
}

TWindow* FindUnderTopModal(const str& name)
{
    TModalWindow* top = TopModal();
    return top ? top->GetChildWindow(name, -1) : nullptr;
}

// The definition table is the only argument; it becomes the stack top so
// that the readers see it.
void TakeDefinitionTable(lua_State* L)
{
    CheckTable(L, 1);
    lua_settop(L, 1);
}

}  // namespace

// Builds a window through the factory named by the table's `factory` key;
// null when there is no such factory.
TWindow* TWindowScript::MakeFromFactory(const char* defaultFactory)
{
    TWindowManager* manager = Manager();
    const str name = GetString("factory", defaultFactory);
    TWindowFactory* factory = manager ? manager->GetWindowFactory(name) : nullptr;
    if (!factory)
        return nullptr;
    lua_State* L = GetState();
    lua_pushvalue(L, -1);
    auto table = std::make_unique<TLuaTable>(L);
    TWindowStyle style(table.get());
    TWindow* w = factory->Create(&style);
    QM_ASSERT_TEXT(w, "window");
    return w;
}

int TWindowScript::LuaCreateWindow(lua_State* L)
{
    TakeDefinitionTable(L);
    TWindow* w = MakeFromFactory("_window");
    if (!w)
        w = new TWindow;
    InitWindow(w);
    return 0;
}

int TWindowScript::LuaCreateText(lua_State* L)
{
    QM_ASSERT_TEXT(L == GetState(), "L==GetState()");
    TakeDefinitionTable(L);
    TFontDescription font{"font.mvec", 16, TColor{0, 1, 0, 1}};
    if (GetTag("font", true))
        font = PopFont();
    if (font.name.length() == 0)
        luaL_error(L, "Font error: Font has no name!");
    if (font.height == 0)
        luaL_error(L, "Font error: Font has zero height!");
    const str name = GetString("name", "");
    const str label = GetString("label", "");
    TWindow* w = MakeFromFactory("_text");
    if (!w)
        w = new TWindow;
    if (InitWindow(w) && (w->GetWindowWidth() == 0 || w->GetWindowHeight() == 0))
        WriteDbg("ERROR: Attempting to create text window of size(0,0): named '%s', label '%s'", name.c_str(),
                 label.c_str());
    return 0;
}

int TWindowScript::LuaCreateTextEdit(lua_State* L)
{
    QM_ASSERT_TEXT(L == GetState(), "L==GetState()");
    TakeDefinitionTable(L);
    TWindow* w = MakeFromFactory("_textedit");
    if (!w)
        w = new TWindow;
    InitWindow(w);
    return 0;
}

int TWindowScript::LuaCreateButton(lua_State* L)
{
    QM_ASSERT_TEXT(L == GetState(), "L==GetState()");
    TakeDefinitionTable(L);
    const int type = ToInt(GetNumber("type", 0));
    TWindow* w = MakeFromFactory("_button");
    if (!w)
        w = new TLayeredWindow(type == 0 ? 3 : 4);
    if (!InitWindow(w))
        return 0;
    // The Lua Button calls cleanup once the label exists; without a button
    // class there is nothing to initialise, so it does nothing.
    lua_pushstring(L, "cleanup");
    lua_pushcfunction(L, [](lua_State*) { return 0; });
    lua_rawset(L, 1);
    return 0;
}

int TWindowScript::LuaCreateBitmap(lua_State* L)
{
    QM_ASSERT_TEXT(L == GetState(), "L==GetState()");
    TakeDefinitionTable(L);
    InitWindow(new TWindow);
    return 0;
}

int TWindowScript::LuaGenericCreate(lua_State* L)
{
    TakeDefinitionTable(L);
    const TClassId id = GetWindowType(GetString("typename", ""));
    if (id == 0)
        return 0;
    TWindow* w = TWindow::CreateFromId(id);
    QM_ASSERT_TEXT(w, "window");
    if (w && InitWindow(w))
        w->PostInit();
    return 0;
}

int TWindowScript::LuaHandleGetMessage(lua_State* L)
{
    if (lua_gettop(L) == 1)
        SetDelay(ToInt(lua_tonumber(L, 1)), false, true, false);
    else
        Pause();
    mWaitState = 3;
    lua_pushstring(L, "gYieldResult");
    lua_rawget(L, LUA_GLOBALSINDEX);
    return lua_yield(L, 1);
}

// ---- the rest, as free functions over the script bound to each ----------------

struct TWindowScriptLua {
    static TWindowScript* S(lua_State* L) { return Self<TWindowScript>(L); }

    static int PostCreate(lua_State* L)
    {
        if (TWindow* w = S(L)->GetCurrentWindow())
            w->PostChildrenInit();
        return 0;
    }
    static int PopWindow(lua_State* L)
    {
        S(L)->PopWindow();
        return 0;
    }
    static int DoSelectLayer(lua_State* L)
    {
        const int layer = CheckInt(L, 1);
        if (auto* layered = GetCast<TLayeredWindow>(S(L)->GetCurrentWindow()))
            layered->SetCurrentLayer(layer);
        return 0;
    }
    static int RealSetFocus(lua_State* L)
    {
        const str name = CheckString(L, 1);
        TWindow* current = S(L)->GetCurrentWindow();
        TWindow* found = current ? current->GetChildWindow(name, -1) : nullptr;
        if (TWindowManager* manager = Manager()) {
            TWindow* previous = manager->GetFocus();
            manager->SetFocus(found);
            if (found)
                found->OnSetFocus(previous);
        }
        return 0;
    }
    static int GetLabel(lua_State* L)
    {
        const str name = CheckString(L, 1);
        if (!TopModal()) {
            lua_pushstring(L, "");
            return 1;
        }
        // No window here is a text or a button yet.
        const str result = name + (FindUnderTopModal(name) ? "_is_not_a_TText_window_or_TButton" : "_is_not_found");
        lua_pushstring(L, result.c_str());
        return 1;
    }
    static int SetLabel(lua_State* L)
    {
        CheckString(L, 1);
        CheckString(L, 2);
        return 0;  // only text windows take a label
    }
    static int SetBitmap(lua_State* L)
    {
        CheckString(L, 1);
        CheckString(L, 2);
        CheckNumber(L, 3);
        return 0;  // only image windows take a texture
    }
    static int ImageLoaded(lua_State* L)
    {
        CheckString(L, 1);
        lua_pushboolean(L, false);
        return 1;
    }
    static int SetPosition(lua_State* L)
    {
        const str name = CheckString(L, 1);
        int x = CheckInt(L, 2);
        int y = CheckInt(L, 3);
        TWindow* w = FindUnderTopModal(name);
        if (!w)
            return 0;
        int width = w->GetWindowWidth();
        int height = w->GetWindowHeight();
        TWindowScript::FixSize(w, &x, &width, &TWindow::GetWindowWidth, false, false);
        TWindowScript::FixSize(w, &y, &height, &TWindow::GetWindowHeight, false, false);
        w->SetWindowPos(x, y);
        return 0;
    }
    static int SetCommand(lua_State* L)
    {
        CheckString(L, 1);
        CheckFunction(L, 2);
        return 0;  // only buttons take a command
    }
    static int DestroyWindow(lua_State* L)
    {
        const str name = CheckString(L, 1);
        TWindow* current = S(L)->GetCurrentWindow();
        TWindow* w = current ? current->GetChildWindow(name, -1) : nullptr;
        if (w && w->GetParent() && Manager()) {
            w->GetParent()->OrphanChild(w);
            Manager()->SafeDestroyWindow(w);
        }
        return 0;
    }
    static int UpdateWindow(lua_State*)
    {
        if (TModalWindow* top = TopModal())
            top->InvalidateRect(nullptr);
        return 0;
    }
    static int PushModal(lua_State* L)
    {
        const str name = CheckString(L, 1);
        TWindowManager* manager = Manager();
        if (!manager)
            return luaL_error(L, "PushModal: no window manager");
        auto* modal = new TModalWindow;
        modal->SetName(name);
        manager->PushModal(modal);
        lua_pushstring(L, FormatWindowId(modal->GetId()).c_str());
        return 1;
    }
    static int DoPopModal(lua_State*)
    {
        if (TWindowManager* manager = Manager())
            manager->PopModal();
        return 0;
    }
    static int ClearModalChildren(lua_State*)
    {
        TModalWindow* top = TopModal();
        if (!top)
            return 0;
        WriteDbg("ClearModalChildren: %s", top->GetName().c_str());
        top->DestroyTasks();
        top->DestroyAllChildren();
        top->SetWindowSize(0, 0);
        top->SetWindowPos(0, 0);
        return 0;
    }
    static int HandleGetMessage(lua_State* L) { return S(L)->LuaHandleGetMessage(L); }
    static int CreateNamedMessage(lua_State* L)
    {
        const int type = CheckInt(L, 1);
        const str name = CheckString(L, 2);
        LPCD::Push(L, S(L)->CreateNamedMessage(type, name));
        return 1;
    }
    static int CreateCloseMessage(lua_State* L)
    {
        TWindow* current = S(L)->GetCurrentWindow();
        LPCD::Push(L, S(L)->CreateNamedMessage(kCloseWindow, current ? current->GetIdText() : str("")));
        return 1;
    }
    static int Post(lua_State* L, bool toParent)
    {
        if (lua_type(L, 1) != LUA_TUSERDATA || !LPCD::Match(L, 1))
            BadArgument(L, 1, "message");
        lua_settop(L, 1);
        auto* message = new TLuaMessageWrapper(L);
        if (toParent) {
            TModalWindow* top = TopModal();
            message->SetTarget(top ? top->GetParent() : nullptr);
        }
        if (TWindowManager* manager = Manager())
            manager->PostWindowMessage(message);
        else
            delete message;
        return 0;
    }
    static int PostMessage(lua_State* L) { return Post(L, false); }
    static int PostMessageToParent(lua_State* L) { return Post(L, true); }
    static int GetString(lua_State* L)
    {
        const str id = CheckString(L, 1);
        str p[5];
        for (int i = 0; i < 5; ++i)
            p[i] = CheckString(L, i + 2);
        TPlatform* platform = TPlatform::GetInstance();
        TStringTable* strings = platform ? platform->GetStringTable() : nullptr;
        const str text = strings ? strings->GetString(id, p[0], p[1], p[2], p[3], p[4]) : id;
        lua_pushstring(L, text.c_str());
        return 1;
    }
    static int GetTimer(lua_State* L)
    {
        TPlatform* platform = TPlatform::GetInstance();
        lua_pushnumber(L, platform ? platform->Timer() : 0);
        return 1;
    }
    static int StartMovie(lua_State* L)
    {
        CheckString(L, 1);
        lua_pushboolean(L, false);  // no movie player in this engine yet
        return 1;
    }
    static int IsMoviePlaying(lua_State* L)
    {
        lua_pushboolean(L, false);
        return 1;
    }
    static int StopMovie(lua_State*) { return 0; }
    static int StringToClipboard(lua_State* L)
    {
        const str text = CheckString(L, 1);
        TPlatform* platform = TPlatform::GetInstance();
        lua_pushboolean(L, platform && platform->StringToClipboard(text));
        return 1;
    }
};

namespace {

template <int (TWindowScript::*member)(lua_State*)>
int Call(lua_State* L)
{
    return (Self<TWindowScript>(L)->*member)(L);
}

}  // namespace

void TWindowScript::PublishFunctions()
{
    using F = TWindowScriptLua;
    struct Entry {
        const char* name;
        lua_CFunction fn;
    };
    static const Entry entries[] = {
        {"CreateWindow", Call<&TWindowScript::LuaCreateWindow>},
        {"CreateText", Call<&TWindowScript::LuaCreateText>},
        {"CreateTextEdit", Call<&TWindowScript::LuaCreateTextEdit>},
        {"CreateButton", Call<&TWindowScript::LuaCreateButton>},
        {"CreateBitmap", Call<&TWindowScript::LuaCreateBitmap>},
        {"GenericCreate", Call<&TWindowScript::LuaGenericCreate>},
        {"PostCreate", F::PostCreate},
        {"PopWindow", F::PopWindow},
        {"DoSelectLayer", F::DoSelectLayer},
        {"RealSetFocus", F::RealSetFocus},
        {"GetLabel", F::GetLabel},
        {"SetLabel", F::SetLabel},
        {"_SetBitmap", F::SetBitmap},
        {"ImageLoaded", F::ImageLoaded},
        {"SetPosition", F::SetPosition},
        {"SetCommand", F::SetCommand},
        {"DestroyWindow", F::DestroyWindow},
        {"UpdateWindow", F::UpdateWindow},
        {"PushModal", F::PushModal},
        {"DoPopModal", F::DoPopModal},
        {"ClearModalChildren", F::ClearModalChildren},
        {"HandleGetMessage", F::HandleGetMessage},
        {"CreateNamedMessage", F::CreateNamedMessage},
        {"CreateCloseMessage", F::CreateCloseMessage},
        {"PostMessage", F::PostMessage},
        {"PostMessageToParent", F::PostMessageToParent},
        {"_GetString", F::GetString},
        {"GetTimer", F::GetTimer},
        {"StartMovie", F::StartMovie},
        {"IsMoviePlaying", F::IsMoviePlaying},
        {"StopMovie", F::StopMovie},
        {"StringToClipboard", F::StringToClipboard},
    };
    for (const Entry& e : entries)
        Publish(GetState(), e.name, this, e.fn);
}
