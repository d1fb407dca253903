// The game screen driven through the game's own entry on the headless
// engine: Play on the main menu, the opening comic, Play on the map, the intro, "Let's play", the pause key
// and the pause screen, the level-over screen's count-up. The sound files are
// not copied: the game plays on without them.
#include "floorbot.h"
#include "gameapp_fixture.h"

#include "engine/base/clock.h"
#include "engine/platform/event.h"
#include "engine/window/modalwindow.h"
#include "engine/window/stringtable.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "game/floor/chair.h"
#include "game/floor/customer.h"
#include "game/floor/eatingstation.h"
#include "game/play/game.h"
#include "game/play/gamedata.h"
#include "game/rules/scoremanager.h"
#include "game/screens/levelover.h"
#include "game/settings/settings.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

class GameScreen : public GameAppWithConfigTest {
protected:
    // The pictures and sounds too, for the figures a bot picks up by their looks.
    void LinkGameArt()
    {
        const fs::path data = fs::path(QM_SOURCE_DIR) / "data" / "assets";
        for (const fs::directory_entry& entry : fs::directory_iterator(data))
            if (entry.is_directory() && !fs::exists(scratch.Path() / "assets" / entry.path().filename()))
                fs::create_directory_symlink(entry.path(), scratch.Path() / "assets" / entry.path().filename());
    }
    std::string HudText(const char* name)
    {
        auto* text = GetCast<TText>(Game() ? Game()->GetChildWindow(name, -1) : nullptr);
        return text ? text->GetText().c_str() : "<none>";
    }
    // "Let's play" once the intro's panel has slid in; then the game runs.
    void LetsPlay()
    {
        TWindow* letsplay = Top()->GetChildWindow("letsplay", -1);
        ASSERT_NE(letsplay, nullptr);
        for (int i = 0; i < 100 && !letsplay->IsVisible(); ++i)
            Idle(16);
        Press("letsplay");
        ASSERT_TRUE(WaitForTop("scripts/game.lua"));
    }
    TModalWindow* Top() { return manager->GetTopModalWindow(); }
    str TopName() { return Top() ? Top()->GetName() : str(); }
    TGame* Game() { return GetCast<TGame>(Find("maingamewindow")); }
    // Idle turns until the top modal window has the name (at most `turns`).
    bool WaitForTop(const char* name, int turns = 200)
    {
        for (int i = 0; i < turns && TopName() != str(name); ++i)
            Idle(16);
        return TopName() == str(name);
    }
    void Press(const char* name)
    {
        TWindow* w = Top()->GetChildWindow(name, -1);
        ASSERT_NE(w, nullptr) << name;
        ClickThroughGame(w);
        Idle(16);
    }
    // A first start: the name, Play on the main menu, then Play on the map
    // (level 1 chosen).
    void PlayFromTitle(const std::function<void()>& onTheMap = {})
    {
        Start();
        Idle();
        ASSERT_TRUE(WaitForTop("scripts/entername.lua", 400));
        for (char c : std::string("Ada"))
            Send(TEvent::kChar, static_cast<unsigned char>(c));
        Idle(16);
        Press("enterok");
        ASSERT_TRUE(WaitForTop("scripts/mainmenu.lua"));
        Press("play");
        // A new career opens with the story's first comic: paged through.
        ASSERT_TRUE(WaitForTop("scripts/comic_1_1.lua"));
        for (int page = 0; page < 5 && TopName() == str("scripts/comic_1_1.lua"); ++page)
            Press("right");
        ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua"));
        if (onTheMap)
            onTheMap();
        Press("play");
        ASSERT_TRUE(WaitForTop("scripts/levelintro.lua"));
    }
};

