// Saves that fail (a full disk, a read-only folder, no folder at all) are
// told to the player once per cause, with the folder and the reason, while
// the progress stays in memory and reaches the disk at the first save that
// can write it, at the latest when the game quits. The full and read-only
// cases mount a small tmpfs over the data folder, which needs root; without
// it they are skipped (the path too long case needs nothing).
#include "otheruser.h"
#include "settings_fixture.h"

#include "engine/base/folders.h"
#include "engine/base/ownership.h"
#include "engine/base/prefs.h"
#include "online/hiscores.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

class SaveFailures : public SettingsTest {
protected:
    void SetUp() override
    {
        SettingsTest::SetUp();
        fs::copy_file(fs::path(QM_DATA_DIR) / "assets" / "strings.xml", mHome / "assets" / "strings.xml");
    }
    void TearDown() override
    {
        StopPlatform();
        if (mMounted)
            Shell("umount -l " + mMount.string());
        SettingsTest::TearDown();
    }

    static bool Shell(const std::string& command)
    {
        return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
    }

    // The data home on a tmpfs of its own, `kilobytes` large. False (the test
    // is skipped) when it cannot be mounted.
    bool MountDataHome(int kilobytes)
    {
        mMount = mHome / "mnt";
        fs::create_directories(mMount);
        if (::geteuid() != 0 ||
            !Shell("mount -t tmpfs -o size=" + std::to_string(kilobytes) + "k tmpfs " + mMount.string()))
            return false;
        mMounted = true;
        ::setenv("XDG_DATA_HOME", mMount.c_str(), 1);
        return true;
    }
    // The platform and the settings started, with a player "Ada" saved.
    void StartWithAda()
    {
        StartPlatform();
        Create();
        mSettings->CreateNewUser("Ada");
        mSettings->SetCurrentUser(0, true);
    }
    std::string MountedPrefs() const
    {
        std::ifstream in(mMount / "corvellatrip" / "prefs.dat", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Remount(const char* mode) { return Shell(std::string("mount -o remount,") + mode + " " + mMount.string()); }

    // Fills the file system to the last byte.
    void FillDisk()
    {
        std::ofstream filler(mMount / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
        }
        std::ofstream last(mMount / "filler2", std::ios::binary);
        while (last.put('x') && last.flush()) {
        }
    }

    // The next notice, logged; "" when there is none.
    std::string Notice(std::string* log = nullptr)
    {
        str title, body;
        testing::internal::CaptureStderr();
        const bool told = mSettings->TakeSaveFailureNotice(&title, &body);
        const std::string written = testing::internal::GetCapturedStderr();
        if (log)
            *log = written;
        return told ? std::string(title.c_str()) + ": " + body.c_str() : "";
    }

    // A new start reads what the last one saved.
    int LevelsAfterRestart()
    {
        TSettings::DeleteSettings();
        Create();
        mSettings->SetCurrentUser(0, true);
        return mSettings->GetNumUnlockedLevels();
    }

    fs::path mMount;
    bool mMounted = false;
};

TEST_F(SaveFailures, AFullDiskIsToldOnceAndTheProgressIsSavedWhenRoomIsMade)
{
    if (!MountDataHome(256))
        GTEST_SKIP() << "mounting a tmpfs needs root";
    StartWithAda();
    EXPECT_EQ(Notice(), "") << "nothing failed yet";
    const int before = mSettings->GetNumUnlockedLevels();

    FillDisk();
    mSettings->UnlockLevel(0, before);
    std::string log;
    const std::string notice = Notice(&log);
    EXPECT_NE(notice.find("the disk is full"), std::string::npos) << notice;
    EXPECT_NE(notice.find(mMount.string() + "/corvellatrip"), std::string::npos) << notice;
    EXPECT_NE(log.find("Telling the player: Your progress could not be saved"), std::string::npos) << log;
    EXPECT_EQ(mSettings->GetNumUnlockedLevels(), before + 1) << "kept in memory";

    // The same cause again, from prefs.dat or hiscore.dat, is not told twice.
    mSettings->CreateNewUser("Bea");
    mSettings->GetHiscores()->LogScore(1200, "", "", true);
    EXPECT_NE(mSettings->GetHiscores()->GetLastSaveError(), 0);
    EXPECT_EQ(Notice(), "");

    // Room made before quitting: everything is on the disk at the quit.
    fs::remove(mMount / "filler");
    fs::remove(mMount / "filler2");
    EXPECT_EQ(LevelsAfterRestart(), before + 1);
    EXPECT_EQ(mSettings->GetNumUsers(), 2) << "the player made while the disk was full is kept";
    EXPECT_EQ(mSettings->GetHiscores()->GetScoreCount(true), 1);
    EXPECT_EQ(Notice(), "");
}

TEST_F(SaveFailures, AReadOnlyFolderIsToldAndTheNextSaveThatCanWriteKeepsEverything)
{
    if (!MountDataHome(1024))
        GTEST_SKIP() << "mounting a tmpfs needs root";
    StartPlatform();
    Create();
    mSettings->CreateNewUser("Ada");
    mSettings->SetCurrentUser(0, true);
    const int before = mSettings->GetNumUnlockedLevels();
    const std::string saved = MountedPrefs();

    ASSERT_TRUE(Remount("ro"));
    mSettings->UnlockLevel(0, before);
    const std::string notice = Notice();
    EXPECT_NE(notice.find("Progress not saved"), std::string::npos) << notice;
    EXPECT_NE(notice.find("the folder cannot be written to"), std::string::npos) << notice;
    EXPECT_EQ(MountedPrefs(), saved) << "the last good save stays as it was";
    mSettings->UnlockLevel(0, before + 1);
    EXPECT_EQ(Notice(), "") << "told once";

    ASSERT_TRUE(Remount("rw"));
    mSettings->ToggleSoundMute();  // any save writes the whole store
    EXPECT_EQ(mSettings->GetPrefs()->GetLastSaveError(), 0);
    EXPECT_NE(MountedPrefs(), saved);
    EXPECT_EQ(LevelsAfterRestart(), before + 2);
}

// No folder can be made (its path is too long for the system): the player
// hears of it at start-up, once, and the game runs on without saving.
TEST_F(SaveFailures, NoDataFolderIsToldAtStartUp)
{
    const std::string tooLong = (mHome / std::string(300, 'd')).string();
    ::setenv("XDG_DATA_HOME", tooLong.c_str(), 1);
    StartPlatform();
    const std::string startLog = Create();
    EXPECT_NE(startLog.find("No user data folder"), std::string::npos) << startLog;
    std::string log;
    const std::string notice = Notice(&log);
    EXPECT_NE(notice.find("No save folder"), std::string::npos) << notice;
    EXPECT_NE(notice.find("its path is too long"), std::string::npos) << notice;
    EXPECT_NE(notice.find("..."), std::string::npos) << "a long folder is cut to its end: " << notice;
    EXPECT_NE(log.find("Telling the player: The game has no folder"), std::string::npos) << log;
    mSettings->CreateNewUser("Ada");
    EXPECT_EQ(mSettings->GetNumUsers(), 1) << "played on in memory";
    EXPECT_EQ(Notice(), "");
}

// At a quit the player asked for, prefs.dat is written once more; while the
// disk is still full he is told that the progress cannot be kept, where and
// why (and the save failure's own notice is not shown after it); once room
// is made there is nothing to tell.
TEST_F(SaveFailures, AQuitOnAFullDiskTellsThatTheProgressCannotBeKept)
{
    if (!MountDataHome(256))
        GTEST_SKIP() << "mounting a tmpfs needs root";
    StartWithAda();
    str title, body;
    EXPECT_FALSE(mSettings->TakeUnkeptProgressNotice(&title, &body)) << "all saved";

    FillDisk();
    testing::internal::CaptureStderr();
    ASSERT_TRUE(mSettings->TakeUnkeptProgressNotice(&title, &body));
    const std::string log = testing::internal::GetCapturedStderr();
    const std::string text = body.c_str();
    EXPECT_STREQ(title.c_str(), "Progress cannot be kept");
    EXPECT_NE(text.find("cannot be kept"), std::string::npos) << text;
    EXPECT_NE(text.find(mMount.string() + "/corvellatrip"), std::string::npos) << text;
    EXPECT_NE(text.find("the disk is full"), std::string::npos) << text;
    EXPECT_NE(log.find("Telling the player: Your progress since the last save cannot be kept"), std::string::npos) << log;
    EXPECT_EQ(Notice(), "") << "told once";

    std::filesystem::remove(mMount / "filler");
    std::filesystem::remove(mMount / "filler2");
    EXPECT_FALSE(mSettings->TakeUnkeptProgressNotice(&title, &body)) << "written once room was made";
}

// prefs.dat replaced by a folder while the game runs: the failed save and
// the quit's notice name the file and what is wrong with it in plain words,
// not the system's "Is a directory".
TEST_F(SaveFailures, AFolderInPlaceOfPrefsIsToldByNameInPlainWords)
{
    StartWithAda();
    const fs::path prefs = fs::path(mSettings->GetPrefs()->GetPath().c_str());
    fs::remove(prefs);
    fs::create_directory(prefs);
    mSettings->UnlockLevel(0, 3);
    const std::string notice = Notice();
    EXPECT_NE(notice.find("a folder named prefs.dat stands where that file belongs"), std::string::npos) << notice;
    EXPECT_EQ(notice.find("Is a directory"), std::string::npos) << notice;

    str title, body;
    ASSERT_TRUE(mSettings->TakeUnkeptProgressNotice(&title, &body));
    const std::string text = body.c_str();
    EXPECT_STREQ(title.c_str(), "Progress cannot be kept");
    EXPECT_NE(text.find("(a folder named prefs.dat stands where that file belongs)"), std::string::npos) << text;
    EXPECT_NE(text.find(prefs.parent_path().string()), std::string::npos) << text;
    EXPECT_EQ(text.find("Is a directory"), std::string::npos) << text;
}

// Another user's prefs.dat and hiscore.dat (what a game started as root
// leaves) are told at start-up as files that cannot be opened, naming the
// file and its owner, and not as damage; the game plays on keeping nothing,
// and a quit has nothing more to tell. The player's game runs in a child (as
// nobody when this is root).
TEST_F(SaveFailures, AnotherUsersSavesAreToldWithTheirOwnerAndAQuitSaysNoMore)
{
    StartWithAda();
    mSettings->GetHiscores()->LogScore(1200, "", "", true);
    const fs::path prefs = mSettings->GetPrefs()->GetPath().c_str();
    const fs::path scores = prefs.parent_path() / "hiscore.dat";
    StopPlatform();
    for (const fs::path& file : {prefs, scores})
        qmtest::MakeNotPermitted(file, prefs.parent_path(), mHome);
    const std::string owner = qm::OwnerName(str(prefs.c_str()));
    const int found = qmtest::RunAsOtherUser([this, &owner] {
        StartPlatform();
        Create();
        // (the folder as a dialog's line takes it: its end)
        const auto told = [this, &owner](const char* body, const char* file) {
            TSaveNotice notice;
            return mSettings->TakeSaveNotice(&notice) && notice.title == str("notpermittedsave_title") &&
                   notice.body == str(body) && notice.file == str(file) && notice.owner == str(owner.c_str()) &&
                   std::string(notice.folder.c_str()).ends_with("/data/corvellatrip");
        };
        const bool toldBoth =
            told("notpermittedsave_profiles", "prefs.dat") && told("notpermittedsave_scores", "hiscore.dat");
        TSaveNotice more;
        const bool toldMore = mSettings->TakeSaveNotice(&more);
        mSettings->CreateNewUser("Bea");
        mSettings->GetHiscores()->LogScore(900, "", "", true);
        str title, body;
        // One bit for each thing that is wrong.
        return (toldBoth ? 0 : 1) | (toldMore ? 2 : 0) | (Notice() == "" ? 0 : 4) |
               (mSettings->TakeUnkeptProgressNotice(&title, &body) ? 8 : 0) | (mSettings->GetNumUsers() == 1 ? 0 : 16);
    });
    EXPECT_EQ(found, 0);
    EXPECT_EQ(owner, qmtest::IsRoot() ? "root" : qm::OwnerName(str(mHome.c_str())));
    for (const char* aside : {"prefs.dat.bad", "hiscore.dat.bad"})
        EXPECT_FALSE(fs::exists(prefs.parent_path() / aside)) << aside;
}
