// Progress of the current player: unlocks, best scores, expert marks, decor
// and clothing, the game mode and level numbering, and that all of it
// survives a new TSettings.
#include "settings_fixture.h"

#include "engine/base/prefs.h"
#include "online/hiscores.h"

namespace {

class Progress : public SettingsWithPlayerTest {};

TEST_F(Progress, AFreshPlayer)
{
    EXPECT_EQ(mSettings->GetNumUnlockedLevels(), 0);
    EXPECT_EQ(mSettings->GetNumUnlockedRestaurants(), 1);
    EXPECT_EQ(mSettings->GetLastCareerLevel(), 0);
    EXPECT_EQ(mSettings->GetCareerScore(-1), 0);
    EXPECT_EQ(mSettings->GetLevelScore(3, 7), 0);
    EXPECT_FALSE(mSettings->GotExpert(0, 0));
    EXPECT_FALSE(mSettings->HasBeatGame());
    EXPECT_FALSE(mSettings->HasPlayedEndlessTutorial());
}

TEST_F(Progress, BestScoresUnlockTheNextLevel)
{
    EXPECT_TRUE(mSettings->RecordLevelScore(0, 0, 1200, false));
    EXPECT_EQ(mSettings->GetPrefs()->GetInt("levelsunlocked", 0, 0), 2);
    EXPECT_EQ(mSettings->GetLevelScore(0, 0), 1200);
    EXPECT_EQ(mSettings->GetPrefs()->GetInt("bonuslevelsunlocked", 0, 0), 0);

    // An equal or lower score changes nothing, not even the expert mark.
    EXPECT_FALSE(mSettings->RecordLevelScore(0, 0, 1200, true));
    EXPECT_FALSE(mSettings->RecordLevelScore(0, 0, 5, true));
    EXPECT_FALSE(mSettings->GotExpert(0, 0));
    EXPECT_TRUE(mSettings->RecordLevelScore(0, 0, 1300, true));
    EXPECT_TRUE(mSettings->GotExpert(0, 0));

    // Completing the last level of restaurant 1 reaches restaurant 2, which
    // also opens the first bonus level.
    EXPECT_TRUE(mSettings->RecordLevelScore(1, 9, 700, false));
    EXPECT_EQ(mSettings->GetNumUnlockedLevels(), 21);
    EXPECT_EQ(mSettings->GetNumUnlockedRestaurants(), 3);
    EXPECT_EQ(mSettings->GetPrefs()->GetInt("bonuslevelsunlocked", 0, 0), 1);
    EXPECT_EQ(mSettings->GetNumUnlockedBonusLevels(), 0);  // the bonus restaurant is never offered
    EXPECT_EQ(mSettings->GetCareerScore(-1), 2000);
    EXPECT_EQ(mSettings->GetCareerScore(0), 700);

    EXPECT_TRUE(mSettings->RecordLevelScore(4, 9, 10, false));
    EXPECT_TRUE(mSettings->HasBeatGame());
    EXPECT_FALSE(mSettings->HasBeatGameOnExpert());
    EXPECT_EQ(mSettings->GetNumUnlockedLevels(), 21);  // the next level is a bonus level
    mSettings->GetPrefs()->SetInt("levelsunlocked", 57, 0, true);
    EXPECT_EQ(mSettings->GetNumUnlockedLevels(), 50);  // read capped
    EXPECT_EQ(mSettings->GetNumUnlockedRestaurants(), 5);
}

TEST_F(Progress, ANewBestIsSavedEvenWhenNothingElseChanges)
{
    mSettings->UnlockLevel(2, 0);  // level 0-1 already open
    ASSERT_TRUE(mSettings->RecordLevelScore(0, 0, 400, false));
    Create();
    EXPECT_EQ(mSettings->GetLevelScore(0, 0), 400);
}

TEST_F(Progress, NothingIsLostAcrossANewSettings)
{
    mSettings->RecordLevelScore(2, 3, 4321, true);
    mSettings->SetCareerCash(999);
    mSettings->SetLastCareerLevel(23);
    mSettings->SetHighestPlayedLevel(23);
    mSettings->SetHighestPlayedLevel(5);  // only ever raised
    mSettings->PlayedEndlessTutorial();
    mSettings->SetCurrentRestaurant(2);
    mSettings->SetCurrentLevel(4);
    mSettings->SelectDecorUpgrade(3);
    mSettings->SetClothing(2, "blouse", "red");
    mSettings->BeatGame();
    mSettings->CreateNewUser("Bob");
    mSettings->RecordLevelScore(0, 0, 11, false);
    mSettings->SetCurrentUser(0, false);

    Create();
    EXPECT_STREQ(mSettings->GetCurrentUserName().c_str(), "Ann");
    EXPECT_EQ(mSettings->GetLevelScore(2, 3), 4321);
    EXPECT_TRUE(mSettings->GotExpert(2, 3));
    EXPECT_EQ(mSettings->GetLevelScore(0, 0), 0);  // Bob's score is Bob's
    EXPECT_EQ(mSettings->GetNumUnlockedLevels(), 25);
    EXPECT_EQ(mSettings->GetCareerCash(), 999);
    EXPECT_EQ(mSettings->GetLastCareerLevel(), 23);
    EXPECT_EQ(mSettings->GetPrefs()->GetInt("highestlevel", 0, -1), 23);
    EXPECT_TRUE(mSettings->HasPlayedEndlessTutorial());
    EXPECT_TRUE(mSettings->HasBeatGame());
    mSettings->SetCurrentRestaurant(2);
    EXPECT_TRUE(mSettings->IsDecorUpgradeSelected(3));
    EXPECT_FALSE(mSettings->IsDecorUpgradeSelected(4));
    str name, color;
    mSettings->GetClothing(2, &name, &color, "plain", "white");
    EXPECT_STREQ(name.c_str(), "blouse");
    EXPECT_STREQ(color.c_str(), "red");
    mSettings->GetClothing(0, &name, &color, "plain", "white");
    EXPECT_STREQ(name.c_str(), "plain");
    EXPECT_STREQ(color.c_str(), "white");
    mSettings->SetCurrentUser(1, false);
    EXPECT_EQ(mSettings->GetLevelScore(0, 0), 11);
}

TEST_F(Progress, LevelNumbersOutsideTheTablesAreRefused)
{
    testing::internal::CaptureStderr();
    EXPECT_FALSE(mSettings->RecordLevelScore(-1, 0, 100, true));
    EXPECT_EQ(mSettings->GetLevelScore(-3, 2), 0);
    EXPECT_FALSE(mSettings->GotExpert(0, -20));
    mSettings->UnlockLevel(-2, 0);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("ASSERT(levelNum >=0 && levelNum < NUM_RESTAURANTS * MAX_LEVELS_PER_RESTAURANT) FAILED!! "
                       "download/src/settings"),
              std::string::npos);
    EXPECT_EQ(mSettings->GetNumUnlockedLevels(), 0);
}

