#include "engine/render/framediff.h"

#include <algorithm>
#include <limits>

namespace {

// Indices into `sequence` of a longest strictly increasing subsequence
// (patience sorting, n log n).
std::vector<std::size_t> LongestIncreasing(const std::vector<std::size_t>& sequence)
{
    std::vector<std::size_t> tails;  // index into sequence of the smallest tail of each length
    std::vector<std::size_t> previous(sequence.size(), std::numeric_limits<std::size_t>::max());
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        auto at = std::lower_bound(tails.begin(), tails.end(), sequence[i],
                                   [&](std::size_t tail, std::size_t value) { return sequence[tail] < value; });
        if (at != tails.begin())
            previous[i] = *(at - 1);
        if (at == tails.end())
            tails.push_back(i);
        else
            *at = i;
    }
    std::vector<std::size_t> chain;
    for (std::size_t i = tails.empty() ? previous.size() : tails.back(); i < previous.size(); i = previous[i])
        chain.push_back(i);
    std::reverse(chain.begin(), chain.end());
    return chain;
}

long long Area(const TRect& r)
{
    return r.IsEmpty() ? 0 : static_cast<long long>(r.Width()) * r.Height();
}

}  // namespace

std::uint64_t HashBytes(const void* bytes, std::size_t size, std::uint64_t seed)
{
    const auto* p = static_cast<const unsigned char*>(bytes);
    std::uint64_t hash = seed;
    for (std::size_t i = 0; i < size; ++i)
        hash = (hash ^ p[i]) * 1099511628211ull;
    return hash;
}

std::vector<TRect> ChangedBoxes(const std::vector<TDrawnItem>& before, const std::vector<TDrawnItem>& after,
                                const std::function<bool(std::size_t, std::size_t)>& same)
{
    // The items before, by hash; each matched at most once, earliest first.
    std::vector<std::pair<std::uint64_t, std::size_t>> byHash(before.size());
    for (std::size_t i = 0; i < before.size(); ++i)
        byHash[i] = {before[i].hash, i};
    std::sort(byHash.begin(), byHash.end());
    std::vector<bool> taken(before.size(), false);

    std::vector<std::size_t> matchedAfter, matchedBefore;
    std::vector<bool> afterKept(after.size(), false);
    for (std::size_t j = 0; j < after.size(); ++j) {
        auto at = std::lower_bound(byHash.begin(), byHash.end(), std::make_pair(after[j].hash, std::size_t(0)));
        for (; at != byHash.end() && at->first == after[j].hash; ++at) {
            if (!taken[at->second] && same(at->second, j)) {
                taken[at->second] = true;
                matchedAfter.push_back(j);
                matchedBefore.push_back(at->second);
                break;
            }
        }
    }
    // Of the matched items, those that keep their order relative to each
    // other stay; an item that changed places counts as changed.
    std::vector<bool> beforeKept(before.size(), false);
    for (std::size_t k : LongestIncreasing(matchedBefore)) {
        beforeKept[matchedBefore[k]] = true;
        afterKept[matchedAfter[k]] = true;
    }
    std::vector<TRect> changed;
    for (std::size_t i = 0; i < before.size(); ++i)
        if (!beforeKept[i] && !before[i].box.IsEmpty())
            changed.push_back(before[i].box);
    for (std::size_t j = 0; j < after.size(); ++j)
        if (!afterKept[j] && !after[j].box.IsEmpty())
            changed.push_back(after[j].box);
    return changed;
}

std::vector<TRect> CoverWithFewRects(const std::vector<TRect>& boxes, int width, int height, int tile,
                                     std::size_t most)
{
    if (width <= 0 || height <= 0 || tile <= 0 || most == 0)
        return {};
    const int columns = (width + tile - 1) / tile, rows = (height + tile - 1) / tile;
    std::vector<bool> marked(std::size_t(columns) * std::size_t(rows), false);
    bool any = false;
    for (TRect box : boxes) {
        box = TRect::Intersect(box, {0, 0, width, height});
        if (box.IsEmpty())
            continue;
        any = true;
        for (int ty = box.y1 / tile; ty <= (box.y2 - 1) / tile; ++ty)
            for (int tx = box.x1 / tile; tx <= (box.x2 - 1) / tile; ++tx)
                marked[std::size_t(ty) * columns + tx] = true;
    }
    if (!any)
        return {};
    // Runs of marked tiles along each row; a run with the same columns as
    // one ending on the row above grows that rectangle downwards.
    std::vector<TRect> rects;  // in tiles
    std::vector<std::size_t> open, stillOpen;
    for (int ty = 0; ty < rows; ++ty) {
        stillOpen.clear();
        for (int tx = 0; tx < columns;) {
            if (!marked[std::size_t(ty) * columns + tx]) {
                ++tx;
                continue;
            }
            int end = tx;
            while (end < columns && marked[std::size_t(ty) * columns + end])
                ++end;
            auto grows = std::find_if(open.begin(), open.end(),
                                      [&](std::size_t r) { return rects[r].x1 == tx && rects[r].x2 == end; });
            if (grows != open.end()) {
                rects[*grows].y2 = ty + 1;
                stillOpen.push_back(*grows);
            } else {
                rects.push_back({tx, ty, end, ty + 1});
                stillOpen.push_back(rects.size() - 1);
            }
            tx = end;
        }
        open.swap(stillOpen);
    }
    // Too many: merge the pair whose bounding box adds the fewest pixels.
    while (rects.size() > most) {
        std::size_t bestA = 0, bestB = 1;
        long long bestWaste = std::numeric_limits<long long>::max();
        for (std::size_t a = 0; a < rects.size(); ++a)
            for (std::size_t b = a + 1; b < rects.size(); ++b) {
                const long long waste = Area(TRect::Union(rects[a], rects[b])) - Area(rects[a]) - Area(rects[b]);
                if (waste < bestWaste) {
                    bestWaste = waste;
                    bestA = a;
                    bestB = b;
                }
            }
        rects[bestA] = TRect::Union(rects[bestA], rects[bestB]);
        rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(bestB));
    }
    for (TRect& r : rects)
        r = TRect::Intersect({r.x1 * tile, r.y1 * tile, r.x2 * tile, r.y2 * tile}, {0, 0, width, height});
    return rects;
}
