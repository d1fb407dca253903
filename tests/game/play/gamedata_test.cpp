// Whole levels played on the headless floor with a fake clock: a bot serves
// career level 1 to a win, neglect loses it, an endless shift runs out of
// lives; and the faults of the level flow that were mended.
#include "floor_data_fixture.h"

#include "engine/base/xml.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "game/floor/chair.h"
#include "game/floor/eatingstation.h"
#include "game/floor/party.h"
#include "game/levels/levellayout.h"
#include "game/play/game.h"
#include "game/rules/scoremanager.h"
#include "recordinghandler.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

constexpr float kFrame = 1.0f / 60;

struct TOutcome {
    TLevelResult result;
    int seated = 0;
    int frames = 0;
    int checks = 0;
    int walkouts = 0;
    bool operator==(const TOutcome& o) const
    {
        return result.win == o.result.win && result.levelScore == o.result.levelScore && seated == o.seated &&
               frames == o.frames && checks == o.checks && walkouts == o.walkouts;
    }
};

}  // namespace

class LevelPlay : public FloorTest {
protected:
    // Builds a floor for the settings' current level, opens it as the game
    // window does and plays until the level-over screen (or `maxSeconds`).
    TOutcome Play(bool serve, float maxSeconds = 600)
    {
        mPlatform->SeedRand(7);
        mHost = TLevelEventLog{};
        TScoreManager score;
        TGameData floor(mGlobals, &score, &mHost.events);
        floor.SetupStars();
        floor.SetupLevel();
        floor.StartIntro();
        EXPECT_EQ(mHost.Intros(), 1);
        floor.DoSkipTutorial();  // the player presses "skip tutorial"
        TFloorBot bot(floor);
        TOutcome out;
        for (; out.frames < maxSeconds / kFrame && floor.GetState() != kLevelOver; ++out.frames) {
            floor.Update(kFrame);
            if (serve)
                bot.Act();
        }
        EXPECT_EQ(floor.GetState(), kLevelOver);
        EXPECT_EQ(mHost.Results().size(), 1u);
        if (!mHost.Results().empty())
            out.result = mHost.Results().back();
        // The window keeps the end as the board opens.
        game::ApplyLevelResult(out.result);
        out.seated = bot.Seated();
        out.checks = score.GetChecksCollected();
        for (int kind = 0; kind < TGameData::kWalkoutKinds; ++kind)
            out.walkouts += floor.GetWalkouts(kind);
        return out;
    }

};

TEST_F(LevelPlay, ServedCareerLevelOneIsWonAndRecordedTheSameTwice)
{
    const TOutcome first = Play(true);
    EXPECT_TRUE(first.result.win);
    EXPECT_GE(first.result.levelScore, 800);  // level 1's goal
    EXPECT_EQ(first.seated, 6);               // all six parties
    EXPECT_EQ(first.checks, 6);
    EXPECT_EQ(first.walkouts, 0);
    EXPECT_EQ(first.result.bonus, first.result.expert ? 400 : 300);  // first completion
    EXPECT_EQ(mSettings->GetLevelScore(0, 0), first.result.levelScore);
    EXPECT_EQ(mSettings->GetCareerCash(), first.result.bonus);
    EXPECT_EQ(mHost.Sounds("closing"), 1);
    EXPECT_EQ(mHost.Sounds("seat"), 6);

    const TOutcome second = Play(true);
    EXPECT_TRUE(second == first) << second.result.levelScore << " vs " << first.result.levelScore;
    EXPECT_EQ(second.result.bonus, 0);  // a replay pays nothing more
    EXPECT_EQ(mSettings->GetCareerCash(), first.result.bonus);
}

TEST_F(LevelPlay, NeglectedCareerLevelOneIsLostTheSameTwice)
{
    const TOutcome first = Play(false);
    EXPECT_FALSE(first.result.win);
    EXPECT_LE(first.result.levelScore, 0);  // nothing earned, penalties only
    EXPECT_EQ(first.walkouts, 6);
    EXPECT_EQ(mHost.Sounds("ditch"), 6);
    EXPECT_EQ(mSettings->GetLevelScore(0, 0), 0);  // nothing recorded
    const TOutcome second = Play(false);
    EXPECT_TRUE(second == first);
}

TEST_F(LevelPlay, NeglectedEndlessShiftEndsInOneGameOverTheSameTwice)
{
    mSettings->SetCurrentGameMode(TSettings::kEndlessMode);
    mSettings->PlayedEndlessTutorial();
    const TOutcome first = Play(false, 3600);
    EXPECT_TRUE(first.result.gameOver);
    EXPECT_GE(first.walkouts, 3);
    // However many walk out in the last frames, the game ends once.
    EXPECT_EQ(mHost.Results().size(), 1u);
    const TOutcome second = Play(false, 3600);
    EXPECT_TRUE(second == first);
}

