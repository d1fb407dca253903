// The level's context: read once as each level starts (the graph built for
// the first, the next level the level manager chose, the same one started
// again) from the level the level manager chose; and the first endless
// game's tutorial, which plays career level 1 in the restaurant chosen for
// endless and leaves the player's choice as it was.
#include "floor_data_fixture.h"

#include "game/levels/levelmanager.h"
#include "game/play/levelcontext.h"

class LevelContextReads : public FloorTest {
protected:
    // Frames until the floor plays a level again after `setUps` level set-ups in all.
    bool RunToPlay(TGameData& floor, int setUps, float seconds = 30)
    {
        constexpr float kFrame = 1.0f / 60;
        for (float t = 0; t < seconds; t += kFrame) {
            floor.Update(kFrame);
            if (floor.GetState() == kPlaying && mHost.Count<levelevent::LevelSetUp>() == setUps)
                return true;
        }
        return false;
    }
};

TEST_F(LevelContextReads, OnceAsEachLevelStartsFromTheLevelManagersChoice)
{
    mSettings->SetCurrentRestaurant(0);
    mSettings->SetCurrentLevel(2);
    const int before = TLevelContext::Reads();
    TScoreManager score;
    TGameData floor(mGlobals, &score, &mHost.events);
    floor.SetupStars();
    floor.SetupLevel();
    floor.StartIntro();
    EXPECT_EQ(TLevelContext::Reads() - before, 1);
    EXPECT_EQ(floor.Context().level, 2);
    EXPECT_EQ(floor.Context().careerLevel, 2);
    EXPECT_EQ(std::string(floor.Context().restaurantFolder.c_str()), "restaurants/cruise/");

    // The next level: the level manager moves the settings on and hands it down.
    floor.GoToNextLevel();
    ASSERT_TRUE(RunToPlay(floor, 2));
    EXPECT_EQ(TLevelContext::Reads() - before, 2);
    EXPECT_EQ(floor.GetLevelManager()->Chosen().level, 3);
    EXPECT_EQ(floor.Context().level, 3);
    EXPECT_EQ(floor.Context().careerLevel, 3);
    EXPECT_EQ(mSettings->GetCurrentLevel(), 3);

    // The same level again.
    floor.RestartLevel();
    ASSERT_TRUE(RunToPlay(floor, 3));
    EXPECT_EQ(TLevelContext::Reads() - before, 3);
    EXPECT_EQ(floor.Context().level, 3);
}

TEST_F(LevelContextReads, TheFirstEndlessGamesTutorialLeavesThePlayersChoiceAsItWas)
{
    mSettings->SetCurrentRestaurant(0);
    mSettings->SetCurrentLevel(0);
    const str firstLayout = TLevelManager(TLevelManager::kCareer).GetLayoutName();

    mSettings->SetCurrentGameMode(TSettings::kEndlessMode);
    mSettings->SetCurrentRestaurant(2);
    mSettings->SetCurrentLevel(1);
    TScoreManager score;
    TGameData floor(mGlobals, &score, &mHost.events);
    floor.SetupStars();
    floor.SetupLevel();
    EXPECT_EQ(mSettings->GetCurrentRestaurant(), 2);
    EXPECT_EQ(mSettings->GetCurrentLevel(), 1);
    EXPECT_EQ(mSettings->GetCurrentGameModeInt(), TSettings::kEndlessMode);
    // Career level 1 with its tutorial and its practice goal...
    EXPECT_FALSE(floor.IsEndless());
    EXPECT_TRUE(floor.GetTutorial().IsActive());
    EXPECT_EQ(floor.GetCurrentGoal(), 100);
    EXPECT_EQ(floor.GetLevelManager()->GetLayoutName(), firstLayout);
    // ... in the restaurant and at the difficulty chosen for endless.
    const TLevelContext& context = floor.Context();
    EXPECT_TRUE(context.endlessMode);
    EXPECT_EQ(context.restaurant, 2);
    EXPECT_EQ(context.level, 1);
    EXPECT_EQ(floor.GetStaff().Restaurant().Restaurant(), 2);
    EXPECT_TRUE(floor.IsEndlessGame());
    EXPECT_FALSE(floor.IsCareerGame());
}
