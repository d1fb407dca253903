#include "game/play/gamedata.h"

#include "engine/base/debuglog.h"
#include "engine/base/xml.h"
#include "game/floor/bar.h"
#include "game/floor/eatingstation.h"
#include "game/floor/foodstation.h"
#include "game/floor/globalskeys.h"
#include "game/floor/kitchenpass.h"
#include "game/floor/quessa.h"
#include "game/floor/table.h"
#include "game/play/keepsetupassets.h"
#include "game/rules/coinjarview.h"
#include "game/rules/scoremanager.h"
#include "game/settings/levelresult.h"
#include "game/settings/settings.h"

#include <algorithm>
#include <optional>

namespace {

// Per restaurant (0-5): where the dish cart stands.
constexpr int kDishCartX[] = {665, 656, 745, 760, 735, 735};
constexpr int kDishCartY = 185;

}  // namespace

TGameData::TGameData(TXmlNode* globals, TScoreManager* score, std::vector<TLevelEvent>* events)
    : mScore(score), mEvents(events), mGlobals(globals)
{
    CreateLevelManager();
    // The first level starts: its context is what the level manager chose
    // (a level file names its own restaurant).
    mContext = TLevelContext::Read(mLevelManager->Chosen());
    const int restaurant = mContext.restaurant;
    TKeepSetUpAssets keep(restaurant);
    mDishCart = std::make_unique<TDishCart>(TPoint{kDishCartX[restaurant], kDishCartY});
    mQuessa = std::make_unique<TQuessa>(globals);
    mQuessa->SetFloor(this);
    mHands = std::make_unique<TQuessaHands>(mQuessa.get());
    mTicketStation.SetFloor(this);
    globalskeys::ReadFloat(globals, "highChairPatience", &mHighChairPatience);
    mHighChairStation.SetPatience(mHighChairPatience);
    mStaff = std::make_unique<TRestaurantStaff>(globals);
}

TGameData::~TGameData()
{
    ClearLevelData();
    mTables.clear();
}

bool TGameData::IsEndless() const
{
    return mLevelManager && mLevelManager->GetMode() == TLevelManager::kEndless;
}

bool TGameData::IsDownloadedLevel() const { return !IsEndless() && mContext.levelFile; }

bool TGameData::IsCareerGame() const
{
    return mContext.fromSettings && !mContext.endlessMode && !IsEndless() && !IsDownloadedLevel();
}

bool TGameData::IsEndlessGame() const { return IsEndless() || mContext.endlessMode; }

void TGameData::CreateLevelManager()
{
    // The level the player chose on the menus.
    const TChosenLevel chosen = TChosenLevel::Read();
    if (chosen.endlessMode && TSettings::GetInstance()->HasPlayedEndlessTutorial()) {
        mLevelManager = std::make_unique<TLevelManager>(TLevelManager::kEndless, &mPartyBuilder);
        return;
    }
    // The first endless game plays its tutorial on career level 1 (a career
    // level manager in endless mode reads that level); the player's own place
    // is kept.
    mLevelManager = std::make_unique<TLevelManager>(TLevelManager::kCareer, &mPartyBuilder);
    if (chosen.endlessMode || (chosen.fromSettings && chosen.IsTutorialLevel()))
        mTutorial.SetActive(true);
}

void TGameData::ClearLevelData()
{
    mDraggedParty = nullptr;
    mDropTable = nullptr;
    mDragMode = 0;
    mEatingStations.clear();
    mStations.clear();
    // The staff forget the tables before they go.
    if (mStaff)
        mStaff->SetTables({}, {}, nullptr);
    mBar.reset();
    while (!mWaitingParties.empty()) {
        delete mWaitingParties.back();
        mWaitingParties.pop_back();
    }
    while (!mFoodStations.empty())
        mFoodStations.pop_back();
    while (!mNoiseRings.empty())
        mNoiseRings.pop_back();
}

void TGameData::InitForLevel(TXmlNode* globals)
{
    mGlobals = globals;
    mStateTimer = mIdleTime = 0;
    mMetrics = {};
    mBenchBoostScale = 1.0f;
    mClosedSignPos = {kClosedSignStart, kClosedSignY};
    mClosedTime = 0;
    mClosedShown = false;

    ClearLevelData();
    // The tables are rebuilt from the layout: the merge tells which ones
    // stood here before, and the list takes the layout's order.
    std::vector<TTableDesc> descs = TableDescriptors();
    std::optional<TBarDesc> bar;
    mLevelManager->MergeLayouts(&descs, &bar);
    mTables.clear();
    BuildTables(descs, 0, bar);
    mLevelManager->StartLevel();

    ReadGlobals(globals);
    BuildFoodStations();

    mQuessa->Reset();
    mQuessa->SetBrokenArm(mLevelManager->GetBrokenArm());
    mDishCart->Reset();
    mBench.Reset();
    mDrinkStation.Reset();
    mChef.Reset();
    mTutorial.Reset();
    mClockAngle = mGoalTime = mExpertTime = 0;
    if (mCoinJar)
        mCoinJar->Reset();
    EnableLayoutStations();
    mStaff->InitForLevel(globals, mLevelManager->GetLayout().GetStations(), !IsEndless(), mQuessa.get(),
                         &mDrinkStation);
    mFlashlight = false;  // the scene starts the level lit; the intro darkens a flashlight level
    UpdateTables();
    mBetween.LevelSetUp();

    if (IsCareerGame())
        game::ApplyCareerLevelStart(mContext.careerLevel);
    float period = 0, duration = 0, chance = 0;
    mLevelManager->GetShakeValue(&period, &duration, &chance);
    mTurbulence.Start(period, duration, chance);
}

