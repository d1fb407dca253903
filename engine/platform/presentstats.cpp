#include "engine/platform/presentstats.h"

namespace {

TPresentStats gStats;

}  // namespace

namespace qm {

TPresentStats PresentStats() { return gStats; }

void CountPresent()
{
    const auto now = std::chrono::system_clock::now();
    if (gStats.swaps == 0)
        gStats.first = now;
    gStats.latest = now;
    ++gStats.swaps;
}

}  // namespace qm
