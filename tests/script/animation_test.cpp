// Scripted sprite animations on the headless platform (fake clock) with a
// display handler that records draws. Every animation is made by the packer
// at test time; scripts are the texture's own text or ".lua" files.
#include "engine/base/clock.h"
#include "engine/base/task.h"
#include "engine/platform/headless/headlessbackend.h"
#include "engine/platform/platform.h"
#include "engine/platform/platformdata.h"
#include "engine/platform/services.h"
#include "engine/render/animatedtexture.h"
#include "engine/script/animation.h"
#include "engine/script/animationlayers.h"
#include "engine/script/script.h"
#include "engine/script/scriptwatchdog.h"
#include "lauxlib.h"
#include "recordinghandler.h"
#include "testimages.h"
#include "tools/anmpack/anmpack.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern const unsigned char kAnimationScriptChunk[];
extern const std::size_t kAnimationScriptChunkSize;

using namespace testimages;
namespace fs = std::filesystem;

namespace {

// Records, besides texture draws, what scrobs send through the platform.
class ScrobRecordingHandler : public RecordingHandler {
public:
    struct VertexDraw {
        int type = 0;
        std::vector<TTransformedLitVert> vertices;
        std::shared_ptr<TTexture> texture;
    };
    std::vector<VertexDraw> vertexDraws;
    std::shared_ptr<TTexture> boundTexture;
    int filtering = -1;

    void SetTexture(std::shared_ptr<TTexture> texture) override { boundTexture = std::move(texture); }
    void SetFilteringMode(EFilteringModes mode) override { filtering = mode; }
    void GetViewport(int* l, int* t, int* r, int* b) override { *l = 10, *t = 20, *r = 810, *b = 620; }
    void DrawVertices(EDrawType type, const TVertexSet& set) override
    {
        const auto* v = static_cast<const TTransformedLitVert*>(set.GetVertices());
        vertexDraws.push_back({type, std::vector<TTransformedLitVert>(v, v + set.GetCount()), boundTexture});
    }
};

ScrobRecordingHandler* gHandler = nullptr;

class TestDisplayHost : public IDisplayHost {
public:
    TestDisplayHost() { gHandler = &handler; }
    ~TestDisplayHost() override { gHandler = nullptr; }
    TDisplayHandler* GetDisplayHandler() override { return &handler; }
    void SetDisplay(int, int, bool) override {}
    void RebuildDisplay() override {}
    bool BeginDraw(bool) override { return true; }
    void EndDraw(bool) override {}
    bool Begin2d() override { return handler.Begin2d(); }
    void End2d() override { handler.End2d(); }

    ScrobRecordingHandler handler;
};

const Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255};

class AnimationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WritePng("red.png", 4, 4, PngKind::Rgba, Solid(4, 4, kRed));
        WritePng("green.png", 4, 4, PngKind::Rgba, Solid(4, 4, kGreen));
        WritePng("blue.png", 4, 4, PngKind::Rgba, Solid(4, 4, kBlue));
        WritePng("dot.png", 6, 3, PngKind::Rgba, Solid(6, 3, kRed));

        qm::PlatformHooks().makeDisplayHost = [](TPlatformData&) { return std::make_unique<TestDisplayHost>(); };
        auto headless = std::make_unique<qm::THeadlessBackend>();
        backend = headless.get();
        backend->now = 5000;
        testing::internal::CaptureStderr();
        platform = std::make_unique<TPlatform>(new TPlatformData(0, nullptr, false, std::move(headless)));
        platform->Init3d();
        testing::internal::GetCapturedStderr();
        platform->SeedRand(7);
    }

    void TearDown() override
    {
        platform.reset();
        qm::PlatformHooks() = qm::TPlatformHooks{};
    }

    // Packs three frames (red, green, blue) with a script (empty: the
    // default one) into `output` and the sheet beside it.
    void Pack(const std::string& output, const std::string& script = "", int frames = 3)
    {
        std::string description = "reg 1 1\n";
        const char* files[] = {"red.png", "green.png", "blue.png"};
        for (int i = 0; i < frames; ++i)
            description += "frame f" + std::to_string(i) + " " + fs::absolute(files[i % 3]).string() + "\n";
        anmpack::Animation animation = anmpack::ParseDescription(description, ".");
        const fs::path out(output);
        animation.sequence = out.stem().string();
        animation.image = out.stem().string() + ".png";
        animation.script = script;
        const anmpack::Image sheet = anmpack::PackSheet(animation);
        if (!out.parent_path().empty())
            fs::create_directories(out.parent_path());
        std::string error;
        ASSERT_TRUE(anmpack::WritePng((out.parent_path() / animation.image).string(), sheet, &error)) << error;
        const std::vector<std::uint8_t> bytes = anmpack::EncodeAnm(animation);
        ASSERT_TRUE(anmpack::WriteFile(output, std::string(bytes.begin(), bytes.end()), &error)) << error;
    }

    static void WriteText(const std::string& path, const std::string& text)
    {
        if (!fs::path(path).parent_path().empty())
            fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path) << text;
    }

    // Moves the fake clock and runs the platform's tasks once.
    void Advance(int ms)
    {
        backend->now += ms;
        platform->GetTaskList()->DoAll(TTask::kEventContext);
    }

    static lua_State* StateOf(const TAnimation& a)
    {
        TScript* script = a.GetData()->mScript;
        return script ? script->GetState() : nullptr;
    }
    static double Global(const TAnimation& a, const char* name)
    {
        lua_State* L = StateOf(a);
        lua_getglobal(L, name);
        const double v = lua_tonumber(L, -1);
        lua_pop(L, 1);
        return v;
    }

    // The draws made with an animation's texture since the last call.
    std::vector<RecordedDraw> DrawsOf(const TAnimation& a)
    {
        std::vector<RecordedDraw> found;
        auto texture = a.GetAnimatedTexture();
        for (const RecordedDraw& d : gHandler->draws)
            if (texture && d.data == texture->GetData())
                found.push_back(d);
        return found;
    }
    void DrawFrame(TAnimation& a, float x = 0, float y = 0, float alpha = 1)
    {
        gHandler->draws.clear();
        ASSERT_TRUE(platform->Begin2d());
        a.Draw(x, y, alpha, 1, 0, 0);
        platform->End2d();
    }

    // Counts the interpreter's close in gClosedStates: a userdata whose
    // `__gc' runs when the state is closed.
    static void WatchClose(lua_State* L)
    {
        lua_newuserdata(L, 1);
        lua_newtable(L);
        lua_pushstring(L, "__gc");
        lua_pushcfunction(L, [](lua_State*) {
            ++gClosedStates;
            return 0;
        });
        lua_settable(L, -3);
        lua_setmetatable(L, -2);
        luaL_ref(L, LUA_REGISTRYINDEX);
    }
    static inline int gClosedStates = 0;

    ScratchDir scratch;
    qm::THeadlessBackend* backend = nullptr;
    std::unique_ptr<TPlatform> platform;
};

