// The flows between the screens, driven through the game's own entry and
// its shipped scripts on the headless engine, the way a player clicks:
// the menu's music ending under a level, an endless shift bought an
// upgrade between its shifts, a restaurant's last level followed by the
// next restaurant's comic, what opened and the wardrobe, an extra level and
// a downloaded level played to their level over, and Quessa's corner. Where
// a level's content does not matter, a level file of the test's own stands
// in for the shipped one (an empty shift that ends at once).
#include "gameapp_fixture.h"
#include "floorbot.h"

#include "engine/platform/event.h"
#include "engine/platform/platform.h"
#include "engine/sound/soundmanager.h"
#include "engine/sound/soundstream.h"
#include "engine/window/button.h"
#include "engine/window/modalwindow.h"
#include "engine/window/stringtable.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "game/floor/table.h"
#include "game/levels/levellayout.h"
#include "game/levels/levelmanager.h"
#include "game/play/game.h"
#include "game/play/gamedata.h"
#include "game/play/restaurant.h"
#include "game/rules/scoremanager.h"
#include "game/rules/tutorial.h"
#include "game/screens/chooserestaurant.h"
#include "game/screens/cursor.h"
#include "game/screens/mainmenu.h"
#include "game/screens/mapmarkers.h"
#include "game/screens/upgradepicker.h"
#include "game/settings/settings.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A career level with no parties: it closes at once and is won with 0.
std::string EmptyLevel(int number, const char* layout)
{
    return "<dataroot><career><level>" + std::to_string(number) + "</level><goal>0</goal><expert>100</expert>"
           "<layout>" + layout + "</layout></career></dataroot>";
}

}  // namespace

