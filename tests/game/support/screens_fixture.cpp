#include "screens_fixture.h"

#include "engine/script/windowscript.h"
#include "engine/window/message.h"
#include "engine/window/screen.h"
#include "engine/window/windowmanager.h"
#include "game/app/windowtypes.h"
#include "online/httppump.h"

#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

void GameScreensTest::SetUp() { EnterScratchHome(); }

void GameScreensTest::TearDown()
{
    TSettings::DeleteSettings();
    settings = nullptr;
    HeadlessWindowTest::TearDown();
}

void GameScreensTest::CopyAssets(std::initializer_list<const char*> paths)
{
    const fs::path from = fs::path(QM_DATA_DIR) / "assets";
    for (const char* path : paths) {
        fs::create_directories((scratch.Path() / "assets" / path).parent_path());
        fs::copy(from / path, scratch.Path() / "assets" / path,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }
}

void GameScreensTest::StartGame()
{
    StartEngine();
    game::RegisterWindowTypes();
    settings = TSettings::CreateSettings();
    ASSERT_NE(settings, nullptr);
    settings->CreateNewUser("Ann");
    settings->SetCurrentUser(0, true);
}

void GameScreensTest::OpenScreen(const char* script)
{
    // The screens' shared look, as the main loop loads it first.
    Lua("if not UiFill then ReadFile('scripts/ui.lua') end");
    Lua(std::string("PushModal('") + script + "') ReadFile('" + script + "')");
    Frame(0);
}

void GameScreensTest::Lua(const std::string& text) { this->script->DoLuaString(text.c_str()); }

void GameScreensTest::MouseAt(int type, int x, int y)
{
    TEvent e{};
    e.mType = type;
    e.mX = x;
    e.mY = y;
    manager->HandleEvent(&e);
    Frame(0);
}

void GameScreensTest::ClickAt(int x, int y)
{
    for (int type : {TEvent::kMouseMove, TEvent::kMouseDown, TEvent::kMouseUp})
        MouseAt(type, x, y);
}

void GameScreensTest::Press(const char* name)
{
    TWindow* button = manager->GetTopModalWindow()->GetChildWindow(name, -1);
    ASSERT_NE(button, nullptr) << name;
    // A button tells its parents; the first that handles the message wins.
    TMessage message(kButtonPress, name, button);
    for (TWindow* w = button->GetParent(); w; w = w->GetParent())
        if (w->OnMessage(&message))
            break;
    Frame(0);
}

bool GameScreensTest::FramesUntil(const std::function<bool()>& done, int seconds)
{
    // Real time bounds the wait: the loopback server answers on its own thread.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (done())
            return true;
        THttpPump::Instance().Pump();
        Frame(20);
        // The top modal's own tasks (screens' polling) run on idle turns.
        TEvent idle{};
        idle.mType = TEvent::kIdle;
        manager->HandleEvent(&idle);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
}
