#include "engine/base/directorysearch.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class DirectorySearchTest : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/qm_dirsearch_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(root); }

    void touch(const std::string& name)
    {
        std::FILE* f = std::fopen((root + "/" + name).c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }

    std::vector<std::string> list(TDirectorySearch& search, unsigned long size = 512)
    {
        std::vector<std::string> names;
        std::vector<char> buffer(size);
        while (search.GetNextFile(buffer.data(), size))
            names.emplace_back(buffer.data());
        return names;
    }

    std::string root;
};

}  // namespace

TEST_F(DirectorySearchTest, EmptyDirectoryListsDotsThenEnds)
{
    TDirectorySearch search(root.c_str());
    EXPECT_EQ(list(search), (std::vector<std::string>{".", ".."}));
    char buffer[512];
    EXPECT_FALSE(search.GetNextFile(buffer, sizeof buffer));
}

TEST_F(DirectorySearchTest, EntriesComeInByteOrder)
{
    for (const char* name : {"frame10.png", "frame2.png", "Frame1.png", "frame1.png", "b", "\xC3\xA9t\xC3\xA9", "_x"})
        touch(name);
    std::filesystem::create_directory(root + "/folder");
    TDirectorySearch search(root.c_str());
    EXPECT_EQ(list(search), (std::vector<std::string>{".", "..", "Frame1.png", "_x", "b", "folder", "frame1.png",
                                                      "frame10.png", "frame2.png", "\xC3\xA9t\xC3\xA9"}));
}

TEST_F(DirectorySearchTest, MissingPathAndNoPathListNothing)
{
    char buffer[512];
    TDirectorySearch none;
    EXPECT_FALSE(none.GetNextFile(buffer, sizeof buffer));
    TDirectorySearch missing((root + "/nope").c_str());
    EXPECT_FALSE(missing.GetNextFile(buffer, sizeof buffer));
}

TEST_F(DirectorySearchTest, ResetStartsAgainAndLongNamesAreSkipped)
{
    touch("a-rather-long-name");
    touch("ok");
    TDirectorySearch search(root.c_str());
    testing::internal::CaptureStderr();
    EXPECT_EQ(list(search, 8), (std::vector<std::string>{".", "..", "ok"}));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("a-rather-long-name"), std::string::npos);
    char buffer[512];
    EXPECT_FALSE(search.GetNextFile(buffer, sizeof buffer));
    search.Reset(root.c_str());
    EXPECT_EQ(list(search).size(), 4u);
}