// ---------------------------------------------------------------- the library

TEST_F(AnimationTest, TheLibraryIsABigEndianChunkOfAnimationscriptLoadedIntoEveryNewInterpreter)
{
    ASSERT_GT(kAnimationScriptChunkSize, 12u);
    EXPECT_EQ(std::memcmp(kAnimationScriptChunk, "\033Lua", 4), 0);
    EXPECT_EQ(kAnimationScriptChunk[5], 0) << "big-endian";
    const std::string bytes(reinterpret_cast<const char*>(kAnimationScriptChunk), kAnimationScriptChunkSize);
    EXPECT_NE(bytes.find("@animationscript.lua"), std::string::npos);

    TAnimation a;
    EXPECT_TRUE(a.PlayScript("", ""));
    lua_State* L = StateOf(a);
    ASSERT_NE(L, nullptr);
    EXPECT_EQ(Global(a, "alpha"), 1);
    EXPECT_EQ(Global(a, "alphadelta"), 0);
    EXPECT_EQ(Global(a, "alphacount"), 0);
    for (const char* name : {"delay", "pause", "showFrame", "fadeout", "fadein", "setAlpha", "frames", "loop",
                             "spin", "spawn", "run", "done", "halt", "isPlaying", "endReferences", "stopChildren",
                             "random", "SetCurrentFrame", "Spin", "WaitLuaNextFrame", "SpawnChild", "Done", "Halt",
                             "ChildIsPlaying", "Load", "GetScript", "StopChildren", "SetAlpha", "Random",
                             "layered"}) {
        lua_getglobal(L, name);
        EXPECT_TRUE(lua_isfunction(L, -1)) << name;
        lua_pop(L, 1);
    }
    lua_getglobal(L, "framerate");
    EXPECT_TRUE(lua_isnil(L, -1)) << "the frame delay is the chunk's own";
    lua_pop(L, 1);
    lua_getglobal(L, "AllocateScrobs");
    EXPECT_TRUE(lua_isnil(L, -1)) << "layered functions come with `layered`";
    lua_pop(L, 1);
}

// ------------------------------------------------------- frames and delays

TEST_F(AnimationTest, TheDefaultScriptShowsEveryFrameOnce60msApartAndKeepsTheLast)
{
    Pack("walk.anm");
    TAnimation a;
    ASSERT_TRUE(a.Init("walk.anm", "", ""));
    EXPECT_EQ(a.GetNumFrames(), 3);
    a.Play("DoAnim", false);
    EXPECT_EQ(a.GetLastFunction(), str("DoAnim"));
    EXPECT_EQ(a.GetData()->mStartTime, platform->Timer());
    EXPECT_TRUE(a.IsPlaying());
    EXPECT_EQ(a.GetCurrentFrame(), 0);
    Advance(59);
    EXPECT_EQ(a.GetCurrentFrame(), 0);
    Advance(1);
    EXPECT_EQ(a.GetCurrentFrame(), 1);
    Advance(60);
    EXPECT_EQ(a.GetCurrentFrame(), 2);
    EXPECT_TRUE(a.IsPlaying());
    Advance(60);
    EXPECT_FALSE(a.IsPlaying());
    EXPECT_FALSE(a.IsDone()) << "the interpreter stays until stopped";
    Advance(500);
    EXPECT_EQ(a.GetCurrentFrame(), 2);
    DrawFrame(a, 30, 40);
    ASSERT_EQ(DrawsOf(a).size(), 1u);
    EXPECT_EQ(a.GetAnimatedTexture()->GetAnimation().currentFrame, 2);
}

