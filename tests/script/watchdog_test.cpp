// The script watchdog: a run of Lua code that goes on too long without
// yielding, or past a quit signal, is stopped with an error naming the
// script, on whatever thread it runs; time spent suspended does not count,
// and a run that starts after the signal runs as usual. A fake watchdog
// clock stands for the wall clock.
#include "engine/base/task.h"
#include "engine/base/timesource.h"
#include "engine/platform/quitsignal.h"
#include "engine/script/luabind.h"
#include "engine/script/script.h"
#include "engine/script/scriptwatchdog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::uint32_t gNow = 1000;    // the engine's clock (the task list's)
std::uint32_t gWatch = 0;     // the watchdog's clock
std::uint32_t gWatchStep = 0; // added at every reading of it
int gReadsToSignal = -1;      // a quit signal on that reading (-1: none)

std::uint32_t ReadWatchClock()
{
    if (gReadsToSignal >= 0 && gReadsToSignal-- == 0)
        qm::NoteQuitSignal();
    gWatch += gWatchStep;
    return gWatch;
}

int WaitLuaNextFrame(lua_State* L)
{
    auto* script = qm::lua::Self<TScript>(L);
    script->SetDelay(static_cast<int>(lua_tonumber(L, 1)), false, true, false);
    return lua_yield(L, 0);
}

class Watchdog : public ::testing::Test {
protected:
    void SetUp() override
    {
        gNow = 1000;
        gWatch = 0;
        gWatchStep = 0;
        gReadsToSignal = -1;
        qm::SetTimeSource([] { return gNow; });
        TScriptWatchdog::SetClock(ReadWatchClock);
        // The fake clock moves at every reading: a check every
        // kWatchInstructions instructions, as these cases count time.
        TScriptWatchdog::SetCheckPeriod(0);
        script = new TScript;
        L = script->GetState();
        qm::lua::Publish(L, "WaitLuaNextFrame", "TScript", script, scriptLife, WaitLuaNextFrame);
        tasks.AdoptTask(script);
        dir = std::filesystem::temp_directory_path() / ("qm_watchdog_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override
    {
        tasks.DestroyAll();
        TScriptWatchdog::SetClock({});
        TScriptWatchdog::SetCheckPeriod(TScriptWatchdog::kCheckPeriodMs);
        qm::SetTimeSource({});
        std::filesystem::remove_all(dir);
    }

    std::string Write(const char* name, const char* text)
    {
        const auto path = dir / name;
        std::ofstream(path) << text;
        return path.string();
    }
    std::string Global(const char* name)
    {
        lua_getglobal(L, name);
        const char* s = lua_tostring(L, -1);
        std::string v = lua_isboolean(L, -1) ? (lua_toboolean(L, -1) ? "true" : "false") : s ? s : "<nil>";
        lua_pop(L, 1);
        return v;
    }
    static int Count(const std::string& log, const std::string& what)
    {
        int n = 0;
        for (auto at = log.find(what); at != std::string::npos; at = log.find(what, at + 1))
            ++n;
        return n;
    }

    TTaskList tasks;
    TScript* script = nullptr;  // owned by the task list
    TLifeline scriptLife;
    lua_State* L = nullptr;
    std::filesystem::path dir;
};

TEST_F(Watchdog, AnEndlessLoopIsStoppedOnceItsTimeIsUpNamingTheFileAndLine)
{
    gWatchStep = 100;  // a tenth of a second between two checks
    const std::string file = Write("options.lua", "gBefore = 1\nwhile true do end\n");
    testing::internal::CaptureStderr();
    EXPECT_EQ(script->RunScript(file.c_str()), 0);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Global("gBefore"), "1");
    EXPECT_NE(log.find("Watchdog: " + file + ":2: script stopped: it ran for 5.0 s without yielding"),
              std::string::npos)
        << log;
    // The script is as usable as after any other error.
    EXPECT_EQ(script->DoLuaString("gAfter = 2"), 0);
    EXPECT_EQ(Global("gAfter"), "2");
}

TEST_F(Watchdog, ALoopThatCatchesTheErrorIsStoppedAgainAndLoggedOnce)
{
    gWatchStep = 1000;
    testing::internal::CaptureStderr();
    const int code = script->DoLuaString("gCaught = not pcall(function() while true do end end)\n"
                                         "while true do end",
                                         -1, "@caught.lua");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(code, 0);
    EXPECT_EQ(Global("gCaught"), "true");
    EXPECT_EQ(Count(log, "Watchdog: "), 1) << log;
    EXPECT_NE(log.find("caught.lua:1: script stopped"), std::string::npos) << log;
}

TEST_F(Watchdog, TheCoroutineAndCoroutinesAScriptMakesAreWatched)
{
    gWatchStep = 1000;
    // Threads made by create and by wrap each run with a hook of their own.
    testing::internal::CaptureStderr();
    EXPECT_EQ(script->DoLuaString("local co = coroutine.create(function() while true do end end)\n"
                                  "gCreated, gWhy = coroutine.resume(co)\n"
                                  "gWrapped = pcall(coroutine.wrap(function() while true do end end))",
                                  -1, "@makers.lua"),
              0);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Global("gCreated"), "false");
    EXPECT_NE(Global("gWhy").find("makers.lua:1: script stopped"), std::string::npos) << Global("gWhy");
    EXPECT_EQ(Global("gWrapped"), "false");

