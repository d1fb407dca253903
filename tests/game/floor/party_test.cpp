// Whole parties on the headless floor, on a fake clock of 50 ms steps: one
// served from arrival to tip, one left waiting until it walks out, colour
// matches and chair chains, and noise rings costing the neighbours hearts.
#include "party_fixture.h"

#include "game/floor/chair.h"
#include "game/floor/partybuilder.h"

namespace {

constexpr float kPatienceMS = 20000;  // a heart goes after 20 s, quick service within 10 s
constexpr float kDurationMS = 2000;

std::list<TEatingStation*> Tables(std::initializer_list<TEatingStation*> tables)
{
    return std::list<TEatingStation*>(tables);
}

}  // namespace

TEST_F(PartyTest, APartyIsServedFromArrivalToItsTip)
{
    const int chairs[] = {kColorRed, kColorBlue};
    TTable table("restaurants/cruise/", 0, 2, chairs, {400, 300});
    ASSERT_EQ(table.GetChairCount(), 2);
    auto owned = MakeParty(1, {kColorRed, kColorBlue}, MakeDef("old_male", kPatienceMS, kDurationMS));
    TParty* party = owned.get();
    EXPECT_EQ(party->GetHearts(), TParty::kStartHearts);

    // Waiting in line, it is picked up by a member and dropped on the table.
    EXPECT_TRUE(SeatByDrag(party, table, std::move(owned)));
    ASSERT_EQ(table.GetParty(), party);
    EXPECT_EQ(party->GetHearts(), 8) << "each member on a chair of its own colour";
    EXPECT_EQ(party->GetTableId(), 0);
    EXPECT_EQ(party->GetState(), kStateDeciding);

    struct Step {
        ECarryables bring;          // put in her hand before the visit
        eCustomerStates before, after;
        int hearts;                 // after the visit: quick service adds one (at most 10)
    };
    const Step steps[] = {
        {kCarryNothing, kStateReadyToOrder, kStateWaitingForFood, 9},
        {kCarryFood, kStateWaitingForFood, kStateEating, 10},
        {kCarryDessert, kStateWantsDessert, kStateEatingDessert, 10},
        {kCarryNothing, kStateWantsCheck, kStatePaying, 10},
    };
    for (const Step& step : steps) {
        ASSERT_TRUE(Run(table, 2.1f));
        ASSERT_EQ(party->GetState(), step.before);
        hands.Drop(kCarryTicket, 0);  // the ticket went to the kitchen
        if (step.bring != kCarryNothing)
            hands.PickUp(step.bring, 0, 0);
        ASSERT_TRUE(table.ServeVisit(&hands, {score.get(), nullptr}, 0));
        EXPECT_EQ(party->GetState(), step.after);
        EXPECT_EQ(party->GetHearts(), step.hearts);
    }
    EXPECT_TRUE(table.HasDishes());

    // Paying takes the 1 s floor, then the tip flies: 2 members x 5 + 10 hearts x 2.
    ASSERT_TRUE(Run(table, 1.1f));
    EXPECT_EQ(party->GetState(), kStateLeaving);
    ASSERT_EQ(score->GetCoins().size(), 1u);
    EXPECT_EQ(score->GetCoins().front()->amount, 30);
    ASSERT_TRUE(Run(table, 6.0f));
    EXPECT_EQ(table.GetParty(), nullptr) << "the party left";
    EXPECT_TRUE(score->GetCoins().empty()) << "the tip landed";

    // The dishes it left score the bus action.
    const int before = score->GetScore();
    ASSERT_TRUE(table.ServeVisit(&hands, {score.get(), nullptr}, 0));
    EXPECT_FALSE(table.HasDishes());
    EXPECT_TRUE(hands.Carries(kCarryDishes, 0));
    EXPECT_GT(score->GetScore(), before);
}

TEST_F(PartyTest, ANeglectedPartyWalksOutAngryOnce)
{
    const int chairs[] = {kColorGrey, kColorGrey, kColorGrey, kColorGrey};
    TTable table("restaurants/cruise/", 1, 4, chairs, {400, 300});
    const TCustomerDef def = MakeDef("old_male", 2000, 1000);
    auto owned = MakeParty(2, {kColorGreen, kColorGreen, kColorYellow}, def);
    TParty* party = owned.get();
    SeatByDrag(party, table, std::move(owned));
    EXPECT_EQ(party->GetHearts(), TParty::kStartHearts) << "grey chairs give no colour hearts";
    hands.PickUp(kCarryTicket, 1, 0);
    hands.PickUp(kCarryFood, 1, 0);

    // Nobody takes its order: one heart every 2 s, then it leaves.
    int angryUpdates = 0;
    for (int i = 0; i < 40 && table.GetParty(); ++i)
        angryUpdates += Run(table, 1.0f) ? 0 : 1;
    EXPECT_EQ(table.GetParty(), nullptr);
    EXPECT_EQ(angryUpdates, 1);
    EXPECT_EQ(score->GetPenalties(), 1);
    EXPECT_EQ(hands.HandsInUse(), 0) << "its ticket and food went with it";

    // A party that loses its last heart in line is simply gone.
    auto inLine = MakeParty(3, {kColorRed}, MakeDef("old_male", 1000, 1000));
    inLine->SetInLine({300, 560}, true);
    bool stays = true;
    for (int i = 0; i < 200 && stays; ++i, Tick())
        stays = inLine->Update(0.05f, {score.get(), nullptr}, rings, false, false);
    EXPECT_FALSE(stays);
    EXPECT_LE(inLine->GetHearts(), 0);
}

