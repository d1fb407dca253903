// The restaurant scene on the headless engine with the game's own art and
// music: decor the player picked shows again, the upgrade choice picks an
// item by its pixels, each restaurant starts from its own scenery, and the
// music runs intro, then pieces, each starting as the last ends.
#include "staff_fixture.h"

#include "engine/sound/sound.h"
#include "engine/sound/soundmanager.h"
#include "game/play/restaurant.h"

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

class RestaurantTest : public StaffTest {
protected:
    void SetUp() override
    {
        StaffTest::SetUp();
        std::filesystem::copy(std::filesystem::path(QM_DATA_DIR) / "assets" / "audio", mHome / "assets" / "audio",
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::skip_existing);
    }

    // Moves the fake time on and lets the sound manager hand out what ended.
    void Advance(int ms)
    {
        mBackend->now += std::uint32_t(ms);
        TSoundManager::GetInstance()->HandleNotifications();
    }
};

TEST_F(RestaurantTest, PickedDecorIsShownAgainAndTheChoiceHitsOnlyAnItemsPixels)
{
    mSettings->SetCurrentRestaurant(TRestaurant::kTrain);
    mSettings->SetCurrentLevel(3);
    mSettings->SelectDecorUpgrade(1);
    TRestaurant restaurant;
    restaurant.Initialize();
    // Decor N is slot N - 1: the chairs take slot 4, after the last decor.
    EXPECT_EQ(restaurant.ChairSlot(), 4);
    EXPECT_TRUE(restaurant.HasDecorImage(1)) << "the picked decor is on the wall from the start";
    EXPECT_FALSE(restaurant.HasDecorImage(0));
    EXPECT_EQ(restaurant.ChairUpgradeLevel(), 0);
    EXPECT_TRUE(restaurant.HasUpgradesAvailable()) << "the chairs are still to pick";

    testing::internal::CaptureStderr();
    restaurant.EnterUpgradeMode();
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log.find("not found"), std::string::npos) << "every decor offered has its pictures:\n" << log;
    for (int slot : {0, 2, 3})
        EXPECT_TRUE(restaurant.HasOptionImage(slot)) << slot;
    EXPECT_FALSE(restaurant.HasOptionImage(1)) << "already picked";
    // Decor 1 (slot 0), the train's fern, stands with its top left at (724, 138): its
    // stand is at (762, 205), its picture's corner is empty.
    EXPECT_EQ(restaurant.SetSelection({762, 205}, {}), 0);
    EXPECT_EQ(restaurant.UpdateCurrentRollover({725, 139}, {}), -1);
    EXPECT_EQ(restaurant.UpdateCurrentRollover({400, 400}, {}), -1);
    EXPECT_EQ(restaurant.EnableSelectedUpgrade(), 0);
    EXPECT_TRUE(mSettings->IsDecorUpgradeSelected(0));
    restaurant.FadeOutUpgradeMode();
    restaurant.Update(0.6f);
    EXPECT_EQ(restaurant.FadeAlpha(3), 0.0f) << "the others have faded out";
    EXPECT_EQ(restaurant.FadeAlpha(0), 1.0f);
    restaurant.LeaveUpgradeMode();
    EXPECT_TRUE(restaurant.HasDecorImage(0));
    EXPECT_TRUE(restaurant.HasDecorImage(1));
    EXPECT_FALSE(restaurant.HasDecorImage(2)) << "previews go when the choice is over";
    EXPECT_FALSE(restaurant.HasOptionImage(0));

    // The chairs: while not upgraded, a point on a table answers the chair slot.
    restaurant.EnterUpgradeMode();
    auto table = MakeTable(0, {400, 400});
    EXPECT_EQ(restaurant.PointToUpgrade({400, 400}, {table.get()}), restaurant.ChairSlot());
    restaurant.EnableUpgrade(restaurant.ChairSlot(), 0);
    EXPECT_EQ(restaurant.ChairUpgradeLevel(), 1);
    EXPECT_EQ(restaurant.PointToUpgrade({400, 400}, {table.get()}), -1);
}

TEST_F(RestaurantTest, EveryRestaurantsChairsArePickedThroughTheSlotAfterItsDecor)
{
    for (int r : {TRestaurant::kCruise, TRestaurant::kTrain, TRestaurant::kSub, TRestaurant::kBlimp,
                  TRestaurant::kSpaceship}) {
        mSettings->SetCurrentRestaurant(r);
        mSettings->SetCurrentLevel(2);
        TRestaurant before;
        before.Initialize();
        ASSERT_EQ(before.ChairSlot(), 4) << r;
        EXPECT_EQ(before.ChairUpgradeLevel(), 0) << r;
        mSettings->SelectDecorUpgrade(before.ChairSlot());
        TRestaurant after;
        testing::internal::CaptureStderr();
        after.Initialize();
        after.EnterUpgradeMode();
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_EQ(after.ChairUpgradeLevel(), 1) << r << ": the chairs picked show from the next level on";
        EXPECT_FALSE(after.HasDecorImage(4)) << r;
        EXPECT_EQ(log.find("not found"), std::string::npos) << r << "\n" << log;
        for (int slot = 0; slot < 4; ++slot)
            EXPECT_TRUE(after.HasOptionImage(slot)) << r << " slot " << slot;
    }
}