    // The engine's coroutine, stopped in a later resume.
    script->DoLuaString("return function() WaitLuaNextFrame(5) while true do end end", -1, "@screen.lua");
    ASSERT_TRUE(script->CoroutineActive());
    testing::internal::CaptureStderr();
    gNow += 5;
    tasks.DoAll(TTask::kEventContext);
    log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("lua_resume ERROR: screen.lua:1: script stopped"), std::string::npos) << log;
    EXPECT_FALSE(script->CoroutineActive());
}

TEST_F(Watchdog, TimeSpentSuspendedDoesNotCount)
{
    script->DoLuaString("return function() WaitLuaNextFrame(5) for i = 1, 200000 do end gDone = 1 end");
    ASSERT_TRUE(script->CoroutineActive());
    gWatch += 60000;  // a minute waiting for its next frame
    testing::internal::CaptureStderr();
    gNow += 5;
    tasks.DoAll(TTask::kEventContext);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Global("gDone"), "1");
    EXPECT_EQ(log.find("Watchdog"), std::string::npos) << log;
}

TEST_F(Watchdog, SlowNativeWorkWithLittleLuaIsNotStopped)
{
    // Ten seconds between two checks (a loaded machine), but the run does
    // fewer checks' worth of Lua than a script that never returns.
    gWatchStep = 10000;
    const int loops = (TScriptWatchdog::kMinChecksToStop - 2) * TScriptWatchdog::kWatchInstructions / 3;
    const std::string text = "for i = 1, " + std::to_string(loops) + " do end gDone = 1";
    EXPECT_EQ(script->DoLuaString(text.c_str()), 0);
    EXPECT_EQ(Global("gDone"), "1");
}

TEST_F(Watchdog, ALimitSetForEveryScriptApplies)
{
    TScriptWatchdog::SetRunLimit(200);
    gWatchStep = 10;
    testing::internal::CaptureStderr();
    const int code = script->DoLuaString("while true do end", -1, "@short.lua");
    const std::string log = testing::internal::GetCapturedStderr();
    TScriptWatchdog::SetRunLimit(TScriptWatchdog::kDefaultRunLimitMs);
    EXPECT_NE(code, 0);
    EXPECT_NE(log.find("short.lua:1: script stopped: it ran for 0.2 s"), std::string::npos) << log;
}

