// The level's flow, frame by frame: fades between levels, the intro, play,
// closing time and the level-over screen.
#include "game/play/gamedata.h"

#include "game/floor/bar.h"
#include "game/floor/eatingstation.h"
#include "game/floor/foodstation.h"
#include "game/floor/quessa.h"
#include "game/floor/table.h"
#include "game/rules/coinjarview.h"
#include "game/rules/scoremanager.h"
#include "game/screens/screenchildren.h"
#include "game/settings/levelnumbers.h"
#include "game/settings/levelresult.h"
#include "game/settings/settings.h"

#include <algorithm>

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kClosedSignSpeed = 200;  // px per second

}  // namespace

void TGameData::SetState(int state)
{
    mBetween.Stop();
    mGameState = state;
    mStateTimer = 0;
}

void TGameData::SetFlashlight(bool on)
{
    mFlashlight = on;
    mStaff->Restaurant().EnableFlashlightMode(on);
}

void TGameData::Update(float dt)
{
    // A stall (a debugger, a slow disk) must not run the floor seconds ahead
    // in one step: parties would walk out between two pictures.
    dt = std::clamp(dt, 0.0f, kMaxFrameSeconds);
    mMetrics.AddFrame(dt);
    if (mBetween.IsRunning()) {
        // Between levels the flow runs its own states until it hands over.
        if (const std::optional<EGameState> next = mBetween.Update(dt))
            SetState(*next);
        return;
    }
    switch (mGameState) {
    case kPlaying:
        PlayStep(dt);
        break;
    case kFadeOut:
        UpdateFadeOut(dt);
        break;
    case kFadeIn:
        UpdateFadeIn(dt);
        break;
    case kIntroFadeDown:
        mStateTimer += dt;
        if (mStateTimer > 0.5f)
            StartIntro();
        break;
    case kLevelIntro:
        SetState(kIntroFadeUp);
        break;
    case kIntroFadeUp:
        mStateTimer += dt;
        if (mStateTimer > 0.5f) {
            SetState(kPlaying);
            mRestartPending = false;
        }
        break;
    default:  // the intro and level-over screens drive themselves
        break;
    }
}

void TGameData::StartIntro()
{
    // A career level whose file is missing cannot be played (the level
    // manager refused it and said why): the player goes back to the map.
    if (!IsEndless() && !mLevelManager->IsLevelDefined()) {
        if (!mLeftUndefinedLevel) {
            mLeftUndefinedLevel = true;
            Tell(levelevent::LeaveUnplayableLevel{});
        }
        return;
    }
    SetState(kLevelIntro);
    DoStartDirty();
    if (mLevelManager->GetFlashLight())
        SetFlashlight(true);
    Tell(levelevent::IntroOpens{});
}

void TGameData::UpdateFadeOut(float dt)
{
    mStateTimer += dt;
    if (mStateTimer <= 1.0f)
        return;
    SetState(kFadeIn);
    if (mRestartPending) {
        if (IsEndless()) {
            mTables.clear();
            mBar.reset();
            mEatingStations.clear();
            mStations.clear();
            SetupStars();
            mBetween.GetUpgrades()->Reset();
        }
        mLevelManager->RestartLevel();
        mScore->ResetLevel();
        mContext = TLevelContext::Read(mLevelManager->Chosen());
    } else {
        mBetween.LevelEnds();
        mLevelManager->AdvanceLevel();
        mAttempts = 0;
        // The level has ended: the level manager has moved on to the next one.
        mContext = TLevelContext::Read(mLevelManager->Chosen());
        if (IsCareerGame())
            game::ApplyCareerMovedOn(mContext.careerLevel);
        if (mContext.fromSettings && mContext.IsFirstLevel()) {
            // The restaurant is finished: its music stops, and the window
            // tears the game screen down, this object with it. Nothing may be
            // touched after.
            mStaff->Restaurant().PauseMusic(true);
            Tell(levelevent::LeaveRestaurant{mContext.restaurant});
            return;
        }
        if (mClosetPending && mContext.fromSettings && !mContext.IsDecorChoiceLevel()) {
            // The wardrobe opens over the game while the next level is set
            // up behind it; the flow waits until the game shows again.
            Tell(levelevent::ClosetDue{});
            mBetween.WaitForCloset();
        }
    }
    SetupLevel();
    if (mCoinJar)
        mCoinJar->Update(0, mScore, this);
}