class FlowTest : public GameAppWithConfigTest {
protected:
    void CopyArt(const char* folder)
    {
        const fs::path from = fs::path(QM_SOURCE_DIR) / "data" / "assets" / folder;
        fs::create_directories(scratch.Path() / "assets" / folder);
        fs::copy(from, scratch.Path() / "assets" / folder,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }

    // The rest of the game's art, linked: the floor a bot plays needs its
    // tables' chairs and the customers' figures.
    void LinkAllArt()
    {
        for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(QM_SOURCE_DIR) / "data" / "assets"))
            if (entry.is_directory() && !fs::exists(scratch.Path() / "assets" / entry.path().filename()))
                fs::create_directory_symlink(entry.path(), scratch.Path() / "assets" / entry.path().filename());
    }

    TModalWindow* Top() { return manager->GetTopModalWindow(); }
    str TopName() { return Top() ? Top()->GetName() : str(); }
    bool WaitForTop(const char* name, int turns = 400)
    {
        for (int i = 0; i < turns && TopName() != str(name); ++i)
            Idle(16);
        return TopName() == str(name);
    }
    TWindow* InTop(const char* name) { return Top() ? Top()->GetChildWindow(name, -1) : nullptr; }
    // Waits for the button to show (a sliding panel shows it on arrival), then clicks it.
    void Press(const char* name, int turns = 300)
    {
        TWindow* w = InTop(name);
        for (int i = 0; i < turns && (!w || !w->IsVisible()); ++i) {
            Idle(16);
            w = InTop(name);
        }
        ASSERT_NE(w, nullptr) << name << " on " << TopName().c_str();
        ASSERT_TRUE(w->IsVisible()) << name;
        ClickThroughGame(w);
        Idle(16);
    }
    void ClickAt(TPoint p)
    {
        Send(TEvent::kMouseMove, 0, p.x, p.y);
        Send(TEvent::kMouseDown, 0, p.x, p.y);
        Send(TEvent::kMouseUp, 0, p.x, p.y);
        Idle(16);
    }
    // The pointer moved onto the middle of the window: the cursor it shows there.
    TCursor::eCursorState PointerOver(TWindow* w)
    {
        EXPECT_NE(w, nullptr);
        if (!w)
            return TCursor::kArrow;
        TRect r;
        w->GetWindowRect(&r);
        // In two steps, as a pointer moves: a button the pointer leaves
        // takes the first.
        Send(TEvent::kMouseMove, 0, r.x1 + 2, r.y1 + 2);
        Send(TEvent::kMouseMove, 0, (r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2);
        Idle(16);
        return TCursor::GetInstance()->GetState();
    }
    // A first start: the name, then the main menu.
    void FirstStart()
    {
        StartEngine();
        engine.platform->InitSound();
        app = std::make_unique<TGameApp>(engine.platform.get());
        app->StartUp();
        PassSplash();
        // With the game's art the loading screen has a few hundred pictures to load.
        ASSERT_TRUE(WaitForTop("scripts/entername.lua", 4000));
        for (char c : std::string("Ada"))
            Send(TEvent::kChar, static_cast<unsigned char>(c));
        Idle(16);
        Press("enterok");
        ASSERT_TRUE(WaitForTop("scripts/mainmenu.lua"));
    }
    // The player has won the first `won` career levels.
    static void Won(int won)
    {
        TSettings* settings = TSettings::GetInstance();
        settings->UnlockLevel(0, 0);
        for (int n = 0; n < won; ++n)
            settings->RecordLevelScore(n / 10, n % 10, 1000 + n, false);
        settings->SetLastCareerLevel(won);
    }
    void PageThroughComic(const char* script)
    {
        ASSERT_TRUE(WaitForTop(script));
        for (int page = 0; page < 5 && TopName() == str(script); ++page)
            Press("right");
    }
    // A point of the map's first restaurant (the ship), or (-1, -1).
    TPoint ShipOnTheMap()
    {
        auto* map = GetCast<TChooseRestaurant>(InTop("map"));
        TPoint ship{-1, -1};
        for (int y = 0; map && y < 600 && ship.x < 0; y += 5)
            for (int x = 0; x < 800 && ship.x < 0; x += 5)
                if (map->PointToRestaurant(TPoint{x, y}) == 0)
                    ship = TPoint{x, y};
        return ship;
    }
    TGameData* Floor()
    {
        auto* game = GetCast<TGame>(Find("maingamewindow"));
        return game ? game->GetGameData() : nullptr;
    }
    // From the intro into play.
    void LetsPlay()
    {
        ASSERT_TRUE(WaitForTop("scripts/levelintro.lua"));
        Press("letsplay");
        ASSERT_TRUE(WaitForTop("scripts/game.lua"));
        for (int i = 0; i < 200 && Floor() && Floor()->GetState() != kPlaying; ++i)
            Idle(16);
        ASSERT_NE(Floor(), nullptr);
        ASSERT_EQ(Floor()->GetState(), kPlaying);
    }
    // Play on the main menu and the map: the level last played (emptied, so
    // it closes at once) earns something (a best score is kept only above
    // the last), is won, and its level-over screen is continued.
    void PlayTheMapsLevel()
    {
        Press("play");
        ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua"));
        Press("play");
        ASSERT_NO_FATAL_FAILURE(LetsPlay());
    }
    void WinTheMapsLevel()
    {
        ASSERT_NO_FATAL_FAILURE(PlayTheMapsLevel());
        TScoreManager* score = Floor()->GetScoreManager();
        score->SetScore(score->GetScore() + 400);
        ASSERT_TRUE(WaitForTop("scripts/levelover.lua", 600));
    }
    void WinTheMapsLevelAndContinue()
    {
        ASSERT_NO_FATAL_FAILURE(WinTheMapsLevel());
        Press("continue");
    }
    // A bot plays the level on until its level-over screen.
    void PlayToLevelOver(int turns = 40000)
    {
        TFloorBot bot(*Floor());
        for (int i = 0; i < turns && TopName() != str("scripts/levelover.lua"); ++i) {
            if (TopName() == str("scripts/game.lua") && Floor() && Floor()->GetState() == kPlaying)
                bot.Act();
            Idle(32);
        }
        ASSERT_EQ(TopName(), str("scripts/levelover.lua"));
    }
    int PlayingMusicStreams()
    {
        int playing = 0;
        for (const auto& stream : engine.platform->GetSoundManager()->Streams())
            if (stream->Type() == TSoundManager::kMusic && stream->IsPlaying())
                ++playing;
        return playing;
    }
    std::string Text(const char* name)
    {
        auto* text = GetCast<TText>(InTop(name));
        return text ? text->GetText().c_str() : "";
    }
    // The string table's text of `key` with its first argument.
    static std::string String(const char* key, const std::string& argument = "")
    {
        TStringTable* table = TPlatform::GetInstance()->GetStringTable();
        return table ? table->GetString(key, argument.c_str(), "", "", "", "").c_str() : "";
    }
};

