#include "engine/text/textgraphic.h"
#include "engine/text/textservices.h"
#include "tests/text/mvec_writer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// Colours compare field by field in these tests.
bool operator==(const TColor& a, const TColor& b) { return SameColour(a, b); }
std::ostream& operator<<(std::ostream& out, const TColor& c)
{
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}

namespace {

const TColor kBlack{0, 0, 0, 1};
const TColor kRed{1, 0, 0, 1};

// A graphic that frees itself at the end of the test.
struct Graphic {
    Graphic(const char* text, int width = 400, int height = 300, int justification = 0, int size = 16)
        : g(TTextGraphic::Create(text, width, height, justification, "", size, kBlack))
    {
    }
    ~Graphic() { TTextGraphic::Destroy(g); }
    TTextGraphic* operator->() { return g; }
    const TTextLine& Line(int i) { return g->GetLines().at(size_t(i)); }
    TTextGraphic* g;
};

TEST(TextLayout, BoldTagSplitsALineIntoThreeRuns)
{
    Graphic t("a<b>b</b>c");
    ASSERT_EQ(t->GetLineCount(), 1);
    const auto& runs = t.Line(0).runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_FALSE(runs[0].bold);
    EXPECT_TRUE(runs[1].bold);
    EXPECT_FALSE(runs[2].bold);
    EXPECT_EQ(runs[0].start, 0);
    EXPECT_EQ(runs[0].end, 0);
    EXPECT_EQ(runs[1].start, 4);
    EXPECT_EQ(runs[1].end, 4);
    EXPECT_EQ(runs[2].start, 9);
    EXPECT_EQ(runs[2].end, 9);
    EXPECT_EQ(runs[0].right, runs[1].left);
    EXPECT_LT(runs[1].left, runs[1].right);
    EXPECT_EQ(t.Line(0).height, 16);
}

TEST(TextLayout, BreaksCountAsContent)
{
    Graphic t("<br><br>");
    ASSERT_EQ(t->GetLineCount(), 2);
    EXPECT_EQ(t.Line(0).height, 16);
    EXPECT_EQ(t.Line(1).height, 16);

    Graphic padded("x<br pad=\"5\">y</p>z\nw");
    ASSERT_EQ(padded->GetLineCount(), 4);
    EXPECT_EQ(padded.Line(0).height, 21);
    EXPECT_EQ(padded.Line(1).height, 16);
    EXPECT_EQ(padded.Line(2).runs[0].start, 18);
    EXPECT_EQ(padded.Line(3).runs[0].start, 20);  // the newline is consumed
}

TEST(TextLayout, BackslashShowsTheTagAsText)
{
    Graphic t("\\<b>x");
    ASSERT_EQ(t->GetLineCount(), 1);
    ASSERT_EQ(t.Line(0).runs.size(), 1u);
    EXPECT_FALSE(t.Line(0).runs[0].bold);
    EXPECT_EQ(t.Line(0).runs[0].end, 4);
    Graphic plain("<b>x");
    // The escaped text is wider by the glyphs of "<b>".
    EXPECT_GT(t.Line(0).runs[0].right, plain.Line(0).runs.back().right + 5);
}

TEST(TextLayout, CenterTagEndsTheLineAndCentresTheNext)
{
    Graphic t("<center>x", 200);
    ASSERT_EQ(t->GetLineCount(), 2);
    EXPECT_EQ(t.Line(0).height, 0);
    EXPECT_EQ(t.Line(1).x, 100);
    const int w = t.Line(1).runs[0].right;
    EXPECT_LT(t.Line(1).xOffset, 0);
    EXPECT_NEAR(t.Line(1).xOffset, -w * 0.5, 2.5);

    Graphic right("x", 200, 100, TTextGraphic::kHAlignRight);
    EXPECT_EQ(right.Line(0).x, 200);
    EXPECT_NEAR(right.Line(0).xOffset, -right.Line(0).runs[0].right, 2.5);

    // Closing the tag brings back the graphic's own justification.
    Graphic back("<right>a</right>b", 200);
    ASSERT_EQ(back->GetLineCount(), 3);
    EXPECT_EQ(back.Line(1).x, 200);
    EXPECT_EQ(back.Line(2).x, 0);
}

TEST(TextLayout, WrapsAtTheLastSpaceOrCutsALongWord)
{
    Graphic word("abcdefghijklmnopqrstuvwxyz", 60);
    ASSERT_GT(word->GetLineCount(), 1);
    int characters = 0;
    for (const TTextLine& line : word->GetLines()) {
        // The character that crosses the width stays on its line.
        EXPECT_LE(line.runs.back().right, 60 + 12);
        characters += line.runs.back().end - line.runs.front().start + 1;
    }
    EXPECT_EQ(characters, 26);  // every letter on some line, none lost

    Graphic words("one two three four", 80);
    ASSERT_GE(words->GetLineCount(), 2);
    const TTextRun& first = words.Line(0).runs.back();
    EXPECT_EQ(std::string(words->GetText().c_str() + first.start, size_t(first.end - first.start + 1)), "one two");
    EXPECT_EQ(words.Line(1).runs.front().start, 8);  // the space is gone
}

TEST(TextLayout, WrapPointInAnEarlierRunEndsTheLineThere)
{
    // The space lies before the bold tag; the bold word overflows.
    Graphic t("aaaa <b>bbbbbbbbbbbb</b>", 80);
    ASSERT_GE(t->GetLineCount(), 2);
    ASSERT_EQ(t.Line(0).runs.size(), 1u);
    EXPECT_EQ(t.Line(0).runs[0].end, 3);
    EXPECT_TRUE(t.Line(1).runs[0].bold || t.Line(1).runs[1].bold);
}

TEST(TextLayout, ColourValuesNeedQuotes)
{
    Graphic dq("<font color=\"#ff0000\">x");
    Graphic sq("<font color='ff0000'>x");
    Graphic none("<font color=ff0000>x");
    EXPECT_EQ(dq.Line(0).runs.back().colour, kRed);
    EXPECT_EQ(sq.Line(0).runs.back().colour, kRed);
    EXPECT_EQ(none.Line(0).runs.back().colour, kBlack);
}

TEST(TextLayout, FontSizeOutlineItalicAndLinksReachTheRuns)
{
    Graphic t("<font size=\"32\">B</font><outline color=\"00ff00\">o</outline><i>i</i><u>u</u><a id=\"go\">l</a>");
    ASSERT_EQ(t->GetLineCount(), 1);
    const auto& runs = t.Line(0).runs;
    EXPECT_EQ(runs[1].size, 32);
    EXPECT_EQ(t.Line(0).height, 32);
    auto find = [&](char c) -> const TTextRun& {
        for (const TTextRun& run : runs)
            if (run.end >= run.start && t->GetText()[run.start] == c)
                return run;
        return runs.front();
    };
    EXPECT_FLOAT_EQ(find('o').outlineSize, 2.0f);
    EXPECT_EQ(find('o').outlineColour, (TColor{0, 1, 0, 1}));
    EXPECT_TRUE(find('i').italic);
    EXPECT_TRUE(find('u').underline);
    EXPECT_EQ(find('l').linkId, str("go"));
    EXPECT_EQ(find('l').linkColour, kBlack);  // no colour: the font's
    EXPECT_EQ(find('B').baseline, runs[1].baseline);
    EXPECT_GT(find('B').baseline, find('o').baseline);
}

TEST(TextLayout, AGraphicsOwnOutlineReachesEveryRunAndOutlivesNewText)
{
    const TColor ink{0.25f, 0.125f, 0.5f, 1};
    Graphic t("a<b>b</b>");
    t->SetOutline(2, ink);
    for (const TTextRun& run : t.Line(0).runs) {
        EXPECT_FLOAT_EQ(run.outlineSize, 2.0f);
        EXPECT_EQ(run.outlineColour, ink);
    }
    // New text keeps it; a tag changes it for a stretch and its end returns to it.
    t->SetText("x<outline size=\"4\" color=\"00ff00\">y</outline>z");
    const auto& runs = t.Line(0).runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_FLOAT_EQ(runs[0].outlineSize, 2.0f);
    EXPECT_FLOAT_EQ(runs[1].outlineSize, 4.0f);
    EXPECT_EQ(runs[1].outlineColour, (TColor{0, 1, 0, 1}));
    EXPECT_FLOAT_EQ(runs[2].outlineSize, 2.0f);
    EXPECT_EQ(runs[2].outlineColour, ink);
    // Left-aligned text moves right so that its outline stays inside the box.
    TRect outlined;
    t->GetTextBounds(&outlined);
    t->SetOutline(0, ink);
    EXPECT_FLOAT_EQ(t.Line(0).runs[0].outlineSize, 0.0f);
    TRect plain;
    t->GetTextBounds(&plain);
    EXPECT_GT(outlined.x1, plain.x1);
}

TEST(TextLayout, TabMovesThePen)
{
    Graphic t("a<tab pos=\"50\">b");
    ASSERT_EQ(t.Line(0).runs.size(), 2u);
    EXPECT_EQ(t.Line(0).runs[0].tab, 200);
    EXPECT_EQ(t.Line(0).runs[1].left, 50);
}

TEST(TextLayout, EmptyTextHasNoLinesAndPicksNothing)
{
    Graphic t("");
    EXPECT_EQ(t->GetLineCount(), 0);
    EXPECT_EQ(t->Pick(TPoint{5, 5}, 0), str(""));
    EXPECT_EQ(t->GetMaxScroll(1.0f, 0), 0);
    TRect bounds;
    t->GetTextBounds(&bounds);
    EXPECT_EQ(bounds.x1, 0);
    EXPECT_EQ(bounds.x2, 0);
}

TEST(TextLayout, BoundsOfOneLeftLineAreItsWidth)
{
    Graphic t("abc");
    TRect bounds;
    t->GetTextBounds(&bounds);
    EXPECT_EQ(bounds.x1, 0);
    EXPECT_EQ(bounds.x2, t.Line(0).runs[0].right);
    EXPECT_EQ(bounds.y1, 0);
    EXPECT_EQ(bounds.y2, 16);

    // Centred text reports where it stands, not where its anchor is.
    Graphic centred("abc", 200, 100, TTextGraphic::kHAlignCenter);
    centred->GetTextBounds(&bounds);
    EXPECT_NEAR(bounds.x1, 100 - t.Line(0).runs[0].right / 2, 1);
    EXPECT_NEAR(bounds.x2 - bounds.x1, t.Line(0).runs[0].right, 1);
}

TEST(TextLayout, VerticalJustification)
{
    Graphic middle("a<br>b", 100, 100, TTextGraphic::kVAlignCenter);
    EXPECT_FLOAT_EQ(middle->GetVerticalOffset(), -16.0f);
    TRect bounds;
    middle->GetTextBounds(&bounds);
    EXPECT_EQ(bounds.y1, 50);
    Graphic bottom("a<br>b", 100, 100, TTextGraphic::kVAlignBottom);
    EXPECT_FLOAT_EQ(bottom->GetVerticalOffset(), -32.0f);
}

TEST(TextLayout, PickAndRolloverFindLinks)
{
    Graphic t("go <a id=\"here\" color=\"ff0000\">here</a> now<br>second line");
    const TTextLine& line = t.Line(0);
    ASSERT_EQ(line.runs.size(), 3u);
    const TTextRun& link = line.runs[1];
    EXPECT_EQ(link.linkColour, kRed);
    const int origin = int(line.x + line.xOffset);
    const int middle = origin + (link.left + link.right) / 2;
    EXPECT_EQ(t->Pick(TPoint{middle, 8}, 0), str("here"));
    EXPECT_EQ(t->Pick(TPoint{origin + line.runs[0].left + 1, 8}, 0), str(""));
    EXPECT_EQ(t->Pick(TPoint{middle, 20}, 0), str(""));  // second line
    EXPECT_EQ(t->Pick(TPoint{middle, -3}, 4), str("here"));  // the extra spacing above counts
}

TEST(TextLayout, RolloverReportsChanges)
{
    Graphic t("<a id=\"x\">link</a>");
    const TTextLine& line = t.Line(0);
    ASSERT_EQ(line.runs.size(), 2u);  // an empty run before the tag, then the link
    TPoint on{int(line.x + line.xOffset) + (line.runs[1].left + line.runs[1].right) / 2, 5};
    TPoint off{390, 5};
    EXPECT_TRUE(t->Rollover(&on, 0));
    EXPECT_FALSE(t->Rollover(&on, 0));
    EXPECT_TRUE(t->Rollover(&off, 0));
    EXPECT_TRUE(t->Rollover(&on, 0));
    EXPECT_TRUE(t->Rollover(nullptr, 0));
}

TEST(TextLayout, ScrollingAndMaxScroll)
{
    Graphic t("1<br>2<br>3<br>4<br>5<br>6<br>7<br>8<br>9<br>10", 100, 50);
    ASSERT_EQ(t->GetLineCount(), 10);
    // From the end: 16, 32, 48 fit in 50; the fourth line does not.
    EXPECT_EQ(t->GetMaxScroll(1.0f, 0), 7);
    EXPECT_EQ(t->GetMaxScroll(1.0f, 10), 9);  // 26 fits, 52 does not
    t->mScrollLine = 2;
    const TTextLine& third = t.Line(2);
    EXPECT_EQ(t->Pick(TPoint{int(third.x + third.xOffset) + 2, 3}, 0), str(""));
    Graphic fits("a<br>b", 100, 50);
    EXPECT_EQ(fits->GetMaxScroll(1.0f, 0), 0);
}

TEST(TextLayout, MaxScrollOfTextNotAtTheTopLogsTheCheck)
{
    Graphic t("a<br>b", 100, 50, TTextGraphic::kVAlignCenter);
    testing::internal::CaptureStderr();
    t->GetMaxScroll(1.0f, 0);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("ASSERT(mBounds.mY1==0 && \"TTextGraphic::GetMaxScroll can only be called on text that is "
                       "top-justified (kVAlignTop)\") FAILED!! "),
              std::string::npos)
        << log;
}

