// The shipped levels played headless on a fake clock by the floor bots
// (tests/game/support/floorbot.h): a careful player (chains, colours, desserts), a
// plain one, a careless one (arrival order, no colours, one party in four
// left waiting) and nobody at all. Each restaurant's ten career levels are
// one test; the rows of the table (score against goal and expert) are
// printed and written to tests/artefacts/levelbots/ of the build tree. The
// tuning of tools/levels/make-levels follows from them:
// - every level is won by the careful player and by nobody who idles;
// - the plain player reaches the goals of the first levels;
// - the careless player fails from the first restaurant's middle on.
// The careful and idle players are checked on every level; the plain and
// careless ones on the first restaurant's. QM_BOT_TABLE=1 in the
// environment plays every player everywhere, and a few endless shifts, for
// the whole table; QM_BOT_LEVEL=N plays career level N alone (with its
// restaurant's test).
#include "floorbot.h"
#include "floor_data_fixture.h"

#include "engine/base/task.h"
#include "engine/base/xml.h"
#include "game/floor/eatingstation.h"
#include "game/rules/scoremanager.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr float kFrame = 1.0f / 60;
constexpr int kFirstCarelessLoss = 5;  // the cruise's fifth level
constexpr int kLastPlainWin = 3;       // the plain player reaches at least these goals

enum class EPlayer { kCareful, kPlain, kCareless, kIdle };
constexpr EPlayer kPlayers[] = {EPlayer::kCareful, EPlayer::kPlain, EPlayer::kCareless, EPlayer::kIdle};

struct TRun {
    bool win = false;
    bool gameOver = false;
    int score = 0;
    int walkouts = 0;
    int parties = 0;
    int goals = 0;  // endless: goals reached
};

const char* const kRestaurantNames[] = {"cruise", "train", "sub", "blimp", "spaceship"};

}  // namespace

class LevelBots : public FloorTest, public testing::WithParamInterface<int> {
protected:
    // Plays the settings' current level from its intro to the level-over
    // screen (or `maxSeconds`) with `player` at the floor.
    TRun Play(EPlayer player, float maxSeconds)
    {
        mPlatform->SeedRand(7);
        TLevelEventLog host;
        TScoreManager score;
        TGameData floor(mGlobals, &score, &host.events);
        floor.SetupStars();
        floor.SetupLevel();
        floor.StartIntro();
        floor.DoSkipTutorial();
        EBotManner manner = EBotManner::kPlain;
        if (player == EPlayer::kCareful)
            manner = EBotManner::kCareful;
        else if (player == EPlayer::kCareless)
            manner = EBotManner::kCareless;
        TFloorBot bot(floor, manner);
        TRun run;
        for (int frame = 0; frame < maxSeconds / kFrame && floor.GetState() != kLevelOver; ++frame) {
            // The figures' animations run on the engine's clock: it keeps pace.
            mBackend->now += frame % 3 == 0 ? 16 : 17;
            if (frame % 4 == 0)
                mPlatform->GetTaskList()->DoAll(TTask::kEventContext);
            floor.Update(kFrame);
            if (player != EPlayer::kIdle)
                bot.Act();
        }
        run.win = !host.Results().empty() && host.Results().back().win && !host.Results().back().gameOver;
        run.gameOver = !host.Results().empty() && host.Results().back().gameOver;
        run.goals = floor.GetLevelManager()->GetGoalsReached();
        run.score = floor.GetLevelScore();
        for (int kind = 0; kind < TGameData::kWalkoutKinds; ++kind)
            run.walkouts += floor.Metrics().Walkouts(kind);
        run.parties = floor.GetLevelManager()->GetPartyCount();
        return run;
    }

    void Write(const std::string& name, const std::string& text)
    {
        std::printf("%s", text.c_str());
        const fs::path folder = fs::path(QM_ARTEFACTS_DIR) / "levelbots";
        fs::create_directories(folder);
        std::ofstream(folder / name) << text;
    }
};

