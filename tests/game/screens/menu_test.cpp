// The main menu and its screens driven as a player would, on the headless
// engine with the game's own scripts and strings: the first start loads,
// asks for a name and greets; players are chosen, added and deleted; the
// options change the volumes and full screen and outlive a restart, and
// lead to the credits.
#include "gameapp_fixture.h"

#include "engine/base/prefs.h"
#include "engine/platform/platformdata.h"
#include "engine/sound/soundmanager.h"
#include "engine/render/texture.h"
#include "engine/window/button.h"
#include "engine/window/image.h"
#include "engine/window/modalwindow.h"
#include "engine/window/slider.h"
#include "engine/window/text.h"
#include "engine/window/textedit.h"
#include "engine/window/windowmanager.h"
#include "engine/text/textgraphic.h"
#include "game/screens/credits.h"
#include "game/screens/mainmenu.h"
#include "game/screens/playerscreens.h"
#include "game/screens/preloader.h"
#include "game/settings/settings.h"

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

class MenuScenario : public GameAppTest {
protected:
    void SetUp() override
    {
        GameAppTest::SetUp();
        UseGameData();
    }
    void TearDown() override
    {
        GameAppTest::TearDown();
        Preloader_FreeAllAssets();
    }
    // The game with its sound system, as the program starts it.
    void StartGame()
    {
        StartEngine();
        engine.platform->InitSound();
        app = std::make_unique<TGameApp>(engine.platform.get());
        app->StartUp();
        PassSplash();
    }
    TModalWindow* Top() { return manager->GetTopModalWindow(); }
    std::string TopName() { return Top() ? Top()->GetName().c_str() : ""; }
    // Idle turns until the top screen is `name`; false when it never comes.
    bool Reaches(const char* name, int turns = 400)
    {
        for (int i = 0; i < turns && TopName() != name; ++i)
            Idle();
        return TopName() == name;
    }
    void Click(const char* name)
    {
        TWindow* w = Top() ? Top()->GetChildWindow(name, -1) : nullptr;
        ASSERT_NE(w, nullptr) << name;
        ClickThroughGame(w);
        Idle();
        Idle();
    }
    void Type(const std::string& text)
    {
        for (char c : text)
            Send(TEvent::kChar, static_cast<unsigned char>(c));
        Idle();
    }
    std::string Label(const char* name)
    {
        TWindow* w = Find(name);
        if (auto* text = GetCast<TText>(w))
            return text->GetText().c_str();
        auto* button = GetCast<TButton>(w);
        return button ? button->GetLabel().c_str() : "<none>";
    }
    bool Shown(const char* name)
    {
        TWindow* w = Find(name);
        return w && w->IsVisible();
    }
    // The first start: loading, then the name, entered as typed.
    void FirstStartAs(const std::string& typed)
    {
        StartGame();
        ASSERT_TRUE(Reaches("scripts/entername.lua"));
        Type(typed);
        Click("enterok");
        ASSERT_TRUE(Reaches("scripts/mainmenu.lua"));
    }
    void Restart()
    {
        app.reset();
        engine.Stop();
        StartGame();
    }
};

