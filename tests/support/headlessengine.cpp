#include "headlessengine.h"

#include "engine/assembly/assembly.h"
#include "engine/base/task.h"
#include "engine/platform/platformdata.h"
#include "engine/script/windowscript.h"
#include "engine/window/screen.h"
#include "engine/window/windowhost.h"
#include "engine/window/windowmanager.h"

#include "lua.h"

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace qmtest {

bool TScratchHome::Enter(const char* prefix)
{
    std::string pattern = std::string("/tmp/") + prefix + "XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return false;
    mPath = pattern;
    ::setenv("XDG_DATA_HOME", (mPath / "data").c_str(), 1);
    mPreviousDir = fs::current_path();
    fs::create_directories(mPath / "assets");
    fs::current_path(mPath);
    mEntered = true;
    return true;
}

void TScratchHome::Leave()
{
    if (!mEntered)
        return;
    mEntered = false;
    fs::current_path(mPreviousDir);
    fs::remove_all(mPath);
    ::unsetenv("XDG_DATA_HOME");
}

void TScratchHome::WriteAsset(const std::string& name, const std::string& text) const
{
    std::ofstream(mPath / "assets" / name) << text;
}

std::string THeadlessEngine::Start(const std::function<void(TPlatform&)>& init)
{
    qm::InstallEngine({.display = false, .text = false, .sound = false});
    auto headless = std::make_unique<qm::THeadlessBackend>();
    backend = headless.get();
    testing::internal::CaptureStderr();
    data = new TPlatformData(0, nullptr, false, std::move(headless));
    platform = std::make_unique<TPlatform>(data);
    if (init)
        init(*platform);
    return testing::internal::GetCapturedStderr();
}

void THeadlessEngine::Stop()
{
    platform.reset();
    data = nullptr;
    backend = nullptr;
    qm::PlatformHooks() = qm::TPlatformHooks{};
    TWindowHost::SetScriptFactory({});
}

std::string PopLuaText(lua_State* L)
{
    std::string v;
    if (lua_isnil(L, -1))
        v = "nil";
    else if (lua_isboolean(L, -1))
        v = lua_toboolean(L, -1) ? "true" : "false";
    else if (const char* text = lua_tostring(L, -1))
        v = text;
    else
        v = "<value>";
    lua_pop(L, 1);
    return v;
}

void HeadlessWindowTest::SetUp()
{
    EnterScratchHome();
    if (HasFatalFailure())
        return;
    StartEngine();
}

void HeadlessWindowTest::TearDown()
{
    engine.Stop();
    scratch.Leave();
}

void HeadlessWindowTest::EnterScratchHome()
{
    ASSERT_TRUE(scratch.Enter(mScratchPrefix));
}

void HeadlessWindowTest::StartEngine()
{
    startLog = engine.Start([](TPlatform& platform) { platform.SetDisplay(800, 600, false); });
    backend = engine.backend;
    data = engine.data;
    manager = engine.platform->GetWindowManager();
    script = TWindowScript::Get();
    ASSERT_NE(script, nullptr);
    L = script->GetState();
}

TWindow* HeadlessWindowTest::Find(const char* name) { return manager->GetScreen()->GetChildWindow(name, -1); }

void HeadlessWindowTest::Frame(int ms)
{
    backend->now += ms;
    manager->ClearDestroyedWindows();
    data->GetTaskList()->DoAll(TTask::kEventContext);
    manager->DispatchMessages();
}

void HeadlessWindowTest::Click(TWindow* w)
{
    TRect r;
    w->GetWindowRect(&r);
    for (int type : {TEvent::kMouseMove, TEvent::kMouseDown, TEvent::kMouseUp}) {
        TEvent e{};
        e.mType = type;
        e.mX = (r.x1 + r.x2) / 2;
        e.mY = (r.y1 + r.y2) / 2;
        manager->HandleEvent(&e);
        Frame(0);
    }
}

}  // namespace qmtest
