// The game's entry driven event by event on the headless engine: start-up,
// the close request with and without a confirmation, deactivation, the Lua
// globals, the quit path, and the game's own scripts end to end.
#include "gameapp_fixture.h"

#include "engine/base/prefs.h"
#include "engine/base/safefile.h"
#include "engine/platform/platformdata.h"
#include "engine/window/message.h"
#include "engine/window/modalwindow.h"
#include "engine/window/screen.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "game/app/luaglobals.h"
#include "game/app/plainnotice.h"
#include "game/editors/editorsave.h"
#include "game/screens/screenfade.h"
#include "game/screens/textdropbutton.h"
#include "game/settings/settings.h"

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// A screen that waits for messages for ever, and a confirmation script that
// counts its runs, marks the confirmation as showing and waits for its
// window to close.
constexpr char kWaitingMainLoop[] = R"(
    return function()
        PushModal('screen')
        MakeDialog { Window { name = 'screen', w = 800, h = 600 } }
        while true do WaitForMessage() end
    end)";
constexpr char kCountingConfirm[] = R"(
    gConfirms = (gConfirms or 0) + 1
    InQuitCofirm(true)
    PostMessage(CreateNamedMessage(kButtonPress, 'confirmshown'))
    local id = PushModal('confirm')
    WaitForCloseMessage(id)
    InQuitCofirm(false))";

int gSaves = 0;

class TEditorProbe : public TWindow, public IEditorSaveOnClose {
public:
    void SaveLevelData() override { ++gSaves; }
};

}  // namespace

class GameAppScenario : public GameAppTest {
protected:
    void SetUp() override
    {
        GameAppTest::SetUp();
        Script("mainloop.lua", kWaitingMainLoop);
        Script("closeconfirm.lua", kCountingConfirm);
        Start();
    }
};

TEST_F(GameAppScenario, StartUpTitlesTheWindowAndRunsTheMainLoopInTheNamedRoot)
{
    EXPECT_EQ(backend->title, "Test Title");
    EXPECT_EQ(manager->GetScreen()->GetName(), str("splashscreen"));
    EXPECT_NE(Find("screen"), nullptr);
    EXPECT_NE(TSettings::GetInstance(), nullptr);
    // Every button the scripts make is the game's own.
    EXPECT_EQ(Lua("MakeDialog { Button { name = 'b', w = 10, h = 10 } }"), "nil");
    TWindow* b = Find("b");
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(b->IsKindOf(TTextDropButton::ClassId()));
}

TEST_F(GameAppScenario, CloseWithoutConfirmationSavesTheEditorAndLeavesCleanly)
{
    TSettings::GetInstance()->CreateNewUser("Ada");
    const std::string prefs = PrefsBytes();
    ASSERT_FALSE(prefs.empty());
    auto* editor = new TEditorProbe;
    editor->SetName("leveleditorwindow");
    manager->GetScreen()->AdoptChild(editor, true);
    gSaves = 0;

    EXPECT_FALSE(Send(TEvent::kCloseRequest));
    EXPECT_EQ(gSaves, 1);
    EXPECT_TRUE(app->HasQuit());
    // The clean way out ran: windows first, then the settings.
    EXPECT_EQ(TSettings::GetInstance(), nullptr);
    EXPECT_EQ(manager->GetScreen()->GetChildWindow("screen", -1), nullptr);
    EXPECT_EQ(Global("gConfirms"), "nil");
    EXPECT_EQ(PrefsBytes(), prefs);
}

TEST_F(GameAppScenario, AllowedConfirmationRunsOnceAndTheCloseStillReachesTheWindows)
{
    Lua("AllowQuitCofirm(true)");
    EXPECT_TRUE(Send(TEvent::kCloseRequest));
    EXPECT_EQ(Global("gConfirms"), "1");
    // The event went on to the window manager, which delivered what the
    // confirmation posted.
    EXPECT_EQ(manager->GetQueuedMessageCount(), 0u);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), 3), 1);

    EXPECT_TRUE(Send(TEvent::kCloseRequest));
    EXPECT_EQ(Global("gConfirms"), "1");
    EXPECT_FALSE(app->HasQuit());

    Lua("InQuitCofirm(false)");
    EXPECT_TRUE(Send(TEvent::kCloseRequest));
    EXPECT_EQ(Global("gConfirms"), "2");
}

