// Faults the floor guards against: a leave animation that never ends, the
// game's random course moved by cosmetic sparkle, a noise ring of a type
// without noise range, and a table whose art does not sit on the floor grid.
#include "party_fixture.h"

#include "game/floor/customer.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

TEST_F(PartyTest, AnEndlessLeaveAnimationDoesNotKeepThePartyForEver)
{
    // A figure whose leave is its lean-in loop: swap the two names (same length).
    const fs::path from = mHome / "assets/customers/old_male", to = mHome / "assets/customers/looper";
    fs::copy(from, to, fs::copy_options::recursive);
    std::string bytes;
    {
        std::ifstream in(to / "anim.anm", std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    for (size_t at = 0; (at = bytes.find("Leave2", at)) != std::string::npos; at += 6)
        bytes.replace(at, 6, "LeaveZ");
    for (size_t at = 0; (at = bytes.find("LeanIn", at)) != std::string::npos; at += 6)
        bytes.replace(at, 6, "Leave2");
    std::ofstream(to / "anim.anm", std::ios::binary) << bytes;

    const int chairs[] = {kColorGrey, kColorGrey};
    TTable table("restaurants/cruise/", 0, 2, chairs, {400, 300});
    auto owned = MakeParty(40, {kColorRed, kColorRed}, MakeDef("looper", 20000, 1000));
    TParty* party = owned.get();
    SeatByDrag(party, table, std::move(owned));
    party->SetState(kStateLeaving);
    ASSERT_TRUE(Run(table, 1.0f));
    ASSERT_EQ(table.GetParty(), party);
    EXPECT_TRUE(party->DrawList().front()->IsPlayingAnim()) << "the leave animation loops";
    ASSERT_TRUE(Run(table, TParty::kMaxLeaveWait + 1.0f));
    EXPECT_EQ(table.GetParty(), nullptr);
}

TEST_F(PartyTest, CosmeticSparkleLeavesTheGamesRandomCourse)
{
    mPlatform->SeedRand(7);
    const int expected[3] = {mPlatform->Rand(), mPlatform->Rand(), mPlatform->Rand()};
    mPlatform->SeedRand(7);
    TCustomer figure(kColorBlue, "customers/old_male", 6, 99);
    figure.SetLocation({100, 100}, false, false);
    figure.SetLocation({400, 200}, true, true);
    for (int i = 0; i < 50; ++i)
        figure.UpdateMovement(0.05f);
    EXPECT_EQ(figure.GetPosition().x, 400.0f);
    EXPECT_TRUE(figure.IsFlipped()) << "it turned on the way";
    for (int value : expected)
        EXPECT_EQ(mPlatform->Rand(), value);
}

TEST_F(PartyTest, ARingWithoutRangeEndsWithoutHarm)
{
    TNoiseRing ring({100, 100}, 0, 0, 1.0f, false);
    int updates = 0;
    while (ring.Update(0.05f, {}) && updates < 100)
        ++updates;
    EXPECT_LT(updates, 100);
    EXPECT_EQ(ring.GetAlpha(), 1.0f);
    EXPECT_EQ(ring.GetRadiusY(), 0.0f);
}

TEST_F(PartyTest, TablesSitOnTheFloorGridWithinABoundedShift)
{
    const int chairs[] = {kColorGrey, kColorGrey, kColorGrey, kColorGrey, kColorGrey, kColorGrey};
    for (int seats : {2, 4, 6}) {
        for (int y : {300, 301, 307, -13}) {
            TTable table("restaurants/cruise/", 0, seats, chairs, {400, y});
            EXPECT_EQ(((table.BoundingBox().y1 % 10) + 10) % 10, 0) << seats << " seats at y " << y;
            EXPECT_LE(y - table.GetLocation().y, TEatingStation::kMaxAlignShift);
            EXPECT_GE(y - table.GetLocation().y, 0);
        }
    }
}

// A picture taken or a kiss given holds the party only while its figures
// smile or lean in: every shipped figure ends both, and a tourist party
// whose picture was taken goes on to order.
TEST_F(PartyTest, APictureOrAKissHoldsThePartyOnlyForAWhile)
{
    for (const fs::directory_entry& entry : fs::directory_iterator(mHome / "assets/customers")) {
        const std::string figure = "customers/" + entry.path().filename().string();
        for (bool kiss : {false, true}) {
            TCustomer member(kColorBlue, figure.c_str(), 6, 99);
            if (kiss)
                member.LeanIn();
            else
                member.SmileForCamera();
            ASSERT_TRUE(member.IsPlayingAnim()) << figure;
            for (int tick = 0; tick < 100 && member.IsPlayingAnim(); ++tick)
                Tick();
            EXPECT_FALSE(member.IsPlayingAnim()) << figure << (kiss ? " leans in" : " smiles") << " for ever";
        }
    }
    const int chairs[] = {kColorGrey, kColorGrey};
    TTable table("restaurants/spaceship/", 0, 2, chairs, {400, 300});
    auto owned = MakeParty(41, {kColorRed, kColorRed}, MakeDef("tourist_male", 20000, 3000));
    TParty* party = owned.get();
    SeatByDrag(party, table, std::move(owned));
    ASSERT_EQ(party->GetState(), kStateDeciding);
    party->TakePicture();
    ASSERT_TRUE(Run(table, 10.0f));
    EXPECT_EQ(party->GetState(), kStateReadyToOrder);
}

// A kiss that the bill cuts short: paying plays the tip's idle loop (a party
// below eight hearts) in place of the lean-in, and the party that waited for
// the lean-in to end would never pay nor leave.
TEST_F(PartyTest, ABillCollectedMidKissLetsThePartyPayAndLeave)
{
    const int chairs[] = {kColorGrey, kColorGrey};
    TTable table("restaurants/blimp/", 0, 2, chairs, {400, 300});
    auto owned = MakeParty(42, {kColorRed, kColorRed}, MakeDef("lovebird_male", 20000, 1000));
    TParty* party = owned.get();
    SeatByDrag(party, table, std::move(owned));
    party->SetState(kStateWantsCheck);
    ASSERT_LT(party->GetHearts(), 8) << "the tip then plays the looping idle";
    for (TCustomer* member : party->DrawList())
        member->LeanIn();
    ASSERT_TRUE(table.ServeVisit(&hands, score.get(), nullptr, 0));
    ASSERT_EQ(party->GetState(), kStatePaying);
    ASSERT_TRUE(Run(table, 1.1f + TParty::kMaxLeaveWait + 1.0f));
    EXPECT_EQ(table.GetParty(), nullptr) << "the party paid and left";
}

// Any other animation of the body (anger, the tip) ends what a drink, a kiss
// or a smile holds the party for.
TEST_F(PartyTest, AnotherAnimationEndsTheHoldOfADrinkAKissOrASmile)
{
    TCustomer member(kColorBlue, "customers/lovebird_female", 6, 99);
    member.LeanIn();
    ASSERT_TRUE(member.IsLeaningIn());
    member.TriggerAngerSmoke(false, -1);
    EXPECT_FALSE(member.IsLeaningIn());
    member.SmileForCamera();
    ASSERT_TRUE(member.IsSmiling());
    member.StartScoringAnimation();
    EXPECT_FALSE(member.IsSmiling());
    member.TriggerDrinkingAnimation();
    ASSERT_TRUE(member.IsDrinking());
    member.TriggerAngerSmoke(false, 0);
    EXPECT_FALSE(member.IsDrinking());
}