void TGameData::UpdateFadeIn(float dt)
{
    mStateTimer += dt;
    const float threshold = mRestartPending ? 0.5f : 1.0f;
    if (mStateTimer <= threshold)
        return;
    // A restart, a restaurant's first level, the bonus levels, a level file
    // and endless shifts go straight to the intro.
    if (mRestartPending || mContext.IsFirstLevel() || mContext.IsBonusRestaurant() || IsEndless() ||
        IsDownloadedLevel()) {
        StartIntro();
        return;
    }
    mClosetPending = false;
    mBetween.Begin(mContext);
}

bool TGameData::DrawNewItems() const
{
    const int state = GetState();
    if (state == kNewItem)
        return mBetween.IsBlinkOn();
    if (state == kFadeIn)
        return mRestartPending || !mContext.fromSettings || mContext.IsFirstLevel();
    return true;
}

void TGameData::DoStartDirty()
{
    if (!mLevelManager->GetStartDirty())
        return;
    for (const auto& table : mTables)
        table->MakeDirty(false);
}

void TGameData::PlayStep(float dt)
{
    mMetrics.AddPlayTime(dt);
    if (mContext.fromSettings)
        game::AddPlayTime(dt);
    UpdateTurbulence(dt);

    mTutorial.SetPartyWaiting(!mWaitingParties.empty());
    if (mLevelManager->UpdateQueue(dt, &mWaitingParties, mTutorial.HoldsArrivals())) {
        // Guests of the spaceship beam in through the tube.
        if (mStaff->Restaurant().Restaurant() == TRestaurant::kSpaceship)
            mStaff->Restaurant().TriggerTubeGlow();
        mTutorial.SetPartyWaiting(true);
        mTutorial.AdvanceState(kTutorialPartyArrives, -1);
        AdjustQueue();
    }
    mQuessa->Update(dt, Rules());
    mStaff->UpdateHelpers(dt, mDishCart.get());
    for (const auto& food : mFoodStations)
        food->Update(dt, &mTutorial);

    bool removed = false;
    UpdateEatingStations(dt, &removed);
    if (mGameState != kPlaying)
        return;  // game over opened the level-over screen
    UpdateStationsAndStaff(dt);
    UpdateWaitingParties(dt, &removed);
    if (mGameState != kPlaying)
        return;
    if (removed)
        AdjustQueue();

    AdvanceGameState(dt);
    mBetween.UpdateUpgradeNotice(dt);
    mScore->Update(dt);
    if (mCoinJar)
        mCoinJar->Update(dt, mScore, this);
    UpdateProgress(dt);

    std::list<TEatingStation*> tables(mEatingStations.begin(), mEatingStations.end());
    for (auto it = mNoiseRings.begin(); it != mNoiseRings.end();)
        it = (*it)->Update(dt, tables) ? std::next(it) : mNoiseRings.erase(it);
    MergeBarSeats();

    const bool tutorialWasActive = mTutorial.IsActive();
    mTutorial.SetPartyWaiting(!mWaitingParties.empty());
    mTutorial.Update(dt);
    // The endless tutorial, played to its end on its career level, hands
    // over to the first shift as a skip does.
    if (tutorialWasActive && !mTutorial.IsActive() && IsEndlessGame())
        DoSkipTutorial();
}

void TGameData::UpdateTurbulence(float dt)
{
    if (mClosedTime >= 60)
        return;
    const TTurbulence::EStep step = mTurbulence.Update(dt);
    if (step == TTurbulence::EStep::kShakes)
        Tell(levelevent::Sound{"turbulence"});
    if (step != TTurbulence::EStep::kSettles || !mMopStation.IsEnabled())
        return;
    for (TEatingStation* station : mEatingStations)
        if (!station->HasSpill() && (station->GetParty() || station->HasDishes()) && mTurbulence.DrawSpill())
            station->DoSpill();
}