// Confirmations that cannot ask: whatever the script did, the close request
// that ran it ends the game through the clean way out, and the flag is clear.
class BrokenConfirmation : public GameAppTest {
protected:
    void Run(const char* confirm)
    {
        Script("mainloop.lua", kWaitingMainLoop);
        Script("closeconfirm.lua", confirm);
        Start();
        Lua("AllowQuitCofirm(true)");
        TSettings::GetInstance()->CreateNewUser("Ada");
        const std::string prefs = PrefsBytes();
        testing::internal::CaptureStderr();
        const bool goesOn = Send(TEvent::kCloseRequest);
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(goesOn) << log;
        EXPECT_TRUE(app->HasQuit());
        EXPECT_EQ(TSettings::GetInstance(), nullptr);
        EXPECT_FALSE(game::IsInQuitConfirm());
        EXPECT_NE(log.find("closeconfirm.lua"), std::string::npos) << log;
        EXPECT_EQ(PrefsBytes(), prefs);
    }
};

TEST_F(BrokenConfirmation, OneThatFailsBeforeAskingQuits)
{
    Run("InQuitCofirm(true)\nerror('broken')");
}

TEST_F(BrokenConfirmation, OneThatDoesNotCompileQuits)
{
    Run("InQuitCofirm(true)\nlocal paused = QuitConfirmPause(");
}

TEST_F(BrokenConfirmation, OneThatSetsItsFlagAndEndsWithoutAskingQuits)
{
    Run("InQuitCofirm(true)");
}

TEST_F(BrokenConfirmation, AnEmptyOneQuits)
{
    Run("");
}

TEST_F(GameAppScenario, AConfirmationThatDiesWhileShowingLetsTheNextCloseRequestQuit)
{
    // Shows, then fails on the first message it gets, leaving its flag set.
    Script("closeconfirm.lua", R"(
        InQuitCofirm(true)
        local id = PushModal('confirm')
        WaitForMessage()
        error('broken while showing'))");
    Lua("AllowQuitCofirm(true)");
    EXPECT_TRUE(Send(TEvent::kCloseRequest));
    EXPECT_TRUE(game::IsInQuitConfirm());
    Lua("PostMessage(CreateNamedMessage(kButtonPress, 'any'))");
    Idle();
    EXPECT_TRUE(game::IsInQuitConfirm());
    EXPECT_FALSE(Send(TEvent::kCloseRequest));
    EXPECT_TRUE(app->HasQuit());
    EXPECT_FALSE(game::IsInQuitConfirm());
}

TEST_F(GameAppScenario, DeactivationPostsOneMessageAndActivationNone)
{
    messages.clear();
    EXPECT_TRUE(Send(TEvent::kActivate, 0));
    Idle();
    EXPECT_EQ(messages, std::vector<int>{kAppDeactivated});
    messages.clear();
    EXPECT_TRUE(Send(TEvent::kActivate, 1));
    Idle();
    EXPECT_TRUE(messages.empty());
}

TEST_F(GameAppScenario, DisplayChangeStoresTheFullScreenPreference)
{
    data->SetFullscreen(false);
    EXPECT_TRUE(Send(TEvent::kDisplayChanged));
    EXPECT_FALSE(TSettings::GetInstance()->IsFullScreen());
    EXPECT_EQ(TSettings::GetInstance()->GetPrefs()->GetInt("fullscreen", 1, -1), 0);
}

// Records whether the settings still existed when it was destroyed.
class TSettingsWatcher : public TWindow {
public:
    explicit TSettingsWatcher(bool* sawSettings) : mSaw(sawSettings) {}
    ~TSettingsWatcher() override { *mSaw = TSettings::GetInstance() != nullptr; }

private:
    bool* mSaw;
};

