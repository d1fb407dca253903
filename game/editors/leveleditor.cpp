#include "game/editors/leveleditor.h"

#include "engine/base/vec.h"
#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "engine/script/luabind.h"
#include "engine/script/windowscript.h"
#include "engine/window/text.h"
#include "engine/window/button.h"
#include "engine/window/windowmanager.h"
#include "game/editors/editorfields.h"
#include "game/editors/namelist.h"
#include "game/floor/bar.h"
#include "game/floor/bench.h"
#include "game/floor/floorart.h"
#include "game/floor/phonestation.h"
#include "game/floor/podium.h"
#include "game/floor/shelves.h"
#include "game/floor/table.h"
#include "game/levels/levellayout.h"
#include "game/levels/levelmanager.h"
#include "game/play/restaurant.h"
#include "game/screens/screenchildren.h"
#include "game/settings/settings.h"

#include <algorithm>

namespace {

constexpr int kCareerLevels = 55;  // overall level numbers 0-54
constexpr int kRestaurants = 6;
constexpr int kEndlessDifficulties = 3;
constexpr int kUpgradeLayouts = 5;
constexpr int kCareerSlots = 50;
constexpr int kEndlessSections = 9;
constexpr int kEndlessSlots = 4;
constexpr int kNewChairColour = 5;
constexpr float kCellWidth = 560.0f / kLayoutColumns;
constexpr float kCellHeight = 470.0f / kLayoutRows;

enum { kDrink, kSnack, kDessert, kMop, kHighChair, kPhone, kPodium, kBench };

int Wrap(int value, int count) { return ((value % count) + count) % count; }

using qm::lua::Method;

const qm::lua::TBinding kLuaFunctions[] = {
    {"SetMouseMode", Method<&TLevelEditor::SetMouseMode>},
    {"ToggleStation", Method<&TLevelEditor::ToggleStation>},
    {"IncrementLevel", Method<&TLevelEditor::IncrementLevel>},
    {"IncrementRestaurant", Method<&TLevelEditor::IncrementRestaurant>},
    {"IncrementLayout", Method<&TLevelEditor::IncrementLayout>},
    {"SetupCustomers", Method<&TLevelEditor::SetupCustomers>},
    {"RecordCustomers", Method<&TLevelEditor::RecordCustomers>},
    {"SaveLevelData", Method<&TLevelEditor::SaveLevelData>},
    {"GotoLevel", Method<&TLevelEditor::GotoLevel>},
};

constexpr const char* kPartiesScript = "scripts/leveleditorparties.lua";
// The editor's fields (a TText each, a TTextEdit where the script lets
// them be typed in) and toggles. The party page builds the slots of the
// game mode being edited: a career level's fifty slots (as the contract
// test opens it), or the endless level's nine sections instead.
constexpr auto kCareergroup = contract::Child<TWindow>("careergroup");
constexpr auto kLeveltweaks = contract::Child<TWindow>("leveltweaks");
constexpr auto kEndlessgroup = contract::Child<TWindow>("endlessgroup");
constexpr auto kCareerlevelgroup = contract::Child<TWindow>("careerlevelgroup");
constexpr auto kCareerlayoutgroup = contract::Child<TWindow>("careerlayoutgroup");
constexpr auto kBonuslevelgroup = contract::Child<TWindow>("bonuslevelgroup");
constexpr auto kDrinkstation = contract::Child<TButton>("drinkstation");
constexpr auto kSnackstation = contract::Child<TButton>("snackstation");
constexpr auto kDessertstation = contract::Child<TButton>("dessertstation");
constexpr auto kMopChild = contract::Child<TButton>("mop");
constexpr auto kHighchair = contract::Child<TButton>("highchair");
constexpr auto kPhoneChild = contract::Child<TButton>("phone");
constexpr auto kPodiumChild = contract::Child<TButton>("podium");
constexpr auto kBenchChild = contract::Child<TButton>("bench");
constexpr auto kBar = contract::Child<TButton>("bar");
constexpr auto kBrokenarm = contract::Child<TButton>("brokenarm");
constexpr auto kFlashlight = contract::Child<TButton>("flashlight");
constexpr auto kStartdirty = contract::Child<TButton>("startdirty");
constexpr auto kMustcolor = contract::Child<TButton>("mustcolor");
constexpr auto kLevelval = contract::Child<TText>("levelval");
constexpr auto kRestaurantval = contract::Child<TText>("restaurantval");
constexpr auto kGoalval = contract::Child<TText>("goalval");
constexpr auto kExpertval = contract::Child<TText>("expertval");
constexpr auto kDoodleval = contract::Child<TText>("doodleval");
constexpr auto kLeavepenaltyval = contract::Child<TText>("leavepenaltyval");
constexpr auto kSnackchanceval = contract::Child<TText>("snackchanceval");
constexpr auto kLayoutval = contract::Child<TText>("layoutval");
constexpr auto kGotolevelval = contract::Child<TText>("gotolevelval");
constexpr auto kEndlesslevelval = contract::Child<TText>("endlesslevelval");
constexpr auto kEndlessrestaurantval = contract::Child<TText>("endlessrestaurantval");
constexpr auto kEndlessstarsval = contract::Child<TText>("endlessstarsval");
constexpr auto kEndlessstartdiffval = contract::Child<TText>("endlessstartdiffval");
constexpr auto kEndlessmindiffval = contract::Child<TText>("endlessmindiffval");
constexpr auto kEndlessdiffdeltaval = contract::Child<TText>("endlessdiffdeltaval");
constexpr auto kEndlesstimerval = contract::Child<TText>("endlesstimerval");
constexpr auto kEndlesslayoutnum = contract::Child<TText>("endlesslayoutnum");
constexpr auto kEndlesslayoutval = contract::Child<TText>("endlesslayoutval");
constexpr auto kNewchefval = contract::Child<TText>("newchefval");
constexpr auto kShakefreqval = contract::Child<TText>("shakefreqval");
constexpr auto kShakelengthval = contract::Child<TText>("shakelengthval");
constexpr auto kShakespillval = contract::Child<TText>("shakespillval");
constexpr auto kTimeval = contract::Numbered<TText>("timeval%d", 0, kCareerSlots - 1).In(kPartiesScript);
constexpr auto kDefval = contract::Numbered<TText>("defval%d", 0, kCareerSlots - 1).In(kPartiesScript);
constexpr auto kTypeval = contract::Numbered<TText>("typeval%d", 0, kCareerSlots - 1).In(kPartiesScript);
constexpr auto kSectionGoalval = contract::Numbered<TText>("goalval%d", 0, kEndlessSections - 1)
    .In(kPartiesScript).Optional();
constexpr auto kTypevalA = contract::Numbered<TText>("typeval_a%d", 0, kEndlessSections - 1)
    .In(kPartiesScript).Optional();
constexpr auto kTypevalB = contract::Numbered<TText>("typeval_b%d", 0, kEndlessSections - 1)
    .In(kPartiesScript).Optional();
constexpr auto kTypevalC = contract::Numbered<TText>("typeval_c%d", 0, kEndlessSections - 1)
    .In(kPartiesScript).Optional();
constexpr auto kTypevalD = contract::Numbered<TText>("typeval_d%d", 0, kEndlessSections - 1)
    .In(kPartiesScript).Optional();
constexpr auto kFreqvalA = contract::Numbered<TText>("freqval_a%d", 0, kEndlessSections - 1)
    .In(kPartiesScript).Optional();
constexpr auto kFreqvalB = contract::Numbered<TText>("freqval_b%d", 0, kEndlessSections - 1)
    .In(kPartiesScript).Optional();
constexpr auto kFreqvalC = contract::Numbered<TText>("freqval_c%d", 0, kEndlessSections - 1)
    .In(kPartiesScript).Optional();
constexpr auto kFreqvalD = contract::Numbered<TText>("freqval_d%d", 0, kEndlessSections - 1)
    .In(kPartiesScript).Optional();
// The station toggles, in the order of the editor's stations.
constexpr contract::TChild<TButton> kStationToggles[TLevelEditor::kStations] = {
    kDrinkstation, kSnackstation, kDessertstation, kMopChild, kHighchair, kPhoneChild, kPodiumChild, kBenchChild, kBar};
const contract::TChildSpec kEditorChildren[] = {
    kCareergroup, kLeveltweaks, kEndlessgroup,
    kCareerlevelgroup, kCareerlayoutgroup, kBonuslevelgroup,
    kDrinkstation, kSnackstation,
    kDessertstation, kMopChild,
    kHighchair, kPhoneChild,
    kPodiumChild, kBenchChild, kBar,
    kBrokenarm, kFlashlight,
    kStartdirty, kMustcolor,
    kLevelval, kRestaurantval,
    kGoalval, kExpertval,
    kDoodleval, kLeavepenaltyval,
    kSnackchanceval, kLayoutval,
    kGotolevelval,
    kEndlesslevelval, kEndlessrestaurantval,
    kEndlessstarsval, kEndlessstartdiffval,
    kEndlessmindiffval, kEndlessdiffdeltaval,
    kEndlesstimerval, kEndlesslayoutnum,
    kEndlesslayoutval,
    kNewchefval, kShakefreqval,
    kShakelengthval, kShakespillval,
    kTimeval,
    kDefval,
    kTypeval,
    kSectionGoalval,
    kTypevalA,
    kTypevalB,
    kTypevalC,
    kTypevalD,
    kFreqvalA,
    kFreqvalB,
    kFreqvalC,
    kFreqvalD,
};

str Int(int value) { return str::getFormatted("%d", value); }

int SeatsForMode(int mode)
{
    switch (mode) {
    case TLevelEditor::kAddTwo: return 2;
    case TLevelEditor::kAddFour: return 4;
    case TLevelEditor::kAddSix: return 6;
    default: return 0;
    }
}

// The table's extent on the plan, in cells around its point.
float HalfHeightCells(int seats) { return seats / 4.0f; }

// Chairs are numbered down the table's left side, then up its right side.
TPoint ChairPoint(const TTableDesc& table, int chair, int upperRow, int col)
{
    const int half = table.seats / 2;
    const bool left = chair < half;
    const int row = upperRow + (left ? chair : table.seats - 1 - chair);
    return TLevelLayout::GetTableLocation(static_cast<float>(row), static_cast<float>(left ? col - 1 : col + 1));
}

TPoint StoolPoint(const TBarDesc& bar, int stool)
{
    return TPoint{bar.point.x - static_cast<int>(kCellWidth),
                  bar.point.y + static_cast<int>((stool - 3.5f) * kCellHeight)};
}

// A table's picture where it stands (empty without art).
TRect ArtBox(const TTable& table)
{
    if (!table.Look())
        return TRect{};
    TRect box = table.Look()->BoundingBox(0);
    box.Offset(table.GetLocation().x, table.GetLocation().y);
    return box;
}

// The first of the station's chairs drawn under the point, or -1.
int ChairAt(const TEatingStation& station, const TPoint& point)
{
    for (int i = 0; i < station.GetChairCount(); ++i) {
        const TRect box = station.GetChair(i)->BoundingBox();
        if (!box.IsEmpty() && box.Contains(point))
            return i;
    }
    return -1;
}

bool Near(const TPoint& a, const TPoint& b)
{
    return std::abs(a.x - b.x) <= kCellWidth / 2 && std::abs(a.y - b.y) <= kCellHeight / 2;
}

}  // namespace

