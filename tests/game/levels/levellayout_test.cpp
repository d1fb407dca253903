// Floor layouts: reading grids with any line ends, the tables, chairs and bar
// they describe, grids whose tables touch the edges, and the editor's writer.
#include "engine/base/asset.h"
#include "game/levels/levellayout.h"
#include "headlessengine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Row 0 names the drink station, the podium and the bench; a bar with its
// stools; a 2-seat table, a 4-seat and a 6-seat table with coloured chairs.
const std::vector<std::string> kFloor = {
    "d.o.e-----------",
    "----------------",
    "----------------",
    "........r2B.....",
    ".rb<....g4y.....",
    ".yg<....P4c.....",
    ".pc<............",
    ".rb<....r6b.....",
    ".yg<....g6y.....",
    ".pc<....x6r.....",
    ".rr<............",
    "................",
    "................",
};

std::string Join(const std::vector<std::string>& rows, const std::string& eol)
{
    std::string text;
    for (const auto& row : rows)
        text += row + eol;
    return text;
}

class Layouts : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(mScratch.Enter("qm_layout_")); }
    void TearDown() override { mScratch.Leave(); }

    void WriteLayout(const std::string& name, const std::string& text)
    {
        fs::create_directories("assets/layouts");
        std::ofstream("assets/layouts/" + name + ".txt", std::ios::binary) << text;
    }

    qmtest::TScratchHome mScratch;
};

TEST_F(Layouts, LineEndsOfAnyKindReadAlike)
{
    WriteLayout("lf", Join(kFloor, "\n"));
    WriteLayout("crlf", Join(kFloor, "\r\n"));
    WriteLayout("none", Join(kFloor, ""));
    TLevelLayout lf, crlf, none;
    lf.OpenLevel("lf");
    crlf.OpenLevel("crlf");
    none.OpenLevel("none");
    EXPECT_EQ(std::string(lf.GetGrid().c_str()), Join(kFloor, ""));
    EXPECT_EQ(std::string(crlf.GetGrid().c_str()), Join(kFloor, ""));
    EXPECT_EQ(std::string(none.GetGrid().c_str()), Join(kFloor, ""));
    EXPECT_EQ(std::string(lf.GetName().c_str()), "lf");
}

TEST_F(Layouts, ShortLinesShiftTheRowsBelowAndAMissingOrShortFileIsAnEmptyFloor)
{
    TLevelLayout layout;
    // The line end after "d---" is copied as a cell.
    EXPECT_EQ(layout.ReadRows(str("d---\n----------------\n")), 22);
    EXPECT_EQ(std::string(layout.GetGrid().c_str()).substr(0, 20), "d---\n---------------");

    // A file with fewer cells than a floor is cut short: refused, named once
    // in the life of the asset registry.
    TAssetManager assets;
    WriteLayout("short", "d---\n----------------\n");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(layout.OpenLevel("short"));
    EXPECT_FALSE(layout.OpenLevel("short"));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::string(layout.GetGrid().c_str()), std::string(kLayoutCells, '-'));
    const std::string line = "assets/layouts/short.txt holds 22 of the 208 cells of a floor plan; the floor stays empty\n";
    EXPECT_EQ(log, line);

    testing::internal::CaptureStderr();
    EXPECT_FALSE(layout.OpenLevel("nothing"));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("assets/layouts/nothing.txt is missing"), std::string::npos);
    EXPECT_EQ(std::string(layout.GetGrid().c_str()), std::string(kLayoutCells, '-'));
    EXPECT_FALSE(layout.HasDrinkStation());
}

TEST_F(Layouts, DescribesTablesOfTwoFourAndSixSeatsAndTheBar)
{
    WriteLayout("floor", Join(kFloor, "\n"));
    TLevelLayout layout;
    layout.OpenLevel("floor");

    const TLayoutStations s = layout.GetStations();
    EXPECT_TRUE(s.drink && s.podium && s.bench);
    EXPECT_FALSE(s.snack || s.dessert || s.mop || s.highChair || s.phone);

    std::vector<TTableDesc> tables;
    std::optional<TBarDesc> bar;
    layout.SetupTables(&tables, &bar);
    ASSERT_EQ(tables.size(), 3u);

    struct Expected {
        int seats;
        TPoint point;
        std::vector<int> colors;
    };
    const Expected expected[] = {
        // (3, 9): x = 9 * 35 + 180; y = trunc(3 / 13 * 470) + 110.
        {2, {495, 218}, {0, 1}},
        {4, {495, 272}, {2, 4, 5, 3}},  // upper-case "P" reads as purple
        {6, {495, 390}, {0, 2, 6, 0, 3, 1}},  // "x" is a chair without colour
    };
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(tables[i].id, static_cast<int>(i));
        EXPECT_EQ(tables[i].seats, expected[i].seats);
        EXPECT_EQ(tables[i].point, expected[i].point);
        EXPECT_EQ(std::vector<int>(tables[i].colors.begin(), tables[i].colors.begin() + tables[i].seats),
                  expected[i].colors);
    }
    ASSERT_TRUE(bar.has_value());
    EXPECT_EQ(bar->point, (TPoint{285, 381}));  // rows 4 + 3.5, column 3
    EXPECT_EQ(std::vector<int>(bar->colors.begin(), bar->colors.end()), (std::vector<int>{1, 2, 5, 1, 2, 5, 0, kChairColorNone}));
}

