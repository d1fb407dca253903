#include "game/play/game.h"
#include "game/play/floorbanner.h"

#include "engine/base/debuglog.h"
#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "engine/script/luabind.h"
#include "engine/script/windowscript.h"
#include "engine/sound/sound.h"
#include "engine/sound/soundmanager.h"
#include "engine/text/textgraphic.h"
#include "engine/window/button.h"
#include "engine/window/image.h"
#include "engine/window/message.h"
#include "engine/window/modalwindow.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "game/floor/quessa.h"
#include "game/play/gamedata.h"
#include "game/rules/scoremanager.h"
#include "game/screens/coinjar.h"
#include "game/screens/cursor.h"
#include "game/screens/levelintro.h"
#include "game/screens/levelover.h"
#include "game/screens/screenchildren.h"
#include "game/screens/screenfade.h"
#include "game/screens/upgradepicker.h"
#include "game/screens/windowslide.h"
#include "game/settings/settings.h"
#include "game/settings/configfile.h"
#include "game/settings/unlockmanager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>
#include <variant>

namespace {

constexpr int kUpdatePeriodMs = 16;
constexpr int kMessageGameQuit = 1001;
constexpr int kMaxLives = 5;
const char* const kSoundNames[] = {"seat", "ditch", "upgrade", "closing", "turbulence", "refuse"};
const char* const kSoundFiles[] = {"audio/sfx/sfx_seat_people_snd.ogg", "audio/sfx/customer_ditch.ogg",
                                   "audio/sfx/upgrade_flash.ogg", "audio/sfx/closing_time.ogg",
                                   "audio/sfx/turbulence.ogg", "audio/sfx/seat_refused.ogg"};

using qm::lua::Method;
using screens::SetChildText;
using screens::ShowChild;
using screens::Text;
using screens::TextWithNumber;

const qm::lua::TBinding kFunctions[] = {
    {"QuitGame", Method<&TGame::QuitGame>},
    {"PauseGame", Method<&TGame::PauseGame>},
    {"SetupUpgradeScreen", Method<&TGame::SetupUpgradeScreen>},
    {"GoToNextLevel", Method<&TGame::GoToNextLevel>},
    {"RestartLevel", Method<&TGame::RestartLevel>},
    {"DoSkipTutorial", Method<&TGame::DoSkipTutorial>},
    {"ReleaseGameAssets", Method<&TGame::ReleaseGameAssets>},
    {"LoadGameAssets", Method<&TGame::LoadGameAssets>},
    {"DecorButton", Method<&TGame::DecorButton>},
};

using contract::Child;
using contract::Numbered;
constexpr auto kScreenfade = Child<TScreenFade>("screenfade");
constexpr auto kCoinjar = Child<TCoinJar>("coinjar");
constexpr auto kUpgrade = Child<TWindow>("upgrade");
constexpr auto kUpgradeanim = Child<TImage>("upgradeanim");
constexpr auto kOpenclosed = Child<TText>("openclosed");
constexpr auto kSkiptutorial = Child<TWindow>("skiptutorial");
constexpr auto kLevelbackground = Child<TWindow>("levelbackground");
constexpr auto kCareerlevelbackground = Child<TWindow>("careerlevelbackground");
constexpr auto kLivesicon = Numbered<TWindow>("livesicon_%d", 0, 4);
constexpr auto kLevelval = Child<TText>("levelval");
constexpr auto kGoal = Child<TText>("goal");
constexpr auto kExpert = Child<TText>("expert");
constexpr auto kScoreval = Child<TText>("scoreval");
constexpr auto kCashval = Child<TText>("cashval");
// The decor choice between two levels: its panel and its Keep button.
constexpr auto kUpgradewindow = Child<TWindow>("upgradewindow");
constexpr auto kUpgradename = Child<TText>("upgradename");
constexpr auto kUpgradedescrip = Child<TText>("upgradedescrip");
constexpr auto kDecorbutton = Child<TWindow>("decorbutton");
// The phone's bubbles and buttons, which the phone station finds in this
// window's screen.
constexpr auto kPhonebox = Numbered<TWindow>("phonebox%d", 2, 4).InScreen();
constexpr auto kPhone = Numbered<TButton>("phone%d", 1, 4).InScreen();
// The screens the game window opens and fills.
constexpr auto kLevelintrowin = Child<TLevelIntro>("levelintrowin").In("scripts/levelintro.lua");
constexpr auto kIntrobackground = Child<TWindow>("introbackground").In("scripts/levelintro.lua");
constexpr auto kLeveloverwin = Child<TLevelOver>("leveloverwin").In("scripts/levelover.lua");
constexpr auto kOverbackground = Child<TWindow>("overbackground").In("scripts/levelover.lua");
constexpr auto kUpgradepicker = Child<TUpgradePicker>("upgradepicker").In("scripts/upgrade.lua");
const contract::TChildSpec kGameChildren[] = {
    kScreenfade,
    kCoinjar,
    kUpgrade,
    kUpgradeanim,
    kOpenclosed,
    kSkiptutorial,
    kLevelbackground,
    kCareerlevelbackground,
    kLivesicon,
    kLevelval,
    kGoal,
    kExpert,
    kScoreval,
    kCashval,
    kUpgradewindow,
    kUpgradename,
    kUpgradedescrip,
    kDecorbutton,
    kPhonebox,
    kPhone,
    kLevelintrowin,
    kIntrobackground,
    kLeveloverwin,
    kOverbackground,
    kUpgradepicker,
};

TModalWindow* TopModal()
{
    TWindowManager* manager = TWindowManager::GetInstance();
    return manager ? manager->GetTopModalWindow() : nullptr;
}

// Pushes a modal window named after the script and builds the script's
// windows in it; the caller then finds them by name.
TModalWindow* RunModalScript(const char* script)
{
    TWindowManager* manager = TWindowManager::GetInstance();
    if (!manager)
        return nullptr;
    auto* modal = new TModalWindow;
    modal->SetName(script);
    manager->PushModal(modal);
    manager->RunScript(modal, (str("assets/") + script).c_str());
    return modal;
}

// The game's pointer for what the floor says it points at.
TCursor::eCursorState CursorLook(EFloorCursor cursor)
{
    switch (cursor) {
    case EFloorCursor::kOpenHand:
        return TCursor::kOpen;
    case EFloorCursor::kGrabbingHand:
        return TCursor::kGrab;
    case EFloorCursor::kPointingHand:
        return TCursor::kClick;
    case EFloorCursor::kArrow:
        break;
    }
    return TCursor::kArrow;
}

std::uint32_t PlatformTimer()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform ? platform->Timer() : 0;
}

}  // namespace

