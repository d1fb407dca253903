// The waitress on a fake floor: her queue in click order, each station's
// count of the visits still on her way, visits to stations that went away, hands filled and emptied by the stations, the kitchen
// turning tickets into food for the right table, the shelves and the dish
// cart, on a fake clock (the dt each frame is given).
#include "floor_fixture.h"

#include "engine/base/xml.h"
#include "game/floor/chef.h"
#include "game/floor/dishcart.h"
#include "game/floor/shelves.h"
#include "game/floor/ticketstation.h"
#include "game/rules/scoremanager.h"

#include <filesystem>

using namespace floortest;

TEST_F(FloorTest, QueueIsWalkedInClickOrderAndARefusalDropsTheRest)
{
    MakeWaitress();
    std::vector<std::string> log;
    TSpot a("a", {500, 400}, &log), b("b", {120, 300}, &log), c("c", {400, 120}, &log);
    floor.stations = {&a, &b, &c};

    waitress->AddDestination(&b, 0, -35);
    waitress->AddDestination(&a, 1, -35);
    waitress->AddDestination(&c, 0, -35);
    waitress->AddDestination(&a, 0, -35);  // the same station twice
    EXPECT_TRUE(waitress->IsStationQueued(&a));
    EXPECT_EQ(waitress->GetQueue().size(), 4u);
    EXPECT_EQ(a.mQueuedVisits, 2);
    EXPECT_EQ(b.mQueuedVisits, 1);
    const int frames = WalkQueue();
    EXPECT_EQ(a.mQueuedVisits, 0) << "each arrival ends its visit";
    EXPECT_EQ(b.mQueuedVisits, 0);
    EXPECT_EQ(c.mQueuedVisits, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"b", "a*", "c", "a"}));
    EXPECT_LT(frames, 2000);
    EXPECT_EQ(waitress->GetPosition().x, 500.0f);
    EXPECT_EQ(waitress->GetPosition().y, 400.0f);
    EXPECT_EQ(waitress->GetCurrentStation(), a.StationId());

    // A station with nothing to do ends the plan: later visits are dropped.
    log.clear();
    b.accept = false;
    waitress->AddDestination(&b, 0, -35);
    waitress->AddDestination(&c, 0, -35);
    WalkQueue();
    EXPECT_EQ(log, (std::vector<std::string>{"b"}));
    EXPECT_FALSE(waitress->IsStationQueued(&c));
    EXPECT_EQ(c.mQueuedVisits, 0) << "a dropped visit ends too";

    // So does one still queued when the level starts again.
    waitress->AddDestination(&c, 0, -35);
    waitress->Reset();
    EXPECT_EQ(c.mQueuedVisits, 0);
}

TEST_F(FloorTest, AVisitToAStationThatWentAwayIsDropped)
{
    MakeWaitress();
    std::vector<std::string> log;
    auto old = std::make_unique<TSpot>("old", TPoint{600, 300}, &log);
    TSpot other("other", {200, 300}, &log);
    floor.stations = {old.get(), &other};
    waitress->AddDestination(old.get(), 0, -35);
    waitress->AddDestination(&other, 0, -35);
    for (int i = 0; i < 5; ++i)
        waitress->Update(kFrame, {});

    // The station goes while she walks to it; a new one may take its place
    // in memory, but it is a different station.
    const int oldId = old->StationId();
    floor.Remove(old.get());
    old.reset();
    auto replacement = std::make_unique<TSpot>("new", TPoint{600, 300}, &log);
    floor.stations.push_back(replacement.get());
    EXPECT_NE(replacement->StationId(), oldId);
    EXPECT_FALSE(waitress->IsStationQueued(replacement.get()));
    EXPECT_FALSE(waitress->ValidStation(oldId));

    WalkQueue();
    EXPECT_TRUE(log.empty());  // neither the gone station nor the visits planned after it
    EXPECT_TRUE(waitress->GetQueue().empty());
}

