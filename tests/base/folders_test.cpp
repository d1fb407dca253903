#include "engine/base/folders.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Runs each test in a fresh working directory, as the game runs in its resource folder.
class FoldersTest : public testing::Test {
protected:
    void SetUp() override
    {
        previous = fs::current_path();
        root = fs::temp_directory_path() / ("qm_folders_" + std::to_string(::getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "assets" / "fonts");
        fs::current_path(root);
    }
    void TearDown() override
    {
        fs::current_path(previous);
        fs::remove_all(root);
    }
    static void writeFile(const fs::path& path, const char* text)
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fputs(text, file);
        std::fclose(file);
    }

    fs::path previous;
    fs::path root;
};

}  // namespace

TEST_F(FoldersTest, ResourcesOpenFromTheWorkingFolderThenAssets)
{
    writeFile(root / "here.txt", "1");
    writeFile(root / "assets" / "there.txt", "2");
    char path[qm::kPathBufferSize];

    std::FILE* here = qm::OpenResource("here.txt", path);
    ASSERT_NE(here, nullptr);
    std::fclose(here);
    EXPECT_EQ(fs::path(path), root / "here.txt");

    std::FILE* there = qm::OpenResource("there.txt", path);
    ASSERT_NE(there, nullptr);
    std::fclose(there);
    EXPECT_EQ(fs::path(path), root / "assets" / "there.txt");

    EXPECT_EQ(qm::OpenResource("missing.txt", path), nullptr);
    EXPECT_EQ(fs::path(path), root / "assets" / "missing.txt");
}

TEST_F(FoldersTest, FoldersAreNotResources)
{
    char path[qm::kPathBufferSize];
    EXPECT_EQ(qm::OpenResource("assets", path), nullptr);
    EXPECT_EQ(qm::OpenResource("fonts", path), nullptr);
    EXPECT_EQ(qm::OpenResource("/", path), nullptr);
}

TEST_F(FoldersTest, NamesTooLongForThePathBufferFailCleanly)
{
    std::string longName(qm::kPathBufferSize + 10, 'x');
    char path[qm::kPathBufferSize];
    EXPECT_EQ(qm::OpenResource(longName.c_str(), path), nullptr);

    char small[4];
    EXPECT_FALSE(qm::CopyPath(small, sizeof small, "abcd"));
    EXPECT_STREQ(small, "");
    EXPECT_TRUE(qm::CopyPath(small, sizeof small, "abc"));
    EXPECT_STREQ(small, "abc");
}

TEST_F(FoldersTest, MakeDirectoriesCreatesEveryParentPrivately)
{
    fs::path deep = root / "a" / "b" / "c";
    ASSERT_TRUE(qm::MakeDirectories(str(deep.c_str()), 0700));
    for (const fs::path& folder : {root / "a", root / "a" / "b", deep}) {
        struct stat info;
        ASSERT_EQ(::stat(folder.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u) << folder;
    }
    EXPECT_TRUE(qm::MakeDirectories(str(deep.c_str()), 0700));
    writeFile(root / "file", "x");
    EXPECT_FALSE(qm::MakeDirectories(str((root / "file" / "below").c_str()), 0700));
}