// A face and a fallback font with different proportions, in a folder of
// their own, so runs that switch between them can be told apart.
class FallbackLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(getcwd(mPrevious, sizeof mPrevious), nullptr);
        char pattern[] = "/tmp/qm-fallback-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        mFolder = pattern;
        std::filesystem::create_directory(mFolder / "fonts");
        // The face: tall, nothing below the baseline; it has no 'b'.
        Write("face.mvec", {{'W', 0, 100 * 128, -100 * 128, 0, 100 * 128, {8}},
                            {'a', 0, 50 * 128, -50 * 128, 0, 50 * 128, {8}}});
        // The fallback: as deep as it is tall, so its baseline sits higher.
        Write("fonts/default.mvec", {{'W', 0, 100 * 128, -50 * 128, 50 * 128, 100 * 128, {8}},
                                     {'a', 0, 50 * 128, -50 * 128, 0, 50 * 128, {8}},
                                     {'b', 0, 50 * 128, -50 * 128, 50 * 128, 50 * 128, {8}}});
        ASSERT_EQ(chdir(mFolder.c_str()), 0);
        SetTextServices(TTextServices{&mFonts, nullptr, nullptr});
    }
    void TearDown() override
    {
        SetTextServices(TTextServices{});
        ASSERT_EQ(chdir(mPrevious), 0);
        std::filesystem::remove_all(mFolder);
    }
    void Write(const char* name, const std::vector<TestGlyph>& glyphs)
    {
        const std::vector<uint8_t> bytes = WriteMvec(glyphs);
        std::ofstream(mFolder / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    char mPrevious[PATH_MAX];
    std::filesystem::path mFolder;
    TFontData mFonts;
};

TEST_F(FallbackLayout, ARunLeftForTheFallbackStillCountsItsCharacter)
{
    TTextGraphic* t = TTextGraphic::Create("b", 400, 100, 0, "face.mvec", 16, kBlack);
    const TTextLine& line = t->GetLines().at(0);
    ASSERT_EQ(line.runs.size(), 2u);
    const TTextRun& face = line.runs[0];
    const TTextRun& fallback = line.runs[1];
    EXPECT_LT(face.end, face.start);  // it holds nothing: 'b' went on in the fallback run
    EXPECT_EQ(fallback.ownFont, mFonts.GetMvec("face.mvec"));
    EXPECT_GT(face.baseline, fallback.baseline);
    // The character was counted in the face's run before it moved on, so that
    // run keeps its size and baseline, and the line takes the larger baseline.
    EXPECT_EQ(face.size, 16);
    EXPECT_EQ(line.baseline, face.baseline);
    TTextGraphic::Destroy(t);
}

TEST(TextLayout, DeepNestingAndCutOffTextStayInBounds)
{
    std::string deep;
    for (int i = 0; i < 40; ++i)
        deep += "<font size=\"" + std::to_string(10 + i) + "\"><center>";
    deep += "x";
    for (int i = 0; i < 40; ++i)
        deep += "</font></center>";
    deep += "<font size=\"20\">y</font>z";
    Graphic t(deep.c_str());
    const TTextLine& last = t.Line(t->GetLineCount() - 1);
    EXPECT_EQ(last.runs.back().size, 16);  // all pops matched: back to the base size
    EXPECT_EQ(last.x, 0);

    // A lead byte, a backslash or an open tag at the very end.
    for (const char* cut : {"abc\xE2", "abc\\", "abc<b", "abc\xF0\x9F"}) {
        Graphic c(cut);
        EXPECT_EQ(c->GetLineCount(), 1) << cut;
    }
}

TEST(TextState, TagParsingRules)
{
    TTextState state;
    state.Reset("face", 16, kBlack);
    int length = 0, pad = 0, tab = 0;
    bool lineBreak = false, cursor = false, justification = false;
    EXPECT_FALSE(state.ParseTag("b>", &length, &lineBreak, &pad, &cursor, &justification, &tab));
    EXPECT_FALSE(state.ParseTag("<b", &length, &lineBreak, &pad, &cursor, &justification, &tab));
    // Blanks outside quotes are dropped; those inside are kept.
    EXPECT_TRUE(state.ParseTag("< big >rest", &length, &lineBreak, &pad, &cursor, &justification, &tab));
    EXPECT_EQ(length, 7);
    EXPECT_TRUE(state.mBold);
    EXPECT_TRUE(state.ParseTag("<img>", &length, &lineBreak, &pad, &cursor, &justification, &tab));
    EXPECT_TRUE(state.mItalic);
    EXPECT_TRUE(state.ParseTag("<a id=\"two words\">", &length, &lineBreak, &pad, &cursor, &justification, &tab));
    EXPECT_EQ(state.mLinkId, str("two words"));
    EXPECT_TRUE(state.ParseTag("<unknown-tag>", &length, &lineBreak, &pad, &cursor, &justification, &tab));
    EXPECT_TRUE(state.mUnderline);  // 'u' prefix
    EXPECT_TRUE(state.ParseTag("<whatever>", &length, &lineBreak, &pad, &cursor, &justification, &tab));
    EXPECT_FALSE(lineBreak || cursor || justification);
    EXPECT_TRUE(state.ParseTag("<cursor>", &length, &lineBreak, &pad, &cursor, &justification, &tab));
    EXPECT_TRUE(cursor);
    // A tag longer than the buffer ends at 128 stored characters.
    std::string longTag = "<" + std::string(200, 'x') + ">";
    EXPECT_TRUE(state.ParseTag(longTag.c_str(), &length, &lineBreak, &pad, &cursor, &justification, &tab));
    EXPECT_EQ(length, 128);
}

TEST(TextState, Attributes)
{
    char value[TTextState::kTagBufferSize + 1];
    EXPECT_TRUE(TTextState::GetAttribute("<fontsize=\"12\"color='ff'>", "color", value));
    EXPECT_STREQ(value, "ff");
    EXPECT_FALSE(TTextState::GetAttribute("<fontsize=12>", "size", value));
    EXPECT_FALSE(TTextState::GetAttribute("<font>", "size", value));
    EXPECT_EQ(TTextState::ParseColour("#0080ff"), (TColor{0, 128 / 255.0f, 1, 1}));
}

}  // namespace
