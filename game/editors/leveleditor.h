// TLevelEditor ("LevelEditor"): the developers' editor of career and endless
// level definitions and their floor layouts. Its script lays out the fields
// and toggles; the window draws the floor as the level will show it (the
// restaurant's room, the floor's own tables and bar built from the layout as
// the game builds them, and the stations the toggles switch on), lets the
// mouse add, move and delete tables and recolour chairs, and writes the
// level and layout files back.
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

class TAnimatedTextureCache;
class TBar;
class TButton;
class TLevelManager;
class TRestaurant;
class TTable;
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
    // The floor's tables and bar, built from the layout as the game builds them.
    const std::vector<std::unique_ptr<TTable>>& GetTables() const { return mTables; }
    TBar* GetBar() const { return mBar.get(); }
    // What the layout file will say of them.
    const std::vector<TTableDesc>& TableDescriptors() const { return mTableDescs; }
    const std::optional<TBarDesc>& BarDescriptor() const { return mBarDesc; }
    bool IsLayoutChanged() const { return mLayoutChanged; }

private:
    void InitLevel();
    void InitLayout();
    void FillLevelFields();
    void SaveLayout();
    void RecordLevelInfo();
    TLayoutStations StationsFromToggles() const;
    bool IsEndless() const;

    // The floor's table or bar made from a descriptor, in the room's decor.
    std::unique_ptr<TTable> MakeTable(const TTableDesc& desc) const;
    // The table at `index` (or one more at the end) as `desc` says, made again.
    void PutTable(int index, const TTableDesc& desc);
    void EraseTable(int index);
    void MakeBar(const TBarDesc& desc);
    void RemoveBar();
    void BuildPreviews();
    // The tables, bar and stations made again in the current restaurant's
    // art when it is not the art they wear.
    void RefreshArt();
    int TableAt(const TPoint& point, bool last) const;
    bool AddTable(const TPoint& point, int seats);
    bool StepChairColour(const TPoint& point);
    void DrawBox(float x, float y, float w, float h, const TColor& colour) const;
    // The restaurant's room behind the floor, made again when the edited
    // restaurant changed (the stations and tables then wear its art too);
    // false when it has no picture.
    bool DrawRoom();
    void DrawPreviews();
    void DrawGrid(bool room);

    struct TPreviews;  // the optional stations, as the level shows them

    std::unique_ptr<TLevelManager> mLevels;
    int mMouseMode = kMoveTable;
    std::array<TButton*, kStations> mStationButtons{};
    int mLayoutIndex = 0;
    std::unique_ptr<TPreviews> mPreviews;
    // The layout's tables and bar as the file says them, and the floor's
    // objects made from them, side by side: the objects are what is drawn;
    // the records are what is saved (a table without art has no chairs to
    // ask for their colours).
    std::vector<TTableDesc> mTableDescs;
    std::vector<std::unique_ptr<TTable>> mTables;
    std::optional<TBarDesc> mBarDesc;
    std::unique_ptr<TBar> mBar;
    int mDragged = -1;  // index into mTables
    bool mLayoutChanged = false;
    str mLevelText;
    std::shared_ptr<TTexture> mWhite;  // stretched and tinted for the grid
    std::unique_ptr<TRestaurant> mRoom;  // the current restaurant's scene
    std::unique_ptr<TAnimatedTextureCache> mCache;  // what the tables draw through
    int mArtRestaurant = -1;  // whose art the tables and stations wear
};

namespace editors {

// The point the layout's reader gives a table of `seats` whose upper cell is
// (row, col): where the floor's set-up would stand it.
TPoint TablePointForCell(int seats, int row, int col);
// The upper cell of a table standing at `point`; false when the table
// would not fit the grid there (the layout writer would leave it out).
bool TableCell(int seats, TPoint point, int* row, int* col);

}  // namespace editors
