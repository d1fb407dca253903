// Endless play between shifts: the game's own catalogue and upgrade screen
// on the headless engine, with a recording game behind the upgrade seam.
#include "recording_game.h"
#include "screens_fixture.h"

#include "engine/script/luabind.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowmanager.h"
#include "game/levels/upgrades.h"
#include "game/levels/upgradetarget.h"
#include "game/screens/screenchildren.h"
#include "game/screens/upgradepicker.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

RecordingGame* gGame = nullptr;

// What the game window publishes for the screen: fills the picker of the top modal.
int LuaSetupUpgradeScreen(lua_State*)
{
    TWindowManager* manager = TWindowManager::GetInstance();
    TWindow* found = manager->GetTopModalWindow()->GetChildWindow("upgradepicker", -1);
    if (auto* picker = found ? found->GetCast<TUpgradePicker>() : nullptr)
        picker->PickUpgrades(gGame, gGame->IsTutorialActive());
    return 0;
}

class EndlessUpgrades : public GameScreensTest {
protected:
    void SetUp() override
    {
        GameScreensTest::SetUp();
        CopyAssets({"strings.xml", "config/endlessupgrades.xml", "scripts/ui.lua", "scripts/upgrade.lua",
                    "ui/upgrades", "ui/kit", "fonts"});
        StartGame();
        settings->SetCurrentGameMode(TSettings::kEndlessMode);
        settings->SetCurrentRestaurant(0);
        qm::lua::Publish(L, "SetupUpgradeScreen", "upgrade test", nullptr, LuaSetupUpgradeScreen);
        game = std::make_unique<RecordingGame>();
        gGame = game.get();
    }
    void TearDown() override
    {
        gGame = nullptr;
        game.reset();
        GameScreensTest::TearDown();
    }

    TUpgradePicker* OpenPicker()
    {
        OpenScreen("scripts/upgrade.lua");
        TWindow* found = Find("upgradepicker");
        return found ? found->GetCast<TUpgradePicker>() : nullptr;
    }
    std::string Text(const char* name) { return screens::GetChildText(manager->GetTopModalWindow(), name).c_str(); }
    bool Shown(const char* name) { return screens::IsChildShown(manager->GetTopModalWindow(), name); }
    void ClickOffer(int k)
    {
        const TPoint c = TUpgradePicker::OfferCentre(k);
        ClickAt(c.x, c.y);
    }

    std::unique_ptr<RecordingGame> game;
};

}  // namespace

TEST_F(EndlessUpgrades, EachShiftOffersUpgradesAndTheChosenOneApplies)
{
    ASSERT_EQ(game->upgrades.Count(), 7);
    std::map<std::string, int> bought;
    int shifts = 0;
    while (game->upgrades.UpgradeAvailable() || game->TableUpgradeAvailable()) {
        ASSERT_LT(++shifts, 30);
        TUpgradePicker* picker = OpenPicker();
        ASSERT_NE(picker, nullptr);
        // The table comes first while the endless entry has one to add.
        if (game->TableUpgradeAvailable()) {
            EXPECT_EQ(std::string(picker->GetOfferId(0).c_str()), "table");
        }
        // Two offers never show the same art.
        EXPECT_TRUE(!picker->HasOffer(1) || picker->GetOfferId(0) != picker->GetOfferId(1));
        EXPECT_FALSE(Shown("continue"));

        // Pointing at an offer reads its description; pointing away empties it.
        const TPoint last = TUpgradePicker::OfferCentre(2);
        const int choice = picker->HasOffer(2) ? 2 : 0;
        MouseAt(TEvent::kMouseMove, last.x, last.y);
        EXPECT_EQ(Text("descrip").empty(), !picker->HasOffer(2));
        MouseAt(TEvent::kMouseMove, 40, 560);
        EXPECT_EQ(Text("descrip"), "");

        ClickOffer(choice);
        EXPECT_EQ(picker->GetChosen(), choice);
        EXPECT_TRUE(Shown("continue"));
        // A click between two offers keeps the choice.
        ClickAt(TUpgradePicker::OfferCentre(0).x + 75, TUpgradePicker::OfferCentre(0).y);
        EXPECT_EQ(picker->GetChosen(), choice);

        const std::string id = picker->GetOfferId(choice).c_str();
        const size_t before = game->applied.size();
        Lua("ActivateUpgrade()");
        ASSERT_EQ(game->applied.size(), before + 1) << id;
        EXPECT_EQ(game->applied.back().substr(0, id.size()), id);
        ++bought[id];
        manager->PopModal();
        Frame(0);
        ++game->shift;
    }
    // Every level of every upgrade was bought once, and the table.
    EXPECT_EQ(bought, (std::map<std::string, int>{{"bench", 2}, {"drinks", 2}, {"maitred", 2}, {"oven", 2},
                                                  {"podium", 2}, {"shoes", 3}, {"stereo", 2}, {"table", 1}}));
    EXPECT_EQ(game->upgrades.GetBoughtCount(), 16);
    // Each level applied its own values, in buying order, times in seconds.
    auto applied = [&](const std::string& prefix) {
        std::vector<std::string> out;
        for (const std::string& line : game->applied)
            if (line.rfind(prefix, 0) == 0)
                out.push_back(line);
        return out;
    };
    EXPECT_EQ(applied("shoes"), (std::vector<std::string>{"shoes 340", "shoes 380", "shoes 420"}));
    EXPECT_EQ(applied("bench"), (std::vector<std::string>{"bench 2", "bench 3 second"}));
    EXPECT_EQ(applied("podium"), (std::vector<std::string>{"podium 3 2 15 1 2", "podium 2.5 3 10 2 3"}));
    EXPECT_EQ(applied("oven"), (std::vector<std::string>{"oven 2.2", "oven 1.5"}));
    EXPECT_EQ(applied("drinks"), (std::vector<std::string>{"drinks 12 1", "drinks 8 2"}));
    EXPECT_EQ(applied("stereo"), (std::vector<std::string>{"stereo 0 8", "stereo 1 5"}));
    EXPECT_EQ(std::string(game->upgrades.GetCurrentDescription("shoes").c_str()), "Roller skates");

    // With everything bought the screen offers nothing, and continue buys nothing.
    TUpgradePicker* picker = OpenPicker();
    ASSERT_NE(picker, nullptr);
    for (int k = 0; k < TUpgradePicker::kOffers; ++k)
        EXPECT_FALSE(picker->HasOffer(k));
    EXPECT_EQ(Text("item1"), "");
    ClickOffer(0);
    EXPECT_EQ(picker->GetChosen(), -1);
    Lua("ActivateUpgrade()");
    EXPECT_EQ(game->applied.size(), 16u);
    // The bought titles are listed on the screen.
    EXPECT_EQ(Text("shoes"), "Roller skates");
    EXPECT_EQ(Text("heatlamp"), "");

    // A new run starts from nothing.
    game->upgrades.Reset();
    EXPECT_TRUE(game->upgrades.UpgradeAvailable());
    EXPECT_EQ(std::string(game->upgrades.GetCurrentDescription("shoes").c_str()), "");
}

