// What the level's graph wires together on the game's own data (global.xml,
// career levels, layouts, art): the waitress's globals, the podium's wave,
// the spaceship's tube glow, the night overlay of a flashlight level, the
// tables' decor level, the lovebirds' two-seat tables, the floor's depth
// order and the medals of a logged score.
#include "floorbot.h"
#include "floor_data_fixture.h"

#include "engine/base/encrypt.h"
#include "engine/base/encryptionkey.h"
#include "engine/base/folders.h"
#include "engine/base/xml.h"
#include "engine/render/animatedtexture.h"
#include "game/floor/bar.h"
#include "game/floor/chair.h"
#include "game/floor/customer.h"
#include "game/floor/eatingstation.h"
#include "game/floor/party.h"
#include "game/floor/quessa.h"
#include "game/floor/table.h"
#include "game/play/game.h"
#include "game/rules/scoremanager.h"
#include "online/hiscorefile.h"
#include "online/hiscorereply.h"
#include "recordinghandler.h"

#include <algorithm>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

constexpr float kFrame = 1.0f / 60;

TPoint Centre(const TRect& r) { return {(r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2}; }

}  // namespace

class FloorWiring : public FloorTest {
protected:
    TGameData& Open(int restaurant, int level) { return OpenShippedLevel(mFloor, mScore, restaurant, level, 3); }

    // Drags `party` from the line onto `station`, as the player does.
    bool Seat(TParty* party, TEatingStation* station)
    {
        const TPoint grab = Centre(party->MembersInBuildOrder().front()->BoundingBox());
        TPoint drop = Centre(station->GetChair(station->GetFirstSeat())->BoundingBox());
        if (!station->MouseOverBox().Contains(drop))
            drop = Centre(station->MouseOverBox());
        mFloor->MouseDown(grab);
        mFloor->MouseMove({(grab.x + drop.x) / 2, (grab.y + drop.y) / 2});
        mFloor->MouseMove(drop);
        mFloor->MouseUp(drop);
        return station->GetParty() == party;
    }

    // A free table that fits the party, tables for two kept free.
    TTable* TableFor(const TParty* party)
    {
        for (const auto& table : mFloor->GetTables()) {
            const int seats = table->GetEndSeat() - table->GetFirstSeat();
            if (seats > 2 && seats >= party->GetSize() && !table->GetParty() && !table->HasDishes())
                return table.get();
        }
        return nullptr;
    }

    TTable* TableWithSeats(int seats)
    {
        for (const auto& table : mFloor->GetTables())
            if (table->GetEndSeat() - table->GetFirstSeat() == seats && !table->GetParty())
                return table.get();
        return nullptr;
    }

    TScoreManager mScore;
    std::unique_ptr<TGameData> mFloor;
};

// ---- the waitress reads global.xml

TEST_F(FloorWiring, TheWaitressWalksAtTheSpeedOfGlobalXml)
{
    ASSERT_NE(mGlobals, nullptr);
    const float shipped = static_cast<float>(mGlobals->GetChildContent("waiterSpeed").to_float());
    EXPECT_EQ(Open(0, 0).GetQuessa()->GetSpeed(), shipped);
    // The sub's and the blimp's floors are larger: she is a tenth faster there.
    EXPECT_FLOAT_EQ(Open(3, 0).GetQuessa()->GetSpeed(), shipped * 1.1f);

    // The same file with another speed: she takes it.
    mGlobals->GetChild("waiterSpeed")->SetContent("420");
    EXPECT_EQ(Open(0, 0).GetQuessa()->GetSpeed(), 420.0f);
}

