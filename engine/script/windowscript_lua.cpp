// The native functions the window script publishes to Lua. Each reads and
// checks its arguments first (luabind.h), then acts on the window system.
#include "engine/base/debuglog.h"
#include "engine/platform/platform.h"
#include "engine/render/texture.h"
#include "engine/script/buttonaction.h"
#include "engine/script/luabind.h"
#include "engine/script/luamessage.h"
#include "engine/script/luaobject.h"
#include "engine/script/windowscript.h"
#include "engine/script/windowstyle.h"
#include "engine/window/button.h"
#include "engine/window/image.h"
#include "engine/window/layeredwindow.h"
#include "engine/window/modalwindow.h"
#include "engine/window/stringtable.h"
#include "engine/window/text.h"
#include "engine/window/textedit.h"
#include "engine/window/windowmanager.h"

#include "lauxlib.h"

#include <cstdio>
#include <memory>
#include <string>

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

namespace {

// The factory's window when it is of the class the creation function makes;
// otherwise the plain class, so the window stack of the screen stays
// balanced whatever a custom factory returns.
template <typename T, typename Make>
T* Checked(TWindow* made, const char* expression, Make makePlain)
{
    if (made && made->IsKindOf(T::ClassId()))
        return static_cast<T*>(made);
    if (made) {
        WriteDbg("ASSERT(%s) FAILED!! %s, %d", expression, QM_SOURCE_FILE, __LINE__);
        delete made;
    }
    return makePlain();
}

// A label is looked up in the string table unless it starts with "#"
// (shown without it) or is a number.
str TranslateLabel(const str& label)
{
    if (label[0] == '#')
        return label.substr(1);
    const std::string text = label.c_str();
    if (text.find_first_not_of("0123456789.") == std::string::npos)
        return label;
    TPlatform* platform = TPlatform::GetInstance();
    TStringTable* strings = platform ? platform->GetStringTable() : nullptr;
    return strings ? strings->GetString(label, "", "", "", "", "") : label;
}

// A rotation origin against the window's own extent, as positions are coded.
int DecodeOrigin(int o, int extent)
{
    if (o > 106666)
        return o - TWindowScript::kMax + extent;
    if (o > 40000)
        return o - TWindowScript::kCenter + extent / 2;
    if (o < 0)
        return o + extent;
    return o;
}

}  // namespace

TFontDescription TWindowScript::ReadFont()
{
    TFontDescription font{"font.mvec", 16, TColor{0, 1, 0, 1}, 0, TColor{}};
    if (GetTag("font", true))
        font = PopFont();
    return font;
}

int TWindowScript::LuaCreateText(lua_State* L)
{
    QM_ASSERT_TEXT(L == GetState(), "L==GetState()");
    TakeDefinitionTable(L);
    const TFontDescription font = ReadFont();
    if (font.name.length() == 0)
        luaL_error(L, "Font error: Font has no name!");
    if (font.height == 0)
        luaL_error(L, "Font error: Font has zero height!");
    const str name = GetString("name", "");
    str label = GetString("label", "");
    if (label.length() != 0 && mStringTable)
        label = TranslateLabel(label);
    const int defflags = static_cast<int>(GetNumber("defflags", 0));
    const int flags = static_cast<int>(GetNumber("flags", defflags));
    const int padding = static_cast<int>(GetNumber("padding", 0));
    const float rotation = static_cast<float>(GetNumber("rotation", 0));
    const int originX = static_cast<int>(GetNumber("rotationOriginX", 0));
    const int originY = static_cast<int>(GetNumber("rotationOriginY", 0));

    TText* text = Checked<TText>(MakeFromFactory("_text"), "tWindow", [] { return new TText(false); });
    if (!InitWindow(text))
        return 0;
    const int width = text->GetWindowWidth();
    const int height = text->GetWindowHeight();
    if (width == 0 || height == 0) {
        WriteDbg("ERROR: Attempting to create text window of size(0,0): named '%s', label '%s'", name.c_str(),
                 label.c_str());
        return 0;
    }
    text->SetLineSpacing(padding);
    text->SetOutline(font.outlineSize, font.outlineColor);
    text->Create(label, width, height, flags, font.name.c_str(), font.height, font.color);
    if (rotation != 0)
        text->SetRotation(rotation, DecodeOrigin(originX, width), DecodeOrigin(originY, height));
    return 0;
}