TEST_F(PartyTest, ColoursMatchAndChairsChain)
{
    const int chairs[] = {kColorRed, kColorBlue, kColorBlack, kColorGrey};
    TTable table("restaurants/cruise/", 2, 4, chairs, {400, 300});
    const TCustomerDef def = MakeDef("old_male", kPatienceMS, 500);

    struct Visit {
        std::initializer_list<int> colours;
        bool match;
    };
    // Chair 1 sees red three times in a row; a black chair never changes.
    const Visit visits[] = {{{kColorRed, kColorBlue, kColorGreen, kColorYellow}, true},
                            {{kColorRed, kColorGreen, kColorGreen, kColorGreen}, false},
                            {{kColorRed, kColorPurple, kColorRed, kColorRed}, false}};
    int id = 10;
    for (const Visit& visit : visits) {
        auto owned = MakeParty(id++, visit.colours, def);
        TParty* party = owned.get();
        EXPECT_EQ(SeatByDrag(party, table, std::move(owned)), visit.match);
        party->SetState(kStatePaying);
        ASSERT_TRUE(Run(table, 8.0f));
        ASSERT_EQ(table.GetParty(), nullptr);
    }
    const TChair* first = nullptr;
    for (int i = 0; i < table.GetChairCount(); ++i)
        if (table.GetChair(i)->GetColor() == kColorRed && table.GetChair(i)->GetChainCount() > 0)
            first = table.GetChair(i);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetChainCount(), 3);
    EXPECT_EQ(first->FlagText(), str("x4"));
    int blacks = 0;
    for (int i = 0; i < table.GetChairCount(); ++i)
        blacks += table.GetChair(i)->GetColor() == kColorBlack;
    EXPECT_EQ(blacks, 1);
}

TEST_F(PartyTest, NoiseRingsCostTheNeighboursHearts)
{
    const int chairs[] = {kColorGrey, kColorGrey};
    TTable noisy("restaurants/cruise/", 0, 2, chairs, {250, 300});
    TTable neighbour("restaurants/cruise/", 1, 2, chairs, {450, 300});
    TTable deaf("restaurants/cruise/", 2, 2, chairs, {250, 450});

    TCustomerDef phone = MakeDef("old_male", 600000, kDurationMS);
    std::strncpy(phone.graphicOverride[0], "cellphone_male", kCustomerGraphicNameSize - 1);
    phone.noiseMood = 10;  // always noisy
    phone.noiseRate = 1.0f;
    phone.noiseRangeX = 260;
    phone.noiseRangeY = 170;
    phone.noiseEffect = 1;
    TCustomerDef listener = MakeDef("old_male", 600000, kDurationMS);
    listener.noiseEffect = 1;
    TCustomerDef ignores = listener;
    ignores.noiseEffect = 0;

    TParty* parties[3];
    TTable* tables[3] = {&noisy, &neighbour, &deaf};
    const TCustomerDef* defs[3] = {&phone, &listener, &ignores};
    for (int i = 0; i < 3; ++i) {
        auto owned = MakeParty(20 + i, {kColorRed, kColorRed}, *defs[i]);
        parties[i] = owned.get();
        SeatByDrag(parties[i], *tables[i], std::move(owned));
        parties[i]->SetState(kStateWaitingForFood);
    }
    const std::list<TEatingStation*> all = Tables({&noisy, &neighbour, &deaf});
    size_t mostRings = 0;
    for (float t = 0; t < 6.0f; t += 0.05f) {
        Tick();
        for (TTable* table : tables)
            ASSERT_TRUE(table->Update(0.05f, &hands, {score.get(), nullptr}, rings, false, false, -100));
        for (auto it = rings.begin(); it != rings.end();)
            it = (*it)->Update(0.05f, all) ? std::next(it) : rings.erase(it);
        mostRings = std::max(mostRings, rings.size());
    }
    EXPECT_GT(mostRings, 0u);
    EXPECT_EQ(parties[0]->GetHearts(), TParty::kStartHearts) << "a ring never hurts its own table";
    EXPECT_LT(parties[1]->GetHearts(), TParty::kStartHearts);
    EXPECT_EQ(parties[2]->GetHearts(), TParty::kStartHearts) << "noiseEffect 0 ignores rings";

    // The rings of a party that leaves go with it.
    parties[0]->SetState(kStatePaying);
    for (int i = 0; i < 200 && noisy.GetParty(); ++i, Tick())
        noisy.Update(0.05f, &hands, {score.get(), nullptr}, rings, false, false, -100);
    for (const auto& ring : rings)
        EXPECT_NE(static_cast<int>(ring->GetCentre().x), noisy.GetNoiseLocation().x);
}