TEST_F(Progress, ALongerStoredTableKeepsItsEntries)
{
    std::vector<unsigned char> bytes(300, 0);
    bytes[8] = 0x10;  // entry 2 = 16
    mSettings->GetPrefs()->SetBinary("levelscores", bytes.data(), 300, 0, true);
    EXPECT_EQ(mSettings->GetLevelScore(0, 2), 16);
    EXPECT_TRUE(mSettings->RecordLevelScore(0, 5, 50, false));
    EXPECT_EQ(mSettings->GetLevelScore(0, 2), 16);
}

TEST_F(Progress, LastLevelAndRestaurantCounts)
{
    mSettings->GetPrefs()->SetInt("lastlevel", 55, 0, true);
    EXPECT_EQ(mSettings->GetLastCareerLevel(), 49);
    mSettings->GetPrefs()->SetInt("lastlevel", -4, 0, true);
    EXPECT_EQ(mSettings->GetLastCareerLevel(), 0);
    mSettings->UnlockLevel(0, 9);
    EXPECT_EQ(mSettings->GetNumUnlockedRestaurants(), 1);
    mSettings->UnlockLevel(1, 0);
    EXPECT_EQ(mSettings->GetNumUnlockedRestaurants(), 2);
    mSettings->UnlockLevel(5, 2);  // bonus levels count on their own
    EXPECT_EQ(mSettings->GetPrefs()->GetInt("bonuslevelsunlocked", 0, 0), 3);
    mSettings->UnlockLevel(5, 0);
    EXPECT_EQ(mSettings->GetPrefs()->GetInt("bonuslevelsunlocked", 0, 0), 3);
}

TEST_F(Progress, DecorPicks)
{
    mSettings->SetCurrentRestaurant(1);
    mSettings->SetCurrentLevel(0);
    EXPECT_TRUE(mSettings->AlreadyPickedDecorThisLevel());  // untouched entries are 0
    mSettings->SetCurrentLevel(3);
    EXPECT_FALSE(mSettings->AlreadyPickedDecorThisLevel());
    mSettings->SelectDecorUpgrade(7);
    EXPECT_TRUE(mSettings->AlreadyPickedDecorThisLevel());
    EXPECT_TRUE(mSettings->IsDecorUpgradeSelected(7));
    mSettings->SetCurrentRestaurant(2);
    EXPECT_FALSE(mSettings->IsDecorUpgradeSelected(7));
}

TEST_F(Progress, TipsAndTheClosetCountOncePerPlayer)
{
    EXPECT_TRUE(mSettings->EnterQuessasCloset());
    EXPECT_FALSE(mSettings->EnterQuessasCloset());
    EXPECT_EQ(mSettings->GetClosetVisits(), 2);
    EXPECT_TRUE(mSettings->EnterUpgradeScreen());
    EXPECT_FALSE(mSettings->EnterUpgradeScreen());
    mSettings->CreateNewUser("Bob");
    EXPECT_TRUE(mSettings->EnterQuessasCloset());
    mSettings->AddNewClothing("hat");
    EXPECT_TRUE(mSettings->IsNewClothing("hat"));
    EXPECT_FALSE(mSettings->IsNewClothing("cap"));
    mSettings->ClearNewClothing();
    EXPECT_FALSE(mSettings->IsNewClothing("hat"));
}

