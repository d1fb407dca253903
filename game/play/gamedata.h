// TGameData: everything on the restaurant floor during a level (the level
// manager, the waitress, tables, bar, bench, kitchen, shelves, parties and
// noise rings), the lists the frame walks, and the level's flow from the
// intro to the level-over screen. It runs without a window: the game window
// feeds it frame times and input, tests and benchmarks do the same on a fake
// clock. What the flow has to show it appends as events (TLevelEvent) to the
// list it was given, which the window reads after each call; it never calls out. What happens
// between levels (the decor choice, the new items, the endless upgrades) is
// its part TBetweenLevels, which changes the floor through the few pieces
// IBetweenLevelsFloor names.
#pragma once

#include "engine/base/rect.h"
#include "engine/base/str.h"
#include "engine/base/vec.h"
#include "engine/platform/platform.h"
#include "game/floor/bench.h"
#include "game/floor/chef.h"
#include "game/floor/dishcart.h"
#include "game/floor/floorview.h"
#include "game/floor/kitchenpass.h"
#include "game/floor/noisering.h"
#include "game/floor/party.h"
#include "game/floor/partybuilder.h"
#include "game/floor/shelves.h"
#include "game/floor/ticketstation.h"
#include "game/floor/waitresshands.h"
#include "game/levels/levelmanager.h"
#include "game/play/betweenlevels.h"
#include "game/play/gamestate.h"
#include "game/play/levelcontext.h"
#include "game/play/levelmetrics.h"
#include "game/play/restaurantstaff.h"
#include "game/play/turbulence.h"
#include "game/rules/levelgoals.h"
#include "game/rules/tutorial.h"

#include <array>
#include <list>
#include <memory>
#include <optional>
#include <vector>

class TBar;
class ICoinJarView;
class TEatingStation;
class TFoodStation;
class TQuessa;
class TScoreManager;
class TTable;
class TXmlNode;

class TGameData : public IFloorView, public ILevelGoals, public IBetweenLevelsFloor {
public:
    static constexpr int kMaxActiveParties = 7;  // only the first seven in line move or take clicks
    static constexpr int kFoodStations = 20;
    static constexpr float kMaxFrameSeconds = 0.1f;  // a stall never skips the floor ahead by seconds
    static constexpr int kWalkoutKinds = TLevelMetrics::kWalkoutKinds;

    // `globals`: the "globals" element of global.xml, or null for defaults.
    // `events`: where the flow appends what it asks to be shown (the
    // window's or a test's list; null: nobody listens).
    TGameData(TXmlNode* globals, TScoreManager* score, std::vector<TLevelEvent>* events);
    ~TGameData() override;
    TGameData(const TGameData&) = delete;
    TGameData& operator=(const TGameData&) = delete;

    // ---- level set-up
    void InitForLevel(TXmlNode* globals);
    // Builds the next (or the same) level and starts its score; the flow then
    // opens the intro.
    void SetupLevel();
    void ClearLevelData();
    void UpdateTables();

    void BuildStationList() override;
    void AdjustQueue();
    // Where the party at `place` in line (0 the head) stands. The line runs
    // up the left edge; each party stands far enough behind the one in front
    // that its faces show above that party's hearts.
    static TPoint LineSpot(int place);
    static constexpr int kLineX = 50, kLineHeadY = 578, kLineStep = 71;
    // The closed sign (its middle) waits left of the screen, wholly out of
    // sight, until closing time slides it in to its place on the wall, above
    // the line's door.
    static constexpr float kClosedSignStart = -70, kClosedSignStop = 105, kClosedSignY = 100;
    void SetupStars();
    // The level's next group arrives in line at once (tests and benchmarks
    // fill a floor with it; play lets the schedule decide).
    bool AddNextGroup();