const contract::TScreenSpec TGame::kContract{"TGame", TGame::kTypeName, "scripts/game.lua", kFunctions,
                                             kGameChildren};

TGame::TGame()
{
    PublishFunctions();
    mCache = std::make_unique<TAnimatedTextureCache>(100, 120, 80);
    if (TModalWindow* top = TopModal())
        top->AdoptTask(new TUpdateGameTask(this));
    game::ReadConfigDocument("assets/config/global.xml", &mGlobalDoc, "dataroot", "the game's built-in values are used");
    TXmlNode* root = mGlobalDoc.GetChild("dataroot");
    mGlobals = root ? root->GetChild("globals") : nullptr;
    mScore = std::make_unique<TScoreManager>();
    LoadSounds();
    mNoiseRingTexture = TTexture::Get("ui/noisering", 0);
    mFlashlightFill = TTexture::Get("ui/levelspecific/flashlight_fill", 0);
    mClosedSign = TTexture::Get(kClosedSignPicture, 0);
    if (TWindowManager* manager = TWindowManager::GetInstance()) {
        mPauseListener = new TPauseListener(this);
        manager->AdoptMessageListener(mPauseListener);
    }
    // The game clock is the settings'; the level's frames are read from it.
    if (TSettings* settings = TSettings::GetInstance()) {
        mGameClock = settings->GetGameClock();
        mGameClock->Reset();
    }
    mBanner = std::make_unique<TFloorBanner>();
    mClosedLabel = TTextGraphic::Create(Text("closed"), kClosedSignPaper.Width(), kClosedSignPaper.Height(),
                                        TTextGraphic::kHAlignCenter | TTextGraphic::kVAlignCenter,
                                        "assets/fonts/corona.mvec", kClosedLabelSize, TColor(0.78f, 0.16f, 0.23f, 1));
}