TEST_F(MenuScenario, FirstStartLoadsAsksForANameAndGreetsThePlayer)
{
    const fs::path music = scratch.Path() / "assets" / "audio" / "music";
    fs::create_directories(music);
    fs::copy_file(fs::path(QM_SOURCE_DIR) / "data" / "assets" / "audio" / "music" / "mainmenumusic.ogg",
                  music / "mainmenumusic.ogg");
    StartGame();
    auto* menu = GetCast<TMainMenu>(Find("mainmenu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->HasMusic());
    ASSERT_EQ(TopName(), "scripts/loading.lua");
    auto* preloader = GetCast<TPreLoader>(Find("preloader"));
    ASSERT_NE(preloader, nullptr);
    // The bar grows with the loading.
    TWindow* bar = Find("progressbar");
    ASSERT_NE(bar, nullptr);
    // A step loads what fits its time but never more than a thirtieth of the
    // bar: the bar is seen to grow, step by step, while the screen is still up.
    const int width = bar->GetWindowWidth();
    float progress = preloader->GetProgress();
    int steps = 0;
    for (int i = 0; i < 50 && bar->GetWindowWidth() <= width; ++i) {
        Idle();
        ASSERT_EQ(TopName(), "scripts/loading.lua") << "the loading ended before its bar was seen to grow";
        EXPECT_GE(preloader->GetProgress(), progress);
        steps += preloader->GetProgress() > progress;
        progress = preloader->GetProgress();
    }
    EXPECT_GT(bar->GetWindowWidth(), width);
    EXPECT_GT(steps, 1) << "the bar moved more than once on the way";

    ASSERT_TRUE(Reaches("scripts/entername.lua"));
    EXPECT_TRUE(Preloader_AssetsLoaded());
    EXPECT_FALSE(Shown("enterok"));
    // Marks that would act as arguments or markup are not taken.
    Type("A%d<b>a");
    EXPECT_EQ(Label("nameedit"), "Adba");
    EXPECT_TRUE(Shown("enterok"));
    for (int i = 0; i < 4; ++i)
        Send(TEvent::kChar, 8);
    Idle();
    EXPECT_EQ(Label("nameedit"), "");
    EXPECT_FALSE(Shown("enterok"));
    Type("Ada");
    Click("enterok");

    ASSERT_TRUE(Reaches("scripts/mainmenu.lua"));
    EXPECT_EQ(TSettings::GetInstance()->GetNumUsers(), 1);
    EXPECT_EQ(Label("welcome"), "Welcome, Ada!");
    EXPECT_TRUE(Shown("changeplayer"));
    EXPECT_FALSE(Shown("editors"));
    // Loading ran once: the loading screen does not come back.
    for (int i = 0; i < 20; ++i)
        Idle();
    EXPECT_EQ(TopName(), "scripts/mainmenu.lua");
}

TEST_F(MenuScenario, PlayersAreAddedChosenAndDeletedAndTheOthersKeepTheirProgress)
{
    FirstStartAs("Ada");
    TSettings* settings = TSettings::GetInstance();
    settings->UnlockLevel(0, 3);
    Click("changeplayer");
    ASSERT_TRUE(Reaches("scripts/chooseplayer.lua"));
    for (const char* name : {"Bea", "Cy"}) {
        Click("newplayer");
        ASSERT_TRUE(Reaches("scripts/entername.lua"));
        Type(name);
        Click("enterok");
        ASSERT_TRUE(Reaches("scripts/chooseplayer.lua"));
    }
    // A name already in use is refused with a word why.
    Click("newplayer");
    Type("Bea");
    Click("enterok");
    EXPECT_EQ(TopName(), "scripts/entername.lua");
    EXPECT_NE(Label("nameerror").find("Bea already works here"), std::string::npos);
    Click("entercancel");
    ASSERT_TRUE(Reaches("scripts/chooseplayer.lua"));

    ASSERT_EQ(settings->GetNumUsers(), 3);
    EXPECT_EQ(Label("button1"), "Bea");
    EXPECT_FALSE(Shown("button3"));
    settings->SetCurrentUser(1, false);
    settings->UnlockLevel(1, 2);
    const int beaLevels = settings->GetNumUnlockedLevels();

    // With no button on nothing is deleted.
    for (int slot = 0; slot < 3; ++slot)
        GetCast<TButton>(Find(("button" + std::to_string(slot)).c_str()))->SetOn(false);
    auto* choose = GetCast<TChoosePlayer>(Find("chooseplayer"));
    ASSERT_NE(choose, nullptr);
    EXPECT_EQ(choose->GetCurrentSelectedUser(), -1);
    Click("delete");
    EXPECT_EQ(TopName(), "scripts/chooseplayer.lua");
    EXPECT_EQ(settings->GetNumUsers(), 3);

    // Ada is chosen and deleted after asking; Bea keeps her progress.
    Click("button0");
    EXPECT_EQ(choose->GetCurrentSelectedUser(), 0);
    Click("delete");
    ASSERT_TRUE(Reaches("scripts/yesno.lua"));
    Click("yes");
    ASSERT_TRUE(Reaches("scripts/chooseplayer.lua"));
    ASSERT_EQ(settings->GetNumUsers(), 2);
    EXPECT_EQ(settings->GetUserName(0), str("Bea"));
    EXPECT_EQ(settings->GetUserName(1), str("Cy"));
    EXPECT_EQ(Label("button0"), "Bea");
    EXPECT_FALSE(Shown("button2"));

    Click("button0");
    Click("chooseok");
    ASSERT_TRUE(Reaches("scripts/mainmenu.lua"));
    EXPECT_EQ(settings->GetCurrentUserName(), str("Bea"));
    EXPECT_EQ(settings->GetNumUnlockedLevels(), beaLevels);
    EXPECT_EQ(Label("welcome"), "Welcome, Bea!");
}

// More players than the ten buttons (a prefs.dat from another game, or one
// written by hand): the arrows turn to the others, and each can be chosen.
TEST_F(MenuScenario, PlayersPastTheTenthArePagedToAndChosen)
{
    FirstStartAs("P0");
    TSettings* settings = TSettings::GetInstance();
    for (int i = 1; i < 13; ++i)
        settings->CreateNewUser(str::getFormatted("P%d", i));
    settings->SetCurrentUser(11, false);
    ASSERT_EQ(settings->GetNumUsers(), 13);

    Click("changeplayer");
    ASSERT_TRUE(Reaches("scripts/chooseplayer.lua"));
    auto* choose = GetCast<TChoosePlayer>(Find("chooseplayer"));
    ASSERT_NE(choose, nullptr);
    // The current player's page comes first, with him chosen.
    EXPECT_EQ(Label("button0"), "P10");
    EXPECT_EQ(Label("button2"), "P12");
    EXPECT_FALSE(Shown("button3"));
    EXPECT_EQ(choose->GetCurrentSelectedUser(), 11);
    EXPECT_TRUE(Shown("playersprev"));
    EXPECT_FALSE(Shown("playersnext"));

    Click("playersprev");
    EXPECT_EQ(Label("button0"), "P0");
    EXPECT_EQ(Label("button9"), "P9");
    EXPECT_FALSE(Shown("playersprev"));
    EXPECT_TRUE(Shown("playersnext"));
    EXPECT_EQ(choose->GetCurrentSelectedUser(), -1) << "the chosen player is on the other page";

    Click("playersnext");
    EXPECT_EQ(choose->GetCurrentSelectedUser(), 11) << "and still chosen when his page is back";
    Click("button2");
    EXPECT_EQ(choose->GetSelectedPlayerName(), str("P12"));
    Click("chooseok");
    ASSERT_TRUE(Reaches("scripts/mainmenu.lua"));
    EXPECT_EQ(settings->GetCurrentUserName(), str("P12"));

    // A player past the tenth is deleted like any other.
    Click("changeplayer");
    ASSERT_TRUE(Reaches("scripts/chooseplayer.lua"));
    Click("button0");
    Click("delete");
    ASSERT_TRUE(Reaches("scripts/yesno.lua"));
    Click("yes");
    ASSERT_TRUE(Reaches("scripts/chooseplayer.lua"));
    EXPECT_EQ(settings->GetNumUsers(), 12);
    EXPECT_EQ(settings->GetUserName(10), str("P11"));
}

TEST_F(MenuScenario, AClickOnTheNameDialogOutsideTheFieldLosesNoKeys)
{
    StartGame();
    ASSERT_TRUE(Reaches("scripts/entername.lua"));
    Type("Ad");
    // The prompt, the title and the empty paper of the dialog: none can take
    // the focus, so the dialog does, and hands it back to its one field.
    for (const char* elsewhere : {"prompt", "title", "entername"}) {
        Click(elsewhere);
        EXPECT_EQ(manager->GetFocus(), Find("nameedit")) << "after a click on " << elsewhere;
    }
    Type("a");
    EXPECT_EQ(Label("nameedit"), "Ada");
    Send(TEvent::kChar, 13);
    Idle();
    ASSERT_TRUE(Reaches("scripts/mainmenu.lua"));
    EXPECT_EQ(TSettings::GetInstance()->GetCurrentUserName(), str("Ada"));
}

TEST_F(MenuScenario, TheNameFieldHoldsTheLongestNameAndSaysWhenItIsFull)
{
    StartGame();
    ASSERT_TRUE(Reaches("scripts/entername.lua"));
    auto* edit = GetCast<TTextEdit>(Find("nameedit"));
    ASSERT_NE(edit, nullptr);
    const int most = edit->GetMaxLength();
    EXPECT_EQ(Label("namecount"), "0/" + std::to_string(most));
    EXPECT_TRUE(Shown("namecount"));
    EXPECT_FALSE(Shown("namefull"));

    // The widest letters, more than the field takes: the rest is refused,
    // the count says so, and what was taken is seen whole in the field.
    Type(std::string(most + 3, 'W'));
    EXPECT_EQ(Label("nameedit"), std::string(most, 'W'));
    EXPECT_FALSE(Shown("namecount"));
    EXPECT_TRUE(Shown("namefull"));
    EXPECT_NE(Label("namefull").find(std::to_string(most) + "/" + std::to_string(most)), std::string::npos);
    TRect bounds;
    edit->GetTextBounds(&bounds);
    EXPECT_EQ(edit->GetLineCount(), 1);
    EXPECT_LE(bounds.x2 - bounds.x1, edit->GetWindowWidth());
    Send(TEvent::kChar, 8);
    Idle();
    EXPECT_TRUE(Shown("namecount"));
    EXPECT_FALSE(Shown("namefull"));
}

TEST_F(MenuScenario, ALongNameStaysOnItsPlayerButtonAndInTheGreeting)
{
    StartGame();
    ASSERT_TRUE(Reaches("scripts/entername.lua"));
    const int most = GetCast<TTextEdit>(Find("nameedit"))->GetMaxLength();
    const std::string longest(most, 'W');
    Type(longest);
    Click("enterok");
    ASSERT_TRUE(Reaches("scripts/mainmenu.lua"));
    auto fitsOneLine = [](TText* text) {
        TRect bounds;
        text->GetTextBounds(&bounds);
        return text->GetLineCount() == 1 && bounds.x2 - bounds.x1 <= text->GetWindowWidth();
    };
    auto* welcome = GetCast<TText>(Find("welcome"));
    ASSERT_NE(welcome, nullptr);
    EXPECT_TRUE(fitsOneLine(welcome)) << welcome->GetText().c_str();
    EXPECT_NE(std::string(welcome->GetText().c_str()).find(longest), std::string::npos);

    Click("changeplayer");
    ASSERT_TRUE(Reaches("scripts/chooseplayer.lua"));
    Click("newplayer");
    ASSERT_TRUE(Reaches("scripts/entername.lua"));
    Type("Bo");
    Click("enterok");
    ASSERT_TRUE(Reaches("scripts/chooseplayer.lua"));
    for (const char* slot : {"button0", "button1"}) {
        auto* button = GetCast<TButton>(Find(slot));
        ASSERT_NE(button, nullptr);
        auto* label = GetCast<TText>(button->GetChildWindow("label", -1));
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(fitsOneLine(label)) << slot << ": " << label->GetText().c_str();
        TRect inside, own;
        label->GetWindowRect(&inside);
        button->GetWindowRect(&own);
        EXPECT_TRUE(inside.x1 >= own.x1 && inside.x2 <= own.x2 && inside.y1 >= own.y1 && inside.y2 <= own.y2);
    }
    // A short name keeps the button's own size.
    EXPECT_EQ(Label("button1"), "Bo");
}

TEST_F(MenuScenario, OptionsChangeVolumesAndFullScreenAndOutliveARestart)
{
    FirstStartAs("Ada");
    Click("options");
    ASSERT_TRUE(Reaches("scripts/options.lua"));
    auto* music = GetCast<TSlider>(Find("musiclevelslider"));
    auto* effects = GetCast<TSlider>(Find("sfxlevelslider"));
    ASSERT_NE(music, nullptr);
    ASSERT_NE(effects, nullptr);
    EXPECT_FLOAT_EQ(music->GetValue(), 0.75f);
    EXPECT_FLOAT_EQ(GetCast<TSlider>(Find("environmentlevelslider"))->GetValue(), 0.5f);

    // A moved slider is heard at once but kept only on OK.
    music->SetValue(0.3f, false);
    effects->SetValue(0.7499f, false);
    Idle();
    TSoundManager* sound = engine.platform->GetSoundManager();
    ASSERT_NE(sound, nullptr);
    EXPECT_NEAR(sound->GetVolume(1001), 0.3f * sound->GetVolume(-1), 1e-4);
    EXPECT_NEAR(sound->GetVolume(0), sound->GetVolume(1000), 1e-6);
    TPrefs* prefs = TSettings::GetInstance()->GetPrefs();
    EXPECT_EQ(prefs->GetInt("musiclevel", -1, 0), 750);

    const bool wasFull = engine.platform->IsFullscreen();
    EXPECT_EQ(GetCast<TButton>(Find("fullscreen"))->IsOn(), wasFull);
    Click("fullscreen");
    EXPECT_NE(engine.platform->IsFullscreen(), wasFull);
    Click("optionsok");
    ASSERT_TRUE(Reaches("scripts/mainmenu.lua"));
    EXPECT_EQ(prefs->GetInt("musiclevel", -1, 0), 300);
    EXPECT_EQ(prefs->GetInt("soundlevel", -1, 0), 749);
    EXPECT_EQ(prefs->GetInt("environmentlevel", -1, 0), 500);
    EXPECT_EQ(prefs->GetInt("fullscreen", -1, -1), wasFull ? 0 : 1);

    Restart();
    ASSERT_TRUE(Reaches("scripts/mainmenu.lua"));
    EXPECT_EQ(Label("welcome"), "Welcome, Ada!");
    Click("options");
    ASSERT_TRUE(Reaches("scripts/options.lua"));
    EXPECT_FLOAT_EQ(GetCast<TSlider>(Find("musiclevelslider"))->GetValue(), 0.3f);
    EXPECT_FLOAT_EQ(GetCast<TSlider>(Find("sfxlevelslider"))->GetValue(), 0.749f);
    EXPECT_EQ(engine.platform->IsFullscreen(), !wasFull);
    EXPECT_EQ(GetCast<TButton>(Find("fullscreen"))->IsOn(), !wasFull);
}

// A desktop that refuses full screen: the box shows the window the game
// stayed, and the player is told why once; the next refusal (Alt+Return
// asks the platform the same) is not told again.
TEST_F(MenuScenario, AFullScreenTheDesktopRefusesIsToldOnceAndLeftUnticked)
{
    FirstStartAs("Ada");
    Click("options");
    ASSERT_TRUE(Reaches("scripts/options.lua"));
    if (engine.platform->IsFullscreen())
        Click("fullscreen");  // out of it, which the desktop allows
    ASSERT_FALSE(engine.platform->IsFullscreen());
    ASSERT_FALSE(GetCast<TButton>(Find("fullscreen"))->IsOn());

    engine.backend->fullscreenFails = true;
    Click("fullscreen");
    EXPECT_FALSE(engine.platform->IsFullscreen());
    ASSERT_TRUE(Reaches("fullscreenrefused"));
    const std::string told = Label("body");
    EXPECT_NE(told.find("stays in a window"), std::string::npos) << told;
    Click("ok");
    ASSERT_TRUE(Reaches("scripts/options.lua"));
    EXPECT_FALSE(GetCast<TButton>(Find("fullscreen"))->IsOn()) << "the box says full screen, the game is a window";

    EXPECT_FALSE(engine.platform->SetFullscreen(true));
    for (int i = 0; i < 20; ++i)
        Idle();
    EXPECT_EQ(TopName(), "scripts/options.lua") << "told a second time";
    EXPECT_EQ(TSettings::GetInstance()->GetPrefs()->GetInt("fullscreen", -1, -1), 0);
}

// More games with no web browser to start: the page's buttons say so
// instead of doing nothing; with one, nothing is said.
TEST_F(MenuScenario, MoreGamesSaysSoWhenNoWebBrowserStarts)
{
    fs::copy(fs::path(QM_SOURCE_DIR) / "data" / "assets" / "xsell", scratch.Path() / "assets" / "xsell");
    FirstStartAs("Ada");
    Click("moregames");
    ASSERT_TRUE(Reaches("scripts/moregames.lua"));
    Click("xsellbutton1");
    for (int i = 0; i < 10; ++i)
        Idle();
    EXPECT_EQ(TopName(), "scripts/moregames.lua");
    ASSERT_EQ(engine.backend->urls.size(), 1u);

    engine.backend->browserFails = true;
    Click("gamesite");
    ASSERT_TRUE(Reaches("scripts/ok.lua"));
    EXPECT_EQ(engine.backend->urls.size(), 2u);
    EXPECT_NE(Label("body").find("No web browser"), std::string::npos) << Label("body");
    Click("ok");
    ASSERT_TRUE(Reaches("scripts/moregames.lua"));
}

TEST_F(MenuScenario, TheOptionsLeadToTheCreditsWhichNameTheTeamItsToolsAndLibraries)
{
    fs::copy_file(fs::path(QM_SOURCE_DIR) / "data" / "assets" / "credits.txt", scratch.Path() / "assets" / "credits.txt");
    FirstStartAs("Ada");
    Click("options");
    ASSERT_TRUE(Reaches("scripts/options.lua"));
    Click("credits");
    ASSERT_TRUE(Reaches("scripts/credits.lua"));
    auto* credits = GetCast<TCredits>(Find("credits"));
    ASSERT_NE(credits, nullptr);
    ASSERT_NE(credits->GetColumn(0), nullptr);
    const std::string left = credits->GetColumn(0)->GetText().c_str();
    const std::string right = credits->GetColumn(1)->GetText().c_str();
    const std::string centre = credits->GetColumn(2)->GetText().c_str();
    EXPECT_NE(left.find("Programming"), std::string::npos);
    EXPECT_NE(right.find("the Corvellatrip team"), std::string::npos);
    EXPECT_NE(left.find("anmpack"), std::string::npos);
    EXPECT_NE(left.find("SDL 2"), std::string::npos);
    EXPECT_NE(right.find("zlib licence"), std::string::npos);
    EXPECT_NE(centre.find("DejaVu Sans"), std::string::npos);
    EXPECT_GT(credits->GetScrollLength(), 0);
    // Back returns to the options, whose OK returns to the menu.
    Click("back");
    ASSERT_TRUE(Reaches("scripts/options.lua"));
    Click("optionsok");
    ASSERT_TRUE(Reaches("scripts/mainmenu.lua"));
}

TEST_F(MenuScenario, HelpPagesPageThroughAndBackLeaves)
{
    fs::create_directories(scratch.Path() / "assets" / "ui");
    fs::copy(fs::path(QM_SOURCE_DIR) / "data" / "assets" / "ui" / "help", scratch.Path() / "assets" / "ui" / "help");
    FirstStartAs("Ada");
    Click("help");
    ASSERT_TRUE(Reaches("scripts/help1.lua"));
    EXPECT_FALSE(Shown("helpprev"));
    const char* pages[] = {"Page 1 of 4", "Page 2 of 4", "Page 3 of 4", "Page 4 of 4"};
    for (int page = 0; page < 4; ++page) {
        EXPECT_EQ(Label("pagenumber"), pages[page]);
        // Each page shows its own strip of pictures of the floor.
        auto* picture = GetCast<TImage>(Find("picture"));
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->GetWindowWidth(), 440);
        EXPECT_EQ(picture->GetWindowHeight(), 100);
        ASSERT_NE(picture->GetTexture(), nullptr) << "page " << page + 1;
        EXPECT_NE(std::string(picture->GetTexture()->GetName().c_str()).find("ui/help/page" + std::to_string(page + 1)),
                  std::string::npos)
            << picture->GetTexture()->GetName().c_str();
        if (page < 3)
            Click("helpnext");
    }
    EXPECT_FALSE(Shown("helpnext"));
    Click("helpprev");
    EXPECT_EQ(Label("pagenumber"), pages[2]);
    // Paging swaps the page in one screen: Back leaves straight to the menu.
    EXPECT_EQ(manager->GetModalStack().size(), 3u);
    Click("helpback");
    ASSERT_TRUE(Reaches("scripts/mainmenu.lua"));
}

TEST_F(MenuScenario, PreloaderLoadsOnlyTheGamesSoundFilesAndHandsBackOnce)
{
    const fs::path sfx = scratch.Path() / "assets" / "audio" / "sfx";
    fs::create_directories(sfx);
    const fs::path real = fs::path(QM_SOURCE_DIR) / "data" / "assets" / "audio" / "sfx" / "tip_1.ogg";
    fs::copy_file(real, sfx / "tip_1.ogg");
    fs::copy_file(real, sfx / "somebodyelses.ogg");
    std::ofstream(sfx / "notes.txt") << "not a sound";
    StartGame();
    const int soundsBefore = Preloader_Counts().sounds;
    Lua("gLoads = 0 local old = HandleSSSGLoad function HandleSSSGLoad() gLoads = gLoads + 1 old() end");
    ASSERT_TRUE(Reaches("scripts/entername.lua"));
    EXPECT_EQ(Preloader_Counts().sounds - soundsBefore, 1);
    // The heroine's two, thirteen customers, the 34 rows (missing files count too).
    EXPECT_EQ(Preloader_Counts().animations, 2 + 13 + 34);
    EXPECT_EQ(Global("gLoads"), "1");
}

TEST_F(MenuScenario, TheMenuWorksSilentlyWithoutItsMusicAndRotatesTheUpsellPanels)
{
    FirstStartAs("Ada");
    auto* menu = GetCast<TMainMenu>(Find("mainmenu"));
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->HasMusic());  // the scratch folder has no music
    Lua("KillUpsell()");
    EXPECT_EQ(menu->GetUpsellTask(), nullptr);
    Lua("MakeDialog { Window { name = 'group1' }, Window { name = 'group2' }, Window { name = 'group3' } }"
        " CycleUpsell()");
    ASSERT_NE(menu->GetUpsellTask(), nullptr);
    EXPECT_TRUE(Shown("group1"));
    EXPECT_FALSE(Shown("group2"));
    const char* order[] = {"group2", "group3", "group1"};
    for (const char* shown : order) {
        for (int i = 0; i < 150; ++i)
            Idle();
        EXPECT_TRUE(Shown(shown)) << shown;
    }
    Lua("KillUpsell()");
    EXPECT_EQ(menu->GetUpsellTask(), nullptr);
}

// Each panel's link leads where the panel tells of: the closet's panel opens
// the wardrobe (its tip on the first visit); Quessa's corner has its own
// link in the welcome box, whichever panel shows.
TEST_F(MenuScenario, ThePanelsLinksLeadWhereThePanelsTellOf)
{
    FirstStartAs("Ada");
    for (int i = 0; i < 600 && !Shown("group3"); ++i)
        Idle();
    ASSERT_TRUE(Shown("group3"));
    EXPECT_FALSE(Shown("group1"));
    EXPECT_EQ(Label("upselllink3"), "To the wardrobe ›");
    Click("upselllink3");
    ASSERT_TRUE(Reaches("scripts/ok.lua")) << "the wardrobe's tip, over it";
    EXPECT_EQ(TSettings::GetInstance()->GetClosetVisits(), 1);
    Click("ok");
    ASSERT_TRUE(Reaches("scripts/quessascloset.lua"));

    Restart();
    ASSERT_TRUE(Reaches("scripts/mainmenu.lua"));
    EXPECT_TRUE(Shown("corner"));
    Click("corner");
    EXPECT_TRUE(Reaches("scripts/quessascorner1.lua"));
}