TEST_F(Layouts, AnUpgradeAddsOnlyTheTablesNotYetStandingAndOneBar)
{
    std::vector<std::string> upgraded = kFloor;
    upgraded[11] = "...........r2b..";
    upgraded[4][13] = '<';  // a second bar is ignored
    WriteLayout("floor", Join(kFloor, "\n"));
    WriteLayout("bigger", Join(upgraded, "\n"));
    TLevelLayout layout;
    std::vector<TTableDesc> tables;
    std::optional<TBarDesc> bar;
    layout.OpenLevel("floor");
    layout.SetupTables(&tables, &bar);
    const TPoint firstBar = bar->point;
    layout.OpenLevel("bigger");
    layout.SetupTables(&tables, &bar);
    ASSERT_EQ(tables.size(), 4u);
    EXPECT_EQ(tables[3].id, 3);
    EXPECT_EQ(tables[3].seats, 2);
    EXPECT_EQ(bar->point, firstBar);
}

TEST_F(Layouts, TablesAtTheEdgesNeverReachOutsideTheGrid)
{
    std::string grid(kLayoutCells, '.');
    grid[3 * 16 + 0] = '2';    // chair left of column 0: the last cell of row 2
    grid[2 * 16 + 15] = 'g';
    grid[5 * 16 + 15] = '2';   // chair right of column 15: the first cell of row 6
    grid[6 * 16 + 0] = 'y';
    grid[12 * 16 + 5] = '4';   // lower half below the grid
    grid[11 * 16 + 9] = '6';
    grid[12 * 16 + 9] = '6';
    grid[12 * 16 + 15] = '6';  // the very last cell
    TLevelLayout layout;
    layout.OpenLevelFromMem(grid.c_str());
    std::vector<TTableDesc> tables;
    std::optional<TBarDesc> bar;
    layout.SetupTables(&tables, &bar);
    ASSERT_EQ(tables.size(), 5u);
    EXPECT_EQ(tables[0].colors[0], 2);
    EXPECT_EQ(tables[1].colors[1], 3);
    EXPECT_EQ(tables[2].seats, 6);
    EXPECT_EQ(tables[2].colors[2], kChairColorNone);  // row 13 does not exist
    EXPECT_EQ(tables[3].seats, 4);
    EXPECT_EQ(tables[3].colors[1], kChairColorNone);
    EXPECT_EQ(tables[4].colors[5], kChairColorNone);
    EXPECT_FALSE(bar.has_value());

    // Written back, the tables whose chairs leave the grid are left out
    // rather than written outside it.
    const str written = TLevelLayout::GetLayoutStr(tables, nullptr, {});
    EXPECT_EQ(written.length(), kLayoutCells);
    EXPECT_EQ(std::string(written.c_str()).find_first_of("246"), std::string::npos);
}

TEST_F(Layouts, GridPointsAndTheirCells)
{
    int row = 0, col = 0;
    TLevelLayout::PointToGrid({180, 110}, &row, &col, 0);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(col, 0);
    TLevelLayout::PointToGrid({740, 200}, &row, &col, 0);
    EXPECT_EQ(row, -1);
    EXPECT_EQ(col, -1);
    // Right edge of the field rounds to a column past the grid: the writer
    // must not use it.
    TLevelLayout::PointToGrid({739, 200}, &row, &col, 0);
    EXPECT_EQ(col, 16);
    std::vector<TTableDesc> tables(1);
    tables[0].seats = 2;
    tables[0].point = {739, 200};
    EXPECT_EQ(TLevelLayout::GetLayoutStr(tables, nullptr, {}).length(), kLayoutCells);

    EXPECT_EQ(TLevelLayout::ColorToChar(5), 'c');
    EXPECT_EQ(TLevelLayout::ColorToChar(6), 'x');
    EXPECT_EQ(TLevelLayout::CharToColor('G'), 2);
}

TEST_F(Layouts, EditorOutputRoundTripsByteForByte)
{
    WriteLayout("floor", Join(kFloor, "\n"));
    TLevelLayout layout;
    layout.OpenLevel("floor");
    std::vector<TTableDesc> tables;
    std::optional<TBarDesc> bar;
    layout.SetupTables(&tables, &bar);
    TLayoutStations stations = layout.GetStations();
    stations.mop = true;

    ASSERT_TRUE(TLevelLayout::SaveLayout("saved", tables, &*bar, stations));
    std::ifstream in("assets/layouts/saved.txt", std::ios::binary);
    const std::string first((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(first.size(), 13u * 17u);

    TLevelLayout again;
    again.OpenLevel("saved");
    std::vector<TTableDesc> tables2;
    std::optional<TBarDesc> bar2;
    again.SetupTables(&tables2, &bar2);
    ASSERT_TRUE(TLevelLayout::SaveLayout("saved2", tables2, &*bar2, again.GetStations()));
    std::ifstream in2("assets/layouts/saved2.txt", std::ios::binary);
    const std::string second((std::istreambuf_iterator<char>(in2)), std::istreambuf_iterator<char>());
    EXPECT_EQ(first, second);
    ASSERT_EQ(tables2.size(), tables.size());
    for (size_t i = 0; i < tables.size(); ++i) {
        EXPECT_EQ(tables2[i].point, tables[i].point);
        EXPECT_EQ(tables2[i].colors, tables[i].colors);
    }
    EXPECT_TRUE(again.HasMopStation());
}

}  // namespace