TEST_F(FloorTest, HandsStayPackedAndFollowTheirLimits)
{
    MakeWaitress();
    EXPECT_TRUE(waitress->PickupItem(kCarryDrink, 4, 0));
    EXPECT_TRUE(waitress->PickupItem(kCarryDishes, 2, 0));
    EXPECT_FALSE(waitress->PickupItem(kCarrySnack, 0, 0));
    EXPECT_EQ(waitress->DropItem(kCarryDrink, -1), 4);
    EXPECT_EQ(waitress->Hand(0).kind, kCarryDishes);  // moved down
    EXPECT_EQ(waitress->Hand(1).kind, kCarryNothing);
    EXPECT_EQ(waitress->DropItem(kCarryDishes, 3), -1);  // another table's dishes
    int extra = 0;
    EXPECT_TRUE(waitress->PickupItem(kCarryHighChair, 0, 1500));
    waitress->DropItem(kCarryHighChair, -1, &extra);
    EXPECT_EQ(extra, 1500);

    waitress->SetBrokenArm(true);
    waitress->Reset();
    EXPECT_TRUE(waitress->PickupItem(kCarryTicket, 1, 0));
    EXPECT_FALSE(waitress->PickupItem(kCarryTicket, 2, 0));
    waitress->SetBrokenArm(false);
    EXPECT_EQ(waitress->HandCount(), 2);

    // The camera: she stands 1.25 s, then the camera leaves her hand.
    std::vector<std::string> log;
    TSpot far("far", {700, 500}, &log);
    floor.stations = {&far};
    waitress->Reset();
    waitress->PickupItem(kCarryCamera, -1, 0);
    waitress->PauseMotion(1.25f, kCarryCamera);
    waitress->AddDestination(&far, 0, -35);
    for (int i = 0; i < 24; ++i)
        waitress->Update(kFrame, {});
    EXPECT_EQ(waitress->GetPosition().x, 300.0f);
    EXPECT_TRUE(waitress->CarryingItem(kCarryCamera, -1));
    waitress->Update(0.1f, {});
    EXPECT_FALSE(waitress->IsPaused());
    EXPECT_FALSE(waitress->CarryingItem(kCarryCamera, -1));
    waitress->Update(kFrame, {});
    EXPECT_NE(waitress->GetPosition().x, 300.0f);

    // More high chairs than the tables need: one goes at each frame.
    TFakeTable table(0, {300, 300});
    table.highChairs = 1;
    floor.tables = {&table};
    floor.stations.clear();
    waitress->Reset();
    waitress->PickupItem(kCarryHighChair, 0, 1000);
    waitress->PickupItem(kCarryHighChair, 0, 1000);
    waitress->Update(kFrame, {});
    EXPECT_EQ(waitress->NumCarrying(kCarryHighChair), 1);
}

TEST_F(FloorTest, TicketsBecomeFoodAtTheRightTableAndWaitInHandForAFreeStation)
{
    MakeWaitress();
    TFakeTable first(0, {200, 420}), second(3, {560, 420});
    first.state = second.state = kReadyToOrder;
    TTicketStation spike;
    spike.SetFloor(&floor);
    TFoodStation stove(2.0f, 0.0f, 1.5f, {350, 160});
    floor.food = {&stove};
    floor.stations = {&first, &second, &spike};
    floor.tables = {&first, &second};

    Visit(first);
    Visit(second);
    EXPECT_EQ(waitress->NumCarrying(kCarryTicket), 2);
    spike.Update(kFrame, waitress.get());
    EXPECT_GT(spike.GetTicketTime(), 0.0f);

    // One food station: the first ticket is cooked, the second stays in her
    // hand instead of being lost.
    Visit(spike);
    EXPECT_TRUE(stove.IsActive());
    EXPECT_EQ(stove.GetTableNumber(), 0);
    EXPECT_TRUE(waitress->CarryingItem(kCarryTicket, 3));
    // Visiting again while the stove is busy changes nothing.
    EXPECT_FALSE(spike.ArrivedAtStation(waitress.get(), {}, 0));
    EXPECT_TRUE(waitress->CarryingItem(kCarryTicket, 3));

    for (int i = 0; i < 41; ++i)
        stove.Update(kFrame, nullptr);
    ASSERT_TRUE(stove.IsOrderReady());
    Visit(stove);
    EXPECT_TRUE(waitress->CarryingItem(kCarryFood, 0));
    EXPECT_FALSE(stove.IsActive());

    // The other table refuses food that is not its own; the visit plan ends.
    Visit(second);
    EXPECT_EQ(second.state, kWaitingForFood);
    Visit(first);
    EXPECT_EQ(first.state, kEating);
    EXPECT_EQ(waitress->NumCarrying(kCarryFood), 0);

    // Now the stove is free for the ticket she kept.
    Visit(spike);
    EXPECT_EQ(stove.GetTableNumber(), 3);
    EXPECT_EQ(waitress->NumActiveHands(), 0);
    for (int i = 0; i < 41; ++i)
        stove.Update(kFrame, nullptr);
    Visit(stove);
    Visit(second);
    EXPECT_EQ(second.state, kEating);
}

