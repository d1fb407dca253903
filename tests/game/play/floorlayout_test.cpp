// Where things stand on the floor, checked on the game's own data: the line
// of waiting parties (every head shows, legs are drawn), the shipped
// table layouts (no table, chair or seated figure reaches into another's),
// the waiting bench each layout places and the podium, apart from the line.
#include "floor_data_fixture.h"

#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "game/floor/customer.h"
#include "game/floor/floorart.h"
#include "game/floor/eatingstation.h"
#include "game/floor/party.h"
#include "game/floor/podium.h"
#include "game/floor/quessa.h"
#include "game/play/game.h"
#include "game/rules/scoremanager.h"
#include "game/floor/bar.h"
#include "game/floor/bench.h"
#include "game/floor/table.h"
#include "game/levels/levellayout.h"
#include "game/levels/levelrecord.h"
#include "game/settings/customersettings.h"
#include "recordinghandler.h"
#include "engine/render/spritequad.h"

#include <algorithm>
#include <array>
#include <set>
#include <cmath>
#include <functional>

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
        auto floor = std::make_unique<TGameData>(mGlobals, &mScore, &mHost.events);
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

// ---- what a line of parties shows, measured on what it draws

namespace {

constexpr int kScreenW = 800, kScreenH = 600;
constexpr int kOpaque = 128;  // an alpha from here on hides what lies under it

const char* const kTypes[] = {"young", "old", "business", "bookworm", "cellphone", "fitness", "family", "lovebirds",
                              "tourists"};

// One party of the line and what of it must show.
struct TShown {
    TParty* party = nullptr;
    std::vector<std::vector<int>> faces;  // screen pixels of each member's drawn face
    std::vector<int> hearts;              // screen pixels of its drawn heart row
};

bool Near(const TVec2& a, const TPoint& b) { return std::abs(a.x - b.x) < 0.5f && std::abs(a.y - b.y) < 0.5f; }

// Every screen pixel a recorded sprite draw covers, with the colour it gives
// there (alpha last), from the texture's pixels as they were at the draw.
void Rasterise(const RecordedDraw& draw, const std::function<void(int x, int y, const std::uint8_t* texel)>& plot)
{
    if (!draw.sprite || draw.pixels.empty())
        return;
    TSpriteParams params;
    params.pos = draw.pos;
    params.scaleX = draw.scaleX;
    params.scaleY = draw.scaleY;
    params.rotation = draw.rotation;
    params.centre = draw.centre ? &*draw.centre : nullptr;
    params.flags = draw.flags;
    params.matrix = draw.matrix ? draw.matrix->data() : nullptr;
    params.source = draw.source ? *draw.source : TRect{0, 0, draw.imageWidth, draw.imageHeight};
    params.surfaceSize = {draw.surfaceWidth, draw.surfaceHeight};
    const TSpriteQuad quad = BuildSpriteQuad(params);
    const TQuadCorner &tl = quad.corner[0], &tr = quad.corner[1], &bl = quad.corner[3];
    const float x0 = std::min(tl.x, tr.x), x1 = std::max(tl.x, tr.x);
    const float y0 = std::min(tl.y, bl.y), y1 = std::max(tl.y, bl.y);
    for (int y = std::max(0, int(std::floor(y0))); y < std::min(kScreenH, int(std::ceil(y1))); ++y)
        for (int x = std::max(0, int(std::floor(x0))); x < std::min(kScreenW, int(std::ceil(x1))); ++x) {
            const float fx = (float(x) + 0.5f - tl.x) / (tr.x - tl.x), fy = (float(y) + 0.5f - tl.y) / (bl.y - tl.y);
            if (fx < 0 || fx >= 1 || fy < 0 || fy >= 1)
                continue;
            const int u = int(std::floor((tl.u + fx * (tr.u - tl.u)) * float(draw.surfaceWidth)));
            const int v = int(std::floor((tl.v + fy * (bl.v - tl.v)) * float(draw.surfaceHeight)));
            if (u < 0 || v < 0 || u >= draw.surfaceWidth || v >= draw.surfaceHeight)
                continue;
            plot(x, y, &draw.pixels[(std::size_t(v) * std::size_t(draw.surfaceWidth) + std::size_t(u)) * 4]);
        }
}

// The face a figure's body draw shows: from the figure's "face" anchor, a
// point of bare skin, every pixel reached without crossing the outline that
// rings the head (eyes, mouth and glasses inside it count as face).
bool Outline(const std::array<std::uint8_t, 4>& c)
{
    constexpr int kOutline[3] = {0x33, 0x2a, 0x3b};  // #3b2a33, stored blue first
    return c[3] >= kOpaque && std::abs(c[0] - kOutline[0]) < 24 && std::abs(c[1] - kOutline[1]) < 24 &&
           std::abs(c[2] - kOutline[2]) < 24;
}

std::vector<int> DrawnFace(const RecordedDraw& draw, TPoint seed)
{
    std::vector<std::array<std::uint8_t, 4>> colour(std::size_t(kScreenW * kScreenH), {0, 0, 0, 0});
    Rasterise(draw, [&](int x, int y, const std::uint8_t* t) {
        colour[std::size_t(y * kScreenW + x)] = {t[0], t[1], t[2], t[3]};
    });
    std::vector<int> face;
    if (seed.x < 0 || seed.y < 0 || seed.x >= kScreenW || seed.y >= kScreenH ||
        colour[std::size_t(seed.y * kScreenW + seed.x)][3] < kOpaque)
        return face;
    std::vector<bool> seen(colour.size());
    std::vector<int> todo{seed.y * kScreenW + seed.x};
    seen[std::size_t(todo.back())] = true;
    while (!todo.empty()) {
        const int at = todo.back();
        todo.pop_back();
        face.push_back(at);
        const int x = at % kScreenW, y = at / kScreenW;
        for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            const int nx = x + dx, ny = y + dy, n = ny * kScreenW + nx;
            if (nx < 0 || ny < 0 || nx >= kScreenW || ny >= kScreenH || seen[std::size_t(n)])
                continue;
            seen[std::size_t(n)] = true;
            if (colour[std::size_t(n)][3] >= kOpaque && !Outline(colour[std::size_t(n)]))
                todo.push_back(n);
        }
    }
    return face;
}