TEST_F(Watchdog, AQuitSignalStopsTheRunningScriptButNotTheRunsAfterIt)
{
    gReadsToSignal = 3;  // the signal arrives while the loop runs; the clock stands still
    testing::internal::CaptureStderr();
    const int code = script->DoLuaString("while true do end", -1, "@frozen.lua");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(code, 0);
    EXPECT_NE(log.find("Watchdog: frozen.lua:1: script stopped: the game is asked to quit"), std::string::npos)
        << log;
    // What runs on the way out is not stopped for the signal it never saw.
    EXPECT_EQ(script->DoLuaString("for i = 1, 100000 do end gCleanedUp = 1"), 0);
    EXPECT_EQ(Global("gCleanedUp"), "1");
}

// ---- scripts that ignore the stop ----------------------------------------------------

TEST_F(Watchdog, ALoopThatKeepsCatchingTheStopIsStoppedForGood)
{
    gWatchStep = 1000;
    const char* const holds[] = {
        "while true do pcall(function() while true do end end) end",
        "while true do xpcall(function() while true do end end, function() while true do end end) end",
        "while true do xpcall(function() error('x') end, function() while true do end end) end",
        "while true do coroutine.resume(coroutine.create(function() while true do end end)) end",
        "while true do pcall(pcall, pcall, function() while true do end end) end",
    };
    for (const char* hold : holds) {
        testing::internal::CaptureStderr();
        const std::string text = std::string("gAfter = nil ") + hold + " gAfter = 1";
        const int code = script->DoLuaString(text.c_str(), -1, "@holding.lua");
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_NE(code, 0) << hold;
        EXPECT_EQ(Global("gAfter"), "<nil>") << hold;
        EXPECT_EQ(Count(log, "Watchdog: "), 2) << hold << "\n" << log;
        EXPECT_NE(log.find("holding.lua:1: script stopped for good: it went on after it was stopped"),
                  std::string::npos)
            << hold << "\n" << log;
        // The next run is a run like any other.
        EXPECT_EQ(script->DoLuaString("gNext = 1"), 0) << hold;
        EXPECT_EQ(Global("gNext"), "1");
    }
}

TEST_F(Watchdog, AStoppedCoroutineIsNotResumedAgainAndThePlayerIsToldWhichScript)
{
    str told;
    while (TScriptWatchdog::TakeStoppedScript(&told)) {
    }
    gWatchStep = 1000;
    script->DoLuaString("return function() WaitLuaNextFrame(5)\n"
                        "while true do pcall(function() while true do end end) end end",
                        -1, "@/games/data/assets/scripts/screen.lua");
    ASSERT_TRUE(script->CoroutineActive());
    testing::internal::CaptureStderr();
    gNow += 5;
    tasks.DoAll(TTask::kEventContext);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("screen.lua:2: script stopped for good"), std::string::npos) << log;
    EXPECT_FALSE(script->CoroutineActive());
    ASSERT_TRUE(TScriptWatchdog::TakeStoppedScript(&told));
    EXPECT_STREQ(told.c_str(), "scripts/screen.lua");  // as the player knows it
    EXPECT_FALSE(TScriptWatchdog::TakeStoppedScript(&told));   // once
}

TEST_F(Watchdog, ALongPatternMatchIsStoppedNamingTheLuaThatCalledIt)
{
    // The subject is made here: string.rep of that size is long work too.
    const std::string subject(3000000, 'a');
    lua_pushlstring(L, subject.data(), subject.size());
    lua_setglobal(L, "gSubject");
    gWatchStep = 1000;
    testing::internal::CaptureStderr();
    const int code = script->DoLuaString("gFound = pcall(string.find, gSubject, '.-b')\n"
                                         "string.find(gSubject, '.-b')",
                                         -1, "@match.lua");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(code, 0);
    EXPECT_EQ(Global("gFound"), "false");
    EXPECT_NE(log.find("Watchdog: match.lua:1: script stopped: it ran for"), std::string::npos) << log;
}