namespace editors {

TPoint TablePointForCell(int seats, int row, int col)
{
    std::string grid(kLayoutCells, '.');
    if (row >= 0 && row < kLayoutRows && col >= 0 && col < kLayoutColumns)
        grid[size_t(row * kLayoutColumns + col)] = static_cast<char>('0' + seats);
    TLevelLayout layout;
    layout.OpenLevelFromMem(str(grid.c_str()));
    std::vector<TTableDesc> tables;
    layout.SetupTables(&tables, nullptr);
    return tables.empty() ? TLevelLayout::GetTableLocation(static_cast<float>(row), static_cast<float>(col))
                          : tables.front().point;
}

bool TableCell(int seats, TPoint point, int* row, int* col)
{
    TTableDesc table;
    table.seats = seats;
    table.point = point;
    const std::string grid = TLevelLayout::GetLayoutStr({table}, nullptr, TLayoutStations{}).c_str();
    const size_t at = grid.find(static_cast<char>('0' + seats));
    if (at == std::string::npos)
        return false;
    *row = static_cast<int>(at) / kLayoutColumns;
    *col = static_cast<int>(at) % kLayoutColumns;
    return true;
}

}  // namespace editors

// The stations a layout may switch on, made as the level makes them (they
// take the current restaurant's art and the game's places) and switched on,
// so that each draws as it stands on the floor when a level starts.
struct TLevelEditor::TPreviews {
    TPreviews()
    {
        drink.SetEnabled(true);
        dessert.SetEnabled(true);
        snack.SetEnabled(true);
        highChair.SetEnabled(true);
        mop.SetEnabled(true);
        bench.shown = true;
        phone.SetPresent(true);
        phone.SetStaffTime(TPhoneStation::kStaffSeconds);
        podium.SetEnabled(true);
    }