TEST_F(EndlessUpgrades, TheTutorialOffersTheDrinksAndThePodium)
{
    game->tutorial = true;
    TUpgradePicker* picker = OpenPicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(std::string(picker->GetOfferId(0).c_str()), "drinks");
    EXPECT_EQ(std::string(picker->GetOfferId(1).c_str()), "podium");
    EXPECT_FALSE(picker->HasOffer(2));
    EXPECT_EQ(Text("item1"), "Drink station");
}

// The three faults of a run that has bought everything or has no catalogue.
TEST_F(EndlessUpgrades, NothingLeftOrNoCatalogueIsHandledQuietly)
{
    // Buying past the last level names, logs and applies nothing.
    for (int i = 0; i < 3; ++i)
        game->upgrades.UpgradeItem("shoes", game.get());
    game->upgrades.UpgradeItem("shoes", game.get());
    EXPECT_EQ(game->applied.size(), 3u);
    EXPECT_EQ(game->upgrades.GetUpgrade(0)->level, 3);
    EXPECT_EQ(game->upgrades.GetUpgrade(99), nullptr);

    // An empty catalogue (career mode reads none) gives no random offers.
    settings->SetCurrentGameMode(TSettings::kCareerMode);
    game->upgrades.ParseUpgrades();
    game->tablesLeft = 0;
    EXPECT_EQ(game->upgrades.Count(), 0);
    TUpgradePicker* picker = OpenPicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_FALSE(picker->HasOffer(0));
    // Continue with nothing chosen buys nothing.
    Lua("ActivateUpgrade()");
    EXPECT_EQ(game->applied.size(), 3u);
}

TEST_F(EndlessUpgrades, RestaurantsAndSharedArtShapeTheCatalogue)
{
    // Upgrades and levels of another restaurant are left out; "%" is the restaurant.
    game->upgrades.ParseUpgradesText(
        "<upgrades>"
        "<a id=\"oven\"><level><icon>ui/upgrades/icon_oven_1</icon><name>n</name></level></a>"
        "<b id=\"bench\" restaurant=\"2\"><level><icon>x</icon></level></b>"
        "<c id=\"shoes\"><level restaurant=\"2\"><icon>i%</icon></level><level><icon>ui/upgrades/icon_oven_1</icon>"
        "<props Speed=\"5\"></props></level></c>"
        "<d id=\"podium\"><level restaurant=\"3\"><icon>p</icon></level></d>"
        "</upgrades>",
        3);
    ASSERT_EQ(game->upgrades.Count(), 3);
    EXPECT_EQ(std::string(game->upgrades.GetUpgrade(1)->id.c_str()), "shoes");
    EXPECT_EQ(game->upgrades.GetUpgrade(1)->index, 2);
    EXPECT_EQ(game->upgrades.GetUpgrade(1)->levels.size(), 1u);
    EXPECT_EQ(std::string(game->upgrades.GetUpgrade(2)->levels[0].icon.c_str()), "p");

    // The oven and the shoes share their art: never offered side by side.
    game->tablesLeft = 0;
    game->upgrades.GetUpgrade(2)->level = 1;  // the podium is bought out
    for (int seed = 0; seed < 8; ++seed) {
        engine.platform->SeedRand(unsigned(seed));
        TUpgradePicker* picker = OpenPicker();
        ASSERT_NE(picker, nullptr);
        EXPECT_TRUE(picker->HasOffer(0));
        EXPECT_FALSE(picker->HasOffer(1));
        manager->PopModal();
        Frame(0);
    }
}