TEST_F(GameScreen, CurrentlyInGameIsFalseOnTheMenusAndTrueWhileTheShippedGameScreenIsUp)
{
    Start();
    Idle();
    ASSERT_TRUE(WaitForTop("scripts/entername.lua", 400));
    for (char c : std::string("Ada"))
        Send(TEvent::kChar, static_cast<unsigned char>(c));
    Idle(16);
    Press("enterok");
    ASSERT_TRUE(WaitForTop("scripts/mainmenu.lua"));
    EXPECT_EQ(Lua("gProbe = CurrentlyInGame()"), "false");
    Press("play");
    ASSERT_TRUE(WaitForTop("scripts/comic_1_1.lua"));
    EXPECT_EQ(Lua("gProbe = CurrentlyInGame()"), "false");
    for (int page = 0; page < 5 && TopName() == str("scripts/comic_1_1.lua"); ++page)
        Press("right");
    ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua"));
    EXPECT_EQ(Lua("gProbe = CurrentlyInGame()"), "false");
    Press("play");
    ASSERT_TRUE(WaitForTop("scripts/levelintro.lua"));
    EXPECT_EQ(Lua("gProbe = CurrentlyInGame()"), "true");
    TWindow* letsplay = Top()->GetChildWindow("letsplay", -1);
    ASSERT_NE(letsplay, nullptr);
    for (int i = 0; i < 100 && !letsplay->IsVisible(); ++i)
        Idle(16);
    Press("letsplay");
    ASSERT_TRUE(WaitForTop("scripts/game.lua"));
    EXPECT_EQ(Lua("gProbe = CurrentlyInGame()"), "true");
}

TEST_F(GameScreen, PlayOpensTheIntroThenPauseStopsTheClockForAsLongAsItIsUp)
{
    PlayFromTitle();
    TGame* game = Game();
    ASSERT_NE(game, nullptr);
    TGameData* floor = game->GetGameData();
    ASSERT_NE(floor, nullptr);
    TClock* clock = TSettings::GetInstance()->GetGameClock();
    EXPECT_TRUE(clock->IsPaused());
    EXPECT_EQ(floor->GetState(), kLevelIntro);
    auto* goal = GetCast<TText>(Top()->GetChildWindow("careerintro", -1));
    ASSERT_NE(goal, nullptr);
    EXPECT_EQ(goal->GetText(), floor->GetLevelManager()->GetLevelIntroText());

    // "Let's play" shows once the panel has slid in; it slides the panel
    // away and the game runs on its own clock.
    TWindow* letsplay = Top()->GetChildWindow("letsplay", -1);
    ASSERT_NE(letsplay, nullptr);
    EXPECT_FALSE(letsplay->IsVisible());
    for (int i = 0; i < 100 && !letsplay->IsVisible(); ++i)
        Idle(16);
    Press("letsplay");
    ASSERT_TRUE(WaitForTop("scripts/game.lua"));
    for (int i = 0; i < 60; ++i)
        Idle(16);
    EXPECT_FALSE(clock->IsPaused());
    EXPECT_EQ(floor->GetState(), kPlaying);

    // The pause key opens the pause screen; two seconds there are counted as
    // paused time, measured on the platform's timer, and the floor stands still.
    const float pausedBefore = floor->Metrics().PausedTime();
    Send(TEvent::kKeyDown, 'P');
    ASSERT_TRUE(WaitForTop("scripts/pause.lua"));
    EXPECT_TRUE(clock->IsPaused());
    const float played = floor->Metrics().PlayTime();
    for (int i = 0; i < 100; ++i)
        Idle(20);
    EXPECT_EQ(floor->Metrics().PlayTime(), played);
    Press("resume");
    ASSERT_TRUE(WaitForTop("scripts/game.lua"));
    for (int i = 0; i < 3 && clock->IsPaused(); ++i)
        Idle(1);
    EXPECT_FALSE(clock->IsPaused());
    EXPECT_NEAR(floor->Metrics().PausedTime() - pausedBefore, 2.0f, 0.1f);
    for (int i = 0; i < 10; ++i)
        Idle(16);
    EXPECT_GT(floor->Metrics().PlayTime(), played);
}