// A line of parties laid out as the game lays out its line and drawn as it
// draws it; answers, for each party, the faces and hearts that do not show
// because another party's figure, legs or hearts were drawn over them.
std::vector<std::string> HiddenInLine(const std::vector<TParty*>& line, RecordingHandler& handler)
{
    for (std::size_t place = 0; place < line.size(); ++place)
        line[place]->SetInLine(TGameData::LineSpot(int(place)), false);
    handler.draws.clear();
    DrawWaitingLine(std::list<TParty*>(line.begin(), line.end()), nullptr, nullptr);

    std::vector<TShown> shown(line.size());
    std::vector<int> owner(std::size_t(kScreenW * kScreenH), -1);  // the party drawn last at each pixel
    std::vector<std::string> hidden;
    for (const RecordedDraw& draw : handler.draws) {
        int party = -1;
        bool hearts = false;
        const TCustomer* body = nullptr;
        for (std::size_t p = 0; p < line.size() && party < 0; ++p) {
            if (line[p]->HeartsBox().Contains({int(draw.pos.x), int(draw.pos.y)}) && !draw.centre)
                party = int(p), hearts = true;
            for (const TCustomer* member : line[p]->MembersInBuildOrder()) {
                if (Near(draw.pos, {int(member->GetPosition().x), int(member->GetPosition().y)}) && draw.centre)
                    party = int(p), hearts = false, body = member;
                else if (Near(draw.pos, member->GetFlippedAnchorPoint("legs")))
                    party = int(p), hearts = false;
            }
        }
        if (party < 0)
            continue;
        TShown& mine = shown[std::size_t(party)];
        if (body) {
            const TPoint seed = body->GetFlippedAnchorPoint("face");
            mine.faces.push_back(DrawnFace(draw, seed));
            if (mine.faces.back().size() < 200)
                hidden.push_back("a figure of party " + std::to_string(party) + " draws no face at its face anchor");
        }
        Rasterise(draw, [&](int x, int y, const std::uint8_t* texel) {
            if (texel[3] < kOpaque)
                return;
            owner[std::size_t(y * kScreenW + x)] = party;
            if (hearts)
                mine.hearts.push_back(y * kScreenW + x);
        });
    }
    for (std::size_t p = 0; p < shown.size(); ++p) {
        const std::string name = "party " + std::to_string(p) + " (" + line[p]->GetDef().graphicType + ")";
        if (shown[p].hearts.empty())
            hidden.push_back(name + " draws no hearts");
        auto check = [&](const std::vector<int>& pixels, const std::string& what) {
            for (int at : pixels)
                if (owner[std::size_t(at)] != int(p)) {
                    hidden.push_back(what + " of " + name + " lies under party " +
                                     std::to_string(owner[std::size_t(at)]) + " at (" + std::to_string(at % kScreenW) +
                                     ", " + std::to_string(at / kScreenW) + ")");
                    return;
                }
        };
        check(shown[p].hearts, "the hearts");
        for (std::size_t m = 0; m < shown[p].faces.size(); ++m)
            check(shown[p].faces[m], "face " + std::to_string(m));
    }
    return hidden;
}

}  // namespace