    TDrinkStation drink;
    TDessertStation dessert;
    TSnackStation snack;
    THighChairStation highChair;
    TMopStation mop;
    TBench bench;
    TPhoneStation phone;
    TPodium podium;
};

const contract::TScreenSpec TLevelEditor::kContract{"TLevelEditor", "LevelEditor", "scripts/leveleditor.lua",
                                                    kLuaFunctions, kEditorChildren};

TLevelEditor::TLevelEditor()
{
    TSettings* settings = TSettings::GetInstance();
    if (settings) {
        settings->SetCurrentRestaurant(0);
        settings->SetCurrentLevel(0);
    }
    if (TWindowManager* manager = TWindowManager::GetInstance())
        manager->AddWindowType(TCustomerWindow::kContract.typeName, TCustomerWindow::ClassId());
    PublishFunctions();
    editors::PublishFieldFunctions(this);
    mLevels = std::make_unique<TLevelManager>(IsEndless() ? TLevelManager::kEndless : TLevelManager::kCareer);
    mRoom = std::make_unique<TRestaurant>();
    mCache = std::make_unique<TAnimatedTextureCache>(100, 120, 80);
    mWhite = TTexture::Create(1, 1, true);
    if (TPlatform* platform = TPlatform::GetInstance()) {
        const TColor white{1, 1, 1, 1};
        platform->FillRect(0, 0, 1, 1, &white, mWhite);
    }
}

TLevelEditor::~TLevelEditor() = default;

bool TLevelEditor::IsEndless() const
{
    TSettings* settings = TSettings::GetInstance();
    return settings && settings->GetCurrentGameModeInt() == TSettings::kEndlessMode;
}

