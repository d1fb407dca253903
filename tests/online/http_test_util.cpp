#include "http_test_util.h"

#include <algorithm>
#include <thread>

namespace {
long gLongest = 0;
}

long LongestPollMicroseconds()
{
    return gLongest;
}

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