TEST_F(Watchdog, AQuitSignalStopsALoopThatCatchesItForGood)
{
    gReadsToSignal = 3;  // the clock stands still: only the signal stops it
    str told;
    while (TScriptWatchdog::TakeStoppedScript(&told)) {
    }
    testing::internal::CaptureStderr();
    const int code = script->DoLuaString("while true do pcall(function() while true do end end) end", -1,
                                         "@frozen.lua");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(code, 0);
    EXPECT_NE(log.find("frozen.lua:1: script stopped: the game is asked to quit"), std::string::npos) << log;
    EXPECT_NE(log.find("frozen.lua:1: script stopped for good"), std::string::npos) << log;
    EXPECT_FALSE(TScriptWatchdog::TakeStoppedScript(&told)) << "the game is on its way out: nobody is told";
}

bool gCloseWaiting = false;
int gCloseProbes = 0;
bool ProbeClose()
{
    ++gCloseProbes;
    return gCloseWaiting;
}

TEST_F(Watchdog, ACloseRequestStopsARunThatHasGoneOnAWhile)
{
    qm::SetCloseRequestProbe(&ProbeClose);
    gCloseWaiting = true;
    gCloseProbes = 0;
    // A run shorter than the close probe's wait is never asked about it.
    gWatchStep = 1;
    EXPECT_EQ(script->DoLuaString("for i = 1, 300000 do end gShort = 1"), 0);
    EXPECT_EQ(Global("gShort"), "1");
    EXPECT_EQ(gCloseProbes, 0);
    // A run that goes on is stopped once the request is seen.
    gWatchStep = 50;
    testing::internal::CaptureStderr();
    const int code = script->DoLuaString("while true do end", -1, "@closing.lua");
    const std::string log = testing::internal::GetCapturedStderr();
    qm::SetCloseRequestProbe(nullptr);
    EXPECT_NE(code, 0);
    EXPECT_NE(log.find("Watchdog: closing.lua:1: script stopped: the window is asked to close"), std::string::npos)
        << log;
    EXPECT_GE(gCloseProbes, 1);
    EXPECT_LE(gCloseProbes, 2) << "looked at every tenth of a second, not at every check";
}

TEST_F(Watchdog, TheCountHookIsSetOnlyWhileARunLasts)
{
    EXPECT_EQ(lua_gethook(L), nullptr);
    qm::lua::Publish(L, "HookNow", "test", nullptr, [](lua_State* S) {
        lua_pushboolean(S, lua_gethook(S) != nullptr && (lua_gethookmask(S) & LUA_MASKWORK) != 0);
        return 1;
    });
    EXPECT_EQ(script->DoLuaString("gHooked = HookNow()"), 0);
    EXPECT_EQ(Global("gHooked"), "true");
    EXPECT_EQ(lua_gethook(L), nullptr);
}


// ---- the pace of the checks: time bounds them as well as counts ----------------------

// A native call that takes a tenth of a second on the watchdog's clock, and
// notes a quit signal at the call the test names.
int gSlowCalls = 0;
int gSignalAtCall = -1;
int Slow(lua_State*)
{
    if (++gSlowCalls == gSignalAtCall)
        qm::NoteQuitSignal();
    gWatch += 100;
    return 0;
}

class WatchdogPace : public Watchdog {
protected:
    void SetUp() override
    {
        Watchdog::SetUp();
        TScriptWatchdog::SetCheckPeriod(TScriptWatchdog::kCheckPeriodMs);  // the clock moves only in Slow
        qm::lua::Publish(L, "Slow", "test", nullptr, Slow);
        gSlowCalls = 0;
        gSignalAtCall = -1;
    }
};

TEST_F(WatchdogPace, ALoopOfLongNativeCallsSeesAQuitSignalWithinACallOrTwo)
{
    gSignalAtCall = 200;  // twenty seconds into the run
    testing::internal::CaptureStderr();
    const int code = script->DoLuaString("while true do Slow() end", -1, "@slow.lua");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(code, 0);
    EXPECT_NE(log.find("Watchdog: slow.lua:1: script stopped: the game is asked to quit"), std::string::npos) << log;
    // Counted alone, the check would come 10000 instructions (3333 calls) later.
    EXPECT_LE(gSlowCalls - gSignalAtCall, 2);
}

