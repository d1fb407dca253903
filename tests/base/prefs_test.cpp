#include "engine/base/encryptionkey.h"
#include "engine/base/prefs.h"

#include "otheruser.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* kOtherKey = "AAAABBBBCCCCDDDDEEEEFFFFGGGGHHHHIIIIJJJJKKKKLLLLMMMMNNNN";

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Each test gets its own user data folder (through XDG_DATA_HOME) and its
// own working directory, where assets/install.txt may be written.
class Prefs : public ::testing::Test {
protected:
    void SetUp() override
    {
        mRoot = fs::temp_directory_path() / ("qm_prefs_" + std::to_string(::getpid()) + "_" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(mRoot);
        fs::create_directories(mRoot / "game" / "assets");
        mOldHome = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
        ::setenv("XDG_DATA_HOME", (mRoot / "xdg").c_str(), 1);
        mOldCwd = fs::current_path();
        fs::current_path(mRoot / "game");
    }

    void TearDown() override
    {
        fs::current_path(mOldCwd);
        if (mOldHome.empty())
            ::unsetenv("XDG_DATA_HOME");
        else
            ::setenv("XDG_DATA_HOME", mOldHome.c_str(), 1);
        std::error_code ignored;
        fs::permissions(folder(), fs::perms::owner_all, ignored);
        fs::remove_all(mRoot, ignored);
    }

    fs::path folder() const { return mRoot / "xdg" / "corvellatrip"; }
    fs::path file() const { return folder() / "prefs.dat"; }
    void setInstallKey(const std::string& text) { writeFile(mRoot / "game" / "assets" / "install.txt", text); }

    fs::path mRoot;
    fs::path mOldCwd;
    std::string mOldHome;
};

void fillSomeValues(TPrefs& prefs)
{
    prefs.SetStr("name", "Quessa & \"friends\" <3", -1, false);
    prefs.SetInt("volume", -7, -1, false);
    prefs.SetStr("name", "Ann", 0, false);
    prefs.SetInt("level", 12, 1, false);
    const unsigned char bytes[] = {0, 1, 2, 0xFE, 0xFF, '<', '"'};
    prefs.SetBinary("blob", bytes, sizeof bytes, 1, false);
    prefs.SetStr("accent", "caf\xC3\xA9 \t tab", 1, true);
}

void expectSomeValues(TPrefs& prefs)
{
    EXPECT_STREQ(prefs.GetStr("name", "", -1).c_str(), "Quessa & \"friends\" <3");
    EXPECT_EQ(prefs.GetInt("volume", 0, -1), -7);
    EXPECT_EQ(prefs.GetNumUsers(), 2);
    EXPECT_STREQ(prefs.GetStr("name", "", 0).c_str(), "Ann");
    EXPECT_EQ(prefs.GetInt("level", 0, 1), 12);
    unsigned char bytes[16] = {};
    EXPECT_EQ(prefs.GetBinary("blob", bytes, sizeof bytes, 1), 0);
    const unsigned char expected[] = {0, 1, 2, 0xFE, 0xFF, '<', '"'};
    EXPECT_EQ(std::memcmp(bytes, expected, sizeof expected), 0);
    EXPECT_STREQ(prefs.GetStr("accent", "", 1).c_str(), "caf\xC3\xA9 \t tab");
}

}  // namespace

TEST_F(Prefs, PlainFileIsReadableXmlEndingInNulAndReadsBack)
{
    {
        TPrefs prefs("", true);
        fillSomeValues(prefs);
    }
    std::string bytes = readFile(file());
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), '\0');
    EXPECT_EQ(bytes.rfind("<>\n    <install\n        qminstallkey=\"", 0), 0u) << bytes;
    EXPECT_NE(bytes.find("\n</>\n"), std::string::npos);
    EXPECT_EQ(fs::status(file()).permissions() & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);

    TPrefs again("", true);
    expectSomeValues(again);
}