TGame::~TGame()
{
    mGameData.reset();
    // Taken back from the window manager, the listener is ours to delete; a
    // manager that went first deleted it with its own list.
    if (TWindowManager* manager = TWindowManager::GetInstance(); manager && mPauseListener)
        if (manager->OrphanMessageListener(mPauseListener))
            delete mPauseListener;
    TTextGraphic::Destroy(mClosedLabel);
}

void TGame::LoadSounds()
{
    // The game plays on without a sound; the sound's loader has named the file.
    for (std::size_t i = 0; i < mSounds.size(); ++i)
        mSounds[i] = TSound::Get(kSoundFiles[i], false, TSoundManager::kEffects);
}

void TGame::Show(const levelevent::Sound& event)
{
    const char* name = event.name;
    for (std::size_t i = 0; i < mSounds.size(); ++i)
        if (std::strcmp(name, kSoundNames[i]) == 0 && mSounds[i])
            mSounds[i]->Play(false);
}

void TGame::PostChildrenInit()
{
    if (TModalWindow* modal = FindParentModal())
        modal->SetDefaultFocus(this);
    mScreenFade = Child(kScreenfade);
    ShowDecorChoice(false);
    SetupLevel();
    SetupGameMode();
    SetupStars();
    UpdateText();
    mGameData->StartIntro();
    ShowLevelEvents();
    if (!mLeaving)
        FollowLevelState();
}

void TGame::ShowLevelEvents()
{
    if (!mGameData)
        return;
    for (const TLevelEvent& event : std::exchange(mLevelEvents, {})) {
        if (mLeaving)
            return;  // the screen goes: nothing more of the level shows
        std::visit([this](const auto& e) { Show(e); }, event);
    }
}

void TGame::FollowLevelState()
{
    const int state = mGameData->GetState();
    const float timer = mGameData->GetStateTimer();
    // Between levels the game clock runs while the screen fades to black.
    if (state == kFadeOut)
        PauseGame(false);
    if (const float fade = ScreenFadeFor(state, timer); fade != mShownFade) {
        mShownFade = fade;
        if (mScreenFade)
            mScreenFade->SetFade(fade);
    }
    if (mDecorChoiceShown)
        SetDecorChoiceAlpha(DecorChoiceAlphaFor(state, timer));
    if (mUpgradeNoticeShown)
        SetUpgradeNoticeAlpha(UpgradeNoticeAlphaFor(mGameData->Between().GetUpgradeAnimTime()));
}

void TGame::SetupLevel()
{
    if (!mGameData)
        mGameData = std::make_unique<TGameData>(mGlobals, mScore.get(), &mLevelEvents);
    TCoinJar* jar = Child(kCoinjar);
    mScore->SetCoinJar(jar);
    mGameData->SetCoinJar(jar);
    ShowChild(this, kUpgrade, false);
    ShowChild(this, kUpgradeanim, false);
    PauseGame(true);
    mGameData->SetupLevel();
    ShowLevelEvents();
    // The phone's staff buttons live in this window's own modal (the pause
    // screen may lie on top of it while they are looked up).
    mGameData->GetStaff().Phone().SetButtonHost(FindParentModal());
    if (TClock* clock = GameClock()) {
        clock->Start();
        mLastClockMs = clock->GetTime();
    }
    str flashlightName = "ui/levelspecific/flashlight";
    const str& restaurant = mGameData->Context().restaurantName;
    if (restaurant == str("cruise") || restaurant == str("blimp") || restaurant == str("train"))
        flashlightName = "ui/levelspecific/flashlight-cruise";
    mFlashlight = TTexture::Get(flashlightName, 0);
}