TEST_F(GameAppScenario, QuitEventAndScriptQuitLeaveThroughTheCleanPath)
{
    bool sawSettings = false;
    Find("screen")->AdoptChild(new TSettingsWatcher(&sawSettings), true);
    EXPECT_FALSE(Send(TEvent::kQuit));
    EXPECT_TRUE(sawSettings);  // windows go before the services they use
    EXPECT_TRUE(app->HasQuit());
    EXPECT_EQ(TSettings::GetInstance(), nullptr);
    EXPECT_FALSE(Send(TEvent::kIdle));
}

TEST_F(GameAppScenario, ScriptQuitMessageLeavesThroughTheCleanPath)
{
    Lua("PostMessage(CreateNamedMessage(kQuitNow, ''))");
    EXPECT_FALSE(Idle());
    EXPECT_TRUE(app->HasQuit());
    EXPECT_EQ(TSettings::GetInstance(), nullptr);
}

TEST_F(GameAppScenario, QuitConfirmPauseAnswersWhetherItPausedTheGameClock)
{
    TClock* clock = TSettings::GetInstance()->GetGameClock();
    clock->Start();
    EXPECT_EQ(Lua("gProbe = QuitConfirmPause(true)"), "true");
    EXPECT_TRUE(clock->IsPaused());
    EXPECT_EQ(Lua("gProbe = QuitConfirmPause(true)"), "false");
    EXPECT_TRUE(clock->IsPaused());
    EXPECT_EQ(Lua("gProbe = QuitConfirmPause(false)"), "true");
    EXPECT_FALSE(clock->IsPaused());
    EXPECT_EQ(Lua("gProbe = QuitConfirmPause(false)"), "true");
}

TEST_F(GameAppScenario, GlobalsFindTheirWindowsOrDoNothing)
{
    // Nothing to act on: no error, nothing changes.
    EXPECT_EQ(Lua("HideMainMenu(true) SetVersion() gProbe = CurrentlyInGame()"), "false");

    auto* menu = new TWindow;
    menu->SetName("toplevelmainmenu");
    menu->ClearFlags(TWindow::kVisible);
    Find("screen")->AdoptChild(menu, true);
    Lua("HideMainMenu(true)");
    EXPECT_TRUE(menu->IsVisible());
    Lua("HideMainMenu(false)");
    EXPECT_FALSE(menu->IsVisible());

    Lua("MakeDialog { Text { name = 'version', label = '#old', w = 100, h = 20 } }");
    auto* version = GetCast<TText>(Find("version"));
    ASSERT_NE(version, nullptr);
    Lua("SetVersion()");
    EXPECT_EQ(version->GetText(), str(engine.platform->GetVersion()));

    auto* game = new TWindow;
    game->SetName("maingamewindow");
    Find("screen")->AdoptChild(game, true);
    EXPECT_EQ(Lua("gProbe = CurrentlyInGame()"), "true");

    Lua("ShowAnyCursor(false)");
    EXPECT_FALSE(data->IsCursorShown());
    Lua("ShowAnyCursor(true) SetTopModalOnly(true)");
    EXPECT_TRUE(data->IsCursorShown());
    EXPECT_TRUE(manager->GetTopModalOnly());
    Lua("LaunchPrivacyPolicy()");
    ASSERT_EQ(backend->urls.size(), 1u);
    EXPECT_EQ(backend->urls[0].rfind("https://", 0), 0u);
}

TEST_F(GameAppScenario, PublishedFunctionsOfDeadObjectsLogAndDoNothing)
{
    Lua("MakeDialog { ScreenFade { name = 'fade', w = 800, h = 600 } }");
    TWindow* fade = Find("fade");
    ASSERT_NE(fade, nullptr);
    Lua("SetFade(0.5)");
    EXPECT_FLOAT_EQ(static_cast<TScreenFade*>(fade)->GetFade(), 0.5f);
    manager->SafeDestroyWindow(fade);
    manager->ClearDestroyedWindows();

    testing::internal::CaptureStderr();
    Lua("SetFade(0.25)");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("SetFade: called after its object was destroyed"), std::string::npos) << log;

    // The server-save functions outlive their manager too.
    EXPECT_FALSE(Send(TEvent::kQuit));
    testing::internal::CaptureStderr();
    EXPECT_EQ(Lua("gProbe = SSSGEnabled()"), "nil");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("SSSGEnabled: called after"), std::string::npos);
}

