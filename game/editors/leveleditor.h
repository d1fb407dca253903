// TLevelEditor ("LevelEditor"): the developers' editor of career and endless
// level definitions and their floor layouts. Its script lays out the fields
// and toggles; the window draws the floor plan (tables, bar, the stations the
// toggles switch on), lets the mouse add, move and delete tables and recolour
// chairs, and writes the level and layout files back.
#pragma once

#include "engine/base/color.h"
#include "engine/base/str.h"
#include "engine/window/window.h"
#include "game/editors/editorsave.h"
#include "game/levels/tabledescriptor.h"
#include "game/screens/scriptedwindow.h"

#include <array>
#include <memory>
#include <optional>
#include <vector>

class TButton;
class TLevelManager;
class TRestaurant;
class TTexture;

class TLevelEditor : public TScriptedWindow<TLevelEditor>, public IEditorSaveOnClose {
public:
    static const contract::TScreenSpec kContract;

    enum EMouseMode { kMoveTable = 0, kDeleteTable, kAddTwo, kAddFour, kAddSix, kChairColour };
    static constexpr int kStations = 9;  // the bar is the last
    static constexpr int kBarStation = 8;

    TLevelEditor();
    ~TLevelEditor() override;

    void PostChildrenInit() override;
    void Draw() override;
    bool OnDirtyRect(TRect* r) override;
    bool OnTaskAnimate() override;
    bool OnMouseDown(const TPoint& point) override;
    bool OnMouseMove(const TPoint& point) override;
    bool OnMouseUp(const TPoint& point) override;

    void SetMouseMode(int mode) { mMouseMode = mode; }
    void ToggleStation(int station);
    void IncrementLevel(int delta);
    void IncrementRestaurant(int delta);
    void IncrementLayout(int delta);
    void GotoLevel();
    void SetupCustomers();
    void RecordCustomers();
    // Stores the fields and writes the level file when the level changed.
    void SaveLevelData() override;

    TLevelManager& GetLevelManager() { return *mLevels; }
    const std::vector<TTableDesc>& GetTables() const { return mTables; }
    const std::optional<TBarDesc>& GetBar() const { return mBar; }
    bool IsLayoutChanged() const { return mLayoutChanged; }

private:
    void InitLevel();
    void InitLayout();
    void FillLevelFields();
    void SaveLayout();
    void RecordLevelInfo();
    TLayoutStations StationsFromToggles() const;
    bool IsEndless() const;

    int TableAt(const TPoint& point, bool last) const;
    bool AddTable(const TPoint& point, int seats);
    bool StepChairColour(const TPoint& point);
    void DrawBox(float x, float y, float w, float h, const TColor& colour) const;
    // The restaurant's room behind the plan; false when it has no picture.
    bool DrawRoom();

    std::unique_ptr<TLevelManager> mLevels;
    int mMouseMode = kMoveTable;
    std::array<TButton*, kStations> mStationButtons{};
    int mLayoutIndex = 0;
    std::vector<TTableDesc> mTables;
    std::optional<TBarDesc> mBar;
    int mDragged = -1;  // index into mTables
    bool mLayoutChanged = false;
    str mLevelText;
    std::shared_ptr<TTexture> mWhite;  // stretched and tinted for the plan
    std::unique_ptr<TRestaurant> mRoom;  // the current restaurant's scene, made at the first draw
};

namespace editors {

// The point the layout's reader gives a table of `seats` whose upper cell is
// (row, col): where the floor's set-up would stand it.
TPoint TablePointForCell(int seats, int row, int col);
// The upper cell of a table standing at `point`; false when the table
// would not fit the grid there (the layout writer would leave it out).
bool TableCell(int seats, TPoint point, int* row, int* col);

}  // namespace editors
