#include "engine/script/windowscript.h"

#include "engine/base/debuglog.h"
#include "engine/platform/platform.h"
#include "engine/render/flashhost.h"
#include "engine/script/luabind.h"
#include "engine/script/luamessage.h"
#include "engine/script/luaobject.h"
#include "engine/script/widgetfactories.h"
#include "engine/script/windowstyle.h"
#include "engine/window/windowhost.h"
#include "engine/window/windowmanager.h"

#include "lauxlib.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

extern const unsigned char kScreenInitChunk[];
extern const std::size_t kScreenInitChunkSize;

TWindowScript::TWindowScript(lua_State* L) : TScript(L)
{
    PublishFunctions();
    if (TWindowManager* manager = TWindowManager::GetInstance()) {
        manager->AdoptWindowFactory("_button", new TButtonFactory);
        manager->AdoptWindowFactory("_text", new TTextFactory);
        manager->AdoptWindowFactory("_textedit", new TTextEditFactory);
    }
    RegisterMessageMetatable(GetState());
    RunScreenLibrary();
}

TWindowScript::~TWindowScript()
{
    StopMovie();
}

bool TWindowScript::StartMovie(const str& file)
{
    StopMovie();  // one movie at a time: a second start replaces the first
    if (file.length() == 0)
        return false;
    auto flag = [](bool playing) {
        if (TWindowManager* manager = TWindowManager::GetInstance())
            manager->SetMoviePlaying(playing);
    };
    mMovie = std::make_unique<TFlashHost>(file.c_str(), flag);
    if (!mMovie->Start(true)) {
        mMovie.reset();
        return false;
    }
    return true;
}

bool TWindowScript::IsMoviePlaying()
{
    return mMovie && mMovie->IsPlaying();
}

void TWindowScript::StopMovie()
{
    if (!mMovie)
        return;
    mMovie->Stop();
    mMovie.reset();
}

TWindowScript* TWindowScript::Get()
{
    TWindowManager* manager = TWindowManager::GetInstance();
    return manager ? dynamic_cast<TWindowScript*>(manager->GetScript()) : nullptr;
}

void TWindowScript::RunScreenLibrary()
{
    lua_State* L = GetState();
    const int top = lua_gettop(L);
    const int code = lua_dobuffer(L, reinterpret_cast<const char*>(kScreenInitChunk), kScreenInitChunkSize,
                                  "gScreenInit");
    if (code != 0) {
        WriteDbg("Lua error: %s", lua_tostring(L, -1) ? lua_tostring(L, -1) : "(no message)");
        QM_ASSERT_TEXT(false, "0");
    }
    lua_settop(L, top);
}

// ---- the window stack ------------------------------------------------------------

void TWindowScript::NewModalWindow(TWindow* w)
{
    mWindowStack.clear();
    if (w)
        mWindowStack.push_back(w);
}

void TWindowScript::PushWindow(TWindow* w)
{
    mWindowStack.push_back(w);
}

bool TWindowScript::PopWindow()
{
    if (mWindowStack.size() <= 1)
        return false;
    mWindowStack.pop_back();
    return true;
}

bool TWindowScript::EnableStringTable(bool on)
{
    const bool previous = mStringTable;
    mStringTable = on;
    return previous;
}

void TWindowScript::AddWindowType(const str& name, TClassId classId)
{
    char text[1024];
    std::snprintf(text, sizeof text,
                  "function %s( table )\tCreating( '%s', table );\ttable.create=GenericCreate;\ttable.typename='%s';\n"
                  "\treturn Window(table);end;",
                  name.c_str(), name.c_str(), name.c_str());
    DoLuaString(text);
    mWindowTypes[name] = classId;
}

TClassId TWindowScript::GetWindowType(const str& name)
{
    return mWindowTypes[name];
}

// ---- placing windows ---------------------------------------------------------------