int TWindowScript::LuaCreateTextEdit(lua_State* L)
{
    QM_ASSERT_TEXT(L == GetState(), "L==GetState()");
    TakeDefinitionTable(L);
    const TFontDescription font = ReadFont();
    const str label = GetString("label", "");
    const bool password = GetBool("password", false);
    const int length = static_cast<int>(GetNumber("length", 10));
    const str ignore = GetString("ignore", "");
    const int flags = static_cast<int>(GetNumber("flags", 0));

    TTextEdit* edit = Checked<TTextEdit>(MakeFromFactory("_textedit"), "tWindow", [] { return new TTextEdit; });
    if (password)
        edit->SetPassword(true);
    if (!InitWindow(edit))
        return 0;
    edit->Create(label, edit->GetWindowWidth(), edit->GetWindowHeight(), flags, font.name.c_str(), font.height,
                 font.color);
    edit->SetMaxLength(length);
    edit->SetIgnoreChars(ignore);
    return 0;
}

int TWindowScript::LuaCreateButton(lua_State* L)
{
    QM_ASSERT_TEXT(L == GetState(), "L==GetState()");
    TakeDefinitionTable(L);
    const str name = GetString("name", "");
    const str sound = GetString("sound", "");
    const str rolloverSound = GetString("rolloversound", "");
    const str mask = GetString("mask", "");
    const int type = ToInt(GetNumber("type", 0));
    const float scale = static_cast<float>(GetNumber("scale", 1.0));
    int options = 0;
    if (GetBool("sendToParent", false))
        options |= 2;
    if (GetBool("beginGroup", false))
        options |= 1;
    if (GetBool("close", false))
        options |= 4;
    if (GetBool("default", false))
        options |= 8;

    TButton* button = Checked<TButton>(MakeFromFactory("_button"), "bWindow",
                                       [type] { return new TButton(static_cast<TButton::EButtonType>(type)); });
    if (GetBool("on", false))
        button->SetOn(true);
    button->SetName(name);
    button->AddFlags(options);
    if (sound.length() != 0)
        button->SetSound(TButton::kPressed, sound);
    if (rolloverSound.length() != 0)
        button->SetSound(TButton::kRollover, rolloverSound);
    if (mask.length() != 0)
        button->SetClickMask(TTexture::Get(mask, 0));
    AddButtonGraphics(button, type, scale);

    if (!InitWindow(button))
        return 0;
    if (GetTag("command", true)) {
        if (lua_isfunction(L, -1))
            button->SetCommand(new TButton::LuaAction(new TLuaFunction(L)));
        else
            lua_pop(L, 1);
    }
    button->SetCurrentLayer(-1);

    // The Lua Button calls cleanup once the label exists: the button then
    // selects its normal look over all its children.
    lua_pushstring(L, "cleanup");
    PushBound(L, "cleanup", button, button->Lifeline(), &TWindowScript::LuaButtonCleanup);
    lua_rawset(L, 1);
    return 0;
}