// The menu's music stops when the menu closes for play: once a level's own
// music plays it is the only music to be heard.
TEST_F(FlowTest, TheMenuMusicIsSilentOnceALevelsMusicPlays)
{
    CopyArt("audio/music");
    FirstStart();
    ASSERT_NE(GetCast<TMainMenu>(Find("mainmenu")), nullptr);
    EXPECT_EQ(PlayingMusicStreams(), 1);  // the menu's
    Press("play");
    PageThroughComic("scripts/comic_1_1.lua");
    ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua"));
    EXPECT_EQ(Find("mainmenu"), nullptr);
    EXPECT_EQ(PlayingMusicStreams(), 0);  // the map is quiet
    Press("play");
    LetsPlay();
    for (int i = 0; i < 60; ++i)
        Idle(16);
    ASSERT_NE(Floor()->GetStaff().Restaurant().CurrentMusic(), nullptr);
    EXPECT_EQ(PlayingMusicStreams(), 1);  // the restaurant's piece, and nothing else
}

// A first endless game with a career under way: the endless tutorial runs
// on the first career level, and when it ends, skipped or followed, the
// first shift starts from nothing: score 0, shift 1, none of the career's
// score in it. The difficulty chosen leaves the career's place as it was.
class FirstEndlessStart : public FlowTest, public ::testing::WithParamInterface<bool> {};

