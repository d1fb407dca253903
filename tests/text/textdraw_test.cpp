// TTextGraphic drawing through the CPU rasteriser into a memory surface.
#include "engine/text/textgraphic.h"
#include "engine/text/textservices.h"

#include <gtest/gtest.h>

namespace {

class TextDraw : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetTextServices(TTextServices{nullptr, &draw, nullptr});
        surface = std::make_shared<TMemorySurface>(200, 100);
    }
    void TearDown() override
    {
        TTextGraphic::Destroy(graphic);
        SetTextServices(TTextServices{});
    }
    void Draw(const char* text, int justification = 0, float opacity = 1.0f)
    {
        TTextGraphic::Destroy(graphic);
        surface->Fill(0, 0, 0, 255);
        graphic = TTextGraphic::Create(text, 180, 80, justification, "", 16, TColor{1, 1, 1, 1});
        graphic->DrawInto(TRect{10, 10, 190, 90}, 1.0f, 0, opacity, surface);
    }
    // Sum of a channel over a box of pixels (edges inclusive).
    int Sum(int x1, int y1, int x2, int y2, int channel = 2) const
    {
        int sum = 0;
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x)
                sum += surface->At(x, y, channel);
        return sum;
    }
    TQmMiniVecDraw draw;
    std::shared_ptr<TMemorySurface> surface;
    TTextGraphic* graphic = nullptr;
};

TEST_F(TextDraw, TextLandsInsideItsLineBox)
{
    Draw("Hello");
    const int right = 10 + graphic->GetLines()[0].runs[0].right;
    EXPECT_GT(Sum(10, 10, right + 1, 10 + 16), 255 * 20);
    EXPECT_EQ(Sum(0, 10 + 17, 199, 99), 0);       // nothing below the line
    EXPECT_EQ(Sum(right + 2, 0, 199, 99), 0);     // nothing right of it
    EXPECT_EQ(Sum(0, 0, 9, 99), 0);               // nothing left of the rectangle
}

TEST_F(TextDraw, ColoursOpacityAndHoveredLinks)
{
    Draw("<font color=\"ff0000\">H</font>");
    EXPECT_GT(Sum(0, 0, 199, 99, 2), 0);
    EXPECT_EQ(Sum(0, 0, 199, 99, 1), 0);
    const int full = Sum(0, 0, 199, 99, 2);
    Draw("<font color=\"ff0000\">H</font>", 0, 0.5f);
    EXPECT_NEAR(Sum(0, 0, 199, 99, 2), full / 2, full / 20);

    Draw("<a id=\"l\" color=\"00ff00\">H</a>");
    EXPECT_EQ(Sum(0, 0, 199, 99, 1), Sum(0, 0, 199, 99, 0));  // white: green as blue
    const TTextLine& line = graphic->GetLines()[0];
    TPoint on{int(line.x + line.xOffset) + (line.runs[1].left + line.runs[1].right) / 2, 5};
    ASSERT_TRUE(graphic->Rollover(&on, 0));
    surface->Fill(0, 0, 0, 255);
    graphic->DrawInto(TRect{10, 10, 190, 90}, 1.0f, 0, 1.0f, surface);
    EXPECT_GT(Sum(0, 0, 199, 99, 1), 0);
    EXPECT_EQ(Sum(0, 0, 199, 99, 0), 0);  // the hovered link is green
}

TEST_F(TextDraw, BoldOutlineUnderlineAndCursorAddInk)
{
    Draw("H");
    const int plain = Sum(0, 0, 199, 99);
    Draw("<b>H</b>");
    EXPECT_GT(Sum(0, 0, 199, 99), plain * 105 / 100);
    Draw("<outline color=\"0000ff\">H</outline>");
    EXPECT_GT(Sum(0, 0, 199, 99, 0), 0);  // blue rim
    Draw("<u>HH</u>");
    // The bar sits 2 to 2.75 pixels below the baseline, as long as the run.
    const TTextLine& line = graphic->GetLines()[0];
    const int baseline = 10 + line.baseline / 4;
    const int bar = Sum(12, baseline + 2, 10 + line.runs[1].right - 2, baseline + 2);
    EXPECT_GT(bar, 255 * 8);
    Draw("H<cursor>");
    EXPECT_GT(Sum(0, 0, 199, 99), plain);
}

TEST_F(TextDraw, ScrolledAndOverflowingLinesAreNotDrawn)
{
    Draw("A<br>B<br>C<br>D<br>E<br>F<br>G");
    // Five lines of 16 pixels fit the 80-pixel rectangle; the rest are skipped.
    EXPECT_EQ(Sum(0, 10 + 80, 199, 99), 0);
    graphic->mScrollLine = 6;
    surface->Fill(0, 0, 0, 255);
    graphic->DrawInto(TRect{10, 10, 190, 90}, 1.0f, 0, 1.0f, surface);
    EXPECT_GT(Sum(0, 10, 199, 26), 0);
    EXPECT_EQ(Sum(0, 27, 199, 99), 0);
}

TEST_F(TextDraw, RotatedTextIsDrawnAndRepeatedGlyphsAreCached)
{
    Draw("aaaa");
    // One outline at up to four quarter-pixel phases; drawing again adds none.
    const size_t cached = draw.GetCachedGlyphCount();
    EXPECT_GE(cached, 1u);
    EXPECT_LE(cached, 4u);
    const int sum = Sum(0, 0, 199, 99);
    surface->Fill(0, 0, 0, 255);
    graphic->DrawInto(TRect{10, 10, 190, 90}, 1.0f, 0, 1.0f, surface);
    EXPECT_EQ(draw.GetCachedGlyphCount(), cached);
    EXPECT_EQ(Sum(0, 0, 199, 99), sum);
    graphic->SetRotation(30, 10, 10);
    surface->Fill(0, 0, 0, 255);
    graphic->DrawInto(TRect{10, 10, 190, 90}, 1.0f, 0, 1.0f, surface);
    EXPECT_GT(Sum(0, 0, 199, 99), 255 * 10);
}

}  // namespace