TEST_F(PartyTest, ABabyAHighChairADrinkAndASpill)
{
    const int chairs[] = {kColorGrey, kColorGrey, kColorGrey, kColorGrey};
    TTable table("restaurants/cruise/", 4, 4, chairs, {400, 300});
    TCustomerDef def = MakeDef("dad_male", kPatienceMS, 60000);
    std::strncpy(def.graphicOverride[1], "mom_female", kCustomerGraphicNameSize - 1);
    def.spillTimer = 1.0f;
    auto owned = MakeParty(50, {kColorRed, kColorBlue}, def);
    TParty* party = owned.get();
    ASSERT_EQ(party->NumHighChairsWanted(), 1) << "the mother arrives with her baby";
    SeatByDrag(party, table, std::move(owned));
    EXPECT_EQ(table.HighChairsNeeded(), 1);

    // The high chair goes to seat 2 of a four-seat table; the patience grows.
    hands.PickUp(kCarryHighChair, -1, 1500);
    const int hearts = party->GetHearts();
    ASSERT_TRUE(table.ServeVisit(&hands, {score.get(), nullptr}, 0));
    EXPECT_EQ(party->NumHighChairsWanted(), 0);
    EXPECT_TRUE(table.GetChair(2)->IsHighChair());
    EXPECT_EQ(party->GetHearts(), hearts + 1);

    // A drink worth two hearts, given while the party decides.
    hands.PickUp(kCarryDrink, 2, 0);
    ASSERT_TRUE(table.ServeVisit(&hands, {score.get(), nullptr}, 0));
    EXPECT_TRUE(party->IsDrinking());
    ASSERT_TRUE(Run(table, 3.0f));
    EXPECT_FALSE(party->IsDrinking());
    EXPECT_EQ(party->GetHearts(), hearts + 3);

    // A spill lies a second, then the party asks for the mop; mopping gives a heart.
    table.DoSpill();
    ASSERT_TRUE(Run(table, 1.2f));
    EXPECT_TRUE(party->WantsMop());
    hands.PickUp(kCarryMop, -1, 1000);
    ASSERT_TRUE(table.ServeVisit(&hands, {score.get(), nullptr}, IStation::kClickSpill));
    EXPECT_FALSE(table.HasSpill());
    EXPECT_EQ(hands.mopsUsed, 1);
    ASSERT_TRUE(Run(table, 0.1f));
    EXPECT_FALSE(party->WantsMop());
    EXPECT_EQ(party->GetHearts(), std::min(hearts + 5, TParty::kMaxHearts)) << "one for the mop, one for the clean table";
}

TEST_F(PartyTest, TheLevelManagersOrdersBecomeParties)
{
    TPartyBuilder builder;
    TPartyOrder order;
    order.id = 7;
    order.size = 8;
    order.colors = {kColorRed, kColorBlue, kColorGreen, kColorYellow, kColorPurple, kColorRed, kColorBlue, kColorGreen};
    order.def = MakeDef("old_male", 4000, 2000);
    std::strncpy(order.def.graphicOverride[5], "kid_male", kCustomerGraphicNameSize - 1);
    order.timeMultiplier = 2.0f;
    order.lineMultiplier = 1.5f;
    std::unique_ptr<TParty> party(builder.CreateParty(order));
    ASSERT_NE(party, nullptr);
    EXPECT_EQ(party->GetSize(), 8);
    const std::list<TCustomer*> members = party->MembersInBuildOrder();
    EXPECT_EQ(members.back()->GetTypeFolder(), str("customers/kid_male")) << "members 7 and 8 wear the sixth figure";
    EXPECT_EQ(members.back()->GetColor(), kColorGreen);
    EXPECT_FLOAT_EQ(party->GetAdjustedTimeForState(kStateWaitingInLine, false), 4.0f * 2.0f * 1.5f);
    EXPECT_FLOAT_EQ(party->GetAdjustedTimeForState(kStateEating, false), 2.0f * 2.0f);
    EXPECT_FLOAT_EQ(party->GetPeriod(), 12.0f);
    builder.SetTimeMultiplier(party.get(), 1.0f);
    EXPECT_FLOAT_EQ(party->GetAdjustedTimeForState(kStateReadyToOrder, true), 2.0f);

    order.size = 0;
    EXPECT_EQ(builder.CreateParty(order), nullptr);
}
