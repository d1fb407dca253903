// TScript: one Lua state driven as an animation task. Its main function runs
// as a coroutine on the state's own main thread: the task resumes it when it
// falls due, Lua code suspends it by yielding, and engine code may run Lua
// functions on the state at any time, even while the coroutine is suspended.
//
// Lua errors never reach the caller: every failure is logged and reported as
// a return code (our Lua raises errors as C++ exceptions; they are caught by
// the protected calls made here).
#pragma once

#include "engine/base/animtask.h"
#include "engine/base/color.h"
#include "engine/base/debuglog.h"
#include "engine/base/str.h"
#include "engine/script/scriptwatchdog.h"

#include "lua.h"

#include <memory>
#include <vector>

class TLuaTable;

// The standard check line, with the expression text given (for checks whose
// text is not the C++ expression itself).
#define QM_ASSERT_TEXT(cond, text)                                             \
    do {                                                                       \
        if (!(cond))                                                           \
            WriteDbg("ASSERT(%s) FAILED!! %s, %d", text, QM_SOURCE_FILE, __LINE__);  \
    } while (0)

// A font as definition tables give it: {name, height, colour}.
struct TFontDescription {
    str name;
    int height = 0;
    TColor color;
    float outlineSize = 0;  // pixels; 0: no outline
    TColor outlineColor;
};

class TScript : public TAnimTask {
public:
    // Something the script owns for its user; deleted before the state closes.
    class TAttachment {
    public:
        virtual ~TAttachment() = default;
    };

    // Null: opens a fresh state; otherwise adopts L (closed with the script).
    explicit TScript(lua_State* L = nullptr);
    ~TScript() override;
    TScript(const TScript&) = delete;
    TScript& operator=(const TScript&) = delete;

    // The search path written into LUA_PATH before a script file is loaded.
    static str mLuaPath;

    lua_State* GetState() const { return mState; }
    void SetAttachment(std::unique_ptr<TAttachment> a);
    TAttachment* GetAttachment() const { return mAttachment.get(); }

    // ---- running code ----
    // 1 on success, 0 on failure.
    int RunScript(str file);
    // length -1: the whole text. 0 or the Lua error code.
    int DoLuaString(str text, int length = -1);
    // The same with a name for the chunk ("@" + a file name: errors then
    // name that file, and the log shows the name instead of the text).
    int DoLuaString(str text, int length, const char* chunkName);
    // As DoLuaString, but the text is compiled once per process: later runs
    // of the same text load the kept compiled chunk. For the few texts run
    // again and again (animation scripts), not for one-off ones. chunkName
    // as above (null: the text names itself).
    int DoLuaStringCompiledOnce(str text, const char* chunkName = nullptr);
    // How many texts DoLuaStringCompiledOnce keeps compiled (for tests and logs).
    static std::size_t CompiledOnceCount();
    // Calls the function below its nargs arguments; 0 or the Lua error code.
    int RunFunction(int nargs, int nresults);
    // Resumes the coroutine with the top nargs values; 0 or the error code.
    int Resume(int nargs);
    bool Animate() override;
    // True while the coroutine is suspended inside a yield.
    bool CoroutineActive() const;
    // True while the coroutine is suspended inside code of that script file
    // (named as RunScript or the Lua ReadFile would name it): a screen
    // waiting for its messages, as opposed to one that ended or failed.
    bool IsRunningFile(str file) const;
    // Offered a closure (stack top) while the coroutine is suspended; true
    // when taken. This one refuses: it pops the closure.
    virtual bool InjectFunction();
    void SetGlobalString(str name, str value);
    void DeferDeleteTable(TLuaTable* t);

    // ---- reading the definition table on the top of the stack ----
    // Searches the table, then gCurrentDefaultStyle and its `parent` chain.
    bool GetTag(const char* name, bool useDefaults);
    double GetNumber(const char* name, double def);
    str GetString(const char* name, const char* def);
    bool GetBool(const char* name, bool def);
    TColor GetColor(const char* name, const TColor& def);
    bool GetIndex(int i);
    str PopString();
    TColor PopColor();
    bool PopBool();
    TFontDescription PopFont();

    // True when the watchdog (scriptwatchdog.h) stopped the run under way,
    // or else the last one.
    bool WatchdogStoppedRun() const { return mWatchdog.StoppedRun(); }

    // A quiet script logs none of its Lua errors: they were reported once
    // already (a damaged file run again and again).
    void SetQuiet(bool quiet) { mQuiet = quiet; }
    bool IsQuiet() const { return mQuiet; }

    // True while engine code runs Lua on this state (a call, a resume, or a
    // native function called from either): the script must not be deleted
    // then.
    bool IsRunningLua() const { return mWatchdog.Running(); }

protected:
    // Marks a stretch of engine code that runs Lua on this state: the
    // outermost one is the run the watchdog times. Every call into Lua goes
    // through one.
    class TRunGuard {
    public:
        explicit TRunGuard(TScript& script) : mWatchdog(script.mWatchdog) { mWatchdog.Enter(); }
        ~TRunGuard() { mWatchdog.Leave(); }
        TRunGuard(const TRunGuard&) = delete;
        TRunGuard& operator=(const TRunGuard&) = delete;

    private:
        TScriptWatchdog& mWatchdog;
    };

    void DeleteDeferredTables();
    // Called when code run by DoLuaString, or the coroutine as it starts or
    // resumes, fails.
    virtual void OnScriptFailed() {}

private:
    void LuaInit();
    int LoadAndRun(const str& text, int length, bool compileOnce, const char* chunkName);
    int CallProtected(int nargs, int nresults);
    int RunThroughClosure(int nargs, int nresults);
    int StartCoroutine();

    lua_State* mState = nullptr;
    std::unique_ptr<TAttachment> mAttachment;
    std::vector<TLuaTable*> mDeferredTables;  // owned
    unsigned mResumes = 0;  // coroutine starts and resumes so far
    bool mQuiet = false;
    TScriptWatchdog mWatchdog;
};
