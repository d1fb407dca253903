#include "game/play/betweenlevels.h"

#include "engine/base/debuglog.h"
#include "game/floor/bar.h"
#include "game/floor/eatingstation.h"
#include "game/floor/foodstation.h"
#include "game/floor/quessa.h"
#include "game/floor/table.h"
#include "game/play/gamedata.h"
#include "game/rules/scoremanager.h"
#include "game/screens/screenchildren.h"
#include "game/settings/settings.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr float kDecorFadeSeconds = 0.5f;
constexpr float kNewItemSeconds = 2.0f;
constexpr float kBlinkSeconds = 0.2f;

// Whether `now` has a station that `before` lacked.
bool HasNewStation(const TLayoutStations& before, const TLayoutStations& now)
{
    return (now.drink && !before.drink) || (now.snack && !before.snack) || (now.dessert && !before.dessert) ||
           (now.mop && !before.mop) || (now.highChair && !before.highChair) || (now.phone && !before.phone) ||
           (now.podium && !before.podium) || (now.bench && !before.bench);
}

}  // namespace

void TBetweenLevels::LevelSetUp()
{
    mUpgradeAnimTime = 0;
    mUpgradeNoticeShown = false;
    mBlinkOn = false;
    mPreviousDecorLevel = mLevel.mStaff->Restaurant().ChairUpgradeLevel();
}

void TBetweenLevels::LevelEnds() { mLayoutBefore = mLevel.mLevelManager->GetLayout().GetStations(); }

void TBetweenLevels::Begin()
{
    if (mLevel.mContext.IsDecorChoiceLevel()) {
        EnterDecorChoice();
        return;
    }
    mLevel.DoStartDirty();
    mLevel.SetState(kNewItem);
    PlayNewItemSound(false);
}

void TBetweenLevels::Update(float dt)
{
    switch (mLevel.mGameState) {
    case kDecorChoice:
        UpdateDecorChoice(dt);
        break;
    case kDecorChosen:
        UpdateDecorChosen(dt);
        break;
    case kNewItem:
        UpdateNewItem(dt);
        break;
    case kLoadAssets:
        BackFromCloset();
        break;
    default:
        break;
    }
}

void TBetweenLevels::BackFromCloset()
{
    // Back from the wardrobe: the game's pictures return and the new level
    // fades in.
    mLevel.Tell(levelevent::BackFromCloset{});
    mLevel.DoStartDirty();
    mLevel.SetState(kFadeIn);
    PlayNewItemSound(false);
}

std::vector<IStation*> TBetweenLevels::TableStations() const
{
    std::vector<IStation*> tables;
    for (const auto& table : mLevel.mTables)
        tables.push_back(table.get());
    return tables;
}

void TBetweenLevels::SetTablesDecorLevel(int level)
{
    for (const auto& table : mLevel.mTables)
        table->SetUpgradeLevel(level);
    if (mLevel.mBar)
        for (const auto& seat : mLevel.mBar->Stations())
            seat->SetUpgradeLevel(level);
}

bool TBetweenLevels::DrawNewItems() const
{
    if (mLevel.mGameState == kNewItem)
        return mBlinkOn;
    if (mLevel.mGameState == kFadeIn)
        return mLevel.mRestartPending || !mLevel.mContext.fromSettings || mLevel.mContext.IsFirstLevel();
    return true;
}

void TBetweenLevels::PlayNewItemSound(bool force)
{
    if (force || HasNewStation(mLayoutBefore, mLevel.mLevelManager->GetLayout().GetStations()))
        mLevel.Tell(levelevent::Sound{"upgrade"});
}

// ---- the decor choice ---------------------------------------------------------

void TBetweenLevels::EnterDecorChoice()
{
    TSettings* settings = mLevel.Settings();
    TRestaurant& scene = mLevel.mStaff->Restaurant();
    scene.EnterUpgradeMode();
    if (!scene.HasUpgradesAvailable() || !settings || settings->AlreadyPickedDecorThisLevel()) {
        scene.LeaveUpgradeMode();
        mLevel.DoStartDirty();
        mLevel.SetState(kNewItem);
        return;
    }
    mLevel.SetState(kDecorChoice);
    mLevel.Tell(levelevent::DecorChoiceOpens{settings->EnterUpgradeScreen()});
}

float DecorChoiceAlphaFor(int state, float stateTimer)
{
    // The panel fades in over half a second, and out as fast once an item is kept.
    if (state == kDecorChoice)
        return std::min(1.0f, stateTimer / kDecorFadeSeconds);
    if (state == kDecorChosen)
        return std::max(0.0f, 1 - stateTimer / kDecorFadeSeconds);
    return 0;
}