TEST_F(GameScreen, AFasterGameClockPlaysAllItsTimeInFloorSizedStepsWhileMenusKeepRealTime)
{
    ::setenv("CORVELLATRIP_TIME_SCALE", "8", 1);
    PlayFromTitle();  // the menus, the map and the intro's slide on real time
    ::unsetenv("CORVELLATRIP_TIME_SCALE");
    TGame* game = Game();
    ASSERT_NE(game, nullptr);
    TGameData* floor = game->GetGameData();
    TWindow* letsplay = Top()->GetChildWindow("letsplay", -1);
    ASSERT_NE(letsplay, nullptr);
    for (int i = 0; i < 100 && !letsplay->IsVisible(); ++i)
        Idle(16);
    Press("letsplay");
    ASSERT_TRUE(WaitForTop("scripts/game.lua"));
    for (int i = 0; i < 60 && floor->GetState() != kPlaying; ++i)
        Idle(16);
    ASSERT_EQ(floor->GetState(), kPlaying);

    // Eight times as much play as real time, frame by frame.
    float played = floor->Metrics().PlayTime();
    for (int i = 0; i < 10; ++i)
        Idle(16);
    EXPECT_NEAR(floor->Metrics().PlayTime() - played, 8 * 0.16f, 0.02f);

    // A stall of a real second plays eight floor frames, not eight seconds.
    played = floor->Metrics().PlayTime();
    Idle(1000);
    EXPECT_NEAR(floor->Metrics().PlayTime() - played, 8 * TGameData::kMaxFrameSeconds, 0.001f);
}

TEST_F(GameScreen, LevelOverTextsGlideOneAfterAnotherEvenFromWhereTheyBelong)
{
    // "served" is laid out exactly where the glide starts: it must arrive
    // there (no direction to divide by), and the texts after it stay hidden
    // until their turn.
    Script("levelover.lua",
           "MakeDialog { Window { name = 'overbackground', w = 800, h = 600,"
           "  LevelOver { name = 'leveloverwin', w = 800, h = 600,"
           "    Text { name = 'served', label = '#1', x = 400, y = 250, w = 100, h = 30 },"
           "    Text { name = 'lost', label = '#2', x = 100, y = 300, w = 100, h = 30 },"
           "    Text { name = 'levelscore', label = '#3', x = 100, y = 340, w = 100, h = 30 },"
           "    Text { name = 'score', label = '#4', x = 100, y = 380, w = 100, h = 30 },"
           "    Button { name = 'continue', label = '#go', x = 300, y = 500, w = 100, h = 40 } } } }");
    PlayFromTitle();
    TGame* game = Game();
    ASSERT_NE(game, nullptr);
    TLevelResult result;
    result.win = true;
    game->OpenLevelOver(result);
    auto* over = GetCast<TLevelOver>(Top()->GetChildWindow("leveloverwin", -1));
    ASSERT_NE(over, nullptr);
    TWindow* served = over->GetChildWindow("served", -1);
    TWindow* lost = over->GetChildWindow("lost", -1);
    TWindow* next = over->GetChildWindow("continue", -1);
    EXPECT_FALSE(served->IsVisible());
    EXPECT_FALSE(lost->IsVisible());
    EXPECT_FALSE(next->IsVisible());
    for (int i = 0; i < 70 && over->GetStep() < 2; ++i)
        Idle(16);
    EXPECT_EQ(served->GetRect().x1, 400);
    EXPECT_EQ(served->GetRect().y1, 250);
    EXPECT_TRUE(lost->IsVisible());
    for (int i = 0; i < 300 && over->GetStep() < TLevelOver::kDone; ++i)
        Idle(16);
    EXPECT_EQ(over->GetStep(), TLevelOver::kDone);
    for (const char* name : {"lost", "levelscore", "score"}) {
        TWindow* text = over->GetChildWindow(name, -1);
        EXPECT_TRUE(text->IsVisible()) << name;
        EXPECT_EQ(text->GetRect().x1, 100) << name;
    }
    EXPECT_TRUE(next->IsVisible());
}

