// The bar's seat groups under parties: a party splits its group, the free
// stools beside it become groups of their own, and clean empty neighbours
// merge again, never one that a party, dishes, a drag or a queued visit
// still refers to.
#include "party_fixture.h"

#include "game/floor/bar.h"

#include <utility>
#include <vector>

namespace {

using TRanges = std::vector<std::pair<int, int>>;

TRanges Ranges(const TBar& bar)
{
    TRanges ranges;
    for (const auto& station : bar.Stations())
        ranges.emplace_back(station->GetFirstSeat(), station->GetEndSeat());
    return ranges;
}

TEatingStation* GroupAt(const TBar& bar, int first)
{
    for (const auto& station : bar.Stations())
        if (station->GetFirstSeat() == first)
            return station.get();
    return nullptr;
}

}  // namespace

TEST_F(PartyTest, BarGroupsSplitUnderPartiesAndMergeWhenFree)
{
    const int stools[TBar::kStools] = {kColorRed, kColorRed, kColorBlue, kColorBlue,
                                       kColorGreen, kColorGreen, kColorGrey, kColorGrey};
    TBar bar(stools, {600, 300});
    ASSERT_EQ(Ranges(bar), (TRanges{{0, 8}}));
    TEatingStation* whole = GroupAt(bar, 0);
    const TRect wholeBox = whole->BoundingBox();
    ASSERT_EQ(whole->GetChairCount(), TBar::kStools);
    EXPECT_EQ(whole->GetNumberText(), str("A"));

    // Nobody sits there yet: splitting leaves the group alone.
    bar.SplitEatingStation(whole);
    EXPECT_EQ(Ranges(bar), (TRanges{{0, 8}}));

    // A pair dropped on stools 3 and 4 (index 2 and 3).
    auto owned = MakeParty(30, {kColorBlue, kColorBlue}, MakeDef("old_male", 20000, 2000));
    TParty* party = owned.get();
    party->SetInLine({300, 560}, true);
    const TRect member = party->MembersInBuildOrder().front()->BoundingBox();
    ASSERT_TRUE(party->PickupParty({member.x1 + 2, member.y1 + member.Height() / 2}));
    const TRect stool = whole->GetChair(2)->BoundingBox();
    party->PickSeats({stool.x1 + stool.Width() / 2, stool.y1 + stool.Height() / 2}, whole);
    whole->AdoptParty(std::move(owned), score.get());
    party->SetState(kStateDeciding);
    EXPECT_TRUE(whole->AllCustomersMatch(party));
    bar.SplitEatingStation(whole);
    EXPECT_EQ(Ranges(bar), (TRanges{{0, 2}, {2, 4}, {4, 8}}));
    EXPECT_EQ(whole->GetFirstSeat(), 2);
    EXPECT_EQ(whole->GetTableNumber(), 100);
    EXPECT_EQ(GroupAt(bar, 0)->GetNumberText(), str("B"));
    EXPECT_EQ(GroupAt(bar, 4)->GetNumberText(), str("C"));

    // The free groups stay apart while in use: a queued visit, a drag, the
    // current drop target.
    TEatingStation* below = GroupAt(bar, 0);
    TEatingStation* above = GroupAt(bar, 4);
    below->mQueuedVisits = 1;
    EXPECT_FALSE(bar.MergeStations());
    below->mQueuedVisits = 0;
    auto dragged = MakeParty(31, {kColorRed}, MakeDef("old_male", 20000, 2000));
    above->TryOutParty(dragged.get());
    EXPECT_FALSE(bar.MergeStations());
    above->TryOutParty(nullptr);
    EXPECT_FALSE(bar.MergeStations([above](const IStation* s) { return s == above; }));
    EXPECT_FALSE(bar.MergeStations()) << "the pair's group separates the free ones";
    EXPECT_EQ(Ranges(bar), (TRanges{{0, 2}, {2, 4}, {4, 8}}));

    // The pair eats, pays and leaves; its dishes hold the group until cleared.
    whole->ClearCheck();
    for (int i = 0; i < 200 && whole->GetParty(); ++i, Tick())
        whole->Update(0.05f, &hands, {score.get(), nullptr}, rings, false, false, -100);
    ASSERT_EQ(whole->GetParty(), nullptr);
    EXPECT_FALSE(bar.MergeStations()) << "dishes keep the group";
    ASSERT_TRUE(whole->ServeVisit(&hands, {score.get(), nullptr}, 0));
    EXPECT_TRUE(bar.MergeStations());
    EXPECT_EQ(Ranges(bar), (TRanges{{0, 8}}));
    // The group that grew to the last stool takes drops over all the stools,
    // as the whole bar did before anyone sat down.
    const TRect merged = bar.Stations().front()->BoundingBox();
    EXPECT_EQ(merged.y1, wholeBox.y1);
    EXPECT_EQ(merged.y2, wholeBox.y2);
    // The stools keep the colours they had.
    EXPECT_EQ(bar.Stations().front()->GetChairColor(2), kColorBlue);
    EXPECT_EQ(bar.Stations().front()->GetChairColor(7), kColorGrey);
}

TEST_F(PartyTest, APartyDroppedAtTheBarsEndShiftsToFit)
{
    const int stools[TBar::kStools] = {};
    TBar bar(stools, {600, 300});
    TEatingStation* whole = GroupAt(bar, 0);
    auto owned = MakeParty(32, {kColorRed, kColorRed, kColorRed}, MakeDef("old_male", 20000, 2000));
    TParty* party = owned.get();
    party->SetInLine({300, 560}, true);
    const TRect member = party->MembersInBuildOrder().front()->BoundingBox();
    ASSERT_TRUE(party->PickupParty({member.x1 + 2, member.y1 + member.Height() / 2}));
    const TRect last = whole->GetChair(7)->BoundingBox();
    party->PickSeats({last.x1 + last.Width() / 2, last.y1 + last.Height() / 2}, whole);
    EXPECT_EQ(whole->GetMinOccupiedSeat(), 5);
    EXPECT_EQ(whole->GetMaxOccupiedSeat(), 8);
    whole->AdoptParty(std::move(owned), score.get());
    bar.SplitEatingStation(whole);
    EXPECT_EQ(Ranges(bar), (TRanges{{0, 5}, {5, 8}}));
}
