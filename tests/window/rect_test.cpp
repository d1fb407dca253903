// Rectangles and message basics.
#include "engine/base/rect.h"
#include "engine/window/message.h"

#include <gtest/gtest.h>

namespace {

TEST(RectTest, EdgesAreInsideAndIntersectIsNotNormalised)
{
    const TRect r{10, 20, 30, 40};
    EXPECT_TRUE(r.Contains({10, 20}));
    EXPECT_TRUE(r.Contains({30, 40}));
    EXPECT_FALSE(r.Contains({31, 40}));
    EXPECT_EQ(r.Width(), 20);

    EXPECT_EQ(TRect::Union(r, {0, 25, 15, 50}), (TRect{0, 20, 30, 50}));
    // Disjoint rectangles give an inverted result rather than a zero one.
    EXPECT_EQ(TRect::Intersect(r, {50, 0, 60, 10}), (TRect{50, 20, 30, 10}));
    EXPECT_TRUE(TRect::Overlaps(r, {30, 40, 50, 50}));
    EXPECT_FALSE(TRect::Overlaps(r, {31, 40, 50, 50}));
}

TEST(RectTest, DrawingFormsNormaliseEmptyResults)
{
    const TRect r{10, 20, 30, 40};
    EXPECT_EQ(r.Intersect(TRect{50, 0, 60, 10}), TRect{});
    EXPECT_EQ(r.Intersect(TRect{20, 30, 60, 60}), (TRect{20, 30, 30, 40}));
    EXPECT_EQ(TRect{}.Union(r), r);
    EXPECT_TRUE((TRect{5, 5, 5, 9}).IsEmpty());
}

TEST(MessageTest, ModalIdsAreRightAlignedLowerCaseHex)
{
    EXPECT_STREQ(FormatWindowId(26).c_str(), "      1a");
    EXPECT_STREQ(FormatWindowId(0x12345678).c_str(), "12345678");
    TMessage m(kButtonPress, "ok", nullptr);
    EXPECT_TRUE(m.IsKindOf(TMessage::ClassId()));
    EXPECT_EQ(m.GetType(), kButtonPress);
    EXPECT_EQ(m.GetTarget(), nullptr);
}

}  // namespace
