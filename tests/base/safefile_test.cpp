// What the program reads and locks among the player's files is a regular
// file: a folder, a pipe, a device (or a link to one) by that name is
// refused without waiting on it or reading it to no end, and so is a file
// larger than its kind could be. The lock file and the metrics file are
// opened the same way.
#include "engine/base/safefile.h"

#include "otheruser.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using qm::EFileProblem;

namespace {

// A call that waits for ever ends the test program (SIGALRM) instead of
// holding up the whole run.
class TNoHang {
public:
    TNoHang() { ::alarm(120); }
    ~TNoHang() { ::alarm(0); }
    TNoHang(const TNoHang&) = delete;
    TNoHang& operator=(const TNoHang&) = delete;
};

class SafeFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        mRoot = fs::temp_directory_path() / ("qm_safefile_" + std::to_string(::getpid()));
        fs::remove_all(mRoot);
        fs::create_directories(mRoot);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(mRoot, ignored);
    }

    str Path(const char* name) const { return str((mRoot / name).c_str()); }
    void Write(const char* name, const std::string& bytes) const
    {
        std::ofstream(mRoot / name, std::ios::binary) << bytes;
    }

    fs::path mRoot;
};

}  // namespace

TEST_F(SafeFile, OnlyARegularFileWithinItsBoundIsRead)
{
    constexpr std::size_t kLimit = 64;
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> make;
        EFileProblem problem;
        std::string bytes;
    };
    const Case cases[] = {
        {"a file", [](const fs::path& p) { std::ofstream(p) << "saved"; }, EFileProblem::kNone, "saved"},
        {"a file as large as the bound", [](const fs::path& p) { std::ofstream(p) << std::string(kLimit, 'x'); },
         EFileProblem::kNone, std::string(kLimit, 'x')},
        {"a file a byte larger", [](const fs::path& p) { std::ofstream(p) << std::string(kLimit + 1, 'x'); },
         EFileProblem::kTooLarge, ""},
        {"a gigabyte of nothing", [](const fs::path& p) { std::ofstream{p}; fs::resize_file(p, 1ull << 30); },
         EFileProblem::kTooLarge, ""},
        {"a folder", [](const fs::path& p) { fs::create_directory(p); }, EFileProblem::kFolder, ""},
        {"a pipe", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, EFileProblem::kNotAFile, ""},
        {"a link to the zero device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); },
         EFileProblem::kNotAFile, ""},
        {"a link to the null device", [](const fs::path& p) { fs::create_symlink("/dev/null", p); },
         EFileProblem::kNotAFile, ""},
        {"a link to a folder", [](const fs::path& p) { fs::create_directory_symlink("/", p); }, EFileProblem::kFolder,
         ""},
        {"a link to nowhere", [this](const fs::path& p) { fs::create_symlink(mRoot / "nowhere", p); },
         EFileProblem::kMissing, ""},
        {"nothing", [](const fs::path&) {}, EFileProblem::kMissing, ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path path = mRoot / ("file" + std::to_string(n++));
        c.make(path);
        std::string bytes = "left from before";
        EFileProblem problem = EFileProblem::kNone;
        const TNoHang guard;
        EXPECT_EQ(qm::ReadWholeFile(str(path.c_str()), &bytes, kLimit, &problem), c.problem == EFileProblem::kNone);
        EXPECT_EQ(problem, c.problem);
        EXPECT_EQ(bytes, c.bytes);
    }
}

// A pipe someone writes to and keeps open would be read up to what was
// written and then wait for ever.
TEST_F(SafeFile, APipeThatIsWrittenToIsNotReadEither)
{
    const fs::path pipe = mRoot / "prefs.dat";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::FILE* writer = std::fopen(pipe.c_str(), "r+");  // (opens at once: it reads too)
    ASSERT_NE(writer, nullptr);
    std::fputs("<not all of it", writer);
    std::fflush(writer);
    std::string bytes;
    EFileProblem problem = EFileProblem::kNone;
    {
        const TNoHang guard;
        EXPECT_FALSE(qm::ReadWholeFile(str(pipe.c_str()), &bytes, 1 << 20, &problem));
    }
    std::fclose(writer);
    EXPECT_EQ(problem, EFileProblem::kNotAFile);
    EXPECT_EQ(bytes, "");
}

TEST_F(SafeFile, TheProblemIsWordedForTheLog)
{
    EXPECT_EQ(qm::FileProblemText(EFileProblem::kTooLarge, 4096), "is larger than 4096 bytes");
    EXPECT_EQ(qm::FileProblemText(EFileProblem::kFolder, 4096), "is a folder");
    EXPECT_NE(qm::FileProblemText(EFileProblem::kNotAFile, 4096).find("no regular file"), std::string::npos);
}