void TBetweenLevels::UpdateDecorChoice(float dt)
{
    const bool fading = mLevel.mStateTimer < kDecorFadeSeconds;
    mLevel.mStateTimer += dt;
    if (fading && mLevel.mStateTimer >= kDecorFadeSeconds)
        SetTablesDecorLevel(1);
    mLevel.mStaff->Restaurant().Update(dt);
}

void TBetweenLevels::DecorMouseMove(TPoint point, bool overKeepButton)
{
    if (mLevel.mGameState != kDecorChoice)
        return;
    TRestaurant& scene = mLevel.mStaff->Restaurant();
    if (overKeepButton) {
        scene.UpdateCurrentRollover(TPoint{-100, -100}, TableStations());
        mLevel.Tell(levelevent::DecorItemShown{scene.Selection()});
        return;
    }
    const int item = scene.UpdateCurrentRollover(point, TableStations());
    mLevel.mCursorState = item >= 0 ? 3 : 0;
    mLevel.Tell(levelevent::DecorItemShown{item >= 0 ? item : scene.Selection()});
}

void TBetweenLevels::DecorMouseUp(TPoint point)
{
    if (mLevel.mGameState != kDecorChoice)
        return;
    const int item = mLevel.mStaff->Restaurant().SetSelection(point, TableStations());
    mLevel.Tell(levelevent::DecorItemShown{item});
    mLevel.Tell(levelevent::DecorButtonShown{item >= 0});
    mLevel.mCursorState = 0;
}

void TBetweenLevels::DecorButton()
{
    if (mLevel.mGameState != kDecorChoice)
        return;
    TRestaurant& scene = mLevel.mStaff->Restaurant();
    const int slot = scene.EnableSelectedUpgrade();
    // Applying the choice stops the game clock while its picture loads; the
    // fade and the blinking that follow run on that clock, so it runs again.
    mLevel.Tell(levelevent::DecorKept{});
    TSettings* settings = mLevel.Settings();
    if (settings && slot >= 0) {
        const str name =
            screens::Text(str::getFormatted("decor_%d_%d", mLevel.mContext.restaurant + 1, slot + 1));
        settings->RecordEventMetric("UpgradeStory", str("\"") + name + "\"");
    }
    mLevel.SetState(kDecorChosen);
    SetTablesDecorLevel(scene.ChairUpgradeLevel());
    scene.FadeOutUpgradeMode();
    mLevel.mCursorState = 0;
}

void TBetweenLevels::UpdateDecorChosen(float dt)
{
    mLevel.mStateTimer += dt;
    TRestaurant& scene = mLevel.mStaff->Restaurant();
    if (mLevel.mStateTimer < kDecorFadeSeconds) {
        scene.Update(dt);
        return;
    }
    scene.LeaveUpgradeMode();
    mLevel.Tell(levelevent::DecorChoiceCloses{});
    mLevel.SetState(kNewItem);
    if (TSettings* settings = mLevel.Settings())
        mLevel.mScore->SetCash(settings->GetCareerCash());
    PlayNewItemSound(true);
}

void TBetweenLevels::UpdateNewItem(float dt)
{
    mLevel.mStateTimer += dt;
    TRestaurant& scene = mLevel.mStaff->Restaurant();
    mBlinkOn = static_cast<int>(std::floor(mLevel.mStateTimer / kBlinkSeconds)) % 2 == 1;
    SetTablesDecorLevel(mBlinkOn ? scene.ChairUpgradeLevel() : mPreviousDecorLevel);
    if (mLevel.mStateTimer <= kNewItemSeconds)
        return;
    scene.MarkCurrentUpgrades();
    mBlinkOn = false;
    mLevel.SetState(kIntroFadeDown);
    SetTablesDecorLevel(scene.ChairUpgradeLevel());
}

// ---- the endless upgrade notice ---------------------------------------------

void TBetweenLevels::OfferUpgrades()
{
    if (mUpgrades.UpgradeAvailable() || mLevel.mLevelManager->TableUpgradeAvailable()) {
        mUpgradeNoticeShown = true;
        mUpgradeAnimTime = 0;
        mLevel.Tell(levelevent::UpgradeNoticeShown{});
    }
}

void TBetweenLevels::HideUpgradeNotice() { mLevel.Tell(levelevent::UpgradeNoticeHidden{}); }

