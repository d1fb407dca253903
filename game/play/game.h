// TGame: the window in which a level is played (window type "GameWindow").
// It owns the score manager and the level's object graph (TGameData), feeds
// the graph the game clock's frame times from its update task, routes mouse
// and keys to the floor, draws the floor in depth order, opens the intro,
// level-over and pause screens and publishes the game's Lua functions. After
// each call into the graph it takes the graph's events and shows them; fades
// and alphas follow the graph's state on the game clock.
// Companions: TGameUILayer and TGamePostUILayer (drawn above the HUD),
// TGameTimer (the level clock), TUpdateGameTask, TPauseListener.
#pragma once

#include "engine/base/animtask.h"
#include "engine/base/lifeline.h"
#include "engine/base/xml.h"
#include "engine/window/window.h"
#include "game/play/gamestate.h"
#include "game/screens/scriptedwindow.h"

#include <array>
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

class TAnimatedTextureCache;
class TClock;
class TBar;
class TGameData;
class TParty;
class TPauseListener;
class TScoreManager;
class TScreenFade;
class TSound;
class TFloorBanner;
class TTextGraphic;
class TTable;
class TTexture;

class TGame : public TScriptedWindow<TGame> {
public:
    static const contract::TScreenSpec kContract;

    static constexpr const char* kTypeName = "GameWindow";

    TGame();
    ~TGame() override;

    void PostChildrenInit() override;
    void Draw() override;
    bool OnMessage(TMessage* message) override;
    bool OnMouseDown(const TPoint& p) override;
    bool OnMouseUp(const TPoint& p) override;
    bool OnMouseMove(const TPoint& p) override;
    bool OnKeyDown(char key, int modifiers) override;

    // The update task's tick: one frame of the level on the game clock.
    void UpdateGame();
    void DrawUI();
    void DrawPostUI();
    // Opens the pause screen (the pause key, the application losing focus).
    void OpenPauseScreen();
    // Opens the level-over board with a result (the flow's, or a test's).
    void OpenLevelOver(const TLevelResult& result);

    TGameData* GetGameData() { return mGameData.get(); }
    float GetClockAngle() const;

    // The game clock stands still while paused (Lua, the intro, the boards).
    void PauseGame(bool pause);

    // Lua
    void QuitGame(bool quit);
    void GoToNextLevel();
    void RestartLevel();
    void DoSkipTutorial();
    // Fills the upgrade screen's picker (the top modal's "upgradepicker").
    void SetupUpgradeScreen();
    void DecorButton();
    // The wardrobe takes the screen: the floor's pictures go and the window
    // hides; LoadGameAssets brings them back.
    void ReleaseGameAssets();
    void LoadGameAssets();

private:
    // What the graph asked for since the last call into it, in order, and
    // then what follows its state on the game clock (the fade, the decor
    // panel's and the upgrade notice's alphas). After an event that leaves
    // the screen nothing more is shown.
    void ShowLevelEvents();
    void Show(const levelevent::LevelSetUp&);
    void Show(const levelevent::IntroOpens&);
    void Show(const levelevent::LevelOver& event);
    void Show(const levelevent::LevelOverCloses&);
    void Show(const levelevent::Sound& event);
    void Show(const levelevent::ClosetDue&);
    void Show(const levelevent::BackFromCloset&) { LoadGameAssets(); }
    void Show(const levelevent::DecorChoiceOpens& event);
    void Show(const levelevent::DecorItemShown& event) { ShowDecorItem(event.item); }
    void Show(const levelevent::DecorButtonShown& event);
    void Show(const levelevent::DecorKept&);
    void Show(const levelevent::DecorChoiceCloses&) { ShowDecorChoice(false); }
    void Show(const levelevent::UpgradeNoticeShown&) { ShowUpgradeNotice(true); }
    void Show(const levelevent::UpgradeNoticeHidden&) { ShowUpgradeNotice(false); }
    void Show(const levelevent::LeaveRestaurant& event);
    void Show(const levelevent::LeaveUnplayableLevel&);
    void FollowLevelState();
    void OpenLevelIntro();
    void ShowDecorChoice(bool show);
    void SetDecorChoiceAlpha(float alpha);
    void ShowDecorItem(int item);
    void ShowUpgradeNotice(bool show);
    void SetUpgradeNoticeAlpha(float alpha);

    void LoadSounds();
    void SetupLevel();
    void SetupGameMode();
    void SetupStars();
    void ShowLives();
    void UpdateText();
    float FlashlightAlpha() const;
    void DrawBanner(const char* key, float t);
    void ShowBanner(const char* key, const TRect& rect);