TEST_F(Progress, GameModeLevelAndRestaurantNames)
{
    EXPECT_EQ(TSettings::RestaurantAndLevelToLevel(3, 4), 34);
    EXPECT_EQ(TSettings::RestaurantAndLevelToLevel(2, 15), 29);
    EXPECT_EQ(TSettings::RestaurantAndLevelToLevel(9, 1), 51);
    int r = -1, l = -1;
    TSettings::LevelToRestaurantAndLevel(47, &r, &l);
    EXPECT_EQ(r * 100 + l, 407);
    TSettings::LevelToRestaurantAndLevel(60, &r, &l);
    EXPECT_EQ(r * 100 + l, 509);

    mSettings->SetCurrentRestaurant(4);
    mSettings->SetCurrentLevel(2);
    EXPECT_EQ(mSettings->GetCurrentTotalLevel(), 42);
    EXPECT_STREQ(mSettings->GetCurrentRestaurantName().c_str(), "spaceship");
    EXPECT_STREQ(mSettings->GetCurrentRestaurantFolder().c_str(), "restaurants/spaceship/");
    EXPECT_EQ(mSettings->GetCurrentRestaurantID(), 5);
    mSettings->SetCurrentRestaurant(6);
    EXPECT_STREQ(mSettings->GetCurrentRestaurantName().c_str(), "");

    mSettings->SetCurrentGameMode(2);
    EXPECT_EQ(mSettings->GetCurrentGameModeInt(), 0);
    mSettings->SetCurrentGameMode(1);
    EXPECT_EQ(mSettings->GetCurrentGameModeInt(), 1);

    mSettings->SetDownloadLevelName("levels/a.bin.bin");
    EXPECT_STREQ(mSettings->GetDownloadLevelName().c_str(), "levels/a.xml.xml");
    testing::internal::CaptureStderr();
    mSettings->SetLevelInfoToDownloadLevel();  // no level reader yet: logged, nothing changes
    EXPECT_NE(testing::internal::GetCapturedStderr().find("no level reader"), std::string::npos);
    TSettings::SetDownloadLevelReader([](TSettings& s) { s.SetCurrentRestaurant(3); });
    mSettings->SetLevelInfoToDownloadLevel();
    EXPECT_EQ(mSettings->GetCurrentRestaurant(), 3);
    TSettings::SetDownloadLevelReader(nullptr);
}

// Each endless difficulty has its own score table, the career another; rows
// carry the current player's name.
TEST_F(Progress, ScoresGoToTheTableOfTheModeAndDifficulty)
{
    TQmHiscores* hiscores = mSettings->GetHiscores();
    mSettings->SetCurrentGameMode(1);
    mSettings->SetCurrentLevel(2);
    hiscores->LogScore(300, "", "", true);
    mSettings->SetCurrentLevel(0);
    EXPECT_EQ(hiscores->GetScoreCount(true), 0);
    mSettings->SetCurrentLevel(1);
    EXPECT_EQ(hiscores->GetScoreCount(true), 0);
    mSettings->SetCurrentGameMode(0);
    EXPECT_EQ(hiscores->GetScoreCount(true), 0);
    mSettings->SetCurrentLevel(2);
    mSettings->SetCurrentGameMode(1);  // the mode change picks the table of level 2 again
    ASSERT_EQ(hiscores->GetScoreCount(true), 1);
    char name[32] = "";
    int score = 0;
    ASSERT_TRUE(hiscores->GetScore(true, 0, nullptr, name, sizeof name, nullptr, &score, nullptr, 0));
    EXPECT_STREQ(name, "Ann");
    EXPECT_EQ(score, 300);

    mSettings->ChangeCurrentUserName("Anna");
    mSettings->SetCurrentGameMode(0);
    hiscores->LogScore(50, "", "", true);
    ASSERT_TRUE(hiscores->GetScore(true, 0, nullptr, name, sizeof name, nullptr, &score, nullptr, 0));
    EXPECT_STREQ(name, "Anna");
}

// Play time goes to endless, downloaded or story time by the mode.
TEST_F(Progress, PlayTimeAndTutorialSkips)
{
    mSettings->AddPlayTime(2.0f);
    mSettings->SetLevelMode(1);
    mSettings->AddPlayTime(3.0f);
    mSettings->SetCurrentGameMode(1);
    mSettings->AddPlayTime(4.0f);
    EXPECT_FLOAT_EQ(mSettings->GetSessionStoryTime(), 2.0f);
    EXPECT_FLOAT_EQ(mSettings->GetSessionSecretTime(), 3.0f);
    EXPECT_FLOAT_EQ(mSettings->GetSessionEndlessTime(), 4.0f);
    EXPECT_FLOAT_EQ(mSettings->GetTotalEndlessTime(), 4.0f);
    mSettings->SkipTutorial();
    EXPECT_TRUE(mSettings->IsTutorialSkipped(1));
    EXPECT_FALSE(mSettings->IsTutorialSkipped(0));
}

}  // namespace
