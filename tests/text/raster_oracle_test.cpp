// The rasteriser's spans and blended pixels against its first, plain
// implementation (reference_rasteriser.h): every glyph of the built-in font
// at 12, 16 and 24 px and four quarter-pixel phases, then slanted, stroked,
// turned and many-coloured outlines, drawn fresh and again from the cache.
#include "engine/text/default_font.h"
#include "engine/text/minivecdraw.h"
#include "engine/text/mvecfont.h"
#include "tests/text/outline_builder.h"
#include "tests/text/reference_rasteriser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr float kFontUnitsPerEm = 192.0f;
constexpr int kOriginX = 100, kOriginY = 60;
constexpr float kUncalibrated = 0.25f;  // the offsets before any calibration

// One run as the display receives it, its colour read back as bank and level.
struct LineRun {
    float x1, x2, y;
    int bank, level;
    bool operator==(const LineRun&) const = default;
};

std::ostream& operator<<(std::ostream& out, const LineRun& r)
{
    return out << "{" << r.x1 << ".." << r.x2 << " y " << r.y << " bank " << r.bank << " level " << r.level << "}";
}

// Bank colours at full alpha: slot 255 red, 254 green, outline colours blue,
// slot 1 white; levels 16 and up share one alpha, so they read as 16.
void SetBankColours(TQmMiniVecDraw& draw)
{
    draw.SetColor(255, TColor{1, 0, 0, 1}, 1.0f);
    draw.SetColor(254, TColor{0, 1, 0, 1}, 1.0f);
    draw.SetColor(1, TColor{1, 1, 1, 1}, 1.0f);
}

int LevelOfAlpha(int alpha)
{
    for (int k = 0; k < 16; ++k)
        if ((k + 1) * 16 * 255 / 256 == alpha)
            return k;
    return alpha == 254 ? 16 : -1;
}

int BankOfColour(TColor32 c)
{
    if (c.Red() == 255 && c.Green() == 255 && c.Blue() == 255)
        return 3;
    if (c.Red() == 255)
        return 0;
    if (c.Green() == 255)
        return 1;
    return c.Blue() == 255 ? 2 : -1;
}

class RecordingDisplay : public TTextDisplay {
public:
    void UnbindTexture() override {}
    void DrawLines(const TSpanVertex* v, int count) override
    {
        for (int i = 0; i + 1 < count; i += 2)
            runs.push_back({v[i].x, v[i + 1].x, v[i].y, BankOfColour(v[i].color), LevelOfAlpha(v[i].color.Alpha())});
    }
    std::shared_ptr<TSpanTarget> CreateRenderTarget(int, int) override { return nullptr; }
    void FillRect(int, int, int, int, const TColor&, TSpanTarget*) override {}
    bool BeginRenderTarget(TSpanTarget*) override { return false; }
    void EndRenderTarget() override {}
    bool Begin2d() override { return true; }
    void End2d() override {}
    std::vector<LineRun> runs;
};

struct Transform {
    float scaleX, scaleY, cos = 1, sin = 0, stroke0 = 0, stroke1 = 0;
    bool italic = false;
};

template <class Drawer>
void Apply(const Transform& t, Drawer& d)
{
    d.mScaleX = t.scaleX;
    d.mScaleY = t.scaleY;
    d.mRotationCos = t.cos;
    d.mRotationSin = t.sin;
    d.mStrokeWidth[0] = t.stroke0;
    d.mStrokeWidth[1] = t.stroke1;
    d.mItalic = t.italic;
}

// The runs the reference's spans become on the display.
std::vector<LineRun> ExpectedRuns(const std::vector<reference::Span>& spans, int penX, int penY)
{
    const float left = float(kOriginX + (penX >> 2));
    std::vector<LineRun> runs;
    for (const auto& s : spans)
        runs.push_back({s.column1 + kUncalibrated + left, s.column2 + kUncalibrated + left,
                        float(kOriginY + (penY >> 2) + s.row) + kUncalibrated, s.bank, std::min(s.level, 16)});
    return runs;
}

class RasterOracle : public ::testing::Test {
protected:
    RasterOracle() : draw(&display)
    {
        SetBankColours(draw);
        draw.SetGlyphAtlasEnabled(false);
    }

