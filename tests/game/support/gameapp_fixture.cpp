#include "gameapp_fixture.h"

#include "engine/platform/event.h"
#include "engine/platform/platformdata.h"
#include "engine/platform/services.h"
#include "engine/script/windowscript.h"
#include "engine/sound/null/nulloutput.h"
#include "engine/sound/soundhost.h"
#include "engine/window/message.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowmanager.h"

#include "lua.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

class TRecorder : public TMessageListener {
public:
    explicit TRecorder(std::vector<int>* seen) : mSeen(seen) {}
    bool OnMessage(TMessage* m) override
    {
        mSeen->push_back(m->GetType());
        return false;
    }

private:
    std::vector<int>* mSeen;
};

}  // namespace

void GameAppTest::SetUp()
{
    EnterScratchHome();
    Asset("strings.xml", "<Workbook><Table><Row><Cell><Data>windowtitle</Data></Cell>"
                         "<Cell><Data>Test Title</Data></Cell></Row></Table></Workbook>");
    qm::PlatformHooks().makeSoundHost = [](TPlatformData&) {
        return qm::MakeSoundHost(std::make_unique<TNullAudioOutput>());
    };
}

void GameAppTest::TearDown()
{
    app.reset();
    HeadlessWindowTest::TearDown();
}

void GameAppTest::UseGameData()
{
    const fs::path data = fs::path(QM_SOURCE_DIR) / "data" / "assets";
    const fs::path assets = scratch.Path() / "assets";
    fs::copy(data / "scripts", assets / "scripts", fs::copy_options::recursive);
    fs::copy(data / "fonts", assets / "fonts", fs::copy_options::recursive);
    fs::copy_file(data / "strings.xml", assets / "strings.xml", fs::copy_options::overwrite_existing);
    fs::copy_file(data / "font.mvec", assets / "font.mvec");
}

void GameAppWithConfigTest::SetUp()
{
    GameAppTest::SetUp();
    UseGameData();
    const fs::path data = fs::path(QM_SOURCE_DIR) / "data" / "assets";
    for (const char* folder : {"config", "layouts"})
        fs::copy(data / folder, scratch.Path() / "assets" / folder, fs::copy_options::recursive);
}

void GameAppTest::Script(const char* name, const char* text)
{
    fs::create_directories(scratch.Path() / "assets" / "scripts");
    Asset((std::string("scripts/") + name).c_str(), text);
}

void GameAppTest::Start()
{
    StartEngine();
    app = std::make_unique<TGameApp>(engine.platform.get());
    app->StartUp();
    manager->AdoptMessageListener(new TRecorder(&messages));
    PassSplash();
}

void GameAppTest::PassSplash()
{
    // The game's main loop opens with the splash: its picture stands for a
    // moment (without art only the two redraws pass) before the main menu;
    // its movie plays until a key, which comes when it has run a while.
    for (int i = 0; i < 300; ++i) {
        TModalWindow* top = manager->GetTopModalWindow();
        if (!top || top->GetName() != str("DisplaySplash"))
            return;
        if (i % 50 == 49)
            Send(TEvent::kKeyDown, ' ');
        Idle(20);
    }
}

bool GameAppTest::Send(int type, int param, int x, int y)
{
    TEvent e{type, param, x, y, 0};
    return app->HandleEvent(&e);
}

bool GameAppTest::Idle(int ms)
{
    backend->now += ms;
    data->GetTaskList()->DoAll(TTask::kEventContext);
    return Send(TEvent::kIdle);
}

bool GameAppTest::QuitsWithin(int turns)
{
    for (int i = 0; i < turns; ++i) {
        if (!Idle())
            return true;
    }
    return false;
}

std::string GameAppTest::Lua(const std::string& text, const char* name)
{
    script->DoLuaString(text.c_str());
    return Global(name);
}

std::string GameAppTest::Global(const char* name)
{
    lua_pushstring(L, name);
    lua_rawget(L, LUA_GLOBALSINDEX);
    return qmtest::PopLuaText(L);
}

void GameAppTest::ClickThroughGame(TWindow* w)
{
    TRect r;
    w->GetWindowRect(&r);
    const int x = (r.x1 + r.x2) / 2, y = (r.y1 + r.y2) / 2;
    Send(TEvent::kMouseMove, 0, x, y);
    Send(TEvent::kMouseDown, 0, x, y);
    Send(TEvent::kMouseUp, 0, x, y);
}

std::string GameAppTest::PrefsBytes() const
{
    std::ifstream in(scratch.Path() / "data" / "corvellatrip" / "prefs.dat", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