TEST_F(Prefs, EncipheredFileHasTheWrapperLayoutAndReadsBack)
{
    {
        TPrefs prefs(ENCRYPTION_KEY, true);
        fillSomeValues(prefs);
    }
    std::string bytes = readFile(file());
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), '\0');
    // Eight lines: the unnamed wrapper around data1 (Base64) and data2 (checksum).
    const std::string data1 = "<>\n    <data1\n        data=\"";
    const std::string between = "\">\n    </data1>\n    <data2\n        data=\"";
    const std::string end = "\">\n    </data2>\n</>\n";
    ASSERT_EQ(bytes.rfind(data1, 0), 0u) << bytes;
    size_t middle = bytes.find(between);
    ASSERT_NE(middle, std::string::npos) << bytes;
    std::string base64 = bytes.substr(data1.size(), middle - data1.size());
    EXPECT_EQ(base64.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
              std::string::npos);
    size_t checksumAt = middle + between.size();
    std::string checksum = bytes.substr(checksumAt, bytes.size() - 1 - end.size() - checksumAt);
    EXPECT_EQ(checksum.find_first_not_of("-0123456789"), std::string::npos) << checksum;
    EXPECT_EQ(bytes.substr(bytes.size() - 1 - end.size(), end.size()), end);
    EXPECT_EQ(bytes.find("Ann"), std::string::npos);

    TPrefs again(ENCRYPTION_KEY, true);
    expectSomeValues(again);
}