TEST_P(LevelBots, EveryCareerLevelOfTheRestaurant)
{
    const int restaurant = GetParam();
    // The whole table in QM_BOT_TABLE mode; otherwise the plain and careless
    // players only where the tuning counts on them the most: the first
    // restaurant, where the one wins and the other stops winning.
    const bool table = std::getenv("QM_BOT_TABLE") != nullptr;
    std::ostringstream rows;
    for (int level = 0; level < 10; ++level) {
        const int number = restaurant * 10 + level + 1;
        if (const char* only = std::getenv("QM_BOT_LEVEL"); only && std::atoi(only) != number)
            continue;
        SCOPED_TRACE("career level " + std::to_string(number));
        TRun runs[4];
        bool played[4] = {};
        for (int i = 0; i < 4; ++i) {
            const bool checked = kPlayers[i] == EPlayer::kCareful || kPlayers[i] == EPlayer::kIdle;
            if (!checked && !table && restaurant > 0)
                continue;
            mSettings->SetCurrentRestaurant(restaurant);
            mSettings->SetCurrentLevel(level);
            runs[i] = Play(kPlayers[i], 900);
            played[i] = true;
        }
        int goal = 0, expert = 0;
        {
            TLevelEventLog host;
            TScoreManager score;
            TGameData floor(mGlobals, &score, &host.events);
            floor.SetupLevel();
            goal = floor.GetCurrentGoal();
            expert = floor.GetCurrentExpert();
        }
        const auto cell = [&runs, &played, expert](int i) {
            if (!played[i])
                return std::string("-");
            const TRun& r = runs[i];
            std::string text = std::to_string(r.score);
            if (r.win)
                text += r.score >= expert ? " expert" : " won";
            if (r.walkouts)
                text += " (" + std::to_string(r.walkouts) + " left)";
            return text;
        };
        rows << "| " << number << " | " << runs[0].parties << " | " << goal << " | " << expert << " | " << cell(0)
             << " | " << cell(1) << " | " << cell(2) << " | " << cell(3) << " |\n";
        EXPECT_TRUE(runs[0].win) << "the careful player loses: " << runs[0].score << " of " << goal;
        EXPECT_FALSE(runs[3].win) << "nobody at the floor wins";
        if (played[1] && number <= kLastPlainWin) {
            EXPECT_TRUE(runs[1].win) << "the plain player loses an early level: " << runs[1].score << " of " << goal;
        }
        if (played[2] && number >= kFirstCarelessLoss) {
            EXPECT_FALSE(runs[2].win) << "the careless player wins: " << runs[2].score << " of " << goal;
        }
    }
    Write("career_" + std::to_string(restaurant + 1) + ".md", rows.str());
}

INSTANTIATE_TEST_SUITE_P(Restaurants, LevelBots, testing::Range(0, 5));

// A few endless shifts (the first restaurant easy, the third medium, the
// fifth hard), each played up to eight minutes or its game over: the shift's
// score, the goals reached and the parties that walked out. For the table
// only (QM_BOT_TABLE); nothing is asked of them.
TEST_F(LevelBots, EndlessShifts)
{
    if (!std::getenv("QM_BOT_TABLE"))
        GTEST_SKIP() << "the endless rows of the table are made in QM_BOT_TABLE mode";
    mSettings->SetCurrentGameMode(TSettings::kEndlessMode);
    mSettings->PlayedEndlessTutorial();
    const char* const difficulty[] = {"easy", "medium", "hard"};
    std::ostringstream rows;
    for (auto [restaurant, level] : {std::pair{0, 0}, {2, 1}, {4, 2}}) {
        rows << "| " << kRestaurantNames[restaurant] << " " << difficulty[level] << " |";
        for (EPlayer player : kPlayers) {
            mSettings->SetCurrentRestaurant(restaurant);
            mSettings->SetCurrentLevel(level);
            const TRun run = Play(player, 8 * 60);
            rows << " " << run.score << ", " << run.goals << (run.goals == 1 ? " goal" : " goals") << ", "
                 << run.walkouts << " left" << (run.gameOver ? ", over" : "") << " |";
        }
        rows << "\n";
    }
    Write("endless.md", rows.str());
}
