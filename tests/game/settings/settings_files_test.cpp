// Configuration files read plain or from their enciphered ".bin" sibling,
// a damaged prefs.dat, the clocks on the platform's fake timer, the options
// and the string-table switches.
#include "settings_fixture.h"

#include "engine/base/encrypt.h"
#include "engine/base/encryptionkey.h"
#include "engine/base/prefs.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class Files : public SettingsTest {
protected:
    void Write(const fs::path& path, const std::string& bytes)
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }
};

TEST_F(Files, ConfigurationPlainOrEnciphered)
{
    const std::string xml = "<global><waiterSpeed>180</waiterSpeed></global>\n";
    Write(mHome / "assets/config/global.xml", xml);
    Write(mHome / "assets/config/customer.bin", TEncrypt(str(ENCRYPTION_KEY)).EncryptStr(xml.c_str()).c_str());
    Write(mHome / "assets/config/bad.bin", "not a cipher text at all");

    EXPECT_EQ(TSettings::ReadEncryptedFile("assets/config/global.xml").c_str(), xml);
    EXPECT_EQ(TSettings::ReadEncryptedFile("assets/config/customer.xml").c_str(), xml);
    EXPECT_STREQ(TSettings::ReadEncryptedFile("assets/config/missing.xml").c_str(), "");
    testing::internal::CaptureStderr();
    EXPECT_STREQ(TSettings::ReadEncryptedFile("assets/config/bad.xml").c_str(), "");
    EXPECT_NE(testing::internal::GetCapturedStderr().find("could not be deciphered"), std::string::npos);
    EXPECT_STREQ(TSettings::ReadEncryptedFile("ab").c_str(), "");

    // What the level editor writes reads back the same.
    Write(mHome / "assets/config/career/3.bin", TSettings::EncryptString(xml.c_str()).c_str());
    EXPECT_EQ(TSettings::ReadEncryptedFile("assets/config/career/3.xml").c_str(), xml);
}

TEST_F(Files, ADamagedPrefsFileIsKeptAside)
{
    const std::string damaged = "<>\n<data1 data=\"AAAA";  // cut short
    Write(PrefsPath(), damaged);
    StartPlatform();
    Create();
    EXPECT_EQ(mSettings->GetNumUsers(), 0);
    mSettings->CreateNewUser("Ann");
    // The unreadable file is still there, beside the new one.
    std::ifstream kept(PrefsPath() + ".bad", std::ios::binary);
    ASSERT_TRUE(kept.good());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), damaged);
    Create();
    EXPECT_STREQ(mSettings->GetUserName(0).c_str(), "Ann");
}

TEST_F(Files, ClocksRunOnThePlatformTimer)
{
    StartPlatform();
    {
        TPrefs prefs(str(ENCRYPTION_KEY), true);
        prefs.SetInt("totalplay", 5000, -1, false);
        prefs.SetInt("totalstory", 12, -1, true);
    }
    mBackend->now = 1000;
    Create();
    EXPECT_FLOAT_EQ(mSettings->GetTotalStoryTime(), 12.0f);
    mSettings->ActivateHelpClock(true);
    mBackend->now += 250;
    mSettings->ActivateHelpClock(false);
    mBackend->now += 1000;
    EXPECT_EQ(mSettings->GetHelpClockTime(), 250u);
    EXPECT_EQ(mSettings->GetSessionClockTime(), 1250u);
    EXPECT_EQ(mSettings->GetTotalPlayClockTime(), 6250u);
    EXPECT_EQ(mSettings->GetGameClock()->GetTime(), 1250u);
    mSettings->GetGameClock()->Pause();
    mBackend->now += 500;
    EXPECT_EQ(mSettings->GetGameClock()->GetTime(), 1250u);
    EXPECT_EQ(mSettings->GetPauseClockTime(), 0u);
    EXPECT_EQ(mSettings->GetUpgradeClockTime(), 0u);
}