// Every party of a line of one to seven shows each member's face and its
// heart row: no other party's figure, legs or hearts are drawn over them.
// Measured on the pixels drawn, for every customer type at every size.
TEST_F(FloorLayout, EveryFaceAndHeartRowInLineShowsForOneToSevenPartiesOfEveryType)
{
    RecordingHandler handler;
    handler.keepPixels = true;
    mSettings->SetCurrentRestaurant(0);
    TCustomerSettings types;
    // Every type at every size it comes in.
    std::vector<std::unique_ptr<TParty>> parties;
    for (const char* type : kTypes) {
        const TCustomerDef def = types.CreateCustomerDefinition(type);
        const int fixed = types.GetNumGraphicOverrides(type);
        for (int size = fixed ? fixed : 1; size <= (fixed ? fixed : 6); ++size) {
            int colours[kMaxTableSeats] = {};
            for (int& c : colours)
                c = int(parties.size()) % kCustomerColorCount;
            parties.push_back(std::make_unique<TParty>(int(parties.size()), size, colours, def, 0));
        }
    }
    ASSERT_GE(parties.size(), 39u);
    int lines = 0;
    for (int length = 1; length <= TGameData::kMaxActiveParties; ++length)
        for (std::size_t first = 0; first < parties.size(); first += std::size_t(length == 1 ? 1 : 3)) {
            std::vector<TParty*> line;
            for (int i = 0; i < length; ++i)
                line.push_back(parties[(first + std::size_t(i) * 7) % parties.size()].get());
            ++lines;
            const std::vector<std::string> hidden = HiddenInLine(line, handler);
            EXPECT_TRUE(hidden.empty()) << "a line of " << length << " from party " << first << ": " << hidden.front()
                                        << (hidden.size() > 1 ? " (and " + std::to_string(hidden.size() - 1) + " more)" : "");
            if (!hidden.empty())
                break;
        }
    EXPECT_GE(lines, 100);
}

// Members of one type in one party are no clones: each of the first four
// shows another skin at its face.
TEST_F(FloorLayout, MembersOfOneTypeInAPartyWearDifferentLooks)
{
    RecordingHandler handler;
    handler.keepPixels = true;
    TCustomerSettings types;
    for (const char* type : {"young", "fitness", "cellphone"}) {
        SCOPED_TRACE(type);
        const int colours[kMaxTableSeats] = {2, 2, 2, 2, 2, 2};
        TParty party(1, 4, colours, types.CreateCustomerDefinition(type), 0);
        party.SetInLine(TGameData::LineSpot(0), false);
        handler.draws.clear();
        DrawWaitingLine({&party}, nullptr, nullptr);
        std::set<std::array<std::uint8_t, 4>> skins;
        for (const TCustomer* member : party.MembersInBuildOrder()) {
            const TPoint seed = member->GetFlippedAnchorPoint("face");
            for (const RecordedDraw& draw : handler.draws)
                if (draw.centre && Near(draw.pos, {int(member->GetPosition().x), int(member->GetPosition().y)}))
                    Rasterise(draw, [&](int x, int y, const std::uint8_t* t) {
                        if (x == seed.x && y == seed.y)
                            skins.insert({t[0], t[1], t[2], t[3]});
                    });
        }
        EXPECT_EQ(skins.size(), 4u);
    }
}