TEST_F(AnimationTest, LibraryVerbsStepFramesFadesLoopsAndDelaysAsScriptsExpect)
{
    Pack("verbs.anm",
         "function Three() frames({1, 2, 3}) end\n"
         "function Fade() fadeout(4); frames{1, 1, 1, 1, 1, 1} end\n"
         "function FadeIn() setAlpha(0); fadein(2); frames{1, 1, 1} end\n"
         "function Slow() delay(100); showFrame(); SetCurrentFrame(2) end\n"
         "function Loop() loop(2, {2, 3}) end\n"
         "function Spins() Spin = function(a, b, c) calls = (calls or '') .. a .. ',' .. b .. ',' .. c .. ';' end;"
         " spin(30); spin(30, 60); spin(1, 2, 3) end\n");
    TAnimation a;
    ASSERT_TRUE(a.Init("verbs.anm", "", ""));

    a.Play("Three", false);
    EXPECT_EQ(a.GetCurrentFrame(), 0);
    Advance(16);
    EXPECT_EQ(a.GetCurrentFrame(), 1);
    Advance(15);
    EXPECT_EQ(a.GetCurrentFrame(), 1);
    Advance(1);
    EXPECT_EQ(a.GetCurrentFrame(), 2);
    EXPECT_EQ(Global(a, "count"), 3);
    EXPECT_EQ(Global(a, "frame"), 3);
    Advance(16);
    EXPECT_FALSE(a.IsPlaying());

    a.Play("Fade", false);
    std::vector<float> alphas{a.GetAlpha()};
    for (int i = 0; i < 6; ++i) {
        Advance(16);
        alphas.push_back(a.GetAlpha());
    }
    EXPECT_EQ(alphas, (std::vector<float>{0.75f, 0.5f, 0.25f, 0.0f, 0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(Global(a, "alphadelta"), 0);

    a.Play("FadeIn", false);
    EXPECT_FLOAT_EQ(a.GetAlpha(), 0.5f) << "setAlpha does not step the fade; the first frame does";
    Advance(16);
    EXPECT_FLOAT_EQ(a.GetAlpha(), 1.0f);
    Advance(16);
    EXPECT_FLOAT_EQ(a.GetAlpha(), 1.0f);

    a.Play("Slow", false);
    Advance(99);
    EXPECT_EQ(a.GetCurrentFrame(), 0) << "the fresh interpreter's frame is still the last one set";
    Advance(1);
    EXPECT_EQ(a.GetCurrentFrame(), 2);

    a.Play("Loop", false);
    std::vector<int> shown{a.GetCurrentFrame()};
    for (int i = 0; i < 4; ++i) {
        Advance(16);
        shown.push_back(a.GetCurrentFrame());
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 1, 2, 2}));
    EXPECT_FALSE(a.IsPlaying());

    a.Play("Spins", false);
    lua_getglobal(StateOf(a), "calls");
    EXPECT_STREQ(lua_tostring(StateOf(a), -1), "30,30,0;30,60,1;1,2,3;");
    lua_pop(StateOf(a), 1);
}

TEST_F(AnimationTest, ACacheDrawUsesAScratchTextureWithTheSameAlpha)
{
    Pack("walk.anm", "function DoAnim() setAlpha(0.5); frames{2} end\n");
    TAnimation a;
    ASSERT_TRUE(a.Init("walk.anm", "", ""));
    a.Play("DoAnim", false);
    TAnimatedTextureCache cache(16, 16, 2);
    gHandler->draws.clear();
    ASSERT_TRUE(platform->Begin2d());
    a.Draw(&cache, 7, 9, 0.5f, 1, 0, 1);
    platform->End2d();
    ASSERT_EQ(gHandler->draws.size(), 1u);
    EXPECT_NE(gHandler->draws[0].data, a.GetAnimatedTexture()->GetData()) << "drawn through a slot of the cache";
    EXPECT_FLOAT_EQ(gHandler->draws[0].alpha, 0.25f);
    EXPECT_EQ(gHandler->draws[0].flags, 1);
    EXPECT_EQ(a.GetAnimatedTexture()->GetAnimation().currentFrame, 1);
}

TEST_F(AnimationTest, PlayWithoutKeepMakesAFreshInterpreterAndWithKeepReusesIt)
{
    Pack("walk.anm", "function DoAnim() runs = (runs or 0) + 1; frames{1} end\n");
    TAnimation a;
    ASSERT_TRUE(a.Init("walk.anm", "", ""));
    a.Play("DoAnim", false);
    // The first interpreter marked: the allocator may give the fresh one
    // the same address, but never the mark.
    lua_pushnumber(StateOf(a), 1);
    lua_setglobal(StateOf(a), "gFirst");
    Advance(16);
    a.Play("DoAnim", false);
    TScript* second = a.GetData()->mScript;
    EXPECT_EQ(Global(a, "gFirst"), 0) << "a fresh interpreter";
    EXPECT_EQ(Global(a, "runs"), 1);
    Advance(16);
    a.Play("DoAnim", true);
    EXPECT_EQ(a.GetData()->mScript, second);
    EXPECT_EQ(Global(a, "runs"), 2);
    EXPECT_TRUE(a.IsPlaying());
    EXPECT_EQ(platform->GetTaskList()->Count(), 1) << "retired scripts leave the task list";

    // While the coroutine still waits, keep only runs the text in the
    // interpreter: the waiting coroutine goes on, nothing new starts.
    a.Play("DoAnim", true);
    EXPECT_EQ(Global(a, "runs"), 2);
    Advance(16);
    EXPECT_FALSE(a.IsPlaying());
}

// A task that plays an animation from inside the task list's pass, as a
// game's update task does.
class PlayingTask : public TTask {
public:
    explicit PlayingTask(TAnimation& a) : mAnimation(a) {}
    bool DoTask() override
    {
        mAnimation.Play("DoAnim", false);
        return false;
    }

private:
    TAnimation& mAnimation;
};

TEST_F(AnimationTest, APlayClosesTheInterpreterOfThePlayBeforeUnlessItMustOutliveTheCall)
{
    // However often an animation is played, it holds one interpreter.
    Pack("walk.anm", "function DoAnim() while true do frames{1, 2, 3} end end\n");
    TAnimation a;
    ASSERT_TRUE(a.Init("walk.anm", "", ""));
    gClosedStates = 0;
    for (int play = 0; play < 5; ++play) {
        a.Play("DoAnim", false);
        WatchClose(StateOf(a));
        EXPECT_EQ(gClosedStates, play) << "every earlier interpreter is closed, this one is not";
        EXPECT_EQ(a.GetData()->mRetiredScript, nullptr);
        EXPECT_EQ(platform->GetTaskList()->Count(), 1);
        Advance(16);
        EXPECT_TRUE(a.IsPlaying());
    }
    a.Stop();
    EXPECT_EQ(gClosedStates, 5);
    EXPECT_EQ(a.GetData()->mScript, nullptr);

    // Played during a pass, the old script is still named by the pass: it is
    // kept until the next play, and the new one runs.
    a.Play("DoAnim", false);
    WatchClose(StateOf(a));
    platform->AdoptTask(new PlayingTask(a));
    Advance(16);
    EXPECT_EQ(gClosedStates, 5);
    ASSERT_NE(a.GetData()->mRetiredScript, nullptr);
    EXPECT_TRUE(platform->GetTaskList()->Contains(a.GetData()->mScript));
    WatchClose(StateOf(a));
    EXPECT_EQ(a.GetCurrentFrame(), 0);
    Advance(16);
    EXPECT_EQ(a.GetCurrentFrame(), 1) << "the script played during the pass runs";
    a.Play("DoAnim", false);
    EXPECT_EQ(gClosedStates, 7) << "the kept one goes with the next play, beside the one it replaces";
    EXPECT_EQ(a.GetData()->mRetiredScript, nullptr);

    // A script that ends itself (`done') is running: it is kept, and goes
    // with the next play.
    Pack("once.anm", "function DoAnim() frames{1}; done() end\n");
    TAnimation b;
    ASSERT_TRUE(b.Init("once.anm", "", ""));
    b.Play("DoAnim", false);
    WatchClose(StateOf(b));
    Advance(16);
    EXPECT_TRUE(b.IsDone());
    ASSERT_NE(b.GetData()->mRetiredScript, nullptr);
    const int closed = gClosedStates;
    ASSERT_TRUE(b.Init("once.anm", "", ""));
    b.Play("DoAnim", false);
    EXPECT_EQ(gClosedStates, closed + 1);
    EXPECT_EQ(b.GetData()->mRetiredScript, nullptr);
}

TEST_F(AnimationTest, AnAnimationsScriptIsCompiledOnceForEveryPlayAndEveryAnimationOfIt)
{
    Pack("wave.anm", "function Wave() runs = (runs or 0) + 1; frames{1, 2} end\n"
                     "function Still() frames{1} end\n");
    TAnimation a, b;
    ASSERT_TRUE(a.Init("wave.anm", "", ""));
    ASSERT_TRUE(b.Init("wave.anm", "", ""));
    const std::size_t before = TScript::CompiledOnceCount();
    a.Play("Wave", false);
    EXPECT_EQ(TScript::CompiledOnceCount(), before + 1);
    for (int i = 0; i < 3; ++i) {
        Advance(16);
        a.Play("Wave", false);
        b.Play("Wave", false);
    }
    EXPECT_EQ(TScript::CompiledOnceCount(), before + 1) << "played again from the kept chunk";
    // Each play is still a fresh interpreter running the same code.
    EXPECT_EQ(Global(a, "runs"), 1);
    EXPECT_EQ(Global(b, "runs"), 1);
    EXPECT_TRUE(a.IsPlaying());
    b.Play("Still", false);  // another function is another text
    EXPECT_EQ(TScript::CompiledOnceCount(), before + 2);
}

TEST_F(AnimationTest, AScriptThatDoesNotCompileIsNamedOnceAndNotKept)
{
    Pack("broken.anm", "function Broken( frames{1} end\n");
    TAnimation a;
    ASSERT_TRUE(a.Init("broken.anm", "", ""));
    const std::size_t before = TScript::CompiledOnceCount();
    for (int i = 0; i < 2; ++i) {
        testing::internal::CaptureStderr();
        a.Play("Broken", false);
        const std::string log = testing::internal::GetCapturedStderr();
        if (i == 0)
            EXPECT_NE(log.find("broken.anm: its script does not compile"), std::string::npos) << log;
        else
            EXPECT_EQ(log, "") << "named once, not at every play";
    }
    EXPECT_EQ(TScript::CompiledOnceCount(), before);
    EXPECT_FALSE(a.IsPlaying());
}

TEST_F(AnimationTest, AScriptTheWatchdogStoppedIsNeverRunAgain)
{
    // Each reading of the watchdog's clock is a second later: a loop is
    // stopped at its first checks, well past the limit.
    static std::uint32_t watch = 0;
    watch = 0;
    TScriptWatchdog::SetClock([] { return watch += 1000; });
    TScriptWatchdog::SetCheckPeriod(0);  // a check every kWatchInstructions instructions
    Pack("endless.anm", "function Spin() SetCurrentFrame(1); while true do pcall(function() while true do end end) end end\n");
    TAnimation a;
    ASSERT_TRUE(a.Init("endless.anm", "", ""));
    testing::internal::CaptureStderr();
    a.Play("Spin", false);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("endless.anm:1: script stopped for good"), std::string::npos) << log;
    EXPECT_NE(log.find("Animation endless.anm: its script was stopped by the watchdog; the animation plays without it"),
              std::string::npos)
        << log;
    EXPECT_FALSE(a.IsPlaying());
    testing::internal::CaptureStderr();
    a.SetCurrentFrame(0);
    a.Play("Spin", false);
    Advance(16);
    log = testing::internal::GetCapturedStderr();
    TScriptWatchdog::SetClock({});
    TScriptWatchdog::SetCheckPeriod(TScriptWatchdog::kCheckPeriodMs);
    EXPECT_EQ(log, "") << "not run, so not stopped again";
    EXPECT_EQ(a.GetCurrentFrame(), 0);
    str told;
    while (TScriptWatchdog::TakeStoppedScript(&told)) {
    }
}

