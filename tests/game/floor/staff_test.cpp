// The staff the phone calls, on the headless floor in 50 ms frames: each
// one's life cycle (reset, active for its time, at work, leaving with the
// puff only once empty-handed), the podium's charge and boost, the
// entertainer's notes cheering the tables, and the phone itself.
#include "staff_fixture.h"

#include "engine/base/xml.h"
#include "engine/window/image.h"
#include "game/floor/dishcart.h"
#include "game/floor/entertainer.h"
#include "game/floor/hostess.h"
#include "game/floor/phonestation.h"
#include "game/floor/podium.h"
#include "game/floor/shelves.h"
#include "game/floor/staff.h"

TEST_F(StaffTest, TheBusBoyClearsTablesAndLeavesOnlyOnceHisDishesAreOnTheCart)
{
    auto first = MakeTable(0, {560, 320});
    auto second = MakeTable(1, {400, 320});
    auto seated = MakeTable(2, {300, 480});
    first->MakeDirty(false);
    second->MakeDirty(false);
    TParty* payer = Seat(*seated, 1, {kColorRed, kColorBlue});
    payer->SetState(kStateWantsCheck);
    const std::vector<TEatingStation*> tables{first.get(), second.get(), seated.get()};
    TDishCart cart({120, 220});
    TBusBoy busBoy(nullptr);
    busBoy.SetTables(Boxes(tables), nullptr);

    busBoy.Activate(720, 200, 1.5f);
    EXPECT_TRUE(busBoy.IsActive());
    EXPECT_TRUE(busBoy.IsPoofPlaying()) << "he arrives in a puff";
    int mostCarried = 0;
    bool carriedPastHisTime = false;
    auto frame = [&](float dt) {
        busBoy.Update(dt, tables, &cart);
        mostCarried = std::max(mostCarried, busBoy.Carried());
        carriedPastHisTime |= busBoy.IsActive() && busBoy.TimeLeft() < 0 && busBoy.Carried() > 0;
    };
    ASSERT_TRUE(StepUntil(30, frame, [&] { return !busBoy.IsActive(); }));

    EXPECT_FALSE(first->HasDishes());
    EXPECT_FALSE(second->HasDishes());
    EXPECT_EQ(mostCarried, 2);
    EXPECT_TRUE(carriedPastHisTime) << "his minute ran out with dishes in hand; he took them to the cart first";
    EXPECT_EQ(busBoy.Carried(), 0);
    EXPECT_EQ(cart.GetLoadCount(), 2);
    EXPECT_TRUE(busBoy.IsPoofPlaying()) << "he leaves in a puff";
    EXPECT_EQ(payer->GetState(), kStateWantsCheck) << "he walked past: the dishes came first and then he left";

    // Called again, the check is collected for her before anything else.
    busBoy.Activate(720, 200, 5.0f);
    ASSERT_TRUE(StepUntil(10, [&](float dt) { busBoy.Update(dt, tables, &cart); },
                          [&] { return payer->GetState() != kStateWantsCheck; }));
    EXPECT_EQ(payer->GetState(), kStatePaying);
    busBoy.Reset();
    EXPECT_FALSE(busBoy.IsActive());
    EXPECT_FALSE(busBoy.IsPoofPlaying());
}