void TLevelEditor::PostChildrenInit()
{
    TSettings* settings = TSettings::GetInstance();
    if (settings)
        settings->SetCurrentLevel(0);
    if (IsEndless()) {
        screens::ShowChild(this, kCareergroup, false);
        screens::ShowChild(this, kLeveltweaks, false);
    } else {
        screens::ShowChild(this, kEndlessgroup, false);
        if (settings && settings->GetLevelMode() != 0) {
            screens::ShowChild(this, kCareerlevelgroup, false);
            screens::ShowChild(this, kCareerlayoutgroup, false);
        } else {
            screens::ShowChild(this, kBonuslevelgroup, false);
        }
    }
    for (int i = 0; i < kStations; ++i)
        mStationButtons[size_t(i)] = editors::FindToggle(this, kStationToggles[i].name);
    InitLevel();
    StartWindowAnimation(16, true, true, false);
}

void TLevelEditor::InitLevel()
{
    SaveLayout();
    mRoom->Initialize();
    mLevels->SetupLevel();
    mLevelText = mLevels->LevelAsStr();
    FillLevelFields();
    mLayoutIndex = 0;
    InitLayout();
}

void TLevelEditor::FillLevelFields()
{
    TSettings* settings = TSettings::GetInstance();
    if (IsEndless()) {
        int period = 0;
        float start = 0, minimum = 0, decrease = 0;
        mLevels->GetLevelTuningInformation(&period, &start, &minimum, &decrease);
        editors::SetField(this, kEndlesslevelval.name, Int(settings ? settings->GetCurrentLevel() + 1 : 1));
        editors::SetField(this, kEndlessrestaurantval.name, Int(settings ? settings->GetCurrentRestaurant() + 1 : 1));
        editors::SetField(this, kEndlessstarsval.name, Int(mLevels->GetNumStars()));
        editors::SetField(this, kEndlessstartdiffval.name, str::getFormatted("%f", start));
        editors::SetField(this, kEndlessmindiffval.name, str::getFormatted("%f", minimum));
        editors::SetField(this, kEndlessdiffdeltaval.name, str::getFormatted("%f", decrease));
        editors::SetField(this, kEndlesstimerval.name, Int(period));
        return;
    }
    editors::SetField(this, kLevelval.name, Int(settings ? settings->GetCurrentTotalLevel() + 1 : 1));
    editors::SetField(this, kRestaurantval.name, Int(settings ? settings->GetCurrentRestaurant() + 1 : 1));
    editors::SetField(this, kGoalval.name, Int(mLevels->GetCurrentGoal()));
    editors::SetField(this, kExpertval.name, Int(mLevels->GetCurrentExpert()));
    editors::SetField(this, kDoodleval.name, mLevels->GetDoodle());
    editors::SetField(this, kLeavepenaltyval.name, Int(-mLevels->GetLeavePenalty()));
    editors::SetField(this, kSnackchanceval.name, Int(mLevels->GetSnackChance()));
    editors::SetField(this, kLayoutval.name, mLevels->GetLayoutName());
}

void TLevelEditor::InitLayout()
{
    BuildPreviews();
    const TLevelLayout& layout = mLevels->GetLayout();
    const bool has[8] = {layout.HasDrinkStation(), layout.HasSnackStation(),     layout.HasDessertStation(),
                         layout.HasMopStation(),   layout.HasHighChairStation(), layout.HasPhoneStation(),
                         layout.HasPodiumStation(), layout.HasBench()};
    for (int i = 0; i < 8; ++i)
        if (TButton* button = mStationButtons[size_t(i)])
            button->SetOn(has[i]);
    mTables.clear();
    mTableDescs.clear();
    RemoveBar();
    mDragged = -1;
    std::vector<TTableDesc> tables;
    std::optional<TBarDesc> bar;
    mLevels->SetupTables(&tables, &bar);
    for (const TTableDesc& table : tables)
        PutTable(static_cast<int>(mTables.size()), table);
    if (bar)
        MakeBar(*bar);
    if (TButton* toggle = mStationButtons[kBarStation])
        toggle->SetOn(mBar != nullptr);
    if (IsEndless()) {
        editors::SetField(this, kEndlesslayoutnum.name, Int(mLayoutIndex + 1));
        editors::SetField(this, kEndlesslayoutval.name, mLevels->GetTableUpgradeLayout(mLayoutIndex));
    }
    editors::SetToggle(this, kBrokenarm.name, mLevels->GetBrokenArm());
    editors::SetToggle(this, kFlashlight.name, mLevels->GetFlashLight());
    editors::SetToggle(this, kStartdirty.name, mLevels->GetStartDirty());
    editors::SetToggle(this, kMustcolor.name, mLevels->GetMustColorMatch());
    editors::SetField(this, kNewchefval.name, str::getFormatted("%2.2f", mLevels->GetNewChefValue()));
    float freq = 0, length = 0, spill = 0;
    mLevels->GetShakeValue(&freq, &length, &spill);
    editors::SetField(this, kShakefreqval.name, str::getFormatted("%2.2f", freq));
    editors::SetField(this, kShakelengthval.name, str::getFormatted("%2.2f", length));
    editors::SetField(this, kShakespillval.name, str::getFormatted("%2.2f", spill));
}

void TLevelEditor::BuildPreviews()
{
    mPreviews = std::make_unique<TPreviews>();
    mPreviews->bench.location = mLevels->GetLayout().GetBenchLocation();
    mArtRestaurant = floorart::RestaurantIndex();
}

