// Where things stand on the floor, checked on the game's own data: the line
// of waiting parties (every head shows, legs are drawn) and the shipped
// table layouts (no table, chair or seated figure reaches into another's).
#include "floor_data_fixture.h"

#include "engine/render/animatedtexture.h"
#include "game/floor/customer.h"
#include "game/floor/eatingstation.h"
#include "game/floor/party.h"
#include "game/play/game.h"
#include "game/rules/scoremanager.h"
#include "recordinghandler.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// The part of a figure's 84 px body frame that its head fills: the middle
// of the frame (its sides are clear), from the top to the chin.
TRect Head(const TCustomer* member)
{
    const TRect box = member->BoundingBox();
    constexpr int kSide = 20, kChin = 42;
    return {box.x1 + kSide, box.y1, box.x2 - kSide, box.y1 + kChin};
}

bool Overlap(const TRect& a, const TRect& b) { return !TRect::Intersect(a, b).IsEmpty(); }

std::string Describe(const TRect& r)
{
    return "(" + std::to_string(r.x1) + "," + std::to_string(r.y1) + ")-(" + std::to_string(r.x2) + "," +
           std::to_string(r.y2) + ")";
}

}  // namespace

class FloorLayout : public FloorTest {
protected:
    // A floor of cruise level 5 with `parties` parties in line.
    std::unique_ptr<TGameData> FloorWithLine(int parties)
    {
        mSettings->SetCurrentRestaurant(0);
        mSettings->SetCurrentLevel(4);
        mPlatform->SeedRand(3);
        auto floor = std::make_unique<TGameData>(mGlobals, &mScore, &mHost);
        floor->SetupStars();
        floor->SetupLevel();
        floor->StartIntro();
        floor->DoSkipTutorial();
        while (int(floor->GetWaitingParties().size()) < parties) {
            if (!floor->AddNextGroup())
                break;
            floor->GetLevelManager()->ScheduleNextGroup();
        }
        return floor;
    }

    TScoreManager mScore;
};

TEST_F(FloorLayout, EveryHeadInLineShowsAboveThePartyInFrontForOneToSevenParties)
{
    for (int parties = 1; parties <= TGameData::kMaxActiveParties; ++parties) {
        SCOPED_TRACE(std::to_string(parties) + " parties in line");
        std::unique_ptr<TGameData> floor = FloorWithLine(parties);
        const std::vector<TParty*> line(floor->GetWaitingParties().begin(), floor->GetWaitingParties().end());
        ASSERT_EQ(int(line.size()), parties);
        for (std::size_t behind = 0; behind < line.size(); ++behind) {
            const TRect hearts = line[behind]->HeartsBox();
            ASSERT_FALSE(hearts.IsEmpty());
            EXPECT_GE(hearts.y1, 0) << "the hearts of party " << behind << " leave the screen";
            for (const TCustomer* member : line[behind]->MembersInBuildOrder()) {
                EXPECT_GE(member->BoundingBox().y1, 0);
                EXPECT_LE(member->GetFlippedAnchorPoint("legs").y, 600);
            }
            // Each party in front (drawn later, over it) leaves its heads free.
            for (std::size_t front = 0; front < behind; ++front)
                for (const TCustomer* member : line[behind]->MembersInBuildOrder()) {
                    const TRect head = Head(member);
                    EXPECT_FALSE(Overlap(head, line[front]->HeartsBox()))
                        << "a head of party " << behind << " at " << Describe(head) << " under the hearts of party "
                        << front << " at " << Describe(line[front]->HeartsBox());
                    for (const TCustomer* other : line[front]->MembersInBuildOrder())
                        EXPECT_FALSE(Overlap(head, other->BoundingBox()))
                            << "a head of party " << behind << " behind a figure of party " << front;
                }
            // Nor does it hide the heads in front of it under its own hearts.
            for (std::size_t front = 0; front < behind; ++front)
                for (const TCustomer* member : line[front]->MembersInBuildOrder())
                    EXPECT_FALSE(Overlap(Head(member), hearts));
        }
    }
}

// A party standing in line is drawn on its legs.
TEST_F(FloorLayout, PartiesInLineAreDrawnWithTheirLegs)
{
    RecordingHandler handler;  // textures made from here on record their draws
    std::unique_ptr<TGameData> floor = FloorWithLine(3);
    TAnimatedTextureCache cache(100, 120, 80);
    DrawFloor(*floor, &cache, nullptr, nullptr);
    int members = 0;
    for (TParty* party : floor->GetWaitingParties())
        for (const TCustomer* member : party->MembersInBuildOrder()) {
            ++members;
            const TPoint legs = member->GetFlippedAnchorPoint("legs");
            ASSERT_NE(legs, member->GetFlippedAnchorPoint("no such anchor")) << "the figure has no legs anchor";
            int drawn = 0;
            for (const RecordedDraw& draw : handler.draws)
                drawn += draw.sprite && int(draw.pos.x) == legs.x && int(draw.pos.y) == legs.y;
            EXPECT_EQ(drawn, 1) << "legs at (" << legs.x << ", " << legs.y << ")";
        }
    EXPECT_GE(members, 3);
}
