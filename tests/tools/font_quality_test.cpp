// The shipped fonts against FreeType: every glyph at 12, 16 and 24 pixels is
// drawn by our rasteriser and by FreeType's anti-aliased renderer from the
// same DejaVu outline, and the mean absolute coverage difference is reported.
// Also checks that the committed font files are what the builder makes now.
#include "tools/mvecfont/glyph_compare.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct ShippedFont {
    const char* file;      // under data/
    const char* trueType;  // under the DejaVu folder
};
const ShippedFont kFonts[] = {
    {"assets/fonts/default.mvec", "DejaVuSans.ttf"},
    {"assets/font.mvec", "DejaVuSans.ttf"},
    {"assets/fonts/corona.mvec", "DejaVuSans-Bold.ttf"},
};

std::vector<uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class FontQuality : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(FT_Init_FreeType(&library), 0); }
    void TearDown() override { FT_Done_FreeType(library); }
    FT_Library library = nullptr;
};

TEST_F(FontQuality, ShippedGlyphsMatchFreeTypeCoverage)
{
    // Bounds set from the measurement, with a margin: the mean over a font's
    // glyphs was 0.021 to 0.041, the worst glyph 0.12 (a thin bar at 12 px).
    constexpr double kMeanBound = 0.06, kGlyphBound = 0.18;
    for (const ShippedFont& shipped : kFonts) {
        std::vector<uint8_t> bytes = ReadAll(std::string(QM_DATA_DIR) + "/" + shipped.file);
        ASSERT_FALSE(bytes.empty()) << shipped.file;
        auto font = TMvecFont::FromBytes(bytes.data(), bytes.size());
        FT_Face face;
        ASSERT_EQ(FT_New_Face(library, (std::string(QM_DEJAVU_DIR) + "/" + shipped.trueType).c_str(), 0, &face), 0);
        TQmMiniVecDraw draw;
        for (int pixels : {12, 16, 24}) {
            double sum = 0, worst = 0;
            unsigned long worstCode = 0;
            int glyphs = 0;
            for (int i = 0; i < font->GetGlyphCount(); ++i) {
                const unsigned long code = font->GetGlyphCode(i);
                mvecfont::CoverageDiff diff = mvecfont::CompareGlyph(face, *font, code, pixels, draw);
                if (diff.pixels == 0)
                    continue;  // no ink either way
                sum += diff.meanAbs;
                ++glyphs;
                if (diff.meanAbs > worst) {
                    worst = diff.meanAbs;
                    worstCode = code;
                }
                EXPECT_LT(diff.meanAbs, kGlyphBound) << shipped.file << " U+" << std::hex << code << " at " << pixels;
            }
            const double mean = sum / glyphs;
            std::printf("%s at %2d px: %d glyphs, mean |coverage difference| %.4f, worst %.4f (U+%04lX)\n",
                        shipped.file, pixels, glyphs, mean, worst, worstCode);
            EXPECT_LT(mean, kMeanBound) << shipped.file << " at " << pixels;
        }
        FT_Done_Face(face);
    }
}

TEST_F(FontQuality, CommittedFontsAreWhatTheBuilderMakes)
{
    for (const ShippedFont& shipped : kFonts) {
        const std::string fresh = std::string("fresh-") + std::to_string(&shipped - kFonts) + ".mvec";
        const std::string command = std::string(QM_MVECFONT) + " " + QM_DEJAVU_DIR + "/" + shipped.trueType + " " +
                                    fresh + " --no-check > /dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        EXPECT_EQ(ReadAll(fresh), ReadAll(std::string(QM_DATA_DIR) + "/" + shipped.file))
            << shipped.file << " is stale: run tools/mvecfont/make-fonts";
        std::remove(fresh.c_str());
    }
}

}  // namespace