TEST_F(WatchdogPace, TheFirstCheckOfARunComesAfterAFewInstructions)
{
    gSignalAtCall = 1;
    const int code = script->DoLuaString("while true do Slow() end", -1, "@slow.lua");
    EXPECT_NE(code, 0);
    // Three instructions a call: the first check follows the
    // kFirstCheckInstructions-th instruction.
    EXPECT_LE(gSlowCalls, TScriptWatchdog::kFirstCheckInstructions / 3 + 1);
}

TEST_F(WatchdogPace, QuickInstructionsAreCheckedEveryWatchInstructionsAtMost)
{
    // A millisecond between two readings: quick, whatever the count.
    gWatchStep = 1;
    const std::uint32_t before = gWatch;
    EXPECT_EQ(script->DoLuaString("for i = 1, 1000000 do end gDone = 1"), 0);
    EXPECT_EQ(Global("gDone"), "1");
    // One check per kWatchInstructions, once the first few have found the pace.
    EXPECT_LE(gWatch - before, 1000000u / TScriptWatchdog::kWatchInstructions + 12);
}

TEST_F(WatchdogPace, LongNativeCallsWithLittleLuaAreNotStoppedByTimeButByACloseRequestAfterTheLimit)
{
    qm::SetCloseRequestProbe(&ProbeClose);
    gCloseWaiting = false;
    // Ten seconds of native calls: little Lua, not taken for a loop without end.
    EXPECT_EQ(script->DoLuaString("for i = 1, 100 do Slow() end gDone = 1"), 0);
    EXPECT_EQ(Global("gDone"), "1");
    // A close request is not taken for such a run before the run limit...
    gCloseWaiting = true;
    gSlowCalls = 0;
    testing::internal::CaptureStderr();
    const int code = script->DoLuaString("while true do Slow() end", -1, "@closing.lua");
    const std::string log = testing::internal::GetCapturedStderr();
    qm::SetCloseRequestProbe(nullptr);
    EXPECT_NE(code, 0);
    EXPECT_NE(log.find("Watchdog: closing.lua:1: script stopped: the window is asked to close"), std::string::npos)
        << log;
    const int limitCalls = static_cast<int>(TScriptWatchdog::kDefaultRunLimitMs / 100);
    EXPECT_GE(gSlowCalls, limitCalls);
    EXPECT_LE(gSlowCalls, limitCalls + 2) << "...but at once after it";
}

// ---- finalisers ------------------------------------------------------------------------

const char kLoopingFinalizer[] = "local p = newproxy(true)\n"
                                 "getmetatable(p).__gc = function() while true do end end\n";

TEST_F(Watchdog, AFinaliserThatNeverReturnsIsStoppedAndNamedAndTheCodeThatCollectedGoesOn)
{
    str told;
    while (TScriptWatchdog::TakeStoppedScript(&told)) {
    }
    gWatchStep = 100;
    testing::internal::CaptureStderr();
    const std::string text = std::string(kLoopingFinalizer) + "p = nil collectgarbage() gAfter = 1";
    const int code = script->DoLuaString(text.c_str(), -1, "@/data/assets/scripts/collect.lua");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, 0) << log;
    EXPECT_EQ(Global("gAfter"), "1");
    EXPECT_NE(log.find("Watchdog: /data/assets/scripts/collect.lua:2: script stopped: it ran for 5.0 s"),
              std::string::npos)
        << log;
    ASSERT_TRUE(TScriptWatchdog::TakeStoppedScript(&told));
    EXPECT_STREQ(told.c_str(), "scripts/collect.lua");
}

TEST_F(Watchdog, NoFinaliserRunsOutsideARunTheNextRunTakesThemUp)
{
    EXPECT_EQ(script->DoLuaString("local p = newproxy(true)\n"
                                  "getmetatable(p).__gc = function() gFinalized = (gFinalized or 0) + 1 end\n"
                                  "p = nil"),
              0);
    // Engine code pushing values between runs: megabytes, far past the
    // collector's threshold.
    for (int i = 0; i < 100000; ++i) {
        lua_pushfstring(L, "value %d of some length to allocate", i);
        lua_pop(L, 1);
    }
    EXPECT_EQ(Global("gFinalized"), "<nil>") << "a finaliser ran where nothing watched it";
    EXPECT_EQ(script->DoLuaString("gSeen = gFinalized"), 0);
    EXPECT_EQ(Global("gSeen"), "1") << "taken up as the run began";
}