TEST_F(RestaurantTest, EachRestaurantStartsFromItsOwnScenery)
{
    TRestaurant restaurant;
    mSettings->SetCurrentRestaurant(TRestaurant::kCruise);
    restaurant.Initialize();
    EXPECT_EQ(restaurant.IslandPosition(0).x, 500.0f);
    restaurant.Update(1.0f);
    EXPECT_EQ(restaurant.IslandPosition(0).x, 490.0f) << "islands drift 10 px a second";
    EXPECT_EQ(restaurant.AmbientScroll(), -10.0f);

    mSettings->SetCurrentRestaurant(TRestaurant::kSpaceship);
    restaurant.Initialize();
    EXPECT_EQ(restaurant.SecondIsland(), -1) << "no island of the cruise ship follows into space";
    EXPECT_EQ(restaurant.IslandPosition(0).x, 490.0f);
    restaurant.Update(1.0f);
    EXPECT_EQ(restaurant.IslandPosition(0).x, 490.0f);
    EXPECT_EQ(restaurant.PlanetPosition().x, 785.0f);
    EXPECT_EQ(restaurant.CometTimer(), 29.0f);
    restaurant.TriggerTubeGlow();
    restaurant.Update(1.1f);
    EXPECT_FALSE(restaurant.IsTubeGlowOn());

    mSettings->SetCurrentRestaurant(TRestaurant::kSub);
    restaurant.Initialize();
    EXPECT_EQ(restaurant.CometTimer(), 0.0f);
    restaurant.Update(1.0f);
    EXPECT_EQ(restaurant.ShipPosition().x, 1590.0f);
    EXPECT_LT(restaurant.FishPosition(0).x, 800.0f);

    mSettings->SetCurrentRestaurant(TRestaurant::kTrain);
    restaurant.Initialize();
    restaurant.Update(0.5f);
    EXPECT_EQ(restaurant.ForegroundPosition().x, -35.0f);
    EXPECT_NEAR(restaurant.ForegroundPosition().y, 47.0f, 1.0f) << "the carriage bobs by a pixel";
}

TEST_F(RestaurantTest, EachRestaurantsMusicRunsIntroThenPiecesWithoutAGap)
{
    for (int r = TRestaurant::kCruise; r <= TRestaurant::kSpaceship; ++r) {
        mSettings->SetCurrentRestaurant(r);
        TRestaurant restaurant;
        restaurant.Initialize();
        restaurant.StartMusic();
        ASSERT_TRUE(restaurant.CurrentMusic()) << r;
        ASSERT_TRUE(restaurant.Ambient()) << r;
        EXPECT_NE(std::string(restaurant.CurrentMusic()->Name().c_str()).find("_music_intro"), std::string::npos);
        // Each piece starts on the very pass the one before it ends, so
        // something is always playing; and every piece starts and ends on
        // silence, so the joins do not click.
        std::set<std::string> heard;
        for (int ms = 0; ms < 90000; ms += 20) {
            Advance(20);
            const auto& music = restaurant.CurrentMusic();
            ASSERT_TRUE(music) << r << " at " << ms;
            EXPECT_TRUE(music->IsStreamed()) << music->Name().c_str() << ": decoded as it plays, not before";
            heard.insert(music->Name().c_str());
            ASSERT_EQ(TSoundManager::GetInstance()->StreamCount(), 3) << r << " at " << ms
                                                                       << ": the ambient loop, the piece, the next";
        }
        EXPECT_GE(heard.size(), 3u) << r;
        // Below -38 dBFS: what the Ogg encoding leaves of a silent edge.
        constexpr int kSilence = 400;
        for (const std::string& name : heard) {
            auto sound = TSound::Get(name.c_str(), false, 1001);
            const TPcm* pcm = sound->Pcm();
            ASSERT_TRUE(pcm && !pcm->samples.empty()) << name;
            EXPECT_LT(std::abs(pcm->samples.front()), kSilence) << name;
            EXPECT_LT(std::abs(pcm->samples.back()), kSilence) << name;
        }
        Lua("PauseMusic(true)");
    }
    // The script keeps the function; with the scene gone it does nothing.
    Lua("PauseMusic(false)");
    EXPECT_EQ(TSoundManager::GetInstance()->StreamCount(), 0);
}