TEST_F(FloorWiring, OnAFloorWithABarSheWalksOutFromBehindItToThePhone)
{
    // Her spot at the start of a level lies inside the bar's box on the
    // blimp's floors: she must still walk, not stand and serve from afar.
    TGameData& floor = Open(3, 4);
    ASSERT_NE(floor.GetBar(), nullptr);
    TQuessa* her = floor.GetQuessa();
    const TVec2 start = her->GetPosition();
    ASSERT_TRUE(floor.GetBar()->BoundingBox().Contains(TPoint{int(start.x), int(start.y)}));
    TPhoneStation& phone = floor.GetStaff().Phone();
    her->AddDestination(&phone, 0, -35);
    for (int i = 0; i < 30; ++i)
        floor.Update(kFrame);
    EXPECT_FALSE(her->GetQueue().empty()) << "half a second later she is on her way";
    EXPECT_NE(her->GetPosition().x, start.x);
    for (int i = 0; i < 60 * 10 && !her->GetQueue().empty(); ++i)
        floor.Update(kFrame);
    EXPECT_EQ(her->GetPosition().x, float(phone.GetStandingSpot().x));
    EXPECT_EQ(her->GetPosition().y, float(phone.GetStandingSpot().y));
}

TEST_F(FloorWiring, AHighChairDeliveredToAFamilyGivesTheHeartOfGlobalXml)
{
    ASSERT_NE(mGlobals, nullptr);
    const int boost = mGlobals->GetChildContent("highchairboost").to_int();
    ASSERT_GT(boost, 0) << "the shipped global.xml gives a heart for a high chair";
    TGameData& floor = Open(0, 6);  // the cruise ship's seventh level brings families
    EXPECT_EQ(floor.GetQuessa()->GetHighChairBoost(), boost);

    // The line comes as scheduled; whoever stands before the family is seated first.
    TParty* family = nullptr;
    for (int i = 0; i < 60 * 120 && !family; ++i) {
        floor.Update(kFrame);
        if (floor.GetWaitingParties().empty())
            continue;
        TParty* head = floor.GetWaitingParties().front();
        if (head->NumHighChairsWanted() > 0)
            family = head;
        else if (TTable* table = TableFor(head)) {
            ASSERT_TRUE(Seat(head, table));
        }
    }
    ASSERT_NE(family, nullptr);
    TTable* table = TableWithSeats(4);
    ASSERT_NE(table, nullptr);
    ASSERT_TRUE(Seat(family, table));

    TQuessa* her = floor.GetQuessa();
    her->AddDestination(&floor.GetHighChairStation(), 0, -35);
    her->AddDestination(table, 0, -35);
    int hearts = family->GetHearts();
    bool delivered = false;
    for (int i = 0; i < 60 * 20 && !delivered; ++i) {
        hearts = family->GetHearts();
        floor.Update(kFrame);
        delivered = table->NumHighChairs() > 0;
    }
    ASSERT_TRUE(delivered);
    EXPECT_EQ(family->GetHearts(), std::min(hearts + boost, TParty::kMaxHearts));
}

// ---- the podium, the tube glow, the night

TEST_F(FloorWiring, ThePodiumsReleaseMakesTheLineWaveAQuarterSecondApart)
{
    TGameData& floor = Open(3, 3);  // the blimp's fourth level has the podium
    TPodium& podium = floor.GetStaff().Podium();
    ASSERT_TRUE(podium.IsEnabled());
    for (int i = 0; i < 60 * 90 && floor.GetWaitingParties().size() < 2; ++i)
        floor.Update(kFrame);
    ASSERT_GE(floor.GetWaitingParties().size(), 2u);
    for (TParty* party : floor.GetWaitingParties())
        EXPECT_FALSE(party->IsWaving());

    floor.GetQuessa()->AddDestination(&podium, 0, 30);
    for (int i = 0; i < 60 * 30 && !podium.IsActive(); ++i)
        floor.Update(kFrame);
    ASSERT_TRUE(podium.IsActive()) << "the charge was released";
    const std::vector<TParty*> line(floor.GetWaitingParties().begin(), floor.GetWaitingParties().end());
    for (TParty* party : line)
        EXPECT_TRUE(party->IsWaving());
    const auto raised = [](TParty* party) { return party->MembersInBuildOrder().front()->InRollover(); };
    EXPECT_TRUE(raised(line[0])) << "the head of the line waves at once";
    EXPECT_FALSE(raised(line[1]));
    for (int i = 0; i < 18; ++i)  // 0.3 s
        floor.Update(kFrame);
    EXPECT_TRUE(raised(line[1])) << "the next one a quarter second later";
    for (int i = 0; i < 120; ++i)
        floor.Update(kFrame);
    EXPECT_FALSE(line[0]->IsWaving()) << "a wave lasts a second";
    EXPECT_FALSE(raised(line[0]));
}

