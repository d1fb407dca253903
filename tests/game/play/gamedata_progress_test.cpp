// What the level flow keeps of the player's place in prefs.dat, played on
// the headless floor as the game window plays it (each board's result kept
// as the window keeps it): a career level won for the first time, started
// again and won, the next one reached by way of the wardrobe and won, and
// the restaurant left for the next one's story; a decor item picked before
// an even level, and the first endless game's tutorial skipped. The
// prefs.dat each leaves is kept in tests/artefacts/levelprogress of the
// build tree, so that two versions of the flow can be compared (qmcrypt
// prefs shows what it holds).
#include "floor_data_fixture.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <variant>

namespace fs = std::filesystem;

class LevelProgress : public FloorTest {
protected:
    // Frames of the largest step until the flow is in `state`; each level's
    // end is kept as the game window keeps it.
    bool RunUntil(TGameData& floor, int state, float seconds = 900)
    {
        for (float t = 0; t < seconds && floor.GetState() != state; t += TGameData::kMaxFrameSeconds) {
            const std::size_t seen = mHost.events.size();
            floor.Update(TGameData::kMaxFrameSeconds);
            for (std::size_t i = seen; i < mHost.events.size(); ++i)
                if (const auto* over = std::get_if<levelevent::LevelOver>(&mHost.events[i]))
                    game::ApplyLevelResult(over->result);
        }
        return floor.GetState() == state;
    }
    // The level is played to its board with the goal well met: the till says
    // so, whoever walks out.
    void Win(TGameData& floor, TScoreManager& score)
    {
        ASSERT_TRUE(RunUntil(floor, kPlaying));
        score.SetScore(score.GetLevelStartScore() + floor.GetCurrentGoal() + 50000);
        ASSERT_TRUE(RunUntil(floor, kLevelOver));
        ASSERT_TRUE(mHost.Results().back().win);
    }
    // The player won the restaurant's levels before `level`, and plays it.
    void WonUpTo(int level)
    {
        for (int before = 0; before < level; ++before)
            mSettings->RecordLevelScore(0, before, 1000 + before, false);
        mSettings->SetCareerCash(500);
        mSettings->SetLastCareerLevel(level);
        mSettings->SetCurrentRestaurant(0);
        mSettings->SetCurrentLevel(level);
        mPlatform->SeedRand(7);
    }
    // A floor for the settings' level, opened as the game window opens it.
    std::unique_ptr<TGameData> Open(TScoreManager& score)
    {
        auto floor = std::make_unique<TGameData>(mGlobals, &score, &mHost.events);
        floor->SetupStars();
        floor->SetupLevel();
        floor->StartIntro();
        return floor;
    }
    // Clicks the first decor item of the open choice; its slot, or -1.
    static int PickADecorItem(TGameData& floor)
    {
        TRestaurant& room = floor.GetStaff().Restaurant();
        for (int y = 0; y < 460; y += 4)
            for (int x = 100; x < 800; x += 4)
                if (room.PointToUpgrade(TPoint{x, y}, {}) >= 0) {
                    floor.Between().DecorMouseUp(TPoint{x, y});
                    return room.Selection();
                }
        return -1;
    }
    void KeepPrefs(const char* name)
    {
        const fs::path kept = fs::path(QM_ARTEFACTS_DIR) / "levelprogress";
        fs::create_directories(kept);
        std::ofstream(kept / name, std::ios::binary) << ReadPrefsBytes();
    }
};

TEST_F(LevelProgress, TheCareersPlaceIsKeptAsTheFlowMovesOn)
{
    WonUpTo(8);
    TScoreManager score;
    const std::unique_ptr<TGameData> opened = Open(score);
    TGameData& floor = *opened;
    EXPECT_EQ(mSettings->GetLastCareerLevel(), 8);

    // Career level 9, won for the first time, and again.
    ASSERT_NO_FATAL_FAILURE(Win(floor, score));
    EXPECT_EQ(mSettings->GetLastCareerLevel(), 9);
    floor.RestartLevel();
    ASSERT_NO_FATAL_FAILURE(Win(floor, score));
    EXPECT_EQ(mSettings->GetLastCareerLevel(), 9);

    // The next level, the restaurant's last, after the wardrobe.
    floor.GoToNextLevel();
    ASSERT_NO_FATAL_FAILURE(Win(floor, score));
    EXPECT_EQ(mHost.Count<levelevent::ClosetDue>(), 1);
    EXPECT_EQ(mSettings->GetCurrentLevel(), 9);
    EXPECT_EQ(mSettings->GetLastCareerLevel(), 10);  // the map offers the level after the won one

    // The restaurant is done: the next one's first level is the last played.
    floor.GoToNextLevel();
    for (int i = 0; i < 100 && mHost.LeftRestaurant() < 0; ++i)
        floor.Update(TGameData::kMaxFrameSeconds);
    EXPECT_EQ(mHost.LeftRestaurant(), 1);
    EXPECT_EQ(mSettings->GetCurrentRestaurant(), 1);
    EXPECT_EQ(mSettings->GetCurrentLevel(), 0);
    EXPECT_EQ(mSettings->GetLastCareerLevel(), 10);
    EXPECT_GT(mSettings->GetLevelScore(0, 8), 0);
    EXPECT_GT(mSettings->GetLevelScore(0, 9), 0);
    EXPECT_EQ(mSettings->GetCareerCash(), mHost.Results().back().cash);
    KeepPrefs("career.dat");
}

TEST_F(LevelProgress, ADecorPickAndTheSkippedEndlessTutorialAreKept)
{
    WonUpTo(7);
    {
        TScoreManager score;
        const std::unique_ptr<TGameData> career = Open(score);
        ASSERT_NO_FATAL_FAILURE(Win(*career, score));
        career->GoToNextLevel();
        ASSERT_TRUE(RunUntil(*career, kDecorChoice));
        const int slot = PickADecorItem(*career);
        ASSERT_GE(slot, 0);
        career->Between().DecorButton();
        ASSERT_TRUE(RunUntil(*career, kPlaying));
        EXPECT_TRUE(mSettings->IsDecorUpgradeSelected(slot));
        EXPECT_EQ(mSettings->GetLastCareerLevel(), 8);
    }

    mSettings->SetCurrentGameMode(TSettings::kEndlessMode);
    mSettings->SetCurrentRestaurant(1);
    mSettings->SetCurrentLevel(0);
    TScoreManager score;
    const std::unique_ptr<TGameData> endless = Open(score);
    ASSERT_TRUE(RunUntil(*endless, kPlaying));
    endless->DoSkipTutorial();
    ASSERT_TRUE(RunUntil(*endless, kPlaying));
    EXPECT_TRUE(endless->IsEndless());
    EXPECT_TRUE(mSettings->HasPlayedEndlessTutorial());
    EXPECT_EQ(mSettings->GetLastCareerLevel(), 8);
    KeepPrefs("decor_endless.dat");
}