TEST_F(StaffTest, TheDrinkServerServesTheUnhappiestPartyAndKeepsADrinkNoOneCanTake)
{
    auto happy = MakeTable(0, {300, 300});
    auto glum = MakeTable(1, {500, 300});
    TParty* content = Seat(*happy, 1, {kColorRed, kColorBlue});
    TParty* unhappy = Seat(*glum, 2, {kColorGreen, kColorYellow});
    ASSERT_LT(unhappy->GetHearts(), content->GetHearts());
    std::vector<TEatingStation*> tables{happy.get(), glum.get()};
    TDrinkStation station;
    station.SetEnabled(true);
    TDrinkServer server(nullptr);
    server.SetTables(Boxes(tables), nullptr);

    server.Activate(600, 200, 60);
    server.Update(kStep, tables);
    EXPECT_EQ(server.Carried(), 0) << "without a drink station he never acts";
    server.SetDrinkStation(&station);
    ASSERT_TRUE(StepUntil(20, [&](float dt) { server.Update(dt, tables); }, [&] { return unhappy->IsDrinking(); }));
    EXPECT_FALSE(content->IsDrinking());

    // The next drink goes to the party not drinking yet; when its table is
    // cleared on the way, he keeps the drink.
    ASSERT_TRUE(StepUntil(20, [&](float dt) { server.Update(dt, tables); },
                          [&] { return server.Carried() == 1 && server.Target() == happy.get(); }));
    tables = {glum.get()};
    server.Update(kStep, tables);
    EXPECT_EQ(server.Target(), nullptr);
    EXPECT_EQ(server.Carried(), 1);

    // His time runs out while he holds it: he stays until it is delivered.
    server.Activate(600, 200, 0.1f);
    EXPECT_EQ(server.Carried(), 1) << "a reset keeps what he carries";
    StepUntil(1, [&](float dt) { server.Update(dt, tables); }, [] { return false; });
    EXPECT_TRUE(server.IsActive()) << "everyone at the one table left is drinking: nobody takes it";
}

TEST_F(StaffTest, TheHostessChargesThePodiumUntilHerTimeIsOver)
{
    TPodium podium;
    podium.Setup(1.0f, 0.5f, 0.5f, 1, 8);
    THostess hostess;
    EXPECT_FALSE(hostess.Available());
    hostess.SetPodium(&podium);
    EXPECT_TRUE(hostess.Available());
    auto waiting = MakeParty(1, {kColorRed}, MakeDef("old_male", 600000, 600000));
    const std::list<TParty*> line{waiting.get()};
    const int hearts = waiting->GetHearts();

    hostess.Activate(4.0f);
    EXPECT_EQ(hostess.Position().x, float(podium.GetStandingSpot().x + 5));
    int boosts = 0;
    ASSERT_TRUE(StepUntil(10,
                          [&](float dt) {
                              hostess.Update(dt);
                              boosts += podium.Update(nullptr, dt, line);
                          },
                          [&] { return !hostess.IsActive(); }));
    EXPECT_EQ(boosts, 2) << "charge 1 s, active 0.5 s, rest 0.5 s: two boosts in four seconds";
    EXPECT_EQ(waiting->GetHearts(), hearts + 2);
    EXPECT_TRUE(hostess.IsPoofPlaying());
    EXPECT_EQ(podium.Occupant(), TPodium::kNobody);
    EXPECT_FALSE(podium.IsCharging()) << "the charge she started goes with her";
    int kind = 0;
    const TRect box = podium.BoundingBox();
    const TPoint middle{(box.x1 + box.x2) / 2, (box.y1 + box.y2) / 2};
    EXPECT_TRUE(podium.HitTest(middle, nullptr, &kind)) << "free again for the waitress";
    podium.Activate(false);
    EXPECT_FALSE(podium.HitTest(middle, nullptr, &kind)) << "not while the hostess stands there";
}

