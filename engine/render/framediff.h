// What changed on the screen between two frames, from the lists of what each
// frame drew.
//
// A frame is a list of drawn items in drawing order, each with the box of
// the pixels it can touch. A pixel outside every box of an item that is in
// one frame and not the other, or that moved in the order relative to
// others, is covered by the same items in the same order in both frames, so
// it comes out the same: redrawing only the changed boxes over the last
// frame gives every pixel a whole redraw would.
#pragma once

#include "engine/render/rendertypes.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

struct TDrawnItem {
    std::uint64_t hash = 0;  // equal items have equal hashes
    TRect box;               // the pixels the item may touch, edges x2, y2 excluded
};

// The boxes of the items that changed from `before` to `after`. `same(i, j)`
// says whether before[i] and after[j] are the same item; it is asked only
// of items with equal hashes. Items kept in both are matched in order (the
// longest run that keeps its order); the rest count as changed, in both
// their places.
std::vector<TRect> ChangedBoxes(const std::vector<TDrawnItem>& before, const std::vector<TDrawnItem>& after,
                                const std::function<bool(std::size_t, std::size_t)>& same);

// Boxes gathered into at most `most` rectangles that cover every one of
// them within the screen of width x height: snapped to a grid of `tile`
// pixels, runs of tiles joined, then the pairs that waste the fewest pixels
// merged.
std::vector<TRect> CoverWithFewRects(const std::vector<TRect>& boxes, int width, int height, int tile,
                                     std::size_t most);

// A 64-bit FNV-1a hash of bytes, continued from `seed`.
std::uint64_t HashBytes(const void* bytes, std::size_t size, std::uint64_t seed = 14695981039346656037ull);
