#include "engine/text/minivecdraw.h"
#include "tests/text/outline_builder.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Draws outlines at one quarter pixel a font unit into a memory surface,
// white on black, so the red channel reads back as coverage 0..255.
class RasterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        surface = std::make_shared<TMemorySurface>(64, 64);
        draw.SetColor(1, TColor{1, 1, 1, 1}, 1.0f);
    }
    // Uncached by default: temporary outlines may reuse one address, which
    // would replay another outline's spans (the key is the outline's address).
    void Render(const OutlineBuilder& outline, int penX = 0, int penY = 0, bool cache = false)
    {
        draw.Start(16, 16, surface);
        draw.Draw(outline.Data(), penX, penY, cache);
        draw.Stop();
    }
    // Total coverage in sixteenths of a pixel (each level k stands for k + 1 samples).
    double CoveredPixels() const
    {
        double sum = 0;
        for (int y = 0; y < surface->Height(); ++y)
            for (int x = 0; x < surface->Width(); ++x)
                sum += surface->At(x, y) / 255.0;
        return sum;
    }
    int LitPixels() const
    {
        int lit = 0;
        for (int y = 0; y < surface->Height(); ++y)
            for (int x = 0; x < surface->Width(); ++x)
                lit += surface->At(x, y) != 0;
        return lit;
    }

    TQmMiniVecDraw draw;
    std::shared_ptr<TMemorySurface> surface;
};

TEST_F(RasterTest, BoxesLightWholeOrPartPixelsByTheirCoverageAndOpacity)
{
    const int full = 255, half = 8 * 16 * 255 / 256;  // 8 of 16 samples
    const struct {
        int w, h, penX, penY;
        float opacity;
        int lit;
        std::vector<std::pair<TPoint, int>> pixels;
    } cases[] = {
        {8, 8, 0, 0, 1, 4, {{{16, 16}, full}, {{17, 16}, full}, {{16, 17}, full}, {{17, 17}, full}}},
        {2, 4, 0, 0, 1, 1, {{{16, 16}, half}}},                      // two quarters wide, one pixel tall
        {4, 4, 8, 12, 1, 1, {{{18, 19}, full}}},                     // two pixels right, three down
        {4, 4, 2, 0, 1, 2, {{{16, 16}, half}, {{17, 16}, half}}},    // half a pixel right: two half pixels
        {4, 4, 0, 0, 0.5f, 1, {{{16, 16}, 127}}},                    // opacity scales coverage
    };
    for (const auto& c : cases) {
        surface->Fill(0, 0, 0, 0);
        draw.SetColor(1, TColor{1, 1, 1, 1}, c.opacity);
        Render(OutlineBuilder().Fill(1).Rect(0, 0, float(c.w), float(c.h)).End(), c.penX, c.penY);
        EXPECT_EQ(LitPixels(), c.lit) << c.w << "x" << c.h << " at " << c.penX << "," << c.penY;
        for (const auto& [at, coverage] : c.pixels)
            EXPECT_EQ(surface->At(at.x, at.y), coverage) << at.x << "," << at.y;
    }
}

TEST_F(RasterTest, CoverageSumsToTheAreaAtAnyPhase)
{
    OutlineBuilder box;
    box.Fill(1).Rect(1, 3, 23, 13).End();  // 22 x 10 quarters = 13.75 pixels
    for (int phase = 0; phase < 4; ++phase) {
        surface->Fill(0, 0, 0, 0);
        Render(box, phase, phase);
        EXPECT_NEAR(CoveredPixels(), 22.0 * 10.0 / 16.0, 0.1) << "phase " << phase;
    }
}

TEST_F(RasterTest, WindingIsEvenOddWithinAShapeAndUnionAcrossShapes)
{
    // A square inside a square in one shape: a hole.
    Render(OutlineBuilder().Fill(1).Rect(0, 0, 24, 24).Rect(8, 8, 16, 16).End());
    EXPECT_EQ(surface->At(16 + 3, 16 + 3), 0);
    EXPECT_EQ(surface->At(16 + 0, 16 + 0), 255);
    EXPECT_EQ(LitPixels(), 36 - 4);

    // The same two squares as two shapes: the inner one paints over the outer.
    surface->Fill(0, 0, 0, 0);
    Render(OutlineBuilder().Fill(1).Rect(0, 0, 24, 24).NewShape().Fill(1).Rect(8, 8, 16, 16).End());
    EXPECT_EQ(surface->At(16 + 3, 16 + 3), 255);
    EXPECT_EQ(LitPixels(), 36);

    // Reversed direction makes no difference to even-odd.
    surface->Fill(0, 0, 0, 0);
    Render(OutlineBuilder().Fill(1).Move(0, 0).Line(0, 8).Line(8, 8).Line(8, 0).Line(0, 0).End());
    EXPECT_EQ(LitPixels(), 4);
}