// Each level starts from a clean display. The tutorial's button goes when
// the tutorial ends; level 1, served by a bot, closes ("Closed" on the sign);
// "Continue" opens level 2 with the sign saying "Open" and no tutorial button.
TEST_F(GameScreen, TheNextLevelStartsWithTheSignOpenAndNoTutorialButton)
{
    LinkGameArt();
    PlayFromTitle();
    LetsPlay();
    TGame* game = Game();
    ASSERT_NE(game, nullptr);
    TGameData* floor = game->GetGameData();
    TWindow* skip = game->GetChildWindow("skiptutorial", -1);
    ASSERT_NE(skip, nullptr);
    EXPECT_TRUE(skip->IsVisible());
    EXPECT_EQ(HudText("openclosed"), "Open");
    floor->GetTutorial().SetActive(false);  // the tutorial's last step
    Idle(16);
    EXPECT_FALSE(skip->IsVisible());

    TFloorBot bot(*floor, EBotManner::kCareful);
    bool closedShown = false;
    for (int i = 0; i < 20000 && floor->GetState() != kLevelOver; ++i) {
        Idle(16);
        bot.Act();
        closedShown = closedShown || HudText("openclosed") == "Closed";
    }
    ASSERT_EQ(floor->GetState(), kLevelOver);
    EXPECT_TRUE(closedShown);
    ASSERT_TRUE(floor->GetLastResult().win);
    ASSERT_TRUE(WaitForTop("scripts/levelover.lua"));
    // Under the board the display shows what the board says: the level's
    // score, and the cash with the bonus the win paid.
    auto* boardCash = GetCast<TText>(Top()->GetChildWindow("levelmoney", -1));
    ASSERT_NE(boardCash, nullptr);
    EXPECT_EQ(HudText("cashval"), std::string(boardCash->GetText().c_str()));
    EXPECT_EQ(HudText("cashval"), "$" + std::to_string(floor->GetLastResult().bonus));
    EXPECT_EQ(HudText("scoreval"), std::to_string(floor->GetLastResult().levelScore));
    TWindow* next = Top()->GetChildWindow("continue", -1);
    ASSERT_NE(next, nullptr);
    for (int i = 0; i < 400 && !next->IsVisible(); ++i)
        Idle(16);
    Press("continue");
    // A first win opens what it unlocked and the wardrobe before level 2.
    for (int i = 0; i < 2000 && TopName() != str("scripts/levelintro.lua"); ++i) {
        const str top = TopName();
        if (top == str("scripts/unlocked.lua") || top == str("scripts/ok.lua"))
            Press("ok");
        else if (top == str("scripts/quessascloset.lua"))
            Press("save");
        Idle(16);
    }
    ASSERT_TRUE(WaitForTop("scripts/levelintro.lua", 400));
    EXPECT_EQ(HudText("levelval"), "2");
    EXPECT_EQ(HudText("openclosed"), "Open");
    EXPECT_FALSE(skip->IsVisible());
    LetsPlay();
    for (int i = 0; i < 60; ++i)
        Idle(16);
    EXPECT_EQ(floor->GetState(), kPlaying);
    EXPECT_EQ(HudText("openclosed"), "Open");
    EXPECT_FALSE(skip->IsVisible());
}

