// A game started as root on a player's data home leaves every file there
// the player's: a replaced file keeps its owner, group and mode, and a file
// or folder made new takes the owner of the folder it is made in. Giving
// files away needs root: without it these tests are skipped.
#include "engine/base/folders.h"
#include "engine/base/ownership.h"
#include "engine/base/safefile.h"

#include "otheruser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using qmtest::kNobody;

namespace {

class Ownership : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!qmtest::IsRoot())
            GTEST_SKIP() << "giving a file to another user needs root";
        mRoot = fs::temp_directory_path() / ("qm_ownership_" + std::to_string(::getpid()));
        fs::remove_all(mRoot);
        fs::create_directories(mRoot / "player");
        fs::create_directories(mRoot / "root");
        ASSERT_EQ(::chown((mRoot / "player").c_str(), kNobody, kNobody), 0);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(mRoot, ignored);
    }

    str Path(const char* name) const { return str((mRoot / name).c_str()); }
    static struct stat Stat(const str& path)
    {
        struct stat info {};
        EXPECT_EQ(::stat(path.c_str(), &info), 0) << path.c_str();
        return info;
    }
    static void ExpectOwner(const str& path, uid_t owner)
    {
        const struct stat info = Stat(path);
        EXPECT_EQ(info.st_uid, owner) << path.c_str();
        EXPECT_EQ(info.st_gid, owner) << path.c_str();
    }
    static bool Replace(const str& path, const std::string& bytes)
    {
        return qm::WriteFileReplacing(path, bytes.data(), bytes.size());
    }

    fs::path mRoot;
};

}  // namespace

TEST_F(Ownership, AReplacedFileKeepsItsOwnerGroupAndMode)
{
    const str prefs = Path("root/prefs.dat");
    ASSERT_TRUE(Replace(prefs, "first"));
    ASSERT_EQ(::chown(prefs.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chmod(prefs.c_str(), 0640), 0);
    ASSERT_TRUE(Replace(prefs, "second"));
    ExpectOwner(prefs, kNobody);
    EXPECT_EQ(Stat(prefs).st_mode & 07777, 0640u);

    // Root's own file stays root's, whatever folder it stands in.
    const str mine = Path("player/root.dat");
    ASSERT_TRUE(Replace(mine, "first"));
    ASSERT_EQ(::chown(mine.c_str(), 0, 0), 0);
    ASSERT_EQ(::chmod(mine.c_str(), 0600), 0);
    ASSERT_TRUE(Replace(mine, "second"));
    ExpectOwner(mine, 0);
    EXPECT_EQ(Stat(mine).st_mode & 07777, 0600u);
}

// prefs.dat and hiscore.dat made new, the lock, the metrics file, the data
// home itself and the folders made above it.
TEST_F(Ownership, EverythingMadeNewInAPlayersFolderIsThePlayers)
{
    ASSERT_TRUE(Replace(Path("player/prefs.dat"), "new"));
    ExpectOwner(Path("player/prefs.dat"), kNobody);
    EXPECT_EQ(Stat(Path("player/prefs.dat")).st_mode & 07777, 0600u);
    {
        qm::TLockFile lock(Path("player/running.lock"));
        EXPECT_TRUE(lock.Held());
    }
    ExpectOwner(Path("player/running.lock"), kNobody);
    std::FILE* metrics = qm::OpenForAppending(Path("player/metrics.txt"));
    ASSERT_NE(metrics, nullptr);
    std::fclose(metrics);
    ExpectOwner(Path("player/metrics.txt"), kNobody);
    ASSERT_TRUE(qm::MakeDirectories(Path("player/share/corvellatrip/levels"), 0700));
    for (const char* folder : {"player/share", "player/share/corvellatrip", "player/share/corvellatrip/levels"})
        ExpectOwner(Path(folder), kNobody);
    ASSERT_TRUE(Replace(Path("player/share/corvellatrip/levels/Mine.xml"), "<level/>"));
    ExpectOwner(Path("player/share/corvellatrip/levels/Mine.xml"), kNobody);
}

// Root's game on root's own data home, and a file that stands there already
// (a lock file left by another game) is opened as it is.
TEST_F(Ownership, InRootsOwnFolderRootsFilesStayRoots)
{
    ASSERT_TRUE(qm::MakeDirectories(Path("root/share/corvellatrip"), 0700));
    ExpectOwner(Path("root/share/corvellatrip"), 0);
    ASSERT_TRUE(Replace(Path("root/share/corvellatrip/prefs.dat"), "new"));
    ExpectOwner(Path("root/share/corvellatrip/prefs.dat"), 0);

    std::ofstream(mRoot / "player" / "running.lock") << "";
    ASSERT_EQ(::chown((mRoot / "player" / "running.lock").c_str(), 0, 0), 0);
    qm::TLockFile lock(Path("player/running.lock"));
    EXPECT_TRUE(lock.Held());
    ExpectOwner(Path("player/running.lock"), 0);
}

TEST_F(Ownership, TheOwnerIsNamedOrNumbered)
{
    std::ofstream(mRoot / "root" / "a") << "";
    EXPECT_EQ(qm::OwnerName(Path("root/a")), "root");
    ASSERT_EQ(::chown((mRoot / "root" / "a").c_str(), 54321, 54321), 0);
    EXPECT_EQ(qm::OwnerName(Path("root/a")), "54321");
    EXPECT_EQ(qm::OwnerName(Path("root/missing")), "");
}