void TGameData::ReadGlobals(TXmlNode* globals)
{
    // Times are written in ms; a missing key keeps the value before it.
    using globalskeys::ReadInt;
    int foodReady = 2000, closing = 0, foodCold = 0, benchPatience = 0, drinkRefresh = 10000, drinkMood = 0;
    ReadInt(globals, "foodReadyMS", &foodReady);
    mFoodReady = foodReady / 1000.0f;
    if (ReadInt(globals, "closingTimeMS", &closing))
        mClosingTime = closing / 1000.0f;
    ReadInt(globals, "foodColdMS", &foodCold);
    mFoodCold = foodCold / 1000.0f;
    ReadInt(globals, "benchHeartBoost", &mBenchHeartBoost);
    if (ReadInt(globals, "benchPatienceMultiplier", &benchPatience))
        mBenchPatienceMultiplier = static_cast<float>(benchPatience);
    ReadInt(globals, "drinkRefreshMS", &drinkRefresh);
    mDrinkStation.SetRefillTime(drinkRefresh / 1000.0f);
    ReadInt(globals, "drinkMood", &drinkMood);
    mDrinkStation.SetDrinkValue(drinkMood);
}

// The plates come up on the pass left to right; past its last slot the row
// starts again at the first. The tutorial spaces them twice as wide.
void TGameData::BuildFoodStations()
{
    const int start = kitchen::kFirstPlate.x, spacing = kitchen::kPlateStep;
    const int limit = start + kitchen::kPlateSlots * spacing - 1;
    const float chefDelay = mLevelManager->GetNewChefValue();
    int x = start;
    for (int i = 0; i < kFoodStations; ++i) {
        const int placed = x > limit ? start : x;
        mFoodStations.push_back(std::make_unique<TFoodStation>(mFoodReady, mFoodCold, chefDelay,
                                                               TPoint{placed, kitchen::kFirstPlate.y}));
        x = placed + (mTutorial.IsActive() ? 2 * spacing : spacing);
    }
}

void TGameData::EnableLayoutStations()
{
    const TLevelLayout& layout = mLevelManager->GetLayout();
    const TLayoutStations has = layout.GetStations();
    mBench.location = layout.GetBenchLocation();
    mDessertStation.SetEnabled(has.dessert);
    mSnackStation.SetEnabled(has.snack);
    mHighChairStation.SetEnabled(has.highChair);
    mMopStation.SetEnabled(has.mop);
    const bool career = !IsEndless();
    mDrinkStation.SetEnabled(career && has.drink);
    mBench.shown = career && has.bench;
}

void TGameData::BuildTables(const std::vector<TTableDesc>& descs, std::size_t first, const std::optional<TBarDesc>& bar)
{
    const str& folder = mContext.restaurantFolder;
    for (std::size_t i = first; i < descs.size(); ++i)
        mTables.push_back(
            std::make_unique<TTable>(folder, descs[i].id, descs[i].seats, descs[i].colors.data(), descs[i].point));
    if (bar && !mBar)
        mBar = std::make_unique<TBar>(bar->colors.data(), bar->point);
}

std::vector<TTableDesc> TGameData::TableDescriptors() const
{
    std::vector<TTableDesc> descs;
    for (const auto& table : mTables) {
        TTableDesc desc;
        desc.id = static_cast<int>(descs.size());
        desc.seats = table->GetChairCount();
        // Where the layout put it: its location may have moved up onto the grid.
        desc.point = table->GetLayoutPoint();
        descs.push_back(desc);
    }
    return descs;
}

void TGameData::UpdateTables()
{
    // The tables and their chairs wear the decor the player picked for the room.
    const int decor = mStaff->Restaurant().ChairUpgradeLevel();
    std::vector<TRect> boxes;
    for (const auto& table : mTables) {
        table->SetUpgradeLevel(decor);
        boxes.push_back(table->BoundingBox());
    }
    const TRect barBox = mBar ? mBar->BoundingBox() : TRect{};
    mQuessa->SetTables(boxes, mBar ? &barBox : nullptr);
}

// ---- what the between-levels flow changes --------------------------------------

std::vector<IStation*> TGameData::TableStations() const
{
    std::vector<IStation*> tables;
    for (const auto& table : mTables)
        tables.push_back(table.get());
    return tables;
}