namespace {

// Positions and sizes are held well inside int, far beyond any screen and
// any coordinate code, so that the sums below and a window's far edge
// (position + size) cannot overflow whatever number a script writes.
constexpr std::int64_t kCoordinateLimit = 1 << 24;

int ClampCoordinate(std::int64_t v)
{
    return static_cast<int>(std::clamp(v, -kCoordinateLimit, kCoordinateLimit));
}

int ReadCoordinate(double v)
{
    return ClampCoordinate(qm::lua::ToInt(v));
}

// A plain position code against the parent extent e, for a window of size s.
std::int64_t DecodePosition(std::int64_t x, std::int64_t s, std::int64_t e)
{
    if (x > 106666)
        return e + x - TWindowScript::kMax;
    if (x > 40000)
        return x - TWindowScript::kCenter + (e / 2 - s / 2);
    if (x < 0)
        return x + e;
    return x;
}

std::int64_t CentreOffset(std::int64_t x, std::int64_t e)
{
    return x <= 106666 ? x - TWindowScript::kCenter : e + x - TWindowScript::kMax;
}

void RelativeFromCentre(std::int64_t x, std::int64_t s, std::int64_t e, std::int64_t* pos, std::int64_t* size)
{
    const std::int64_t offset = CentreOffset(x, e);
    if (offset >= 0) {
        *size = e + s - 2 * offset - TWindowScript::kMax;
        *pos = 2 * offset;
    } else {
        *size = e + s + 2 * offset - TWindowScript::kMax;
        *pos = 0;
    }
}

}  // namespace

void TWindowScript::FixSize(TWindow* w, int* pos, int* size, int (TWindow::*extent)() const, bool centre, bool far)
{
    std::int64_t x = *pos;
    std::int64_t s = *size;
    if (centre)
        x -= s / 2;
    else if (far)
        x -= s;
    TWindow* parent = w->GetParent();
    if (!parent) {
        QM_ASSERT_TEXT(*size != kMax, "(*size) != TWindowScript::kMax");
        *pos = ClampCoordinate(x);
        return;
    }
    const std::int64_t e = (parent->*extent)();
    std::int64_t newPos = x;
    std::int64_t newSize = s;
    if (s > kCenter) {
        if (x <= 40000) {
            if (x < 0)
                x += e;
            newPos = x;
            newSize = e + s - x - kMax;
        } else {
            RelativeFromCentre(x, s, e, &newPos, &newSize);
        }
    } else if (s >= 0) {
        newPos = DecodePosition(x, s, e);
    } else {
        s = -s;
        newSize = s;
        if (s <= kCenter) {
            newPos = DecodePosition(x, s, e) - s;
            QM_ASSERT_TEXT(newPos >= 0, "*pos >=0");
        } else if (x <= 40000) {
            if (x < 0)
                x += e;
            newSize = x;
            newPos = kMax - x;
        } else {
            RelativeFromCentre(x, s, e, &newPos, &newSize);
        }
    }
    *pos = ClampCoordinate(newPos);
    *size = ClampCoordinate(newSize);
}

bool TWindowScript::InitWindow(TWindow* w)
{
    QM_ASSERT_TEXT(!mWindowStack.empty(), "mWindowStack.size()>0");
    if (mWindowStack.empty() || !mWindowStack.back()->AdoptChild(w, true)) {
        delete w;  // nobody took it
        return false;
    }
    int x = ReadCoordinate(GetNumber("x", 0));
    int y = ReadCoordinate(GetNumber("y", 0));
    mWindowStack.push_back(w);
    w->SetName(GetString("name", ""));
    int width = ReadCoordinate(GetNumber("w", w->GetWindowWidth()));
    int height = ReadCoordinate(GetNumber("h", w->GetWindowHeight()));

    // A parent with no size yet takes it from its first plainly sized child.
    TWindow* parent = w->GetParent();
    if (width >= 1 && width <= 79999 && parent->GetWindowWidth() == 0)
        parent->SetWindowSize((x > 40000 ? x - kCenter : x) + width, parent->GetWindowHeight());
    if (height >= 1 && height <= 79999 && parent->GetWindowHeight() == 0)
        parent->SetWindowSize(parent->GetWindowWidth(), (y > 40000 ? y - kCenter : y) + height);

    const int align = qm::lua::ToInt(GetNumber("align", 0));
    FixSize(w, &x, &width, &TWindow::GetWindowWidth, (align & 1) != 0, (align & 2) != 0);
    FixSize(w, &y, &height, &TWindow::GetWindowHeight, (align & 4) != 0, (align & 8) != 0);
    w->SetWindowPos(x, y);
    w->SetWindowSize(width, height);

    const TRect& r = w->GetRect();
    if (parent->GetWindowWidth() < r.x2 || parent->GetWindowHeight() < r.y2)
        parent->SetWindowSize(std::max(parent->GetWindowWidth(), r.x2), std::max(parent->GetWindowHeight(), r.y2));

    lua_State* L = GetState();
    lua_pushstring(L, "gDialogWidth");
    lua_pushnumber(L, width);
    lua_rawset(L, LUA_GLOBALSINDEX);
    lua_pushstring(L, "gDialogHeight");
    lua_pushnumber(L, height);
    lua_rawset(L, LUA_GLOBALSINDEX);

    if (mObserver)
        mObserver->OnWindowCreated(w);
    return true;
}