    // ---- the frame: dt in seconds of game time (clamped)
    void Update(float dt);
    void AdvanceGameState(float dt);
    void EnterLevelOver();
    void EnterGameOver();
    void StartIntro();          // state 9 entered
    // A level flagged to start dirty opens with last night's dishes on
    // every table (no score for clearing them). Run wherever the new level
    // first shows: the new items, the decor left alone, the intro.
    void DoStartDirty() override;
    void GoToNextLevel();       // Lua
    void RestartLevel();        // Lua
    void DoSkipTutorial();      // Lua and the play step
    // Between levels: the decor choice, the new items, the endless upgrades
    // (their IUpgradeTarget).
    TBetweenLevels& Between() { return mBetween; }
    const TBetweenLevels& Between() const { return mBetween; }
    // A level file played on its own (an extra or downloaded level): it
    // touches no career progress.
    bool IsDownloadedLevel() const;

    // ---- input (screen points)
    // True when the press sent the waitress to a station (else it may have
    // picked up a party: GetDraggedParty).
    bool MouseDown(TPoint point);
    void MouseMove(TPoint point);
    void MouseUp(TPoint point);
    // Ends a drag as if the button were let go off the floor (pause key).
    void CancelDrag();
    // The station a click at `point` would send her to (food stations with a
    // ready order first), or null.
    IStation* StationAt(TPoint point, int* clickKind);
    // What the pointer shows over the floor in play.
    EFloorCursor CursorState() const { return mCursorState; }
    TPoint GetMousePos() const { return mMousePos; }

    // ---- IFloorView
    IStation* FindStation(int stationId) override;
    std::vector<ITableView*> EatingStations() override;
    std::vector<TFoodStation*> FoodStations() override;

    // ---- ILevelGoals
    int GetCurrentGoal() const override { return mLevelManager ? mLevelManager->GetCurrentGoal() : 0; }
    int GetCurrentExpert() const override { return mLevelManager ? mLevelManager->GetCurrentExpert() : 0; }