TEST_P(FirstEndlessStart, BeginsAtShiftOneWithScoreZeroAndLeavesTheCareersPlace)
{
    const bool skipped = GetParam();
    CopyArt("map");
    FirstStart();
    Won(12);
    TSettings* settings = TSettings::GetInstance();
    ASSERT_GT(settings->GetCareerScore(-1), 10000);
    Press("endless");
    ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua"));
    const TPoint ship = ShipOnTheMap();
    ASSERT_GE(ship.x, 0) << "the first restaurant is not on the map";
    ClickAt(ship);
    ASSERT_TRUE(WaitForTop("scripts/choosedifficulty.lua"));
    Press("easy");
    // The practice shift's own intro, not the career's first level's.
    ASSERT_TRUE(WaitForTop("scripts/levelintro.lua"));
    EXPECT_TRUE(InTop("endlessshiftintro")->IsVisible());
    EXPECT_EQ(Text("endlessshiftintro"), String("endlessshifttutorial"));
    EXPECT_FALSE(InTop("careerintro")->IsVisible());
    EXPECT_FALSE(InTop("tutoriallevel")->IsVisible());
    ASSERT_NO_FATAL_FAILURE(LetsPlay());
    ASSERT_TRUE(Floor()->GetTutorial().IsActive());
    EXPECT_FALSE(Floor()->IsEndless());
    EXPECT_EQ(Floor()->GetScoreManager()->GetScore(), 0);
    // The HUD of an endless game: shift 0, its goal, its lives.
    Idle(16);
    EXPECT_EQ(Text("levelval"), "0");
    EXPECT_TRUE(InTop("goal")->IsVisible());
    EXPECT_EQ(Text("goal"), String("hud_practice", std::to_string(Floor()->GetCurrentGoal())))
        << "the level 0 is the practice shift";
    EXPECT_TRUE(InTop("livesicon_0")->IsVisible());

    if (skipped) {
        Press("skiptutorial");
    } else {
        // Each floor step reported as done; the upgrade tip is followed on
        // the HUD: its button shows at the tip's goal and opens the screen.
        // The last tip ("Good luck!") ends by itself.
        CopyArt("ui/upgrades");
        TTutorial& tutorial = Floor()->GetTutorial();
        bool upgraded = false;
        for (int i = 0; i < 4000 && tutorial.IsActive(); ++i) {
            const TTutorialDef& step = gTutorialDefs[tutorial.GetStep()];
            if (step.action == kTutorialUpgradeScreen) {
                ASSERT_FALSE(upgraded) << "the upgrade tip came twice";
                Floor()->GetScoreManager()->SetScore(Floor()->GetCurrentGoal());
                ASSERT_NO_FATAL_FAILURE(Press("upgrade", 30));
                ASSERT_TRUE(WaitForTop("scripts/upgrade.lua"));
                EXPECT_NE(gTutorialDefs[tutorial.GetStep()].action, kTutorialUpgradeScreen);
                ClickAt(TUpgradePicker::OfferCentre(0));
                Press("continue");
                ASSERT_TRUE(WaitForTop("scripts/game.lua"));
                upgraded = true;
            } else if (step.action == kTutorialTwoSeconds || step.action == kTutorialFourSeconds) {
                Idle(32);
            } else {
                tutorial.AdvanceState(static_cast<eTutorialActions>(step.action), step.param);
            }
        }
        EXPECT_TRUE(upgraded);
    }
    for (int i = 0; i < 400 && !Floor()->IsEndless(); ++i)
        Idle(16);
    ASSERT_TRUE(Floor()->IsEndless());
    ASSERT_NO_FATAL_FAILURE(LetsPlay());  // the shift's own intro
    for (int i = 0; i < 30; ++i)
        Idle(16);
    EXPECT_EQ(Floor()->GetScoreManager()->GetScore(), 0);
    EXPECT_EQ(Floor()->GetLevelManager()->GetCurrentLevelStr(), str("1"));
    EXPECT_EQ(Text("levelval"), "1");
    EXPECT_TRUE(settings->HasPlayedEndlessTutorial());
    EXPECT_EQ(settings->GetLastCareerLevel(), 12);
    EXPECT_EQ(settings->GetCareerScore(-1), [] {
        int sum = 0;
        for (int n = 0; n < 12; ++n)
            sum += 1000 + n;
        return sum;
    }());
}

INSTANTIATE_TEST_SUITE_P(SkippedOrFollowed, FirstEndlessStart, ::testing::Bool());

