// The floor's rules on the game's own levels, played headless through the
// graph's input: the bench freed by a party that walked out, the levels that
// start with last night's dishes, where the robot stops at the podium, and
// a drag over the bar that finds the merged seats in the frame a bar party
// leaves, the bar whole again once a party served on its middle stools has
// gone; a party let go where it cannot sit goes back with a refusal.
#include "floorbot.h"
#include "floor_data_fixture.h"

#include "game/floor/bar.h"
#include "game/floor/customer.h"
#include "game/floor/eatingstation.h"
#include "game/floor/party.h"
#include "game/floor/quessa.h"
#include "game/floor/table.h"
#include "game/levels/levelmanager.h"
#include "game/rules/scoremanager.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <string>

namespace {

constexpr float kFrame = 1.0f / 60;

TPoint Centre(const TRect& r) { return {(r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2}; }

TPoint Grip(const TParty* party) { return Centre(party->MembersInBuildOrder().front()->BoundingBox()); }

}  // namespace

class FloorRules : public FloorTest {
protected:
    TGameData& Open(int restaurant, int level) { return OpenShippedLevel(mFloor, mScore, restaurant, level, 11); }

    // Plays until `done` or `seconds` of game time have passed.
    template <class F>
    bool PlayUntil(float seconds, F done)
    {
        for (int i = 0; i < static_cast<int>(seconds * 60) && mFloor->GetState() == kPlaying; ++i) {
            if (done())
                return true;
            mFloor->Update(kFrame);
        }
        return done();
    }

    // The first party standing in line (not on the bench), or null.
    TParty* InLine() const
    {
        for (TParty* party : mFloor->GetWaitingParties())
            if (!party->IsOnBench())
                return party;
        return nullptr;
    }

    // Whether `party` can be picked up now (a party beamed aboard cannot
    // until it has fully appeared); it is put straight back on the floor.
    bool Pickable(TParty* party)
    {
        mFloor->MouseDown(Grip(party));
        const bool picked = mFloor->GetDraggedParty() == party;
        mFloor->MouseUp(kBareFloor);
        return picked;
    }

    static constexpr TPoint kBareFloor{100, 100};

    bool Waiting(const TParty* party) const
    {
        for (const TParty* waiting : mFloor->GetWaitingParties())
            if (waiting == party)
                return true;
        return false;
    }

    // Drags `party` from the line and lets go at `where`.
    void DropAt(TParty* party, TPoint where)
    {
        mFloor->MouseDown(Grip(party));
        mFloor->MouseMove(where);
        mFloor->MouseUp(where);
    }

    // Drags `party` from the line to the bench and lets go there.
    void ToBench(TParty* party)
    {
        const TPoint grab = Grip(party);
        const TPoint bench = Centre(mFloor->GetBench().BoundingBox());
        ASSERT_TRUE(mFloor->MouseDown(grab) || mFloor->GetDraggedParty() == party);
        mFloor->MouseMove(bench);
        mFloor->MouseUp(bench);
    }