// One picture a layer from the `graphics` list; a missing later entry
// repeats the last picture given.
void TWindowScript::AddButtonGraphics(TButton* button, int type, float scale)
{
    lua_State* L = GetState();
    if (!GetTag("graphics", true))
        return;
    if (lua_istable(L, -1)) {
        const int layers = type == 0 ? 3 : 4;
        TImage* latest = nullptr;
        for (int i = 0; i < layers; ++i) {
            lua_rawgeti(L, -1, i + 1);
            if (lua_isstring(L, -1)) {
                auto image = std::make_unique<TImage>(true);
                image->SetTexture(TTexture::Get(lua_tostring(L, -1), 0), scale);
                char imageName[32];
                std::snprintf(imageName, sizeof imageName, "image%d", i);
                image->SetName(imageName);
                button->SetCurrentLayer(i);
                latest = button->AdoptChild(image.get(), true) ? image.release() : nullptr;
            } else {
                button->SetCurrentLayer(i);
                if (latest)
                    button->AdoptChild(latest, true);
            }
            lua_pop(L, 1);
        }
    }
    lua_pop(L, 1);
}

// Bound to the button's lifeline: the screen may have destroyed the button
// between its creation and this call.
int TWindowScript::LuaButtonCleanup(lua_State* L)
{
    Self<TWindow>(L)->Init();
    return 0;
}

int TWindowScript::LuaCreateBitmap(lua_State* L)
{
    QM_ASSERT_TEXT(L == GetState(), "L==GetState()");
    TakeDefinitionTable(L);
    const str image = GetString("image", "");
    const str mask = GetString("mask", "");
    const float scale = static_cast<float>(GetNumber("scale", 1.0));
    const bool mipmap = GetBool("mipmap", false);
    const double alpha = GetNumber("alpha", 0);
    const int options = (mipmap ? 2 : 0) | (alpha != 0 ? 1 : 0);
    std::shared_ptr<TTexture> texture;
    if (image.length() != 0 && mask.length() != 0)
        texture = TTexture::GetMerged(image, mask, options);
    else if (image.length() != 0)
        texture = TTexture::Get(image, options);
    auto* bitmap = new TImage(true);
    bitmap->SetTexture(texture, scale);
    InitWindow(bitmap);
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
        str result;
        if (TopModal()) {
            TWindow* w = FindUnderTopModal(name);
            if (!w)
                result = name + "_is_not_found";
            else if (TText* text = GetCast<TText>(w))
                result = text->GetText();
            else if (TButton* button = GetCast<TButton>(w))
                result = button->GetLabel();
            else
                result = name + "_is_not_a_TText_window_or_TButton";
        }
        lua_pushstring(L, result.c_str());
        return 1;
    }
    static int SetLabel(lua_State* L)
    {
        const str name = CheckString(L, 1);
        const str label = CheckString(L, 2);
        if (TText* text = GetCast<TText>(FindUnderTopModal(name)))
            text->SetText(label);
        return 0;
    }
    static int SetBitmap(lua_State* L)
    {
        const str name = CheckString(L, 1);
        const str image = CheckString(L, 2);
        const float scale = static_cast<float>(CheckNumber(L, 3));
        if (TImage* bitmap = GetCast<TImage>(FindUnderTopModal(name)))
            bitmap->SetTexture(TTexture::Get(image, 0), scale);
        return 0;
    }
    static int ImageLoaded(lua_State* L)
    {
        const str name = CheckString(L, 1);
        TImage* bitmap = GetCast<TImage>(FindUnderTopModal(name));
        lua_pushboolean(L, bitmap && bitmap->GetTexture() != nullptr);
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
        const str name = CheckString(L, 1);
        CheckFunction(L, 2);
        lua_settop(L, 2);
        auto function = std::make_unique<TLuaFunction>(L);
        if (TButton* button = GetCast<TButton>(FindUnderTopModal(name)))
            button->SetCommand(new TButton::LuaAction(function.release()));
        return 0;
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
        const str file = CheckString(L, 1);
        lua_pushboolean(L, S(L)->StartMovie(file));
        return 1;
    }
    static int IsMoviePlaying(lua_State* L)
    {
        lua_pushboolean(L, S(L)->IsMoviePlaying());
        return 1;
    }
    static int StopMovie(lua_State* L)
    {
        S(L)->StopMovie();
        return 0;
    }
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
    static const TBinding entries[] = {
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
    PublishAll(GetState(), entries, "TWindowScript", this, mLifeline);
}
