// TScript without a platform: running code, errors kept from the caller,
// the coroutine driven as a task on a fake clock, and the definition-table
// readers with the style chain.
#include "engine/base/task.h"
#include "engine/base/timesource.h"
#include "engine/script/luabind.h"
#include "engine/script/luamessage.h"
#include "engine/script/luaobject.h"
#include "engine/script/script.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

std::uint32_t gNow = 1000;

// The frame wait of scripted animations: with a delay the task runs again
// that much later, without one it is paused; then the coroutine yields.
int WaitLuaNextFrame(lua_State* L)
{
    auto* script = qm::lua::Self<TScript>(L);
    if (lua_gettop(L) == 1)
        script->SetDelay(static_cast<int>(lua_tonumber(L, 1)), false, true, false);
    else
        script->Pause();
    if (!lua_canyield(L))
        return 0;
    return lua_yield(L, 0);
}

class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gNow = 1000;
        qm::SetTimeSource([] { return gNow; });
        script = new TScript;
        L = script->GetState();
        qm::lua::Publish(L, "WaitLuaNextFrame", "TScript", script, scriptLife, WaitLuaNextFrame);
        tasks.AdoptTask(script);
        dir = std::filesystem::temp_directory_path() / ("qm_script_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    void TearDown() override
    {
        tasks.DestroyAll();
        qm::SetTimeSource({});
        std::filesystem::remove_all(dir);
    }

    std::string Write(const char* name, const char* text)
    {
        const auto path = dir / name;
        std::ofstream(path) << text;
        return path.string();
    }
    double Global(const char* name)
    {
        lua_getglobal(L, name);
        const double v = lua_tonumber(L, -1);
        lua_pop(L, 1);
        return v;
    }
    std::string GlobalString(const char* name)
    {
        lua_getglobal(L, name);
        const char* s = lua_tostring(L, -1);
        std::string v = s ? s : "<nil>";
        lua_pop(L, 1);
        return v;
    }
    // Runs Lua text with the log captured; returns the log.
    std::string Logged(const char* text, int* code = nullptr)
    {
        testing::internal::CaptureStderr();
        const int c = script->DoLuaString(text);
        if (code)
            *code = c;
        return testing::internal::GetCapturedStderr();
    }
    void Frame(int ms)
    {
        gNow += ms;
        tasks.DoAll(TTask::kEventContext);
    }

    TTaskList tasks;
    TScript* script = nullptr;  // owned by the task list
    TLifeline scriptLife;
    lua_State* L = nullptr;
    std::filesystem::path dir;
};