void TGame::SetupGameMode()
{
    const bool endless = mGameData->Context().endlessMode;
    if (TWindow* unused = Child(endless ? kCareerlevelbackground : kLevelbackground))
        unused->ClearFlags(kVisible);
}

void TGame::SetupStars()
{
    mGameData->SetupStars();
    ShowLives();
}

void TGame::ShowLives()
{
    for (int i = 0; i < kMaxLives; ++i)
        ShowChild(this, kLivesicon.NameOf(i).c_str(), mGameData->IsEndlessGame() && i < mGameData->GetLives());
}

void TGame::UpdateGame()
{
    if (!mGameData || mLeaving)
        return;
    TClock* clock = GameClock();
    const std::uint32_t now = clock ? clock->GetTime() : PlatformTimer();
    const float dt = static_cast<float>(static_cast<std::uint32_t>(now - mLastClockMs)) / 1000.0f;
    mLastClockMs = now;
    const int livesBefore = mGameData->GetLives();
    // A game clock that runs N times as fast as real time (tests) plays its
    // frame in up to N steps of at most a floor frame each; at the normal
    // rate this is one step, clamped by the floor, so a stall still skips
    // nothing ahead.
    const int rate = clock ? static_cast<int>(clock->GetRate()) : 1;
    const int steps = std::clamp(static_cast<int>(std::ceil(dt / TGameData::kMaxFrameSeconds)), 1, rate);
    for (int step = 0; step < steps; ++step) {
        mGameData->Update(dt / static_cast<float>(steps));
        ShowLevelEvents();
        if (mLeaving)
            return;  // the restaurant is done: the screen goes, touch nothing
        FollowLevelState();
    }
    if (mGameData->GetLives() != livesBefore)
        ShowLives();
    UpdateText();
    InvalidateRect(nullptr);
}

void TGame::PauseGame(bool pause)
{
    TClock* clock = GameClock();
    if (!clock)
        return;
    mGameData->GetStaff().Restaurant().PauseMusic(pause);
    // Paused time is measured on the platform timer: the help clock may
    // itself stand still while the game is paused.
    if (pause) {
        if (!clock->IsPaused())
            mPauseStartMs = PlatformTimer();
        clock->Pause();
    } else if (clock->IsPaused()) {
        mGameData->Metrics().AddPausedTime(static_cast<float>(PlatformTimer() - mPauseStartMs) / 1000.0f);
        clock->Start();
    }
}

void TGame::Show(const levelevent::IntroOpens&)
{
    // Paused first: an intro that cannot show lets the game run on at once.
    PauseGame(true);
    OpenLevelIntro();
}

void TGame::OpenLevelIntro()
{
    TModalWindow* modal = RunModalScript("scripts/levelintro.lua");
    if (!modal)
        return;
    auto* intro = ChildOf(modal, kLevelintrowin);
    if (!intro) {
        // Nothing would ever close an intro that did not build: the level
        // starts without it rather than wait for ever.
        WriteDbg("scripts/levelintro.lua built no level intro: the level starts without it");
        if (TWindowManager* manager = TWindowManager::GetInstance(); manager && manager->GetTopModalWindow() == modal)
            manager->PopModal();
        PauseGame(false);
        return;
    }
    TLevelManager* level = mGameData->GetLevelManager();
    const bool tutorial = mGameData->GetTutorial().IsActive();
    // The endless tutorial plays on the career's first level: its intro is
    // still the endless one, with the practice shift's own words.
    if (mGameData->IsEndlessGame())
        intro->SetupText(1, tutorial, str(), 0, 0);
    else
        intro->SetupText(0, tutorial, level->GetLevelIntroText(), level->GetCurrentGoal(), level->GetCurrentExpert());
    intro->SetDoodle(level->GetDoodle());
    if (TWindow* panel = ChildOf(modal, kIntrobackground))
        TWindowSlide::Start(panel, +1, "letsplay");
    mStartTimer = PlatformTimer();
}

