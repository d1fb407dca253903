// The phone and podium in a career level of the blimp on the headless floor:
// the level's graph puts them on the floor, the waitress walks to the phone,
// a staff button calls the busboy, he works his minute and leaves, and the
// phone is gone for the rest of the level.
#include "floorbot.h"
#include "floor_data_fixture.h"

#include "engine/base/xml.h"
#include "game/floor/quessa.h"
#include "game/rules/scoremanager.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

class LevelStaff : public FloorTest {
protected:
};

TEST_F(LevelStaff, TheWaitressCallsTheBusBoyByPhoneAndThePhoneIsGone)
{
    constexpr float kFrame = 1.0f / 60;
    mSettings->SetCurrentRestaurant(3);  // the blimp's fourth level has a phone and a podium
    mSettings->SetCurrentLevel(3);
    mPlatform->SeedRand(5);
    TLevelEventLog host;
    TScoreManager score;
    TGameData floor(mGlobals, &score, &host.events);
    floor.SetupStars();
    floor.SetupLevel();
    floor.StartIntro();
    floor.DoSkipTutorial();
    TRestaurantStaff& staff = floor.GetStaff();
    ASSERT_TRUE(staff.Phone().IsPresent());
    ASSERT_TRUE(staff.Podium().IsEnabled());
    const auto& stations = floor.GetStations();
    EXPECT_NE(std::find(stations.begin(), stations.end(), &staff.Phone()), stations.end());
    for (int i = 0; i < 600 && floor.GetState() != kPlaying; ++i)
        floor.Update(kFrame);
    ASSERT_EQ(floor.GetState(), kPlaying);
    EXPECT_TRUE(staff.Restaurant().CurrentMusic()) << "the music starts with play";

    TQuessa* her = floor.GetQuessa();
    her->AddDestination(&staff.Phone(), 0, -35);
    for (int i = 0; i < 600 && her->GetQueue().size() > 0; ++i)
        floor.Update(kFrame);
    EXPECT_EQ(staff.Phone().ButtonKind(0), TPhoneStation::kBusBoy) << "her arrival showed the staff buttons";
    Lua("PhoneButton(0)");
    EXPECT_TRUE(staff.BusBoy().IsActive());
    EXPECT_FALSE(staff.Phone().IsPresent());

    TFloorBot bot(floor);
    for (int i = 0; i < 75 * 60 && staff.BusBoy().IsActive(); ++i) {
        floor.Update(kFrame);
        bot.Act();
    }
    EXPECT_FALSE(staff.BusBoy().IsActive()) << "his minute is over";
    EXPECT_EQ(staff.BusBoy().Carried(), 0) << "and he left empty-handed";
    EXPECT_TRUE(staff.BusBoy().IsPoofPlaying());
    int kind = 0;
    EXPECT_FALSE(staff.Phone().HitTest({760, 430}, nullptr, &kind));
}