TEST_F(AnimationTest, WaitWithoutADelayPausesUntilTheAnimationIsResumed)
{
    Pack("hold.anm", "function Hold() SetCurrentFrame(0); pause(); SetCurrentFrame(1); pause(); SetCurrentFrame(2) end\n"
                     "function Walk() frames{1, 2, 3} end\n");
    TAnimation a;
    ASSERT_TRUE(a.Init("hold.anm", "", ""));
    a.Play("Hold", false);
    Advance(10000);
    EXPECT_EQ(a.GetCurrentFrame(), 0);
    EXPECT_TRUE(a.IsPlaying());
    a.Pause(false);
    EXPECT_EQ(a.GetCurrentFrame(), 1);
    a.Pause(false);
    EXPECT_EQ(a.GetCurrentFrame(), 2);
    EXPECT_FALSE(a.IsPlaying());
    testing::internal::CaptureStderr();
    a.Pause(false);  // nothing left to resume
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    a.Play("Walk", false);
    a.Pause(true);
    Advance(1000);
    EXPECT_EQ(a.GetCurrentFrame(), 0);
    a.Pause(false);
    EXPECT_EQ(a.GetCurrentFrame(), 1);
    Advance(16);
    EXPECT_EQ(a.GetCurrentFrame(), 2);
}

TEST_F(AnimationTest, AWaitLongerThanAnIntHoldsAtItsEndInsteadOfWrappingToNow)
{
    Pack("long.anm", "function Long() SetCurrentFrame(0); pause(5e9); SetCurrentFrame(1) end\n"
                     "function Odd() SetCurrentFrame(0); pause(0/0); SetCurrentFrame(2) end\n");
    TAnimation a;
    ASSERT_TRUE(a.Init("long.anm", "", ""));
    a.Play("Long", false);
    Advance(16);
    Advance(100000);
    EXPECT_EQ(a.GetCurrentFrame(), 0) << "a very long wait is still a wait";
    EXPECT_TRUE(a.IsPlaying());

    a.Play("Odd", false);
    Advance(0);
    EXPECT_EQ(a.GetCurrentFrame(), 2) << "a wait of no number of milliseconds ends at the next frame";
}

TEST_F(AnimationTest, StopEndsTheScriptAndTheChildrenAndResetsTheAlpha)
{
    Pack("walk.anm", "function DoAnim() setAlpha(0.5); spawn{'walk.anm', anim = 'Child'}; frames{1, 2, 3} end\n"
                     "function Child() frames{1, 2, 3} end\n");
    TAnimation a;
    ASSERT_TRUE(a.Init("walk.anm", "", ""));
    a.Play("DoAnim", false);
    EXPECT_FLOAT_EQ(a.GetAlpha(), 0.5f);
    EXPECT_EQ(a.GetData()->mChildren.size(), 1u);
    EXPECT_EQ(platform->GetTaskList()->Count(), 2);
    a.Stop();
    EXPECT_FALSE(a.IsPlaying());
    EXPECT_TRUE(a.IsDone());
    EXPECT_FLOAT_EQ(a.GetAlpha(), 1.0f);
    EXPECT_TRUE(a.GetData()->mChildren.empty());
    EXPECT_EQ(platform->GetTaskList()->Count(), 0);
    Advance(100);
    EXPECT_EQ(a.GetCurrentFrame(), 0);
}

