#include "game/levels/levellayout.h"

#include "engine/base/debuglog.h"
#include "engine/base/safefile.h"
#include "game/settings/configfile.h"
#include "game/settings/settings.h"

#include <cctype>
#include <string>

namespace {

const char* const kLayoutFolder = "assets/layouts/";
constexpr int kStationRows = 3;  // rows 0-2 hold station letters, tables start below
constexpr float kFieldLeft = 180;
constexpr float kFieldTop = 110;
constexpr float kFieldWidth = 560;
constexpr float kFieldHeight = 470;

struct TCellOffset {
    int row;
    int col;
};

// Chairs around a table's upper cell, in the order the table numbers them.
const TCellOffset kTwoSeatChairs[] = {{0, -1}, {0, 1}};
const TCellOffset kFourSeatChairs[] = {{0, -1}, {1, -1}, {1, 1}, {0, 1}};
const TCellOffset kSixSeatChairs[] = {{0, -1}, {1, -1}, {2, -1}, {2, 1}, {1, 1}, {0, 1}};

struct TTableShape {
    char letter;
    int seats;
    float rowOffset;  // from the upper cell to the table's centre, in rows
    const TCellOffset* chairs;
};

const TTableShape kShapes[] = {
    {'2', 2, 0.0f, kTwoSeatChairs},
    {'4', 4, 0.5f, kFourSeatChairs},
    {'6', 6, 0.75f, kSixSeatChairs},
};

const TTableShape* ShapeForLetter(char c)
{
    for (const TTableShape& shape : kShapes)
        if (shape.letter == c)
            return &shape;
    return nullptr;
}

const TTableShape* ShapeForSeats(int seats)
{
    for (const TTableShape& shape : kShapes)
        if (shape.seats == seats)
            return &shape;
    return nullptr;
}

// Rows a table fills below its upper cell.
int ExtraRows(const TTableShape& shape) { return shape.seats / 2 - 1; }

bool InGrid(int row, int col) { return row >= 0 && row < kLayoutRows && col >= 0 && col < kLayoutColumns; }

// Every cell a table and its chairs would take, inside the grid and
// without wrapping into a neighbouring row.
bool TableFits(const TTableShape& shape, int row, int col)
{
    if (!InGrid(row, col) || !InGrid(row + ExtraRows(shape), col))
        return false;
    for (int i = 0; i < shape.seats; ++i)
        if (!InGrid(row + shape.chairs[i].row, col + shape.chairs[i].col))
            return false;
    return true;
}

}  // namespace

TLevelLayout::TLevelLayout() { FillEmpty(); }

void TLevelLayout::FillEmpty() { mGrid.fill('-'); }

bool TLevelLayout::OpenLevel(str name)
{
    mName = name;
    FillEmpty();
    const str path = str(kLayoutFolder) + name + ".txt";
    str text;
    if (!game::ReadReportedConfigText(path, &text, "the floor stays empty"))
        return false;
    // A floor plan cut short would lose its lower tables without a word.
    const int cells = ReadRows(text);
    if (cells < kLayoutCells) {
        FillEmpty();
        const std::string problem =
            "holds " + std::to_string(cells) + " of the " + std::to_string(kLayoutCells) + " cells of a floor plan";
        game::ReportBadDataFile(path, problem.c_str(), "the floor stays empty");
        return false;
    }
    return true;
}

int TLevelLayout::ReadRows(const str& text)
{
    const char* p = text.c_str();
    int cells = 0;
    for (int row = 0; row < kLayoutRows && *p; ++row) {
        for (int col = 0; col < kLayoutColumns && *p; ++col, ++cells)
            mGrid[row * kLayoutColumns + col] = *p++;
        // Line ends of any kind (and stray blanks) sit between rows.
        while (*p && std::isspace(static_cast<unsigned char>(*p)))
            ++p;
    }
    return cells;
}

int TLevelLayout::OpenLevelFromMem(str text)
{
    for (int i = 0; i < kLayoutCells; ++i)
        mGrid[i] = i < kStationRows * kLayoutColumns ? '-' : '.';
    const int length = text.length();
    for (int i = 0; i < length && i < kLayoutCells; ++i)
        mGrid[i] = text[i];
    return length;
}

