// A screen script that never returns ("while true do end" at the top of the
// options screen), played through the game's entry on the headless engine:
// the script watchdog stops it naming the file, after which the close
// request still ends the game cleanly; a quit signal while it runs ends the
// game through the same clean way out; the player is told which script was
// stopped. A fake watchdog clock stands for the five seconds of wall time.
#include "damaged_data_fixture.h"

#include "engine/platform/event.h"
#include "engine/platform/platformdata.h"
#include "engine/platform/quitsignal.h"
#include "engine/script/scriptwatchdog.h"
#include "game/settings/settings.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::uint32_t gWatch = 0;
std::uint32_t gWatchStep = 0;
int gReadsToSignal = -1;

std::uint32_t ReadWatchClock()
{
    if (gReadsToSignal >= 0 && gReadsToSignal-- == 0)
        qm::NoteQuitSignal();
    gWatch += gWatchStep;
    return gWatch;
}

class FrozenScreen : public DamagedData {
protected:
    void SetUp() override
    {
        DamagedData::SetUp();
        gWatch = 0;
        gWatchStep = 0;
        gReadsToSignal = -1;
        TScriptWatchdog::SetClock(ReadWatchClock);
        TScriptWatchdog::SetCheckPeriod(0);  // the fake clock moves at every reading
        const std::filesystem::path options = scratch.Path() / "assets/scripts/options.lua";
        std::string text;
        {
            std::ifstream in(options, std::ios::binary);
            text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        std::ofstream(options, std::ios::binary | std::ios::trunc) << "while true do end\n" << text;
    }
    void TearDown() override
    {
        TScriptWatchdog::SetClock({});
        TScriptWatchdog::SetCheckPeriod(TScriptWatchdog::kCheckPeriodMs);
        DamagedData::TearDown();
    }

    // The main menu of a first start.
    void ToTheMenu()
    {
        BeginLog();
        Start();
        Idle();
        NameThePlayer();
        ASSERT_TRUE(WaitForTop("scripts/mainmenu.lua"));
    }
    // The options opened from the menu, stopped after five seconds on the
    // watchdog's clock (a tenth of a second between two checks); the
    // player's notice of it shows.
    void StopTheOptions()
    {
        ToTheMenu();
        gWatchStep = 100;
        Press("options");
        gWatchStep = 0;
        ASSERT_TRUE(WaitForTop("scriptstopped"));
    }
    // OK on the notice; true when it closed within a second.
    bool CloseTheNotice();
};

// What a close request must do within a second (50 turns of 20 ms).
constexpr int kSecond = 50;

bool FrozenScreen::CloseTheNotice()
{
    Press("ok");
    for (int i = 0; i < kSecond && TopName() == str("scriptstopped"); ++i)
        Idle();
    return TopName() != str("scriptstopped");
}

TEST_F(FrozenScreen, IsStoppedNamingTheScriptAndTheCloseRequestStillQuits)
{
    ToTheMenu();
    gWatchStep = 100;  // a tenth of a second between two checks: only a long run reaches five
    Press("options");
    gWatchStep = 0;
    ASSERT_FALSE(app->HasQuit());
    const bool quitAtOnce = !Send(TEvent::kCloseRequest);
    const bool quit = quitAtOnce || AnswerYesAndQuitWithin(kSecond);
    const std::string log = EndLog();
    EXPECT_NE(log.find("scripts/options.lua:1: script stopped: it ran for 5.0 s without yielding"),
              std::string::npos)
        << log;
    EXPECT_TRUE(quit) << log;
    EXPECT_TRUE(app->HasQuit());
    EXPECT_EQ(TSettings::GetInstance(), nullptr);  // written and deleted: the clean way out
}

TEST_F(FrozenScreen, ThePlayerIsToldWhichScriptWasStoppedAndTheNoticeCloses)
{
    StopTheOptions();
    const bool closed = CloseTheNotice();
    const std::string log = EndLog();
    EXPECT_NE(log.find("Telling the player: The game's script scripts/options.lua ran on without end"),
              std::string::npos)
        << log;
    EXPECT_TRUE(closed) << TopName().c_str();
    const bool quitAtOnce = !Send(TEvent::kCloseRequest);
    EXPECT_TRUE(quitAtOnce || AnswerYesAndQuitWithin(kSecond));
}

TEST_F(FrozenScreen, AfterTheStopTheCloseRequestStillAsks)
{
    StopTheOptions();
    ASSERT_TRUE(CloseTheNotice());
    // The stop ended the screens' coroutine: the confirmation runs as one of its own.
    EXPECT_TRUE(Send(TEvent::kCloseRequest)) << "the game closed without asking";
    ASSERT_TRUE(WaitForTop("scripts/closeconfirm.lua", 1));
    // "No" keeps the game, and the next close request asks again.
    Press("no");
    for (int i = 0; i < 5; ++i)
        Idle();  // the confirmation takes its answer and ends
    EXPECT_FALSE(app->HasQuit());
    EXPECT_NE(TopName(), str("scripts/closeconfirm.lua"));
    EXPECT_TRUE(Send(TEvent::kCloseRequest));
    ASSERT_TRUE(WaitForTop("scripts/closeconfirm.lua", 1));
    const bool quit = AnswerYesAndQuitWithin(kSecond);
    const std::string log = EndLog();
    EXPECT_TRUE(quit) << log;
    EXPECT_EQ(log.find("did not open"), std::string::npos) << log;
    EXPECT_EQ(TSettings::GetInstance(), nullptr);
}

TEST_F(FrozenScreen, AQuitSignalWhileItRunsEndsTheGameCleanly)
{
    ToTheMenu();
    // Far more readings than the runs before the loop make: the signal
    // arrives while the loop runs, and the clock stands still.
    gReadsToSignal = 50;
    Press("options");
    // The game's own loop, as Main runs it: the platform's events.
    TEvent ev;
    for (int i = 0; i < kSecond && !app->HasQuit(); ++i) {
        backend->now += 20;
        data->GetEvent(&ev);
        app->HandleEvent(&ev);
    }
    const std::string log = EndLog();
    EXPECT_NE(log.find("scripts/options.lua:1: script stopped: the game is asked to quit"), std::string::npos)
        << log;
    EXPECT_NE(log.find("Asked to quit by a signal"), std::string::npos) << log;
    EXPECT_TRUE(app->HasQuit());
    EXPECT_EQ(TSettings::GetInstance(), nullptr);
}

}  // namespace
