// Between two career levels: the decor choice after an even level, the new
// items blinking in, and what is a level file of its own. And the endless
// upgrades: what each one changes on the running floor.
#include "game/play/gamedata.h"

#include "engine/base/debuglog.h"
#include "engine/platform/platform.h"
#include "engine/window/stringtable.h"
#include "game/floor/bar.h"
#include "game/floor/eatingstation.h"
#include "game/floor/foodstation.h"
#include "game/floor/quessa.h"
#include "game/floor/table.h"
#include "game/rules/scoremanager.h"
#include "game/settings/settings.h"

#include <algorithm>
#include <cmath>

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

str TGameData::Label(const str& label)
{
    TPlatform* platform = TPlatform::GetInstance();
    TStringTable* table = platform ? platform->GetStringTable() : nullptr;
    return table ? table->GetString(label, "", "", "", "", "") : label;
}

bool TGameData::IsDownloadedLevel() const { return !IsEndless() && mContext.levelFile; }

bool TGameData::IsCareerGame() const
{
    return mContext.settings && !mContext.endlessMode && !IsEndless() && !IsDownloadedLevel();
}

bool TGameData::IsEndlessGame() const { return IsEndless() || mContext.endlessMode; }

std::vector<IStation*> TGameData::TableStations() const
{
    std::vector<IStation*> tables;
    for (const auto& table : mTables)
        tables.push_back(table.get());
    return tables;
}

void TGameData::SetTablesDecorLevel(int level)
{
    for (const auto& table : mTables)
        table->SetUpgradeLevel(level);
    if (mBar)
        for (const auto& seat : mBar->Stations())
            seat->SetUpgradeLevel(level);
}

bool TGameData::DrawNewItems() const
{
    if (mGameState == kNewItem)
        return mBlinkOn;
    if (mGameState == kFadeIn)
        return mRestartPending || !mContext.settings || mContext.IsFirstLevel();
    return true;
}

void TGameData::PlayNewItemSound(bool force)
{
    if (force || HasNewStation(mLayoutFlags, mLevelManager->GetLayout().GetStations()))
        Tell(levelevent::Sound{"upgrade"});
}

// ---- the decor choice ---------------------------------------------------------