TEST_F(FloorTest, CookTimesGrowWithTheOrdersAlreadyCooking)
{
    MakeWaitress();
    std::vector<std::unique_ptr<TFoodStation>> counter;
    for (int i = 0; i < 5; ++i)
        counter.push_back(std::make_unique<TFoodStation>(2.0f, 3.0f, 1.5f, TPoint{300 + 40 * i, 160}));
    for (auto& s : counter)
        floor.food.push_back(s.get());
    TTicketStation spike;
    spike.SetFloor(&floor);
    TChef cook;
    cook.Reset();

    // Three orders cooking; a fourth waits three delays: 3 x 1.5 + 2 = 6.5 s.
    for (int i = 0; i < 3; ++i)
        counter[std::size_t(i)]->PlaceOrder(i, 0);
    waitress->PickupItem(kCarryTicket, 7, 0);
    EXPECT_TRUE(spike.ArrivedAtStation(waitress.get(), {}, 0));
    TFoodStation& fourth = *counter[3];
    EXPECT_EQ(fourth.GetTableNumber(), 7);
    float elapsed = 0;
    const float dt = 0.25f;
    while (!fourth.IsOrderReady() && elapsed < 20) {
        for (auto& s : counter)
            s->Update(dt, nullptr);
        cook.Update(dt, floor.food);
        elapsed += dt;
        if (elapsed == 0.25f) {
            EXPECT_FLOAT_EQ(cook.GetIntensity(), 0.5f);
        }
    }
    EXPECT_FLOAT_EQ(elapsed, 6.5f);
    // Nothing cooks any more: the cook winds down over half a second.
    EXPECT_FALSE(cook.IsCooking());
    EXPECT_FLOAT_EQ(cook.GetIntensity(), 0.5f);
    cook.Update(dt, floor.food);
    EXPECT_FLOAT_EQ(cook.GetIntensity(), 0.0f);

    // Food goes stale while it waits: fresh, half-stale, stale.
    struct {
        float wait;
        int staleness;
    } const waits[] = {{0.5f, 0}, {2.0f, 1}, {3.5f, 2}};
    for (const auto& w : waits) {
        TFoodStation plate(2.0f, 3.0f, 0.0f, {300, 160});
        plate.PlaceOrder(1, 0);
        plate.Update(2.0f, nullptr);
        plate.Update(w.wait, nullptr);
        waitress->Reset();
        EXPECT_TRUE(plate.ArrivedAtStation(waitress.get(), {}, 0));
        EXPECT_EQ(waitress->Hand(0).extra, w.staleness) << w.wait;
    }
}