str TLevelLayout::GetGrid() const { return str(mGrid.data(), kLayoutCells); }

bool TLevelLayout::HasStation(char letter) const
{
    for (int i = 0; i < kStationRows * kLayoutColumns; ++i)
        if (mGrid[i] == letter)
            return true;
    return false;
}

TLayoutStations TLevelLayout::GetStations() const
{
    TLayoutStations s;
    s.drink = HasDrinkStation();
    s.snack = HasSnackStation();
    s.dessert = HasDessertStation();
    s.mop = HasMopStation();
    s.highChair = HasHighChairStation();
    s.phone = HasPhoneStation();
    s.podium = HasPodiumStation();
    s.bench = HasBench();
    s.benchCell = BenchCell();
    return s;
}

TPoint TLevelLayout::BenchCell() const
{
    for (int row = kStationRows; row < kLayoutRows; ++row)
        for (int col = 0; col < kLayoutColumns; ++col)
            if (Cell(row, col) == 'e')
                return {col, row};
    return {-1, -1};
}

TPoint TLevelLayout::GetBenchLocation() const
{
    const TPoint cell = BenchCell();
    if (cell.x < 0)
        return GetTableLocation(static_cast<float>(kBenchRow), static_cast<float>(kBenchColumn));
    return GetTableLocation(static_cast<float>(cell.y), static_cast<float>(cell.x));
}

TPoint TLevelLayout::GetTableLocation(float row, float col)
{
    TPoint p;
    p.x = static_cast<int>(col / kLayoutColumns * kFieldWidth) + static_cast<int>(kFieldLeft);
    p.y = static_cast<int>(row / kLayoutRows * kFieldHeight) + static_cast<int>(kFieldTop);
    return p;
}

void TLevelLayout::PointToGrid(TPoint point, int* row, int* col, float rowBias)
{
    if (point.x >= kFieldLeft && point.x <= kFieldLeft + kFieldWidth - 1 && point.y >= kFieldTop &&
        point.y < kFieldTop + kFieldHeight) {
        *col = static_cast<int>((point.x - kFieldLeft) / kFieldWidth * kLayoutColumns + 0.5f);
        *row = static_cast<int>(rowBias + 0.5f + (point.y - kFieldTop) / kFieldHeight * kLayoutRows);
    } else {
        *row = -1;
        *col = -1;
    }
}

char TLevelLayout::ColorToChar(int color)
{
    static const char kLetters[] = "rbgypc";
    return color >= 0 && color <= 5 ? kLetters[color] : 'x';
}

int TLevelLayout::CharToColor(char c)
{
    switch (std::tolower(static_cast<unsigned char>(c))) {
    case 'r': return 0;
    case 'b': return 1;
    case 'g': return 2;
    case 'y': return 3;
    case 'p': return 4;
    case 'c': return 5;
    default: return kChairColorNone;
    }
}

char TLevelLayout::Cell(int row, int col) const { return mGrid[row * kLayoutColumns + col]; }

// The grid is one run of 208 cells: a chair left of column 0 is the last
// cell of the row above. Cells beyond the run have no chair colour.
int TLevelLayout::ColorAt(int row, int col) const
{
    const int index = row * kLayoutColumns + col;
    return index >= 0 && index < kLayoutCells ? CharToColor(mGrid[index]) : kChairColorNone;
}

void TLevelLayout::ClearCell(int row, int col)
{
    if (InGrid(row, col))
        mGrid[row * kLayoutColumns + col] = '-';
}

bool TLevelLayout::IsTableInList(const std::vector<TTableDesc>& tables, TPoint point)
{
    for (const TTableDesc& table : tables)
        if (table.point == point)
            return true;
    return false;
}