    // ---- what the window and the tests read
    // The flow's state and its timer; between levels, the between-levels flow's.
    int GetState() const { return mBetween.IsRunning() ? mBetween.State() : mGameState; }
    float GetStateTimer() const { return mBetween.IsRunning() ? mBetween.Timer() : mStateTimer; }
    // Whether the stations the new level brings are drawn this frame: they
    // blink in after the decor choice; while the screen fades into a level
    // they show only on a restart, a restaurant's first level or a floor
    // without settings.
    bool DrawNewItems() const;
    int GetLevelScore() const;
    int GetLives() const { return mLives; }
    float GetClockAngle() const { return mClockAngle; }
    bool IsClosedShown() const { return mClosedShown; }
    TVec2 GetClosedSignPos() const { return mClosedSignPos; }
    float GetIdleTime() const { return mIdleTime; }
    float GetGoalTime() const { return mGoalTime; }
    float GetExpertTime() const { return mExpertTime; }
    // Play, paused and total time, walk-outs: the level's measures.
    TLevelMetrics& Metrics() { return mMetrics; }
    int GetAttempts() const { return mAttempts; }
    const TLevelResult& GetLastResult() const { return mLastResult; }
    bool IsTurbulenceShaking() const { return mTurbulence.IsShaking(); }
    // A flashlight level from its intro to its level over: the room is dark
    // (the scene's night overlay) and the game's flashlight follows the pointer.
    bool IsFlashlightOn() const { return mFlashlight; }
    TLevelManager* GetLevelManager() override { return mLevelManager.get(); }
    TQuessa* GetQuessa() override { return mQuessa.get(); }
    TScoreManager* GetScoreManager() override { return mScore; }
    TTutorial& GetTutorial() override { return mTutorial; }
    TBench& GetBench() { return mBench; }
    TBar* GetBar() { return mBar.get(); }
    TTicketStation& GetTicketStation() { return mTicketStation; }
    TDishCart& GetDishCart() { return *mDishCart; }
    TChef& GetChef() { return mChef; }
    const TKitchenPass& GetKitchenPass() const { return mKitchenPass; }
    TDrinkStation& GetDrinkStation() override { return mDrinkStation; }
    TDessertStation& GetDessertStation() { return mDessertStation; }
    TSnackStation& GetSnackStation() { return mSnackStation; }
    THighChairStation& GetHighChairStation() { return mHighChairStation; }
    TMopStation& GetMopStation() { return mMopStation; }
    // The restaurant scene, the podium, the phone and the staff it calls.
    TRestaurantStaff& GetStaff() override { return *mStaff; }
    const std::list<TParty*>& GetWaitingParties() const { return mWaitingParties; }
    const std::vector<std::unique_ptr<TTable>>& GetTables() const { return mTables; }
    const std::vector<TEatingStation*>& GetEatingStations() const { return mEatingStations; }
    const std::vector<IStation*>& GetStations() const { return mStations; }
    const std::vector<std::unique_ptr<TFoodStation>>& GetFoodStationList() const { return mFoodStations; }
    TNoiseRingList& GetNoiseRings() { return mNoiseRings; }
    TParty* GetDraggedParty() const { return mDraggedParty; }
    TEatingStation* GetDropTable() const { return mDropTable; }
    // Whether the level manager runs an endless shift. The first endless
    // game plays its tutorial on a career level, so the game's mode is asked
    // of IsCareerGame() wherever the career's progress is at stake.
    bool IsEndless() const;
    // A level of the career itself: career mode, not a level file played on
    // its own. Only such a level reads or writes the career's score and place.
    bool IsCareerGame() const;
    // The player plays endless: a shift, or the tutorial that opens the first
    // endless game on a career level. What the player sees and meets on the
    // floor (lives, the goal's upgrade notice, the HUD's shift) follows this.
    bool IsEndlessGame() const;
    bool IsRestartPending() const { return mRestartPending; }
    // The level being played, as the level manager chose it when it started.
    const TLevelContext& Context() const { return mContext; }
    void SetCoinJar(ICoinJarView* jar) { mCoinJar = jar; }

    // The level's end as one event metric: 0 won, 1 lost or game over, 2 quit.
    void RecordEndOfGameMetric(int reason);

    // ---- IBetweenLevelsFloor: what the decor choice, the new items and the
    // endless upgrades change (and the getters above)
    std::vector<IStation*> TableStations() const override;
    void WearDecorLevel(int level) override;
    int AddTableUpgrade() override;
    void SetLinePatience(float multiplier) override;
    void ShowBench(float patienceMultiplier, bool luxury) override;
    void SetFoodReadyTime(float seconds) override;

private:
    void CreateLevelManager();
    std::vector<TTableDesc> TableDescriptors() const;
    // Tables of the descriptors from `first` on, and the bar when there is
    // none yet, in the restaurant's art.
    void BuildTables(const std::vector<TTableDesc>& descs, std::size_t first, const std::optional<TBarDesc>& bar);
    void ReadGlobals(TXmlNode* globals);
    void BuildFoodStations();
    void EnableLayoutStations();
    void PlayStep(float dt);
    void UpdateTurbulence(float dt);
    void UpdateEatingStations(float dt, bool* removed);
    void UpdateStationsAndStaff(float dt);
    void WaveLine(int parties);
    void UpdateWaitingParties(float dt, bool* removed);
    void UpdateProgress(float dt);
    void UpdateFadeOut(float dt);
    void UpdateFadeIn(float dt);
    void LoseStar();
    // Endless: a walk-out costs a life; true when it was the last and the game is over.
    bool WalkoutEndsGame();
    void PartyWalkedAway(TParty* party);
    bool FloorBusy(bool* anyParty) const;
    void CancelOrderOfTable(int tableNumber);
    void MergeBarSeats();
    // The board's counts as the level stands; a career win pays its bonus
    // and says what it keeps; the level closes on its result.
    TLevelResult ResultSoFar() const;
    void PayCareerWin(TLevelResult* result);
    void CloseLevel(TLevelResult result);
    bool FoodReadyAndQueued(const TEatingStation& station) const;
    TEatingStation* AcceptingStation(TPoint point) const;
    bool OverEatingStation(TPoint point) const;
    float RobotOffset(const IStation* station) const;
    void ReleaseDropTable(TPoint follow);
    void LetGoOfCustomers();
    void DropParty();
    bool TryPickUp(TPoint point);
    void SetState(int state);
    void SetFlashlight(bool on);
    // What the floor reports its play to: the score, and the tutorial while one runs.
    TPlayRules Rules() { return {mScore, mTutorial.IsActive() ? &mTutorial : nullptr}; }
    void Tell(TLevelEvent event)
    {
        if (mEvents)
            mEvents->push_back(std::move(event));
    }