TEST_F(RasterTest, CurvesAndTransformsKeepTheArea)
{
    // A diamond of curves: area between the straight diamond and the box.
    OutlineBuilder round;
    round.Fill(1).Move(16, 0).Curve(32, 0, 32, 16).Curve(32, 32, 16, 32).Curve(0, 32, 0, 16).Curve(0, 0, 16, 0).End();
    Render(round);
    double area = CoveredPixels();
    EXPECT_GT(area, 32.0 * 32 / 2 / 16);
    EXPECT_LT(area, 32.0 * 32 / 16);

    // Italic shears without changing the area; a rotation by 90 degrees neither.
    for (int variant = 0; variant < 2; ++variant) {
        surface->Fill(0, 0, 0, 0);
        draw.mItalic = variant == 0;
        draw.mRotationCos = variant == 0 ? 1.0f : 0.0f;
        draw.mRotationSin = variant == 0 ? 0.0f : 1.0f;
        Render(OutlineBuilder().Fill(1).Rect(0, -16, 16, 0).End());
        EXPECT_NEAR(CoveredPixels(), 16.0, 0.3) << variant;
    }
}

TEST_F(RasterTest, CachedReplayTakesTheNewColour)
{
    OutlineBuilder box;
    box.Fill(1).Rect(0, 0, 8, 8).End();
    Render(box, 0, 0, true);
    ASSERT_EQ(draw.GetCachedGlyphCount(), 1u);
    draw.SetColor(1, TColor{0, 1, 0, 1}, 1.0f);
    surface->Fill(0, 0, 0, 0);
    Render(box, 0, 0, true);
    EXPECT_EQ(draw.GetCachedGlyphCount(), 1u);
    EXPECT_EQ(surface->At(16, 16, 2), 0);    // red gone
    EXPECT_EQ(surface->At(16, 16, 1), 255);  // green there

    Render(box, 4, 0, true);  // a whole pixel further: same entry
    EXPECT_EQ(draw.GetCachedGlyphCount(), 1u);
    EXPECT_EQ(surface->At(17, 16, 1), 255);
    Render(box, 1, 0, true);  // another phase: a new one
    EXPECT_EQ(draw.GetCachedGlyphCount(), 2u);
    Render(box, 0, 0, false);  // uncached drawing records nothing
    EXPECT_EQ(draw.GetCachedGlyphCount(), 2u);
}

TEST_F(RasterTest, RotatingTextCannotGrowTheCacheWithoutBound)
{
    OutlineBuilder bar;
    bar.Fill(1).Rect(0, 0, 120, 16).End();
    draw.Start(16, 16, surface);
    size_t largest = 0;
    for (int step = 0; step < 30000; ++step) {
        const float angle = step * 0.0001f;
        draw.mRotationCos = std::cos(angle);
        draw.mRotationSin = std::sin(angle);
        draw.Draw(bar.Data(), 0, 0);
        largest = std::max(largest, draw.GetCachedSpanCount());
    }
    draw.Stop();
    EXPECT_LE(largest, TQmMiniVecDraw::kMaxCachedSpans + 200);
    EXPECT_LT(draw.GetCachedSpanCount(), largest);  // flushed at least once
}