TEST_F(StaffTest, ThePodiumChargesThroughItsFramesAndBoostsTheFirstEightInLine)
{
    TPodium podium;
    EXPECT_FALSE(podium.Ready()) << "not on the floor until enabled";
    // Without the keys the podium keeps times that make sense (a podium
    // boosting every frame was the old fault); with them it reads them.
    TXmlNode empty;
    empty.ParseString("<dataroot><globals/></dataroot>");
    podium.SetDefaults(&empty);
    EXPECT_GE(podium.ChargeTime(), 1.0f);
    EXPECT_GE(podium.RestTime(), 1.0f);
    TXmlNode level;
    level.ParseString("<dataroot><globals><podiumChargeTime>2000</podiumChargeTime><podiumActiveTime>1000"
                      "</podiumActiveTime><podiumDelayTime>3000</podiumDelayTime><podiumMoodBoost>2"
                      "</podiumMoodBoost></globals></dataroot>");
    podium.SetDefaults(&level);
    EXPECT_EQ(podium.ChargeTime(), 2.0f);
    EXPECT_EQ(podium.RestTime(), 3.0f);
    podium.Setup(podium.ChargeTime(), podium.ActiveTime(), podium.RestTime(), podium.MoodBoost(), 8);

    std::vector<std::unique_ptr<TParty>> parties;
    std::list<TParty*> line;
    for (int i = 0; i < 9; ++i) {
        parties.push_back(MakeParty(i + 1, {kColorRed}, MakeDef("old_male", 600000, 600000)));
        line.push_back(parties.back().get());
    }
    podium.Activate(true);
    int lastFrame = 0;
    bool framesInOrder = true;
    ASSERT_TRUE(StepUntil(3, [&](float dt) { podium.Update(nullptr, dt, line); },
                          [&] {
                              framesInOrder &= podium.ChargeFrame() >= lastFrame;
                              lastFrame = podium.ChargeFrame();
                              return podium.IsActive();
                          }));
    EXPECT_TRUE(framesInOrder);
    EXPECT_GT(lastFrame, 0) << "the display showed the charge growing";
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(parties[std::size_t(i)]->GetHearts(), TParty::kStartHearts + (i < 8 ? 2 : 0)) << "party " << i;
    podium.Update(nullptr, 0.2f, line);
    EXPECT_LT(podium.MiniHeart(0).y, 525.0f - 16) << "the mini hearts rise";

    // She stays: after the active and resting phases it charges again by itself.
    ASSERT_TRUE(StepUntil(5, [&](float dt) { podium.Update(nullptr, dt, line); },
                          [&] { return podium.IsCharging(); }));
    EXPECT_EQ(podium.Occupant(), TPodium::kWaitress);
    podium.Reset();
    EXPECT_TRUE(podium.Ready());
}

TEST_F(StaffTest, TheEntertainersNotesCheerEverySeatedPartyOnce)
{
    auto seated = MakeTable(0, {300, 300});
    auto empty = MakeTable(1, {500, 300});
    TParty* party = Seat(*seated, 1, {kColorGreen, kColorYellow});
    const int hearts = party->GetHearts();
    TEntertainer entertainer(nullptr);
    entertainer.SetTables({seated.get(), empty.get()});
    ASSERT_TRUE(entertainer.Available()) << "each career restaurant has a performer";

    entertainer.Activate(8.0f);
    EXPECT_EQ(entertainer.Interval(), 5.0f);
    int visits = 0;
    ASSERT_TRUE(StepUntil(6, [&](float dt) { entertainer.Update(dt); }, [&] { return !entertainer.Notes().empty(); }));
    EXPECT_EQ(entertainer.Notes().size(), 2u) << "one group of notes for every table";
    ASSERT_TRUE(StepUntil(5, [&](float dt) { entertainer.Update(dt); }, [&] { return entertainer.Notes().empty(); }));
    EXPECT_EQ(party->GetHearts(), hearts + 1);
    visits += entertainer.ArrivedAtStation(nullptr, {}, 0);
    EXPECT_EQ(visits, 0) << "a performer needs no visit";
    ASSERT_TRUE(StepUntil(5, [&](float dt) { entertainer.Update(dt); }, [&] { return !entertainer.IsOn(); }));
    EXPECT_TRUE(entertainer.IsPoofPlaying());

    // The radio: one launch per visit, then the interval must pass.
    entertainer.EnableEntertainer(TEntertainer::kRadio, 1.0f);
    EXPECT_TRUE(entertainer.ArrivedAtStation(nullptr, {}, 0));
    EXPECT_FALSE(entertainer.ArrivedAtStation(nullptr, {}, 0));
    StepUntil(1.2f, [&](float dt) { entertainer.Update(dt); }, [] { return false; });
    EXPECT_TRUE(entertainer.ArrivedAtStation(nullptr, {}, 0));
    int kind = -1;
    const TPoint spot{int(entertainer.StationPoint().x), int(entertainer.StationPoint().y)};
    EXPECT_TRUE(entertainer.HitTest(spot, nullptr, &kind));
    entertainer.Reset();
    EXPECT_FALSE(entertainer.HitTest(spot, nullptr, &kind));
}