bool TGameData::FoodReadyAndQueued(const TEatingStation& station) const
{
    for (const auto& food : mFoodStations)
        if (food->IsOrderReady() && food->GetTableNumber() == station.GetTableNumber())
            return mQuessa->IsStationQueued(food.get());
    return false;
}

void TGameData::CancelOrderOfTable(int tableNumber)
{
    for (const auto& food : mFoodStations)
        if (food->IsActive() && food->GetTableNumber() == tableNumber) {
            food->CancelOrder();
            return;
        }
}

void TGameData::UpdateEatingStations(float dt, bool* removed)
{
    const TLayoutStations has = mLevelManager->GetLayout().GetStations();
    bool barSeatLeft = false;
    // Copy: a seat's update never changes the list, but a walk-out below may
    // end the game, which must not leave an iterator behind.
    const std::vector<TEatingStation*> stations = mEatingStations;
    for (TEatingStation* station : stations) {
        TParty* party = station->GetParty();
        const str member = party ? str(party->GetDef().graphicOverride[0]) : str();
        if (station->Update(dt, mHands.get(), Rules(), mNoiseRings,
                            has.mop, has.dessert, mLevelManager->GetLeavePenalty(), FoodReadyAndQueued(*station)))
            continue;
        mMetrics.RecordPartyType(member);
        CancelOrderOfTable(station->GetTableNumber());
        *removed = true;
        if (mBar && mBar->IsBarStation(station))
            barSeatLeft = true;
        if (WalkoutEndsGame())
            return;
    }
    // A bar seat freed under a drag over another bar seat: the drop target
    // lets go so that the two can merge, and the drag looks again at once
    // for the (now larger) seat under the pointer.
    const bool dragOverBar =
        barSeatLeft && mDraggedParty && mDropTable && mBar && mBar->IsBarStation(mDropTable);
    if (dragOverBar) {
        mDropTable->TryOutParty(nullptr);
        mDropTable = nullptr;
        mDraggedParty->SetInLine(TPoint{mMousePos.x - mGrabOffset.x, mMousePos.y - mGrabOffset.y}, true);
    }
    MergeBarSeats();
    if (dragOverBar)
        MouseMove(mMousePos);
}

void TGameData::UpdateStationsAndStaff(float dt)
{
    const std::vector<ITableView*> tables = EatingStations();
    mStaff->Restaurant().Update(dt);
    mDrinkStation.Update(dt);
    mDessertStation.Update(dt, tables, mQuessa.get());
    mSnackStation.Update(dt, tables, mQuessa.get());
    mHighChairStation.Update(dt, tables, mQuessa.get());
    mMopStation.Update(dt, tables, mQuessa.get());
    mStaff->Phone().Update(mQuessa.get(), dt);
    mTicketStation.Update(dt, mQuessa.get());
    mDishCart->Update(dt, mQuessa.get());
    if (mStaff->Podium().Update(mQuessa.get(), dt, mWaitingParties))
        WaveLine(mStaff->Podium().PartiesBoosted());
    mChef.Update(dt, FoodStations());
}

void TGameData::WaveLine(int parties)
{
    // The boosted parties wave one after another, head of the line first.
    constexpr float kWaveSpacing = 0.25f;
    int counted = 0, waving = 0;
    for (TParty* party : mWaitingParties) {
        if (counted++ >= parties)
            break;
        if (party != mDraggedParty)
            party->StartWave(kWaveSpacing * static_cast<float>(waving++));
    }
}

void TGameData::PartyWalkedAway(TParty* party)
{
    mMetrics.RecordPartyType(party->GetDef().graphicOverride[0]);
    // The bench is free for the next party once this one has gone.
    party->GetOffBench(&mBench);
    mScore->Penalize(mLevelManager->GetLeavePenalty(), static_cast<float>(party->GetLocation().x),
                     static_cast<float>(party->GetLocation().y));
    Tell(levelevent::Sound{"ditch"});
    if (party == mDraggedParty) {
        if (mDropTable)
            mDropTable->TryOutParty(nullptr);
        mDropTable = nullptr;
        mDraggedParty = nullptr;
        mDragMode = 0;
    }
}