void TGame::OpenLevelOver(const TLevelResult& result)
{
    WriteDbg("level over: %s, %d points%s", result.win ? "won" : (result.gameOver ? "game over" : "lost"),
             result.levelScore, result.newHiscore ? ", a new personal best" : "");
    TModalWindow* modal = RunModalScript("scripts/levelover.lua");
    if (!modal)
        return;
    if (!ChildOf(modal, kLeveloverwin)) {
        // The result is kept already; without its screen the player goes
        // back to the map rather than wait for ever.
        WriteDbg("scripts/levelover.lua built no level-over screen: back to the map");
        if (TWindowManager* manager = TWindowManager::GetInstance(); manager && manager->GetTopModalWindow() == modal)
            manager->PopModal();
        LeaveScreen("LeaveGame");
        return;
    }
    if (auto* over = ChildOf(modal, kLeveloverwin))
        over->SetResult(result);
    if (TWindow* panel = ChildOf(modal, kOverbackground))
        TWindowSlide::Start(panel, +1, "");
    mStartTimer = PlatformTimer();
}

void TGame::Show(const levelevent::LevelOver& event)
{
    // The end is kept before the board shows it: a player who quits from the
    // board keeps the win.
    game::ApplyLevelResult(event.result);
    OpenLevelOver(event.result);
    PauseGame(true);
}

void TGame::Show(const levelevent::LevelOverCloses&)
{
    TModalWindow* top = TopModal();
    if (!ChildOf(top, kLeveloverwin))
        return;
    if (TWindow* panel = ChildOf(top, kOverbackground))
        TWindowSlide::Start(panel, -1, "");
}

void TGame::Show(const levelevent::LevelSetUp&)
{
    // What opens from here on is new to this level. Marked as the set-up is
    // shown, after a wardrobe due before it has built its notice of what the
    // last level opened.
    if (TUnlockManager* unlocks = TUnlockManager::GetInstance())
        unlocks->MarkCurrentState();
    // Nothing of the last level stays on the display: the sign says open,
    // the upgrade offer is gone, and the tutorial's button shows only while
    // a tutorial runs.
    ShowUpgradeNotice(false);
    UpdateText();
}

void TGame::Show(const levelevent::LeaveRestaurant& event)
{
    const int restaurant = event.restaurant;
    // The story goes on with the comic of the restaurant that comes next;
    // after the last one there is none, and the map follows.
    TWindowScript* script = TWindowScript::Get();
    if (script) {
        const str next = restaurant >= 0 && restaurant < 6
                             ? str::getFormatted("scripts/comic_%d_1.lua", restaurant + 1)
                             : str("scripts/chooserestaurant.lua");
        script->SetGlobalString("gAfterRestaurant", next);
    }
    LeaveScreen("LeaveRestaurant");
}

void TGame::Show(const levelevent::LeaveUnplayableLevel&)
{
    // The script tells the player once a level in a run, so it is handed the
    // level: a career level by its number, a level file of its own (which
    // has no career number) by its file.
    const TLevelContext& level = mGameData->Context();
    TWindowScript* script = TWindowScript::Get();
    if (TSettings* settings = level.Settings(); script && settings) {
        const str name = level.levelFile ? str("the level ") + settings->GetDownloadLevelName()
                                         : str::getFormatted("career level %d", level.careerLevel + 1);
        script->SetGlobalString("gUnplayableLevel", name);
    }
    LeaveScreen("LeaveUnplayableLevel");
}