TEST_F(FloorWiring, EachArrivalInTheSpaceshipLightsTheTubeForASecond)
{
    TGameData& floor = Open(4, 0);
    TRestaurant& scene = floor.GetStaff().Restaurant();
    EXPECT_FALSE(scene.IsTubeGlowOn());
    for (int i = 0; i < 60 * 60 && floor.GetWaitingParties().empty(); ++i) {
        EXPECT_FALSE(scene.IsTubeGlowOn());
        floor.Update(kFrame);
    }
    ASSERT_EQ(floor.GetWaitingParties().size(), 1u);
    EXPECT_TRUE(scene.IsTubeGlowOn()) << "the party beamed in";
    for (int i = 0; i < 66; ++i)
        floor.Update(kFrame);
    EXPECT_FALSE(scene.IsTubeGlowOn());
}

TEST_F(FloorWiring, AFlashlightLevelDarkensFromItsIntroToItsLevelOver)
{
    // The shipped flashlight levels are the sub's last two: the game's
    // flashlight follows the pointer there; the sub has no night sky.
    TGameData& sub = Open(2, 8);
    ASSERT_TRUE(sub.GetLevelManager()->GetFlashLight());
    EXPECT_TRUE(sub.IsFlashlightOn());
    EXPECT_FALSE(sub.GetStaff().Restaurant().HasNightOverlay());
    sub.EnterLevelOver();
    EXPECT_FALSE(sub.IsFlashlightOn());

    TGameData& plain = Open(1, 3);
    EXPECT_FALSE(plain.IsFlashlightOn());
    EXPECT_FALSE(plain.GetStaff().Restaurant().HasNightOverlay());

    // The train's level with its flag set: the night falls over its windows too.
    mFloor.reset();
    mSettings->SetCurrentRestaurant(1);
    mSettings->SetCurrentLevel(3);
    mFloor = std::make_unique<TGameData>(mGlobals, &mScore, &mHost.events);
    mFloor->SetupStars();
    mFloor->SetupLevel();
    mFloor->GetLevelManager()->SetFlashLight(true);
    mFloor->StartIntro();
    EXPECT_TRUE(mFloor->IsFlashlightOn());
    EXPECT_TRUE(mFloor->GetStaff().Restaurant().HasNightOverlay());
    mFloor->EnterLevelOver();
    EXPECT_FALSE(mFloor->GetStaff().Restaurant().HasNightOverlay());
}

// ---- the tables

TEST_F(FloorWiring, TablesTakeTheRestaurantsDecorLevel)
{
    TGameData& before = Open(0, 2);
    const int chairs = before.GetStaff().Restaurant().ChairSlot();
    EXPECT_EQ(before.GetStaff().Restaurant().ChairUpgradeLevel(), 0);
    for (const auto& table : before.GetTables())
        EXPECT_EQ(table->GetUpgradeLevel(), 0);

    // The player picked the new chairs after an earlier level.
    mSettings->SelectDecorUpgrade(chairs);
    TGameData& after = Open(0, 3);
    ASSERT_EQ(after.GetStaff().Restaurant().ChairUpgradeLevel(), 1);
    ASSERT_FALSE(after.GetTables().empty());
    for (const auto& table : after.GetTables()) {
        EXPECT_EQ(table->GetUpgradeLevel(), 1);
        EXPECT_EQ(table->GetChair(0)->GetUpgradeLevel(), 1);
    }
}