void TGameData::UpdateWaitingParties(float dt, bool* removed)
{
    int visited = 0;
    for (auto it = mWaitingParties.begin(); it != mWaitingParties.end() && visited < kMaxActiveParties; ++visited) {
        TParty* party = *it;
        if (party->Update(dt, Rules(), mNoiseRings, false, false)) {
            ++it;
            continue;
        }
        PartyWalkedAway(party);
        it = mWaitingParties.erase(it);
        delete party;
        *removed = true;
        if (WalkoutEndsGame())
            return;
    }
}

void TGameData::UpdateProgress(float dt)
{
    // The shift's clock starts when the walk-through ends: a newcomer's
    // restaurant does not close while the tips still teach.
    if (!mTutorial.IsActive())
        mStateTimer += dt;
    const float length = mLevelManager->GetLevelLength();
    if (length > 0) {
        const float progress = std::min(1.0f, mStateTimer / length);
        if (progress >= 1.0f)
            mClosedShown = true;
        mClockAngle = progress * kTwoPi;
    }
    const int levelScore = GetLevelScore();
    mGoalTime = levelScore >= GetCurrentGoal() ? mGoalTime + dt : 0;
    mExpertTime = levelScore >= GetCurrentExpert() ? mExpertTime + dt : 0;
}

void TGameData::MergeBarSeats()
{
    if (!mBar)
        return;
    const auto inUse = [this](const IStation* station) {
        return mQuessa->IsStationQueued(station) || station == mDropTable;
    };
    if (mBar->MergeStations(inUse))
        BuildStationList();
}

bool TGameData::FloorBusy(bool* anyParty) const
{
    *anyParty = !mWaitingParties.empty();
    bool busy = false;
    for (const TEatingStation* station : mEatingStations) {
        if (station->GetParty() || station->GetTriedOutParty())
            *anyParty = true;
        if (station->GetParty() || station->HasDishes())
            busy = true;
    }
    return busy || mQuessa->CarryingItem(kCarryDishes, IWaitressHands::kAnyId);
}

void TGameData::AdvanceGameState(float dt)
{
    // The endless tutorial's career level counts: its goal brings up the
    // upgrade notice the tutorial points at, and it never closes.
    if (IsEndlessGame()) {
        if (GetCurrentGoal() > mScore->GetScore())
            return;
        mLevelManager->GoalReached();
        // A shift is done: the upgrade notice flashes while there is
        // something left to buy.
        mBetween.OfferUpgrades();
        return;
    }
    if (!mLevelManager->IsClosed()) {
        mIdleTime = 0;
        return;
    }
    mClosedTime += dt;
    if (mClosedSignPos.x < kClosedSignStop) {
        if (mClosedSignPos.x == kClosedSignStart)
            Tell(levelevent::Sound{"closing"});
        mClosedSignPos.x = std::min(kClosedSignStop, mClosedSignPos.x + kClosedSignSpeed * dt);
    }
    bool anyParty = false;
    const bool busy = FloorBusy(&anyParty);
    if (anyParty)
        mIdleTime = 0;
    else
        mIdleTime += dt;
    if (mTutorial.IsActive())
        return;
    if (mIdleTime > mClosingTime || (!busy && !anyParty && mIdleTime > 1.0f))
        EnterLevelOver();
}

void TGameData::LoseStar()
{
    if (IsEndless())
        --mLives;
}

bool TGameData::WalkoutEndsGame()
{
    if (!IsEndless())
        return false;
    LoseStar();
    // Two walk-outs in one frame with one life left end the game once: the
    // first opened the level-over screen.
    if (mLives > 0 || mGameState != kPlaying)
        return false;
    EnterGameOver();
    return true;
}

TLevelResult TGameData::ResultSoFar() const
{
    TSettings* settings = mContext.Settings();
    TLevelResult result;
    result.endless = IsEndless();
    result.levelFile = mContext.levelFile;
    result.showTotal = !mContext.IsBonusRestaurant();
    result.served = mScore->GetChecksCollected();
    result.walkouts = mScore->GetPenalties();
    result.penaltyPoints = mScore->GetPenaltyPoints();
    result.levelScore = GetLevelScore();
    // A career's board shows the total of its levels' best scores; a shift's, its own.
    result.totalScore = IsEndless() || !settings ? mScore->GetScore() : settings->GetCareerScore(-1);
    result.goal = GetCurrentGoal();
    result.level = mLevelManager->GetCurrentLevelStr();
    return result;
}

