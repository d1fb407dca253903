// A save killed mid-write leaves its temporary file behind. The next save or
// load of that file removes such leftovers, and only them: a temporary that a
// running save still holds, and every other file beside it, stay; while
// another process's save is between creating its temporary and locking it,
// nothing is removed.
#include "engine/base/encryptionkey.h"
#include "engine/base/prefs.h"
#include "engine/base/safefile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class SaveLeftovers : public ::testing::Test {
protected:
    void SetUp() override
    {
        mRoot = fs::temp_directory_path() / ("qm_leftovers_" + std::to_string(::getpid()));
        fs::remove_all(mRoot);
        fs::create_directories(folder());
        mOldHome = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
        ::setenv("XDG_DATA_HOME", (mRoot / "xdg").c_str(), 1);
    }

    void TearDown() override
    {
        if (mOldHome.empty())
            ::unsetenv("XDG_DATA_HOME");
        else
            ::setenv("XDG_DATA_HOME", mOldHome.c_str(), 1);
        std::error_code ignored;
        fs::remove_all(mRoot, ignored);
    }

    fs::path folder() const { return mRoot / "xdg" / "corvellatrip"; }

    void touch(const std::string& name) { std::ofstream(folder() / name) << "partial"; }

    fs::path mRoot;
    std::string mOldHome;
};

}  // namespace

TEST_F(SaveLeftovers, NextLoadOrSaveRemovesOnlyAbandonedTemporaries)
{
    struct Case {
        const char* action;
        bool cleans;  // a read-only store writes nothing, removes nothing
        std::function<void()> run;
    };
    const Case cases[] = {
        {"load", true, [] { TPrefs prefs(ENCRYPTION_KEY, true); EXPECT_EQ(prefs.GetInt("level", 0, -1), 7); }},
        {"save", true, [] { TPrefs prefs(ENCRYPTION_KEY, true); prefs.SetInt("level", 7, -1, true); }},
        {"read-only load", false, [] { TPrefs prefs(ENCRYPTION_KEY, false); EXPECT_EQ(prefs.GetInt("level", 0, -1), 7); }},
    };
    const char* stale[] = {"prefs.dat.a1B2c3", "prefs.dat.ZZZZZZ", "prefs.dat.000000"};
    const char* kept[] = {"prefs.dat", "prefs.dat.bad", "prefs.dat.bad2", "prefs.dat.part",
                          "prefs.dat.1234567", "prefs.dat.abc-de", "hiscore.dat.abcdef", "xprefs.dat.abcdef"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        {
            TPrefs prefs(ENCRYPTION_KEY, true);
            prefs.SetInt("level", 7, -1, true);
        }
        // Leftovers of a save killed a moment ago.
        for (const char* name : stale)
            touch(name);
        for (const char* name : kept)
            if (!fs::exists(folder() / name))
                touch(name);
        // A save in progress elsewhere holds its temporary locked.
        touch("prefs.dat.Live99");
        int live = ::open((folder() / "prefs.dat.Live99").c_str(), O_RDONLY);
        ASSERT_GE(live, 0);
        ASSERT_EQ(::flock(live, LOCK_EX), 0);

        c.run();

        ::close(live);
        for (const char* name : stale)
            EXPECT_NE(fs::exists(folder() / name), c.cleans) << name;
        for (const char* name : kept)
            EXPECT_TRUE(fs::exists(folder() / name)) << name;
        EXPECT_TRUE(fs::exists(folder() / "prefs.dat.Live99"));
        fs::remove(folder() / "prefs.dat.Live99");
        TPrefs check(ENCRYPTION_KEY, false);
        EXPECT_EQ(check.GetInt("level", 0, -1), 7);
    }
}

TEST_F(SaveLeftovers, ATemporaryAnotherSaveHasJustCreatedIsNotTakenForALeftover)
{
    {
        TPrefs prefs(ENCRYPTION_KEY, true);
        prefs.SetInt("level", 7, -1, true);
    }
    // Another process's save has created its temporary and not locked it
    // yet: it holds the folder meanwhile.
    touch("prefs.dat.New123");
    const int other = ::open(folder().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_SH), 0);

    EXPECT_EQ(qm::RemoveStaleTemporaries(str((folder() / "prefs.dat").c_str())), 0);
    {
        TPrefs prefs(ENCRYPTION_KEY, true);
        prefs.SetInt("level", 8, -1, true);  // a save of this process goes on meanwhile
    }
    EXPECT_TRUE(fs::exists(folder() / "prefs.dat.New123"));

    // Once it has locked its temporary the folder is free again; had it been
    // killed instead, the next pass removes what it left.
    ::close(other);
    EXPECT_EQ(qm::RemoveStaleTemporaries(str((folder() / "prefs.dat").c_str())), 1);
    EXPECT_FALSE(fs::exists(folder() / "prefs.dat.New123"));
    TPrefs check(ENCRYPTION_KEY, false);
    EXPECT_EQ(check.GetInt("level", 0, -1), 8);
}

// The lock a running game holds on its saves: a second holder, in this
// process or another, is refused until the first lets go (or dies).
TEST_F(SaveLeftovers, TheSavesLockIsHeldByOneAtATime)
{
    const str path = str((folder() / "running.lock").c_str());
    {
        qm::TLockFile first(path);
        ASSERT_TRUE(first.Held());
        qm::TLockFile second(path);
        EXPECT_FALSE(second.Held());
        EXPECT_TRUE(second.HeldElsewhere());
        // A child process (another game) is refused as well.
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(qm::TLockFile(path).HeldElsewhere() ? 0 : 1);
        int status = -1;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    qm::TLockFile after(path);
    EXPECT_TRUE(after.Held()) << "let go when its holder went";
    // Where no lock file can be made, nobody holds one: nothing is refused.
    qm::TLockFile nowhere(str((mRoot / "missing" / "running.lock").c_str()));
    EXPECT_FALSE(nowhere.Held());
    EXPECT_FALSE(nowhere.HeldElsewhere());
}

// A save that fails says why through errno, for the player to be told.
TEST_F(SaveLeftovers, AFailedSaveSaysWhy)
{
    const std::string name(300, 'n');
    errno = 0;
    EXPECT_FALSE(qm::WriteFileReplacing(str((folder() / name).c_str()), "x", 1));
    EXPECT_EQ(errno, ENAMETOOLONG);
    errno = 0;
    EXPECT_FALSE(qm::WriteFileReplacing(str((mRoot / "missing" / "prefs.dat").c_str()), "x", 1));
    EXPECT_EQ(errno, ENOENT);
    TPrefs prefs(str(""), true);
    EXPECT_EQ(prefs.GetLastSaveError(), 0);
    EXPECT_TRUE(prefs.SavePrefs());
    EXPECT_EQ(prefs.GetLastSaveError(), 0);
}