TEST_F(AnimationTest, ScriptsOnAClockStopWithIt)
{
    Pack("walk.anm");
    TClock clock;
    clock.Start();
    TAnimation a;
    a.SetClock(&clock);
    ASSERT_TRUE(a.Init("walk.anm", "", ""));
    a.Play("DoAnim", false);
    EXPECT_EQ(a.GetData()->mScript->GetClock(), &clock);
    clock.Pause();
    Advance(1000);
    EXPECT_EQ(a.GetCurrentFrame(), 0);
    clock.Start();
    Advance(60);
    EXPECT_EQ(a.GetCurrentFrame(), 1);
    a.SetClock(nullptr);
    EXPECT_EQ(a.GetData()->mScript->GetClock(), nullptr);
}

// ------------------------------------------------------------ frames and state

TEST_F(AnimationTest, CurrentFrameAcceptsMinusOneUpToTheLastFrame)
{
    TAnimation empty;
    empty.SetCurrentFrame(0);
    EXPECT_EQ(empty.GetCurrentFrame(), 0);
    empty.SetCurrentFrame(-1);
    EXPECT_EQ(empty.GetCurrentFrame(), -1);
    EXPECT_EQ(empty.GetNumFrames(), 0);
    EXPECT_EQ(empty.GetAnimatedTexture(), nullptr);

    Pack("walk.anm");
    TAnimation a;
    ASSERT_TRUE(a.Init("walk.anm", "", ""));
    a.SetCurrentFrame(2);
    EXPECT_EQ(a.GetCurrentFrame(), 2);
    a.SetCurrentFrame(3);
    EXPECT_EQ(a.GetCurrentFrame(), 2);
    a.SetCurrentFrame(-2);
    EXPECT_EQ(a.GetCurrentFrame(), 2);
    a.SetCurrentFrame(-1);
    EXPECT_EQ(a.GetCurrentFrame(), -1);
    EXPECT_EQ(a.GetAnimatedTexture()->GetAnimation().currentFrame, -1);
    EXPECT_FALSE(a.Init("missing.anm", "", ""));
    EXPECT_EQ(a.GetNumFrames(), 0);
}

TEST_F(AnimationTest, RandomStaysInItsRange)
{
    TAnimation a;
    for (int i = 0; i < 200; ++i) {
        const int r = a.Random(-3, 4);
        EXPECT_GE(r, -3);
        EXPECT_LT(r, 4);
    }
    EXPECT_EQ(a.Random(5, 5), 5);
    EXPECT_EQ(a.Random(5, 2), 5);
    const int wide = a.Random(-2147483647 - 1, 2147483647);
    EXPECT_LT(wide, 2147483647);
}

// ------------------------------------------------------------------ children

TEST_F(AnimationTest, SpawnedChildrenPlayAreDrawnAtTheirOffsetAndGoWhenDone)
{
    Pack("child.anm", "function DoAnim() frames{1, 2} end\n"
                      "function Once() frames{2}; done() end\n");
    Pack("parent.anm", "function DoAnim()\n"
                       "  first = spawn{'child.anm'}\n"
                       "  second = spawn{'child.anm', anim = 'Once', x = 5, y = -7}\n"
                       "  playing = isPlaying(first); nobody = isPlaying(99)\n"
                       "  frames{1, 1, 1, 1}\n"
                       "end\n");
    TAnimation a;
    ASSERT_TRUE(a.Init("parent.anm", "", ""));
    a.Play("DoAnim", false);
    lua_State* L = StateOf(a);
    EXPECT_EQ(Global(a, "first"), 1);
    EXPECT_EQ(Global(a, "second"), 2);
    lua_getglobal(L, "playing");
    EXPECT_TRUE(lua_toboolean(L, -1));
    lua_getglobal(L, "nobody");
    EXPECT_FALSE(lua_toboolean(L, -1));
    lua_pop(L, 2);
    EXPECT_TRUE(a.ChildIsPlaying(1));
    EXPECT_FALSE(a.ChildIsPlaying(3));

    auto& children = a.GetData()->mChildren;
    ASSERT_EQ(children.size(), 2u);
    TAnimation& first = children.front().animation;
    TAnimation& second = children.back().animation;
    EXPECT_EQ(first.GetLastFunction(), str("DoAnim"));
    EXPECT_EQ(first.GetCurrentFrame(), 0);
    EXPECT_EQ(second.GetCurrentFrame(), 1);

    DrawFrame(a, 100, 200);
    std::vector<RecordedDraw> draws = gHandler->draws;
    ASSERT_EQ(draws.size(), 3u) << "the parent, then each child";
    EXPECT_EQ(draws[0].pos.x, 100);
    EXPECT_EQ(draws[1].pos.x, 100);
    EXPECT_EQ(draws[2].pos.x, 105);
    EXPECT_EQ(draws[2].pos.y, 193);

    Advance(16);  // the second child calls done()
    EXPECT_TRUE(second.IsDone());
    EXPECT_EQ(second.GetNumFrames(), 0) << "done drops the texture";
    EXPECT_EQ(children.size(), 2u);
    DrawFrame(a, 100, 200);
    EXPECT_EQ(children.size(), 1u) << "a finished child goes at the parent's next draw";
    EXPECT_EQ(gHandler->draws.size(), 2u);
    Advance(16);
    EXPECT_FALSE(a.ChildIsPlaying(1));
    EXPECT_TRUE(a.IsPlaying());
}

TEST_F(AnimationTest, AChildGetsItsParentsAlphaTwice)
{
    Pack("child.anm", "function DoAnim() setAlpha(0.5); frames{1, 2} end\n");
    Pack("parent.anm", "function DoAnim() setAlpha(0.5); spawn{'child.anm'}; frames{1, 1} end\n");
    TAnimation a;
    ASSERT_TRUE(a.Init("parent.anm", "", ""));
    a.Play("DoAnim", false);
    DrawFrame(a);
    ASSERT_EQ(gHandler->draws.size(), 2u);
    EXPECT_FLOAT_EQ(gHandler->draws[0].alpha, 0.5f);
    EXPECT_FLOAT_EQ(gHandler->draws[1].alpha, 0.25f * 0.5f);
}