void TGameData::PayCareerWin(TLevelResult* result)
{
    TSettings* settings = mContext.Settings();
    const int restaurant = mContext.restaurant;
    const int level = mContext.level;
    const int best = settings ? settings->GetLevelScore(restaurant, level) : 0;
    if (settings && best == 0) {
        result->bonus = 300;
        mClosetPending = true;
    }
    if (settings && result->expert && !settings->GotExpert(restaurant, level))
        result->bonus += 100;
    mScore->SetCash(mScore->GetCash() + result->bonus);
    result->recordLevel = settings != nullptr;
    result->restaurant = restaurant;
    result->levelInRestaurant = level;
    // The career's total counts this level's best, which this score may become.
    if (settings)
        result->totalScore = settings->GetCareerScore(-1) + std::max(0, result->levelScore - best);
    // The map a player returns to from this board offers the level after
    // the won one, as Continue would have played it.
    const int next = settings ? mContext.careerLevel + 1 : 0;
    if (settings && next < NUM_CAREER_LEVELS)
        result->nextCareerLevel = next;
}

void TGameData::EnterLevelOver()
{
    TLevelResult result = ResultSoFar();
    if (IsEndless()) {
        result.newHiscore = game::IsNewBestShiftScore(result.totalScore);
        result.logShiftScore = true;
        result.win = true;
    } else if (result.levelScore < GetCurrentGoal()) {
        LoseStar();
        result.gameOver = mLives < 1;
        RecordEndOfGameMetric(1);
    } else if (IsDownloadedLevel()) {
        // A level file of its own keeps no best score, pays no cash and
        // opens nothing of the career.
        result.expert = result.levelScore >= GetCurrentExpert();
        RecordEndOfGameMetric(0);
        result.win = true;
    } else {
        result.expert = result.levelScore >= GetCurrentExpert();
        PayCareerWin(&result);
        RecordEndOfGameMetric(0);
        result.win = true;
    }
    CloseLevel(result);
}

void TGameData::EnterGameOver()
{
    TLevelResult result = ResultSoFar();
    result.gameOver = true;
    if (IsEndless()) {
        result.newHiscore = game::IsNewBestShiftScore(result.totalScore);
        result.logShiftScore = true;
        RecordEndOfGameMetric(1);
    }
    CloseLevel(result);
}

void TGameData::CloseLevel(TLevelResult result)
{
    result.cash = mScore->GetCash();
    // An endless shift's board keeps its own words unless the game is over.
    if (!result.endless)
        result.verdict = mLevelManager->GetLevelOverText(result.win);
    else if (result.gameOver)
        result.verdict = screens::Text("gameover");
    SetFlashlight(false);
    mLastResult = result;
    SetState(kLevelOver);
    Tell(levelevent::LevelOver{result});
}

void TGameData::GoToNextLevel()
{
    mTutorial.SetActive(false);
    SetState(kFadeOut);
    Tell(levelevent::LevelOverCloses{});
}

void TGameData::RestartLevel()
{
    SetState(kFadeOut);
    mRestartPending = true;
    Tell(levelevent::LevelOverCloses{});
}

void TGameData::DoSkipTutorial()
{
    mTutorial.SetActive(false);
    const bool endless = IsEndlessGame();
    if (endless) {
        mLevelManager = std::make_unique<TLevelManager>(TLevelManager::kEndless, &mPartyBuilder);
        RestartLevel();
    }
    if (mContext.fromSettings)
        game::ApplyTutorialSkipped(endless);
}

void TGameData::RecordEndOfGameMetric(int reason)
{
    TLevelMetrics::TEnd end;
    end.endless = IsEndless();
    end.shift = end.endless ? mLevelManager->GetCurrentLevelStr().to_int() - 1 : 0;
    end.levelScore = GetLevelScore();
    end.expert = end.levelScore >= GetCurrentExpert();
    end.reason = reason;
    mMetrics.RecordEnd(mContext, end);
}