// An endless shift that ends in a new personal best: the shipped board
// announces it with the score and leads to the best scores, and back. (The
// shipped string table keeps the scores local only, where the game announces
// no best: this test allows the server's table too.)
TEST_F(GameScreen, AnEndlessShiftsNewBestIsAnnouncedWithTheWayToTheBestScores)
{
    {
        const fs::path strings = scratch.Path() / "assets" / "strings.xml";
        std::ifstream in(strings, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::string from = "highscoremode</Data></Cell><Cell><Data ss:Type=\"String\">2<";
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos);
        text[at + from.size() - 2] = '1';
        std::ofstream(strings, std::ios::binary) << text;
    }
    LinkGameArt();
    PlayFromTitle([] {
        TSettings* settings = TSettings::GetInstance();
        settings->SetCurrentGameMode(TSettings::kEndlessMode);
        settings->SetCurrentLevel(0);  // the easy shift
        settings->PlayedEndlessTutorial();
    });
    LetsPlay();
    TGameData* floor = Game()->GetGameData();
    ASSERT_TRUE(floor->IsEndless());
    // Served for a while, then left alone until the hearts are gone.
    TFloorBot bot(*floor, EBotManner::kCareful);
    for (int i = 0; i < 60 * 90; ++i) {
        Idle(16);
        bot.Act();
    }
    for (int i = 0; i < 60 * 900 && floor->GetState() != kLevelOver; ++i)
        Idle(16);
    ASSERT_EQ(floor->GetState(), kLevelOver);
    const TLevelResult& result = floor->GetLastResult();
    ASSERT_TRUE(result.gameOver);
    ASSERT_GT(result.levelScore, 0);
    EXPECT_TRUE(result.newHiscore);
    ASSERT_TRUE(WaitForTop("scripts/levelover.lua"));
    auto* over = GetCast<TLevelOver>(Top()->GetChildWindow("leveloverwin", -1));
    ASSERT_NE(over, nullptr);
    for (int i = 0; i < 600 && over->GetStep() < TLevelOver::kDone; ++i)
        Idle(16);
    const auto text = [over](const char* name) {
        auto* t = GetCast<TText>(over->GetChildWindow(name, -1));
        return t ? std::string(t->GetText().c_str()) : std::string("<none>");
    };
    const auto shown = [over](const char* name) {
        TWindow* w = over->GetChildWindow(name, -1);
        return w && w->IsVisible();
    };
    const std::string score = std::to_string(result.levelScore);
    EXPECT_TRUE(shown("highscoretext"));
    EXPECT_EQ(text("highscoretext"), "A new personal best!");
    EXPECT_TRUE(shown("levelscorestr"));
    EXPECT_EQ(text("levelscorestr"), score);
    EXPECT_TRUE(shown("levelmoneystr"));
    EXPECT_EQ(text("levelmoneystr"), score);
    EXPECT_EQ(text("score"), score);
    EXPECT_EQ(text("levelinfo"), "Game over: too many guests walked out angry, and every heart is gone.");
    for (const char* careerOnly : {"levelscore", "levelmoney", "totalscore", "expert", "continue"})
        EXPECT_FALSE(shown(careerOnly)) << careerOnly;
    for (const char* way : {"quit", "tryagain", "highscorebutton"})
        EXPECT_TRUE(shown(way)) << way;
    Press("highscorebutton");
    ASSERT_TRUE(WaitForTop("scripts/hiscore.lua"));
    Press("gamemodeleft");  // the player looks at the career's table
    EXPECT_EQ(TSettings::GetInstance()->GetCurrentGameModeInt(), TSettings::kCareerMode);
    Press("back");
    ASSERT_TRUE(WaitForTop("scripts/levelover.lua"));
    for (int i = 0; i < 5; ++i)
        Idle(16);
    // Back on the board, the shift is the easy endless one it was.
    EXPECT_EQ(TSettings::GetInstance()->GetCurrentGameModeInt(), TSettings::kEndlessMode);
    EXPECT_EQ(TSettings::GetInstance()->GetCurrentLevel(), 0);
}

// The shipped board counts its results up in their rows: while a value
// glides in, it stays level with its row's label and clear of it, from the
// first frame to the last.
TEST_F(GameScreen, TheBoardsValuesGlideAlongTheirOwnRows)
{
    PlayFromTitle();
    TGame* game = Game();
    ASSERT_NE(game, nullptr);
    TLevelResult result;
    result.win = true;
    result.levelScore = 4321;
    result.bonus = 300;
    game->OpenLevelOver(result);
    auto* over = GetCast<TLevelOver>(Top()->GetChildWindow("leveloverwin", -1));
    ASSERT_NE(over, nullptr);
    const std::pair<const char*, const char*> rows[] = {
        {"served", "servedlabel"}, {"lost", "lostlabel"}, {"levelscore", "levelscorelabel"}, {"score", "totalscore"}};
    int glidingFrames = 0;
    for (int i = 0; i < 400 && over->GetStep() < TLevelOver::kDone; ++i) {
        Idle(16);
        for (auto [value, label] : rows) {
            TWindow* v = over->GetChildWindow(value, -1);
            auto* l = GetCast<TText>(over->GetChildWindow(label, -1));
            ASSERT_TRUE(v && l) << value;
            if (!v->IsVisible())
                continue;
            TRect text;
            l->GetTextBounds(&text);
            EXPECT_EQ(v->GetRect().y1, l->GetRect().y1) << value << " left its row";
            EXPECT_GT(v->GetRect().x2 - 60, l->GetRect().x1 + text.x2) << value << " runs over its label";
            glidingFrames += v->GetRect().x1 != 300;
        }
    }
    EXPECT_EQ(over->GetStep(), TLevelOver::kDone);
    EXPECT_GT(glidingFrames, 4);  // the values did glide
    for (const char* name : {"continue", "quit", "levelbonus"}) {
        TWindow* w = over->GetChildWindow(name, -1);
        EXPECT_TRUE(w && w->IsVisible()) << name;
    }
    EXPECT_EQ(GetCast<TText>(over->GetChildWindow("levelbonus", -1))->GetText(), str("+$300 bonus"));
}

