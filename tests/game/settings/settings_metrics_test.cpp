// The metrics log: only with "metrics" = 1 in the string table; a header for
// a new file, the play-time marks, time per top window, and the session
// record and saved totals at shut-down.
#include "settings_fixture.h"

#include "engine/base/encryptionkey.h"
#include "engine/base/prefs.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowmanager.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class Metrics : public SettingsTest {
protected:
    std::string MetricsPath() const { return (mHome / "data" / "corvellatrip" / "metrics.txt").string(); }
    std::string Log() const
    {
        std::ifstream in(MetricsPath(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    int Count(const std::string& what) const
    {
        const std::string log = Log();
        int n = 0;
        for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1))
            ++n;
        return n;
    }
    void StartWithMetrics(int totalPlayMs)
    {
        WriteStrings({{"metrics", "1"}});
        StartPlatform();
        TPrefs prefs(str(ENCRYPTION_KEY), true);
        prefs.SetInt("totalplay", totalPlayMs, -1, true);
    }
    TModalWindow* PushScreen(const char* name)
    {
        auto* screen = new TModalWindow;
        screen->SetName(name);
        mPlatform->GetWindowManager()->PushModal(screen);
        return screen;
    }
};

TEST_F(Metrics, NoLogWithoutTheSwitch)
{
    StartPlatform();
    Create();
    mSettings->InitGameToSettings();
    mSettings->RecordEventMetric("UpgradeStory", "x");
    TSettings::DeleteSettings();
    EXPECT_FALSE(fs::exists(MetricsPath()));
}

TEST_F(Metrics, HeaderOnceEventsAndTheSessionRecord)
{
    StartWithMetrics(0);
    Create();
    EXPECT_TRUE(mSettings->IsMetricsOn());
    mSettings->InitGameToSettings();
    mSettings->CreateNewUser("Ann");
    mSettings->RecordEventMetric("LevelCompleteStory", "3, 1200");
    mSettings->SkipTutorial();
    mSettings->AddPlayTime(61.5f);
    TSettings::DeleteSettings();
    Create();
    mSettings->InitGameToSettings();
    TSettings::DeleteSettings();

    EXPECT_EQ(Count("\"GraphicsCard\", "), 1);
    EXPECT_NE(Log().find("\n" + std::string(71, '-') + "\n"), std::string::npos);
    EXPECT_EQ(Count("\"LevelCompleteStory\", "), 1);
    EXPECT_NE(Log().find(", 3, 1200\n"), std::string::npos);
    EXPECT_EQ(Count("\"SessionData\", "), 2);
    // Fields of the first session: version, ..., skipped career tutorial,
    // full screen, sound off and the three levels (a new player was given
    // the options' environment default, 500).
    std::istringstream lines(Log());
    std::string line, session;
    while (std::getline(lines, line))
        if (line.rfind("\"SessionData\"", 0) == 0 && session.empty())
            session = line;
    EXPECT_NE(session.find(", 2.0.0.0, "), std::string::npos);
    EXPECT_NE(session.find(", 61.500000, "), std::string::npos);
    EXPECT_NE(session.find(", 0, 1, 0, 1, 0, 750, 750, 500"), std::string::npos) << session;

    // The totals were saved at shut-down.
    Create();
    EXPECT_FLOAT_EQ(mSettings->GetTotalStoryTime(), 61.0f);
}

TEST_F(Metrics, PlayTimeMarks)
{
    StartWithMetrics(890000);
    Create();
    mSettings->UpdateSessionTime();
    EXPECT_EQ(Count("Progress-15"), 0);
    mBackend->now += 10000;
    mSettings->UpdateSessionTime();
    EXPECT_EQ(Count("\"Progress-15\""), 1);
    mBackend->now += 1000;
    mSettings->UpdateSessionTime();
    EXPECT_EQ(Count("\"Progress-15\""), 1);
    // Passing two marks in one call writes the first only.
    mBackend->now += 2000000;
    mSettings->UpdateSessionTime();
    EXPECT_EQ(Count("\"Progress-30\""), 1);
    EXPECT_EQ(Count("\"Progress-45\""), 0);
}

TEST_F(Metrics, EachSessionChecksTheMarksFromZero)
{
    StartWithMetrics(2000000);
    Create();
    mSettings->UpdateSessionTime();
    EXPECT_EQ(Count("\"Progress-15\""), 1);
    EXPECT_EQ(Count("\"Progress-30\""), 0);
}

TEST_F(Metrics, ScreenTimeIsCreditedToTheScreenLeft)
{
    StartWithMetrics(0);
    Create();
    PushScreen("scripts/mainmenu.lua");
    mSettings->CurrentScreenMetric();
    mBackend->now += 1500;
    TModalWindow* options = PushScreen("scripts/options.lua");
    mSettings->CurrentScreenMetric();
    mBackend->now += 400;
    mSettings->SetWindowNameMetric("scripts/renamed.lua");
    EXPECT_STREQ(options->GetName().c_str(), "scripts/renamed.lua");
    mSettings->CurrentScreenMetric();
    mPlatform->GetWindowManager()->PopModal();
    mBackend->now += 700;
    mSettings->CurrentScreenMetric();
    mBackend->now += 100;
    mSettings->CurrentScreenMetric();
    PushScreen("scripts/x.lua");
    mSettings->CurrentScreenMetric();
    EXPECT_FLOAT_EQ(mSettings->GetScreenTime("scripts/options.lua"), 0.4f);
    EXPECT_FLOAT_EQ(mSettings->GetScreenTime("scripts/renamed.lua"), 0.7f);
    EXPECT_FLOAT_EQ(mSettings->GetScreenTime("scripts/mainmenu.lua"), 1.6f);  // both stays
    EXPECT_FLOAT_EQ(mSettings->GetScreenTime("scripts/none.lua"), 0.0f);
}

}  // namespace

// The session record's corner column says whether Quessa's corner was
// visited (the screen the main menu opens from under its panels).
TEST_F(Metrics, TheCornerColumnReportsAVisitToQuessasCorner)
{
    StartWithMetrics(0);
    Create();
    mSettings->InitGameToSettings();
    mSettings->CreateNewUser("Ann");
    PushScreen("scripts/mainmenu.lua");
    mSettings->CurrentScreenMetric();
    mBackend->now += 500;
    PushScreen("scripts/quessascorner1.lua");
    mSettings->CurrentScreenMetric();
    mBackend->now += 800;
    mPlatform->GetWindowManager()->PopModal();
    mSettings->CurrentScreenMetric();
    TSettings::DeleteSettings();
    std::istringstream lines(Log());
    std::string line, session;
    while (std::getline(lines, line))
        if (line.rfind("\"SessionData\"", 0) == 0)
            session = line;
    // corner visited, no tutorial skipped, full screen, sound on, the volumes
    EXPECT_NE(session.find(", 1, 0, 0, 1, 0, 750, 750, 500"), std::string::npos) << session;
}