TEST_F(FloorTest, ShelvesHandOverWhatTheFloorNeeds)
{
    MakeWaitress();
    TScoreManager score;
    TFakeTable t1(0, {200, 400}), t2(1, {400, 400}), t3(2, {600, 400});
    floor.tables = {&t1, &t2, &t3};
    t1.state = t2.state = kWantsDessert;

    TDessertStation desserts;
    desserts.SetEnabled(true);
    desserts.Update(kFrame, floor.tables, waitress.get());
    EXPECT_EQ(desserts.GetWantedCount(), 2);
    EXPECT_TRUE(desserts.ArrivedAtStation(waitress.get(), {&score, nullptr}, 0));
    EXPECT_TRUE(desserts.ArrivedAtStation(waitress.get(), {&score, nullptr}, 0));
    EXPECT_FALSE(desserts.ArrivedAtStation(waitress.get(), {&score, nullptr}, 0));  // one each, no more
    EXPECT_EQ(score.GetChainAction(), kScoreDessert);
    t2.state = kEatingDessert;  // served another way
    desserts.Update(kFrame, floor.tables, waitress.get());
    EXPECT_EQ(waitress->NumCarrying(kCarryDessert), 1);
    waitress->Reset();

    TSnackStation snacks;
    EXPECT_FALSE(snacks.ArrivedAtStation(waitress.get(), {&score, nullptr}, 0));  // not in this layout
    snacks.SetEnabled(true);
    t3.wantsSnack = true;
    snacks.Update(kFrame, floor.tables, waitress.get());
    EXPECT_TRUE(snacks.ArrivedAtStation(waitress.get(), {&score, nullptr}, 0));
    EXPECT_TRUE(waitress->CarryingItem(kCarrySnack, 0));
    waitress->Reset();

    TDrinkStation drinks;
    drinks.SetEnabled(true);
    drinks.SetRefillTime(1.0f);
    drinks.SetDrinkValue(2);
    drinks.Update(0.9f);
    EXPECT_FALSE(drinks.ArrivedAtStation(waitress.get(), {&score, nullptr}, 0));
    drinks.Update(0.2f);
    EXPECT_TRUE(drinks.ArrivedAtStation(waitress.get(), {&score, nullptr}, 0));
    EXPECT_TRUE(waitress->CarryingItem(kCarryDrink, 2));
    EXPECT_FALSE(drinks.IsDrinkReady());
    drinks.ForceActive();
    EXPECT_TRUE(drinks.IsDrinkReady());
    waitress->Reset();

    THighChairStation chairs;
    chairs.SetEnabled(true);
    chairs.SetPatience(1.5f);
    chairs.Update(kFrame, floor.tables, waitress.get());
    EXPECT_FALSE(chairs.ArrivedAtStation(waitress.get(), {&score, nullptr}, 0));
    t1.highChairs = 1;
    chairs.Update(kFrame, floor.tables, waitress.get());
    EXPECT_TRUE(chairs.ArrivedAtStation(waitress.get(), {&score, nullptr}, 0));
    EXPECT_EQ(waitress->Hand(0).extra, 1500);
    chairs.Update(kFrame, floor.tables, waitress.get());
    EXPECT_FALSE(chairs.IsNeeded());
    waitress->Reset();

    TMopStation mop;
    mop.SetEnabled(true);
    mop.Update(kFrame, floor.tables, waitress.get());
    EXPECT_FALSE(mop.ArrivedAtStation(waitress.get(), {&score, nullptr}, 0));  // no spill anywhere
    t2.spill = true;
    mop.Update(kFrame, floor.tables, waitress.get());
    EXPECT_GT(mop.GetAttentionTime(), 0.0f);
    EXPECT_TRUE(mop.ArrivedAtStation(waitress.get(), {&score, nullptr}, 0));
    EXPECT_TRUE(waitress->CarryingItem(kCarryMop, -1));
    EXPECT_EQ(waitress->Hand(0).extra, 1000);
    mop.Update(kFrame, floor.tables, waitress.get());
    EXPECT_TRUE(mop.IsMopCarried());
    EXPECT_TRUE(mop.ArrivedAtStation(waitress.get(), {&score, nullptr}, 0));  // put back, spill or not
    EXPECT_FALSE(waitress->CarryingItem(kCarryMop, -1));
    EXPECT_EQ(score.GetChainAction(), kScoreMop);
}

TEST_F(FloorTest, DishCartTakesDishesAndReordersThrownAwayFood)
{
    MakeWaitress();
    TFoodStation stove(2.0f, 0.0f, 1.0f, {350, 160});
    floor.food = {&stove};
    TFakeTable table(4, {300, 420});
    table.dishes = true;
    TDishCart cart({700, 200});
    floor.stations = {&table, &cart};
    floor.tables = {&table};

    EXPECT_FALSE(cart.ArrivedAtStation(waitress.get(), {}, 0));  // nothing to drop
    Visit(table);
    EXPECT_TRUE(waitress->CarryingItem(kCarryDishes, 4));
    waitress->PickupItem(kCarryFood, 6, 0);
    cart.Update(kFrame, waitress.get());
    Visit(cart);
    EXPECT_EQ(waitress->NumActiveHands(), 0);
    EXPECT_EQ(cart.GetLoadCount(), 2);
    EXPECT_EQ(cart.GetFrame(), 4);
    EXPECT_TRUE(stove.IsActive());  // the food is cooked again for its table
    EXPECT_EQ(stove.GetTableNumber(), 6);
    cart.Update(0.6f, waitress.get());
    EXPECT_EQ(cart.GetLoadCount(), 2);
    cart.Update(0.6f, waitress.get());
    EXPECT_EQ(cart.GetLoadCount(), 0);  // emptied a second after the last load
    EXPECT_EQ(cart.GetFrame(), 0);
    cart.DropOffDishes(1);
    EXPECT_EQ(cart.GetFrame(), 2);
}

