// One restaurant floor as a 13 x 16 grid of characters: where the tables
// stand and how many seats they have, the colour of every chair, the bar and
// its stools, and which optional stations the level has. Read from
// "assets/layouts/<name>.txt" (or its enciphered ".bin" sibling), or from the
// text a downloaded level carries; written back by the level editor.
#pragma once

#include "engine/base/rect.h"
#include "engine/base/str.h"
#include "game/levels/tabledescriptor.h"

#include <array>
#include <optional>
#include <vector>

constexpr int kLayoutRows = 13;
constexpr int kLayoutColumns = 16;
constexpr int kLayoutCells = kLayoutRows * kLayoutColumns;

class TLevelLayout {
public:
    TLevelLayout();

    // Loads "assets/layouts/" + name + ".txt": 13 rows of 16 characters, any
    // whitespace between rows skipped. A missing file, or one with fewer
    // cells, gives an empty floor and false (the file is named in the log).
    bool OpenLevel(str name);
    // The file form: rows of 16 characters, whitespace between rows skipped;
    // a short text leaves the rest of the grid as it was. Returns the cells read.
    int ReadRows(const str& text);
    // The grid as the first 208 characters of text, taken as they are;
    // returns the text's length.
    int OpenLevelFromMem(str text);
    const str& GetName() const { return mName; }
    // The 208 cells as one string.
    str GetGrid() const;

    bool HasDrinkStation() const { return HasStation('d'); }
    bool HasSnackStation() const { return HasStation('s'); }
    bool HasDessertStation() const { return HasStation('y'); }
    bool HasMopStation() const { return HasStation('m'); }
    bool HasHighChairStation() const { return HasStation('h'); }
    bool HasPhoneStation() const { return HasStation('p'); }
    bool HasPodiumStation() const { return HasStation('o'); }
    bool HasBench() const { return HasStation('e'); }
    TLayoutStations GetStations() const;
    // Where the bench's middle stands: the cell an "e" in the floor rows
    // marks, else kBenchSpot. Either lies right of the line of waiting
    // parties, above the bottom edge and left of the coin jar.
    TPoint GetBenchLocation() const;
    static constexpr int kBenchRow = 12, kBenchColumn = 13;

    // Screen point of a (fractional) cell of the 560 x 470 play field at (180, 110).
    static TPoint GetTableLocation(float row, float col);
    // The cell under a screen point; -1, -1 outside the play field.
    static void PointToGrid(TPoint point, int* row, int* col, float rowBias);
    static char ColorToChar(int color);
    static int CharToColor(char c);

    // Appends the tables of the grid that the list does not hold yet (by
    // point), and makes the bar when there is none; so a second layout
    // run over the same list adds only its new tables.
    void SetupTables(std::vector<TTableDesc>* tables, std::optional<TBarDesc>* bar);
    static bool IsTableInList(const std::vector<TTableDesc>& tables, TPoint point);

    // The editor's writer: stations in row 0 (each in its own column, in
    // the order "dsymhpoe"), the bench's own cell (a floor cell; kept with
    // the bench off too, for an endless shift that buys one), the bar in rows 4-11 of the column its point
    // falls in, each table at the cell its point falls in. Tables that would not
    // fit inside the grid are left out (and logged).
    static str GetLayoutStr(const std::vector<TTableDesc>& tables, const TBarDesc* bar, const TLayoutStations& stations);
    // Writes GetLayoutStr as 13 lines to "assets/layouts/" + name + ".txt",
    // replacing the old file only once the new one is complete.
    static bool SaveLayout(str name, const std::vector<TTableDesc>& tables, const TBarDesc* bar,
                           const TLayoutStations& stations);

private:
    bool HasStation(char letter) const;
    // The bench's cell in the floor rows; -1, -1 without one.
    TPoint BenchCell() const;
    char Cell(int row, int col) const;
    int ColorAt(int row, int col) const;
    void ClearCell(int row, int col);
    void FillEmpty();

    str mName;
    std::array<char, kLayoutCells> mGrid{};
};