TEST_F(AnimationTest, AChildWithALuaScriptRunsItAndOneWithAnOverrideLoadsThatImage)
{
    WriteText("scripts/child.lua", "function Go() SetCurrentFrame(0); ran = 1; pause(40) end\n");
    Pack("child.anm");
    fs::copy_file("child.png", "other.png");
    Pack("parent.anm", "function DoAnim()\n"
                       "  spawn{'scripts/child.lua', anim = 'Go'}\n"
                       "  spawn{'child.anm', image = 'other.png'}\n"
                       "  pause(1000)\n"
                       "end\n");
    TAnimation a;
    ASSERT_TRUE(a.Init("parent.anm", "", ""));
    a.Play("DoAnim", false);
    auto& children = a.GetData()->mChildren;
    ASSERT_EQ(children.size(), 2u);
    TAnimation& scripted = children.front().animation;
    EXPECT_EQ(scripted.GetData()->mFolder, str("scripts/"));
    EXPECT_NE(scripted.GetData()->mScriptCode, nullptr);
    EXPECT_EQ(Global(scripted, "ran"), 1);
    EXPECT_EQ(scripted.GetNumFrames(), 0) << "no texture: the script's frame is refused";
    EXPECT_TRUE(scripted.IsPlaying());
    TAnimation& overridden = children.back().animation;
    ASSERT_NE(overridden.GetAnimatedTexture(), nullptr);
    EXPECT_EQ(overridden.GetAnimatedTexture()->GetAnimation().image, str("other.png"));
    EXPECT_TRUE(overridden.IsPlaying());
}

TEST_F(AnimationTest, HaltPausesTheScriptAndEveryDescendant)
{
    Pack("child.anm", "function DoAnim() frames{1, 2, 3} end\n");
    Pack("parent.anm", "function DoAnim() spawn{'child.anm'}; frames{1, 2, 3} end\n");
    TAnimation a;
    ASSERT_TRUE(a.Init("parent.anm", "", ""));
    a.Play("DoAnim", false);
    TAnimation& child = a.GetData()->mChildren.front().animation;
    a.Halt();
    Advance(500);
    EXPECT_EQ(a.GetCurrentFrame(), 0);
    EXPECT_EQ(child.GetCurrentFrame(), 0);
    a.Pause(false);
    EXPECT_EQ(a.GetCurrentFrame(), 1);
    EXPECT_EQ(child.GetCurrentFrame(), 1);
}

// ------------------------------------------------------------ other scripts

TEST_F(AnimationTest, RunPlaysAnotherAnimationInsideTheSameCoroutine)
{
    Pack("second.anm", "function Other() frames{3, 2} end\n");
    Pack("first.anm", "function DoAnim() frames{1}; run{'second.anm', anim = 'Other'}; after = 1 end\n"
                      "function Missing() run{'nothing.anm'}; after = 2 end\n");
    TAnimation a;
    ASSERT_TRUE(a.Init("first.anm", "", ""));
    a.Play("DoAnim", false);
    TScript* script = a.GetData()->mScript;
    Advance(16);
    EXPECT_EQ(a.GetAnimatedTexture()->GetAnimation().sequenceName, str("second"));
    EXPECT_EQ(a.GetCurrentFrame(), 2);
    Advance(16);
    EXPECT_EQ(a.GetCurrentFrame(), 1);
    EXPECT_EQ(a.GetData()->mScript, script);
    Advance(16);
    EXPECT_EQ(Global(a, "after"), 1);
    EXPECT_FALSE(a.IsPlaying());

    ASSERT_TRUE(a.Init("first.anm", "", ""));
    a.Play("Missing", false);
    EXPECT_EQ(Global(a, "after"), 2);
    EXPECT_EQ(a.GetAnimatedTexture(), nullptr) << "Load is Init: a file that does not load leaves no texture";
}

TEST_F(AnimationTest, PlayWithoutATextureRunsTheFunctionInTheInterpreterThereIs)
{
    WriteText("plain.lua", "function Count() n = (n or 0) + 1 end\n");
    TAnimation a;
    a.Play("Count", false);  // no texture, no interpreter: nothing
    EXPECT_EQ(a.GetData()->mScript, nullptr);
    ASSERT_TRUE(a.PlayScript("plain.lua", ""));
    EXPECT_EQ(Global(a, "n"), 0);
    a.Play("Count()", false);
    a.Play("Count()", true);
    EXPECT_EQ(Global(a, "n"), 2);
    EXPECT_EQ(a.GetData()->mFolder, str()) << "a name without a folder keeps the folder";

    testing::internal::CaptureStderr();
    EXPECT_FALSE(a.PlayScript("missing.lua", "Count"));
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(a.PlayScript("m = 3", "")) << "text without a function is not run";
    EXPECT_EQ(Global(a, "m"), 0);
    EXPECT_TRUE(a.PlayScript("m = 3", "Count"));
    EXPECT_EQ(Global(a, "m"), 3);
    EXPECT_EQ(Global(a, "n"), 3) << "Count is returned and started as the coroutine";
}

// ------------------------------------------------------------------- faults

TEST_F(AnimationTest, BadScriptsAreLoggedOnceByTheirFileAndLeaveTheAnimationIdle)
{
    Pack("syntax.anm", "function DoAnim( frames{1} end\n");
    Pack("runtime.anm", "function DoAnim() frames{1}; nothing() end\n"
                        "function Huge() SetCurrentFrame(1e300); SetCurrentFrame(0/0); huge = isPlaying(-1e300) end\n");
    TAnimation a;
    ASSERT_TRUE(a.Init("syntax.anm", "", ""));
    testing::internal::CaptureStderr();
    a.Play("DoAnim", false);
    Advance(16);
    a.Play("DoAnim", false);
    Advance(16);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log.find("Animation syntax.anm: its script does not compile"), 0u) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    EXPECT_FALSE(a.IsPlaying());
    Advance(100);

    ASSERT_TRUE(a.Init("runtime.anm", "", ""));
    testing::internal::CaptureStderr();
    for (int i = 0; i < 5; ++i) {
        a.Play("DoAnim", false);
        Advance(16);
    }
    log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log.find("lua_resume ERROR: runtime.anm:1:"), 0u) << log;
    EXPECT_EQ(log.find("lua_resume ERROR", 1), std::string::npos) << "named once, not at every play: " << log;
    EXPECT_FALSE(a.IsPlaying());
    Advance(100);

    // (The error of a bad call inside the animation library names the library.)
    const struct {
        const char *file, *script;
        bool named;
    } bad[] = {
        {"badframe.anm", "function BadFrame() SetCurrentFrame('one') end\n", true},
        {"badwait.anm", "function BadWait() WaitLuaNextFrame('soon') end\n", true},
        {"badspawn.anm", "function BadSpawn() spawn{} end\n", false},
    };
    for (const auto& [file, script, named] : bad) {
        Pack(file, script);
        TAnimation b;
        ASSERT_TRUE(b.Init(file, "", ""));
        const std::string text = script;
        const std::string function = text.substr(9, text.find('(') - 9);
        testing::internal::CaptureStderr();
        b.Play(function.c_str(), false);
        log = testing::internal::GetCapturedStderr();
        EXPECT_NE(log.find("bad argument #1"), std::string::npos) << function << ": " << log;
        EXPECT_EQ(log.find(file) != std::string::npos, named) << function << ": " << log;
        EXPECT_FALSE(b.IsPlaying()) << function;
        EXPECT_TRUE(b.GetData()->mChildren.empty());
    }

    // Numbers beyond int are held at its ends (NaN is 0), never converted blindly.
    a.SetCurrentFrame(1);
    a.Play("Huge", false);
    EXPECT_EQ(a.GetCurrentFrame(), 0);
    lua_getglobal(StateOf(a), "huge");
    EXPECT_TRUE(lua_isboolean(StateOf(a), -1) && !lua_toboolean(StateOf(a), -1));
    lua_pop(StateOf(a), 1);
}

