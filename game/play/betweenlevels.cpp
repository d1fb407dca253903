#include "game/play/betweenlevels.h"

#include "engine/base/debuglog.h"
#include "game/floor/quessa.h"
#include "game/floor/shelves.h"
#include "game/levels/levelmanager.h"
#include "game/play/restaurantstaff.h"
#include "game/rules/scoremanager.h"
#include "game/rules/tutorial.h"
#include "game/screens/screenchildren.h"
#include "game/settings/settings.h"

#include <algorithm>
#include <cmath>
#include <utility>

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

// The states the flow runs in; any other is the level's, which takes over.
bool IsBetweenLevelsState(EGameState state)
{
    return state == kDecorChoice || state == kDecorChosen || state == kNewItem || state == kLoadAssets;
}

}  // namespace

void TBetweenLevels::SetState(EGameState state)
{
    mState = state;
    mTimer = 0;
}

void TBetweenLevels::Tell(TLevelEvent event)
{
    if (mEvents)
        mEvents->push_back(std::move(event));
}

void TBetweenLevels::LevelSetUp()
{
    mUpgradeAnimTime = 0;
    mUpgradeNoticeShown = false;
    mBlinkOn = false;
    mPreviousDecorLevel = mFloor.GetStaff().Restaurant().ChairUpgradeLevel();
}

void TBetweenLevels::LevelEnds() { mLayoutBefore = mFloor.GetLevelManager()->GetLayout().GetStations(); }

void TBetweenLevels::Begin(const TLevelContext& level)
{
    mLevel = level;
    if (mLevel.IsDecorChoiceLevel()) {
        EnterDecorChoice();
        return;
    }
    mFloor.DoStartDirty();
    SetState(kNewItem);
    PlayNewItemSound(false);
}

void TBetweenLevels::WaitForCloset() { SetState(kLoadAssets); }