// The line stays on the floor's screen: its last party's hearts below the
// game's top bar and beside the endless shift's lives under it, the head's
// feet above the bottom edge.
TEST_F(FloorLayout, ASevenPartyLineStaysBetweenTheTopBarAndTheBottomEdge)
{
    std::unique_ptr<TGameData> floor = FloorWithLine(TGameData::kMaxActiveParties);
    const std::vector<TParty*> line(floor->GetWaitingParties().begin(), floor->GetWaitingParties().end());
    ASSERT_EQ(int(line.size()), TGameData::kMaxActiveParties);
    constexpr int kTopBar = 44;  // scripts/game.lua's "hud"
    const TRect hearts = line.back()->HeartsBox();
    EXPECT_GE(hearts.y1, kTopBar);
    const TRect lives{110, 44, 240, 66};  // "livesicon_0" to "livesicon_4"
    EXPECT_TRUE(hearts.x2 <= lives.x1 || hearts.y1 >= lives.y2)
        << "the hearts of the last party at " << Describe(hearts) << " run under the lives";
    for (const TCustomer* member : line.front()->MembersInBuildOrder()) {
        const std::shared_ptr<TTexture> legs = TTexture::Get(str("customers/kid_male/legs"), 0);
        EXPECT_LE(member->GetFlippedAnchorPoint("legs").y + (legs ? legs->GetHeight() / 2 : 0), kScreenH);
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

// A figure standing in line: its body, down to its feet.
TRect Standing(const TCustomer* member)
{
    TRect body = Body(member);
    body.y2 = std::max(body.y2, member->GetFlippedAnchorPoint("legs").y + 13);  // its legs below
    return body;
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


// What the tables (and the bar) of a shipped layout take of the floor, each
// table with a party seated on every chair.
std::vector<TFootprint> TablePrints(const TLevelLayout& layout, const TCustomerDef& def)
{
    const int colours[kMaxTableSeats] = {0, 0, 0, 0, 0, 0};
    TLevelLayout grid = layout;  // reading the tables clears their lower cells
    std::vector<TTableDesc> descs;
    std::optional<TBarDesc> barDesc;
    grid.SetupTables(&descs, &barDesc);
    std::vector<TFootprint> prints;
    for (const TTableDesc& desc : descs) {
        TTable table(floorart::RestaurantFolder(), desc.id, desc.seats, desc.colors.data(), desc.point);
        TFootprint print{"table " + std::to_string(desc.id + 1) + " (" + std::to_string(desc.seats) + " seats)",
                         table.BoundingBox(), {}, {}, {}};
        TParty party(desc.id, desc.seats, colours, def, 0);
        const TRect first = table.GetChair(0)->BoundingBox();
        party.PickSeats({(first.x1 + first.x2) / 2, (first.y1 + first.y2) / 2}, &table);
        for (const TCustomer* member : party.MembersInBuildOrder()) {
            print.figures.push_back(Body(member));
            print.heads.push_back(Head(member));
        }
        print.hearts = party.HeartsBox();
        prints.push_back(print);
    }
    if (barDesc) {
        TBar bar(barDesc->colors.data(), barDesc->point);
        prints.push_back({"the bar and its stools", bar.BoundingBox(), {}, {}, {}});
    }
    return prints;
}

// Everything a footprint shows: furniture, figures, heart row.
std::vector<TRect> Everything(const TFootprint& p)
{
    std::vector<TRect> all = p.figures;
    all.push_back(p.furniture);
    if (!p.hearts.IsEmpty())
        all.push_back(p.hearts);
    return all;
}

// The shipped layouts by name, each with its restaurant (0-4).
std::vector<std::pair<std::string, int>> ShippedLayouts()
{
    std::vector<std::pair<std::string, int>> layouts;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(QM_DATA_DIR) / "assets/layouts")) {
        const std::string name = entry.path().stem().string();
        layouts.emplace_back(name, RestaurantOf(name));
    }
    std::sort(layouts.begin(), layouts.end());
    return layouts;
}

}  // namespace