    // First, so it goes last: the heap gives back what the level held.
    qm::TReturnFreedMemoryAtEnd mReturnFreedMemory;
    TScoreManager* mScore;  // not owned: the game window's
    std::vector<TLevelEvent>* mEvents;  // not owned: the listener's
    TBetweenLevels mBetween{*this, mEvents};
    TXmlNode* mGlobals;     // not owned: the window's parsed global.xml
    TLevelContext mContext;  // read as a level starts: built, moved on to the next, started again

    int mDragMode = 0;
    TPoint mMousePos;
    int mGameState = kLevelIntro;
    std::list<TParty*> mWaitingParties;  // owned (the level manager's line holds raw pointers)
    std::vector<std::unique_ptr<TTable>> mTables;
    std::unique_ptr<TQuessa> mQuessa;
    std::unique_ptr<TQuessaHands> mHands;
    TTicketStation mTicketStation;
    TDrinkStation mDrinkStation;
    TDessertStation mDessertStation;
    TSnackStation mSnackStation;
    THighChairStation mHighChairStation;
    TMopStation mMopStation;
    TBench mBench;
    TChef mChef;
    TKitchenPass mKitchenPass;
    std::unique_ptr<TDishCart> mDishCart;
    std::unique_ptr<TRestaurantStaff> mStaff;
    ICoinJarView* mCoinJar = nullptr;  // the HUD's, not owned
    TTutorial mTutorial;
    TPoint mDragHome, mGrabOffset;
    bool mDragFromBench = false;
    TParty* mDraggedParty = nullptr;      // not owned
    TEatingStation* mDropTable = nullptr;  // not owned
    TPartyBuilder mPartyBuilder;
    std::unique_ptr<TLevelManager> mLevelManager;
    std::vector<IStation*> mStations;
    std::vector<TEatingStation*> mEatingStations;
    std::vector<std::unique_ptr<TFoodStation>> mFoodStations;
    int mLives = 1;
    float mStateTimer = 0, mGoalTime = 0, mExpertTime = 0;
    TTurbulence mTurbulence;
    TVec2 mClosedSignPos{-30, 180};
    bool mClosedShown = false;
    float mClosedTime = 0, mIdleTime = 0;
    float mClosingTime = 10;
    float mClockAngle = 0;
    bool mFlashlight = false;
    int mBenchHeartBoost = 0;
    float mBenchPatienceMultiplier = 1.0f;
    float mBenchBoostScale = 1.0f;
    bool mRestartPending = false;
    bool mClosetPending = false;
    bool mLeftUndefinedLevel = false;  // a career level without its file was left
    std::unique_ptr<TBar> mBar;
    TNoiseRingList mNoiseRings;
    int mAttempts = 0;
    TLevelMetrics mMetrics;
    float mFoodReady = 2.0f, mFoodCold = 0;
    float mHighChairPatience = 1.0f;
    EFloorCursor mCursorState = EFloorCursor::kArrow;
    TLevelResult mLastResult;
};
