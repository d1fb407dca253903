#include "engine/script/scriptwatchdog.h"

#include "engine/base/debuglog.h"
#include "engine/platform/quitsignal.h"

#include "lauxlib.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>

namespace {

// The registry key of the state's watchdog: scripts cannot reach the
// registry, so the hook always finds it.
const char kWatchdogKey = 0;

// Counted instructions, long library work and finalisers.
constexpr int kHookMask = LUA_MASKCOUNT | LUA_MASKWORK | LUA_MASKFINALIZERS;

// The Lua a run must have run before its time is up.
constexpr std::int64_t kMinWork =
    std::int64_t{TScriptWatchdog::kMinChecksToStop} * TScriptWatchdog::kWatchInstructions;

// The collector's threshold (KB) while it is held back: never reached.
constexpr int kHeldThreshold = INT_MAX;

qm::TTimeSource& Clock()
{
    static qm::TTimeSource clock;
    return clock;
}

std::uint32_t gRunLimitMs = TScriptWatchdog::kDefaultRunLimitMs;
std::uint32_t gCheckPeriodMs = TScriptWatchdog::kCheckPeriodMs;

std::uint32_t Now()
{
    const qm::TTimeSource& clock = Clock();
    return clock ? clock() : qm::MonotonicMilliseconds();
}

// Scripts stopped that the player has not been told of.
std::deque<str>& StoppedScripts()
{
    static std::deque<str> scripts;
    return scripts;
}

void PushGlobal(lua_State* L, const char* name)
{
    lua_pushstring(L, name);
    lua_rawget(L, LUA_GLOBALSINDEX);
}

// Each thread has a hook of its own and a new one starts with none: a
// coroutine a script makes gets its maker's hook.
void HookLikeMaker(lua_State* maker, lua_State* thread)
{
    if (thread)
        lua_sethook(thread, lua_gethook(maker), lua_gethookmask(maker), lua_gethookcount(maker));
}

// coroutine.create and coroutine.wrap: the library's own (upvalue 1), then
// the new thread hooked.
int CallLibraryMaker(lua_State* L)
{
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, 1);
    return 1;
}

int WatchedCreate(lua_State* L)
{
    CallLibraryMaker(L);
    HookLikeMaker(L, lua_tothread(L, -1));
    return 1;
}

int WatchedWrap(lua_State* L)
{
    CallLibraryMaker(L);
    // The wrapping function holds its thread as its one upvalue.
    if (lua_iscfunction(L, -1) && lua_getupvalue(L, -1, 1)) {
        HookLikeMaker(L, lua_tothread(L, -1));
        lua_pop(L, 1);
    }
    return 1;
}

// coroutine[name] replaced by `watched` with the library's own as its upvalue.
void WrapCoroutineFunction(lua_State* L, const char* name, lua_CFunction watched)
{
    PushGlobal(L, "coroutine");
    if (lua_istable(L, -1)) {
        lua_pushstring(L, name);
        lua_pushstring(L, name);
        lua_rawget(L, -3);
        if (lua_isfunction(L, -1)) {
            lua_pushcclosure(L, watched, 1);
            lua_rawset(L, -3);
        } else {
            lua_pop(L, 2);
        }
    }
    lua_pop(L, 1);
}

// A chunk's source as the player knows the script: a file's path from the
// resource folder's "assets/" on ("scripts/options.lua"), any other chunk
// as Lua names it in messages.
str PlayerName(const char* source, const char* shortSource)
{
    if (!source || source[0] != '@')
        return shortSource;
    const std::string path = source + 1;
    const std::string::size_type assets = path.rfind("assets/");
    return str(assets == std::string::npos ? path.c_str() : path.c_str() + assets + 7);
}

// Where the run is ("options.lua:2") and its script as the player knows it:
// the innermost Lua function, so that a stop inside a library call (a long
// pattern match) names the code that made the call.
void DescribePlace(lua_State* L, str* where, str* script)
{
    lua_Debug ar;
    for (int level = 0; lua_getstack(L, level, &ar); ++level) {
        if (!lua_getinfo(L, "Sl", &ar) || std::strcmp(ar.what, "C") == 0)
            continue;
        char place[LUA_IDSIZE + 16];
        std::snprintf(place, sizeof place, "%s:%d", ar.short_src, ar.currentline);
        *where = place;
        *script = PlayerName(ar.source, ar.short_src);
        return;
    }
    *where = "?";
    *script = "?";
}

}  // namespace

void TScriptWatchdog::SetClock(qm::TTimeSource clock)
{
    Clock() = std::move(clock);
}

void TScriptWatchdog::SetRunLimit(std::uint32_t ms)
{
    gRunLimitMs = ms;
}