float UpgradeNoticeAlphaFor(float animTime)
{
    // The notice's glow flashes once: up in half a second, down in the next.
    const float t = animTime;
    return t < 0.5f ? 2 * t : t < 1.0f ? 1 - 2 * (t - 0.5f) : 0.0f;
}

void TBetweenLevels::UpdateUpgradeNotice(float dt)
{
    if (!mUpgradeNoticeShown)
        return;
    mUpgradeAnimTime += dt;
    if (mUpgradeAnimTime >= 1.0f)
        mUpgradeNoticeShown = false;
}

// ---- the endless upgrades ---------------------------------------------------

bool TBetweenLevels::IsTutorialActive() { return mLevel.mTutorial.IsActive(); }

str TBetweenLevels::GetCurrentLevelStr() { return mLevel.mLevelManager->GetCurrentLevelStr(); }

bool TBetweenLevels::TableUpgradeAvailable() { return mLevel.mLevelManager->TableUpgradeAvailable(); }

void TBetweenLevels::TableUpgrade()
{
    std::vector<TTableDesc> descs = mLevel.TableDescriptors();
    const std::size_t standing = descs.size();
    std::optional<TBarDesc> bar;
    if (mLevel.mBar)
        bar = TBarDesc{{}, mLevel.mBar->GetLocation()};  // the bar stands: the upgrade makes none
    mLevel.mLevelManager->TableUpgrade(&descs, &bar);
    const str& folder = mLevel.mContext.restaurantFolder;
    for (std::size_t i = standing; i < descs.size(); ++i)
        mLevel.mTables.push_back(
            std::make_unique<TTable>(folder, descs[i].id, descs[i].seats, descs[i].colors.data(), descs[i].point));
    if (bar && !mLevel.mBar)
        mLevel.mBar = std::make_unique<TBar>(bar->colors.data(), bar->point);
    mLevel.UpdateTables();
    mLevel.BuildStationList();
    WriteDbg("endless upgrade: table (%d tables)", static_cast<int>(mLevel.mTables.size()));
}

void TBetweenLevels::SetWaitressSpeed(float pixelsPerSecond)
{
    TQuessa& waitress = *mLevel.mQuessa;
    const float base = waitress.GetSpeed();
    if (base > 0 && pixelsPerSecond > 0)
        waitress.SetSpeedMultiplier(pixelsPerSecond / base);
    WriteDbg("endless upgrade: shoes %g", double(pixelsPerSecond));
}

void TBetweenLevels::EnableStereo(int level, float frequency)
{
    mLevel.mStaff->Entertainer().EnableEntertainer(level, frequency);
    mLevel.BuildStationList();
    WriteDbg("endless upgrade: stereo %d", level);
}

void TBetweenLevels::EnableMaitreD(float patienceMultiplier)
{
    for (TParty* party : mLevel.mWaitingParties)
        party->SetLineMultiplier(patienceMultiplier);
    mLevel.mLevelManager->SetPatienceMultiplier(patienceMultiplier);
    WriteDbg("endless upgrade: maitred %g", double(patienceMultiplier));
}

void TBetweenLevels::EnableBench(float patienceMultiplier, bool secondBench)
{
    mLevel.mBench.shown = true;
    mLevel.mBench.luxury = secondBench;
    mLevel.mBenchBoostScale = patienceMultiplier;
    WriteDbg("endless upgrade: bench %g", double(patienceMultiplier));
}

void TBetweenLevels::EnableOven(float foodReadySeconds)
{
    mLevel.mFoodReady = foodReadySeconds;
    for (const auto& food : mLevel.mFoodStations)
        food->SetCookTime(foodReadySeconds);
    WriteDbg("endless upgrade: oven %g", double(foodReadySeconds));
}

void TBetweenLevels::EnableDrinkStation(float refreshSeconds, int moodPoints)
{
    TDrinkStation& drinks = mLevel.mDrinkStation;
    drinks.SetEnabled(true);
    drinks.SetRefillTime(refreshSeconds);
    drinks.SetDrinkValue(moodPoints);
    drinks.ForceActive();
    mLevel.BuildStationList();
    WriteDbg("endless upgrade: drinks %g", double(refreshSeconds));
}

void TBetweenLevels::EnablePodium(float chargeSeconds, float activeSeconds, float delaySeconds, int moodPoints,
                                  int parties)
{
    mLevel.mStaff->Podium().Setup(chargeSeconds, activeSeconds, delaySeconds, moodPoints, parties);
    mLevel.BuildStationList();
    WriteDbg("endless upgrade: podium %d", parties);
}