// The game's own scripts: the main menu (under its loading screen on a first
// start), the close button's confirmation with both answers.
class GameDataScenario : public GameAppTest {
protected:
    void SetUp() override
    {
        GameAppTest::SetUp();
        UseGameData();
        Start();
        Idle();
    }
    TModalWindow* Top() { return manager->GetTopModalWindow(); }
};

TEST_F(GameDataScenario, MainMenuThenCloseAskedNoThenYes)
{
    ASSERT_NE(Find("mainmenu"), nullptr);
    auto* version = GetCast<TText>(Find("version"));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->GetText(), str(engine.platform->GetVersion()));
    TSettings::GetInstance()->CreateNewUser("Ada");
    const std::string prefs = PrefsBytes();

    EXPECT_TRUE(Send(TEvent::kCloseRequest));
    Idle();
    ASSERT_EQ(Top()->GetName(), str("scripts/closeconfirm.lua"));
    EXPECT_TRUE(TSettings::GetInstance()->GetGameClock()->IsPaused());
    TWindow* no = Top()->GetChildWindow("no", -1);
    ASSERT_NE(no, nullptr);
    ClickThroughGame(no);
    Idle();
    Idle();
    EXPECT_EQ(Top()->GetName(), str("scripts/loading.lua"));
    EXPECT_FALSE(app->HasQuit());
    EXPECT_FALSE(TSettings::GetInstance()->GetGameClock()->IsPaused());

    EXPECT_TRUE(Send(TEvent::kCloseRequest));
    Idle();
    TWindow* yes = Top()->GetChildWindow("yes", -1);
    ASSERT_NE(yes, nullptr);
    ClickThroughGame(yes);
    EXPECT_TRUE(QuitsWithin(5));
    EXPECT_TRUE(app->HasQuit());
    EXPECT_EQ(PrefsBytes(), prefs);
}

TEST_F(GameDataScenario, TheMainMenusQuitButtonQuitsAlsoAfterTheConfirmationWasDeclined)
{
    EXPECT_TRUE(Send(TEvent::kCloseRequest));
    Idle();
    ClickThroughGame(Top()->GetChildWindow("no", -1));
    Idle();
    // Loading ends in the name entry; without a name the menu shows.
    for (int i = 0; i < 400 && Top()->GetName() != str("scripts/entername.lua"); ++i)
        Idle();
    ClickThroughGame(Top()->GetChildWindow("entercancel", -1));
    Idle();
    Idle();
    ASSERT_EQ(Top()->GetName(), str("scripts/mainmenu.lua"));
    TWindow* quit = Find("quit");
    ASSERT_NE(quit, nullptr);
    ClickThroughGame(quit);
    EXPECT_TRUE(QuitsWithin(5));
}

// ---- one game at a time on the same saves; saves that cannot be kept ------------

namespace {

std::string TextOf(TWindow* w)
{
    auto* text = GetCast<TText>(w);
    return text ? text->GetText().c_str() : "";
}

}  // namespace

class SavesScenario : public GameDataScenario {
protected:
    void SetUp() override
    {
        GameAppTest::SetUp();
        UseGameData();
    }
    std::string TopName() { return Top() ? Top()->GetName().c_str() : ""; }
    std::string LockPath() const
    {
        return (scratch.Path() / "data" / "corvellatrip" / TGameApp::kSavesLockFile).string();
    }
    // Starts a game on the engine (another game may hold the saves) up to
    // its first screen; the log of its start.
    std::string StartAnotherGame()
    {
        StartEngine();
        testing::internal::CaptureStderr();
        app = std::make_unique<TGameApp>(engine.platform.get());
        app->StartUp();
        Idle();
        Idle();
        return testing::internal::GetCapturedStderr();
    }
    // The dialog on top (named `name`) and its body text; "" when another screen is on top.
    std::string DialogBody(const char* name)
    {
        TModalWindow* top = Top();
        if (!top || top->GetName() != str(name))
            return "";
        return TextOf(top->GetChildWindow("body", -1));
    }
};