// A stall (a debugger, a slow disk) advances the floor by one clamped step,
// not by seconds at once.
TEST_F(LevelPlay, ALongFrameAdvancesTheFloorByAClampedStep)
{
    TScoreManager score;
    TGameData floor(mGlobals, &score, &mHost.events);
    floor.SetupStars();
    floor.SetupLevel();
    floor.StartIntro();
    floor.Update(0.01f);  // intro -> fade up
    floor.Update(5.0f);
    EXPECT_FLOAT_EQ(floor.GetTotalTime(), 0.01f + TGameData::kMaxFrameSeconds);
}

// Finishing a restaurant's last level hands the screen back to the menus
// and touches nothing of the floor after that.
TEST_F(LevelPlay, LeavingTheLastLevelOfARestaurantTouchesNothingAfter)
{
    mSettings->SetCurrentLevel(9);
    TScoreManager score;
    TGameData floor(mGlobals, &score, &mHost.events);
    floor.SetupStars();
    floor.SetupLevel();
    const int attempts = floor.GetAttempts();
    floor.GoToNextLevel();
    for (int i = 0; i < 80 && mHost.LeftRestaurant() < 0; ++i)
        floor.Update(kFrame);
    EXPECT_EQ(mHost.LeftRestaurant(), 1);  // the next restaurant's story comes next
    EXPECT_EQ(mSettings->GetCurrentLevel(), 0);
    EXPECT_EQ(floor.GetState(), kFadeIn);
    EXPECT_EQ(attempts, 1);
    EXPECT_EQ(floor.GetAttempts(), 0);  // reset by the advance, no new set-up
    EXPECT_EQ(mHost.Intros(), 0);
}

// A career level whose file is missing is never played: the screen goes
// back to the map once, and no intro opens.
TEST_F(LevelPlay, AMissingCareerFileGoesBackToTheMap)
{
    mSettings->SetCurrentRestaurant(5);  // no level files are shipped for it
    mSettings->SetCurrentLevel(0);
    TScoreManager score;
    TGameData floor(mGlobals, &score, &mHost.events);
    floor.SetupStars();
    floor.SetupLevel();
    floor.StartIntro();
    for (int i = 0; i < 120; ++i)
        floor.Update(kFrame);
    EXPECT_EQ(mHost.LeftUnplayable(), 1);
    EXPECT_EQ(mHost.LeftRestaurant(), -1);  // no restaurant was finished: no comic
    EXPECT_EQ(mHost.Intros(), 0);
    EXPECT_NE(floor.GetState(), kPlaying);
}

// The floor draws without a window, to a recording display: the seated
// parties and the line add their figures to the empty floor's pictures.
TEST_F(LevelPlay, TheFloorDrawsToARecordingDisplayWithoutAWindow)
{
    RecordingHandler handler;  // textures made from here on record their draws
    TScoreManager score;
    TGameData floor(mGlobals, &score, &mHost.events);
    floor.SetupStars();
    floor.SetupLevel();
    floor.StartIntro();
    floor.DoSkipTutorial();
    TAnimatedTextureCache cache(100, 120, 80);
    DrawFloor(floor, &cache, nullptr, nullptr);
    const std::size_t empty = handler.draws.size();
    EXPECT_GT(empty, 0u);
    TFloorBot bot(floor);
    for (int frame = 0; frame < 60 * 60 && bot.Seated() < 2; ++frame) {
        floor.Update(kFrame);
        bot.Act();
    }
    ASSERT_EQ(bot.Seated(), 2);
    floor.AddNextGroup();
    handler.draws.clear();
    cache.Reset();
    DrawFloor(floor, &cache, nullptr, nullptr);
    EXPECT_GT(handler.draws.size(), empty + 3);
}

