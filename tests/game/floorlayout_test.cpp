// Where things stand on the floor, checked on the game's own data: the line
// of waiting parties (every head shows, legs are drawn) and the shipped
// table layouts (no table, chair or seated figure reaches into another's).
#include "floor_data_fixture.h"

#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "game/floor/customer.h"
#include "game/floor/floorart.h"
#include "game/floor/eatingstation.h"
#include "game/floor/party.h"
#include "game/play/game.h"
#include "game/rules/scoremanager.h"
#include "game/floor/bar.h"
#include "game/floor/table.h"
#include "game/levels/levellayout.h"
#include "game/settings/customersettings.h"
#include "recordinghandler.h"

#include <filesystem>
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

// The closed sign waits out of sight until closing time.
TEST_F(FloorLayout, TheClosedSignIsOutOfSightUntilClosingTime)
{
    std::unique_ptr<TGameData> floor = FloorWithLine(1);
    const std::shared_ptr<TTexture> sign = TTexture::Get("ui/closed", 0);
    ASSERT_TRUE(sign);
    EXPECT_LE(floor->GetClosedSignPos().x + sign->GetWidth() / 2.0f, 0.0f);
    EXPECT_GE(TGameData::kClosedSignStop - sign->GetWidth() / 2.0f, 0.0f);
}

// ---- the shipped layouts

namespace {

// The restaurant (0-4) a layout belongs to, by its name.
int RestaurantOf(const std::string& layout)
{
    const char* names[] = {"cruise", "train", "sub", "blimp", "spaceship"};
    for (int r = 0; r < 5; ++r)
        if (layout.find(names[r]) != std::string::npos)
            return r;
    return -1;
}

// A seated figure's visible body inside its 84 px frame: its middle, from
// the hair down.
TRect Body(const TCustomer* member)
{
    const TRect box = member->BoundingBox();
    constexpr int kSide = 18, kTop = 4;
    return {box.x1 + kSide, box.y1 + kTop, box.x2 - kSide, box.y2};
}

// What one table (or the bar) takes of the floor: its furniture, the
// figures seated on every chair and the heart row of its party.
struct TFootprint {
    std::string name;
    TRect furniture;
    std::vector<TRect> figures;
    std::vector<TRect> heads;
    TRect hearts;
};

// Screen areas nothing of a table may reach: the line of waiting parties
// along the left edge and the coin jar in the bottom right corner.
const TRect kLine{0, 150, 215, 600};
const TRect kJar{716, 470, 796, 590};

// What one table keeps clear of another: its furniture of the other's, its
// guests of the other's furniture and guests, its guests' heads of the
// other's heart row. `both` adds the checks that read the same both ways.
void ExpectApart(const TFootprint& p, const TFootprint& q, bool both)
{
    if (both) {
        EXPECT_FALSE(Overlap(p.furniture, q.furniture))
            << p.name << " at " << Describe(p.furniture) << " and " << q.name << " at " << Describe(q.furniture);
    }
    for (const TRect& figure : p.figures) {
        EXPECT_FALSE(Overlap(figure, q.furniture))
            << "a figure at " << p.name << " " << Describe(figure) << " reaches " << q.name << " at "
            << Describe(q.furniture);
        for (const TRect& other : q.figures) {
            if (both) {
                EXPECT_FALSE(Overlap(figure, other))
                    << "figures at " << p.name << " " << Describe(figure) << " and " << q.name << " " << Describe(other);
            }
        }
    }
    for (const TRect& head : p.heads) {
        EXPECT_FALSE(Overlap(head, q.hearts))
            << "a head at " << p.name << " " << Describe(head) << " under the hearts of " << q.name;
    }
}

}  // namespace

TEST_F(FloorLayout, NoShippedLayoutPutsATableChairOrSeatedFigureIntoAnother)
{
    const TCustomerDef def = TCustomerSettings().CreateCustomerDefinition("young");
    const int colours[kMaxTableSeats] = {0, 0, 0, 0, 0, 0};
    int layouts = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(QM_DATA_DIR) / "assets/layouts")) {
        const std::string name = entry.path().stem().string();
        const int restaurant = RestaurantOf(name);
        ASSERT_GE(restaurant, 0) << name;
        SCOPED_TRACE(name);
        ++layouts;
        mSettings->SetCurrentRestaurant(restaurant);
        TLevelLayout layout;
        layout.OpenLevel(name.c_str());
        std::vector<TTableDesc> descs;
        std::optional<TBarDesc> barDesc;
        layout.SetupTables(&descs, &barDesc);
        std::vector<TFootprint> prints;
        std::vector<std::unique_ptr<TTable>> tables;
        for (const TTableDesc& desc : descs) {
            tables.push_back(std::make_unique<TTable>(floorart::RestaurantFolder(), desc.id, desc.seats,
                                                      desc.colors.data(), desc.point));
            TTable& table = *tables.back();
            TFootprint print{"table " + std::to_string(desc.id + 1) + " (" + std::to_string(desc.seats) + " seats)",
                             table.BoundingBox(), {}, {}, {}};
            TParty party(desc.id, desc.seats, colours, def, 0);
            const TRect first = table.GetChair(0)->BoundingBox();
            party.PickSeats({(first.x1 + first.x2) / 2, (first.y1 + first.y2) / 2}, &table);
            for (const TCustomer* member : party.MembersInBuildOrder()) {
                ASSERT_GT(member->BoundingBox().Width(), 0) << "a guest without art checks nothing";
                print.figures.push_back(Body(member));
                print.heads.push_back(Head(member));
            }
            print.hearts = party.HeartsBox();
            prints.push_back(print);
        }
        std::unique_ptr<TBar> bar;
        if (barDesc) {
            bar = std::make_unique<TBar>(barDesc->colors.data(), barDesc->point);
            prints.push_back({"the bar and its stools", bar->BoundingBox(), {}, {}, {}});
        }
        for (std::size_t a = 0; a < prints.size(); ++a) {
            const TFootprint& p = prints[a];
            std::vector<TRect> all = p.figures;
            all.push_back(p.furniture);
            if (!p.hearts.IsEmpty())
                all.push_back(p.hearts);
            for (const TRect& r : all) {
                EXPECT_FALSE(Overlap(r, kLine)) << p.name << " reaches the line at " << Describe(r);
                EXPECT_FALSE(Overlap(r, kJar)) << p.name << " reaches under the coin jar at " << Describe(r);
                EXPECT_TRUE(r.x1 >= 0 && r.x2 <= 800 && r.y2 <= 600) << p.name << " leaves the screen at " << Describe(r);
            }
            for (std::size_t b = 0; b < prints.size(); ++b) {
                if (a != b)
                    ExpectApart(p, prints[b], a < b);
            }
        }
    }
    EXPECT_GE(layouts, 65);
}