void TGame::LeaveScreen(const char* scriptFunction)
{
    // The screen script closes the game screen on its next turn; nothing is
    // destroyed from inside this frame's update.
    mLeaving = true;
    if (TWindowScript* script = TWindowScript::Get())
        script->SendGlobalFunction(scriptFunction);
}

void TGame::Show(const levelevent::ClosetDue&)
{
    ReleaseGameAssets();
    // The wardrobe's screen waits inside the game screen's turn; what comes
    // up over it (the notice, the fade from black) is the script's.
    if (TWindowScript* script = TWindowScript::Get()) {
        script->RunLuaText("DoModal('scripts/quessascloset.lua');");
        script->RunLuaText("FadeFromGame();");
    }
}

void TGame::ReleaseGameAssets()
{
    if (mGameData) {
        mGameData->GetQuessa()->ReleaseClothing();
        mGameData->GetStaff().Restaurant().ReleaseAssets();
    }
    ClearFlags(kVisible);
}

void TGame::LoadGameAssets()
{
    TClock* clock = GameClock();
    const bool wasRunning = clock && !clock->IsPaused();
    if (clock)
        clock->Pause();
    if (mGameData) {
        mGameData->GetStaff().Restaurant().LoadAssets();
        mGameData->GetQuessa()->ApplyClothing();
    }
    if (clock && wasRunning)
        clock->Start();
    AddFlags(kVisible);
    InvalidateRect(nullptr);
}

void TGame::Show(const levelevent::DecorChoiceOpens& event)
{
    ShowDecorChoice(true);
    SetDecorChoiceAlpha(0);
    ShowDecorItem(-1);
    ShowChild(this, kDecorbutton, false);
    // The tip opens over the decor choice on the script's next turn.
    if (event.firstTime)
        if (TWindowScript* script = TWindowScript::Get())
            script->SendGlobalFunction("ShowDecorTip");
}

void TGame::Show(const levelevent::DecorButtonShown& event) { ShowChild(this, kDecorbutton, event.shown); }

void TGame::Show(const levelevent::DecorKept&)
{
    // Applying the choice stopped the clock while its picture loaded; the
    // panel's fade and the blinking that follow run on it.
    PauseGame(false);
    ShowChild(this, kDecorbutton, false);
}

void TGame::ShowDecorChoice(bool show)
{
    mDecorChoiceShown = show;
    ShowChild(this, kUpgradewindow, show);
    if (!show)
        ShowChild(this, kDecorbutton, false);
}

void TGame::SetDecorChoiceAlpha(float alpha)
{
    if (TWindow* window = Child(kUpgradewindow)) {
        TWindowFader fader(alpha);
        window->ForEachChild(&fader, false);
        window->InvalidateRect(nullptr);
    }
}

void TGame::ShowDecorItem(int item)
{
    if (item < 0 || !mGameData->Context().fromSettings) {
        SetChildText(this, kUpgradename, Text("decor_pick"));
        SetChildText(this, kUpgradedescrip, Text("decor_pick_descrip"));
        return;
    }
    const int restaurant = mGameData->Context().restaurant + 1;
    SetChildText(this, kUpgradename, Text(str::getFormatted("decor_%d_%d", restaurant, item + 1)));
    SetChildText(this, kUpgradedescrip, Text(str::getFormatted("decor_%d_%d_descrip", restaurant, item + 1)));
}

void TGame::ShowUpgradeNotice(bool show)
{
    mUpgradeNoticeShown = show;
    ShowChild(this, kUpgrade, show);
    ShowChild(this, kUpgradeanim, show);
}

void TGame::SetUpgradeNoticeAlpha(float alpha)
{
    if (auto* glow = Child(kUpgradeanim)) {
        glow->SetAlpha(alpha);
        glow->InvalidateRect(nullptr);
    }
}