TEST_F(FloorLayout, NoShippedLayoutPutsATableChairOrSeatedFigureIntoAnother)
{
    const TCustomerDef def = TCustomerSettings().CreateCustomerDefinition("young");
    int layouts = 0;
    for (const auto& [name, restaurant] : ShippedLayouts()) {
        ASSERT_GE(restaurant, 0) << name;
        SCOPED_TRACE(name);
        ++layouts;
        mSettings->SetCurrentRestaurant(restaurant);
        TLevelLayout layout;
        layout.OpenLevel(name.c_str());
        const std::vector<TFootprint> prints = TablePrints(layout, def);
        for (const TFootprint& p : prints)
            for (const TRect& r : p.figures)
                ASSERT_GT(r.Width(), 0) << "a guest without art checks nothing";
        for (std::size_t a = 0; a < prints.size(); ++a) {
            const TFootprint& p = prints[a];
            for (const TRect& r : Everything(p)) {
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

// The waiting bench of every layout that may show one (a career level's,
// or the one an endless shift buys in any restaurant) stands on the screen right of the line of seven
// waiting parties, as the line's parties are measured, out of the coin
// jar's corner and of every table, its guests and its heart row; so do the
// six guests it seats and their hearts, where the player can see and grab
// them.
TEST_F(FloorLayout, EveryLayoutsBenchAndItsPartyStandOnScreenClearOfTheLineAndTheTables)
{
    std::vector<std::pair<std::string, TRect>> line;
    {
        std::unique_ptr<TGameData> floor = FloorWithLine(TGameData::kMaxActiveParties);
        ASSERT_EQ(int(floor->GetWaitingParties().size()), TGameData::kMaxActiveParties);
        int place = 0;
        for (TParty* party : floor->GetWaitingParties()) {
            const std::string who = "party " + std::to_string(++place) + " of the line";
            line.emplace_back(who + "'s hearts", party->HeartsBox());
            for (const TCustomer* member : party->MembersInBuildOrder())
                line.emplace_back(who, Standing(member));
        }
    }
    const TCustomerDef def = TCustomerSettings().CreateCustomerDefinition("young");
    const int colours[kMaxTableSeats] = {0, 1, 2, 3, 4, 0};
    constexpr int kTopBar = 44;  // scripts/game.lua's "hud"
    int benches = 0;
    for (const auto& [name, restaurant] : ShippedLayouts()) {
        SCOPED_TRACE(name);
        mSettings->SetCurrentRestaurant(restaurant);
        TLevelLayout layout;
        layout.OpenLevel(name.c_str());
        if (!layout.HasBench() && name.rfind("endless", 0) != 0)
            continue;
        ++benches;
        TBench bench;
        bench.location = layout.GetBenchLocation();
        TFootprint seated{"the bench", bench.BoundingBox(), {}, {}, {}};
        ASSERT_GT(seated.furniture.Width(), 0) << "a bench without art checks nothing";
        TParty party(99, 6, colours, def, 0);
        ASSERT_TRUE(party.SitOnBench(&bench, 0, 1.0f));
        for (const TCustomer* member : party.MembersInBuildOrder()) {
            seated.figures.push_back(Body(member));
            seated.heads.push_back(Head(member));
        }
        seated.hearts = party.HeartsBox();
        ASSERT_FALSE(seated.hearts.IsEmpty());
        for (const TRect& r : Everything(seated)) {
            EXPECT_TRUE(r.x1 >= 0 && r.y1 >= kTopBar && r.x2 <= 800 && r.y2 <= 600)
                << "the bench reaches off the floor's screen at " << Describe(r);
            EXPECT_FALSE(Overlap(r, kJar)) << "the bench reaches under the coin jar at " << Describe(r);
            for (const auto& [who, spot] : line)
                EXPECT_FALSE(Overlap(r, spot)) << "the bench at " << Describe(r) << " is behind " << who << " at "
                                               << Describe(spot);
        }
        for (const TFootprint& table : TablePrints(layout, def)) {
            ExpectApart(seated, table, true);
            ExpectApart(table, seated, false);
            for (const TRect& r : table.figures)
                EXPECT_FALSE(Overlap(r, seated.hearts)) << table.name << "'s guest at " << Describe(r)
                                                        << " covers the bench party's hearts";
        }
        party.GetOffBench(&bench);
    }
    EXPECT_GE(benches, 35) << "the blimp's and the spaceship's levels and every endless shift may bring the bench";
}

// ---- the podium and the line

namespace {

// A party's figures (down to their feet) and its heart row, as it stands at
// one place of the line.
std::vector<TRect> InLine(TParty& party, int place)
{
    party.SetInLine(TGameData::LineSpot(place), false);
    std::vector<TRect> shown{party.HeartsBox()};
    for (const TCustomer* member : party.MembersInBuildOrder())
        shown.push_back(Standing(member));
    return shown;
}

}  // namespace

// The podium stands apart from the line in every level that has it (the
// career's, from its layout) or may buy it (every endless shift): no party
// the level sends, at any of the seven places of a full line and at its
// full length, covers the podium; and the podium, with the waitress or the
// hostess at its side, stands clear of the tables, their guests and heart
// rows, the bench and its party, and the coin jar.
TEST_F(FloorLayout, ThePodiumStandsApartFromTheLineAndTheFurnitureInEveryLevelThatHasIt)
{
    TPodium podium;
    const TRect box = podium.BoundingBox();
    ASSERT_GT(box.Width(), 0) << "a podium without art checks nothing";
    const TPoint spot = podium.GetStandingSpot();
    // Whoever charges it stands there on her feet: the waitress as she is
    // drawn, the hostess a step beside her spot, no larger.
    TQuessa waitress(mGlobals);
    waitress.SetPosition({float(spot.x), float(spot.y)});
    TRect standing = waitress.BoundingBox(false);
    ASSERT_GT(standing.Width(), 0) << "a waitress without art checks nothing";
    standing.x2 += 5;
    TCustomerSettings types;
    const int colours[kMaxTableSeats] = {0, 1, 2, 3, 4, 0};
    std::set<std::string> layouts;
    auto checkLine = [&](const std::string& level, const std::string& type, int size) {
        TParty party(1, size, colours, types.CreateCustomerDefinition(type.c_str()), 0);
        for (int place = 0; place < TGameData::kMaxActiveParties; ++place)
            for (const TRect& r : InLine(party, place))
                EXPECT_FALSE(Overlap(r, box)) << level << ": a party of " << size << " (" << type << ") at place "
                                              << place + 1 << " of the line stands over the podium at "
                                              << Describe(box) << " (" << Describe(r) << ")";
    };
    int levels = 0;
    for (int number = 1; number <= 50; ++number) {
        TXmlNode doc;
        doc.ParseString(TSettings::ReadEncryptedFile(("assets/config/career/" + std::to_string(number) + ".xml").c_str()).c_str());
        const TXmlNode* root = doc.GetChild("dataroot");
        const TXmlNode* level = root ? root->GetChild("career") : nullptr;
        ASSERT_NE(level, nullptr) << number;
        const TCareerLevelRecord record = TCareerLevelRecord::Read(*level);
        const std::string& name = record.layout;
        mSettings->SetCurrentRestaurant((number - 1) / 10);
        TLevelLayout layout;
        layout.OpenLevel(name.c_str());
        if (!layout.HasPodiumStation())
            continue;
        ++levels;
        layouts.insert(name);
        for (const TCareerLevelRecord::TGroup& group : record.groups)
            checkLine("career level " + std::to_string(number), group.type, int(group.def.length()));
    }
    TXmlNode endless;
    endless.ParseString(TSettings::ReadEncryptedFile("assets/config/endless.xml").c_str());
    TXmlNode* root = endless.GetChild("dataroot");
    ASSERT_NE(root, nullptr);
    str tag;
    TXmlNode* shift = nullptr;
    root->ResetChildren();
    while (root->GetNextChild(&tag, &shift)) {
        ++levels;
        const std::string where = "endless shift " + std::string(shift->GetChildContent("diner").c_str()) + "." +
                                  shift->GetChildContent("level").c_str();
        for (const char* key : {"layout", "layout1", "layout2"})
            layouts.insert(shift->GetChildContent(key).c_str());
        std::set<std::string> kinds;
        for (int section = 1; section <= 5; ++section)
            for (const char* letter : {"a", "b", "c", "d"})
                kinds.insert(shift->GetChildContent(("group" + std::to_string(section) + "_" + letter).c_str()).c_str());
        for (const std::string& type : kinds) {
            if (type.empty())
                continue;
            const int fixed = types.GetNumGraphicOverrides(type.c_str());
            for (int size = fixed ? fixed : 2; size <= (fixed ? fixed : 4); ++size)  // an endless party: 2-4
                checkLine(where, type, size);
        }
    }
    EXPECT_EQ(levels, 24 + 15) << "the career's levels from the sub's seventh on, and every endless shift";

    const TCustomerDef def = types.CreateCustomerDefinition("young");
    for (const std::string& name : layouts) {
        SCOPED_TRACE(name);
        mSettings->SetCurrentRestaurant(RestaurantOf(name));
        TLevelLayout layout;
        layout.OpenLevel(name.c_str());
        std::vector<TFootprint> prints = TablePrints(layout, def);
        if (layout.HasBench() || name.rfind("endless", 0) == 0) {
            TBench bench;
            bench.location = layout.GetBenchLocation();
            TFootprint seated{"the bench", bench.BoundingBox(), {}, {}, {}};
            TParty party(99, 6, colours, def, 0);
            ASSERT_TRUE(party.SitOnBench(&bench, 0, 1.0f));
            for (const TCustomer* member : party.MembersInBuildOrder())
                seated.figures.push_back(Body(member));
            seated.hearts = party.HeartsBox();
            prints.push_back(seated);
            party.GetOffBench(&bench);
        }
        prints.push_back({"the coin jar", kJar, {}, {}, {}});
        for (const TFootprint& p : prints) {
            for (const TRect& r : Everything(p))
                EXPECT_FALSE(Overlap(r, box)) << p.name << " at " << Describe(r) << " reaches the podium at "
                                              << Describe(box);
            // Her frame's clear top may reach under a heart row; nothing solid may stand in it.
            std::vector<TRect> solid = p.figures;
            solid.push_back(p.furniture);
            for (const TRect& r : solid)
                EXPECT_FALSE(Overlap(r, standing)) << p.name << " at " << Describe(r)
                                                   << " stands where the podium is charged " << Describe(standing);
        }
    }
}

// ---- the decor choice's picture of the upgraded furniture

namespace {

// What a draw puts on the screen: the pixels of its picture (the source
// rectangle, or the image, of the surface it drew from), where the
// picture's top left lands and how it is mirrored. A frame drawn from an
// animation's own surface and the same frame drawn from a slot that holds
// it give the same picture.
struct TPlacedPicture {
    float left = 0, top = 0;
    int flags = 0;
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
    bool operator==(const TPlacedPicture&) const = default;
};

TPlacedPicture Placed(const RecordedDraw& draw)
{
    const TRect source = draw.source.value_or(TRect{0, 0, draw.imageWidth, draw.imageHeight});
    const TVec2 centre = draw.centre.value_or(TVec2{0, 0});
    TPlacedPicture picture{draw.pos.x - centre.x, draw.pos.y - centre.y, draw.flags, source.Width(), source.Height(), {}};
    for (int y = source.y1; y < source.y2; ++y) {
        const auto row = draw.pixels.begin() + std::ptrdiff_t((std::size_t(y) * std::size_t(draw.surfaceWidth) + std::size_t(source.x1)) * 4);
        picture.pixels.insert(picture.pixels.end(), row, row + std::ptrdiff_t(source.Width()) * 4);
    }
    return picture;
}

// The pictures of the draws at one alpha around a point (a frame's picture
// is centred on its own box, a few pixels off the registration point), or
// exactly on it, from the textures `drewFrom` accepts.
std::vector<TPlacedPicture> DrawnAt(const RecordingHandler& handler, const std::function<bool(const TTextureData*)>& drewFrom,
                                    TPoint at, float alpha, bool exactly = false)
{
    std::vector<TPlacedPicture> drawn;
    for (const RecordedDraw& draw : handler.draws) {
        const bool there = exactly ? Near(draw.pos, at) : std::abs(draw.pos.x - at.x) + std::abs(draw.pos.y - at.y) < 12;
        if (drewFrom(draw.data) && there && std::abs(draw.alpha - alpha) < 0.01f)
            drawn.push_back(Placed(draw));
    }
    return drawn;
}

std::function<bool(const TTextureData*)> From(const TTexture* texture)
{
    return [texture](const TTextureData* data) { return texture && data == texture->GetData(); };
}

// Any texture but these: the upgraded look the decor choice offers is drawn
// from wherever its pictures are kept.
std::function<bool(const TTextureData*)> NotFrom(std::vector<const TTexture*> textures)
{
    return [textures](const TTextureData* data) {
        return std::none_of(textures.begin(), textures.end(), [data](const TTexture* t) { return t && data == t->GetData(); });
    };
}

}  // namespace

// While the decor choice offers the chairs, every chair shows the upgraded
// chair the room will get, in the chair's own colour (its own palette's
// look, the upgraded frame), with the ring that lights it centred on it; a
// table likewise shows its upgraded top.
TEST_F(FloorLayout, TheDecorChoiceShowsEachChairAsItWillBeInItsOwnColourWithItsRingOnIt)
{
    RecordingHandler handler;
    handler.keepPixels = true;
    const int colours[kMaxTableSeats] = {kColorRed, kColorBlue, kColorGreen, kColorYellow, 0, 0};
    const char* const names[] = {"red", "blue", "green", "yellow"};
    for (int restaurant = 0; restaurant < 5; ++restaurant) {
        mSettings->SetCurrentRestaurant(restaurant);
        const str folder = floorart::RestaurantFolder();
        SCOPED_TRACE(folder.c_str());
        TTable table(folder, 0, 4, colours, {400, 300});
        TAnimatedTextureCache cache(100, 120, 80);
        const auto drawOnce = [&](int level, float upgradeAlpha) {
            handler.draws.clear();
            table.SetUpgradeLevel(level);
            table.Draw(&cache, upgradeAlpha, upgradeAlpha);
        };
        for (int i = 0; i < table.GetChairCount(); ++i) {
            bool mirrored = false;
            const TPoint at = table.GetChair(i)->GetLocation(&mirrored);
            const auto look = TAnimatedTexture::Get(folder + "chairs/green.anm",
                                                    str("green.png?palette=") + folder + "chairs/" + names[i] + ".pal");
            const auto ring = TTexture::Get(folder + "chairs/highlight", 0);
            ASSERT_TRUE(look && ring);
            drawOnce(1, 0);
            const auto upgraded = DrawnAt(handler, From(look.get()), at, 1.0f);
            drawOnce(0, 0);
            const auto plain = DrawnAt(handler, From(look.get()), at, 1.0f);
            drawOnce(0, 1);
            const auto offered = DrawnAt(handler, NotFrom({ring.get()}), at, 1.0f);
            ASSERT_EQ(upgraded.size(), 1u);
            ASSERT_EQ(plain.size(), 1u);
            ASSERT_EQ(offered.size(), 1u) << "chair " << i + 1 << " shows no upgraded look in its colour";
            EXPECT_EQ(offered[0], upgraded[0]) << "chair " << i + 1 << " offers another look than it gets";
            EXPECT_NE(offered[0], plain[0]) << "chair " << i + 1 << " offers its plain look";
            EXPECT_EQ(DrawnAt(handler, From(ring.get()), at, 1.0f, true).size(), 1u) << "chair " << i + 1 << "'s ring is not on it";
        }
        const auto tableRing = TTexture::Get(folder + "tables/4top_highlight", 0);
        ASSERT_TRUE(tableRing);
        drawOnce(1, 0);
        const auto upgradedTop = DrawnAt(handler, From(table.Look().get()), table.GetLocation(), 1.0f);
        drawOnce(0, 1);
        const auto offeredTop = DrawnAt(handler, NotFrom({tableRing.get()}), table.GetLocation(), 1.0f);
        ASSERT_EQ(offeredTop.size(), 1u);
        ASSERT_EQ(upgradedTop.size(), 1u);
        EXPECT_EQ(offeredTop[0], upgradedTop[0]);
    }
}