std::unique_ptr<TTable> TLevelEditor::MakeTable(const TTableDesc& desc) const
{
    auto table =
        std::make_unique<TTable>(floorart::RestaurantFolder(), desc.id, desc.seats, desc.colors.data(), desc.point);
    // The tables and chairs wear the decor the player picked for the room, as in the game.
    table->SetUpgradeLevel(mRoom->ChairUpgradeLevel());
    return table;
}

void TLevelEditor::MakeBar(const TBarDesc& desc)
{
    mBarDesc = desc;
    mBar = std::make_unique<TBar>(desc.colors.data(), desc.point);
}

void TLevelEditor::RemoveBar()
{
    mBarDesc.reset();
    mBar.reset();
}

void TLevelEditor::PutTable(int index, const TTableDesc& desc)
{
    TTableDesc numbered = desc;
    numbered.id = index;
    if (index == static_cast<int>(mTables.size())) {
        mTableDescs.push_back(numbered);
        mTables.push_back(MakeTable(numbered));
    } else {
        mTableDescs[size_t(index)] = numbered;
        mTables[size_t(index)] = MakeTable(numbered);
    }
}

void TLevelEditor::EraseTable(int index)
{
    mTableDescs.erase(mTableDescs.begin() + index);
    mTables.erase(mTables.begin() + index);
    for (int i = index; i < static_cast<int>(mTables.size()); ++i)
        PutTable(i, mTableDescs[size_t(i)]);  // the floor numbers its tables in list order
}

TLayoutStations TLevelEditor::StationsFromToggles() const
{
    auto on = [this](int i) { return mStationButtons[size_t(i)] && mStationButtons[size_t(i)]->IsOn(); };
    TLayoutStations s;
    s.drink = on(kDrink);
    s.snack = on(kSnack);
    s.dessert = on(kDessert);
    s.mop = on(kMop);
    s.highChair = on(kHighChair);
    s.phone = on(kPhone);
    s.podium = on(kPodium);
    s.bench = on(kBench);
    // The bench keeps the cell the layout gave it.
    s.benchCell = mLevels->GetLayout().GetStations().benchCell;
    return s;
}

void TLevelEditor::SaveLayout()
{
    if (!mLayoutChanged)
        return;
    const std::vector<TTableDesc> tables = TableDescriptors();
    const std::optional<TBarDesc> barDesc = BarDescriptor();
    const TBarDesc* bar = barDesc ? &*barDesc : nullptr;
    TSettings* settings = TSettings::GetInstance();
    if (settings && settings->GetLevelMode() != 0)
        mLevels->SetLayoutStr(TLevelLayout::GetLayoutStr(tables, bar, StationsFromToggles()));
    else if (TLevelLayout::SaveLayout(mLevels->GetLayoutName(), tables, bar, StationsFromToggles()))
        mLevels->MarkEdited();  // the level generator keeps the layout of a level the editor saved
    mLayoutChanged = false;
}

void TLevelEditor::RecordLevelInfo()
{
    const bool downloaded = TSettings::GetInstance() && TSettings::GetInstance()->GetLevelMode() != 0;
    const std::optional<TBarDesc> bar = BarDescriptor();
    const str layoutText =
        downloaded ? TLevelLayout::GetLayoutStr(TableDescriptors(), bar ? &*bar : nullptr, StationsFromToggles())
                   : str();
    SaveLayout();
    if (IsEndless()) {
        mLevels->SetTableUpgradeLayout(mLayoutIndex, editors::GetField(this, kEndlesslayoutval.name));
        mLevels->SetEndlessLevelDefinition(editors::GetIntField(this, kEndlessstarsval.name),
                                           editors::GetIntField(this, kEndlesstimerval.name),
                                           editors::GetFloatField(this, kEndlessstartdiffval.name),
                                           editors::GetFloatField(this, kEndlessmindiffval.name),
                                           editors::GetFloatField(this, kEndlessdiffdeltaval.name));
        return;
    }
    TSettings* settings = TSettings::GetInstance();
    mLevels->SetCurrentLevelDefinition(settings ? settings->GetCurrentRestaurant() : 0,
                                       editors::GetIntField(this, kGoalval.name),
                                       editors::GetIntField(this, kExpertval.name),
                                       editors::GetIntField(this, kLeavepenaltyval.name),
                                       editors::GetIntField(this, kSnackchanceval.name),
                                       editors::GetField(this, kDoodleval.name),
                                       downloaded ? layoutText : editors::GetField(this, kLayoutval.name));
    mLevels->SetBrokenArm(editors::GetToggle(this, kBrokenarm.name));
    mLevels->SetFlashLight(editors::GetToggle(this, kFlashlight.name));
    mLevels->SetStartDirty(editors::GetToggle(this, kStartdirty.name));
    mLevels->SetMustColorMatch(editors::GetToggle(this, kMustcolor.name));
    mLevels->SetNewChefValue(editors::GetFloatField(this, kNewchefval.name));
    mLevels->SetShakeValue(editors::GetFloatField(this, kShakefreqval.name),
                           editors::GetFloatField(this, kShakelengthval.name),
                           editors::GetFloatField(this, kShakespillval.name));
}

