// OpenBrowser hands the address to xdg-open as one argument: no shell ever
// reads it. A stand-in xdg-open on PATH records what it was given.
#include "engine/platform/browser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

TEST(Browser, AddressReachesXdgOpenAsOneUntouchedArgument)
{
    char pattern[] = "/tmp/qm_browser_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    std::string dir = pattern;
    std::string record = dir + "/args";
    {
        std::ofstream script(dir + "/xdg-open");
        script << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > \"" << record << ".tmp\"\nmv \"" << record << ".tmp\" \""
               << record << "\"\n";
    }
    std::filesystem::permissions(dir + "/xdg-open", std::filesystem::perms::owner_all);
    std::string savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (dir + ":" + savedPath).c_str(), 1);

    const std::string url = "https://example.org/?q=\"x\" $(touch " + dir + "/pwned); `id`&a=1";
    ASSERT_TRUE(qm::IsWebAddress(url.c_str()));
    EXPECT_TRUE(qm::SpawnBrowser(url.c_str()));
    // Waits for the stand-in to finish (not a timing check: it only bounds the wait).
    for (int i = 0; i < 500 && !std::filesystem::exists(record); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::setenv("PATH", savedPath.c_str(), 1);

    std::ifstream in(record);
    std::stringstream got;
    got << in.rdbuf();
    EXPECT_EQ(got.str(), "1\n" + url + "\n");
    EXPECT_FALSE(std::filesystem::exists(dir + "/pwned"));
    std::filesystem::remove_all(dir);
}

namespace {

// A folder on PATH holding a stand-in xdg-open with the given body (none
// when empty), for the life of the object.
class StandInXdgOpen {
public:
    explicit StandInXdgOpen(const std::string& body)
    {
        char pattern[] = "/tmp/qm_browser_XXXXXX";
        mDir = ::mkdtemp(pattern) ? pattern : "";
        if (!body.empty()) {
            std::ofstream(mDir + "/xdg-open") << "#!/bin/sh\n" << body << "\n";
            std::filesystem::permissions(mDir + "/xdg-open", std::filesystem::perms::owner_all);
        }
        mSavedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        // Nothing else on PATH: no xdg-open of the machine's answers instead.
        ::setenv("PATH", (mDir + ":/bin:/usr/bin").c_str(), 1);
        if (body.empty())
            ::setenv("PATH", mDir.c_str(), 1);
    }
    ~StandInXdgOpen()
    {
        ::setenv("PATH", mSavedPath.c_str(), 1);
        std::filesystem::remove_all(mDir);
    }

private:
    std::string mDir, mSavedPath;
};

}  // namespace

// No browser to be had: xdg-open missing, or answering that it found none
// (exit status 3), is a failure the caller hears of.
TEST(Browser, NoBrowserToStartIsAFailure)
{
    {
        StandInXdgOpen none("");
        EXPECT_FALSE(qm::SpawnBrowser("https://example.org/"));
    }
    {
        StandInXdgOpen refuses("exit 3");
        EXPECT_FALSE(qm::SpawnBrowser("https://example.org/"));
    }
    {
        StandInXdgOpen opens("exit 0");
        EXPECT_TRUE(qm::SpawnBrowser("https://example.org/"));
    }
}
