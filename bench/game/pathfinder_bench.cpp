// Floor path-finding on a full restaurant floor: eight tables and the bar.
// BM_PathSearch: one whole search corner to corner (the game's slice budget
// is never reached, so this is the cost of a search done in one frame).
// BM_PathSlice: the same search cut into slices of a fixed number of
// expansions, reporting the time of one frame's slice and the slices needed.
// BM_PathUnreachable: the worst case, a goal walled in, where the search
// expands every reachable square.
#include "game/rules/pathfinder.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

const std::vector<TRect> kTables = {{240, 230, 320, 300}, {400, 230, 480, 300}, {240, 340, 320, 410},
                                    {400, 340, 480, 410}, {240, 450, 320, 520}, {400, 450, 480, 520},
                                    {540, 300, 600, 360}, {540, 420, 600, 480}};
const TRect kBar{650, 220, 720, 520};
const TVec2 kFrom(190, 590), kTo(790, 210);

void BM_PathSearch(benchmark::State& state)
{
    TPathfinder finder([] { return std::uint32_t(0); });
    finder.SetTables(kTables, &kBar, 20);
    for (auto _ : state) {
        finder.Reset();
        finder.Start(kFrom, kTo);
        benchmark::DoNotOptimize(finder.GetPath().size());
    }
    state.counters["route_points"] = double(finder.GetPath().size());
}
BENCHMARK(BM_PathSearch)->Unit(benchmark::kMicrosecond);

// A timer that moves 1 ms at each reading: a slice does about 30 expansions.
void BM_PathSlice(benchmark::State& state)
{
    std::uint32_t now = 0;
    TPathfinder finder([&now] { return ++now; });
    finder.SetTables(kTables, &kBar, 20);
    std::int64_t slices = 0, searches = 0;
    TVec2 pos = kFrom;
    finder.Start(kFrom, kTo);
    for (auto _ : state) {
        if (finder.IsReady()) {
            state.PauseTiming();
            finder.Reset();
            finder.Start(kFrom, kTo);  // its first slice is not timed
            ++searches;
            state.ResumeTiming();
            continue;
        }
        finder.Update(pos, &pos, 0, 0);
        ++slices;
    }
    state.counters["slices_per_search"] = searches ? double(slices) / double(searches) : 0;
}
BENCHMARK(BM_PathSlice)->Unit(benchmark::kMicrosecond);

void BM_PathUnreachable(benchmark::State& state)
{
    std::vector<TRect> walled = kTables;
    walled.push_back({730, 180, 800, 190});
    walled.push_back({730, 180, 740, 260});
    walled.push_back({730, 250, 800, 260});
    TPathfinder finder([] { return std::uint32_t(0); });
    finder.SetTables(walled, &kBar, 0);
    for (auto _ : state) {
        finder.Reset();
        finder.Start(kFrom, TVec2(770, 220));
        benchmark::DoNotOptimize(finder.GetPath().size());
    }
}
BENCHMARK(BM_PathUnreachable)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
