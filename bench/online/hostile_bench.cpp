// The longest single status poll while a hostile server answers: an endless
// body, one byte a second, enormous headers, and valid hiscore replies far
// larger than any real one (refused) or just within the limit (read apart
// from the frame). Each iteration is one whole request polled once a
// millisecond, as a frame would; the counter "longest_poll_us" is the figure
// to watch (the target is under 2000), "longest_poll_cpu_us" the same poll's
// own work, without the time a loaded machine gives to other processes.
#include "loopback_server.h"
#include "online/hiscores.h"
#include "online/simplehttp.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <time.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

const char kKey[] = "QUELLMOORTESTKEY0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";

std::string scoreList(int rows, size_t dataBytes)
{
    std::string xml = "<?xml version=\"1.0\"?>\n<hiscore><scores>";
    const std::string data(dataBytes, 'd');
    for (int i = 0; i < rows; ++i)
        xml += "<score rank=\"" + std::to_string(i + 1) + "\" score=\"" + std::to_string(100000 - i) + "\" name=\"p" +
               std::to_string(i) + "\" data=\"" + data + "\" anonymous=\"false\"></score>";
    return xml + "</scores></hiscore>";
}

double threadCpuMicroseconds()
{
    timespec now;
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

struct TLongest {
    double wall = 0;  // includes time the machine gave to others
    double cpu = 0;   // this thread's own work in the poll
};

// Polls once a millisecond until poll() stops answering `running`; the
// longest single call, in microseconds.
TLongest longestPoll(int running, const std::function<int()>& poll)
{
    TLongest longest;
    for (;;) {
        auto before = Clock::now();
        double cpuBefore = threadCpuMicroseconds();
        int status = poll();
        longest.cpu = std::max(longest.cpu, threadCpuMicroseconds() - cpuBefore);
        longest.wall = std::max(longest.wall, std::chrono::duration<double, std::micro>(Clock::now() - before).count());
        if (status != running)
            return longest;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void report(benchmark::State& state, TLongest longest)
{
    double& wall = state.counters["longest_poll_us"].value;
    wall = std::max(wall, longest.wall);
    double& cpu = state.counters["longest_poll_cpu_us"].value;
    cpu = std::max(cpu, longest.cpu);
}

std::function<void(TLoopbackStream&)> hostile(int which)
{
    switch (which) {
    case 0: return EndlessBody(std::size_t(1) << 40);
    case 1: return DripBody(1000);
    default: return HugeHeaders(std::size_t(1) << 30);
    }
}

void BM_LongestPollHostileHttp(benchmark::State& state)
{
    TLoopbackServer server([&](const TLoopbackRequest&) {
        TLoopbackReply reply;
        reply.stream = hostile(static_cast<int>(state.range(0)));
        return reply;
    });
    TSimpleHttp::SetTimeouts(3000, 3000);  // the drip runs into it after three bytes
    state.counters["longest_poll_us"] = 0;
    for (auto _ : state) {
        TSimpleHttp http;
        http.Init(server.Url("/hostile").c_str(), false, nullptr);
        http.DoRequest(0);
        report(state, longestPoll(TSimpleHttp::kRunning, [&] { return http.GetStatus(); }));
    }
}
BENCHMARK(BM_LongestPollHostileHttp)
    ->ArgName("endless_drip_headers")
    ->DenseRange(0, 2)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// A hiscore score list of the given size, valid XML, through the service's
// status poll: beyond the service's limit it is refused, within it it is
// read on a worker thread.
void BM_LongestPollHugeHiscoreReply(benchmark::State& state)
{
    const std::string body = scoreList(static_cast<int>(state.range(0)), 1000);
    TLoopbackServer server([&](const TLoopbackRequest&) {
        TLoopbackReply reply;
        reply.stream = WholeReply(body);
        return reply;
    });
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("qm-hostile-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path oldFolder = fs::current_path();
    fs::current_path(folder);
    ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
    std::ofstream("hiscoreserver.txt") << server.Url("/go/hiscore");
    TSimpleHttp::SetTimeouts(10000, 30000);
    state.counters["longest_poll_us"] = 0;
    state.counters["reply_bytes"] = static_cast<double>(body.size());
    for (auto _ : state) {
        TQmHiscores hiscores("corvellatrip", kKey, "1.2", false);
        hiscores.SetProperty(TQmHiscores::kTableType, "career");
        hiscores.RequestScores(0);
        char text[256];
        report(state, longestPoll(TQmHiscores::kRequestRunning,
                                  [&] { return hiscores.GetServerRequestStatus(text, sizeof text, nullptr); }));
    }
    fs::current_path(oldFolder);
    fs::remove_all(folder);
}
// 100 000 rows is a 100 MB reply; 900 rows is just within the limit.
BENCHMARK(BM_LongestPollHugeHiscoreReply)->Arg(100000)->Arg(900)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
