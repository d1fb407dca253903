// Which boxes two frames' lists of drawn items say changed, and how they are
// gathered into a few rectangles.
#include "engine/render/framediff.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Items named by a letter: the same letter is the same item.
std::vector<TDrawnItem> Frame(const std::vector<std::pair<char, TRect>>& items)
{
    std::vector<TDrawnItem> frame;
    for (const auto& [name, box] : items)
        frame.push_back({std::uint64_t(name) % 3, box});  // hashes collide on purpose
    return frame;
}

std::vector<TRect> Changed(const std::vector<std::pair<char, TRect>>& before,
                           const std::vector<std::pair<char, TRect>>& after)
{
    return ChangedBoxes(Frame(before), Frame(after), [&](std::size_t i, std::size_t j) {
        return before[i].first == after[j].first && before[i].second == after[j].second;
    });
}

bool Has(const std::vector<TRect>& boxes, const TRect& box)
{
    return std::find(boxes.begin(), boxes.end(), box) != boxes.end();
}

const TRect kA{0, 0, 10, 10}, kB{5, 5, 20, 20}, kC{100, 100, 110, 110}, kD{200, 0, 210, 10};

}  // namespace

TEST(FrameDiff, OnlyItemsThatCameWentMovedOrChangedPlacesCount)
{
    EXPECT_TRUE(Changed({{'a', kA}, {'b', kB}, {'c', kC}}, {{'a', kA}, {'b', kB}, {'c', kC}}).empty());

    // b moved: where it was and where it is.
    std::vector<TRect> moved = Changed({{'a', kA}, {'b', kB}}, {{'a', kA}, {'b', kC}});
    EXPECT_EQ(moved.size(), 2u);
    EXPECT_TRUE(Has(moved, kB) && Has(moved, kC));

    // d came, c went.
    std::vector<TRect> cameWent = Changed({{'a', kA}, {'c', kC}}, {{'a', kA}, {'d', kD}});
    EXPECT_EQ(cameWent.size(), 2u);
    EXPECT_TRUE(Has(cameWent, kC) && Has(cameWent, kD));

    // a and b overlap and swap places in the order: one of them counts as
    // changed (the overlap is redrawn); c, drawn after both, stays.
    std::vector<TRect> swapped = Changed({{'a', kA}, {'b', kB}, {'c', kC}}, {{'b', kB}, {'a', kA}, {'c', kC}});
    EXPECT_EQ(swapped.size(), 2u);
    EXPECT_FALSE(Has(swapped, kC));

    // The same item twice, once gone: one box.
    EXPECT_EQ(Changed({{'a', kA}, {'a', kA}, {'c', kC}}, {{'a', kA}, {'c', kC}}).size(), 1u);
    // Empty boxes draw nothing and never count.
    EXPECT_TRUE(Changed({{'a', TRect{}}}, {}).empty());
}

TEST(FrameDiff, FewRectanglesCoverEveryChangedBoxWithinTheScreen)
{
    std::vector<TRect> boxes;
    for (int i = 0; i < 40; ++i)
        boxes.push_back({i * 19 % 780, i * 37 % 590, i * 19 % 780 + 7, i * 37 % 590 + 5});
    boxes.push_back({790, 590, 900, 700});  // reaches past the screen
    const std::vector<TRect> rects = CoverWithFewRects(boxes, 800, 600, 16, 6);
    EXPECT_LE(rects.size(), 6u);
    for (const TRect& box : boxes) {
        const TRect seen = TRect::Intersect(box, {0, 0, 800, 600});
        EXPECT_TRUE(std::any_of(rects.begin(), rects.end(), [&](const TRect& r) {
            return r.x1 <= seen.x1 && r.y1 <= seen.y1 && seen.x2 <= r.x2 && seen.y2 <= r.y2;
        })) << seen.x1 << "," << seen.y1;
    }
    for (const TRect& r : rects)
        EXPECT_TRUE(r.x1 >= 0 && r.y1 >= 0 && r.x2 <= 800 && r.y2 <= 600 && !r.IsEmpty());

    // Two nearby boxes share a rectangle; nothing changed, nothing to draw.
    EXPECT_EQ(CoverWithFewRects({{0, 0, 5, 5}, {6, 0, 12, 5}}, 800, 600, 16, 8).size(), 1u);
    EXPECT_TRUE(CoverWithFewRects({}, 800, 600, 16, 8).empty());
}