TEST_F(SavesScenario, ASecondGameOnTheSameSavesSaysSoAndQuitsTouchingNothing)
{
    // The first game: its player is saved, and it holds the saves while it runs.
    Start();
    Idle();
    TSettings::GetInstance()->CreateNewUser("Ada");
    TSettings::GetInstance()->UnlockLevel(0, 2);
    EXPECT_TRUE(qm::TLockFile(str(LockPath().c_str())).HeldElsewhere()) << "the running game holds the lock";
    ASSERT_FALSE(Send(TEvent::kQuit));
    app.reset();
    engine.Stop();
    const std::string prefs = PrefsBytes();
    ASSERT_FALSE(prefs.empty());

    // Another game is running on these saves (this test holds its lock).
    qm::TLockFile first(str(LockPath().c_str()));
    ASSERT_TRUE(first.Held());
    const std::string log = StartAnotherGame();
    EXPECT_TRUE(app->WasRefused());
    EXPECT_EQ(TSettings::GetInstance(), nullptr) << "nothing of the saves was read";
    const std::string body = DialogBody("scripts/ok.lua");
    EXPECT_NE(body.find("already running"), std::string::npos) << TopName().c_str() << "\n" << log;
    EXPECT_NE(body.find(scratch.Path().string()), std::string::npos) << body;
    EXPECT_NE(log.find("Telling the player: The game is already running"), std::string::npos) << log;

    TWindow* ok = Top()->GetChildWindow("ok", -1);
    ASSERT_NE(ok, nullptr);
    ClickThroughGame(ok);
    EXPECT_TRUE(QuitsWithin(10));
    EXPECT_EQ(PrefsBytes(), prefs) << "the first game's saves are as it left them";
}

// A game that could not open running.lock (one left by a start as another
// user) plays on the next name; a game that can open it must still keep out.
TEST_F(SavesScenario, AGameOnAnotherLockNameStillKeepsASecondGameOut)
{
    Start();
    Idle();
    ASSERT_FALSE(Send(TEvent::kQuit));
    app.reset();
    engine.Stop();
    ASSERT_TRUE(std::filesystem::is_regular_file(LockPath())) << "a free running.lock the next game may take";

    // Another game runs on these saves, on running.lock.1.
    qm::TLockFile other(str((LockPath() + ".1").c_str()));
    ASSERT_TRUE(other.Held());
    const std::string log = StartAnotherGame();
    EXPECT_TRUE(app->WasRefused()) << log;
    EXPECT_EQ(TSettings::GetInstance(), nullptr) << "nothing of the saves was read";
    EXPECT_NE(DialogBody("scripts/ok.lua").find("already running"), std::string::npos) << TopName() << "\n" << log;
    EXPECT_FALSE(qm::LockHeldElsewhere(str(LockPath().c_str()))) << "the refused game let go of running.lock";
    ClickThroughGame(Top()->GetChildWindow("ok", -1));
    EXPECT_TRUE(QuitsWithin(10));
}

