// The font cache against the real resource folder.
#include "engine/text/fontdata.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>

namespace {

// Runs a test inside data/, the folder the game runs in.
class FontData : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(getcwd(mPrevious, sizeof mPrevious), nullptr);
        ASSERT_EQ(chdir(QM_DATA_DIR), 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(mPrevious), 0); }
    char mPrevious[PATH_MAX];
};

TEST_F(FontData, FilesFallbacksAndTheBuiltInFont)
{
    TFontData fonts;
    TMvecFont* builtIn = fonts.GetMvec("__DEFAULT");
    TMvecFont* fallback = fonts.GetMvec("fonts/default.mvec");  // found under assets/
    TMvecFont* bold = fonts.GetMvec("assets/fonts/corona.mvec");
    ASSERT_NE(builtIn, nullptr);
    ASSERT_NE(fallback, nullptr);
    ASSERT_NE(bold, nullptr);
    EXPECT_NE(builtIn, fallback);
    EXPECT_EQ(fonts.GetMvec("fonts/default.mvec"), fallback);  // cached
    // The bold cut is wider than the regular one.
    EXPECT_GT(bold->GetGlyphAdvance(bold->GetGlyphIndex('a')), fallback->GetGlyphAdvance(fallback->GetGlyphIndex('a')));

    // Names written with backslashes open too.
    TMvecFont* backslashed = fonts.GetMvec("fonts\\corona.mvec");
    EXPECT_FLOAT_EQ(backslashed->GetGlyphAdvance(backslashed->GetGlyphIndex('a')),
                    bold->GetGlyphAdvance(bold->GetGlyphIndex('a')));
    // A missing face is the fallback file's font, cached under its own name.
    TMvecFont* missing = fonts.GetMvec("no such font.mvec");
    EXPECT_EQ(missing, fallback);
    EXPECT_EQ(fonts.GetMvec("no such font.mvec"), missing);
    EXPECT_EQ(fonts.GetMvec("font.mvec")->GetGlyphCount(), 217);
}

TEST_F(FontData, AFaceNamingAFolderIsAMissingFont)
{
    TFontData fonts;
    TMvecFont* fallback = fonts.GetMvec("fonts/default.mvec");
    // "fonts" opens as assets/fonts, a folder; "/" is the root folder.
    EXPECT_EQ(fonts.GetMvec("fonts"), fallback);
    EXPECT_EQ(fonts.GetMvec("/"), fallback);
}

}  // namespace
