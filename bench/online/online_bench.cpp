// What the online services cost a frame: a status poll with transfers in
// flight, logging a score into a full table, writing hiscore.dat, and
// reading a server's refusal of up to the hiscore limit (1 MB), which must
// grow in proportion to its size.
#include "engine/base/encrypt.h"
#include "loopback_server.h"
#include "online/hiscorefile.h"
#include "online/hiscorereply.h"
#include "online/hiscoretable.h"
#include "online/simplehttp.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char kKey[] = "QUELLMOORTESTKEY0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ0123";

TQmHiscoreTable fullTable()
{
    TQmHiscoreTable table;
    table.name = "career";
    for (int i = 0; i < qm::kMaxLocalScores; ++i) {
        TQmHiscoreRow row;
        row.name = str::getFormatted("player%d", i % 7);
        row.score = 100000 - i * 13;
        row.gameData = "restaurant 3, level 7";
        row.version = "1.2";
        row.guid = "1100fc02000033225f000000000012ab";
        qm::InsertScore(table, row, false);
    }
    return table;
}

// One poll (the pump) while n requests wait on a server that never answers.
void BM_PollWithSilentTransfers(benchmark::State& state)
{
    TLoopbackServer server([](const TLoopbackRequest&) {
        TLoopbackReply reply;
        reply.silent = true;
        return reply;
    });
    TSimpleHttp::SetTimeouts(60000, 60000);
    std::vector<std::unique_ptr<TSimpleHttp>> requests;
    for (int i = 0; i < state.range(0); ++i) {
        requests.push_back(std::make_unique<TSimpleHttp>());
        requests.back()->Init(server.Url("/go/hiscore").c_str(), false, nullptr);
        requests.back()->AddArg("n", i);
        requests.back()->DoRequest(0);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(requests.front()->GetStatus());
    requests.clear();  // abandoned; they end when the server goes
}
BENCHMARK(BM_PollWithSilentTransfers)->Arg(1)->Arg(8);

void BM_LogScoreIntoFullTable(benchmark::State& state)
{
    const TQmHiscoreTable full = fullTable();
    for (auto _ : state) {
        state.PauseTiming();
        TQmHiscoreTable table = full;
        TQmHiscoreRow row;
        row.name = "player3";
        row.score = 50000;
        state.ResumeTiming();
        qm::InsertScore(table, row, true);
        benchmark::DoNotOptimize(table.rows.data());
    }
}
BENCHMARK(BM_LogScoreIntoFullTable);

// Building, enciphering and writing hiscore.dat with one full table (fsync included).
void BM_SaveFullHiscoreFile(benchmark::State& state)
{
    std::map<str, TQmHiscoreTable> tables{{str("career"), fullTable()}};
    std::map<str, TQmHiscoreUserInfo> users;
    TEncrypt cipher{str(kKey)};
    // (a name of this run's own: another user's run may have left one)
    std::string made = (std::filesystem::temp_directory_path() / "qm-online-bench-hiscore-XXXXXX").string();
    const int fd = ::mkstemp(made.data());
    if (fd < 0) {
        state.SkipWithError("no temporary file");
        return;
    }
    ::close(fd);
    const str path(made.c_str());
    for (auto _ : state)
        benchmark::DoNotOptimize(qm::WriteHiscoreFile(path, qm::WriteHiscoreText(users, tables), cipher));
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveFullHiscoreFile)->Unit(benchmark::kMillisecond);

void BM_HiscoreTextOfFullTable(benchmark::State& state)
{
    std::map<str, TQmHiscoreTable> tables{{str("career"), fullTable()}};
    std::map<str, TQmHiscoreUserInfo> users;
    for (auto _ : state)
        benchmark::DoNotOptimize(qm::WriteHiscoreText(users, tables).length());
}
BENCHMARK(BM_HiscoreTextOfFullTable)->Unit(benchmark::kMillisecond);

// A refusal of `bytes` bytes, one word repeated, read as a score list reply.
void BM_ReadRefusal(benchmark::State& state)
{
    std::string words;
    while (words.size() < static_cast<size_t>(state.range(0)))
        words += "refused ";
    const std::string reply = "<hiscore><message>" + words + "</message></hiscore>";
    // Each reading logs the refusal: stderr goes to /dev/null meanwhile.
    std::fflush(stderr);
    const int savedStderr = ::dup(2);
    const int devNull = ::open("/dev/null", O_WRONLY);
    ::dup2(devNull, 2);
    for (auto _ : state) {
        TQmHiscoreTable scores;
        int account = -1;
        str message;
        qm::ReadScoreList(reply.c_str(), &scores, &account, &message);
        benchmark::DoNotOptimize(message.length());
    }
    std::fflush(stderr);
    ::dup2(savedStderr, 2);
    ::close(savedStderr);
    ::close(devNull);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * reply.size()));
}
BENCHMARK(BM_ReadRefusal)->Arg(64 << 10)->Arg(256 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