// CORVELLATRIP_TIME_SCALE set for one test.
class TimeScaleVariable {
public:
    explicit TimeScaleVariable(const char* value) { ::setenv("CORVELLATRIP_TIME_SCALE", value, 1); }
    ~TimeScaleVariable() { ::unsetenv("CORVELLATRIP_TIME_SCALE"); }
};

TEST_F(Files, TheTimeScaleSpeedsTheGameClockAloneAndIgnoresBadValues)
{
    StartPlatform();
    {
        TimeScaleVariable scale("8");
        mBackend->now = 1000;
        const std::string log = Create();
        EXPECT_NE(log.find("8 times real time"), std::string::npos) << log;
    }
    mSettings->ActivateHelpClock(true);
    mBackend->now += 250;
    EXPECT_EQ(mSettings->GetGameClock()->GetTime(), 2000u);
    EXPECT_EQ(mSettings->GetHelpClockTime(), 250u);  // every other clock keeps real time
    EXPECT_EQ(mSettings->GetSessionClockTime(), 250u);
    EXPECT_EQ(mPlatform->Timer(), 1250u);

    {
        // Slower than real time, for a machine too busy for the clicks.
        TimeScaleVariable scale("0.25");
        const std::string log = Create();
        EXPECT_NE(log.find("0.25 times real time"), std::string::npos) << log;
        const std::uint32_t before = mSettings->GetGameClock()->GetTime();
        mBackend->now += 400;
        EXPECT_EQ(mSettings->GetGameClock()->GetTime() - before, 100u);
        EXPECT_EQ(mSettings->GetGameClock()->GetRate(), 1u);
    }
    for (const char* bad : {"0", "0.01", "-3", "fast", "8x", "65", "nan", "99999999999999999999"}) {
        TimeScaleVariable scale(bad);
        const std::string log = Create();
        EXPECT_NE(log.find("is not a number from"), std::string::npos) << bad << ": " << log;
        EXPECT_EQ(mSettings->GetGameClock()->GetRate(), 1u) << bad;
    }
    TimeScaleVariable empty("");
    EXPECT_EQ(Create().find("TIME_SCALE"), std::string::npos);
    EXPECT_EQ(mSettings->GetGameClock()->GetRate(), 1u);
}

TEST_F(Files, FullScreenFollowsThePlatform)
{
    StartPlatform();
    Create();
    mSettings->InitGameToSettings();  // no "fullscreen" pref yet: full screen
    EXPECT_TRUE(mSettings->IsFullScreen());
    EXPECT_TRUE(mSettings->ToggleFullScreen());
    EXPECT_FALSE(mSettings->IsFullScreen());
    EXPECT_EQ(mSettings->GetPrefs()->GetInt("fullscreen", -1, -1), 0);
    mBackend->fullscreenFails = true;
    EXPECT_FALSE(mSettings->ToggleFullScreen());
    EXPECT_EQ(mSettings->GetPrefs()->GetInt("fullscreen", -1, -1), 0);
    mBackend->fullscreenFails = false;
    EXPECT_EQ(Lua("gProbe = ToggleFullScreen()"), "true");
    mSettings->UpdateFullScreen();
    EXPECT_EQ(mSettings->GetPrefs()->GetInt("fullscreen", -1, -1), 1);
}

TEST_F(Files, HighscoreModeFromTheStringTable)
{
    WriteStrings({{"highscoremode", "1"}});
    StartPlatform();
    Create();
    EXPECT_EQ(mSettings->GetHighscoreMode(), 1);
    StopPlatform();
    WriteStrings({{"highscoremode", "7"}});
    StartPlatform();
    Create();
    EXPECT_EQ(mSettings->GetHighscoreMode(), 2);
    StopPlatform();
    WriteStrings({{"other", "x"}});
    StartPlatform();
    Create();
    EXPECT_EQ(mSettings->GetHighscoreMode(), 0);
}

}  // namespace