// ---- messages ------------------------------------------------------------------------

TMessage* TWindowScript::CreateNamedMessage(int type, str name)
{
    return new TMessage(type, name, nullptr);
}

// Lua owns what it is given: a message built from a Lua box gives back that
// box (and the wrapper, now delivered, is released); any other message
// becomes a new box.
void TWindowScript::PushMessage(TMessage* msg)
{
    if (msg->IsKindOf(TLuaMessageWrapper::ClassId())) {
        auto* wrapper = static_cast<TLuaMessageWrapper*>(msg);
        wrapper->PushLuaValue();
        delete wrapper;
    } else {
        LPCD::Push(GetState(), msg);
    }
}

void TWindowScript::RunQueueText(const char* global, const char* text)
{
    TRunGuard run(*this);
    lua_State* L = GetState();
    lua_pushstring(L, global);
    lua_insert(L, -2);
    lua_rawset(L, LUA_GLOBALSINDEX);
    const int top = lua_gettop(L);
    if (luaL_loadbuffer(L, text, std::char_traits<char>::length(text), text) == 0)
        lua_pcall(L, 0, 0, 0);
    lua_settop(L, top);
}

bool TWindowScript::OnMessage(TMessage* msg, TLuaFunction* fn)
{
    lua_State* L = GetState();
    if (!CoroutineActive()) {
        if (msg) {
            WriteDbg("TWindowScript::OnMessage: Queueing message");
            PushMessage(msg);
            RunQueueText("gMessageToQueue", "table.insert(gMessageQueue,gMessageToQueue); gMessageToQueue=nil;");
        }
        if (fn) {
            WriteDbg("TWindowScript::OnMessage: Queueing command");
            fn->Push();
            RunQueueText("gMessageCommand", "table.insert(gCommandQueue,gMessageCommand); gMessageCommand=nil;");
        }
        return true;
    }
    if (mWaitState != 3) {
        // Suspended some other way: the command runs now; the message has
        // nobody to go to and is not kept.
        delete msg;
        if (fn) {
            TRunGuard run(*this);
            fn->Push();
            if (lua_isfunction(L, -1)) {
                lua_pushcfunction(L, [](lua_State* S) {
                    lua_pushstring(S, "_ALERT");
                    lua_rawget(S, LUA_GLOBALSINDEX);
                    lua_pushvalue(S, 1);
                    lua_pcall(S, 1, 0, 0);
                    lua_settop(S, 1);
                    return 1;
                });
                lua_insert(L, -2);
                lua_pcall(L, 0, 1, lua_gettop(L) - 1);
                lua_pop(L, 2);
            } else {
                lua_pop(L, 1);
            }
        }
        return false;
    }
    PushMessage(msg ? msg : CreateNamedMessage(kLuaButtonAction, ""));
    int n = 1;
    if (fn) {
        fn->Push();
        ++n;
    }
    if (Resume(n) != 0)
        mWaitState = 0;
    return true;
}

bool TWindowScript::InjectFunction()
{
    lua_State* L = GetState();
    lua_pushnil(L);
    lua_insert(L, -2);
    return Resume(2) == 0;
}

// ---- TWindowStyle ------------------------------------------------------------

double TWindowStyle::GetNumber(str key, double def)
{
    TWindowScript* script = TWindowScript::Get();
    if (!script || !mTable)
        return def;
    lua_State* L = script->GetState();
    const int top = lua_gettop(L);
    mTable->Push();
    const double value = script->GetNumber(key.c_str(), def);
    lua_settop(L, top);
    return value;
}

namespace qm {

void InstallWindowScript()
{
    TWindowHost::SetScriptFactory([](TPlatform*) -> IWindowScript* { return new TWindowScript(nullptr); });
}

}  // namespace qm