void TGameData::WearDecorLevel(int level)
{
    for (const auto& table : mTables)
        table->SetUpgradeLevel(level);
    if (mBar)
        for (const auto& seat : mBar->Stations())
            seat->SetUpgradeLevel(level);
}

int TGameData::AddTableUpgrade()
{
    std::vector<TTableDesc> descs = TableDescriptors();
    const std::size_t standing = descs.size();
    std::optional<TBarDesc> bar;
    if (mBar)
        bar = TBarDesc{{}, mBar->GetLocation()};  // the bar stands: the upgrade makes none
    mLevelManager->TableUpgrade(&descs, &bar);
    BuildTables(descs, standing, bar);
    UpdateTables();
    BuildStationList();
    return static_cast<int>(mTables.size());
}

void TGameData::SetLinePatience(float multiplier)
{
    for (TParty* party : mWaitingParties)
        party->SetLineMultiplier(multiplier);
    mLevelManager->SetPatienceMultiplier(multiplier);
}

void TGameData::ShowBench(float patienceMultiplier, bool luxury)
{
    mBench.shown = true;
    mBench.luxury = luxury;
    mBenchBoostScale = patienceMultiplier;
}

void TGameData::SetFoodReadyTime(float seconds)
{
    mFoodReady = seconds;
    for (const auto& food : mFoodStations)
        food->SetCookTime(seconds);
}

// ---- the level's set-up ----------------------------------------------------------

void TGameData::SetupLevel()
{
    TKeepSetUpAssets keep(mContext.restaurant);
    InitForLevel(mGlobals);
    AdjustQueue();
    BuildStationList();
    for (IStation* station : mStations)
        station->mQueuedVisits = 0;
    if (IsCareerGame()) {
        // The career's best scores of its other levels, and its cash.
        mScore->SetScore(mContext.Settings()->GetCareerScore(mContext.careerLevel));
        mScore->SetCash(mContext.Settings()->GetCareerCash());
    }
    mScore->StartLevel();
    ++mAttempts;
    // The room's music plays from the set-up on; the intro, the pause and
    // the level-over screens pause it with the game.
    mStaff->Restaurant().StartMusic();
    WriteDbg("level set up: %s %s", IsEndless() ? "endless shift" : "level", GetLevelManager()->GetCurrentLevelStr().c_str());
    Tell(levelevent::LevelSetUp{});
}

void TGameData::BuildStationList()
{
    mStations.clear();
    mEatingStations.clear();
    mStations.push_back(&mTicketStation);
    for (const auto& table : mTables) {
        mStations.insert(mStations.begin(), table.get());
        mEatingStations.insert(mEatingStations.begin(), table.get());
    }
    mStations.push_back(mDishCart.get());
    for (TShelfStation* shelf : std::initializer_list<TShelfStation*>{&mDrinkStation, &mDessertStation, &mSnackStation,
                                                                      &mHighChairStation, &mMopStation})
        if (shelf->IsEnabled())
            mStations.push_back(shelf);
    if (mBar)
        for (const auto& seat : mBar->Stations()) {
            mStations.push_back(seat.get());
            mEatingStations.insert(mEatingStations.begin(), seat.get());
        }
    for (IStation* station : mStaff->Stations())
        mStations.push_back(station);
    std::vector<TRect> boxes;
    for (const auto& table : mTables)
        boxes.push_back(table->BoundingBox());
    const TRect barBox = mBar ? mBar->BoundingBox() : TRect{};
    mStaff->SetTables(mEatingStations, boxes, mBar ? &barBox : nullptr);
}

TPoint TGameData::LineSpot(int place)
{
    return {kLineX, kLineHeadY - place * kLineStep};
}

void TGameData::AdjustQueue()
{
    int place = 0;
    for (TParty* party : mWaitingParties) {
        if (party->IsOnBench())
            continue;
        const TPoint spot = LineSpot(place++);
        if (party == mDraggedParty) {
            mDragHome = spot;
            continue;
        }
        party->SetInLine(spot, false);
    }
}

bool TGameData::AddNextGroup()
{
    const bool added = mLevelManager->AddNextGroup(&mWaitingParties);
    AdjustQueue();
    return added;
}

void TGameData::SetupStars()
{
    mLives = IsEndlessGame() ? mLevelManager->GetNumStars() : 1;
}

int TGameData::GetLevelScore() const { return mScore->GetScore() - mScore->GetLevelStartScore(); }

IStation* TGameData::FindStation(int stationId)
{
    for (IStation* station : mStations)
        if (station->StationId() == stationId)
            return station;
    for (const auto& food : mFoodStations)
        if (food->StationId() == stationId)
            return food.get();
    return nullptr;
}

std::vector<ITableView*> TGameData::EatingStations()
{
    return {mEatingStations.begin(), mEatingStations.end()};
}

std::vector<TFoodStation*> TGameData::FoodStations()
{
    std::vector<TFoodStation*> list;
    for (const auto& food : mFoodStations)
        list.push_back(food.get());
    return list;
}