// The party in the player's hand is drawn over everything on the floor: over
// a seated party's hearts, and over the next party's in line while it tries
// the seats of a free table. Its own draws are the last hearts drawn.
TEST_F(LevelPlay, ADraggedPartyIsDrawnOverEveryOtherPartysHearts)
{
    RecordingHandler handler;
    TScoreManager score;
    TGameData floor(mGlobals, &score, &mHost.events);
    floor.SetupStars();
    floor.SetupLevel();
    floor.StartIntro();
    floor.DoSkipTutorial();
    TFloorBot bot(floor);
    for (int frame = 0; frame < 60 * 60 && bot.Seated() < 1; ++frame) {
        floor.Update(kFrame);
        bot.Act();
    }
    TParty* seated = nullptr;
    TEatingStation* freeTable = nullptr;
    for (TEatingStation* station : floor.GetEatingStations()) {
        seated = seated ? seated : station->GetParty();
        if (!station->GetParty() && !station->HasDishes())
            freeTable = station;
    }
    ASSERT_NE(seated, nullptr);
    ASSERT_NE(freeTable, nullptr);
    while (floor.GetWaitingParties().size() < 2)
        ASSERT_TRUE(floor.AddNextGroup());
    TParty* held = floor.GetWaitingParties().front();
    const TRect member = held->MembersInBuildOrder().front()->BoundingBox();
    floor.MouseDown({(member.x1 + member.x2) / 2, (member.y1 + member.y2) / 2});

    std::set<const TTextureData*> hearts;
    for (const char* name : {"accessories/heart1", "accessories/heart2", "accessories/heart3"})
        hearts.insert(TTexture::Get(name, 0)->GetData());
    TAnimatedTextureCache cache(100, 120, 80);
    // The draws of the held party alone, then of the whole floor: the held
    // party's come last, and no heart of another party after them.
    const auto drawnLast = [&] {
        handler.draws.clear();
        cache.Reset();
        held->Draw(&cache, false);
        held->DrawHearts();
        std::vector<TVec2> own;
        for (const RecordedDraw& d : handler.draws)
            own.push_back(d.pos);
        handler.draws.clear();
        cache.Reset();
        DrawFloor(floor, &cache, nullptr, nullptr);
        std::size_t lastOtherHeart = 0, start = handler.draws.size();
        for (std::size_t i = 0; i + own.size() <= handler.draws.size(); ++i) {
            bool same = true;
            for (std::size_t k = 0; k < own.size() && same; ++k)
                same = handler.draws[i + k].pos.x == own[k].x && handler.draws[i + k].pos.y == own[k].y;
            if (same)
                start = i;
        }
        for (std::size_t i = 0; i < handler.draws.size(); ++i)
            if (hearts.count(handler.draws[i].data) && (i < start || i >= start + own.size()))
                lastOtherHeart = i;
        return !own.empty() && start < handler.draws.size() && lastOtherHeart < start;
    };

    const TRect seatedHearts = seated->HeartsBox();
    ASSERT_FALSE(seatedHearts.IsEmpty());
    floor.MouseMove({(seatedHearts.x1 + seatedHearts.x2) / 2, (seatedHearts.y1 + seatedHearts.y2) / 2});
    ASSERT_EQ(floor.GetDraggedParty(), held);
    ASSERT_FALSE(held->IsPickingSeats());
    EXPECT_TRUE(drawnLast()) << "held over the seated party's hearts";

    const TRect chair = freeTable->GetChair(freeTable->GetFirstSeat())->BoundingBox();
    floor.MouseMove({(chair.x1 + chair.x2) / 2, (chair.y1 + chair.y2) / 2});
    ASSERT_TRUE(held->IsPickingSeats()) << "trying the free table's seats";
    EXPECT_TRUE(drawnLast()) << "trying the free table's seats";
    floor.CancelDrag();
}

// An endless table upgrade adds the layout's new tables; the party seated
// at a standing table stays seated there.
TEST_F(LevelPlay, ATableUpgradeAddsTablesAndKeepsTheSeatedParties)
{
    mSettings->SetCurrentGameMode(TSettings::kEndlessMode);
    mSettings->PlayedEndlessTutorial();
    TScoreManager score;
    TGameData floor(mGlobals, &score, &mHost.events);
    floor.SetupStars();
    floor.SetupLevel();
    floor.StartIntro();
    TFloorBot bot(floor);
    for (int frame = 0; frame < 60 * 60 && bot.Seated() < 1; ++frame) {
        floor.Update(kFrame);
        bot.Act();
    }
    ASSERT_EQ(bot.Seated(), 1);
    TEatingStation* seated = nullptr;
    for (TEatingStation* station : floor.GetEatingStations())
        if (station->GetParty())
            seated = station;
    ASSERT_NE(seated, nullptr);
    TParty* party = seated->GetParty();
    const std::size_t before = floor.GetTables().size();
    ASSERT_TRUE(floor.TableUpgradeAvailable());
    floor.TableUpgrade();
    // Only the new tables come: the standing ones moved onto the grid when
    // they were made, and are still known by their place in the layout.
    TLevelLayout upgraded;
    upgraded.OpenLevel("endless_cruise1");
    std::vector<TTableDesc> tables;
    std::optional<TBarDesc> bar;
    upgraded.SetupTables(&tables, &bar);
    EXPECT_GT(tables.size(), before);
    EXPECT_EQ(floor.GetTables().size(), tables.size());
    EXPECT_EQ(seated->GetParty(), party);
    EXPECT_NE(std::find(floor.GetEatingStations().begin(), floor.GetEatingStations().end(), seated),
              floor.GetEatingStations().end());
}