void TLevelEditor::SaveLevelData()
{
    TSettings* settings = TSettings::GetInstance();
    if (!settings)
        return;
    RecordLevelInfo();
    if (mLevels->LevelAsStr() == mLevelText)
        return;
    // The game's own level files are the generator's until the editor
    // saves one; a downloaded level is nobody else's.
    if (IsEndless() || settings->GetLevelMode() == 0)
        mLevels->MarkEdited();
    const str text = mLevels->LevelAsStr();
    bool written = false;
    if (IsEndless()) {
        written = mLevels->SaveLevelDefinition("assets/config/endless.xml", false);
    } else {
        switch (settings->GetLevelMode()) {
        case 0:
            written = mLevels->SaveLevelDefinition(
                str::getFormatted("assets/config/career/%d.xml", settings->GetCurrentTotalLevel() + 1), false);
            break;
        case 1:
            written = mLevels->SaveLevelDefinition(settings->GetDownloadLevelName(), false);
            break;
        case 2: {
            str path = settings->GetDownloadLevelName();
            path.replace(str(".xml"), str(".bin"));
            written = mLevels->SaveLevelDefinition(path, true);
            break;
        }
        default:
            break;
        }
    }
    // What is on disk now is the level as loaded: saving again writes nothing.
    if (written)
        mLevelText = text;
}

void TLevelEditor::IncrementLevel(int delta)
{
    TSettings* settings = TSettings::GetInstance();
    if (!settings)
        return;
    RecordLevelInfo();
    if (IsEndless()) {
        settings->SetCurrentLevel(Wrap(settings->GetCurrentLevel() + delta, kEndlessDifficulties));
    } else {
        SaveLevelData();
        int restaurant = 0, level = 0;
        TSettings::LevelToRestaurantAndLevel(Wrap(settings->GetCurrentTotalLevel() + delta, kCareerLevels),
                                             &restaurant, &level);
        settings->SetCurrentRestaurant(restaurant);
        settings->SetCurrentLevel(level);
    }
    InitLevel();
}

void TLevelEditor::IncrementRestaurant(int delta)
{
    TSettings* settings = TSettings::GetInstance();
    if (!settings)
        return;
    RecordLevelInfo();
    settings->SetCurrentRestaurant(Wrap(settings->GetCurrentRestaurant() + delta, kRestaurants));
    mRoom->Initialize();
    RefreshArt();
    editors::SetField(this, kRestaurantval.name, Int(settings->GetCurrentRestaurant() + 1));
}

void TLevelEditor::GotoLevel()
{
    TSettings* settings = TSettings::GetInstance();
    if (!settings)
        return;
    IncrementLevel(editors::GetIntField(this, kGotolevelval.name) - 1 - settings->GetCurrentTotalLevel());
}

void TLevelEditor::IncrementLayout(int delta)
{
    SaveLayout();
    mLevels->SetTableUpgradeLayout(mLayoutIndex, editors::GetField(this, kEndlesslayoutval.name));
    mLayoutIndex = Wrap(mLayoutIndex + delta, kUpgradeLayouts);
    mLevels->SetTableUpgrade(mLayoutIndex);
    InitLayout();
}

void TLevelEditor::SetupCustomers()
{
    if (!IsEndless()) {
        for (int n = 0; n < kCareerSlots; ++n) {
            editors::SetField(this, kTimeval.NameOf(n).c_str(), Int(mLevels->GetGroupTime(n)));
            editors::SetField(this, kDefval.NameOf(n).c_str(), mLevels->GetGroupDef(n));
            editors::SetField(this, kTypeval.NameOf(n).c_str(), mLevels->GetGroupType(n));
        }
        return;
    }
    for (int s = 0; s < kEndlessSections; ++s) {
        int goal = 0, time = 0;
        mLevels->GetSectionInfo(s, &goal, &time);
        editors::SetField(this, kTimeval.NameOf(s).c_str(), Int(time));
        editors::SetField(this, kSectionGoalval.NameOf(s).c_str(), Int(goal));
        for (int slot = 0; slot < kEndlessSlots; ++slot) {
            str type;
            int frequency = 0;
            mLevels->GetPartyInfo(s, slot, &type, &frequency);
            editors::SetField(this, str::getFormatted("typeval_%c%d", 'a' + slot, s), type);
            editors::SetField(this, str::getFormatted("freqval_%c%d", 'a' + slot, s), Int(frequency));
        }
    }
}

void TLevelEditor::RecordCustomers()
{
    if (!IsEndless()) {
        for (int n = 0; n < kCareerSlots; ++n)
            mLevels->SetGroupDefinition(n, editors::GetIntField(this, kTimeval.NameOf(n).c_str()),
                                        editors::GetField(this, kDefval.NameOf(n).c_str()),
                                        editors::GetField(this, kTypeval.NameOf(n).c_str()));
        return;
    }
    for (int s = 0; s < kEndlessSections; ++s) {
        mLevels->SetSectionInfo(s, editors::GetIntField(this, kSectionGoalval.NameOf(s).c_str()),
                                editors::GetIntField(this, kTimeval.NameOf(s).c_str()));
        for (int slot = 0; slot < kEndlessSlots; ++slot)
            mLevels->SetPartyInfo(s, slot, editors::GetField(this, str::getFormatted("typeval_%c%d", 'a' + slot, s)),
                                  editors::GetIntField(this, str::getFormatted("freqval_%c%d", 'a' + slot, s)));
    }
}