    TScoreManager mScore;
    std::unique_ptr<TGameData> mFloor;
};

TEST_F(FloorRules, APartyThatWalksOutOfTheBenchLeavesItFreeForTheNext)
{
    TGameData& floor = Open(3, 0);  // the blimp's first level brings the bench
    ASSERT_TRUE(floor.GetBench().shown);
    ASSERT_TRUE(PlayUntil(60, [&] { return InLine() != nullptr; }));
    TParty* first = InLine();
    ToBench(first);
    ASSERT_TRUE(first->IsOnBench());
    EXPECT_TRUE(floor.GetBench().occupied);

    // Down to its last heart, it runs out of patience on the bench.
    first->LoseHeart(first->GetHearts() - 1, -1, floor.GetNoiseRings());
    ASSERT_TRUE(PlayUntil(180, [&] { return !Waiting(first); })) << "the bench party walked out";
    EXPECT_FALSE(floor.GetBench().occupied);

    ASSERT_TRUE(PlayUntil(60, [&] { return InLine() != nullptr; }));
    TParty* next = InLine();
    ToBench(next);
    EXPECT_TRUE(next->IsOnBench()) << "the next party sits where the first one walked out";
    EXPECT_TRUE(floor.GetBench().occupied);
}

TEST_F(FloorRules, TheBlimpsLastLevelsStartWithDishesOnEveryTable)
{
    TGameData& clean = Open(3, 6);
    ASSERT_FALSE(clean.GetLevelManager()->GetStartDirty());
    for (const auto& table : clean.GetTables())
        EXPECT_FALSE(table->HasDishes());

    for (int level : {7, 8}) {  // career levels 38 and 39
        SCOPED_TRACE(level);
        TGameData& dirty = Open(3, level);
        ASSERT_TRUE(dirty.GetLevelManager()->GetStartDirty());
        ASSERT_FALSE(dirty.GetTables().empty());
        for (const auto& table : dirty.GetTables())
            EXPECT_TRUE(table->HasDishes());
    }

    // Clearing last night's dishes earns nothing; the waitress carries them off.
    TTable* table = mFloor->GetTables().front().get();
    const int before = mScore.GetScore();
    mFloor->GetQuessa()->AddDestination(table, 0, -35);
    ASSERT_TRUE(PlayUntil(30, [&] { return !table->HasDishes(); }));
    EXPECT_EQ(mScore.GetScore(), before);
}

TEST_F(FloorRules, ALevelThatStartsDirtyIsDirtyWhileItsNewItemsBlinkIn)
{
    TGameData& floor = Open(3, 6);
    floor.GoToNextLevel();  // to career level 38, an odd level index: the new items blink in
    for (int i = 0; i < 600 && floor.GetState() != kNewItem; ++i)
        floor.Update(kFrame);
    ASSERT_EQ(floor.GetState(), kNewItem);
    ASSERT_EQ(mSettings->GetCurrentLevel(), 7);
    for (const auto& table : floor.GetTables())
        EXPECT_TRUE(table->HasDishes());
}

TEST_F(FloorRules, TheRobotStopsBehindThePodium)
{
    TGameData& floor = Open(4, 6);  // the spaceship's broken arm, with the podium
    TQuessa* her = floor.GetQuessa();
    ASSERT_TRUE(her->IsRobotMode());
    TPodium& podium = floor.GetStaff().Podium();
    ASSERT_TRUE(podium.IsEnabled());
    TPoint press{-1, -1};
    int kind = 0;
    for (int y = 0; y < 600 && press.x < 0; y += 4)
        for (int x = 0; x < 800 && press.x < 0; x += 4)
            if (floor.StationAt({x, y}, &kind) == &podium)
                press = {x, y};
    ASSERT_GE(press.x, 0) << "the podium takes clicks";
    ASSERT_TRUE(floor.MouseDown(press));

    TVec2 robot = her->GetRobotPosition();
    int still = 0;
    for (int i = 0; i < 60 * 30 && still < 60; ++i) {
        floor.Update(kFrame);
        const TVec2 now = her->GetRobotPosition();
        still = her->GetQueue().empty() && now.x == robot.x && now.y == robot.y ? still + 1 : 0;
        robot = now;
    }
    ASSERT_EQ(still, 60) << "she got there and the robot came to rest";
    EXPECT_NEAR(robot.x, her->GetPosition().x + 30, 1.0f);
}

TEST_F(FloorRules, ADragOverTheBarFindsTheMergedSeatsInTheFrameABarPartyLeaves)
{
    TGameData& floor = Open(2, 0);  // the sub's first level brings the bar
    TBar* bar = floor.GetBar();
    ASSERT_NE(bar, nullptr);
    // Two parties in line that fit the eight stools together.
    TParty* leaving = nullptr;
    TParty* dragged = nullptr;
    const auto pair = [&] {
        for (TParty* a : floor.GetWaitingParties())
            for (TParty* b : floor.GetWaitingParties())
                if (a != b && a->GetSize() + b->GetSize() <= TBar::kStools) {
                    leaving = a;
                    dragged = b;
                    return true;
                }
        return false;
    };
    ASSERT_TRUE(PlayUntil(120, pair));

    // The first party takes the bar's first stools.
    TEatingStation* whole = bar->Stations().front().get();
    const TPoint stool = Centre(whole->GetChair(0)->BoundingBox());
    DropAt(leaving, stool);
    ASSERT_EQ(whole->GetParty(), leaving);
    ASSERT_GE(bar->Stations().size(), 2u);

    // The second one hangs over the largest free group.
    TEatingStation* free = nullptr;
    for (const auto& seat : bar->Stations())
        if (!seat->GetParty() && (!free || seat->GetEndSeat() - seat->GetFirstSeat() >
                                               free->GetEndSeat() - free->GetFirstSeat()))
            free = seat.get();
    ASSERT_NE(free, nullptr);
    const int freeSeats = free->GetEndSeat() - free->GetFirstSeat();
    ASSERT_GE(freeSeats, dragged->GetSize());
    floor.MouseDown(Grip(dragged));
    floor.MouseMove(Centre(free->MouseOverBox()));
    ASSERT_EQ(floor.GetDropTable(), free);

    // The bar party runs out of patience and goes; in that very frame the
    // freed stools join the group under the pointer and the drag takes them.
    leaving->LoseHeart(TParty::kMaxHearts, -1, floor.GetNoiseRings());
    const auto gone = [&] {
        for (const auto& seat : bar->Stations())
            if (seat->GetParty() == leaving)
                return false;
        return true;
    };
    for (int i = 0; i < 60 * 10 && !gone(); ++i)
        floor.Update(kFrame);
    ASSERT_TRUE(gone());
    TEatingStation* target = floor.GetDropTable();
    ASSERT_NE(target, nullptr) << "the drag found the merged seats without another move of the mouse";
    EXPECT_TRUE(bar->IsBarStation(target));
    EXPECT_GT(target->GetEndSeat() - target->GetFirstSeat(), freeSeats);
    EXPECT_EQ(target->GetTriedOutParty(), dragged);
    EXPECT_TRUE(dragged->IsPickingSeats());
    EXPECT_EQ(floor.GetDraggedParty(), dragged);
}

// The sub's first level, its groups after the first made parties of eight
// (no shipped level sends a party as large as the bar): the level file is
// copied into the scratch home and changed there.
class WholeBar : public FloorRules {
protected:
    void SetUp() override
    {
        namespace fs = std::filesystem;
        FloorRules::SetUp();
        const fs::path config = mHome / "assets" / "config";
        fs::remove(config);
        fs::copy(fs::path(QM_DATA_DIR) / "assets" / "config", config, fs::copy_options::recursive);
        const fs::path level = config / "career" / "21.xml";
        std::ifstream in(level, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        in.close();
        text = std::regex_replace(text, std::regex("<groupType([2-9]|[1-9][0-9])>[a-z]+<"), "<groupType$1>old<");
        text = std::regex_replace(text, std::regex("<groupDef([2-9]|[1-9][0-9])>[a-z]+<"), "<groupDef$1>yyyyyyyy<");
        std::ofstream(level, std::ios::binary) << text;
    }

    std::vector<std::pair<int, int>> Groups(const TBar& bar) const
    {
        std::vector<std::pair<int, int>> groups;
        for (const auto& seat : bar.Stations())
            groups.emplace_back(seat->GetFirstSeat(), seat->GetEndSeat());
        return groups;
    }
};

// As a player meets it: a party seated on the bar's middle stools, its seats
// clicked for every step of its meal, served, paid and its dishes cleared;
// the bar is then one group again and a party of eight sits along it.
TEST_F(WholeBar, ThePartyOnTheMiddleStoolsGoesAndTheBarIsWholeForEight)
{
    TGameData& floor = Open(2, 0);
    TBar* bar = floor.GetBar();
    ASSERT_NE(bar, nullptr);
    TParty* first = nullptr;
    ASSERT_TRUE(PlayUntil(60, [&] { return (first = InLine()) != nullptr && Pickable(first); }));
    ASSERT_LE(first->GetSize(), 6);

    TEatingStation* middle = bar->Stations().front().get();
    const TPoint stool = Centre(middle->GetChair(3)->BoundingBox());
    DropAt(first, stool);
    ASSERT_EQ(middle->GetParty(), first);
    ASSERT_EQ(bar->Stations().size(), 3u) << "free stools on either side";

    // The player serves it: every click goes through the floor's hit tests.
    TFloorBot player(floor);
    player.SeatNoMore();
    bool clickedTheBar = false;
    const auto servedAndCleared = [&] {
        player.Act();
        clickedTheBar = clickedTheBar || floor.GetQuessa()->IsStationQueued(middle);
        for (const auto& seat : bar->Stations())
            if (seat->GetParty() || seat->HasDishes())
                return false;
        return floor.GetQuessa()->GetQueue().empty();
    };
    ASSERT_TRUE(PlayUntil(600, servedAndCleared)) << "the party was served and its dishes cleared";
    EXPECT_TRUE(clickedTheBar);
    // Order, ticket, plate, serving, check, dishes and the cart at least.
    EXPECT_GE(player.Clicks(), 7);
    floor.Update(kFrame);
    EXPECT_EQ(Groups(*bar), (std::vector<std::pair<int, int>>{{0, TBar::kStools}})) << "one group again";

    // A party as large as the bar sits along it.
    TParty* eight = nullptr;
    const auto eightInLine = [&] {
        eight = InLine();
        if (!eight)
            floor.AddNextGroup();
        return eight && Pickable(eight);
    };
    ASSERT_TRUE(PlayUntil(60, eightInLine));
    ASSERT_EQ(eight->GetSize(), TBar::kStools);
    TEatingStation* whole = bar->Stations().front().get();
    const TPoint along = Centre(whole->GetChair(3)->BoundingBox());
    DropAt(eight, along);
    EXPECT_EQ(whole->GetParty(), eight);
    EXPECT_FALSE(Waiting(eight));
}

// A party let go over a table that cannot take it goes back to the line with
// the refusal sound; let go over the bare floor it goes back without one.
TEST_F(FloorRules, APartyDroppedWhereItCannotSitGoesBackWithARefusal)
{
    TGameData& floor = Open(1, 6);  // groups of five and six, a table for two
    TParty* party = nullptr;
    TEatingStation* small = nullptr;
    const auto tooBig = [&] {
        for (TParty* waiting : floor.GetWaitingParties())
            for (TEatingStation* table : floor.GetEatingStations())
                if (!waiting->IsOnBench() && !table->GetParty() && Pickable(waiting) &&
                    table->GetEndSeat() - table->GetFirstSeat() < waiting->GetSize()) {
                    party = waiting;
                    small = table;
                    return true;
                }
        return false;
    };
    ASSERT_TRUE(PlayUntil(120, tooBig)) << "a party larger than a free table";

    const TPoint over = Centre(small->MouseOverBox());
    floor.MouseDown(Grip(party));
    ASSERT_EQ(floor.GetDraggedParty(), party);
    floor.MouseMove(over);
    floor.MouseUp(over);
    EXPECT_TRUE(Waiting(party));
    EXPECT_EQ(small->GetParty(), nullptr);
    EXPECT_EQ(mHost.Sounds("refuse"), 1);
    EXPECT_EQ(mHost.Sounds("seat"), 0);

    floor.MouseDown(Grip(party));
    ASSERT_EQ(floor.GetDraggedParty(), party);
    floor.MouseMove(kBareFloor);
    floor.MouseUp(kBareFloor);
    EXPECT_TRUE(Waiting(party));
    EXPECT_EQ(mHost.Sounds("refuse"), 1) << "the floor is no refusal";
}

TEST_F(FloorRules, APartyDroppedOnTheWrongColoursGoesBackWithARefusal)
{
    TGameData& floor = Open(4, 4);  // the spaceship's colour-matching level
    ASSERT_TRUE(floor.GetLevelManager()->GetMustColorMatch());
    TParty* party = nullptr;
    ASSERT_TRUE(PlayUntil(60, [&] { return (party = InLine()) != nullptr && Pickable(party); }));

    // Tries the party over every free table until one offers it wrong colours.
    bool refused = false;
    for (TEatingStation* table : floor.GetEatingStations()) {
        if (table->GetParty() || table->GetEndSeat() - table->GetFirstSeat() < party->GetSize())
            continue;
        const TPoint over = Centre(table->MouseOverBox());
        floor.MouseDown(Grip(party));
        ASSERT_EQ(floor.GetDraggedParty(), party);
        floor.MouseMove(over);
        if (!party->IsPickingSeats() || table->AllCustomersMatch(party)) {
            floor.MouseMove(kBareFloor);
            floor.MouseUp(kBareFloor);
            continue;
        }
        floor.MouseUp(over);
        refused = true;
        break;
    }
    ASSERT_TRUE(refused) << "a free table of other colours";
    EXPECT_TRUE(Waiting(party));
    EXPECT_EQ(mHost.Sounds("refuse"), 1);
    EXPECT_EQ(mHost.Sounds("seat"), 0);
}
