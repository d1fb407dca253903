// The between-levels flow on its own: TBetweenLevels on a floor that writes
// down what the flow changes (IBetweenLevelsFloor), with the game's room,
// staff, level manager and waitress on the shipped data but no level graph:
// the new items blinking in before the intro, the way back from the
// wardrobe, the decor choice from its panel to the kept item, and what the
// endless upgrades change on the floor.
#include "floor_data_fixture.h"

#include "game/floor/quessa.h"
#include "game/floor/shelves.h"
#include "game/levels/levelmanager.h"
#include "game/play/betweenlevels.h"
#include "game/play/restaurantstaff.h"
#include "game/rules/scoremanager.h"
#include "game/rules/tutorial.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60;

// The floor as the flow sees it; what it is asked to change is written down.
class RecordingFloor : public IBetweenLevelsFloor {
public:
    explicit RecordingFloor(TXmlNode* globals) : staff(globals), levels(TLevelManager::kCareer), waitress(globals) {}

    TRestaurantStaff& GetStaff() override { return staff; }
    std::vector<IStation*> TableStations() const override { return {}; }
    void WearDecorLevel(int level) override { worn.push_back(level); }
    void DoStartDirty() override { ++dirtyStarts; }
    TScoreManager* GetScoreManager() override { return &score; }
    TLevelManager* GetLevelManager() override { return &levels; }
    TTutorial& GetTutorial() override { return tutorial; }
    TQuessa* GetQuessa() override { return &waitress; }
    TDrinkStation& GetDrinkStation() override { return drinks; }
    int AddTableUpgrade() override
    {
        changes.push_back("tables");
        return 5;
    }
    void SetLinePatience(float multiplier) override { changes.push_back("patience " + Num(multiplier)); }
    void ShowBench(float multiplier, bool luxury) override
    {
        changes.push_back("bench " + Num(multiplier) + (luxury ? " luxury" : ""));
    }
    void SetFoodReadyTime(float seconds) override { changes.push_back("food " + Num(seconds)); }
    void BuildStationList() override { ++stationLists; }

    TRestaurantStaff staff;
    TLevelManager levels;
    TQuessa waitress;
    TScoreManager score;
    TTutorial tutorial;
    TDrinkStation drinks;
    std::vector<int> worn;  // each decor level the tables were asked to wear
    int dirtyStarts = 0;
    int stationLists = 0;
    std::vector<std::string> changes;

private:
    static std::string Num(float v) { return str::getFormatted("%g", double(v)).c_str(); }
};

// The context of a career level of the player's, as the level reads it.
TLevelContext CareerLevel(int restaurant, int level)
{
    TChosenLevel chosen;
    chosen.fromSettings = true;
    chosen.restaurant = restaurant;
    chosen.level = level;
    return TLevelContext::Read(chosen);
}

}  // namespace

class BetweenLevelsAlone : public FloorTest {
protected:
    void SetUp() override
    {
        FloorTest::SetUp();
        mFloor = std::make_unique<RecordingFloor>(mGlobals);
        mBetween = std::make_unique<TBetweenLevels>(*mFloor, &mHost.events);
    }
    void TearDown() override
    {
        mBetween.reset();
        mFloor.reset();
        FloorTest::TearDown();
    }
    // Frames until the flow hands the level its state back (at most `seconds`).
    std::optional<EGameState> RunToTheEnd(float seconds = 10)
    {
        for (float t = 0; t < seconds; t += kFrame)
            if (const std::optional<EGameState> next = mBetween->Update(kFrame))
                return next;
        return std::nullopt;
    }
    TRestaurant& Room() { return mFloor->staff.Restaurant(); }

    std::unique_ptr<RecordingFloor> mFloor;
    std::unique_ptr<TBetweenLevels> mBetween;
};

