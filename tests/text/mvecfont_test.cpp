#include "engine/text/default_font.h"
#include "engine/text/mvecfont.h"
#include "tests/text/mvec_writer.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TMvecFont> Load(const std::vector<uint8_t>& bytes)
{
    return TMvecFont::FromBytes(bytes.data(), bytes.size());
}

TEST(MvecFont, BuiltInFontHasItsGlyphsAndLineMetrics)
{
    auto font = TMvecFont::FromBytes(kDefaultFont, kDefaultFontSize);
    EXPECT_EQ(font->GetGlyphCount(), 217);  // ASCII, Latin-1 and common punctuation
    for (unsigned long code : {32ul, 65ul, 126ul, 0xE9ul, 0xFFul, 0x20ACul, 0x2026ul})
        EXPECT_GE(font->GetGlyphIndex(code), 0) << code;
    EXPECT_EQ(font->GetGlyphIndex(31), -1);
    EXPECT_EQ(font->GetGlyphIndex(127), -1);
    EXPECT_EQ(font->GetGlyphIndex(0x10FFFF), -1);

    // 2048 units an em become 192: the 'W' of DejaVu Sans is 1493 units tall.
    const int w = font->GetGlyphIndex('W');
    EXPECT_FLOAT_EQ(font->GetAscent(), 1493 * 12 / 128.0f);
    EXPECT_FLOAT_EQ(font->GetAscent(), -font->GetGlyphTop(w));
    // Descent: the lowest ASCII glyph other than the underscore.
    float lowest = 0;
    for (unsigned long c = 32; c < 127; ++c)
        if (c != '_')
            lowest = std::max(lowest, font->GetGlyphBottom(font->GetGlyphIndex(c)));
    EXPECT_FLOAT_EQ(font->GetDescent(), lowest);
    EXPECT_GT(font->GetGlyphBottom(font->GetGlyphIndex('_')), 0);

    EXPECT_FLOAT_EQ(font->GetLinePercent(), 0.8f);
    const float total = (font->GetAscent() + font->GetDescent()) * 0.25f;
    EXPECT_NEAR(font->GetLeading(true), total * 0.75f, 1e-3);
    EXPECT_NEAR(font->GetLeading(false), total * 0.25f, 1e-3);

    // Space: no ink, an advance, outline just "end".
    const int space = font->GetGlyphIndex(' ');
    EXPECT_GT(font->GetGlyphAdvance(space), 0);
    EXPECT_EQ(font->GetGlyphData(space)[0], 8);
    // Capital A with ring reaches above the line box and is squashed into it.
    EXPECT_LT(font->GetGlyphScaleY(font->GetGlyphIndex(0xC5)), 1.0f);
    EXPECT_FLOAT_EQ(font->GetGlyphScaleY(font->GetGlyphIndex('a')), 1.0f);
}

TEST(MvecFont, BadIndicesGiveNeutralValues)
{
    auto font = TMvecFont::FromBytes(kDefaultFont, kDefaultFontSize);
    for (int index : {-1, font->GetGlyphCount()}) {
        EXPECT_EQ(font->GetGlyphData(index), nullptr);
        EXPECT_EQ(font->GetGlyphAdvance(index), 0.0f);
        EXPECT_EQ(font->GetGlyphMinX(index), 0.0f);
        EXPECT_EQ(font->GetGlyphScaleY(index), 1.0f);
    }
}

TEST(MvecFont, WrongMagicEmptyAndShortFilesHaveNoGlyphs)
{
    std::vector<TestGlyph> glyphs = {{'W', 0, 1280, -1280, 0, 1280, {8}}};
    EXPECT_EQ(Load(WriteMvec(glyphs, "MVC3"))->GetGlyphCount(), 0);
    EXPECT_EQ(Load({})->GetGlyphCount(), 0);
    EXPECT_EQ(Load({'M', 'V', 'C', '4', 1})->GetGlyphCount(), 0);
    EXPECT_EQ(TMvecFont(nullptr, 100).GetGlyphCount(), 0);
    auto font = Load(WriteMvec(glyphs));
    EXPECT_EQ(font->GetGlyphCount(), 1);
    EXPECT_FLOAT_EQ(font->GetAscent(), 10.0f);
}

TEST(MvecFont, GlyphsWithBrokenOutlinesAreLeftOut)
{
    std::vector<TestGlyph> glyphs = {
        {'A', 0, 0, 0, 0, 128, {4, 0, 0, 0, 0, 8}},  // fine
        {'B', 0, 0, 0, 0, 128, {4, 0, 0, 9, 8}},     // opcode 9
        {'C', 0, 0, 0, 0, 128, {5, 0, 0}},           // runs off the end
    };
    auto bytes = WriteMvec(glyphs);
    auto font = Load(bytes);
    EXPECT_EQ(font->GetGlyphCount(), 1);
    EXPECT_GE(font->GetGlyphIndex('A'), 0);
    EXPECT_EQ(font->GetGlyphIndex('B'), -1);
    EXPECT_EQ(font->GetGlyphIndex('C'), -1);

    // An offset beyond the file.
    bytes[12 + 14] = 0xff;
    bytes[12 + 17] = 0x7f;
    EXPECT_EQ(Load(bytes)->GetGlyphCount(), 0);
    // A count larger than the table: only what is there.
    auto more = WriteMvec({glyphs[0]});
    more[4] = 200;
    EXPECT_EQ(Load(more)->GetGlyphCount(), 1);
}

TEST(MvecFont, UnsortedTablesAreSortedAndDuplicatesDropped)
{
    std::vector<TestGlyph> glyphs = {
        {'c', 0, 0, 0, 0, 3 * 128, {8}}, {'a', 0, 0, 0, 0, 1 * 128, {8}},
        {'b', 0, 0, 0, 0, 2 * 128, {8}}, {'a', 0, 0, 0, 0, 9 * 128, {8}}};
    auto font = Load(WriteMvec(glyphs));
    EXPECT_EQ(font->GetGlyphCount(), 3);
    EXPECT_FLOAT_EQ(font->GetGlyphAdvance(font->GetGlyphIndex('a')), 1);
    EXPECT_FLOAT_EQ(font->GetGlyphAdvance(font->GetGlyphIndex('b')), 2);
    EXPECT_FLOAT_EQ(font->GetGlyphAdvance(font->GetGlyphIndex('c')), 3);
}

TEST(MvecFont, WithoutAWTheTallestAsciiGlyphGivesTheAscent)
{
    std::vector<TestGlyph> glyphs = {{'a', 0, 0, -10 * 128, 2 * 128, 128, {8}},
                                     {'k', 0, 0, -14 * 128, 0, 128, {8}},
                                     {'_', 0, 0, 0, 5 * 128, 128, {8}}};
    auto font = Load(WriteMvec(glyphs));
    EXPECT_FLOAT_EQ(font->GetAscent(), 14);
    EXPECT_FLOAT_EQ(font->GetDescent(), 2);
}

}  // namespace
