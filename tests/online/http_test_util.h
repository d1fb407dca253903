// Polling helpers: the tests poll like a game frame does, once a millisecond.
#pragma once

#include "online/simplehttp.h"

#include <chrono>
#include <functional>

// Longest single poll seen since the start of the test program, in microseconds.
long LongestPollMicroseconds();
void ResetLongestPoll();

// Calls poll() once a millisecond until it returns something other than
// `running`, or a generous safety limit passes (then returns `running`).
// Each call is timed for LongestPollMicroseconds.
int PollUntilNot(int running, const std::function<int()>& poll);

inline int WaitForHttp(TSimpleHttp& http)
{
    return PollUntilNot(TSimpleHttp::kRunning, [&] { return http.GetStatus(); });
}