// A stop holds the collector back at once; a finaliser that collects after
// it (finalisers go on after one is stopped) sets the collector's threshold
// anew, and the run's end must hold it back all the same.
TEST_F(Watchdog, AFinaliserThatCollectsAfterAStopLeavesNoFinaliserToRunBetweenRuns)
{
    gWatchStep = 100;
    testing::internal::CaptureStderr();
    // Finalisers run newest first: the looping one, then the collecting one.
    script->DoLuaString("gKept = newproxy(true)\n"
                        "getmetatable(gKept).__gc = function() gFinalized = (gFinalized or 0) + 1 end\n"
                        "local collects = newproxy(true) getmetatable(collects).__gc = function() collectgarbage() end\n"
                        "local loops = newproxy(true) getmetatable(loops).__gc = function() while true do end end\n"
                        "collects, loops = nil, nil collectgarbage()");
    const std::string log = testing::internal::GetCapturedStderr();
    ASSERT_NE(log.find("script stopped"), std::string::npos) << log;
    lua_pushnil(L);
    lua_setglobal(L, "gKept");
    for (int i = 0; i < 100000; ++i) {
        lua_pushfstring(L, "value %d of some length to allocate", i);
        lua_pop(L, 1);
    }
    EXPECT_EQ(Global("gFinalized"), "<nil>") << "a finaliser ran where nothing watched it";
    str told;
    while (TScriptWatchdog::TakeStoppedScript(&told)) {
    }
}

TEST_F(Watchdog, AFinaliserThatNeverReturnsWhenTheStateClosesIsStoppedAfterTheClosingLimit)
{
    auto* kept = new TScript;
    const std::string text = std::string("gKept = newproxy(true)\n") +
                             "getmetatable(gKept).__gc = function() while true do end end\n"
                             "gOther = newproxy(true) getmetatable(gOther).__gc = function() DebugOut('other ran') end";
    ASSERT_EQ(kept->DoLuaString(text.c_str(), -1, "@kept.lua"), 0);
    gWatchStep = 50;
    testing::internal::CaptureStderr();
    delete kept;  // returns
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Watchdog: kept.lua:2: script stopped: it ran for 1.0 s as its state closed"), std::string::npos)
        << log;
    EXPECT_NE(log.find("Lua: other ran"), std::string::npos) << "the other finalisers still run";
    str told;
    while (TScriptWatchdog::TakeStoppedScript(&told)) {
    }
}

TEST_F(Watchdog, ALoopThatLoadstringKeepsCatchingTheStopInIsStoppedForGood)
{
    // loadstring turns an error of the text it reads into its result, and a
    // long text is read with the hook's turns: the stop comes inside it.
    const std::string source = "return '" + std::string(300000, 'y') + "'";
    lua_pushlstring(L, source.data(), source.size());
    lua_setglobal(L, "gSource");
    gWatchStep = 1000;
    testing::internal::CaptureStderr();
    const int code = script->DoLuaString(
        "gAfter = nil gCalls = 0 while true do gCalls = gCalls + 1 loadstring(gSource) end gAfter = 1", -1,
        "@loading.lua");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(code, 0);
    EXPECT_EQ(Global("gAfter"), "<nil>");
    EXPECT_NE(log.find("loading.lua:1: script stopped for good"), std::string::npos) << log;
    // Left at the instruction after the call that caught the stop for good,
    // not a count of instructions (thousands of calls) later.
    lua_getglobal(L, "gCalls");
    EXPECT_LE(lua_tonumber(L, -1), 20);
    lua_pop(L, 1);
}

}  // namespace