TEST_F(ScriptTest, StartsPausedWithTheGlobalsOfTheScriptLayer)
{
    EXPECT_TRUE(script->IsPaused());
    EXPECT_FALSE(script->CoroutineActive());
    lua_getglobal(L, "_SCRIPT");
    EXPECT_EQ(lua_touserdata(L, -1), script);
    lua_pop(L, 1);
    EXPECT_EQ(TScript::mLuaPath, str("assets/?;?;../?;../../?"));
    EXPECT_EQ(Logged("DebugOut('hello')"), "Lua: hello\n");
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptTest, NativeArgumentsAreCheckedStrictlyAndTheErrorIsLoggedNotThrown)
{
    int code = 0;
    std::string log = Logged("DebugOut(12)", &code);
    EXPECT_EQ(code, LUA_ERRRUN);
    EXPECT_NE(log.find("Lua error: "), std::string::npos) << log;
    EXPECT_NE(log.find("bad argument #1 to `DebugOut' (string expected, got number)"), std::string::npos) << log;
    EXPECT_NE(log.find("Lua Error: "), std::string::npos);
    EXPECT_NE(log.find("\n\twhen running"), std::string::npos);
    log = Logged("DebugOut()", &code);
    EXPECT_NE(log.find("bad argument #1"), std::string::npos) << log;
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptTest, DoLuaStringReportsTheStageAndCallsTheScriptsOwnHandler)
{
    script->DoLuaString("function LuaErrorMessage(text) gShown = text end");
    std::string log = Logged("this is not lua");
    EXPECT_NE(log.find("when parsing"), std::string::npos) << log;
    EXPECT_NE(GlobalString("gShown").find("Lua Error: "), std::string::npos);
    EXPECT_NE(GlobalString("gShown").find("\n\twhen parsing"), std::string::npos);
    log = Logged("error('boom')");
    EXPECT_NE(GlobalString("gShown").find("boom"), std::string::npos) << GlobalString("gShown");
    EXPECT_NE(GlobalString("gShown").find("when running"), std::string::npos);
    EXPECT_EQ(lua_gettop(L), 0);

    // A length runs only that much of the text, and never past its end.
    EXPECT_EQ(script->DoLuaString("gCut = 12345", 8), 0);
    EXPECT_EQ(Global("gCut"), 1);
    EXPECT_EQ(script->DoLuaString(str("gLong = 'a long enough text to live on the heap'"), 4096), 0);
    EXPECT_EQ(GlobalString("gLong"), "a long enough text to live on the heap");
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptTest, RunScriptLogsLoadAndRunFailures)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(script->RunScript(Write("bad.lua", "x = = 1").c_str()), 0);
    EXPECT_EQ(script->RunScript(Write("fails.lua", "error('no')").c_str()), 0);
    EXPECT_EQ(script->RunScript(""), 0);
    EXPECT_EQ(script->RunScript((dir / "missing.lua").string().c_str()), 0);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Lua error: "), std::string::npos) << log;
    EXPECT_NE(log.find("Failed to run script " + (dir / "fails.lua").string() + ": 1"), std::string::npos) << log;
    EXPECT_EQ(lua_gettop(L), 0);
    EXPECT_EQ(GlobalString("LUA_PATH"), "assets/?;?;../?;../../?");
}

TEST_F(ScriptTest, AChunkReturningAFunctionStartsItAsTheCoroutineAcrossFrames)
{
    const std::string file = Write("anim.lua", R"(
        return function()
            gStep = 1
            WaitLuaNextFrame(16)
            gStep = 2
            WaitLuaNextFrame(16)
            gStep = 3
        end)");
    EXPECT_EQ(script->RunScript(file.c_str()), 1);
    EXPECT_TRUE(script->CoroutineActive());
    EXPECT_FALSE(script->IsPaused());
    EXPECT_EQ(Global("gStep"), 1);
    Frame(10);  // not due yet
    EXPECT_EQ(Global("gStep"), 1);
    Frame(6);
    EXPECT_EQ(Global("gStep"), 2);
    Frame(16);
    EXPECT_EQ(Global("gStep"), 3);
    EXPECT_FALSE(script->CoroutineActive());
    EXPECT_TRUE(script->IsPaused());
    EXPECT_EQ(tasks.Count(), 1);  // the task stays, paused
}

TEST_F(ScriptTest, AChunkReturningANumberRunsOnceAndLeavesTheTaskPaused)
{
    EXPECT_EQ(script->RunScript(Write("once.lua", "gRan = (gRan or 0) + 1 return 5").c_str()), 1);
    EXPECT_TRUE(script->IsPaused());
    Frame(100);
    EXPECT_EQ(Global("gRan"), 1);
}

TEST_F(ScriptTest, WaitWithoutADelayPausesUntilTheTaskIsWoken)
{
    script->DoLuaString("return function() WaitLuaNextFrame() gDone = 1 end");
    EXPECT_TRUE(script->CoroutineActive());
    EXPECT_TRUE(script->IsPaused());
    Frame(1000);
    EXPECT_EQ(GlobalString("gDone"), "<nil>");
    script->SetDelay(0, false, true, false);
    Frame(1);
    EXPECT_EQ(Global("gDone"), 1);
}