    // The game clock of the level's settings (null without a level or settings).
    TClock* GameClock() const;
    void LeaveScreen(const char* scriptFunction);
    bool OverChild(const contract::TChild<TWindow>& child, const TPoint& p);

    std::vector<TLevelEvent> mLevelEvents;  // what the graph asked for, not yet shown
    std::unique_ptr<TGameData> mGameData;
    std::unique_ptr<TScoreManager> mScore;
    TXmlNode mGlobalDoc;
    TXmlNode* mGlobals = nullptr;
    TClock* mGameClock = nullptr;  // the settings', taken as the game starts
    std::array<std::shared_ptr<TSound>, 6> mSounds;  // seat, ditch, upgrade, closing, turbulence, refuse
    TScreenFade* mScreenFade = nullptr;  // the child "screenfade"
    TPauseListener* mPauseListener = nullptr;  // adopted by the window manager
    std::shared_ptr<TTexture> mNoiseRingTexture, mFlashlight, mFlashlightFill, mClosedSign;
    std::unique_ptr<TAnimatedTextureCache> mCache;
    std::unique_ptr<TFloorBanner> mBanner;
    TTextGraphic* mClosedLabel = nullptr;  // owned
    std::uint32_t mLastClockMs = 0;
    std::uint32_t mPauseStartMs = 0;
    std::uint32_t mStartTimer = 0;
    bool mLeaving = false;
    float mShownFade = -1;  // what the screen fade was last set to
    bool mDecorChoiceShown = false;
    bool mUpgradeNoticeShown = false;
};

// The closed sign's picture leaves its paper panel for the word, here from
// the picture's top left corner; the word is written large on it.
inline constexpr char kClosedSignPicture[] = "ui/closed";
inline constexpr TRect kClosedSignPaper{9, 25, 115, 67};
inline constexpr int kClosedLabelSize = 24;

// The floor in depth order: the room (and the train's performer, who plays
// outside its windows), the kitchen, the closed sign, the shelves, the phone;
// then the tables, the bar, the podium, the waitress and her robot, the
// busboy, the drink server and the hostess sorted by their feet; the line,
// the other restaurants' entertainer, noise rings, a dragged party. The game
// window draws it; benchmarks draw a floor without a window.
void DrawFloor(TGameData& floor, TAnimatedTextureCache* cache, TTexture* closedSign, TTextGraphic* closedLabel);
// The waiting parties as DrawFloor draws them: the first seven, the bench
// party, then the line back to front, leaving out the dragged party.
void DrawWaitingLine(const std::list<TParty*>& parties, const TParty* dragged, TAnimatedTextureCache* cache);

// One entry of the floor's depth-sorted middle: whoever's foot is lower
// stands in front. A figure whose box overlaps a table and whose foot lies
// between the table's top and front edge is drawn just after that table.
struct TFloorDrawEntry {
    enum EKind { kTable, kBar, kPodium, kRobot, kWaitress, kBusBoy, kDrinkServer, kHostess };
    int sortValue = 0;
    EKind kind = kTable;
    TTable* table = nullptr;  // the entry's table, or bar
    TBar* bar = nullptr;
};
// That middle part in drawing order (sorted, ties in the order above).
std::vector<TFloorDrawEntry> FloorDrawOrder(TGameData& floor);

// The level's heartbeat: every 16 ms on the platform timer.
class TUpdateGameTask : public TAnimTask {
public:
    explicit TUpdateGameTask(TGame* game);
    bool Animate() override;

private:
    TGame* mGame;
    TLifeHandle mAlive;  // the task may outlive the window by a tick
};

// Opens the pause screen when the application loses focus during play.
class TPauseListener : public TMessageListener {
public:
    explicit TPauseListener(TGame* game) : mGame(game) {}
    bool OnMessage(TMessage* message) override;

private:
    TGame* mGame;  // outlives the listener: the game removes it in its destructor
};

// Drawn above the HUD: score bubbles, coins, the flashlight.
class TGameUILayer : public TScriptedWindow<TGameUILayer> {
public:
    static const contract::TScreenSpec kContract;

    void Draw() override;
};

// Drawn last: the goal, expert and closing-time banners and the tutorial.
class TGamePostUILayer : public TScriptedWindow<TGamePostUILayer> {
public:
    static const contract::TScreenSpec kContract;

    void Draw() override;
};

// The level clock: the globe turns once over the level.
class TGameTimer : public TScriptedWindow<TGameTimer> {
public:
    static const contract::TScreenSpec kContract;

    TGameTimer();
    ~TGameTimer() override;
    void Draw() override;

private:
    std::shared_ptr<class TAnimatedTexture> mGlobe;
};