// No folder for the saves can be made (its path is too long): as with a
// folder that cannot be written, no lock can be taken there, and the start
// is refused saying why.
TEST_F(SavesScenario, ADataHomeThatCannotBeMadeRefusesTheStartSayingWhy)
{
    const std::string tooLong = (scratch.Path() / std::string(300, 'd')).string();
    ::setenv("XDG_DATA_HOME", tooLong.c_str(), 1);
    const std::string log = StartAnotherGame();
    ASSERT_TRUE(app->WasRefused()) << log;
    EXPECT_EQ(TSettings::GetInstance(), nullptr);
    const std::string body = DialogBody("scripts/ok.lua");
    EXPECT_NE(body.find("cannot lock its saves in " + tooLong), std::string::npos) << body;
    EXPECT_NE(body.find(": its path is too long."), std::string::npos) << body;
    EXPECT_NE(log.find("cannot be made (File name too long)"), std::string::npos) << log;
    EXPECT_NE(log.find("Telling the player: The game cannot lock its saves"), std::string::npos) << log;
    ClickThroughGame(Top()->GetChildWindow("ok", -1));
    EXPECT_TRUE(QuitsWithin(10));
}

// A stray entry named like the lock (a folder, a link to nowhere) switches
// no lock off: the game locks the next name, running.lock.1, and a second
// game beside it is refused and touches nothing.
TEST_F(SavesScenario, AStrayEntryNamedLikeTheLockStillKeepsASecondGameOut)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(LockPath()).parent_path();
    const std::string next = LockPath() + ".1";
    for (const bool asFolder : {true, false}) {
        SCOPED_TRACE(asFolder ? "running.lock is a folder" : "running.lock links to nowhere");
        fs::create_directories(folder);
        fs::remove_all(LockPath());
        if (asFolder)
            fs::create_directory(LockPath());
        else
            fs::create_symlink(scratch.Path() / "nowhere" / "running.lock", LockPath());

        // The first game plays, and holds the lock while it runs.
        Start();
        Idle();
        ASSERT_FALSE(app->WasRefused());
        TSettings::GetInstance()->CreateNewUser("Ada");
        EXPECT_TRUE(qm::TLockFile(str(next.c_str())).HeldElsewhere()) << "the running game holds " << next;
        ASSERT_FALSE(Send(TEvent::kQuit));
        app.reset();
        engine.Stop();
        const std::string prefs = PrefsBytes();
        ASSERT_FALSE(prefs.empty());
        std::vector<std::string> before;
        for (const auto& entry : fs::directory_iterator(folder))
            before.push_back(entry.path().filename().string());

        // Another game runs on these saves (this test holds the lock it took).
        qm::TLockFile first(str(next.c_str()));
        ASSERT_TRUE(first.Held());
        const std::string log = StartAnotherGame();
        EXPECT_TRUE(app->WasRefused());
        EXPECT_EQ(TSettings::GetInstance(), nullptr) << "nothing of the saves was read";
        EXPECT_NE(DialogBody("scripts/ok.lua").find("already running"), std::string::npos) << TopName() << "\n" << log;
        ClickThroughGame(Top()->GetChildWindow("ok", -1));
        EXPECT_TRUE(QuitsWithin(10));
        app.reset();
        engine.Stop();
        EXPECT_EQ(PrefsBytes(), prefs) << "the first game's saves are as it left them";
        std::vector<std::string> after;
        for (const auto& entry : fs::directory_iterator(folder))
            after.push_back(entry.path().filename().string());
        EXPECT_EQ(after, before) << "nothing written beside them";
    }
}

// Every name taken by stray entries: the player is told that the saves
// cannot be locked, and where, and nothing of them is read or written.
TEST_F(SavesScenario, NoLockAtAllIsToldAndTheSavesAreNotTouched)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(LockPath()).parent_path();
    fs::create_directories(folder);
    fs::create_directory(LockPath());
    for (int i = 1; i < TGameApp::kLockNames; ++i)
        fs::create_directory(LockPath() + "." + std::to_string(i));
    const std::string log = StartAnotherGame();
    EXPECT_TRUE(app->WasRefused());
    EXPECT_EQ(TSettings::GetInstance(), nullptr);
    const std::string body = DialogBody("scripts/ok.lua");
    EXPECT_NE(body.find("cannot lock its saves in " + folder.string()), std::string::npos) << body << "\n" << log;
    EXPECT_NE(body.find(": the name of its lock file there is taken by something that is no file."), std::string::npos)
        << body;
    ClickThroughGame(Top()->GetChildWindow("ok", -1));
    EXPECT_TRUE(QuitsWithin(10));
    EXPECT_FALSE(fs::exists(folder / "prefs.dat"));
}