void TLevelLayout::SetupTables(std::vector<TTableDesc>* tables, std::optional<TBarDesc>* bar)
{
    for (int row = kStationRows; row < kLayoutRows; ++row) {
        for (int col = 0; col < kLayoutColumns; ++col) {
            const char c = Cell(row, col);
            if (const TTableShape* shape = ShapeForLetter(c)) {
                const TPoint point = GetTableLocation(row + shape->rowOffset, static_cast<float>(col));
                if (!IsTableInList(*tables, point)) {
                    TTableDesc table;
                    table.id = static_cast<int>(tables->size());
                    table.seats = shape->seats;
                    table.point = point;
                    for (int i = 0; i < shape->seats; ++i)
                        table.colors[i] = ColorAt(row + shape->chairs[i].row, col + shape->chairs[i].col);
                    tables->push_back(table);
                }
                // The lower cells of a tall table are part of it, also when it
                // already stood: read again they would make a second table.
                for (int below = 1; below <= ExtraRows(*shape); ++below)
                    ClearCell(row + below, col);
            } else if (c == '<' && bar && !bar->has_value() && row <= 5 && col >= 1) {
                TBarDesc newBar;
                for (int i = 0; i < kBarStools; ++i)
                    newBar.colors[i] = ColorAt(row + i, col - 1);
                newBar.point = GetTableLocation(row + 3.5f, static_cast<float>(col));
                *bar = newBar;
            }
        }
    }
}

str TLevelLayout::GetLayoutStr(const std::vector<TTableDesc>& tables, const TBarDesc* bar,
                               const TLayoutStations& stations)
{
    std::string grid(kLayoutCells, '.');
    grid.replace(0, kStationRows * kLayoutColumns, kStationRows * kLayoutColumns, '-');
    const bool flags[] = {stations.drink, stations.snack,  stations.dessert, stations.mop,
                          stations.highChair, stations.phone, stations.podium, stations.bench};
    const char letters[] = "dsymhpoe";
    for (int i = 0; i < 8; ++i)
        if (flags[i])
            grid[i] = letters[i];
    const TPoint bench = stations.benchCell;
    if (bench.y >= kStationRows && InGrid(bench.y, bench.x))
        grid[bench.y * kLayoutColumns + bench.x] = 'e';
    if (bar) {
        // The bar stays in the column it was read from (column 3 when its
        // point is off the grid): written elsewhere, a level saved without
        // touching it would move it.
        int barRow = -1, barCol = -1;
        PointToGrid(bar->point, &barRow, &barCol, 0);
        if (barCol < 1 || barCol >= kLayoutColumns)
            barCol = 3;
        for (int i = 0; i < kBarStools; ++i) {
            grid[(4 + i) * kLayoutColumns + barCol] = '<';
            grid[(4 + i) * kLayoutColumns + barCol - 1] = ColorToChar(bar->colors[i]);
        }
    }
    for (const TTableDesc& table : tables) {
        const TTableShape* shape = ShapeForSeats(table.seats);
        int row = -1;
        int col = -1;
        if (shape)
            PointToGrid(table.point, &row, &col, -shape->rowOffset);
        if (!shape || !TableFits(*shape, row, col)) {
            WriteDbg("GetLayoutStr: table %d (%d seats at %d, %d) does not fit the grid; left out", table.id,
                     table.seats, table.point.x, table.point.y);
            continue;
        }
        for (int r = 0; r <= ExtraRows(*shape); ++r)
            grid[(row + r) * kLayoutColumns + col] = shape->letter;
        for (int i = 0; i < shape->seats; ++i)
            grid[(row + shape->chairs[i].row) * kLayoutColumns + col + shape->chairs[i].col] =
                ColorToChar(table.colors[i]);
    }
    return str(grid.c_str());
}

bool TLevelLayout::SaveLayout(str name, const std::vector<TTableDesc>& tables, const TBarDesc* bar,
                              const TLayoutStations& stations)
{
    const std::string grid = GetLayoutStr(tables, bar, stations).c_str();
    std::string text;
    for (int row = 0; row < kLayoutRows; ++row)
        text += grid.substr(row * kLayoutColumns, kLayoutColumns) + "\n";
    const str path = str(kLayoutFolder) + name + ".txt";
    return qm::WriteFileReplacing(path, text.data(), text.size());
}