void TGame::SetupUpgradeScreen()
{
    TModalWindow* top = TopModal();
    auto* picker = ChildOf(top, kUpgradepicker);
    if (!picker || !mGameData)
        return;
    picker->PickUpgrades(&mGameData->Between(), mGameData->Between().IsTutorialActive());
    mGameData->GetTutorial().AdvanceState(kTutorialUpgradeScreen, -1);
    ShowLevelEvents();
}

void TGame::DecorButton()
{
    if (mGameData)
        mGameData->Between().DecorButton();
    ShowLevelEvents();
    if (TCursor* cursor = TCursor::GetInstance())
        cursor->SetState(TCursor::kArrow);
}

void TGame::QuitGame(bool quit)
{
    if (quit && mGameData)
        mGameData->RecordEndOfGameMetric(2);
}

void TGame::GoToNextLevel()
{
    if (mGameData)
        mGameData->GoToNextLevel();
    ShowLevelEvents();
}

void TGame::RestartLevel()
{
    if (mGameData)
        mGameData->RestartLevel();
    ShowLevelEvents();
}

void TGame::DoSkipTutorial()
{
    if (!mGameData)
        return;
    mGameData->DoSkipTutorial();
    ShowLevelEvents();
    ShowChild(this, kSkiptutorial, false);
}

void TGame::OpenPauseScreen()
{
    if (mGameData) {
        mGameData->CancelDrag();
        ShowLevelEvents();
    }
    if (TCursor* cursor = TCursor::GetInstance())
        cursor->SetState(TCursor::kArrow);
    PauseGame(true);
    if (TWindowScript* script = TWindowScript::Get())
        script->SendGlobalFunction("ShowPause");
}

bool TGame::OnKeyDown(char key, int)
{
    if (key != 'p' && key != 'P' && key != 27)
        return false;
    if (!mGameData || mGameData->GetState() != kPlaying)
        return true;
    OpenPauseScreen();
    return true;
}

bool TGame::OnMessage(TMessage* message)
{
    if (message->GetType() != kMessageGameQuit)
        return false;
    QuitGame(true);
    return true;
}

bool TGame::OverChild(const contract::TChild<TWindow>& name, const TPoint& p)
{
    TWindow* child = Child(name);
    if (!child || !child->IsVisible())
        return false;
    TRect rect;
    child->GetWindowRect(&rect);
    TRect own;
    GetWindowRect(&own);
    const TPoint at{p.x + own.x1, p.y + own.y1};
    return at.x >= rect.x1 && at.x <= rect.x2 && at.y >= rect.y1 && at.y <= rect.y2;
}

bool TGame::OnMouseDown(const TPoint& p)
{
    if (mGameData && mGameData->GetState() == kDecorChoice) {
        mGameData->Between().DecorMouseMove(p, false);
        ShowLevelEvents();
        if (mGameData->Between().Cursor() == EFloorCursor::kPointingHand)
            if (TCursor* cursor = TCursor::GetInstance())
                cursor->Click();
        return true;
    }
    if (!mGameData || mGameData->GetState() != kPlaying)
        return false;
    const bool station = mGameData->MouseDown(p);
    ShowLevelEvents();
    TCursor* cursor = TCursor::GetInstance();
    if (station && cursor) {
        // The pointing hand presses down on the station she is sent to.
        cursor->SetState(TCursor::kClick);
        cursor->Click();
    }
    if (mGameData->GetDraggedParty()) {
        if (cursor)
            cursor->SetState(TCursor::kGrab);
        if (TWindowManager* manager = TWindowManager::GetInstance())
            manager->SetCapture(this);
    }
    return true;
}

