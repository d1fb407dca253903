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
#include "engine/base/timesource.h"

#include "lua.h"

#include <cstdint>
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

    // ---- the watchdog ----
    // A run of Lua code (from the engine's call until it yields or returns)
    // that goes on longer than the limit, or past a quit signal that
    // arrived while it ran, or past a close request that waits since it has
    // run a while, is stopped with a Lua error naming the script: a script
    // that never returns must not freeze the game. Checked every
    // kWatchInstructions instructions on every thread of the state, and
    // every so many steps of long library work (a pattern match).
    static constexpr int kWatchInstructions = 10000;
    static constexpr std::uint32_t kDefaultRunLimitMs = 5000;
    // Time alone stops no run: it must also have run this many checks' worth
    // of Lua, so that slow native work (loading on a busy machine) called
    // from a script is never taken for a script that never returns.
    static constexpr int kMinChecksToStop = 20;
    // The stop is an error a script may catch (to clean up); one that goes
    // on and is stopped this many times in one run is stopped for good: the
    // error then passes every pcall, xpcall and coroutine.resume of the
    // script, and every check stops the run again until it has returned to
    // the engine. No message handler of the script runs for any stop.
    static constexpr int kStopsForGood = 3;
    // A close request is looked for once the run has gone on this long (a
    // run that returns sooner lets the event loop take it), at most every
    // kCloseProbePeriodMs.
    static constexpr std::uint32_t kCloseProbeAfterMs = 1000;
    static constexpr std::uint32_t kCloseProbePeriodMs = 100;
    // The watchdog's clock (milliseconds; the monotonic clock by default,
    // an empty function restores it) and limit, for every script: tests
    // drive a fake clock.
    static void SetWatchdogClock(qm::TTimeSource clock);
    static void SetRunLimit(std::uint32_t ms);
    // The next script the watchdog stopped that the player has not been
    // told of yet, as the player knows it ("scripts/options.lua"), oldest
    // first; false when none. Runs stopped for a quit signal are not kept:
    // the game is on its way out.
    static bool TakeStoppedScript(str* script);

    // A quiet script logs none of its Lua errors: they were reported once
    // already (a damaged file run again and again).
    void SetQuiet(bool quiet) { mQuiet = quiet; }
    bool IsQuiet() const { return mQuiet; }

    // True while engine code runs Lua on this state (a call, a resume, or a
    // native function called from either): the script must not be deleted
    // then.
    bool IsRunningLua() const { return mRunDepth > 0; }
    // True when the watchdog stopped the run under way, or else the last one.
    bool WatchdogStoppedRun() const { return mRunStops > 0; }

protected:
    // Marks a stretch of engine code that runs Lua on this state: the
    // outermost one times the run. Every call into Lua goes through one.
    class TRunGuard {
    public:
        explicit TRunGuard(TScript& script);
        ~TRunGuard();
        TRunGuard(const TRunGuard&) = delete;
        TRunGuard& operator=(const TRunGuard&) = delete;

    private:
        TScript& mScript;
    };

    void DeleteDeferredTables();
    // Called when code run by DoLuaString, or the coroutine as it starts or
    // resumes, fails.
    virtual void OnScriptFailed() {}

private:
    static void WatchHook(lua_State* L, lua_Debug* ar);
    static int CatchUnlessStoppedForGood(lua_State* L);
    static TScript* OfState(lua_State* L);
    void WatchCatchers();
    void CheckRun(lua_State* L);
    str StopReason(std::int32_t elapsed);
    void RaiseStop(lua_State* L);
    void BeginRun();
    void EndRun();
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
    int mRunDepth = 0;             // nested TRunGuards
    std::uint32_t mRunStart = 0;   // watchdog clock at the outermost guard
    unsigned mRunQuitSignals = 0;  // quit signals seen when the run started
    int mRunChecks = 0;            // watchdog checks in this run
    int mRunStops = 0;             // times the watchdog stopped this run (the first logged)
    bool mRunQuitStop = false;     // the stops were for a quit signal
    bool mRunCloseSeen = false;    // a close request waits (looked for after a while)
    std::uint32_t mRunCloseProbe = 0;  // watchdog clock at the last look
    str mRunStopMessage;           // the error every stop of this run raises
    str mRunStoppedScript;         // the script it stopped, as the player knows it
};
