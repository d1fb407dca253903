// What a floor layout says about its furniture, before any table or bar
// object exists: the floor builds its tables and bar from these, and the
// level editor hands them back to be written out. Keeping the layout on plain
// records lets it be read, checked and saved without the floor.
#pragma once

#include "engine/base/rect.h"

#include <array>

// Chair (and stool) colours: 0 red, 1 blue, 2 green, 3 yellow, 4 purple,
// 5 grey; 6 means a chair without colour.
constexpr int kChairColorNone = 6;
constexpr int kMaxTableSeats = 6;
constexpr int kBarStools = 8;

struct TTableDesc {
    int id = 0;     // number of tables listed before it
    int seats = 0;  // 2, 4 or 6
    std::array<int, kMaxTableSeats> colors{};  // chair 1..seats, in the table's own order
    TPoint point;   // screen point of the table's centre
    bool isNew = false;  // set by a merge: no table of this size stood here before
};

struct TBarDesc {
    std::array<int, kBarStools> colors{};  // stools from the top
    TPoint point;
};

// The optional service stations a layout puts on the floor.
struct TLayoutStations {
    bool drink = false;
    bool snack = false;
    bool dessert = false;
    bool mop = false;
    bool highChair = false;
    bool phone = false;
    bool podium = false;
    bool bench = false;
    // The floor cell (x column, y row) an "e" marks in the floor rows: the
    // bench's middle stands on that cell's point as a table's does. None
    // (-1, -1): the bench takes the floor's own spot (TLevelLayout::kBenchRow, kBenchColumn);
    // a table written over the cell takes it.
    TPoint benchCell{-1, -1};
};