// Parties that walked out say what they cost once their count is in place:
// a level with a party served can end on 0, and the board shows why.
TEST_F(GameScreen, TheWalkOutsRowSaysWhatTheyCost)
{
    PlayFromTitle();
    TGame* game = Game();
    ASSERT_NE(game, nullptr);
    TScoreManager* score = game->GetGameData()->GetScoreManager();
    score->ScoreAction(kScoreCheck, 0, 0);
    score->Penalize(-300, 0, 0);
    score->Penalize(-300, 0, 0);
    TLevelResult result;
    result.levelScore = game->GetGameData()->GetLevelScore();
    result.walkouts = score->GetPenalties();
    result.penaltyPoints = score->GetPenaltyPoints();
    game->OpenLevelOver(result);
    auto* over = GetCast<TLevelOver>(Top()->GetChildWindow("leveloverwin", -1));
    ASSERT_NE(over, nullptr);
    TWindow* lost = over->GetChildWindow("lost", -1);
    auto* cost = GetCast<TText>(over->GetChildWindow("lostpoints", -1));
    ASSERT_TRUE(lost && cost);
    EXPECT_EQ(cost->GetText(), str("-600 points"));
    bool costBeforeCount = false;
    for (int i = 0; i < 400 && over->GetStep() < TLevelOver::kDone; ++i) {
        Idle(16);
        costBeforeCount = costBeforeCount || (cost->IsVisible() && over->GetStep() < 2);
    }
    EXPECT_FALSE(costBeforeCount);
    EXPECT_TRUE(cost->IsVisible());
    EXPECT_EQ(GetCast<TText>(lost)->GetText(), str("2"));
}

// A lost level says how close it came, once its score is in; a won one
// says nothing of the kind.
TEST_F(GameScreen, ALossSaysHowFarItFellShortOfTheGoal)
{
    PlayFromTitle();
    TGame* game = Game();
    ASSERT_NE(game, nullptr);
    const int goal = game->GetGameData()->GetCurrentGoal();
    ASSERT_GT(goal, 120);
    for (bool win : {false, true}) {
        TLevelResult result;
        result.win = win;
        result.levelScore = win ? goal : goal - 120;
        result.goal = goal;
        game->OpenLevelOver(result);
        auto* over = GetCast<TLevelOver>(Top()->GetChildWindow("leveloverwin", -1));
        ASSERT_NE(over, nullptr);
        auto* shortfall = GetCast<TText>(over->GetChildWindow("shortfall", -1));
        TWindow* levelScore = over->GetChildWindow("levelscore", -1);
        ASSERT_TRUE(shortfall && levelScore);
        bool beforeScore = false;
        for (int i = 0; i < 400 && over->GetStep() < TLevelOver::kDone; ++i) {
            Idle(16);
            beforeScore = beforeScore || (shortfall->IsVisible() && over->GetStep() < 4);
        }
        EXPECT_FALSE(beforeScore);
        EXPECT_EQ(shortfall->IsVisible(), !win) << (win ? "a win" : "a loss");
        if (!win) {
            EXPECT_EQ(shortfall->GetText(), str("120 points short"));
        }
        manager->PopModal();
    }
}