TEST_F(Prefs, SavingLeavesNoTemporaryFiles)
{
    TPrefs prefs(ENCRYPTION_KEY, true);
    for (int i = 0; i < 3; ++i)
        prefs.SetInt("n", i, -1, true);
    int entries = 0;
    for (auto& entry : fs::directory_iterator(folder())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST_F(Prefs, WrongKeyReadsEmptyAndTheFileIsKeptAside)
{
    {
        TPrefs prefs(ENCRYPTION_KEY, true);
        fillSomeValues(prefs);
    }
    std::string original = readFile(file());
    testing::internal::CaptureStderr();
    TPrefs other(kOtherKey, true);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(other.GetNumUsers(), 0);
    EXPECT_STREQ(other.GetStr("name", "default", -1).c_str(), "default");
    EXPECT_FALSE(fs::exists(file()));
    EXPECT_EQ(readFile(folder() / "prefs.dat.bad"), original);
    EXPECT_NE(log.find("prefs.dat.bad"), std::string::npos) << log;

    // The next save writes a new file and leaves the kept one alone.
    other.SetInt("fresh", 1, -1, true);
    EXPECT_TRUE(fs::exists(file()));
    EXPECT_EQ(readFile(folder() / "prefs.dat.bad"), original);
}

TEST_F(Prefs, EditedChecksumReadsEmpty)
{
    {
        TPrefs prefs(ENCRYPTION_KEY, true);
        fillSomeValues(prefs);
    }
    std::string bytes = readFile(file());
    size_t at = bytes.find("<data2\n        data=\"") + std::string("<data2\n        data=\"").size();
    bytes.insert(at, "1");
    writeFile(file(), bytes);
    testing::internal::CaptureStderr();
    TPrefs prefs(ENCRYPTION_KEY, true);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(prefs.GetNumUsers(), 0);
    EXPECT_EQ(readFile(folder() / "prefs.dat.bad"), bytes);
}

TEST_F(Prefs, UnreadableFilesAreKeptAsideWithoutLosingEarlierOnes)
{
    fs::create_directories(folder());
    writeFile(file(), "first garbage");
    testing::internal::CaptureStderr();
    { TPrefs prefs("", true); }
    writeFile(file(), "<not a store/>");
    { TPrefs prefs("", true); }
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(readFile(folder() / "prefs.dat.bad"), "first garbage");
    EXPECT_EQ(readFile(folder() / "prefs.dat.bad2"), "<not a store/>");
    EXPECT_NE(log.find("cannot be read"), std::string::npos);
}

TEST_F(Prefs, ReadOnlyStoreNeverTouchesAnUnreadableFile)
{
    fs::create_directories(folder());
    writeFile(file(), "garbage");
    testing::internal::CaptureStderr();
    TPrefs prefs(ENCRYPTION_KEY, false);
    prefs.SetInt("x", 1, -1, true);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(readFile(file()), "garbage");
    EXPECT_FALSE(fs::exists(folder() / "prefs.dat.bad"));
}

// Another user's prefs.dat (what a game started as root leaves) is not
// damaged: it is neither set aside nor saved over, and the store plays on
// empty without saving. The player's game runs in a child (as nobody when
// this is root).
TEST_F(Prefs, AFileThisUserMayNotOpenIsLeftAsItIsAndNeverSavedOver)
{
    {
        TPrefs prefs(ENCRYPTION_KEY, true);
        prefs.SetStr("name", "Ann", 0, true);
    }
    qmtest::MakeNotPermitted(file(), folder(), mRoot);
    const qmtest::TFileState before = qmtest::FileState(file());
    const int found = qmtest::RunAsOtherUser([] {
        testing::internal::CaptureStderr();
        TPrefs prefs(ENCRYPTION_KEY, true);
        prefs.SetStr("name", "Bob", 0, true);
        const std::string log = testing::internal::GetCapturedStderr();
        const bool told = log.find("may not be opened by this user (it belongs to ") != std::string::npos;
        // One bit for each thing that is wrong.
        return (prefs.FoundFileNotPermitted() ? 0 : 1) | (prefs.FoundUnreadableFile() ? 2 : 0) |
               (prefs.GetKeptAside().length() == 0 ? 0 : 4) | (prefs.GetNumUsers() == 1 ? 0 : 8) |
               (prefs.SavePrefs() ? 16 : 0) | (prefs.GetLastSaveError() == 0 ? 0 : 32) | (told ? 0 : 64);
    });
    EXPECT_EQ(found, 0);
    EXPECT_TRUE(qmtest::FileState(file()) == before) << "prefs.dat was changed";
    EXPECT_FALSE(fs::exists(folder() / "prefs.dat.bad"));
}

TEST_F(Prefs, SaveThatRunsOutOfSpaceLeavesTheOldFile)
{
    {
        TPrefs prefs(ENCRYPTION_KEY, true);
        prefs.SetStr("name", "Ann", 0, true);
    }
    std::string original = readFile(file());
    TPrefs prefs(ENCRYPTION_KEY, true);
    prefs.SetStr("big", std::string(20000, 'x').c_str(), 0, false);

    // Files may not grow past a few bytes: the write fails like a full disk.
    struct rlimit old;
    ::getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit tiny = old;
    tiny.rlim_cur = 64;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &tiny);
    testing::internal::CaptureStderr();
    bool saved = prefs.SavePrefs();
    std::string log = testing::internal::GetCapturedStderr();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_NE(log.find("Cannot save"), std::string::npos) << log;
    EXPECT_EQ(readFile(file()), original);
    EXPECT_STREQ(TPrefs(ENCRYPTION_KEY, false).GetStr("name", "", 0).c_str(), "Ann");
    EXPECT_TRUE(prefs.SavePrefs()) << "and saving works again once there is room";
}

TEST_F(Prefs, SaveIntoAReadOnlyFolderLeavesTheOldFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root; the out-of-space test covers the failed save";
    {
        TPrefs prefs("", true);
        prefs.SetStr("name", "Ann", 0, true);
    }
    std::string original = readFile(file());
    fs::permissions(folder(), fs::perms::owner_read | fs::perms::owner_exec);
    TPrefs prefs("", true);
    prefs.SetStr("name", "Bob", 0, false);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(prefs.SavePrefs());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(readFile(file()), original);
}

TEST_F(Prefs, SettingAPlayerCreatesTheMissingOnes)
{
    TPrefs prefs("", true);
    EXPECT_EQ(prefs.GetNumUsers(), 0);
    prefs.SetStr("name", "Cid", 2, false);
    EXPECT_EQ(prefs.GetNumUsers(), 3);
    EXPECT_STREQ(prefs.GetStr("name", "none", 0).c_str(), "none");
    EXPECT_STREQ(prefs.GetStr("name", "none", 2).c_str(), "Cid");
    EXPECT_STREQ(prefs.GetStr("name", "none", 5).c_str(), "none");
}

TEST_F(Prefs, IntsAreReadAsAtoiWould)
{
    TPrefs prefs("", true);
    EXPECT_EQ(prefs.GetInt("missing", 42, -1), 42);
    prefs.SetStr("mixed", "12abc", -1, false);
    EXPECT_EQ(prefs.GetInt("mixed", 0, -1), 12);
    prefs.SetStr("empty", "", -1, false);
    EXPECT_EQ(prefs.GetInt("empty", 5, -1), 5) << "an empty value reads as the default";
}

TEST_F(Prefs, BinaryValues)
{
    TPrefs prefs("", true);
    unsigned char buffer[4];
    EXPECT_EQ(prefs.GetBinary("none", buffer, sizeof buffer, -1), -1);
    prefs.SetBinary("zero", "", 0, -1, false);
    EXPECT_STREQ(prefs.GetStr("zero", "default", -1).c_str(), "default");
    EXPECT_EQ(prefs.GetBinary("zero", buffer, sizeof buffer, -1), -1) << "no bytes read as missing";
    prefs.SetBinary("six", "abcdef", 6, -1, false);
    EXPECT_EQ(prefs.GetBinary("six", nullptr, 0, -1), 6);
    EXPECT_EQ(prefs.GetBinary("six", buffer, sizeof buffer, -1), 6) << "too small: the size, nothing copied";
}

TEST_F(Prefs, PlayersCopyThroughTheirTransportText)
{
    TPrefs prefs("", true);
    prefs.SetStr("name", "Ann", 0, false);
    prefs.SetInt("level", 9, 0, false);
    prefs.SetStr("note", "a \"quoted\" <b>", 0, false);
    str text = prefs.GetUserStr(0);
    ASSERT_GT(text.length(), 2);
    EXPECT_EQ(text[0], '"');
    EXPECT_EQ(text[text.length() - 1], '"');
    EXPECT_STREQ(prefs.GetUserStr(7).c_str(), "");

    testing::internal::CaptureStderr();
    prefs.SetStr("stale", "gone", 3, false);
    prefs.SetUserStr(3, text);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Ann"), std::string::npos) << "the installed player is logged";
    EXPECT_EQ(prefs.GetNumUsers(), 4);
    EXPECT_STREQ(prefs.GetStr("name", "", 3).c_str(), "Ann");
    EXPECT_EQ(prefs.GetInt("level", 0, 3), 9);
    EXPECT_STREQ(prefs.GetStr("note", "", 3).c_str(), "a \"quoted\" <b>");
    EXPECT_STREQ(prefs.GetStr("stale", "none", 3).c_str(), "none") << "the element is replaced";

    testing::internal::CaptureStderr();
    prefs.SetUserStr(1, str("\"not base64 at all\xFF\""));
    testing::internal::GetCapturedStderr();
    EXPECT_STREQ(prefs.GetStr("name", "none", 1).c_str(), "none");
}

TEST_F(Prefs, DeletingAPlayerMovesTheLaterOnesDown)
{
    TPrefs prefs("", true);
    for (int user = 0; user < 3; ++user)
        prefs.SetInt("id", user, user, false);
    prefs.DeleteUser(1);
    EXPECT_EQ(prefs.GetNumUsers(), 2);
    EXPECT_EQ(prefs.GetInt("id", -1, 1), 2);
    prefs.DeleteUser(5);
    prefs.DeleteUser(-1);
    EXPECT_EQ(prefs.GetNumUsers(), 2);
}

TEST_F(Prefs, InstallationsShareOneFileEachReadingItsOwnSection)
{
    setInstallKey("first copy");
    {
        TPrefs prefs(ENCRYPTION_KEY, true);
        EXPECT_STREQ(prefs.GetInstallKey().c_str(), "first copy");
        prefs.SetStr("who", "first", -1, true);
    }
    setInstallKey("second copy\n");
    {
        TPrefs prefs(ENCRYPTION_KEY, true);
        EXPECT_STREQ(prefs.GetStr("who", "nobody", -1).c_str(), "nobody");
        prefs.SetStr("who", "second", -1, true);
    }
    setInstallKey("first copy");
    {
        TPrefs prefs(ENCRYPTION_KEY, true);
        EXPECT_STREQ(prefs.GetStr("who", "", -1).c_str(), "first");
    }
    // An empty key file adopts the last section, whatever its key.
    setInstallKey("");
    TPrefs prefs(ENCRYPTION_KEY, true);
    EXPECT_STREQ(prefs.GetInstallKey().c_str(), "second copy\n");
    EXPECT_STREQ(prefs.GetStr("who", "", -1).c_str(), "second");
}

TEST_F(Prefs, WithoutAKeyFileTheWorkingFolderIsTheInstallation)
{
    TPrefs prefs("", true);
    EXPECT_EQ(std::string(prefs.GetInstallKey().c_str()), fs::current_path().string());
}

TEST(PrefsChecksum, HighBytesSetTheBitsAboveThem)
{
    EXPECT_EQ(TPrefs::Checksum("", 0), 0);
    EXPECT_EQ(TPrefs::Checksum("abcd", 4), static_cast<int>(0x64636261u));
    EXPECT_EQ(TPrefs::Checksum("abcde", 5), static_cast<int>(0x64636261u ^ 0x65u));
    EXPECT_EQ(TPrefs::Checksum("a\xE9", 2), static_cast<int>(0xFFFFE961u));
}