TEST_F(ScriptTest, AResumeErrorIsLoggedAndTheTaskPauses)
{
    script->DoLuaString("return function() WaitLuaNextFrame(5) error('late') end");
    testing::internal::CaptureStderr();
    Frame(5);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("lua_resume ERROR: "), std::string::npos) << log;
    EXPECT_NE(log.find("late"), std::string::npos);
    EXPECT_FALSE(script->CoroutineActive());
    EXPECT_TRUE(script->IsPaused());
}

TEST_F(ScriptTest, AFunctionRunWhileSuspendedGoesThroughAClosureWithAtMostSixArguments)
{
    script->DoLuaString("return function() WaitLuaNextFrame() end");
    ASSERT_TRUE(script->CoroutineActive());
    script->DoLuaString("function Take(...) gCount = arg.n gLast = arg[arg.n] end");
    lua_getglobal(L, "Take");
    for (int i = 1; i <= 8; ++i)
        lua_pushnumber(L, i);
    EXPECT_EQ(script->RunFunction(8, 0), 0);
    EXPECT_EQ(Global("gCount"), 6);
    EXPECT_EQ(Global("gLast"), 6);
    EXPECT_TRUE(script->CoroutineActive());  // the suspended frame is undisturbed
    lua_getglobal(L, "GetClosure");
    EXPECT_TRUE(lua_isfunction(L, -1));
    lua_pop(L, 1);
}

TEST_F(ScriptTest, TwoResultsWhileSuspendedCallDirectlyAndAFailureSaysSo)
{
    script->DoLuaString("return function() WaitLuaNextFrame() end");
    script->DoLuaString("function Two(a) return a, a * 2 end");
    const int top = lua_gettop(L);
    lua_getglobal(L, "Two");
    lua_pushnumber(L, 4);
    EXPECT_EQ(script->RunFunction(1, 2), 0);
    EXPECT_EQ(lua_tonumber(L, -1), 8);
    lua_settop(L, top);

    lua_getglobal(L, "error");
    lua_pushstring(L, "two");
    testing::internal::CaptureStderr();
    EXPECT_EQ(script->RunFunction(1, 2), LUA_ERRRUN);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("TScript::RunFunction failure. Too many return results? (2, FAILURE CODE 1)"),
              std::string::npos)
        << log;
    lua_settop(L, top);
    EXPECT_TRUE(script->CoroutineActive());
}

TEST_F(ScriptTest, ReadersSearchTheTableThenTheDefaultStyleAndItsParents)
{
    script->DoLuaString("gCurrentDefaultStyle = { parent = { w = 7, name = 'styled', on = true } }");
    lua_newtable(L);
    EXPECT_EQ(script->GetNumber("w", 5), 7);
    EXPECT_EQ(script->GetString("name", "none"), str("styled"));
    EXPECT_TRUE(script->GetBool("on", false));
    EXPECT_EQ(script->GetNumber("h", 5), 5);
    lua_pushstring(L, "w");
    lua_pushnumber(L, 0);
    lua_settable(L, -3);
    EXPECT_EQ(script->GetNumber("w", 5), 0);  // present, even if zero
    EXPECT_EQ(lua_gettop(L), 1);

    // The definition table's own parent is not followed.
    script->DoLuaString("gCurrentDefaultStyle = {} gDef = { parent = { x = 3 } }");
    lua_getglobal(L, "gDef");
    EXPECT_EQ(script->GetNumber("x", -1), -1);
    EXPECT_EQ(lua_gettop(L), 2);
}

TEST_F(ScriptTest, AStyleParentLoopEndsTheSearch)
{
    script->DoLuaString("local a = {} local b = { parent = a } a.parent = b gCurrentDefaultStyle = a");
    lua_newtable(L);
    testing::internal::CaptureStderr();
    EXPECT_EQ(script->GetNumber("w", 9), 9);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(lua_gettop(L), 1);
}