// Endless from the menu: a restaurant of the map, its difficulty, the
// shift; when its goal is reached the upgrade notice shows, the upgrade
// screen offers the table first, and buying it puts the new tables on the
// floor for the next shift.
TEST_F(FlowTest, TheUpgradeBoughtBetweenEndlessShiftsIsOnTheFloor)
{
    CopyArt("map");
    CopyArt("ui/upgrades");
    FirstStart();
    TSettings::GetInstance()->PlayedEndlessTutorial();
    Press("endless");
    ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua"));
    EXPECT_EQ(TSettings::GetInstance()->GetCurrentGameModeInt(), TSettings::kEndlessMode);
    EXPECT_FALSE(InTop("play")->IsVisible());  // no levels in endless
    const TPoint ship = ShipOnTheMap();
    ASSERT_GE(ship.x, 0) << "the first restaurant is not on the map";
    ClickAt(ship);
    ASSERT_TRUE(WaitForTop("scripts/choosedifficulty.lua"));
    Press("medium");
    ASSERT_TRUE(WaitForTop("scripts/game.lua", 50) || WaitForTop("scripts/levelintro.lua"));
    EXPECT_EQ(TSettings::GetInstance()->GetCurrentLevel(), 1);
    LetsPlay();
    TGameData* floor = Floor();
    ASSERT_TRUE(floor->IsEndless());
    const std::size_t tablesBefore = floor->GetTables().size();
    EXPECT_FALSE(InTop("upgrade")->IsVisible());

    // The shift's goal is reached: the notice shows.
    floor->GetScoreManager()->SetScore(floor->GetCurrentGoal());
    for (int i = 0; i < 10; ++i)
        Idle(16);
    ASSERT_TRUE(InTop("upgrade")->IsVisible());
    Press("upgrade");
    ASSERT_TRUE(WaitForTop("scripts/upgrade.lua"));
    auto* picker = GetCast<TUpgradePicker>(InTop("upgradepicker"));
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->GetOfferId(0), str("table"));
    ASSERT_TRUE(picker->HasOffer(0));
    ClickAt(TUpgradePicker::OfferCentre(0));
    EXPECT_EQ(picker->GetChosen(), 0);
    Press("continue");
    ASSERT_TRUE(WaitForTop("scripts/game.lua"));

    // The next shift: the new tables stand on the floor, which plays on.
    floor = Floor();
    // Every table of the shift's second floor stands once: the standing
    // ones were kept, the others added.
    TLevelLayout upgraded;
    upgraded.OpenLevel("endless_cruise1");
    std::vector<TTableDesc> tables;
    std::optional<TBarDesc> bar;
    upgraded.SetupTables(&tables, &bar);
    EXPECT_GT(tables.size(), tablesBefore);
    EXPECT_EQ(floor->GetTables().size(), tables.size());
    const float played = floor->Metrics().PlayTime();
    for (int i = 0; i < 30; ++i)
        Idle(16);
    EXPECT_EQ(floor->GetState(), kPlaying);
    EXPECT_GT(floor->Metrics().PlayTime(), played);
    EXPECT_FALSE(InTop("upgrade")->IsVisible());
}

// A restaurant's last level won: the next restaurant's story comic, the
// notice of what opened (an outfit and an extra level), the wardrobe with
// its first-visit tip, then the main menu.
TEST_F(FlowTest, ARestaurantsLastLevelLeadsToTheComicTheNoticeAndTheWardrobe)
{
    Asset("config/career/10.xml", EmptyLevel(10, "cruise10").c_str());
    FirstStart();
    Won(9);
    ASSERT_NO_FATAL_FAILURE(WinTheMapsLevelAndContinue());

    // The restaurant is done: the next one's story.
    PageThroughComic("scripts/comic_2_1.lua");
    TSettings* settings = TSettings::GetInstance();
    EXPECT_EQ(settings->GetCurrentRestaurant(), 1);
    EXPECT_EQ(settings->GetLastCareerLevel(), 10);
    EXPECT_EQ(settings->GetLevelScore(0, 9), 400);

    ASSERT_TRUE(WaitForTop("scripts/unlocked.lua"));
    const std::string body = Text("body");
    EXPECT_NE(body.find("Boots"), std::string::npos) << body;
    EXPECT_NE(body.find("Harbour Lights"), std::string::npos) << body;
    EXPECT_TRUE(settings->IsNewClothing("shoes2"));
    Press("ok");

    ASSERT_TRUE(WaitForTop("scripts/ok.lua"));  // the wardrobe's first visit explains it
    Press("ok");
    ASSERT_TRUE(WaitForTop("scripts/quessascloset.lua"));
    Press("save");
    ASSERT_TRUE(WaitForTop("scripts/mainmenu.lua"));
}