TEST_F(SafeFile, AppendingOpensOnlyARegularFileAndNeverWaits)
{
    std::FILE* file = qm::OpenForAppending(Path("metrics.txt"));
    ASSERT_NE(file, nullptr);
    std::fputs("one\n", file);
    std::fclose(file);
    file = qm::OpenForAppending(Path("metrics.txt"));
    ASSERT_NE(file, nullptr);
    std::fputs("two\n", file);
    std::fclose(file);
    std::string bytes;
    ASSERT_TRUE(qm::ReadWholeFile(Path("metrics.txt"), &bytes, 100));
    EXPECT_EQ(bytes, "one\ntwo\n");
    EXPECT_EQ(fs::status(mRoot / "metrics.txt").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    ASSERT_EQ(::mkfifo((mRoot / "pipe").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", mRoot / "null");
    fs::create_directory(mRoot / "folder");
    const TNoHang guard;
    for (const char* name : {"pipe", "null", "folder"}) {
        SCOPED_TRACE(name);
        std::FILE* other = qm::OpenForAppending(Path(name));
        EXPECT_EQ(other, nullptr);
        if (other)
            std::fclose(other);
    }
}

TEST_F(SafeFile, ALockIsTakenOnlyOnARegularFile)
{
    EXPECT_FALSE(qm::LockHeldElsewhere(Path("running.lock"))) << "nothing there";
    {
        qm::TLockFile first(Path("running.lock"));
        EXPECT_TRUE(first.Held());
        EXPECT_TRUE(qm::LockHeldElsewhere(Path("running.lock")));
        qm::TLockFile second(Path("running.lock"));
        EXPECT_FALSE(second.Held());
        EXPECT_TRUE(second.HeldElsewhere());
    }
    EXPECT_FALSE(qm::LockHeldElsewhere(Path("running.lock"))) << "a file left unlocked";
    ASSERT_EQ(::mkfifo((mRoot / "pipe.lock").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", mRoot / "zero.lock");
    fs::create_directory(mRoot / "folder.lock");
    const TNoHang guard;
    for (const char* name : {"pipe.lock", "zero.lock", "folder.lock"}) {
        SCOPED_TRACE(name);
        testing::internal::CaptureStderr();
        qm::TLockFile lock(Path(name));
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(lock.Held());
        EXPECT_FALSE(lock.HeldElsewhere()) << "no one holds it: the name cannot serve";
        EXPECT_FALSE(qm::LockHeldElsewhere(Path(name)));
        EXPECT_FALSE(log.empty()) << "the log says why";
    }
}

// Another user's lock file (what a start with sudo leaves): one this user
// may not open cannot serve as a lock, one it may read still locks.
TEST_F(SafeFile, AnotherUsersLockFileLocksOnlyWhenItCanBeOpened)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a file of another user needs root to make";
    fs::permissions(mRoot, fs::perms::all);
    // 1 held, 2 held elsewhere, 0 neither.
    const auto lockAsNobody = [](const str& path) {
        return qmtest::RunAsOtherUser([&path] {
            qm::TLockFile lock(path);
            return lock.Held() ? 1 : lock.HeldElsewhere() ? 2 : 0;
        });
    };
    const auto heldElsewhereAsNobody = [](const str& path) {
        return qmtest::RunAsOtherUser([&path] { return qm::LockHeldElsewhere(path) ? 1 : 0; });
    };
    Write("private.lock", "");
    fs::permissions(mRoot / "private.lock", fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(lockAsNobody(Path("private.lock")), 0);
    // Though it may not open it, that user still sees that a game holds it.
    EXPECT_EQ(heldElsewhereAsNobody(Path("private.lock")), 0);
    {
        qm::TLockFile game(Path("private.lock"));
        ASSERT_TRUE(game.Held());
        EXPECT_EQ(heldElsewhereAsNobody(Path("private.lock")), 1);
    }
    Write("readable.lock", "");
    fs::permissions(mRoot / "readable.lock", fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    EXPECT_EQ(lockAsNobody(Path("readable.lock")), 1);
    qm::TLockFile held(Path("readable.lock"));
    ASSERT_TRUE(held.Held());
    EXPECT_EQ(lockAsNobody(Path("readable.lock")), 2);
}

// A name that cannot serve keeps the error it met first: in a folder this
// user may not write in, that is "permission denied", not the "no such file"
// of the read-only opening tried after it; for another user's lock file, the
// same. What the game tells the player is worded from it.
TEST_F(SafeFile, ALockThatCannotBeTakenKeepsTheFirstError)
{
    const auto errorOf = [](const str& path) {
        qm::TLockFile lock(path);
        return lock.Held() || lock.HeldElsewhere() ? -1 : lock.Error();
    };
    Write("private.lock", "");
    fs::permissions(mRoot / "private.lock", fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(mRoot, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
    const str missing = Path("running.lock");
    const str foreign = Path("private.lock");
    testing::internal::CaptureStderr();
    if (::geteuid() == 0) {
        // (as another user: root may write anywhere)
        EXPECT_EQ(qmtest::RunAsOtherUser([&] { return errorOf(missing); }), EACCES);
        EXPECT_EQ(qmtest::RunAsOtherUser([&] { return errorOf(foreign); }), EACCES);
    } else {
        fs::permissions(mRoot, fs::perms::owner_write, fs::perm_options::remove);
        fs::permissions(mRoot / "private.lock", fs::perms::none);
        EXPECT_EQ(errorOf(missing), EACCES);
        EXPECT_EQ(errorOf(foreign), EACCES);
        fs::permissions(mRoot, fs::perms::owner_all);
    }
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log.find("No such file"), std::string::npos) << log;
    EXPECT_NE(log.find("Cannot open the lock file " + std::string(missing.c_str()) + " (Permission denied)"),
              std::string::npos)
        << log;
    fs::create_directory(mRoot / "folder.lock");
    testing::internal::CaptureStderr();
    EXPECT_EQ(errorOf(Path("folder.lock")), 0) << "no file there: no error of opening";
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(errorOf(Path("free.lock")), -1);
}