TEST_F(FloorTest, SpeedAndPosesFollowTheRestaurantAndTheHandsHeld)
{
    // Her body and the robot from the game's data, so poses can be seen.
    const std::filesystem::path data = std::filesystem::path(QM_DATA_DIR) / "assets";
    std::filesystem::create_directories(mHome / "assets/quessa");
    std::filesystem::create_directories(mHome / "assets/robot");
    for (const char* name : {"quessa/base.anm", "quessa/base.png", "robot/robot.anm", "robot/robot.png"})
        std::filesystem::copy_file(data / name, mHome / "assets" / name,
                                   std::filesystem::copy_options::overwrite_existing);
    TXmlNode globals;
    globals.ParseString("<dataroot><globals><waiterSpeed>300</waiterSpeed><highchairboost>2</highchairboost>"
                        "</globals></dataroot>");
    struct {
        int restaurant, mode;
        float speed;
    } const speeds[] = {{0, 0, 300}, {3, 0, 330}, {4, 0, 390}, {3, 1, 300}};
    for (const auto& s : speeds) {
        mSettings->SetCurrentRestaurant(s.restaurant);
        mSettings->SetCurrentGameMode(s.mode);
        TQuessa figure(&globals);
        EXPECT_FLOAT_EQ(figure.GetSpeed(), s.speed) << s.restaurant << " " << s.mode;
        EXPECT_EQ(figure.GetHighChairBoost(), 2);
    }
    mSettings->SetCurrentGameMode(0);

    // In the spaceship the robot holds hands 3 and 4 and follows her.
    MakeWaitress(4);
    ASSERT_TRUE(waitress->IsRobotMode());
    for (ECarryables kind : {kCarryDrink, kCarrySnack, kCarryDessert})
        EXPECT_TRUE(waitress->PickupItem(kind, 0, 0));
    EXPECT_EQ(waitress->Body().GetLastFunction(), str("TwoHandForward"));
    EXPECT_EQ(waitress->Robot().GetLastFunction(), str("OneHandForward"));
    EXPECT_TRUE(waitress->PickupItem(kCarryDishes, 1, 0));
    EXPECT_FALSE(waitress->PickupItem(kCarryDishes, 2, 0));

    std::vector<std::string> log;
    TSpot left("left", {100, 200}, &log);
    floor.stations = {&left};
    waitress->AddDestination(&left, 0, -35);
    waitress->Update(kFrame, {});
    EXPECT_EQ(waitress->GetFacing(), 1);  // left: the sideways walk, drawn mirrored
    EXPECT_EQ(waitress->Body().GetLastFunction(), str("TwoHandWalkSideways"));
    WalkQueue();
    for (int i = 0; i < 40; ++i)
        waitress->Update(kFrame, {});
    EXPECT_EQ(log, (std::vector<std::string>{"left"}));
    // The robot stops beside her, offset to her left.
    EXPECT_FLOAT_EQ(waitress->GetRobotPosition().x, 100.0f - 35.0f);
    EXPECT_FLOAT_EQ(waitress->GetRobotPosition().y, 200.0f - 40.0f);

    // At the podium and on the phone the poses say so; leaving takes the idle pose again.
    waitress->AtPodium(true, true);
    EXPECT_EQ(waitress->Body().GetLastFunction(), str("Podium"));
    waitress->AtPodium(false, true);
    waitress->TalkingOnPhone(true);
    EXPECT_EQ(waitress->Body().GetLastFunction(), str("Phone"));
    waitress->TalkingOnPhone(false);
    EXPECT_EQ(waitress->Body().GetLastFunction(), str("TwoHandForward"));
}