void TGameData::EnterDecorChoice()
{
    TSettings* settings = mContext.settings;
    TRestaurant& scene = mStaff->Restaurant();
    scene.EnterUpgradeMode();
    if (!scene.HasUpgradesAvailable() || !settings || settings->AlreadyPickedDecorThisLevel()) {
        scene.LeaveUpgradeMode();
        DoStartDirty();
        SetState(kNewItem);
        return;
    }
    SetState(kDecorChoice);
    Tell(levelevent::DecorChoiceOpens{settings->EnterUpgradeScreen()});
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

void TGameData::UpdateDecorChoice(float dt)
{
    const bool fading = mStateTimer < kDecorFadeSeconds;
    mStateTimer += dt;
    if (fading && mStateTimer >= kDecorFadeSeconds)
        SetTablesDecorLevel(1);
    mStaff->Restaurant().Update(dt);
}

void TGameData::DecorMouseMove(TPoint point, bool overKeepButton)
{
    if (mGameState != kDecorChoice)
        return;
    TRestaurant& scene = mStaff->Restaurant();
    if (overKeepButton) {
        scene.UpdateCurrentRollover(TPoint{-100, -100}, TableStations());
        Tell(levelevent::DecorItemShown{scene.Selection()});
        return;
    }
    const int item = scene.UpdateCurrentRollover(point, TableStations());
    mCursorState = item >= 0 ? 3 : 0;
    Tell(levelevent::DecorItemShown{item >= 0 ? item : scene.Selection()});
}

void TGameData::DecorMouseUp(TPoint point)
{
    if (mGameState != kDecorChoice)
        return;
    const int item = mStaff->Restaurant().SetSelection(point, TableStations());
    Tell(levelevent::DecorItemShown{item});
    Tell(levelevent::DecorButtonShown{item >= 0});
    mCursorState = 0;
}

void TGameData::DecorButton()
{
    if (mGameState != kDecorChoice)
        return;
    TRestaurant& scene = mStaff->Restaurant();
    const int slot = scene.EnableSelectedUpgrade();
    // Applying the choice stops the game clock while its picture loads; the
    // fade and the blinking that follow run on that clock, so it runs again.
    Tell(levelevent::DecorKept{});
    TSettings* settings = mContext.settings;
    if (settings && slot >= 0) {
        const str name = Label(str::getFormatted("decor_%d_%d", mContext.restaurant + 1, slot + 1));
        settings->RecordEventMetric("UpgradeStory", str("\"") + name + "\"");
    }
    SetState(kDecorChosen);
    SetTablesDecorLevel(scene.ChairUpgradeLevel());
    scene.FadeOutUpgradeMode();
    mCursorState = 0;
}

void TGameData::UpdateDecorChosen(float dt)
{
    mStateTimer += dt;
    TRestaurant& scene = mStaff->Restaurant();
    if (mStateTimer < kDecorFadeSeconds) {
        scene.Update(dt);
        return;
    }
    scene.LeaveUpgradeMode();
    Tell(levelevent::DecorChoiceCloses{});
    SetState(kNewItem);
    if (mContext.settings)
        mScore->SetCash(mContext.settings->GetCareerCash());
    PlayNewItemSound(true);
}

void TGameData::UpdateNewItem(float dt)
{
    mStateTimer += dt;
    TRestaurant& scene = mStaff->Restaurant();
    mBlinkOn = static_cast<int>(std::floor(mStateTimer / kBlinkSeconds)) % 2 == 1;
    SetTablesDecorLevel(mBlinkOn ? scene.ChairUpgradeLevel() : mPreviousDecorLevel);
    if (mStateTimer <= kNewItemSeconds)
        return;
    scene.MarkCurrentUpgrades();
    mBlinkOn = false;
    SetState(kIntroFadeDown);
    SetTablesDecorLevel(scene.ChairUpgradeLevel());
}

// ---- the endless upgrade notice ---------------------------------------------

void TGameData::HideUpgradeNotice() { Tell(levelevent::UpgradeNoticeHidden{}); }

float UpgradeNoticeAlphaFor(float animTime)
{
    // The notice's glow flashes once: up in half a second, down in the next.
    const float t = animTime;
    return t < 0.5f ? 2 * t : t < 1.0f ? 1 - 2 * (t - 0.5f) : 0.0f;
}

void TGameData::UpdateUpgradeNotice(float dt)
{
    if (!mUpgradeNoticeShown)
        return;
    mUpgradeAnimTime += dt;
    if (mUpgradeAnimTime >= 1.0f)
        mUpgradeNoticeShown = false;
}

// ---- the endless upgrades ---------------------------------------------------

void TGameData::SetWaitressSpeed(float pixelsPerSecond)
{
    const float base = mQuessa->GetSpeed();
    if (base > 0 && pixelsPerSecond > 0)
        mQuessa->SetSpeedMultiplier(pixelsPerSecond / base);
    WriteDbg("endless upgrade: shoes %g", double(pixelsPerSecond));
}

void TGameData::EnableStereo(int level, float frequency)
{
    mStaff->Entertainer().EnableEntertainer(level, frequency);
    BuildStationList();
    WriteDbg("endless upgrade: stereo %d", level);
}

void TGameData::EnableMaitreD(float patienceMultiplier)
{
    for (TParty* party : mWaitingParties)
        party->SetLineMultiplier(patienceMultiplier);
    mLevelManager->SetPatienceMultiplier(patienceMultiplier);
    WriteDbg("endless upgrade: maitred %g", double(patienceMultiplier));
}

void TGameData::EnableBench(float patienceMultiplier, bool secondBench)
{
    mBench.shown = true;
    mBench.luxury = secondBench;
    mBenchBoostScale = patienceMultiplier;
    WriteDbg("endless upgrade: bench %g", double(patienceMultiplier));
}

void TGameData::EnableOven(float foodReadySeconds)
{
    mFoodReady = foodReadySeconds;
    for (const auto& food : mFoodStations)
        food->SetCookTime(foodReadySeconds);
    WriteDbg("endless upgrade: oven %g", double(foodReadySeconds));
}

void TGameData::EnableDrinkStation(float refreshSeconds, int moodPoints)
{
    mDrinkStation.SetEnabled(true);
    mDrinkStation.SetRefillTime(refreshSeconds);
    mDrinkStation.SetDrinkValue(moodPoints);
    mDrinkStation.ForceActive();
    BuildStationList();
    WriteDbg("endless upgrade: drinks %g", double(refreshSeconds));
}

void TGameData::EnablePodium(float chargeSeconds, float activeSeconds, float delaySeconds, int moodPoints,
                             int parties)
{
    mStaff->Podium().Setup(chargeSeconds, activeSeconds, delaySeconds, moodPoints, parties);
    BuildStationList();
    WriteDbg("endless upgrade: podium %d", parties);
}