// The extra levels: opened by finishing the cruise, listed with the levels
// the player downloaded; each is played to its level over, keeps no career
// score and goes back to the list. The pointer is a hand only over what
// acts: a locked pack's padlock says what opens the pack, and a downloaded
// level that cannot be read has no play button.
TEST_F(FlowTest, AnExtraLevelAndADownloadedLevelArePlayedToTheirLevelOver)
{
    const fs::path downloads = scratch.Path() / "data" / "corvellatrip" / "levels";
    fs::create_directories(downloads);
    std::ofstream(downloads / "Cut_short.xml") << "<dataroot><career><level>1</level><goal>5";
    std::ofstream(downloads / "Quick_lunch.xml")
        << "<dataroot><career><level>1</level><restaurant>1</restaurant><goal>50</goal>"
           // The tutorial's floor: two tables of four, red and blue.
           "<layout>------------------------------------------------"
           "...................................................r4r....b4b......r4r....b4b..."
           "................................................................................</layout>"
           "<description>A quick lunch on the train.</description>"
           "<time1>1000</time1><groupType1>young</groupType1><groupDef1>bb</groupDef1>"
           "</career></dataroot>";
    LinkAllArt();
    FirstStart();
    Won(10);
    TSettings* settings = TSettings::GetInstance();
    const int careerScore = settings->GetCareerScore(-1);
    Press("play");
    ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua"));
    Press("lockedlevels");
    ASSERT_TRUE(WaitForTop("scripts/lockedlevels.lua"));
    EXPECT_EQ(Text("leveltext_1"), "Deep Dive");  // (in the order of their files: abyss, express, harbour)
    EXPECT_EQ(Text("statustext_1"), "Locked");
    // A level cut short is listed by its name, saying why, with nothing to play.
    EXPECT_EQ(Text("downloadtext_1"), "Cut short");
    EXPECT_EQ(Text("downloadproblem_1"), "Cannot be read: it is damaged.");
    EXPECT_EQ(InTop("downloadbutton_1"), nullptr);
    EXPECT_EQ(Text("downloadtext_2"), "Quick lunch");
    EXPECT_EQ(Text("downloadproblem_2"), "");
    // Deep Dive opens with the submarine's last level: its row says so, and
    // shows a padlock over its play button, whose click says it again.
    EXPECT_EQ(Text("unlocktext_1"), "Finish level 30 to open it");
    TWindow* padlock = InTop("lockedbutton_1");
    ASSERT_NE(padlock, nullptr);
    EXPECT_TRUE(padlock->IsVisible());
    EXPECT_EQ(PointerOver(padlock), TCursor::kClick);
    TRect lockRect;
    padlock->GetWindowRect(&lockRect);
    ClickAt(TPoint((lockRect.x1 + lockRect.x2) / 2, (lockRect.y1 + lockRect.y2) / 2));
    ASSERT_TRUE(WaitForTop("scripts/ok.lua")) << "a click on the padlock did nothing";
    EXPECT_EQ(Text("title"), "Deep Dive");
    EXPECT_EQ(Text("body"), "Finish level 30 to open it");
    Press("ok");
    ASSERT_TRUE(WaitForTop("scripts/lockedlevels.lua"));
    EXPECT_EQ(settings->GetLevelMode(), 0) << "a locked pack was played";

    // Harbour Lights, the cruise's extra level: ready once the cruise is done.
    int harbour = 0;
    for (int k = 1; k <= 3; ++k)
        if (Text(("leveltext_" + std::to_string(k)).c_str()) == "Harbour Lights")
            harbour = k;
    ASSERT_GT(harbour, 0);
    EXPECT_EQ(Text(("statustext_" + std::to_string(harbour)).c_str()), "Ready");
    EXPECT_EQ(Text(("unlocktext_" + std::to_string(harbour)).c_str()), "");
    padlock = InTop(("lockedbutton_" + std::to_string(harbour)).c_str());
    ASSERT_NE(padlock, nullptr);
    EXPECT_FALSE(padlock->IsVisible());
    EXPECT_EQ(PointerOver(InTop(("gamebutton_" + std::to_string(harbour)).c_str())), TCursor::kClick);
    EXPECT_EQ(PointerOver(InTop("downloadbutton_2")), TCursor::kClick);
    EXPECT_EQ(PointerOver(InTop("downloadtext_1")), TCursor::kArrow);
    Press(("gamebutton_" + std::to_string(harbour)).c_str());
    LetsPlay();
    EXPECT_EQ(settings->GetLevelMode(), 1);
    PlayToLevelOver();
    // (Its fairness is the level data test's; the bot here only seats and serves.)
    Press("quit");
    ASSERT_TRUE(WaitForTop("scripts/lockedlevels.lua"));
    EXPECT_EQ(settings->GetCareerScore(-1), careerScore);
    EXPECT_EQ(settings->GetLastCareerLevel(), 10);

    // The downloaded level, with its own description as the intro text.
    Press("downloadbutton_2");
    ASSERT_TRUE(WaitForTop("scripts/levelintro.lua"));
    EXPECT_EQ(Text("careerintro"), "A quick lunch on the train.");
    LetsPlay();
    EXPECT_EQ(settings->GetCurrentRestaurant(), 1);
    PlayToLevelOver();
    EXPECT_TRUE(Floor()->GetLastResult().win);
    EXPECT_FALSE(InTop("continue")->IsVisible());
    Press("quit");
    ASSERT_TRUE(WaitForTop("scripts/lockedlevels.lua"));
    EXPECT_EQ(settings->GetCareerScore(-1), careerScore);
    Press("back");
    ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua"));
    EXPECT_EQ(settings->GetLevelMode(), 0);
}

