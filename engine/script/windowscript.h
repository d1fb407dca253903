// TWindowScript: the one script of the window system. Screens and dialogs are
// Lua scripts that describe windows as nested definition tables; this class
// publishes the native functions that turn each table into a window, keeps
// the stack of windows under construction, and delivers window messages and
// injected commands to the script coroutine that waits for them. It runs the
// screen library (screeninit.lua, compiled in) when it is built.
#pragma once

#include "engine/script/script.h"
#include "engine/window/windowscripthook.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

class TButton;
class TFlashHost;
class TWindowManager;

// Told about every window the script has finished making.
class IWindowCreationObserver {
public:
    virtual ~IWindowCreationObserver() = default;
    virtual void OnWindowCreated(TWindow* w) = 0;
};

class TWindowScript : public TScript, public IWindowScript {
public:
    // Coordinate codes of definition tables.
    static constexpr int kCenter = 80000;
    static constexpr int kMax = 160000;

    explicit TWindowScript(lua_State* L = nullptr);
    ~TWindowScript() override;

    // The window manager's script as a TWindowScript, or null.
    static TWindowScript* Get();

    // ---- IWindowScript ----
    void NewModalWindow(TWindow* w) override;
    void PushWindow(TWindow* w) override;
    bool PopWindow() override;
    bool RunScript(const char* file) override { return TScript::RunScript(file) != 0; }
    bool IsRunningFile(const char* file) const override { return TScript::IsRunningFile(file); }
    bool ScreenWaiting() const override { return CoroutineActive(); }
    bool StartScreen(const char* file) override;
    void AddWindowType(const str& name, TClassId classId) override;
    bool OnMessage(TMessage* msg, TLuaFunction* fn) override;
    bool EnableStringTable(bool on) override;
    TTask* GetTask() override { return this; }
    void SetGlobalString(const str& name, const str& value) override { TScript::SetGlobalString(name, value); }
    double GetNumber(const char* key, double def) override { return TScript::GetNumber(key, def); }
    str GetString(const char* key, const char* def) override { return TScript::GetString(key, def); }
    bool GetBool(const char* key, bool def) override { return TScript::GetBool(key, def); }
    // (windowscript_native.cpp)
    bool RunLuaText(const str& text) override;
    void SendGlobalFunction(const char* name) override;
    void PublishFunction(const char* name, const char* owner, const TLifeline& life,
                         std::function<void()> fn) override;
    void PublishIntFunction(const char* name, const char* owner, const TLifeline& life,
                            std::function<void(int)> fn) override;
    void PublishBoolFunction(const char* name, const char* owner, const TLifeline& life,
                             std::function<void(bool)> fn) override;

    bool InjectFunction() override;
    // Adopts w into the current window and places it from the definition
    // table on the top of the stack; w becomes the current window.
    bool InitWindow(TWindow* w);
    // Decodes one axis of a coordinate code against the parent's extent.
    static void FixSize(TWindow* w, int* pos, int* size, int (TWindow::*extent)() const, bool centre, bool far);
    TMessage* CreateNamedMessage(int type, str name);

    TWindow* GetCurrentWindow() const { return mWindowStack.empty() ? nullptr : mWindowStack.back(); }
    int GetWaitState() const { return mWaitState; }
    bool GetStringTableFlag() const { return mStringTable; }
    void SetCreationObserver(IWindowCreationObserver* o) { mObserver = o; }

    // The movie the scripts play (one at a time). An empty name, a missing
    // or unplayable file gives false; a started movie loops until stopped.
    bool StartMovie(const str& file);
    bool IsMoviePlaying();
    void StopMovie();

    // ---- the Lua functions (windowscript_lua.cpp) ----
    int LuaCreateWindow(lua_State* L);
    int LuaCreateText(lua_State* L);
    int LuaCreateTextEdit(lua_State* L);
    int LuaCreateButton(lua_State* L);
    int LuaCreateBitmap(lua_State* L);
    int LuaGenericCreate(lua_State* L);
    int LuaHandleGetMessage(lua_State* L);

private:
    void PublishFunctions();
    void RunScreenLibrary();
    void PushMessage(TMessage* msg);
    void RunQueueText(const char* global, const char* text);
    TWindow* MakeFromFactory(const char* defaultFactory);
    TClassId GetWindowType(const str& name);
    TFontDescription ReadFont();
    void AddButtonGraphics(TButton* button, int type, float scale);
    static int LuaButtonCleanup(lua_State* L);
    template <typename Fn>
    void PublishNative(const char* name, const char* owner, const TLifeline& life, Fn fn, lua_CFunction call);

    std::vector<TWindow*> mWindowStack;  // not owned; back = current window
    std::map<str, TClassId> mWindowTypes;
    int mWaitState = 1;
    IWindowCreationObserver* mObserver = nullptr;
    bool mStringTable = false;
    // Native functions published for others; kept for the life of the state
    // (a replaced global may still be running).
    struct TPublished {
        std::function<void()> none;
        std::function<void(int)> integer;
        std::function<void(bool)> boolean;

        void CallNone() { none(); }
        void CallInt(int value) { integer(value); }
        void CallBool(bool value) { boolean(value); }
    };
    std::vector<std::unique_ptr<TPublished>> mPublished;
    std::unique_ptr<TFlashHost> mMovie;  // null when no movie runs
    TLifeline mLifeline;  // the script's own functions are bound to it

    friend struct TWindowScriptLua;
};

namespace qm {

// Makes the platform build a TWindowScript as its window script; call
// before the platform is constructed (after qm::InstallWindowSystem).
void InstallWindowScript();

}  // namespace qm
