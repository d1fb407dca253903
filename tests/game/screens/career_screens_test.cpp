// The career screens driven through the window script on the headless
// engine: the map's markers from a player's progress, the level-pack list,
// the credits text, the comic's paging and the unlock notices.
#include "settings_fixture.h"

#include "engine/script/windowscript.h"
#include "engine/window/button.h"
#include "engine/window/modalwindow.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "game/app/windowtypes.h"
#include "game/floor/clothinglayer.h"
#include "game/floor/quessa.h"
#include "game/floor/quessacolors.h"
#include "game/screens/chooserestaurant.h"
#include "game/screens/comic.h"
#include "game/screens/credits.h"
#include "game/screens/lockedlevels.h"
#include "game/screens/mapmarkers.h"
#include "game/screens/quessascloset.h"
#include "game/screens/unlocknotices.h"
#include "game/settings/configfile.h"
#include "game/settings/unlockmanager.h"

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace {

class CareerScreens : public SettingsTest {
protected:
    void SetUp() override
    {
        SettingsTest::SetUp();
        WriteStrings({{"bestscore", "Level %1%: best %2%"},
                      {"levellocked", "Locked"},
                      {"levelready", "Ready"},
                      {"levelunlock", "Finish level %1% to open it"},
                      {"pack_name", "Pack"},
                      {"pack_description", "A pack"},
                      {"newoutfit", "New outfit: %1%"},
                      {"newlevel", "New level: %1%"},
                      {"gold_name", "Gold pack"},
                      {"blouse_name", "Blouse"},
                      {"unreadablelevel", "Cannot be read: %1%."},
                      {"fileproblem_folder", "it is a folder"},
                      {"fileproblem_notafile", "it is not an ordinary file"},
                      {"fileproblem_toolarge", "it is far too large"},
                      {"fileproblem_unreadable", "it may not be read"},
                      {"fileproblem_empty", "it is empty"},
                      {"fileproblem_damaged", "it is damaged"},
                      {"fileproblem_nolevel", "it holds no level"}});
        StartPlatform();
        Create();
        mSettings->CreateNewUser("Ann");
        game::RegisterWindowTypes();
    }
    void TearDown() override
    {
        TUnlockManager::Free();
        SettingsTest::TearDown();
    }
    void File(const std::string& name, const std::string& text)
    {
        fs::create_directories((mHome / name).parent_path());
        std::ofstream(mHome / name, std::ios::binary) << text;
    }
    TWindow* Find(const char* name)
    {
        TWindowManager* manager = TWindowManager::GetInstance();
        TModalWindow* top = manager ? manager->GetTopModalWindow() : nullptr;
        return top ? top->GetChildWindow(name, -1) : nullptr;
    }
    std::string TextOf(const char* name)
    {
        TText* text = GetCast<TText>(Find(name));
        return text ? std::string(text->GetText().c_str()) : "<none>";
    }
    // Finishes overall levels 0..count-1; the last one finished is the newest.
    void Finish(int count, bool expert = false)
    {
        mSettings->UnlockLevel(0, 0);
        for (int n = 0; n < count; ++n) {
            mSettings->RecordLevelScore(n / 10, n % 10, 1000 + n, expert);
            mSettings->UnlockLevel((n + 1) / 10, (n + 1) % 10);
        }
        mSettings->SetLastCareerLevel(count);
    }
    int Count(const char* prefix)
    {
        int count = 0;
        for (int n = 0; n < 60; ++n)
            count += Find(str::getFormatted("%s%d", prefix, n).c_str()) != nullptr;
        return count;
    }
};

TEST_F(CareerScreens, TheMapShowsExactlyTheLevelsReachedWithTheNewestAsAStar)
{
    // Table: levels finished -> markers, padlocks, the star's level.
    struct Case {
        int finished, markers, padlocks;
    };
    for (const Case c : {Case{0, 1, 39, }, Case{4, 5, 35}, Case{10, 11, 29}, Case{41, 42, 8}}) {
        mSettings->DeleteUser(0);
        mSettings->CreateNewUser("Ann");
        Finish(c.finished, true);
        Lua("PushModal('map') MakeDialog { ChooseRestaurant { name = 'map', w = 800, h = 600, "
            "Text { name = 'bestscore', w = 200, h = 20 } } }");
        SCOPED_TRACE(c.finished);
        EXPECT_EQ(Count("levelbutton"), c.markers);
        EXPECT_EQ(Count("lockedbutton"), c.padlocks);
        auto* star = GetCast<TAnimatedMapMarker>(Find(str::getFormatted("levelbutton%d", c.finished).c_str()));
        ASSERT_NE(star, nullptr);
        EXPECT_EQ(star->GetMarkerType(), TAnimatedMapMarker::kStar);
        EXPECT_TRUE(star->IsOn());
        if (c.finished > 0) {
            auto* done = GetCast<TAnimatedMapMarker>(Find("levelbutton0"));
            EXPECT_EQ(done->GetMarkerType(), TAnimatedMapMarker::kExpert);
            EXPECT_EQ(TextOf("bestscore"), str::getFormatted("Level %d: best 0", c.finished + 1).c_str());
        }
        // SetupGame hands the chosen level to the settings.
        Lua("SetupGame()");
        EXPECT_EQ(mSettings->GetCurrentRestaurant(), c.finished / 10);
        EXPECT_EQ(mSettings->GetCurrentLevel(), c.finished % 10);
        Lua("DoPopModal()");
    }
}

TEST_F(CareerScreens, FinishingARestaurantOpensTheNextOnTheMapAndItsComicPagesThrough)
{
    Finish(9);
    EXPECT_EQ(mSettings->GetNumUnlockedRestaurants(), 1);
    Finish(10);  // the cruise ship's last level
    EXPECT_EQ(mSettings->GetNumUnlockedRestaurants(), 2);
    File("assets/comics/comic1_1.png", "");
    mSettings->SetCurrentRestaurant(0);
    Lua("PushModal('m1') MakeDialog { ComicPanel { name = 'comic_1_1', w = 800, h = 600, "
        "Bitmap { name = 'comicpanel', w = 800, h = 600 }, Button { name = 'left', w = 10, h = 10 } } }");
    auto* comic = GetCast<TComic>(Find("comic_1_1"));
    ASSERT_NE(comic, nullptr);
    EXPECT_FALSE(comic->HasFigures());
    Lua("BackComic()");
    EXPECT_EQ(comic->GetPanel(), 0);
    // Without a second panel the comic is over after the first.
    EXPECT_EQ(Lua("gProbe = ForwardComic()"), "true");
    Lua("DoPopModal()");
    Lua("PushModal('map') MakeDialog { ChooseRestaurant { name = 'map', w = 800, h = 600 } }");
    EXPECT_NE(Find("levelbutton10"), nullptr);
    EXPECT_EQ(Find("levelbutton11"), nullptr);
}

TEST_F(CareerScreens, LevelPacksAreListedOnceEachAndIndexesOutsideTheListAnswerNothing)
{
    File("assets/config/unlocks.xml",
         "<?xml version=\"1.0\"?>\n<unlocks><unlock type=\"level\" name=\"gold\" level=\"10\"/></unlocks>\n");
    TUnlockManager::Create();  // reads the rules above
    for (const char* name : {"pack.bin", "pack.xml", "gold.xml", "c.xml.old", "d.xml", "e.xml", "f.xml", "notes.txt"})
        File(std::string("assets/config/levels/") + name, "");
    // The layout leaves out slot 2's texts and slot 5 entirely.
    Lua("PushModal('m2') MakeDialog { LockedLevels { name = 'packs', w = 800, h = 600, "
        "Button { name = 'gamebutton_1', w = 5, h = 5 }, Button { name = 'gamebutton_2', w = 5, h = 5 }, "
        "Text { name = 'leveltext_1', w = 50, h = 20 }, Text { name = 'statustext_1', w = 50, h = 20 } } }");
    auto* packs = GetCast<TLockedLevels>(Find("packs"));
    ASSERT_NE(packs, nullptr);
    ASSERT_EQ(packs->GetGameCount(), 6);  // c, d, e, f, gold, pack: a sixth is listed, not shown
    EXPECT_EQ(Lua("gProbe = GetFullLevelName(0)"), "assets/config/levels/c.xml");
    EXPECT_EQ(Lua("gProbe = GetFullLevelName(5)"), "assets/config/levels/pack.xml");
    EXPECT_EQ(Lua("gProbe = IsButtonLocked(4)"), "true");
    EXPECT_EQ(Lua("gProbe = IsButtonLocked(5)"), "false");
    for (const char* call : {"GetFullLevelName", "IsButtonLocked", "GetDescription"}) {
        EXPECT_EQ(Lua(std::string("gProbe = tostring(") + call + "(6))"), call[0] == 'I' ? "false" : "");
        EXPECT_EQ(Lua(std::string("gProbe = tostring(") + call + "(-1))"), call[0] == 'I' ? "false" : "");
    }
    EXPECT_EQ(Lua("gProbe = GetDescription(5)"), "A pack");
    EXPECT_EQ(TextOf("statustext_1"), "Ready");
    EXPECT_TRUE(Find("gamebutton_1")->IsVisible());
}

// Levels the player put into their folder that cannot be read are listed
// all the same by their names, saying why (and the page offers them no
// play): no files to read (a pipe, a link to the zero device, a folder, one
// far too large, one the player may not read), read without the page
// waiting on one or reading it to no end; files that hold no level (empty,
// cut short, no XML, another level's number). The good one beside them
// keeps its description and has nothing to say.
TEST_F(CareerScreens, DownloadedLevelsThatCannotBeReadAreListedSayingWhy)
{
    const fs::path folder = mHome / "downloads";
    const std::string good = "<dataroot><career><level>1</level><description>Lunch</description></career></dataroot>";
    File("downloads/Good_one.xml", good);
    ASSERT_EQ(::mkfifo((folder / "Pipe_dream.xml").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", folder / "Zeros.xml");
    fs::create_directory(folder / "Nested.xml");
    File("downloads/Huge.xml", "");
    fs::resize_file(folder / "Huge.xml", game::kMaxConfigFileBytes + 1);
    File("downloads/Locked_away.xml", good);
    fs::permissions(folder / "Locked_away.xml", fs::perms::none);
    File("downloads/Empty.xml", "");
    File("downloads/Cut_short.xml", good.substr(0, good.size() / 2));
    File("downloads/Not_xml.xml", "level one, please");
    File("downloads/Other_number.xml", "<dataroot><career><level>2</level></career></dataroot>");
    Lua("PushModal('m3') MakeDialog { LockedLevels { name = 'packs', w = 800, h = 600 } }");
    auto* packs = GetCast<TLockedLevels>(Find("packs"));
    ASSERT_NE(packs, nullptr);
    testing::internal::CaptureStderr();
    packs->BuildDownloadList(str(folder.c_str()));
    const std::string log = testing::internal::GetCapturedStderr();
    // (Whoever runs as root reads what the file's mode forbids.)
    const char* lockedAway = ::geteuid() == 0 ? "" : "Cannot be read: it may not be read.";
    const std::pair<const char*, const char*> listed[] = {
        {"Cut short", "Cannot be read: it is damaged."},
        {"Empty", "Cannot be read: it is empty."},
        {"Good one", ""},
        {"Huge", "Cannot be read: it is far too large."},
        {"Locked away", lockedAway},
        {"Nested", "Cannot be read: it is a folder."},
        {"Not xml", "Cannot be read: it is damaged."},
        {"Other number", "Cannot be read: it holds no level."},
        {"Pipe dream", "Cannot be read: it is not an ordinary file."},
        {"Zeros", "Cannot be read: it is not an ordinary file."},
    };
    ASSERT_EQ(packs->GetDownloadCount(), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_STREQ(packs->DownloadTitle(i).c_str(), listed[i].first);
        EXPECT_STREQ(packs->DownloadProblem(i).c_str(), listed[i].second) << listed[i].first;
    }
    EXPECT_STREQ(packs->DownloadDescription(2).c_str(), "Lunch");
    EXPECT_STREQ(packs->DownloadDescription(8).c_str(), "");
    EXPECT_NE(log.find("Pipe_dream.xml cannot be read (it is no regular file"), std::string::npos) << log;
    EXPECT_NE(log.find("Huge.xml cannot be read (it is larger than"), std::string::npos) << log;
    EXPECT_NE(log.find("Cut_short.xml ends inside an element"), std::string::npos) << log;
}

// A locked pack shows a padlock over its play button, and the row says which
// level opens the pack when its rule names only a level.
TEST_F(CareerScreens, ALockedPackShowsAPadlockAndTheLevelThatOpensIt)
{
    File("assets/config/unlocks.xml", "<?xml version=\"1.0\"?>\n<unlocks>"
                                      "<unlock type=\"level\" name=\"gold\" level=\"20\"/>"
                                      "<unlock type=\"level\" name=\"silver\" level=\"10\" levelscore=\"900\"/>"
                                      "<unlock type=\"level\" name=\"tin\" level=\"30\"/></unlocks>\n");
    TUnlockManager::Create();
    for (const char* name : {"gold.xml", "open.xml", "silver.xml", "tin.xml"})
        File(std::string("assets/config/levels/") + name, "");
    std::string slots;
    for (int k = 1; k <= 4; ++k) {
        const std::string n = std::to_string(k);
        slots += "Button { name = 'gamebutton_" + n + "', w = 5, h = 5 }, Text { name = 'statustext_" + n +
                 "', w = 50, h = 20 }, Text { name = 'unlocktext_" + n + "', w = 50, h = 20 }, ";
        if (k < 4)  // the last row's layout has no padlock
            slots += "Window { name = 'lockedbutton_" + n + "', w = 5, h = 5 }, ";
    }
    Lua("PushModal('m2') MakeDialog { LockedLevels { name = 'packs', w = 800, h = 600, " + slots + "} }");
    ASSERT_NE(GetCast<TLockedLevels>(Find("packs")), nullptr);

    EXPECT_EQ(TextOf("statustext_1"), "Locked");
    EXPECT_EQ(TextOf("unlocktext_1"), "Finish level 20 to open it");
    EXPECT_TRUE(Find("gamebutton_1")->IsVisible()) << "every listed pack keeps its button";
    EXPECT_TRUE(Find("lockedbutton_1")->IsVisible());

    EXPECT_EQ(TextOf("statustext_2"), "Ready");  // no rule names it
    EXPECT_EQ(TextOf("unlocktext_2"), "");
    EXPECT_TRUE(Find("gamebutton_2")->IsVisible());
    EXPECT_FALSE(Find("lockedbutton_2")->IsVisible());

    EXPECT_EQ(TextOf("statustext_3"), "Locked");
    EXPECT_EQ(TextOf("unlocktext_3"), "") << "its rule asks for a score as well";
    EXPECT_TRUE(Find("lockedbutton_3")->IsVisible());
    EXPECT_TRUE(Find("gamebutton_3")->IsVisible());

    EXPECT_EQ(TextOf("unlocktext_4"), "Finish level 30 to open it");
    EXPECT_TRUE(Find("gamebutton_4")->IsVisible()) << "a layout without a padlock";
}

TEST_F(CareerScreens, CreditsSplitColumnsAndNeverDivideByNothing)
{
    const str line = CreditLine("  [Art]|Our team\t", "ffcc00");
    EXPECT_STREQ(line.c_str(), "<font color='ffcc00'>Art</font>|Our team\n");  // the bar is split by the reader, not here
    File("credits.txt", "[Art] | Our team\nThanks\nlast");
    const TCreditsColumns columns = ReadCredits((mHome / "credits.txt").c_str(), "ffcc00", 175);
    EXPECT_STREQ(columns.left.c_str(), "<font color='ffcc00'>Art</font>\n\n\n\n\n");
    EXPECT_STREQ(columns.right.c_str(), "Our team\n\n\n\n\n");
    EXPECT_STREQ(columns.centre.c_str(), "\nThanks\nlast\n\n\n");  // "last" keeps its t
    // A missing or empty file, and a font size of nothing, give a still page;
    // the file is named in the log.
    File("empty.txt", "");
    for (const std::string& file : {std::string("missing.txt"), (mHome / "empty.txt").string()}) {
        testing::internal::CaptureStderr();
        EXPECT_STREQ(ReadCredits(file.c_str(), "ffffff", 0).centre.c_str(), std::string(350, '\n').c_str());
        EXPECT_NE(testing::internal::GetCapturedStderr().find("Credits file " + file), std::string::npos) << file;
    }
    EXPECT_EQ(CreditsScroll(60000, 0), 0);
    EXPECT_EQ(CreditsScroll(2999, 400), 0);
    EXPECT_EQ(CreditsScroll(13000, 400), 200);
    File("assets/empty.txt", "");
    Lua("PushModal('c') MakeDialog { CreditsWindow { name = 'credits', w = 800, h = 600, file = 'assets/empty.txt', "
        "fontsize = 0 } }");
    auto* credits = GetCast<TCredits>(Find("credits"));
    ASSERT_NE(credits, nullptr);
    EXPECT_EQ(credits->GetFontSize(), 1);
    credits->Draw();
}

TEST_F(CareerScreens, AnUnlockedOutfitIsAnnouncedOnce)
{
    File("assets/config/unlocks.xml", "<?xml version=\"1.0\"?>\n<unlocks>"
                                      "<unlock type=\"outfit\" name=\"blouse\" level=\"2\"/>"
                                      "<unlock type=\"level\" name=\"gold\" level=\"30\"/></unlocks>\n");
    TUnlockManager::Create()->MarkCurrentState();
    Finish(2);
    const char* layout = "PushModal('u') MakeDialog { UnlockWindow { name = 'u', w = 400, h = 300, "
                         "Text { name = 'body', w = 300, h = 200 } } }";
    Lua(layout);
    EXPECT_EQ(TextOf("body"), "New outfit: Blouse\n");
    Lua("DoPopModal()");
    Lua(layout);
    EXPECT_EQ(TextOf("body"), "");
    Lua("DoPopModal()");

    // The notice of the clothing the level awards: two items, so slots 2 and 3 are hidden.
    File("assets/config/clothing.xml", "<?xml version=\"1.0\"?>\n<clothing>"
                                       "<item name=\"blouse_name\" file=\"blouse\" unlock=\"2\"/>"
                                       "<item name=\"gold_name\" file=\"skirt\" unlock=\"2\" color=\"red\"/>"
                                       "<item name=\"gold_name\" file=\"hat\" unlock=\"3\"/></clothing>\n");
    mSettings->SetCurrentRestaurant(0);
    mSettings->SetCurrentLevel(2);
    std::string icons;
    for (int i = 0; i < 4; ++i)
        icons += str::getFormatted("Bitmap { name = 'icon%d', w = 10, h = 10 }, Text { name = 'name%d', w = 10, h = 10 }, ",
                                   i, i).c_str();
    Lua("PushModal('c') MakeDialog { ClothingUnlocked { name = 'clothes', w = 400, h = 300, " + icons + "} }");
    EXPECT_EQ(TextOf("name0"), "Blouse");
    EXPECT_EQ(TextOf("name1"), "Gold pack");
    for (const char* hidden : {"icon2", "name2", "icon3", "name3"})
        EXPECT_FALSE(Find(hidden)->IsVisible()) << hidden;
    EXPECT_TRUE(Find("name1")->IsVisible());
    EXPECT_TRUE(mSettings->IsNewClothing("blouse"));
    EXPECT_FALSE(mSettings->IsNewClothing("hat"));
}

TEST_F(CareerScreens, TheWardrobeDressesTheWaitressAndTheChoiceStays)
{
    // The real clothing, its catalogue and the wardrobe's pictures.
    for (const char* folder : {"assets/quessa", "assets/quessascloset"})
        fs::copy(fs::path(QM_DATA_DIR) / folder, mHome / folder, fs::copy_options::recursive);
    fs::create_directories(mHome / "assets/config");
    fs::copy(fs::path(QM_DATA_DIR) / "assets/config/clothing.xml", mHome / "assets/config/clothing.xml");
    const TQuessaColors colourList;  // as the game's start-up reads it
    Finish(3);  // the sailor top (won at level 3) is open, the hair bow (level 5) not yet
    mSettings->AddNewClothing("top2");
    Lua("PushModal('w') MakeDialog { QuessasCloset { name = 'closet', w = 800, h = 600 } }");
    auto* closet = GetCast<TQuessasCloset>(Find("closet"));
    ASSERT_NE(closet, nullptr);
    const int colours = static_cast<int>(colourList.Colors().size());
    EXPECT_EQ(closet->GetSlot(TQuessa::kShoes).items.size(), 1u);
    EXPECT_EQ(closet->GetSlot(TQuessa::kTop).items.size(), 2u);
    EXPECT_EQ(closet->GetSlot(TQuessa::kAccessory).items.size(), 0u);
    EXPECT_TRUE(closet->IsGlowing(TQuessa::kTop));
    EXPECT_FALSE(closet->IsGlowing(TQuessa::kShoes));
    // She starts in her default clothes; an empty slot shows nothing and its arrows do nothing.
    const TClosetAsset& top = closet->GetSlot(TQuessa::kTop);
    EXPECT_EQ(top.chosenItem, 0);
    EXPECT_STREQ(top.ColorName(top.chosenItem, top.chosenColor).c_str(), "default_top");
    Lua("ChangeClothing(4, 1)");
    EXPECT_FALSE(closet->IsSlotVisible(TQuessa::kAccessory));
    // Left from the first shoe pair wraps to the last shoe's last colour.
    ASSERT_EQ(closet->GetSlot(TQuessa::kShoes).chosenColor, 0);
    Lua("ChangeClothing(0, -1)");
    EXPECT_EQ(closet->GetSlot(TQuessa::kShoes).chosenColor, colours - 1);
    // The apron runs through "off" after its last pair, then back to the first.
    const int apronSteps = colours - closet->GetSlot(TQuessa::kApron).chosenColor;
    for (int i = 0; i < apronSteps; ++i)
        Lua("ChangeClothing(3, 1)");
    EXPECT_EQ(closet->GetSlot(TQuessa::kApron).chosenItem, -1);
    EXPECT_FALSE(closet->IsSlotVisible(TQuessa::kApron));
    // On to the sailor top in teal, then keep the outfit.
    while (top.ColorName(top.chosenItem, top.chosenColor) != str("teal") || top.chosenItem != 1)
        Lua("ChangeClothing(2, 1)");
    Lua("SaveOutfit()");
    mSettings->DeleteSettings();
    mSettings = TSettings::CreateSettings();
    str asset, colour;
    mSettings->GetClothing(TQuessa::kTop, &asset, &colour, "", "");
    EXPECT_STREQ(asset.c_str(), "assets/quessa/top2.anm");
    EXPECT_STREQ(colour.c_str(), "teal");
    mSettings->GetClothing(TQuessa::kApron, &asset, &colour, "", "");
    EXPECT_STREQ(asset.c_str(), "<off>");
    EXPECT_STREQ(colour.c_str(), "");
    // The waitress on the floor wears what was kept.
    TQuessa waitress(nullptr);
    waitress.ApplyClothing();
    ASSERT_NE(waitress.GetLayer(TQuessa::kTop), nullptr);
    EXPECT_STREQ(waitress.GetLayer(TQuessa::kTop)->GetAsset().c_str(), "assets/quessa/top2.anm");
    EXPECT_STREQ(waitress.GetLayer(TQuessa::kTop)->GetColour().c_str(), "teal");
    EXPECT_EQ(waitress.GetLayer(TQuessa::kApron), nullptr);
}

}  // namespace