// Quessa's corner is a screen of its own: the time spent there is what the
// session record's corner column reports.
TEST_F(FlowTest, QuessasCornerIsReachedFromTheMenuAndItsTimeCounted)
{
    FirstStart();
    Press("corner");
    ASSERT_TRUE(WaitForTop("scripts/quessascorner1.lua"));
    for (int i = 0; i < 20; ++i)
        Idle(50);
    Press("back");
    ASSERT_TRUE(WaitForTop("scripts/mainmenu.lua"));
    Idle(16);
    EXPECT_GT(TSettings::GetInstance()->GetScreenTime("scripts/quessascorner1.lua"), 0.5f);
}

// Won for the first time, a level that leads to an odd one opens the
// wardrobe between the two: what the win opened comes up over it out of
// the game's black, the first visit explains it, and the next level's intro
// follows once it closes.
TEST_F(FlowTest, AFirstWinBeforeAnOddLevelOpensTheWardrobeBetweenTheLevels)
{
    Asset("config/career/3.xml", EmptyLevel(3, "cruise03").c_str());
    FirstStart();
    Won(2);
    ASSERT_NO_FATAL_FAILURE(WinTheMapsLevelAndContinue());

    ASSERT_TRUE(WaitForTop("scripts/unlocked.lua"));  // once the fade from black has cleared
    EXPECT_NE(Text("body").find("Sailor top"), std::string::npos) << Text("body");
    EXPECT_TRUE(TSettings::GetInstance()->IsNewClothing("top2"));
    auto* game = GetCast<TGame>(Find("maingamewindow"));
    ASSERT_NE(game, nullptr);
    EXPECT_FALSE(game->IsVisible());  // the wardrobe has the screen
    Press("ok");
    ASSERT_TRUE(WaitForTop("scripts/ok.lua"));
    Press("ok");
    ASSERT_TRUE(WaitForTop("scripts/quessascloset.lua"));
    Press("save");
    ASSERT_TRUE(WaitForTop("scripts/levelintro.lua"));
    EXPECT_TRUE(game->IsVisible());
    EXPECT_EQ(TSettings::GetInstance()->GetCurrentLevel(), 3);
}

