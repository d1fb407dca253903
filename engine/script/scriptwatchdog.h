// The script watchdog. Its rule: no Lua code the engine runs holds the
// game, whatever the code does.
//
// A run (from the engine's call into a Lua state until the code yields or
// returns to the engine) that goes on longer than the run limit, or past a
// quit signal (SIGTERM, SIGINT) that arrived while it ran, or past a close
// request (the window's close button) that waits once the run has gone on
// for a second, is stopped with a Lua error naming the script's file and
// line ("options.lua:1: script stopped: it ran for 5.0 s without yielding"),
// logged as "Watchdog: ...". Time alone stops nothing: a run must also have
// run kMinChecksToStop checks' worth of Lua (kWatchInstructions
// instructions, or a poll of long library work, each) before the run limit
// stops it, so that slow native work called from a script (loading on a
// busy machine) is never taken for a script that never returns; a close
// request waits for the same, or for the run limit.
//
// The stop is an error a script may catch (to clean up), but no message
// handler of the script runs for it. A script that goes on is stopped again
// at the next check, and at the kStopsForGood-th stop of the run for good:
// from then on every instruction stops it, and the error passes every
// pcall, xpcall and coroutine.resume of the script until the run is back in
// the engine. A run that starts after the quit signal (the game's way out)
// is not stopped for it.
//
// It checks through the count hook of our Lua, on every thread of the state
// (coroutines a script makes are hooked as they are made), inside
// finalisers (LUA_MASKFINALIZERS) and inside long work of one library call
// or of the collector (LUA_MASKWORK). Checks come at most kWatchInstructions instructions
// apart and, however long each instruction takes (a native call), about
// kCheckPeriodMs apart: each check sets the count to the next one from the
// pace of the last, and a run's first check comes after
// kFirstCheckInstructions. The hook costs the interpreter on every
// instruction: it is set on the state's own thread only while a run lasts.
// Between runs the collector is held back (its threshold parked), so that a
// finaliser never runs unwatched; a run takes up what was held back as it
// begins. Closing the state is a run too: its finalisers are stopped after
// kClosingLimitMs.
#pragma once

#include "engine/base/str.h"
#include "engine/base/timesource.h"

#include "lua.h"

#include <cstdint>

class TScriptWatchdog {
public:
    static constexpr int kWatchInstructions = 10000;
    static constexpr int kFirstCheckInstructions = 100;
    static constexpr std::uint32_t kCheckPeriodMs = 50;
    static constexpr std::uint32_t kDefaultRunLimitMs = 5000;
    static constexpr std::uint32_t kClosingLimitMs = 1000;
    static constexpr int kMinChecksToStop = 20;
    static constexpr int kStopsForGood = 3;
    // A close request is looked for once the run has gone on this long (a
    // run that returns sooner lets the event loop take it), at most every
    // kCloseProbePeriodMs.
    static constexpr std::uint32_t kCloseProbeAfterMs = 1000;
    static constexpr std::uint32_t kCloseProbePeriodMs = 100;

    // Watches L from Install on (once its libraries are open); L outlives it
    // unless CloseState closes it.
    explicit TScriptWatchdog(lua_State* L) : mState(L) {}
    TScriptWatchdog(const TScriptWatchdog&) = delete;
    TScriptWatchdog& operator=(const TScriptWatchdog&) = delete;

    // Finds the watchdog from the state's hook, hooks the coroutines a
    // script makes, lets a stop for good through pcall, xpcall and
    // coroutine.resume, and holds the collector back until the first run.
    void Install();

    // A stretch of engine code that runs Lua on the state begins or ends:
    // the outermost one is the run that is timed.
    void Enter();
    void Leave();
    // True while engine code runs Lua on the state.
    bool Running() const { return mDepth > 0; }
    // True when the run under way was stopped, or else the last one.
    bool StoppedRun() const { return mStops > 0; }

    // Closes the state (lua_close): its finalisers run as a run of their
    // own, stopped after kClosingLimitMs. Not while a run lasts.
    void CloseState();

    // The watchdog's clock (milliseconds; the monotonic clock by default, an
    // empty function restores it), run limit and check period, for every
    // state: tests drive a fake clock. Period 0: a check every
    // kWatchInstructions instructions, however long they take (a fake clock
    // that moves at every reading).
    static void SetClock(qm::TTimeSource clock);
    static void SetRunLimit(std::uint32_t ms);
    static void SetCheckPeriod(std::uint32_t ms);
    // The next script stopped that the player has not been told of yet, as
    // the player knows it ("scripts/options.lua"), oldest first; false when
    // none. Runs stopped for a quit signal are not kept: the game is on its
    // way out.
    static bool TakeStoppedScript(str* script);

private:
    static void Hook(lua_State* L, lua_Debug* ar);
    static int CatchUnlessStoppedForGood(lua_State* L);
    static TScriptWatchdog* Of(lua_State* L);
    void WatchCatchers();
    void BeginRun();
    void EndRun();
    void KeepStoppedScript();
    void HoldCollector(lua_State* L);
    void ReleaseCollector();
    void Check(lua_State* L);
    void Pace(lua_State* L, int count, std::int32_t sinceLastCheck);
    str StopReason(std::int32_t elapsed);
    bool CloseRequested(std::int32_t elapsed);
    void RaiseStop(lua_State* L);

    lua_State* mState;
    int mDepth = 0;                 // nested Enters
    bool mClosing = false;          // the run is the state's closing
    bool mCollectorHeld = false;    // between runs, and after a stop
    int mHeldThreshold = 0;         // the collector's threshold (KB) while held back
    std::uint32_t mStart = 0;       // clock at the outermost Enter
    std::uint32_t mLastCheck = 0;   // clock at the last check (or the start)
    unsigned mQuitSignals = 0;      // quit signals seen when the run started
    std::int64_t mWork = 0;         // instructions' worth of Lua the run has run
    int mStops = 0;                 // times this run was stopped (the first logged)
    bool mQuitStop = false;         // the stops were for a quit signal
    bool mCloseSeen = false;        // a close request waits (looked for after a while)
    std::uint32_t mCloseProbe = 0;  // clock at the last look
    str mStopMessage;               // the error every stop of this run raises
    str mStoppedScript;             // the script it stopped, as the player knows it
};