// Before an odd level the new items blink in for two seconds, on and off a
// fifth of a second each, on a floor with last night's dishes, and the
// level's intro follows.
TEST_F(BetweenLevelsAlone, AnOddLevelsNewItemsBlinkInAndTheIntroFollows)
{
    mBetween->LevelSetUp();
    mBetween->LevelEnds();  // the same layout again: nothing new to announce
    mBetween->Begin(CareerLevel(0, 3));
    ASSERT_TRUE(mBetween->IsRunning());
    EXPECT_EQ(mBetween->State(), kNewItem);
    EXPECT_EQ(mFloor->dirtyStarts, 1);
    EXPECT_TRUE(mHost.events.empty());

    int frames = 0, blinks = 0;
    bool on = false;
    std::optional<EGameState> next;
    for (; frames < 600 && !next; ++frames) {
        next = mBetween->Update(kFrame);
        if (mBetween->IsBlinkOn() != on)
            ++blinks;
        on = mBetween->IsBlinkOn();
        if (!next) {
            EXPECT_NEAR(mBetween->Timer(), (frames + 1) * kFrame, 1e-3f);
        }
    }
    EXPECT_EQ(next, kIntroFadeDown);
    EXPECT_FALSE(mBetween->IsRunning());
    EXPECT_FALSE(mBetween->IsBlinkOn());
    EXPECT_NEAR(frames * kFrame, 2.0f, 2 * kFrame);
    EXPECT_GE(blinks, 9);  // ten fifths of a second: on, off, on, ...
    // Every frame the tables wear the decor of the blink's side.
    EXPECT_EQ(static_cast<int>(mFloor->worn.size()), frames + 1);
    EXPECT_EQ(mFloor->dirtyStarts, 1);
}

// Back from the wardrobe the game's pictures return, the new level's dishes
// are laid, and the level fades in.
TEST_F(BetweenLevelsAlone, BackFromTheWardrobeTheLevelFadesIn)
{
    mBetween->LevelEnds();
    mBetween->WaitForCloset();
    ASSERT_TRUE(mBetween->IsRunning());
    EXPECT_EQ(mBetween->State(), kLoadAssets);
    EXPECT_EQ(mBetween->Update(kFrame), kFadeIn);
    EXPECT_FALSE(mBetween->IsRunning());
    EXPECT_EQ(mHost.Count<levelevent::BackFromCloset>(), 1);
    EXPECT_EQ(mFloor->dirtyStarts, 1);
    // The level's own flow may also take over before the flow is done.
    mBetween->WaitForCloset();
    mBetween->Stop();
    EXPECT_FALSE(mBetween->IsRunning());
}

// Before an even level the room's decor is offered: the panel opens (the
// first time with its tip), the tables show the chair option once it has
// faded in, pointing at an item shows it with the pointing hand, a click
// chooses it, the button keeps it (the player's pick, the cash as the
// career keeps it), and the new items blink in before the intro.
TEST_F(BetweenLevelsAlone, TheDecorChoiceFromItsPanelToTheKeptItem)
{
    mSettings->SetCurrentRestaurant(0);
    mSettings->SetCurrentLevel(2);
    mSettings->SetCareerCash(1234);
    Room().Initialize();
    mBetween->LevelSetUp();
    mBetween->LevelEnds();
    mBetween->Begin(CareerLevel(0, 2));
    ASSERT_EQ(mBetween->State(), kDecorChoice);
    ASSERT_EQ(mHost.Count<levelevent::DecorChoiceOpens>(), 1);
    EXPECT_TRUE(std::get<levelevent::DecorChoiceOpens>(mHost.events.back()).firstTime);
    EXPECT_EQ(mFloor->dirtyStarts, 0);

    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(mBetween->Update(kFrame), std::nullopt);
    EXPECT_EQ(mFloor->worn, std::vector<int>{1});  // the chair option, once faded in
    EXPECT_EQ(mBetween->State(), kDecorChoice);

    TPoint item{-1, -1};
    int slot = -1;
    for (int y = 0; y < 460 && slot < 0; y += 4)
        for (int x = 100; x < 800 && slot < 0; x += 4)
            if ((slot = Room().PointToUpgrade(TPoint{x, y}, {})) >= 0)
                item = TPoint{x, y};
    ASSERT_GE(slot, 0) << "no decor item to choose";
    mBetween->DecorMouseMove(item, false);
    EXPECT_EQ(mBetween->Cursor(), EFloorCursor::kPointingHand);
    EXPECT_EQ(std::get<levelevent::DecorItemShown>(mHost.events.back()).item, slot);
    mBetween->DecorMouseMove(TPoint{2, 590}, false);
    EXPECT_EQ(mBetween->Cursor(), EFloorCursor::kArrow);
    mBetween->DecorMouseUp(item);
    EXPECT_EQ(Room().Selection(), slot);
    EXPECT_TRUE(std::get<levelevent::DecorButtonShown>(mHost.events.back()).shown);

    mBetween->DecorButton();
    EXPECT_EQ(mBetween->State(), kDecorChosen);
    EXPECT_EQ(mBetween->Timer(), 0.0f);
    EXPECT_EQ(mHost.Count<levelevent::DecorKept>(), 1);
    EXPECT_EQ(mFloor->worn.back(), Room().ChairUpgradeLevel());
    EXPECT_TRUE(mSettings->IsDecorUpgradeSelected(slot));
    mBetween->DecorButton();  // once kept, the button does nothing more
    EXPECT_EQ(mHost.Count<levelevent::DecorKept>(), 1);

    for (int i = 0; i < 40 && mBetween->State() == kDecorChosen; ++i)
        EXPECT_EQ(mBetween->Update(kFrame), std::nullopt);
    EXPECT_EQ(mBetween->State(), kNewItem);
    EXPECT_EQ(mHost.Count<levelevent::DecorChoiceCloses>(), 1);
    EXPECT_EQ(mHost.Sounds("upgrade"), 1);
    EXPECT_EQ(mFloor->score.GetCash(), 1234);
    EXPECT_EQ(RunToTheEnd(), kIntroFadeDown);
    EXPECT_EQ(mFloor->worn.back(), Room().ChairUpgradeLevel());
}