// A won level left from its board for the map: the map offers the level
// after it, marked as the one to play, and the won one shows its own mark.
TEST_F(FlowTest, AWinLeftForTheMapSelectsTheNextLevel)
{
    Asset("config/career/5.xml", EmptyLevel(5, "cruise05").c_str());
    CopyArt("map");
    FirstStart();
    Won(4);
    ASSERT_NO_FATAL_FAILURE(WinTheMapsLevel());
    Press("quit");
    ASSERT_TRUE(WaitForTop("scripts/chooserestaurant.lua", 600));
    EXPECT_EQ(TSettings::GetInstance()->GetLastCareerLevel(), 5);
    auto* next = GetCast<TButton>(InTop("levelbutton5"));
    auto* won = GetCast<TAnimatedMapMarker>(InTop("levelbutton4"));
    ASSERT_NE(next, nullptr);
    ASSERT_NE(won, nullptr);
    EXPECT_TRUE(next->IsOn());
    EXPECT_FALSE(won->IsOn());
    EXPECT_NE(won->GetMarkerType(), TAnimatedMapMarker::kStar);
}

// The keys that pause the game also resume it, as its Resume button does.
TEST_F(FlowTest, PAndEscapeResumeFromThePauseScreen)
{
    Asset("config/career/2.xml", EmptyLevel(2, "cruise02").c_str());
    FirstStart();
    Won(1);
    ASSERT_NO_FATAL_FAILURE(PlayTheMapsLevel());
    for (const char key : {'p', 'P', '\x1b'}) {
        Send(TEvent::kKeyDown, static_cast<unsigned char>(key));
        ASSERT_TRUE(WaitForTop("scripts/pause.lua", 100)) << int(key);
        Send(TEvent::kKeyDown, static_cast<unsigned char>(key));
        ASSERT_TRUE(WaitForTop("scripts/game.lua", 100)) << int(key);
        EXPECT_EQ(Floor()->GetState(), kPlaying);
    }
    // Resume was chosen, not Quit: the level goes on.
    EXPECT_NE(Floor(), nullptr);
}

// After an odd level the restaurant may be decorated: the items glow, a
// click chooses one, the button keeps it, the new things blink in and the
// next level's intro follows.
TEST_F(FlowTest, AWinBeforeAnEvenLevelOffersTheDecorChoice)
{
    Asset("config/career/2.xml", EmptyLevel(2, "cruise02").c_str());
    LinkAllArt();
    FirstStart();
    Won(1);
    ASSERT_NO_FATAL_FAILURE(WinTheMapsLevelAndContinue());

    ASSERT_TRUE(WaitForTop("scripts/ok.lua"));  // the first decor choice explains itself
    TGameData* floor = Floor();
    ASSERT_NE(floor, nullptr);
    EXPECT_EQ(floor->GetState(), kDecorChoice);
    Press("ok");
    ASSERT_TRUE(WaitForTop("scripts/game.lua"));
    EXPECT_TRUE(InTop("upgradewindow")->IsVisible());
    EXPECT_FALSE(InTop("decorbutton")->IsVisible());
    TRestaurant& scene = floor->GetStaff().Restaurant();
    std::vector<IStation*> tables;
    for (const auto& table : floor->GetTables())
        tables.push_back(table.get());
    TPoint item{-1, -1};
    int slot = -1;
    for (int y = 0; y < 460 && slot < 0; y += 4)
        for (int x = 100; x < 800 && slot < 0; x += 4)
            if ((slot = scene.PointToUpgrade(TPoint{x, y}, tables)) >= 0)
                item = TPoint{x, y};
    ASSERT_GE(slot, 0) << "no decor item to choose";
    ClickAt(item);
    EXPECT_EQ(scene.Selection(), slot);
    Press("decorbutton");
    EXPECT_EQ(floor->GetState(), kDecorChosen);
    ASSERT_TRUE(WaitForTop("scripts/levelintro.lua"));
    EXPECT_FALSE(InTop("upgradewindow") && InTop("upgradewindow")->IsVisible());
    EXPECT_TRUE(TSettings::GetInstance()->IsDecorUpgradeSelected(slot));
    EXPECT_EQ(TSettings::GetInstance()->GetCurrentLevel(), 2);
    // The sign of the level before closed the restaurant; this one opens it.
    auto* sign = GetCast<TText>(Find("openclosed"));
    ASSERT_NE(sign, nullptr);
    EXPECT_EQ(sign->GetText(), str("Open"));
}