// A level's end is decided once: the board shows every value of the
// level's result and nothing else, and what the end keeps in the player's
// progress is that same result (the career's total on the board is the
// one the settings add up once the score is kept).
TEST_F(GameScreen, TheBoardShowsTheLevelsResultAndTheSettingsKeepIt)
{
    PlayFromTitle();
    LetsPlay();
    TGame* game = Game();
    ASSERT_NE(game, nullptr);
    TGameData* floor = game->GetGameData();
    floor->GetTutorial().SetActive(false);
    TScoreManager* score = floor->GetScoreManager();
    for (int i = 0; i < 3; ++i)
        score->ScoreAction(kScoreCheck, 0, 0);
    score->Penalize(-50, 0, 0);
    score->SetScore(score->GetLevelStartScore() + floor->GetCurrentExpert() + 7);
    floor->EnterLevelOver();
    ASSERT_TRUE(WaitForTop("scripts/levelover.lua"));
    const TLevelResult result = floor->GetLastResult();
    auto* over = GetCast<TLevelOver>(Top()->GetChildWindow("leveloverwin", -1));
    ASSERT_NE(over, nullptr);
    for (int i = 0; i < 600 && over->GetStep() < TLevelOver::kDone; ++i)
        Idle(16);
    ASSERT_EQ(over->GetStep(), TLevelOver::kDone);
    const auto text = [over](const char* name) {
        auto* t = GetCast<TText>(over->GetChildWindow(name, -1));
        return t ? std::string(t->GetText().c_str()) : std::string("<none>");
    };
    const auto shown = [over](const char* name) {
        TWindow* w = over->GetChildWindow(name, -1);
        return w && w->IsVisible();
    };
    ASSERT_TRUE(result.win);
    ASSERT_TRUE(result.expert);
    EXPECT_EQ(result.served, 3);
    EXPECT_EQ(result.walkouts, 1);
    EXPECT_EQ(text("served"), std::to_string(result.served));
    EXPECT_EQ(text("lost"), std::to_string(result.walkouts));
    EXPECT_EQ(text("lostpoints"), std::to_string(result.penaltyPoints) + " points");
    EXPECT_TRUE(shown("lostpoints"));
    EXPECT_EQ(text("level"), std::string(result.level.c_str()));
    EXPECT_EQ(text("levelscore"), std::to_string(result.levelScore));
    EXPECT_EQ(text("levelmoney"), "$" + std::to_string(result.cash));
    EXPECT_EQ(text("levelbonus"), "+$" + std::to_string(result.bonus) + " bonus");
    EXPECT_EQ(result.bonus, 400);  // a first win, a first expert mark
    EXPECT_EQ(text("score"), std::to_string(result.totalScore));
    EXPECT_EQ(text("levelinfo"), std::string(result.verdict.c_str()));
    EXPECT_EQ(result.verdict, floor->GetLevelManager()->GetLevelOverText(true));
    EXPECT_TRUE(shown("expert"));
    EXPECT_FALSE(shown("shortfall"));
    EXPECT_TRUE(shown("continue"));
    EXPECT_FALSE(shown("highscorebutton"));

    // What the board showed is what was kept.
    TSettings* settings = TSettings::GetInstance();
    EXPECT_EQ(settings->GetLevelScore(0, 0), result.levelScore);
    EXPECT_TRUE(settings->GotExpert(0, 0));
    EXPECT_EQ(settings->GetCareerScore(-1), result.totalScore);
    EXPECT_EQ(settings->GetCareerCash(), result.cash);
    EXPECT_EQ(result.nextCareerLevel, 1);
    EXPECT_EQ(settings->GetLastCareerLevel(), 1);
}