void TScriptWatchdog::SetCheckPeriod(std::uint32_t ms)
{
    gCheckPeriodMs = ms;
}

bool TScriptWatchdog::TakeStoppedScript(str* script)
{
    std::deque<str>& scripts = StoppedScripts();
    if (scripts.empty())
        return false;
    *script = scripts.front();
    scripts.pop_front();
    return true;
}

void TScriptWatchdog::Install()
{
    lua_State* L = mState;
    lua_pushlightuserdata(L, const_cast<char*>(&kWatchdogKey));
    lua_pushlightuserdata(L, this);
    lua_rawset(L, LUA_REGISTRYINDEX);
    // The hook is set while a run lasts (BeginRun); the engine's coroutine
    // runs on the state's own thread, so its hook is the state's.
    WrapCoroutineFunction(L, "create", WatchedCreate);
    WrapCoroutineFunction(L, "wrap", WatchedWrap);
    WatchCatchers();
    HoldCollector(L);
}

void TScriptWatchdog::Enter()
{
    if (mDepth++ == 0)
        BeginRun();
}

void TScriptWatchdog::Leave()
{
    if (--mDepth == 0)
        EndRun();
}

void TScriptWatchdog::CloseState()
{
    mClosing = true;
    Enter();
    lua_close(mState);
    // The state is gone: only what the run tells is left to keep.
    mDepth = 0;
    KeepStoppedScript();
}

void TScriptWatchdog::BeginRun()
{
    mStart = Now();
    mLastCheck = mStart;
    mQuitSignals = qm::QuitSignals();
    mWork = 0;
    mStops = 0;
    mQuitStop = false;
    mCloseSeen = false;
    mCloseProbe = mStart;
    // Coroutines made meanwhile keep their hook, but run only inside later runs.
    lua_sethook(mState, Hook, kHookMask, gCheckPeriodMs ? kFirstCheckInstructions : kWatchInstructions);
    // What the collector held back while no run lasted is taken up now, watched.
    if (!mClosing)
        ReleaseCollector();
}

void TScriptWatchdog::EndRun()
{
    lua_sethook(mState, nullptr, 0, 0);
    HoldCollector(mState);
    KeepStoppedScript();
}

void TScriptWatchdog::KeepStoppedScript()
{
    if (mStops == 0 || mQuitStop)
        return;
    std::deque<str>& scripts = StoppedScripts();
    if (std::find(scripts.begin(), scripts.end(), mStoppedScript) == scripts.end())
        scripts.push_back(mStoppedScript);
}

// Outside runs, engine code that pushes a value could start a collection,
// and with it finalisers that nothing would watch: the collector waits for
// the next run. Held back already (by a stop), it may have been let go
// since by a collection of the run (a finaliser that collects, a script
// that catches the stop), which set a threshold of its own: that one is
// kept for the next run.
void TScriptWatchdog::HoldCollector(lua_State* L)
{
    // A threshold a script set past what an int holds reads back negative:
    // it meant never.
    const int threshold = lua_getgcthreshold(L);
    if (!mCollectorHeld || threshold != kHeldThreshold)
        mHeldThreshold = threshold < 0 ? kHeldThreshold : threshold;
    mCollectorHeld = true;
    lua_setgcthreshold(L, kHeldThreshold);
}

void TScriptWatchdog::ReleaseCollector()
{
    if (!mCollectorHeld)
        return;
    mCollectorHeld = false;
    lua_setgcthreshold(mState, mHeldThreshold);
}

TScriptWatchdog* TScriptWatchdog::Of(lua_State* L)
{
    lua_pushlightuserdata(L, const_cast<char*>(&kWatchdogKey));
    lua_rawget(L, LUA_REGISTRYINDEX);
    auto* watchdog = static_cast<TScriptWatchdog*>(lua_touserdata(L, -1));
    lua_pop(L, 1);
    return watchdog;
}

void TScriptWatchdog::Hook(lua_State* L, lua_Debug*)
{
    if (TScriptWatchdog* watchdog = Of(L))
        watchdog->Check(L);
}

// Why the run must stop now, or nothing.
str TScriptWatchdog::StopReason(std::int32_t elapsed)
{
    if (qm::QuitSignals() != mQuitSignals) {
        mQuitStop = true;
        return "the game is asked to quit";
    }
    const bool timeUp = elapsed >= static_cast<std::int32_t>(mClosing ? kClosingLimitMs : gRunLimitMs);
    const bool busy = mWork >= kMinWork;
    if (timeUp && busy) {
        char reason[64];
        std::snprintf(reason, sizeof reason, mClosing ? "it ran for %.1f s as its state closed"
                                                      : "it ran for %.1f s without yielding",
                      elapsed / 1000.0);
        return reason;
    }
    // A close request stops a run that is busy with Lua, or one that has
    // gone on for the run limit, whatever it did meanwhile.
    if (!mClosing && (busy || timeUp) && CloseRequested(elapsed))
        return "the window is asked to close";
    return str();
}

