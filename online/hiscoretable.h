// Score tables: the local tables kept per game mode and the list downloaded
// from the hiscore server share these records.
#pragma once

#include "engine/base/str.h"

#include <vector>

struct TQmHiscoreRow {
    int rank = 0;
    int score = 0;
    str name;        // player profile name (local) or server name (downloaded)
    str gameData;    // game-defined text shown with the score
    str serverData;  // extra XML sent inside a submission
    str version;     // program version that made the row
    bool anonymous = true;
    bool submitted = false;
    str guid;        // 32-hex-digit score id
};

struct TQmHiscoreTable {
    str name;  // the table type (game-mode category)
    std::vector<TQmHiscoreRow> rows;

    int Count() const { return static_cast<int>(rows.size()); }
    // The first row with that name, or null.
    TQmHiscoreRow* FindByName(const str& player);
};

struct TQmHiscoreCategory {
    str table;  // id sent as "table"
    str name;   // display name
};

struct TQmHiscoreUserInfo {
    str player;    // profile name
    str name;      // server login name
    str password;
};

namespace qm {

// A local table holds at most this many rows.
inline constexpr int kMaxLocalScores = 500;

// Puts a new row into a table kept in descending score order; a new score goes
// after equal ones. With onePerUser the player keeps one row: a score not
// above the player's row changes nothing, a higher one replaces that row and
// takes over its GUID. A full table drops its last row for a better score and
// refuses a score lower than all of its rows. The table's ranks follow.
void InsertScore(TQmHiscoreTable& table, TQmHiscoreRow row, bool onePerUser);

}  // namespace qm