TEST_F(ScriptTest, BooleansColoursAndFonts)
{
    script->DoLuaString("gDef = { s = 'true', n = 0, nan = 0/0, t = {}, c = { 1, 0.5 },"
                        " font = { 'big.mvec', 24.9, { 0, 0, 1, 1 } } }");
    lua_getglobal(L, "gDef");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(script->GetBool("s", true));
    EXPECT_FALSE(script->GetBool("t", true));
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("PopBool used on lua string true"), std::string::npos) << log;
    EXPECT_NE(log.find("PopBool used on a type that isn't a number, a boolean, or nil. (type: 5)"),
              std::string::npos);
    EXPECT_FALSE(script->GetBool("n", true));
    EXPECT_TRUE(script->GetBool("nan", false));

    const TColor c = script->GetColor("c", TColor{9, 9, 9, 9});
    EXPECT_EQ(c.r, 1);
    EXPECT_EQ(c.g, 0.5f);
    EXPECT_EQ(c.a, 0);
    EXPECT_EQ(script->GetColor("none", TColor{9, 9, 9, 9}).r, 9);

    ASSERT_TRUE(script->GetTag("font", true));
    const TFontDescription font = script->PopFont();
    EXPECT_EQ(font.name, str("big.mvec"));
    EXPECT_EQ(font.height, 24);
    EXPECT_EQ(font.color.b, 1);
    EXPECT_EQ(lua_gettop(L), 1);
}

TEST_F(ScriptTest, DumpTableLogsEachPair)
{
    const std::string log = Logged("DumpTable({ 7 })");
    EXPECT_EQ(log, "1[number] - 7[number]\n");
}

TEST_F(ScriptTest, RegistryHeldValuesLiveAsLongAsTheirWrapper)
{
    script->DoLuaString("gT = { 10, 20 }");
    lua_getglobal(L, "gT");
    auto* table = new TLuaTable(L);
    EXPECT_EQ(lua_gettop(L), 0);
    script->DoLuaString("gT = nil collectgarbage()");
    EXPECT_EQ(table->GetNumber(2, 0), 20);
    EXPECT_EQ(table->GetNumber(3, -1), -1);
    table->DeferDelete();  // deleted at the next run
    script->DoLuaString("x = 1");
    EXPECT_EQ(lua_gettop(L), 0);

    // A script that puts some other userdata in _SCRIPT must not have it
    // taken for the script: the table then goes at once.
    lua_pushstring(L, "_SCRIPT");
    lua_newuserdata(L, 8);
    lua_settable(L, LUA_GLOBALSINDEX);
    script->DoLuaString("gU = { 1 }");
    lua_getglobal(L, "gU");
    (new TLuaTable(L))->DeferDelete();
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptTest, MessageBoxesAnswerTypeAndNameAndDeleteTheirMessage)
{
    RegisterMessageMetatable(L);
    struct Counted : TMessage {
        Counted(int* n) : TMessage(3, "ok", nullptr), count(n) {}
        ~Counted() override { ++*count; }
        int* count;
    };
    int deleted = 0;
    LPCD::Push(L, new Counted(&deleted));
    lua_setglobal(L, "gBox");
    script->DoLuaString("gType = gBox.type gName = gBox.name gOther = gBox.other");
    EXPECT_EQ(Global("gType"), 3);
    EXPECT_EQ(GlobalString("gName"), "ok");
    EXPECT_EQ(GlobalString("gOther"), "<nil>");
    lua_pushnumber(L, 1);
    EXPECT_FALSE(LPCD::Match(L, -1));
    lua_pushnil(L);
    EXPECT_TRUE(LPCD::Match(L, -1));
    EXPECT_EQ(LPCD::Get(L, -1), nullptr);
    lua_settop(L, 0);
    script->DoLuaString("gBox = nil collectgarbage()");
    EXPECT_EQ(deleted, 1);
}

}  // namespace