    // Draws the outline fresh (the first time) or from the cache and
    // compares its runs with the reference's; false on a difference.
    bool Matches(const unsigned char* outline, const Transform& t, int penX, int penY, const char* what, int index)
    {
        Apply(t, draw);
        Apply(t, oracle);
        const std::vector<LineRun> expected = ExpectedRuns(oracle.Rasterise(outline, penX, penY), penX, penY);
        for (int pass = 0; pass < 2; ++pass) {
            display.runs.clear();
            draw.Start(kOriginX, kOriginY, nullptr);
            draw.Draw(outline, penX, penY);
            draw.Stop();
            EXPECT_EQ(display.runs, expected) << what << " glyph " << index << " pen " << penX << "," << penY
                                              << (pass ? " from the cache" : " fresh");
            if (display.runs != expected)
                return false;
        }
        return true;
    }

    RecordingDisplay display;
    TQmMiniVecDraw draw;
    reference::Rasteriser oracle;
    std::unique_ptr<TMvecFont> font = TMvecFont::FromBytes(kDefaultFont, kDefaultFontSize);
};

Transform AtPixels(int pixels)
{
    const float scale = 4.0f * pixels / kFontUnitsPerEm;
    return Transform{scale, scale};
}

TEST_F(RasterOracle, EveryBuiltInGlyphAtTextSizesAndQuarterPhasesHasTheReferenceSpans)
{
    ASSERT_TRUE(font);
    ASSERT_GT(font->GetGlyphCount(), 100);
    for (int pixels : {12, 16, 24})
        for (int phase = 0; phase < 4; ++phase)
            for (int i = 0; i < font->GetGlyphCount(); ++i)
                if (!Matches(font->GetGlyphData(i), AtPixels(pixels), 40 + phase, phase, "plain", i))
                    return;
}

TEST_F(RasterOracle, SlantedStrokedAndTurnedGlyphsHaveTheReferenceSpans)
{
    ASSERT_TRUE(font);
    const Transform plain = AtPixels(16);
    Transform italic = plain, bold = plain, outlined = plain, turned = plain, both = plain, large = AtPixels(40);
    italic.italic = true;
    bold.stroke1 = 0.5f;
    outlined.stroke0 = 1.25f;
    turned.cos = std::cos(0.4f);
    turned.sin = std::sin(0.4f);
    both = turned;
    both.stroke0 = 1.0f;
    both.stroke1 = 0.5f;
    both.italic = true;
    const struct {
        const char* name;
        Transform t;
    } variants[] = {{"italic", italic}, {"bold", bold},       {"outlined", outlined},
                    {"turned", turned}, {"all at once", both}, {"40 px", large}};
    for (const auto& v : variants)
        for (int i = 0; i < font->GetGlyphCount(); ++i)
            if (!Matches(font->GetGlyphData(i), v.t, 41 + (i & 3), 2 + (i & 1), v.name, i))
                return;
}

TEST_F(RasterOracle, OverlappingShapesColoursAndOpenOutlinesHaveTheReferenceSpans)
{
    OutlineBuilder layered;
    // The outline's own colours: white in slot 1 (the fill's bank), blue in slot 2.
    layered.Colour(255, 255, 255).Fill(1).Rect(0, 0, 40, 30).Rect(10, 5, 30, 25);  // a frame, even-odd
    layered.NewShape().Colour(0, 0, 255).Fill(1).Move(5, 2).Line(35, 12).Line(12, 28).Line(5, 2);  // over it
    layered.NewShape().Fill(0).Rect(20, 0, 24, 30).End();                       // a shape with no fill
    OutlineBuilder crossing;
    crossing.Fill(1).Move(0, 0).Line(40, 30).Line(40, 0).Line(0, 30).Line(0, 0);  // self-crossing
    crossing.Rect(5, 5, 35, 25).Curve(50, 15, 5, 5).End();
    OutlineBuilder open;
    open.Fill(1).Move(0, 0).Line(30, 10).Line(10, 30).End();  // never closed: an odd edge count
    Transform stroked = AtPixels(16);
    stroked.stroke0 = 0.75f;
    const struct {
        const char* name;
        const OutlineBuilder& outline;
    } shapes[] = {{"layered", layered}, {"crossing", crossing}, {"open", open}};
    for (const auto& s : shapes)
        for (const Transform& t : {AtPixels(16), AtPixels(37), stroked})
            for (int phase = 0; phase < 4; ++phase) {
                // Each shape, transform and phase is a fresh rasteriser: the
                // builders' bytes would otherwise be found in the cache.
                RecordingDisplay display;
                TQmMiniVecDraw fresh(&display);
                SetBankColours(fresh);
                Apply(t, fresh);
                Apply(t, oracle);
                fresh.Start(kOriginX, kOriginY, nullptr);
                fresh.Draw(s.outline.Data(), phase, 3 - phase);
                fresh.Stop();
                EXPECT_EQ(display.runs, ExpectedRuns(oracle.Rasterise(s.outline.Data(), phase, 3 - phase), phase,
                                                     3 - phase))
                    << s.name << " phase " << phase;
            }
}