// The game's own files cannot be read (the script it starts with is
// missing; the resource folder may not be entered): before anything of the
// saves is touched, a plain notice says so, where and why, and its OK (here
// Escape), or the close button, ends the game.
class UnreadableFiles : public SavesScenario, public testing::WithParamInterface<bool> {};

TEST_P(UnreadableFiles, AreToldInAPlainNoticeThatEndsTheGame)
{
    namespace fs = std::filesystem;
    const bool folderDenied = GetParam();
    std::string folder = scratch.Path().string();
    std::string why = "assets/scripts/mainloop.lua, the script the game starts with, is missing";
    if (!folderDenied)
        fs::remove(scratch.Path() / "assets" / "scripts" / "mainloop.lua");
    StartEngine();
    if (folderDenied) {
        folder = "/elsewhere/data";
        why = "this user may not read that folder";
        data->SetResourceFolder(str(folder.c_str()), EACCES);
    }
    testing::internal::CaptureStderr();
    app = std::make_unique<TGameApp>(engine.platform.get());
    app->StartUp();
    Idle();
    const std::string log = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(app->WasRefused()) << log;
    auto* notice = dynamic_cast<TPlainNotice*>(Top());
    ASSERT_NE(notice, nullptr) << TopName() << "\n" << log;
    std::string shown = "|";
    for (TWindow* child : notice->GetChildren())
        shown += TextOf(child) + "|";
    EXPECT_NE(shown.find("|The game's files cannot be read|"), std::string::npos) << shown;
    EXPECT_NE(shown.find("|The game cannot read its files in " + folder + ": " + why + "."), std::string::npos) << shown;
    EXPECT_NE(log.find("Telling the player: The game cannot read its files in " + folder), std::string::npos) << log;
    EXPECT_EQ(TSettings::GetInstance(), nullptr);

    if (folderDenied)
        EXPECT_FALSE(Send(TEvent::kCloseRequest));
    else
        Send(TEvent::kChar, TEvent::kEscape);
    EXPECT_TRUE(QuitsWithin(10));
    const fs::path home = fs::path(LockPath()).parent_path();
    EXPECT_FALSE(fs::exists(LockPath()));
    EXPECT_FALSE(fs::exists(home / "prefs.dat"));
}

INSTANTIATE_TEST_SUITE_P(MissingOrDenied, UnreadableFiles, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "folder_denied" : "main_loop_missing";
                         });

// The refusal's own script damaged (emptied, cut short): instead of a black
// window that takes no answer, a plain notice says why, and the game ends on
// its OK (or Return).
class DamagedRefusal : public SavesScenario, public testing::WithParamInterface<int> {};

TEST_P(DamagedRefusal, ShowsAPlainNoticeThatEndsTheGame)
{
    const char* damaged[] = {"", "return function()\n    DisplayDialog { \"scripts/ok.lua\", title = "};
    Script("startrefused.lua", damaged[GetParam()]);
    std::filesystem::create_directories(std::filesystem::path(LockPath()).parent_path());
    qm::TLockFile first(str(LockPath().c_str()));
    ASSERT_TRUE(first.Held());
    const std::string log = StartAnotherGame();
    ASSERT_TRUE(app->WasRefused());
    auto* notice = dynamic_cast<TPlainNotice*>(Top());
    ASSERT_NE(notice, nullptr) << TopName() << "\n" << log;
    EXPECT_NE(log.find("scripts/startrefused.lua showed nothing: the refusal shows as a plain notice"), std::string::npos)
        << log;
    std::string shown = "|";
    for (TWindow* child : notice->GetChildren())
        shown += TextOf(child) + "|";
    EXPECT_NE(shown.find("|Already running|"), std::string::npos) << shown;
    EXPECT_NE(shown.find("|The game is already running and keeping its saves in "), std::string::npos) << shown;
    EXPECT_NE(shown.find("|OK|"), std::string::npos) << shown;
    Send(TEvent::kKeyDown, 'X');
    Send(TEvent::kChar, 'x');
    Idle();
    EXPECT_FALSE(app->HasQuit()) << "another key is no answer";

    if (GetParam() == 0) {
        const TRect ok = notice->OkBox();
        Send(TEvent::kMouseDown, 0, (ok.x1 + ok.x2) / 2, (ok.y1 + ok.y2) / 2);
        Send(TEvent::kMouseUp, 0, (ok.x1 + ok.x2) / 2, (ok.y1 + ok.y2) / 2);
    } else {
        Send(TEvent::kChar, TEvent::kEnter);
    }
    EXPECT_TRUE(QuitsWithin(10));
}

