// A floor layout from any text, in both forms (file rows and a downloaded
// level's run of cells): its tables and bar are built twice over the same
// list, written out and read back. The grid is never read or written
// outside its cells. (Overlapping tables cannot all be written back, so the
// round trip is exact only for layouts without overlaps: the unit tests.)
#include "game/levels/levellayout.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(TLevelLayout& layout)
{
    std::vector<TTableDesc> tables;
    std::optional<TBarDesc> bar;
    layout.SetupTables(&tables, &bar);
    const size_t first = tables.size();
    layout.SetupTables(&tables, &bar);
    if (tables.size() != first)
        std::abort();
    const str written = TLevelLayout::GetLayoutStr(tables, bar ? &*bar : nullptr, layout.GetStations());
    if (written.length() != kLayoutCells)
        std::abort();

    TLevelLayout again;
    again.OpenLevelFromMem(written);
    std::vector<TTableDesc> tables2;
    std::optional<TBarDesc> bar2;
    again.SetupTables(&tables2, &bar2);
    const str rewritten = TLevelLayout::GetLayoutStr(tables2, bar2 ? &*bar2 : nullptr, again.GetStations());
    if (rewritten.length() != kLayoutCells || tables2.size() > static_cast<size_t>(kLayoutCells))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const str text(bytes.c_str());

    TLevelLayout rows;
    rows.ReadRows(text);
    Check(rows);

    TLevelLayout cells;
    cells.OpenLevelFromMem(text);
    Check(cells);

    int row = 0, col = 0;
    if (size >= 4) {
        const TPoint p{static_cast<int>(data[0]) * 4, static_cast<int>(data[1]) * 3};
        TLevelLayout::PointToGrid(p, &row, &col, -static_cast<float>(data[2] % 4) / 4.0f);
    }
    return 0;
}
