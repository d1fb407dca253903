#include "online/hiscoretable.h"

#include <algorithm>
#include <utility>

TQmHiscoreRow* TQmHiscoreTable::FindByName(const str& player)
{
    for (TQmHiscoreRow& row : rows) {
        if (row.name == player)
            return &row;
    }
    return nullptr;
}

namespace qm {

namespace {

// Removes one row; the rows below move up a place and a rank.
void removeRow(TQmHiscoreTable& table, size_t index)
{
    for (size_t i = index + 1; i < table.rows.size(); ++i)
        table.rows[i].rank -= 1;
    table.rows.erase(table.rows.begin() + static_cast<long>(index));
}

}  // namespace

void InsertScore(TQmHiscoreTable& table, TQmHiscoreRow row, bool onePerUser)
{
    if (onePerUser) {
        auto own = std::find_if(table.rows.begin(), table.rows.end(),
                                [&](const TQmHiscoreRow& r) { return r.name == row.name; });
        if (own != table.rows.end()) {
            if (row.score <= own->score)
                return;
            row.guid = own->guid;
            removeRow(table, static_cast<size_t>(own - table.rows.begin()));
        }
    }

    const size_t limit = std::min<size_t>(table.rows.size() + 1, kMaxLocalScores);
    std::vector<TQmHiscoreRow> merged;
    merged.reserve(limit);
    size_t old = 0;
    while (old < table.rows.size() && table.rows[old].score >= row.score && merged.size() < limit)
        merged.push_back(std::move(table.rows[old++]));

    if (merged.size() < limit && old < table.rows.size()) {
        row.rank = table.rows[old].rank;
    } else if (merged.size() < limit) {
        row.rank = static_cast<int>(merged.size()) + 1;
    } else {
        // A full table with no lower score keeps its rows (cut to the cap).
        table.rows = std::move(merged);
        return;
    }
    const int newScore = row.score;
    merged.push_back(std::move(row));
    while (old < table.rows.size() && merged.size() < limit) {
        TQmHiscoreRow& moved = table.rows[old++];
        if (moved.score != newScore)
            moved.rank += 1;
        merged.push_back(std::move(moved));
    }
    table.rows = std::move(merged);
}

}  // namespace qm