// The close button: looked for in the window system's queue, which nobody
// else reads while the run lasts.
bool TScriptWatchdog::CloseRequested(std::int32_t elapsed)
{
    const std::uint32_t now = mStart + static_cast<std::uint32_t>(elapsed);
    if (!mCloseSeen && elapsed >= static_cast<std::int32_t>(kCloseProbeAfterMs) &&
        qm::TimeDiff(now, mCloseProbe) >= static_cast<std::int32_t>(kCloseProbePeriodMs)) {
        mCloseProbe = now;
        mCloseSeen = qm::CloseRequestWaiting();
    }
    return mCloseSeen;
}

// Stops a run gone on too long (or past a quit or close request) with an
// error; the first stop is logged. A script may catch the error and go on;
// it is then stopped again at the next check, and for good at the
// kStopsForGood-th stop: from then on every instruction, and every pcall,
// xpcall and coroutine.resume the error passes, raises it again.
void TScriptWatchdog::Check(lua_State* L)
{
    if (mDepth == 0)
        return;
    const std::uint32_t now = Now();
    const int count = lua_gethookcount(L);
    mWork += count;
    if (mStops >= kStopsForGood)
        RaiseStop(L);
    Pace(L, count, qm::TimeDiff(now, mLastCheck));
    mLastCheck = now;
    const str reason = StopReason(qm::TimeDiff(now, mStart));
    if (reason.length() == 0)
        return;
    str where;
    if (++mStops == 1) {
        DescribePlace(L, &where, &mStoppedScript);
        mStopMessage = where + ": script stopped: " + reason;
        WriteDbg("Watchdog: %s", mStopMessage.c_str());
    } else if (mStops == kStopsForGood) {
        str script;
        DescribePlace(L, &where, &script);
        mStopMessage = where + ": script stopped for good: it went on after it was stopped";
        WriteDbg("Watchdog: %s", mStopMessage.c_str());
    }
    RaiseStop(L);
}

// The count to the next check on this thread, from how long the last
// count took: instructions that each take long (native calls) are checked
// more often, quick ones less, up to kWatchInstructions.
void TScriptWatchdog::Pace(lua_State* L, int count, std::int32_t sinceLastCheck)
{
    const std::int64_t period = gCheckPeriodMs;
    if (period == 0)
        return;
    const std::int64_t took = std::max<std::int32_t>(sinceLastCheck, 0);
    std::int64_t next = count;
    if (took > period)
        next = std::max<std::int64_t>(1, count * period / took);
    else if (2 * took < period)
        next = std::min<std::int64_t>(kWatchInstructions, 2 * std::int64_t{count});
    if (next != count)
        lua_sethook(L, Hook, kHookMask, static_cast<int>(next));
}

// The stop's error, raised past every message handler: none of the
// script's code runs for it (a handler that loops would run inside this
// hook, where no hook watches it). Making the message may start the
// collector, whose finalisers would run here unwatched: it is held back
// until the next run. A run stopped for good is checked at every
// instruction, so that whatever catches the error (loadstring turns it into
// its result) is left at once.
void TScriptWatchdog::RaiseStop(lua_State* L)
{
    HoldCollector(L);
    if (mStops >= kStopsForGood)
        lua_sethook(L, Hook, kHookMask, 1);
    lua_pushstring(L, mStopMessage.c_str());
    lua_errorbare(L);
}

// pcall, xpcall and coroutine.resume as scripts see them: the library's own
// (upvalue 1), except that the error of a run stopped for good goes on
// through them.
int TScriptWatchdog::CatchUnlessStoppedForGood(lua_State* L)
{
    luaL_checkany(L, 1);
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    TScriptWatchdog* watchdog = Of(L);
    if (watchdog && watchdog->mDepth > 0 && watchdog->mStops >= kStopsForGood)
        watchdog->RaiseStop(L);
    return lua_gettop(L);
}

void TScriptWatchdog::WatchCatchers()
{
    lua_State* L = mState;
    const char* const globals[] = {"pcall", "xpcall"};
    for (const char* name : globals) {
        PushGlobal(L, name);
        if (lua_isfunction(L, -1)) {
            lua_pushcclosure(L, CatchUnlessStoppedForGood, 1);
            lua_pushstring(L, name);
            lua_insert(L, -2);
            lua_rawset(L, LUA_GLOBALSINDEX);
        } else {
            lua_pop(L, 1);
        }
    }
    WrapCoroutineFunction(L, "resume", CatchUnlessStoppedForGood);
}