void TLevelEditor::ToggleStation(int station)
{
    mLayoutChanged = true;
    if (station != kBarStation)
        return;
    TButton* toggle = mStationButtons[kBarStation];
    if (toggle && toggle->IsOn()) {
        RemoveBar();
    } else if (!mBar) {
        TBarDesc bar;
        bar.colors.fill(kNewChairColour);
        bar.point = TLevelLayout::GetTableLocation(7.5f, 3.0f);
        MakeBar(bar);
    }
}

// ---- the plan under the mouse

int TLevelEditor::TableAt(const TPoint& point, bool last) const
{
    const int count = static_cast<int>(mTables.size());
    for (int k = 0; k < count; ++k) {
        const int i = last ? count - 1 - k : k;
        // On the table's picture, or on its cells of the layout.
        if (ArtBox(*mTables[size_t(i)]).Contains(point))
            return i;
        const TTableDesc& table = mTableDescs[size_t(i)];
        if (std::abs(point.x - table.point.x) <= kCellWidth / 2 &&
            std::abs(point.y - table.point.y) <= HalfHeightCells(table.seats) * kCellHeight)
            return i;
    }
    return -1;
}

// A table goes where the floor's set-up would stand one read from the cell
// under the point; one that would not fit the grid (and so could not be
// saved) is refused.
bool TLevelEditor::AddTable(const TPoint& point, int seats)
{
    int row = -1, col = -1;
    TLevelLayout::PointToGrid(point, &row, &col, 0.0f);
    if (row < 0 || col < 0 || TableAt(point, false) >= 0)
        return false;
    TTableDesc table;
    table.id = static_cast<int>(mTables.size());
    table.seats = seats;
    table.colors.fill(kNewChairColour);
    table.point = editors::TablePointForCell(seats, row, col);
    int fitRow = 0, fitCol = 0;
    if (!editors::TableCell(seats, table.point, &fitRow, &fitCol))
        return false;
    PutTable(static_cast<int>(mTables.size()), table);
    return true;
}

bool TLevelEditor::StepChairColour(const TPoint& point)
{
    auto step = [](int* colour) { *colour = *colour >= kChairColorNone ? 0 : *colour + 1; };
    // A chair is found where it is drawn, or by its cell of the layout, where its letter is written.
    for (int i = static_cast<int>(mTables.size()) - 1; i >= 0; --i) {
        const int chair = ChairAt(*mTables[size_t(i)], point);
        if (chair >= 0 && chair < mTableDescs[size_t(i)].seats) {
            TTableDesc table = mTableDescs[size_t(i)];
            step(&table.colors[size_t(chair)]);
            PutTable(i, table);
            return true;
        }
    }
    if (mBar && !mBar->Stations().empty() && mBarDesc) {
        const int stool = ChairAt(*mBar->Stations().front(), point);
        if (stool >= 0 && stool < kBarStools) {
            TBarDesc bar = *mBarDesc;
            step(&bar.colors[size_t(stool)]);
            MakeBar(bar);
            return true;
        }
    }
    std::vector<TTableDesc> tables = TableDescriptors();
    for (int i = static_cast<int>(tables.size()) - 1; i >= 0; --i) {
        TTableDesc& table = tables[size_t(i)];
        int row = 0, col = 0;
        if (!editors::TableCell(table.seats, table.point, &row, &col))
            continue;
        for (int chair = 0; chair < table.seats; ++chair) {
            if (Near(ChairPoint(table, chair, row, col), point)) {
                step(&table.colors[size_t(chair)]);
                PutTable(i, table);
                return true;
            }
        }
    }
    std::optional<TBarDesc> bar = BarDescriptor();
    if (bar)
        for (int stool = 0; stool < kBarStools; ++stool)
            if (Near(StoolPoint(*bar, stool), point)) {
                step(&bar->colors[size_t(stool)]);
                MakeBar(*bar);
                return true;
            }
    return false;
}

bool TLevelEditor::OnMouseDown(const TPoint& point)
{
    bool changed = false;
    switch (mMouseMode) {
    case kMoveTable:
        mDragged = TableAt(point, false);
        return mDragged >= 0;
    case kDeleteTable: {
        const int hit = TableAt(point, true);
        if (hit >= 0)
            EraseTable(hit);
        changed = hit >= 0;
        break;
    }
    case kAddTwo:
    case kAddFour:
    case kAddSix:
        changed = AddTable(point, SeatsForMode(mMouseMode));
        break;
    case kChairColour:
        changed = StepChairColour(point);
        break;
    default:
        break;
    }
    if (changed)
        mLayoutChanged = true;
    return changed;
}

