#include "http_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {
long gLongest = 0;
}

long LongestPollMicroseconds()
{
    return gLongest;
}

void ResetLongestPoll()
{
    gLongest = 0;
}

namespace {

// Reports the longest single poll of each test: requests must never hold up a frame.
class TPollReport : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { ResetLongestPoll(); }
    void OnTestEnd(const testing::TestInfo& info) override
    {
        if (gLongest > 0)
            std::printf("[ poll     ] %s.%s: longest status poll %ld us\n", info.test_suite_name(), info.name(), gLongest);
    }
};

const bool gReportInstalled = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new TPollReport);
    // The tests talk to 127.0.0.1 only: a proxy from the environment must not step in.
    for (const char* name : {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"})
        ::unsetenv(name);
    return true;
}();

}  // namespace

int PollUntilNot(int running, const std::function<int()>& poll)
{
    using Clock = std::chrono::steady_clock;
    const auto limit = Clock::now() + std::chrono::seconds(30);
    for (;;) {
        auto before = Clock::now();
        int status = poll();
        auto took = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - before).count();
        gLongest = std::max<long>(gLongest, took);
        if (status != running || Clock::now() > limit)
            return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