bool TGame::OnMouseUp(const TPoint& p)
{
    if (!mGameData)
        return false;
    if (mGameData->GetState() == kDecorChoice) {
        mGameData->Between().DecorMouseUp(p);
        ShowLevelEvents();
        if (TCursor* cursor = TCursor::GetInstance())
            cursor->SetState(TCursor::kArrow);
        return true;
    }
    const bool dragging = mGameData->GetDraggedParty() != nullptr;
    mGameData->MouseUp(p);
    ShowLevelEvents();
    if (TWindowManager* manager = TWindowManager::GetInstance())
        manager->ReleaseCapture(this);
    // A party let go: the hand opens (a click frame stays until the pointer moves).
    if (TCursor* cursor = TCursor::GetInstance(); cursor && dragging)
        cursor->SetState(CursorLook(mGameData->CursorState()));
    return true;
}

bool TGame::OnMouseMove(const TPoint& p)
{
    if (mGameData && mGameData->GetState() == kDecorChoice) {
        const bool overButton = OverChild(kDecorbutton, p);
        mGameData->Between().DecorMouseMove(p, overButton);
        ShowLevelEvents();
        if (!overButton)
            if (TCursor* cursor = TCursor::GetInstance())
                cursor->SetState(CursorLook(mGameData->Between().Cursor()));
        return !overButton;
    }
    if (!mGameData || mGameData->GetState() != kPlaying)
        return false;
    mGameData->MouseMove(p);
    ShowLevelEvents();
    if (TCursor* cursor = TCursor::GetInstance())
        cursor->SetState(CursorLook(mGameData->CursorState()));
    return true;
}

void TGame::UpdateText()
{
    if (!mGameData)
        return;
    TLevelManager* level = mGameData->GetLevelManager();
    const bool tutorial = mGameData->GetTutorial().IsActive();
    const bool endless = mGameData->IsEndlessGame();
    SetChildText(this, kLevelval, endless && tutorial ? str("0") : level->GetCurrentLevelStr());
    const int levelScore = mGameData->GetLevelScore();
    const bool pastGoal = !endless && levelScore >= level->GetCurrentGoal();
    if (pastGoal)
        SetChildText(this, kExpert, TextWithNumber("expertgoal", level->GetCurrentExpert()));
    else if (endless && tutorial)  // says what the level "0" beside it means
        SetChildText(this, kGoal, TextWithNumber("hud_practice", level->GetCurrentGoal()));
    else
        SetChildText(this, kGoal, TextWithNumber("goal", level->GetCurrentGoal()));
    ShowChild(this, kExpert, pastGoal);
    ShowChild(this, kGoal, !pastGoal);
    SetChildText(this, kScoreval, str::getFormatted("%d", levelScore));
    SetChildText(this, kCashval, TextWithNumber("currencyval", mScore->GetCash()));
    SetChildText(this, kOpenclosed, Text(mGameData->IsClosedShown() ? "closed" : "open"));
    if (TWindow* skip = Child(kSkiptutorial); skip && skip->IsVisible() != tutorial)
        ShowChild(this, kSkiptutorial, tutorial);
}

TClock* TGame::GameClock() const { return mGameData && mGameData->Context().fromSettings ? mGameClock : nullptr; }

float TGame::GetClockAngle() const { return mGameData ? mGameData->GetClockAngle() : 0; }

// ---- companions --------------------------------------------------------------

TUpdateGameTask::TUpdateGameTask(TGame* game) : mGame(game), mAlive(game->Lifeline().Handle())
{
    SetDelay(kUpdatePeriodMs, true, true, false);
}

bool TUpdateGameTask::Animate()
{
    if (!mAlive.IsAlive())
        return false;
    mGame->UpdateGame();
    return true;
}

bool TPauseListener::OnMessage(TMessage* message)
{
    if (message->GetType() != kAppDeactivated)
        return false;
    TModalWindow* own = mGame->FindParentModal();
    if (!own || own != TopModal() || !mGame->GetGameData() || mGame->GetGameData()->GetState() != kPlaying)
        return false;
    mGame->OpenPauseScreen();
    return true;
}