std::optional<EGameState> TBetweenLevels::Update(float dt)
{
    switch (State()) {
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
    if (!mState || IsBetweenLevelsState(*mState))
        return std::nullopt;
    return std::exchange(mState, std::nullopt);
}

void TBetweenLevels::BackFromCloset()
{
    // Back from the wardrobe: the game's pictures return and the new level
    // fades in.
    Tell(levelevent::BackFromCloset{});
    mFloor.DoStartDirty();
    SetState(kFadeIn);
    PlayNewItemSound(false);
}

void TBetweenLevels::PlayNewItemSound(bool force)
{
    if (force || HasNewStation(mLayoutBefore, mFloor.GetLevelManager()->GetLayout().GetStations()))
        Tell(levelevent::Sound{"upgrade"});
}

// ---- the decor choice ---------------------------------------------------------

void TBetweenLevels::EnterDecorChoice()
{
    TSettings* settings = mLevel.Settings();
    TRestaurant& scene = mFloor.GetStaff().Restaurant();
    scene.EnterUpgradeMode();
    if (!scene.HasUpgradesAvailable() || !settings || settings->AlreadyPickedDecorThisLevel()) {
        scene.LeaveUpgradeMode();
        mFloor.DoStartDirty();
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

void TBetweenLevels::UpdateDecorChoice(float dt)
{
    const bool fading = mTimer < kDecorFadeSeconds;
    mTimer += dt;
    if (fading && mTimer >= kDecorFadeSeconds)
        mFloor.WearDecorLevel(1);
    mFloor.GetStaff().Restaurant().Update(dt);
}

void TBetweenLevels::DecorMouseMove(TPoint point, bool overKeepButton)
{
    if (State() != kDecorChoice)
        return;
    TRestaurant& scene = mFloor.GetStaff().Restaurant();
    if (overKeepButton) {
        scene.UpdateCurrentRollover(TPoint{-100, -100}, mFloor.TableStations());
        Tell(levelevent::DecorItemShown{scene.Selection()});
        return;
    }
    const int item = scene.UpdateCurrentRollover(point, mFloor.TableStations());
    mCursor = item >= 0 ? EFloorCursor::kPointingHand : EFloorCursor::kArrow;
    Tell(levelevent::DecorItemShown{item >= 0 ? item : scene.Selection()});
}

void TBetweenLevels::DecorMouseUp(TPoint point)
{
    if (State() != kDecorChoice)
        return;
    const int item = mFloor.GetStaff().Restaurant().SetSelection(point, mFloor.TableStations());
    Tell(levelevent::DecorItemShown{item});
    Tell(levelevent::DecorButtonShown{item >= 0});
    mCursor = EFloorCursor::kArrow;
}

void TBetweenLevels::DecorButton()
{
    if (State() != kDecorChoice)
        return;
    TRestaurant& scene = mFloor.GetStaff().Restaurant();
    const int slot = scene.EnableSelectedUpgrade();
    // Applying the choice stops the game clock while its picture loads; the
    // fade and the blinking that follow run on that clock, so it runs again.
    Tell(levelevent::DecorKept{});
    TSettings* settings = mLevel.Settings();
    if (settings && slot >= 0) {
        const str name = screens::Text(str::getFormatted("decor_%d_%d", mLevel.restaurant + 1, slot + 1));
        settings->RecordEventMetric("UpgradeStory", str("\"") + name + "\"");
    }
    SetState(kDecorChosen);
    mFloor.WearDecorLevel(scene.ChairUpgradeLevel());
    scene.FadeOutUpgradeMode();
    mCursor = EFloorCursor::kArrow;
}

void TBetweenLevels::UpdateDecorChosen(float dt)
{
    mTimer += dt;
    TRestaurant& scene = mFloor.GetStaff().Restaurant();
    if (mTimer < kDecorFadeSeconds) {
        scene.Update(dt);
        return;
    }
    scene.LeaveUpgradeMode();
    Tell(levelevent::DecorChoiceCloses{});
    SetState(kNewItem);
    if (mLevel.fromSettings)
        if (TSettings* settings = TSettings::GetInstance())
            mFloor.GetScoreManager()->SetCash(settings->GetCareerCash());
    PlayNewItemSound(true);
}

void TBetweenLevels::UpdateNewItem(float dt)
{
    mTimer += dt;
    TRestaurant& scene = mFloor.GetStaff().Restaurant();
    mBlinkOn = static_cast<int>(std::floor(mTimer / kBlinkSeconds)) % 2 == 1;
    mFloor.WearDecorLevel(mBlinkOn ? scene.ChairUpgradeLevel() : mPreviousDecorLevel);
    if (mTimer <= kNewItemSeconds)
        return;
    scene.MarkCurrentUpgrades();
    mBlinkOn = false;
    SetState(kIntroFadeDown);
    mFloor.WearDecorLevel(scene.ChairUpgradeLevel());
}

// ---- the endless upgrade notice ---------------------------------------------

void TBetweenLevels::OfferUpgrades()
{
    if (mUpgrades.UpgradeAvailable() || mFloor.GetLevelManager()->TableUpgradeAvailable()) {
        mUpgradeNoticeShown = true;
        mUpgradeAnimTime = 0;
        Tell(levelevent::UpgradeNoticeShown{});
    }
}

void TBetweenLevels::HideUpgradeNotice() { Tell(levelevent::UpgradeNoticeHidden{}); }

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

bool TBetweenLevels::IsTutorialActive() { return mFloor.GetTutorial().IsActive(); }

str TBetweenLevels::GetCurrentLevelStr() { return mFloor.GetLevelManager()->GetCurrentLevelStr(); }

bool TBetweenLevels::TableUpgradeAvailable() { return mFloor.GetLevelManager()->TableUpgradeAvailable(); }

void TBetweenLevels::TableUpgrade()
{
    const int tables = mFloor.AddTableUpgrade();
    WriteDbg("endless upgrade: table (%d tables)", tables);
}

void TBetweenLevels::SetWaitressSpeed(float pixelsPerSecond)
{
    TQuessa& waitress = *mFloor.GetQuessa();
    const float base = waitress.GetSpeed();
    if (base > 0 && pixelsPerSecond > 0)
        waitress.SetSpeedMultiplier(pixelsPerSecond / base);
    WriteDbg("endless upgrade: shoes %g", double(pixelsPerSecond));
}

void TBetweenLevels::EnableStereo(int level, float frequency)
{
    mFloor.GetStaff().Entertainer().EnableEntertainer(level, frequency);
    mFloor.BuildStationList();
    WriteDbg("endless upgrade: stereo %d", level);
}

void TBetweenLevels::EnableMaitreD(float patienceMultiplier)
{
    mFloor.SetLinePatience(patienceMultiplier);
    WriteDbg("endless upgrade: maitred %g", double(patienceMultiplier));
}

void TBetweenLevels::EnableBench(float patienceMultiplier, bool secondBench)
{
    mFloor.ShowBench(patienceMultiplier, secondBench);
    WriteDbg("endless upgrade: bench %g", double(patienceMultiplier));
}

void TBetweenLevels::EnableOven(float foodReadySeconds)
{
    mFloor.SetFoodReadyTime(foodReadySeconds);
    WriteDbg("endless upgrade: oven %g", double(foodReadySeconds));
}

void TBetweenLevels::EnableDrinkStation(float refreshSeconds, int moodPoints)
{
    TDrinkStation& drinks = mFloor.GetDrinkStation();
    drinks.SetEnabled(true);
    drinks.SetRefillTime(refreshSeconds);
    drinks.SetDrinkValue(moodPoints);
    drinks.ForceActive();
    mFloor.BuildStationList();
    WriteDbg("endless upgrade: drinks %g", double(refreshSeconds));
}

void TBetweenLevels::EnablePodium(float chargeSeconds, float activeSeconds, float delaySeconds, int moodPoints,
                                  int parties)
{
    mFloor.GetStaff().Podium().Setup(chargeSeconds, activeSeconds, delaySeconds, moodPoints, parties);
    mFloor.BuildStationList();
    WriteDbg("endless upgrade: podium %d", parties);
}