TEST_F(AnimationTest, DoneTwiceInOneScriptKeepsTheRunningScriptAlive)
{
    Pack("twice.anm", "function DoAnim() done(); done(); frames{1}; after = 1 end\n");
    TAnimation a;
    ASSERT_TRUE(a.Init("twice.anm", "", ""));
    a.Play("DoAnim", false);
    EXPECT_TRUE(a.IsDone());
    EXPECT_FALSE(a.IsPlaying());
    EXPECT_EQ(a.GetAnimatedTexture(), nullptr);
    ASSERT_NE(a.GetData()->mRetiredScript, nullptr);
    EXPECT_EQ(platform->GetTaskList()->Count(), 0);
    Advance(100);
    DrawFrame(a);
    EXPECT_TRUE(gHandler->draws.empty());
}

TEST_F(AnimationTest, ManyAnimationsOfOneFileShareTheTextureButNothingElse)
{
    Pack("shared.anm", "function DoAnim() fadeout(2); frames{1, 2, 3} end\n"
                       "function Still() delay(40); frames{3, 2, 1} end\n");
    TClock frozen;  // never started
    std::vector<std::unique_ptr<TAnimation>> anims;
    for (int i = 0; i < 6; ++i) {
        anims.push_back(std::make_unique<TAnimation>());
        ASSERT_TRUE(anims.back()->Init("shared.anm", "", ""));
    }
    anims[2]->SetClock(&frozen);
    for (int i = 0; i < 6; ++i)
        anims[i]->Play(i % 2 ? "Still" : "DoAnim", false);
    EXPECT_EQ(anims[0]->GetAnimatedTexture(), anims[1]->GetAnimatedTexture());
    EXPECT_NE(StateOf(*anims[0]), StateOf(*anims[2]));
    Advance(16);
    EXPECT_EQ(anims[0]->GetCurrentFrame(), 1);
    EXPECT_FLOAT_EQ(anims[0]->GetAlpha(), 0.0f);
    EXPECT_EQ(anims[1]->GetCurrentFrame(), 2);
    EXPECT_FLOAT_EQ(anims[1]->GetAlpha(), 1.0f);
    EXPECT_EQ(anims[2]->GetCurrentFrame(), 0) << "its clock is frozen";
    EXPECT_FLOAT_EQ(anims[2]->GetAlpha(), 0.5f);
    Advance(24);
    EXPECT_EQ(anims[3]->GetCurrentFrame(), 1);
    EXPECT_EQ(Global(*anims[3], "alphacount"), 0);
    EXPECT_EQ(Global(*anims[4], "alphacount"), 0);

    // Each draws its own frame although they share one texture.
    ASSERT_TRUE(platform->Begin2d());
    for (auto& anim : anims) {
        gHandler->draws.clear();
        anim->Draw(0, 0, 1, 1, 0, 0);
        EXPECT_EQ(anim->GetAnimatedTexture()->GetAnimation().currentFrame, anim->GetCurrentFrame());
    }
    platform->End2d();

    anims[3].reset();
    anims[0].reset();
    EXPECT_EQ(platform->GetTaskList()->Count(), 4);
    Advance(40);
    EXPECT_EQ(anims[1]->GetCurrentFrame(), 0);
}

TEST_F(AnimationTest, AnAnimationOutlivingThePlatformLetsItsDeletedScriptGo)
{
    Pack("walk.anm");
    auto a = std::make_unique<TAnimation>();
    ASSERT_TRUE(a->Init("walk.anm", "", ""));
    a->Play("DoAnim", false);
    a->Play("DoAnim", false);  // one retired, one running
    platform.reset();
    EXPECT_EQ(a->GetData()->mScript, nullptr);
    EXPECT_FALSE(a->IsPlaying());
    a.reset();
}

// ------------------------------------------------------------ layers and scrobs

TEST_F(AnimationTest, LayersDrawTheirFramesOverTheAnimation)
{
    Pack("art/layer.anm");
    WriteText("art/layers.lua", "function Build()\n"
                                "  layered()\n"
                                "  reference('layer.anm')\n"
                                "  setLayer(1, 'layer.anm')\n"
                                "  lframe(1, 3)\n"
                                "  lalpha(1, 0.5)\n"
                                "  setLayer(0, 'layer.anm')\n"
                                "  lframe(0, 1)\n"
                                "  pause(100)\n"
                                "  clearLayer(1)\n"
                                "end\n");
    Pack("base.anm");
    TAnimation a;
    ASSERT_TRUE(a.Init("base.anm", "", ""));
    ASSERT_TRUE(a.PlayScript("art/layers.lua", "Build"));
    EXPECT_EQ(a.GetData()->mFolder, str("art/"));
    auto* info = a.GetData()->LayerInfoIfAny();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->mReferences.Count(), 1);
    ASSERT_EQ(info->mLayers.size(), 2u);
    EXPECT_EQ(info->mLayerFrames, (std::vector<int>{0, 2}));
    EXPECT_EQ(info->mLayerAlphas, (std::vector<float>{1.0f, 0.5f}));

    a.SetAlpha(0.8f);
    DrawFrame(a, 10, 20);
    ASSERT_EQ(gHandler->draws.size(), 3u) << "the base, then layers 0 and 1";
    EXPECT_FLOAT_EQ(gHandler->draws[0].alpha, 0.8f);
    EXPECT_FLOAT_EQ(gHandler->draws[1].alpha, 0.8f);
    EXPECT_FLOAT_EQ(gHandler->draws[2].alpha, 0.4f);
    EXPECT_EQ(gHandler->draws[1].data, gHandler->draws[2].data) << "one texture serves both layers";

    Advance(100);
    EXPECT_EQ(info->mLayers[1], nullptr);
    EXPECT_EQ(info->mLayerFrames[1], 0);
    EXPECT_EQ(info->mLayerAlphas[1], 1.0f);

    testing::internal::CaptureStderr();
    a.SetLayerFrame(7, 1);
    a.SetLayerFrame(1, 1);
    a.SetLayerAlpha(-1, 1);
    a.ClearLayer(9);
    a.SetLayer(1u << 31, "layer.anm");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("mData->LayerInfo()->mLayers[layer]"), std::string::npos) << log;
    EXPECT_EQ(info->mLayers.size(), 2u);
}

