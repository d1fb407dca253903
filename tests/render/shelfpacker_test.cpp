#include "engine/render/shelfpacker.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

bool Inside(const TRect& r, int size) { return r.x1 >= 0 && r.y1 >= 0 && r.x2 <= size && r.y2 <= size; }

bool Overlap(const TRect& a, const TRect& b) { return a.x1 < b.x2 && b.x1 < a.x2 && a.y1 < b.y2 && b.y1 < a.y2; }

void ExpectApart(const std::vector<TRect>& places, int size)
{
    for (size_t i = 0; i < places.size(); ++i) {
        EXPECT_TRUE(Inside(places[i], size));
        for (size_t j = i + 1; j < places.size(); ++j)
            EXPECT_FALSE(Overlap(places[i], places[j])) << i << " and " << j;
    }
}

TEST(ShelfPacker, PlacesRectanglesSideBySideOnShelvesOfTheirHeight)
{
    TShelfPacker packer(256);
    TRect a, b, c, d;
    ASSERT_TRUE(packer.Allocate(100, 60, &a));
    ASSERT_TRUE(packer.Allocate(100, 64, &b));  // the same class: beside the first
    ASSERT_TRUE(packer.Allocate(20, 10, &c));   // a class of its own: a shelf below
    ASSERT_TRUE(packer.Allocate(56, 33, &d));   // 33..64 is the first class again
    EXPECT_EQ(a, (TRect{0, 0, 100, 60}));
    EXPECT_EQ(b, (TRect{100, 0, 200, 64}));
    EXPECT_EQ(c, (TRect{0, 64, 20, 74}));
    EXPECT_EQ(d, (TRect{200, 0, 256, 33}));
    EXPECT_EQ(packer.UsedHeight(), 80);
}

TEST(ShelfPacker, RefusesWhatDoesNotFitAndNothingAtAll)
{
    TShelfPacker packer(128);
    TRect place;
    EXPECT_FALSE(packer.Allocate(129, 10, &place));
    EXPECT_FALSE(packer.Allocate(10, 129, &place));
    EXPECT_FALSE(packer.Allocate(0, 10, &place));
    EXPECT_FALSE(packer.Allocate(10, -1, &place));
    ASSERT_TRUE(packer.Allocate(128, 128, &place));
    EXPECT_FALSE(packer.Allocate(1, 1, &place));
    EXPECT_FALSE(packer.IsEmpty());
}

TEST(ShelfPacker, GivenBackPlacesAreUsedAgainAndEmptyTopShelvesGiveBackTheirHeight)
{
    TShelfPacker packer(128);
    TRect a, b, c;
    ASSERT_TRUE(packer.Allocate(64, 64, &a));
    ASSERT_TRUE(packer.Allocate(64, 64, &b));
    ASSERT_TRUE(packer.Allocate(128, 32, &c));
    packer.Free(a);
    TRect again;
    ASSERT_TRUE(packer.Allocate(60, 50, &again));
    EXPECT_EQ(again, (TRect{0, 0, 60, 50}));
    packer.Free(c);
    EXPECT_EQ(packer.UsedHeight(), 64);
    packer.Free(again);
    packer.Free(b);
    EXPECT_TRUE(packer.IsEmpty());
    EXPECT_EQ(packer.UsedHeight(), 0);
    TRect whole;
    EXPECT_TRUE(packer.Allocate(128, 128, &whole));
}

TEST(ShelfPacker, AnEmptiedShelfInTheMiddleTakesAnyClassNoTallerThanItself)
{
    TShelfPacker packer(64);
    TRect tall, low, small;
    ASSERT_TRUE(packer.Allocate(64, 32, &tall));
    ASSERT_TRUE(packer.Allocate(64, 32, &low));
    packer.Free(tall);
    // No room at the top any more; the emptied shelf serves a shorter class.
    ASSERT_TRUE(packer.Allocate(30, 8, &small));
    EXPECT_EQ(small, (TRect{0, 0, 30, 8}));
    TRect another;
    ASSERT_TRUE(packer.Allocate(30, 7, &another));
    EXPECT_EQ(another, (TRect{30, 0, 60, 7}));
    EXPECT_FALSE(packer.Allocate(10, 20, &another));
}

TEST(ShelfPacker, PlacesHandedOutNeverOverlapThroughAnyOrderOfUseAndReturn)
{
    TShelfPacker packer(512);
    std::mt19937 random(11);
    std::vector<TRect> held;
    int refused = 0;
    for (int step = 0; step < 4000; ++step) {
        if (!held.empty() && random() % 3 == 0) {
            size_t which = random() % held.size();
            packer.Free(held[which]);
            held.erase(held.begin() + std::ptrdiff_t(which));
            continue;
        }
        const int width = 1 << (random() % 7), height = 1 + int(random() % 100);
        TRect place;
        if (packer.Allocate(width, height, &place)) {
            EXPECT_EQ(place.Width(), width);
            EXPECT_EQ(place.Height(), height);
            held.push_back(place);
        } else {
            ++refused;
        }
        if (step % 500 == 0)
            ExpectApart(held, 512);
    }
    ExpectApart(held, 512);
    for (const TRect& place : held)
        packer.Free(place);
    EXPECT_TRUE(packer.IsEmpty());
    EXPECT_EQ(packer.UsedHeight(), 0);
    EXPECT_LT(refused, 2000);
}

TEST(ShelfPacker, GivingBackWhatWasNeverHandedOutChangesNothing)
{
    TShelfPacker packer(64);
    TRect a;
    ASSERT_TRUE(packer.Allocate(16, 16, &a));
    packer.Free(TRect{0, 40, 16, 56});  // no shelf there
    packer.Free(TRect{32, 0, 48, 16});  // free space of a shelf
    EXPECT_FALSE(packer.IsEmpty());
    packer.Free(a);
    EXPECT_TRUE(packer.IsEmpty());
}

}  // namespace