TEST_F(FloorWiring, LovebirdsSitOnlyAtATableForTwo)
{
    TGameData& floor = Open(3, 0);  // the blimp's first level brings lovebirds
    TParty* lovebirds = nullptr;
    for (int i = 0; i < 60 * 240 && !lovebirds; ++i) {
        floor.Update(kFrame);
        if (floor.GetWaitingParties().empty())
            continue;
        TParty* head = floor.GetWaitingParties().front();
        if (head->IsLovebirds())
            lovebirds = head;
        else if (TTable* table = TableFor(head)) {
            ASSERT_TRUE(Seat(head, table));
        }
    }
    ASSERT_NE(lovebirds, nullptr);
    TTable* four = TableWithSeats(4);
    TTable* two = TableWithSeats(2);
    ASSERT_NE(four, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_FALSE(Seat(lovebirds, four)) << "a table for four is refused";
    ASSERT_FALSE(floor.GetWaitingParties().empty());
    EXPECT_EQ(floor.GetWaitingParties().front(), lovebirds) << "they are back in line";
    EXPECT_TRUE(Seat(lovebirds, two));
}

// ---- the logged score

TEST_F(FloorWiring, AFirstWinLogsTheScoreWithTheMedalsOfThePlayersProgress)
{
    mSettings->UnlockLevel(2, 0);  // the sub is open: the first two restaurants are done
    ASSERT_EQ(mSettings->GetNumUnlockedRestaurants(), 3);
    EXPECT_EQ(game::MedalsOfProgress(), str("<medal name=\"corvellatrip_restaurant_1\" per=\"game\"/>"
                                                "<medal name=\"corvellatrip_restaurant_2\" per=\"game\"/>"));

    TGameData& floor = Open(0, 0);
    mScore.SetScore(mScore.GetLevelStartScore() + floor.GetCurrentExpert());
    floor.EnterLevelOver();
    ASSERT_TRUE(floor.GetLastResult().win);
    game::ApplyLevelResult(floor.GetLastResult());

    TEncrypt cipher(ENCRYPTION_KEY);
    str text;
    ASSERT_EQ(qm::ReadHiscoreFile(qm::UserDataDirectory() + "/hiscore.dat", cipher, &text), qm::EHiscoreFile::kRead);
    std::map<str, TQmHiscoreUserInfo> users;
    std::map<str, TQmHiscoreTable> tables;
    qm::ReadHiscoreText(text.c_str(), &users, &tables);
    int rows = 0;
    for (const auto& [name, table] : tables)
        for (const TQmHiscoreRow& row : table.rows) {
            ++rows;
            EXPECT_EQ(row.serverData, game::MedalsOfProgress()) << "the medals go with the score";
            EXPECT_EQ(row.gameData, str("lev:21;rest:1"));
        }
    EXPECT_EQ(rows, 1);
}

TEST_F(FloorWiring, TheMedalsNameEveryRestaurantDoneAndTheWholeCareer)
{
    EXPECT_EQ(game::MedalsOfProgress(), str()) << "a new player has none";
    mSettings->UnlockLevel(1, 0);
    EXPECT_EQ(game::MedalsOfProgress(), str("<medal name=\"corvellatrip_restaurant_1\" per=\"game\"/>"));
    mSettings->BeatGame();
    EXPECT_EQ(game::MedalsOfProgress(), str("<medal name=\"corvellatrip_restaurant_1\" per=\"game\"/>"
                                                "<medal name=\"corvellatrip_restaurant_5\" per=\"game\"/>"
                                                "<medal name=\"corvellatrip_career_complete\" per=\"game\"/>"));
}

// ---- depth order

namespace {

int PlaceOf(const std::vector<TFloorDrawEntry>& order, TFloorDrawEntry::EKind kind, const TTable* table = nullptr)
{
    for (std::size_t i = 0; i < order.size(); ++i)
        if (order[i].kind == kind && (!table || order[i].table == table))
            return static_cast<int>(i);
    return -1;
}

}  // namespace

TEST_F(FloorWiring, TheStaffAndThePodiumStandAmongTheTablesByTheirFeet)
{
    TGameData& floor = Open(3, 3);
    TRestaurantStaff& staff = floor.GetStaff();
    ASSERT_TRUE(staff.Podium().IsEnabled());
    const TTable* table = floor.GetTables().front().get();
    const TRect box = table->BoundingBox();
    const int x = (box.x1 + box.x2) / 2;
    // Where his feet are, relative to where he stands.
    staff.BusBoy().Activate(static_cast<float>(x), 0, 60);
    const int foot = staff.BusBoy().BoundingBox().y2;

    staff.BusBoy().Activate(static_cast<float>(x), static_cast<float>(box.y2 + 10 - foot), 60);
    std::vector<TFloorDrawEntry> order = FloorDrawOrder(floor);
    EXPECT_GT(PlaceOf(order, TFloorDrawEntry::kBusBoy), PlaceOf(order, TFloorDrawEntry::kTable, table))
        << "in front of the table";
    staff.BusBoy().Activate(static_cast<float>(x), static_cast<float>(box.y1 - 10 - foot), 60);
    order = FloorDrawOrder(floor);
    EXPECT_LT(PlaceOf(order, TFloorDrawEntry::kBusBoy), PlaceOf(order, TFloorDrawEntry::kTable, table))
        << "behind it";
    // Between the table's top and its front edge he is drawn right after it:
    // he stands at the far side, his feet hidden by nothing.
    staff.BusBoy().Activate(static_cast<float>(x), static_cast<float>((box.y1 + box.y2) / 2 - foot), 60);
    order = FloorDrawOrder(floor);
    EXPECT_EQ(PlaceOf(order, TFloorDrawEntry::kBusBoy), PlaceOf(order, TFloorDrawEntry::kTable, table) + 1);

    // Every piece is in the sort: the podium by its foot, the hostess beside
    // it, both waitress passes, the drink server.
    staff.Hostess().Activate(60);
    order = FloorDrawOrder(floor);
    for (TFloorDrawEntry::EKind kind : {TFloorDrawEntry::kPodium, TFloorDrawEntry::kHostess, TFloorDrawEntry::kRobot,
                                        TFloorDrawEntry::kWaitress, TFloorDrawEntry::kDrinkServer})
        EXPECT_GE(PlaceOf(order, kind), 0) << kind;
    EXPECT_EQ(order[std::size_t(PlaceOf(order, TFloorDrawEntry::kPodium))].sortValue,
              staff.Podium().BoundingBox().y2);
    EXPECT_EQ(order[std::size_t(PlaceOf(order, TFloorDrawEntry::kHostess))].sortValue,
              static_cast<int>(staff.Hostess().Position().y));
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end(), [](const TFloorDrawEntry& a, const TFloorDrawEntry& b) {
        return a.sortValue < b.sortValue;
    }));
}

TEST_F(FloorWiring, TheTrainsPerformerPlaysOutsideBehindTheTables)
{
    RecordingHandler handler;  // textures made from here on record their draws
    TGameData& floor = Open(1, 5);
    TEntertainer& performer = floor.GetStaff().Entertainer();
    ASSERT_TRUE(performer.Available());
    performer.Activate(60);
    TAnimatedTextureCache cache(100, 120, 80);
    handler.draws.clear();
    DrawFloor(floor, &cache, nullptr, nullptr);
    const auto first = [&handler](const TTexture* texture) {
        for (std::size_t i = 0; i < handler.draws.size(); ++i)
            if (texture && handler.draws[i].data == texture->GetData())
                return static_cast<int>(i);
        return -1;
    };
    const int played = first(performer.Performer().GetAnimatedTexture().get());
    ASSERT_GE(played, 0);
    for (const auto& table : floor.GetTables()) {
        const int drawn = first(table->Look().get());
        ASSERT_GE(drawn, 0);
        EXPECT_LT(played, drawn);
    }
    EXPECT_LT(played, first(floor.GetQuessa()->Body().GetAnimatedTexture().get()));
}