TEST_F(RasterOracle, AHugeOutlineWithManyEdgesHasTheReferenceSpans)
{
    // Thirty bars drawn 40 times a quarter pixel a unit: more crossings at
    // once than the short way stores.
    OutlineBuilder bars;
    bars.Fill(1);
    for (int i = 0; i < 30; ++i)
        bars.Rect(i * 8.0f, -120, i * 8.0f + 5.5f, 120);
    bars.End();
    Transform huge{40, 40};
    EXPECT_TRUE(Matches(bars.Data(), huge, 1, 2, "bars", 0));
}

// Glyphs blended into a patterned surface, half transparent and opaque,
// against the reference's spans blended the reference way.
TEST_F(RasterOracle, GlyphsBlendedIntoASurfaceGiveTheReferencePixels)
{
    ASSERT_TRUE(font);
    constexpr int kWidth = 700, kHeight = 120;
    auto pattern = [](TMemorySurface& s) {
        for (size_t i = 0; i < s.Pixels().size(); ++i)
            s.Pixels()[i] = uint8_t(i * 37 + i / 4096);
    };
    for (float opacity : {1.0f, 0.6f, 0.13f}) {
        auto surface = std::make_shared<TMemorySurface>(kWidth, kHeight);
        TMemorySurface expected(kWidth, kHeight);
        pattern(*surface);
        pattern(expected);
        const TColor colour{0.8f, 0.3f, 0.55f, 1};
        TQmMiniVecDraw target;
        target.SetColor(1, colour, opacity);
        const Transform t = AtPixels(18);
        Apply(t, target);
        Apply(t, oracle);
        // The bank's colour at each level, as the rasteriser's colour table makes it.
        const int a = int(float(int(colour.a * 255.0f)) * opacity);
        const int red = int(colour.r * 255.0f), green = int(colour.g * 255.0f), blue = int(colour.b * 255.0f);
        for (int pass = 0; pass < 2; ++pass) {  // fresh, then from the cache
            target.Start(-3, 20, surface);
            for (int i = 0; i < font->GetGlyphCount(); ++i) {
                // Some glyphs hang over the surface's edges.
                const int penX = (i % 40) * 70 + (i & 3), penY = (i / 40) * 60 - 40 + (i % 3);
                target.Draw(font->GetGlyphData(i), penX, penY);
                for (const auto& s : oracle.Rasterise(font->GetGlyphData(i), penX, penY)) {
                    const int y = 20 + (penY >> 2) + s.row;
                    const int left = -3 + (penX >> 2);
                    if (y < 0 || y >= kHeight || left + s.column1 >= kWidth)
                        continue;
                    const int x1 = std::max(left + s.column1, 0), x2 = std::min(left + s.column2, kWidth);
                    const int alpha = s.level < 16 ? (s.level + 1) * 16 * a / 256 : 255 * a / 256;
                    reference::BlendRun(expected.Pixels().data() + size_t(y) * kWidth * 4, x1, x2, red, green, blue,
                                        alpha);
                }
            }
            target.Stop();
            ASSERT_EQ(surface->Pixels(), expected.Pixels()) << "opacity " << opacity << " pass " << pass;
        }
    }
}

}  // namespace