TEST_F(RasterTest, OutlineWithThousandsOfEdgesIsDrawnWhole)
{
    // A 600-sided polygon stroked: 3600 stroke edges and 600 fill edges.
    OutlineBuilder polygon;
    polygon.Fill(1);
    const int sides = 600;
    for (int i = 0; i <= sides; ++i) {
        float a = float(i % sides) * 2 * float(M_PI) / sides;
        float x = 20 + 16 * std::cos(a), y = 20 + 16 * std::sin(a);
        i == 0 ? polygon.Move(x, y) : polygon.Line(x, y);
    }
    polygon.End();
    Render(polygon);
    const double disc = CoveredPixels();
    EXPECT_NEAR(disc, M_PI * 16 * 16 / 16, 0.5);

    surface->Fill(0, 0, 0, 0);
    draw.mStrokeWidth[0] = 0.5f;
    draw.SetColor(255, TColor{1, 0, 0, 1}, 1.0f);
    Render(polygon);
    // The stroke widens the disc by half a pixel all round (a little is lost
    // where the partial edges of stroke and fill are blended one over the other).
    EXPECT_NEAR(CoveredPixels(), M_PI * 4.5 * 4.5, 4.0);
    EXPECT_GT(CoveredPixels(), disc + 8);
    EXPECT_GT(surface->At(25, 21, 2), 0);   // the rim is the stroke's red
    EXPECT_EQ(surface->At(25, 21, 1), 0);
    EXPECT_EQ(surface->At(21, 21, 1), 255);  // the inside the fill's white
}

TEST_F(RasterTest, MalformedAndHugeOutlinesAreClippedNotOverrun)
{
    // An unknown opcode ends the walk: what came before it is drawn.
    Render(OutlineBuilder().Fill(1).Rect(0, 0, 8, 8).Byte(0).Rect(8, 8, 16, 16).End());
    EXPECT_EQ(LitPixels(), 4);
    // Far outside the rows and columns the rasteriser holds.
    draw.mScaleX = draw.mScaleY = 60.0f;
    Render(OutlineBuilder().Fill(1).Rect(-250, -250, 250, 250).End());
    EXPECT_GT(LitPixels(), 0);
    draw.mScaleX = draw.mScaleY = NAN;
    Render(OutlineBuilder().Fill(1).Rect(0, 0, 8, 8).End());
}

// A display that draws horizontal lines by pixel centres: row floor(y),
// every pixel whose centre lies in [x1, x2).
class FakeDisplay : public TTextDisplay {
public:
    explicit FakeDisplay(bool black) : mBlack(black) {}
    void UnbindTexture() override {}
    void DrawLines(const TSpanVertex* v, int count) override
    {
        mLines += count / 2;
        if (mBlack || !mTarget)
            return;
        for (int i = 0; i + 1 < count; i += 2) {
            int row = int(std::floor(v[i].y));
            for (int x = 0; x < mTarget->Width(); ++x)
                if (x + 0.5f >= v[i].x && x + 0.5f < v[i + 1].x && row >= 0 && row < mTarget->Height())
                    mTarget->Pixels()[(size_t(row) * mTarget->Width() + x) * 4 + 2] = v[i].color.Alpha();
        }
    }
    std::shared_ptr<TSpanTarget> CreateRenderTarget(int w, int h) override
    {
        auto t = std::make_shared<TMemorySurface>(w, h);
        return t;
    }
    void FillRect(int, int, int, int, const TColor&, TSpanTarget*) override {}
    bool BeginRenderTarget(TSpanTarget* t) override
    {
        mTarget = static_cast<TMemorySurface*>(t);
        return true;
    }
    void EndRenderTarget() override { mTarget = nullptr; }
    bool Begin2d() override { return true; }
    void End2d() override {}
    int mLines = 0;

private:
    bool mBlack;
    TMemorySurface* mTarget = nullptr;
};

TEST(Calibration, FindsTheOffsetsThatLightExactlyTheSpanPixelOrFallsBackAndLowersTheBatchOnce)
{
    for (bool allBlack : {false, true}) {
        FakeDisplay display(allBlack);
        TQmMiniVecDraw draw(&display);
        draw.Calibrate();
        // Each candidate at four places, two spans; read back all black: two passes.
        EXPECT_EQ(display.mLines, allBlack ? 2 * 2048 : 256 * 4 * 2);
        EXPECT_EQ(draw.IsCalibrated(), !allBlack);
        EXPECT_FLOAT_EQ(draw.GetCalibrationX1(), allBlack ? -0.75f : -0.25f);
        EXPECT_FLOAT_EQ(draw.GetCalibrationX2(), allBlack ? -0.75f : -0.25f);
        EXPECT_FLOAT_EQ(draw.GetCalibrationY(), allBlack ? 0.25f : 0.0f);
        EXPECT_EQ(draw.GetVertexCapacity(), allBlack ? 64 : 256);
    }
}

}  // namespace