bool TLevelEditor::OnMouseMove(const TPoint& point)
{
    if (mDragged < 0 || mDragged >= static_cast<int>(mTables.size()))
        return false;
    TTableDesc table = TableDescriptors()[size_t(mDragged)];
    int row = -1, col = -1;
    TLevelLayout::PointToGrid(point, &row, &col, 0.0f);
    if (row < 0 || col < 0)
        return false;
    const TPoint target = editors::TablePointForCell(table.seats, row, col);
    int fitRow = 0, fitCol = 0;
    if (target != table.point && editors::TableCell(table.seats, target, &fitRow, &fitCol)) {
        // Made again where it now stands, as the floor would make it there.
        table.point = target;
        PutTable(mDragged, table);
        mLayoutChanged = true;
    }
    return false;
}

bool TLevelEditor::OnMouseUp(const TPoint&)
{
    mDragged = -1;
    return false;
}

// ---- drawing: a plan of the floor (cells, tables with their chairs, the
// bar's stools, the station markers)

bool TLevelEditor::OnTaskAnimate()
{
    InvalidateRect(nullptr);
    return true;
}

bool TLevelEditor::OnDirtyRect(TRect* r)
{
    if (r)
        *r = TRect{0, 0, 800, 600};
    return true;
}

void TLevelEditor::DrawBox(float x, float y, float w, float h, const TColor& colour) const
{
    TPlatform* platform = TPlatform::GetInstance();
    TRect viewport;
    platform->GetViewport(&viewport);
    const TVec2 centre{x - static_cast<float>(viewport.x1), y - static_cast<float>(viewport.y1)};
    mWhite->DrawSprite(centre, 1.0f, w, h, 0.0f, nullptr, &colour, 0, nullptr);
}

void TLevelEditor::RefreshArt()
{
    // The room takes the nearest restaurant it knows.
    if (mRoom->Restaurant() != std::clamp(floorart::RestaurantIndex(), 0, int{TRestaurant::kBeach}))
        mRoom->Initialize();
    if (mArtRestaurant == floorart::RestaurantIndex())
        return;
    // Another restaurant: the floor's pieces in its art.
    for (int i = 0; i < static_cast<int>(mTables.size()); ++i)
        PutTable(i, mTableDescs[size_t(i)]);
    if (mBarDesc)
        MakeBar(*mBarDesc);
    BuildPreviews();
}

bool TLevelEditor::DrawRoom()
{
    RefreshArt();
    if (!mRoom->HasBackdrop())
        return false;
    mRoom->Draw(false);
    mRoom->DrawOverlay();
    return true;
}

// The cells a click adds a table to, faint on the floor under the furniture.
void TLevelEditor::DrawGrid(bool room)
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform->Begin2d())
        return;
    const TColor line = room ? TColor{1, 1, 1, 0.25f} : TColor{0.82f, 0.76f, 0.66f, 1};
    if (!room) {
        const TColor floor{0.93f, 0.88f, 0.78f, 1};
        DrawBox(460, 345, 560, 470, floor);
    }
    for (int c = 0; c <= kLayoutColumns; ++c)
        DrawBox(180 + c * kCellWidth, 345, 1, 470, line);
    for (int r = 0; r <= kLayoutRows; ++r)
        DrawBox(460, 110 + r * kCellHeight, 560, 1, line);
    platform->End2d();
}

// The stations the toggles switch on, in the game's art at the game's places.
void TLevelEditor::DrawPreviews()
{
    TPlatform* platform = TPlatform::GetInstance();
    const TLayoutStations on = StationsFromToggles();
    TPreviews& p = *mPreviews;
    if (platform->Begin2d()) {
        const std::pair<TShelfStation*, bool> shelves[] = {{&p.drink, on.drink},
                                                           {&p.dessert, on.dessert},
                                                           {&p.snack, on.snack},
                                                           {&p.highChair, on.highChair},
                                                           {&p.mop, on.mop}};
        for (const auto& [shelf, shown] : shelves)
            if (shown)
                shelf->Draw();
        platform->End2d();
    }
    if (on.bench)
        p.bench.Draw();  // in a pass of its own
    if (platform->Begin2d()) {
        if (on.phone)
            p.phone.Draw();
        if (on.podium)
            p.podium.Draw();
        platform->End2d();
    }
}

void TLevelEditor::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!mWhite || !platform || !mPreviews)
        return;
    mCache->Reset();
    // The floor as the level shows it: the restaurant's room (a plain floor
    // when it has no picture), the stations, the tables and the bar.
    const bool room = DrawRoom();
    // Paper under the fields above the floor and the modes beside it, so
    // that they read over the room's picture; the furniture stays on top.
    if (room && platform->Begin2d()) {
        const TColor paper{0.98f, 0.96f, 0.91f, 0.82f};
        DrawBox(400, 54, 800, 108, paper);
        DrawBox(88, 277, 176, 330, paper);
        platform->End2d();
    }
    DrawGrid(room);
    DrawPreviews();
    for (const auto& table : mTables)
        table->Draw(mCache.get(), 0.0f, 0.0f);
    if (mBar)
        mBar->Draw(mCache.get());
}
