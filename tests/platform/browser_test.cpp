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