// An even level whose decor was chosen already goes straight to its new
// items, without the panel and without the new items' sound.
TEST_F(BetweenLevelsAlone, AnEvenLevelWhoseDecorIsChosenShowsItsNewItems)
{
    mSettings->SetCurrentRestaurant(0);
    mSettings->SetCurrentLevel(0);  // a restaurant's first level counts as picked
    Room().Initialize();
    mBetween->LevelEnds();
    mBetween->Begin(CareerLevel(0, 0));
    EXPECT_EQ(mBetween->State(), kNewItem);
    EXPECT_EQ(mHost.Count<levelevent::DecorChoiceOpens>(), 0);
    EXPECT_EQ(mFloor->dirtyStarts, 1);
    EXPECT_EQ(RunToTheEnd(), kIntroFadeDown);
    EXPECT_EQ(mHost.Sounds("upgrade"), 0);
}

// The endless upgrades change the floor through its pieces, each once.
TEST_F(BetweenLevelsAlone, TheEndlessUpgradesChangeTheFloorThroughItsPieces)
{
    mBetween->EnableMaitreD(1.5f);
    mBetween->EnableBench(2, true);
    mBetween->EnableOven(1.25f);
    mBetween->TableUpgrade();
    EXPECT_EQ(mFloor->changes, (std::vector<std::string>{"patience 1.5", "bench 2 luxury", "food 1.25", "tables"}));
    EXPECT_EQ(mFloor->stationLists, 0);

    mBetween->EnableDrinkStation(8, 2);
    EXPECT_TRUE(mFloor->drinks.IsEnabled());
    mBetween->EnablePodium(10, 5, 2, 1, 3);
    EXPECT_TRUE(mFloor->staff.Podium().IsEnabled());
    EXPECT_EQ(mFloor->staff.Podium().PartiesBoosted(), 3);
    mBetween->EnableStereo(1, 4);
    EXPECT_EQ(mFloor->stationLists, 3);  // each new station joins the lists

    EXPECT_FALSE(mBetween->IsTutorialActive());
    mFloor->tutorial.SetActive(true);
    EXPECT_TRUE(mBetween->IsTutorialActive());
    EXPECT_EQ(mBetween->GetCurrentLevelStr(), mFloor->levels.GetCurrentLevelStr());
    EXPECT_FALSE(mBetween->TableUpgradeAvailable());  // a career level has none
    mBetween->HideUpgradeNotice();
    EXPECT_EQ(mHost.Count<levelevent::UpgradeNoticeHidden>(), 1);
}