INSTANTIATE_TEST_SUITE_P(EmptiedOrCut, DamagedRefusal, testing::Values(0, 1),
                         [](const testing::TestParamInfo<int>& info) { return info.param == 0 ? "emptied" : "cut"; });

// The refusal's script runs but shows nothing: its dialog script cut short
// (ok.lua builds no window), or a refusal that waits without a dialog. Once
// the screen has shown nothing for a second the plain notice stands in, and
// its OK ends the game.
class BlankRefusal : public SavesScenario, public testing::WithParamInterface<int> {};

TEST_P(BlankRefusal, ShowsThePlainNoticeOnceNothingHasShownForASecond)
{
    if (GetParam() == 0)
        Script("ok.lua", "-- A message with one button: the texts ");
    else
        Script("startrefused.lua", "return function() while true do WaitForMessage() end end");
    std::filesystem::create_directories(std::filesystem::path(LockPath()).parent_path());
    qm::TLockFile first(str(LockPath().c_str()));
    ASSERT_TRUE(first.Held());
    const std::string log = StartAnotherGame();
    ASSERT_TRUE(app->WasRefused());
    EXPECT_EQ(dynamic_cast<TPlainNotice*>(Top()), nullptr) << "the script has its second first";
    testing::internal::CaptureStderr();
    int turns = 0;
    for (; turns < 200 && !dynamic_cast<TPlainNotice*>(Top()); ++turns)
        Idle(20);
    const std::string watched = testing::internal::GetCapturedStderr();
    auto* notice = dynamic_cast<TPlainNotice*>(Top());
    ASSERT_NE(notice, nullptr) << TopName() << "\n" << log << watched;
    EXPECT_GE(turns * 20 + 40, static_cast<int>(TGameApp::kBlankRefusalMs)) << "not before the second was over";
    EXPECT_NE(watched.find("showed nothing: the refusal shows as a plain notice"), std::string::npos) << watched;
    const TRect ok = notice->OkBox();
    Send(TEvent::kMouseDown, 0, (ok.x1 + ok.x2) / 2, (ok.y1 + ok.y2) / 2);
    Send(TEvent::kMouseUp, 0, (ok.x1 + ok.x2) / 2, (ok.y1 + ok.y2) / 2);
    EXPECT_TRUE(QuitsWithin(10));
}

INSTANTIATE_TEST_SUITE_P(CutDialogOrNone, BlankRefusal, testing::Values(0, 1),
                         [](const testing::TestParamInfo<int>& info) {
                             return info.param == 0 ? "ok_lua_cut" : "waiting_without_a_dialog";
                         });

// A refusal that shows its dialog keeps it however long the player takes.
TEST_F(SavesScenario, AShownRefusalIsNeverReplacedByThePlainNotice)
{
    std::filesystem::create_directories(std::filesystem::path(LockPath()).parent_path());
    qm::TLockFile first(str(LockPath().c_str()));
    ASSERT_TRUE(first.Held());
    StartAnotherGame();
    for (int i = 0; i < 250; ++i)
        Idle(20);
    EXPECT_EQ(TopName(), "scripts/ok.lua");
    EXPECT_NE(DialogBody("scripts/ok.lua").find("already running"), std::string::npos);
}