TEST_F(AnimationTest, ScrobsAreQuadsInDepthOrderFromRegisteredBitmaps)
{
    WriteText("fx/scrobs.lua", "function Build()\n"
                               "  layered()\n"
                               "  AddBitmap(1, 'dot.png')\n"
                               "  AllocateScrobs(2)\n"
                               "  SetScrob(10, 5, 1, 6, 3)\n"
                               "  MoveScrob(10, {1, 0, 0, 1, 100, 50})\n"
                               "  SetScrob(11, 2, 1, 4, 4)\n"
                               "  MoveScrob(11, {})\n"
                               "  SetScrobAlpha(11, 0.5)\n"
                               "end\n");
    fs::create_directories("fx");
    fs::copy_file("dot.png", "fx/dot.png");
    TAnimation a;
    ASSERT_TRUE(a.PlayScript("fx/scrobs.lua", "Build"));
    auto* info = a.GetData()->LayerInfoIfAny();
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->mBitmaps.size(), 1u);
    ASSERT_NE(info->mBitmaps[1], nullptr);
    EXPECT_EQ(info->FreeCount(), 0);

    DrawFrame(a, 3, 4);
    EXPECT_EQ(gHandler->filtering, kFilterLinear);
    ASSERT_EQ(gHandler->vertexDraws.size(), 2u);
    const auto& shallow = gHandler->vertexDraws[0];  // depth 2 first
    EXPECT_EQ(shallow.type, kDrawTriangles);
    ASSERT_EQ(shallow.vertices.size(), 6u);
    EXPECT_EQ(shallow.texture, info->mBitmaps[1]);
    // dot.png is 6 x 3 in an 8 x 8 surface: corners shift by (4 - 3, 4 - 1).
    const TTransformedLitVert& topLeft = shallow.vertices[0];
    EXPECT_FLOAT_EQ(topLeft.x, -2 + 1 - 0.5f + 3 + 10);
    EXPECT_FLOAT_EQ(topLeft.y, -2 + 3 - 0.5f + 4 + 20);
    EXPECT_FLOAT_EQ(topLeft.z, 0.1f);
    EXPECT_FLOAT_EQ(topLeft.rhw, 0.5f);
    const TTransformedLitVert& bottomRight = shallow.vertices[4];
    EXPECT_FLOAT_EQ(bottomRight.u, 6.0f / 8.0f);
    EXPECT_FLOAT_EQ(bottomRight.v, 3.0f / 8.0f);
    EXPECT_EQ(topLeft.color, TColor32(255, 255, 255, 127));
    EXPECT_EQ(topLeft.specular, TColor32(0, 0, 0, 255));
    EXPECT_FLOAT_EQ(gHandler->vertexDraws[1].vertices[0].x, -3 + 1 - 0.5f + 100 + 3 + 10);
    EXPECT_EQ(a.mReferenceX, 3) << "the first scrob in draw order is at (0, 0)";
    EXPECT_EQ(a.mReferenceY, 4);

    // One scrob per depth: taking depth 5 hides scrob 10 but keeps it allocated.
    info->SetScrob(11, 5, 1, 4, 4);
    EXPECT_EQ(info->mDrawOrder.size(), 1u);
    EXPECT_EQ(*info->mDrawOrder.begin(), info->FindScrob(11));
    info->RemoveScrob(10);  // not drawn: scrob 11 keeps its slot
    EXPECT_EQ(info->mDrawOrder.size(), 1u);
    EXPECT_EQ(info->FreeCount(), 1);
    info->AllocateScrobs(3);
    EXPECT_EQ(info->FreeCount(), 4);
    for (int id = 20; id < 24; ++id)
        info->SetScrob(id, id, 2, 1, 1);  // bitmap 2 is not registered: not drawn
    testing::internal::CaptureStderr();
    info->SetScrob(30, 30, 1, 1, 1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("!mScrobs.empty()"), std::string::npos);
    EXPECT_EQ(info->FindScrob(30), nullptr);
    EXPECT_EQ(info->FindScrob(11)->depth, 5) << "scrobs stay put as the store grows";
    gHandler->vertexDraws.clear();
    DrawFrame(a);
    EXPECT_EQ(gHandler->vertexDraws.size(), 1u);
    info->RemoveAll();
    EXPECT_TRUE(info->mDrawOrder.empty());
    EXPECT_EQ(info->FreeCount(), 5);
    testing::internal::CaptureStderr();
    info->AllocateScrobs(-1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("refused"), std::string::npos);
}

TEST_F(AnimationTest, ScriptNumbersFarOutOfRangeAreHeldAtTheEndsOfTheirUse)
{
    Pack("art/layer.anm");
    WriteText("art/far.lua", "function Build()\n"
                             "  layered()\n"
                             "  AddBitmap(1, 'dot.png')\n"
                             "  AllocateScrobs(3)\n"
                             "  SetScrob(1, 1, 1, 2, 2)\n"
                             "  SetScrobAlpha(1, 1e10)\n"
                             "  SetScrob(2, 2, 1, 2, 2)\n"
                             "  SetScrobAlpha(2, -1e10)\n"
                             "  SetScrob(3, 3, 1, 2, 2)\n"
                             "  SetScrobAlpha(3, 2)\n"
                             "  setLayer(0, 'layer.anm')\n"
                             "  lframe(0, -1e10)\n"
                             "end\n");
    fs::copy_file("dot.png", "art/dot.png");
    TAnimation a;
    ASSERT_TRUE(a.PlayScript("art/far.lua", "Build"));
    auto* info = a.GetData()->LayerInfoIfAny();
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->mLayerFrames.size(), 1u);
    EXPECT_LT(info->mLayerFrames[0], 0) << "no frame, and no wrap to a large one";

    DrawFrame(a);
    ASSERT_EQ(gHandler->vertexDraws.size(), 3u);
    EXPECT_EQ(gHandler->vertexDraws[0].vertices[0].color, TColor32(255, 255, 255, 255));
    EXPECT_EQ(gHandler->vertexDraws[1].vertices[0].color, TColor32(255, 255, 255, 0));
    EXPECT_EQ(gHandler->vertexDraws[2].vertices[0].color, TColor32(255, 255, 255, 255));
}

}  // namespace