TEST_F(StaffTest, OnlyTheBlimpsPerformerHasAPartnerAndNoOtherRestaurantAsksForOne)
{
    for (int restaurant = 0; restaurant < 5; ++restaurant) {
        mSettings->SetCurrentRestaurant(restaurant);
        testing::internal::CaptureStderr();
        TEntertainer entertainer(nullptr);
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(entertainer.Available()) << restaurant;
        EXPECT_EQ(entertainer.HasSecondPerformer(), restaurant == 3) << restaurant;
        EXPECT_EQ(log.find("entertainer2.anm"), std::string::npos) << restaurant << ": " << log;
    }
}

namespace {

// The play screen's phone boxes: phonebox2..4, each with phone1..4 holding image0..2.
std::unique_ptr<TWindow> PhoneBoxes()
{
    auto host = std::make_unique<TWindow>();
    for (int box = 2; box <= 4; ++box) {
        auto* boxWindow = new TWindow;
        boxWindow->SetName(str::getFormatted("phonebox%d", box));
        host->AdoptChild(boxWindow, false);
        for (int b = 1; b <= 4; ++b) {
            auto* button = new TWindow;
            button->SetName(str::getFormatted("phone%d", b));
            boxWindow->AdoptChild(button, false);
            for (int i = 0; i < 3; ++i) {
                auto* image = new TImage;
                image->SetName(str::getFormatted("image%d", i));
                button->AdoptChild(image, false);
            }
        }
    }
    return host;
}

bool Visible(TWindow& host, const char* name) { return host.GetChildWindow(name, -1)->IsVisible(); }

}  // namespace

TEST_F(StaffTest, ThePhoneOffersWhoCanComeCallsOneAndIsGone)
{
    TBusBoy busBoy(nullptr);
    TDrinkServer server(nullptr);
    THostess hostess;
    TPodium podium;
    hostess.SetPodium(&podium);
    TEntertainer entertainer(nullptr);
    mSettings->SetCurrentRestaurant(0);
    auto phone = std::make_unique<TPhoneStation>();
    phone->SetPowerups(nullptr, &busBoy, &server, &hostess, &entertainer);
    auto host = PhoneBoxes();
    phone->SetButtonHost(host.get());
    phone->SetPresent(true);

    struct Case {
        bool drinks, podium;
        const char* box;
        std::array<int, 4> kinds;
    };
    using P = TPhoneStation;
    const Case cases[] = {
        {false, false, "phonebox2", {P::kBusBoy, P::kEntertainer, P::kNone, P::kNone}},
        {true, false, "phonebox3", {P::kBusBoy, P::kDrinkServer, P::kEntertainer, P::kNone}},
        {true, true, "phonebox4", {P::kBusBoy, P::kDrinkServer, P::kHostess, P::kEntertainer}},
    };
    TDrinkStation station;
    server.SetDrinkStation(&station);
    for (const Case& c : cases) {
        station.SetEnabled(c.drinks);
        podium.SetEnabled(c.podium);
        EXPECT_TRUE(phone->ArrivedAtStation(nullptr, {score.get(), nullptr}, 0));
        EXPECT_TRUE(Visible(*host, c.box)) << c.box;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(phone->ButtonKind(i), c.kinds[std::size_t(i)]) << c.box << " button " << i;
        phone->LeavingStation(nullptr);
        EXPECT_FALSE(Visible(*host, c.box));
    }

    // A button press through the script calls the busboy and the phone goes.
    phone->ArrivedAtStation(nullptr, {score.get(), nullptr}, 0);
    Lua("PhoneButton(0)");
    EXPECT_TRUE(busBoy.IsActive());
    EXPECT_FALSE(phone->IsPresent());
    EXPECT_FALSE(Visible(*host, "phonebox4"));
    int kind = 0;
    EXPECT_FALSE(phone->HitTest({760, 430}, nullptr, &kind));
    EXPECT_FALSE(phone->ArrivedAtStation(nullptr, {score.get(), nullptr}, 0));

    // Once the level (and its phone) is gone, the script's function does nothing.
    phone.reset();
    busBoy.Reset();
    Lua("PhoneButton(0)");
    EXPECT_FALSE(busBoy.IsActive());
}
