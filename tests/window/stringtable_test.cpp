#include "engine/window/stringtable.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string row(const std::string& label, const std::string& text)
{
    return "  <Row>\n   <Cell><Data ss:Type=\"String\">" + label + "</Data></Cell>\n"
           "   <Cell><Data ss:Type=\"String\">" + text + "</Data></Cell>\n  </Row>\n";
}

// A spreadsheet export as the game's strings.xml looks: rows of two cells.
std::string fixture()
{
    return "<?xml version=\"1.0\"?>\n<Workbook>\n <Worksheet ss:Name=\"Strings\">\n <Table>\n" +
           row("windowtitle", "Corvella Trip") +
           row("score", "Score: %1% of %2%") +
           row("fifth", "fifth is %5%") +
           row("zeroth", "bad %0%") +
           row("sixth", "bad %6%") +
           row("percent", "100%% sure") +
           row("literal", "holds %1% literally") +
           row("nested", "[%literal%]") +
           row("argref", "got %1%") +
           row("missingref", "see %nolabel%") +
           row("half", "50% off") +
           row(" off", "(rest)") +
           row("unclosed", "bad % sign") +
           row("dup", "first") +
           row("dup", "second") +
           row("markup", "bold <b>text</b> here") +
           row("escaped", "Fish &amp; Chips &lt;3 caf&#-61;&#-87;") +
           "  <Row><Cell><Data>onlylabel</Data></Cell></Row>\n"
           "  <Row><Cell>no data cell</Cell></Row>\n"
           " </Table>\n </Worksheet>\n</Workbook>\n";
}

class StringTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        mRoot = fs::temp_directory_path() / ("qm_strings_" + std::to_string(::getpid()) + "_" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(mRoot / "assets");
        std::ofstream(mRoot / "assets" / "strings.xml", std::ios::binary) << fixture();
        mOldCwd = fs::current_path();
        fs::current_path(mRoot);
        ASSERT_TRUE(mTable.LoadStringTable("assets/strings.xml"));
    }
    void TearDown() override
    {
        fs::current_path(mOldCwd);
        fs::remove_all(mRoot);
    }

    std::string get(const char* label, str a1 = "", str a2 = "", str a3 = "", str a4 = "", str a5 = "")
    {
        return mTable.GetString(label, a1, a2, a3, a4, a5).c_str();
    }

    fs::path mRoot, mOldCwd;
    TStringTable mTable;
};

}  // namespace

TEST_F(StringTable, ArgumentsAreNumberedFromOneToFive)
{
    EXPECT_EQ(get("windowtitle"), "Corvella Trip");
    EXPECT_EQ(get("score", "3", "7"), "Score: 3 of 7");
    EXPECT_EQ(get("fifth", "a", "b", "c", "d", "e"), "fifth is e");
    testing::internal::CaptureStderr();
    EXPECT_EQ(get("zeroth", "a"), "#####");
    EXPECT_EQ(get("sixth", "a"), "#####");
    EXPECT_EQ(mTable.GetString("score", 1, std::array<str, 1>{str("1")}.data()), str("#####"))
        << "%2% beyond the given arguments";
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find(" ##### : Missing string for label 'zeroth'"), std::string::npos) << log;
}

TEST_F(StringTable, PercentSigns)
{
    EXPECT_EQ(get("percent"), "100% sure");
    EXPECT_EQ(get("argref", "%%"), "got %") << "an argument of two percent signs is one";
    EXPECT_EQ(get("argref", "%windowtitle%"), "got Corvella Trip") << "an argument naming a label";
    testing::internal::CaptureStderr();
    EXPECT_EQ(get("argref", "%nolabel%"), "#####");
    EXPECT_EQ(get("argref", "%oops"), "#####") << "any other argument beginning with a percent sign";
    testing::internal::GetCapturedStderr();
}

TEST_F(StringTable, LabelTokensInsertTheStoredTextUnexpanded)
{
    EXPECT_EQ(get("nested", "x"), "[holds %1% literally]");
    testing::internal::CaptureStderr();
    EXPECT_EQ(get("missingref"), "#####");
    testing::internal::GetCapturedStderr();
}

TEST_F(StringTable, AnUnclosedPercentLooksUpTheRestOfTheText)
{
    EXPECT_EQ(get("half"), "50(rest) off") << "the rest is a label, then copied as text";
    testing::internal::CaptureStderr();
    EXPECT_EQ(get("unclosed"), "#####");
    testing::internal::GetCapturedStderr();
}

TEST_F(StringTable, RowsAndCells)
{
    EXPECT_EQ(get("dup"), "second") << "the later row wins";
    EXPECT_EQ(get("markup"), "bold ") << "markup ends the cell";
    EXPECT_EQ(get("escaped"), "Fish & Chips <3 caf\xC3\xA9");
    EXPECT_EQ(get("onlylabel"), "") << "a row without a second cell gives an empty text";
}

TEST_F(StringTable, MissingLabelsShowTheMarkerAndLogUnlessQuiet)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(get("nowhere"), "#####");
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log, " ##### : Missing string for label 'nowhere'\n");
    mTable.SetQuiet(true);
    testing::internal::CaptureStderr();
    EXPECT_EQ(get("nowhere"), "#####");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(StringTable, FilesOpenByTheResourceRules)
{
    TStringTable table;
    EXPECT_TRUE(table.LoadStringTable("strings.xml")) << "found as assets/strings.xml";
    EXPECT_STREQ(table.GetString("windowtitle", "", "", "", "", "").c_str(), "Corvella Trip");
    EXPECT_FALSE(table.LoadStringTable("nothere.xml"));
    EXPECT_EQ(table.Count(), 0) << "a failed load leaves the table empty";
    testing::internal::CaptureStderr();
    EXPECT_STREQ(table.GetString("windowtitle", "", "", "", "", "").c_str(), "#####");
    testing::internal::GetCapturedStderr();
}

TEST(StringTableRows, GetRowStringStopsAtTheRowEnd)
{
    const char* text = "<Row><Data a=1>one</Data><Data>two</Data><Row><Data>three</Data>";
    const char* rowEnd = std::strstr(text + 1, "<Row");
    str out("stale");
    const char* after = TStringTable::GetRowString(rowEnd, text, &out);
    ASSERT_NE(after, nullptr);
    EXPECT_STREQ(out.c_str(), "one");
    after = TStringTable::GetRowString(rowEnd, after, &out);
    ASSERT_NE(after, nullptr);
    EXPECT_STREQ(out.c_str(), "two");
    EXPECT_EQ(TStringTable::GetRowString(rowEnd, after, &out), nullptr);
    EXPECT_STREQ(out.c_str(), "");
    EXPECT_NE(TStringTable::GetRowString(nullptr, after, &out), nullptr);
    EXPECT_STREQ(out.c_str(), "three");

    // A cell cut off by the end of the text takes what is there.
    const char* cut = "<Data>abc";
    EXPECT_EQ(TStringTable::GetRowString(nullptr, cut, &out), cut + std::strlen(cut));
    EXPECT_STREQ(out.c_str(), "abc");
    const char* bare = "<Data no close";
    EXPECT_EQ(TStringTable::GetRowString(nullptr, bare, &out), bare + std::strlen(bare));
    EXPECT_STREQ(out.c_str(), "");
}