// The first level on the game's own art: the floor the tutorial teaches on.
class GameScreenFloor : public GameScreen {
protected:
    void SetUp() override
    {
        GameScreen::SetUp();
        const fs::path data = fs::path(QM_SOURCE_DIR) / "data" / "assets";
        for (const fs::directory_entry& entry : fs::directory_iterator(data))
            if (entry.is_directory() && !fs::exists(scratch.Path() / "assets" / entry.path().filename()))
                fs::create_directory_symlink(entry.path(), scratch.Path() / "assets" / entry.path().filename());
    }
    static TPoint Middle(const TRect& r) { return {(r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2}; }
    std::string Text(const char* key)
    {
        TStringTable* strings = engine.platform->GetStringTable();
        return strings ? strings->GetString(key, "", "", "", "", "").c_str() : "";
    }
};

// What the tutorial and the help teach is what the floor takes: a click on
// a waiting party picks it up and puts it straight back, so every text says
// to drag it; pressing on the party, moving over the table and letting go
// seats it there.
TEST_F(GameScreenFloor, TheTutorialsDragSeatsThePartyWhereAClickDoesNot)
{
    PlayFromTitle();
    for (const char* key : {"tutorial_0", "tutorial_1", "tutorial_14", "tutorial_14_a", "help1_body"}) {
        std::string text = Text(key);
        for (char& c : text)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_TRUE(text.find("drag") != std::string::npos || text.find("hold") != std::string::npos ||
                    text.find("let go") != std::string::npos)
            << key << ": " << text;
        EXPECT_EQ(text.find("click the party"), std::string::npos) << key;
        EXPECT_EQ(text.find("click a party"), std::string::npos) << key;
    }
    TGame* game = Game();
    ASSERT_NE(game, nullptr);
    TGameData* floor = game->GetGameData();
    TWindow* letsplay = Top()->GetChildWindow("letsplay", -1);
    for (int i = 0; i < 100 && !letsplay->IsVisible(); ++i)
        Idle(16);
    Press("letsplay");
    ASSERT_TRUE(WaitForTop("scripts/game.lua"));
    ASSERT_TRUE(floor->GetTutorial().IsActive());
    for (int i = 0; i < 600 && floor->GetWaitingParties().empty(); ++i)
        Idle(16);
    ASSERT_FALSE(floor->GetWaitingParties().empty());
    TParty* party = floor->GetWaitingParties().front();
    const int number = gTutorialDefs[floor->GetTutorial().GetStep() + 1].param;
    TEatingStation* table = nullptr;
    for (TEatingStation* station : floor->GetEatingStations())
        if (station->GetTableNumber() == number)
            table = station;
    ASSERT_NE(table, nullptr);
    const TPoint grab = Middle(party->MembersInBuildOrder().front()->BoundingBox());
    const TPoint seat = Middle(table->GetChair(0)->BoundingBox());

    // A click on the party, then one on the table: nobody sits down.
    Send(TEvent::kMouseMove, 0, grab.x, grab.y);
    Send(TEvent::kMouseDown, 0, grab.x, grab.y);
    Send(TEvent::kMouseUp, 0, grab.x, grab.y);
    Idle(16);
    Send(TEvent::kMouseMove, 0, seat.x, seat.y);
    Send(TEvent::kMouseDown, 0, seat.x, seat.y);
    Send(TEvent::kMouseUp, 0, seat.x, seat.y);
    Idle(16);
    EXPECT_EQ(table->GetParty(), nullptr);
    EXPECT_EQ(floor->GetWaitingParties().front(), party);

    // Press, move over the table, let go: seated, and the tutorial moves on.
    Send(TEvent::kMouseMove, 0, grab.x, grab.y);
    Send(TEvent::kMouseDown, 0, grab.x, grab.y);
    for (int step = 1; step <= 8; ++step) {
        Send(TEvent::kMouseMove, 0, grab.x + (seat.x - grab.x) * step / 8, grab.y + (seat.y - grab.y) * step / 8);
        Idle(16);
    }
    Send(TEvent::kMouseUp, 0, seat.x, seat.y);
    Idle(16);
    EXPECT_EQ(table->GetParty(), party);
    EXPECT_EQ(gTutorialDefs[floor->GetTutorial().GetStep()].action, kTutorialReadyToOrder);
}
