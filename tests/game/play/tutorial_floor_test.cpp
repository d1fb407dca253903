// The tutorial on the first career level's own floor: what it says matches
// what the player sees (table numbers as the tickets show them), its first
// seating is on chairs of the party's colour, and every box stays inside the
// window, off the display and off what it talks about.
#include "floor_data_fixture.h"

#include "engine/platform/platform.h"
#include "engine/render/texture.h"
#include "engine/window/stringtable.h"
#include "game/floor/chair.h"
#include "game/floor/customer.h"
#include "game/floor/dishcart.h"
#include "game/floor/eatingstation.h"
#include "game/floor/foodstation.h"
#include "game/floor/foodtray.h"
#include "game/floor/kitchenpass.h"
#include "game/floor/party.h"
#include "game/floor/quessa.h"
#include "game/floor/ticketstation.h"
#include "game/rules/scoremanager.h"
#include "game/rules/tutorial.h"

#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60;

bool Overlap(const TRect& a, const TRect& b) { return !TRect::Intersect(a, b).IsEmpty(); }

std::string Describe(const TRect& r)
{
    return "(" + std::to_string(r.x1) + "," + std::to_string(r.y1) + ")-(" + std::to_string(r.x2) + "," +
           std::to_string(r.y2) + ")";
}

// "Skip tutorial" (game.lua) while the tutorial runs.
const TRect kSkipButton{10, 140, 194, 198};

// The display over the floor (game.lua): the top bar, the clock, "Skip
// tutorial", the coin jar and the upgrade button of endless play.
const std::map<std::string, TRect> kDisplay = {{"the top bar", {0, 0, 800, 44}},
                                               {"the clock", {736, 0, 796, 60}},
                                               {"Skip tutorial", kSkipButton},
                                               {"the coin jar", {716, 470, 796, 590}},
                                               {"the upgrade button", {620, 540, 800, 598}}};

}  // namespace

class TutorialFloor : public FloorTest {
protected:
    void SetUp() override
    {
        FloorTest::SetUp();
        mSettings->SetCurrentRestaurant(0);
        mSettings->SetCurrentLevel(0);
        mPlatform->SeedRand(5);
        mFloor = std::make_unique<TGameData>(mGlobals, &mScore, &mHost.events);
        mFloor->SetupStars();
        mFloor->SetupLevel();
        mFloor->StartIntro();
    }

    // What a table takes on screen with its guests seated: its furniture,
    // their heads above it and the heart row below.
    static TRect TableArea(TEatingStation* table)
    {
        TRect area = table->BoundingBox();
        const TPoint hearts = table->GetHeartLocation();
        area.y1 -= 50;
        area.y2 = std::max(area.y2, hearts.y + 12);
        return area;
    }

    TEatingStation* Table(int number)
    {
        for (TEatingStation* station : mFloor->GetEatingStations())
            if (station->GetTableNumber() == number)
                return station;
        return nullptr;
    }

    // The places a step talks about: the party to pick up, the table it
    // names (every table when it names none), the wheel, the plates, the cart.
    std::vector<std::pair<std::string, TRect>> Targets(const TTutorialDef& def)
    {
        std::vector<std::pair<std::string, TRect>> targets;
        const TPoint head = TGameData::LineSpot(0);
        switch (def.action) {
        case kTutorialPickUpParty:
            targets.push_back({"the head of the line", {head.x - 25, head.y - 100, head.x + 100, head.y + 17}});
            break;
        case kTutorialTicketPosted:
            targets.push_back({"the order wheel", mFloor->GetTicketStation().BoundingBox()});
            break;
        case kTutorialFoodReady:
        case kTutorialFoodPickedUp:
            for (TFoodStation* food : mFloor->FoodStations()) {
                TRect tray = TFoodTray().BoundingBox();
                tray.Offset(food->GetStandingSpot().x, food->GetStandingSpot().y);
                targets.push_back({"a plate on the pass", tray});
            }
            break;
        case kTutorialDishesToCart:
            targets.push_back({"the dish cart", mFloor->GetDishCart().BoundingBox()});
            break;
        default:
            break;
        }
        const bool tableStep = def.action == kTutorialSeatParty || def.action == kTutorialReadyToOrder ||
                               (def.action >= kTutorialWantsCheck && def.action <= kTutorialPartyLeaves &&
                                def.action != kTutorialDishesToCart);
        if (tableStep || def.action == kTutorialFoodReady)
            for (TEatingStation* table : mFloor->GetEatingStations())
                if (def.param < 0 || table->GetTableNumber() == def.param)
                    targets.push_back({"table " + std::to_string(table->GetTableNumber() + 1), TableArea(table)});
        return targets;
    }

    TScoreManager mScore;
    std::unique_ptr<TGameData> mFloor;
};

// A step that names a table names it as its ticket and badge show it: the
// table number plus one.
TEST_F(TutorialFloor, StepsNameTablesAsTheirTicketsShowThem)
{
    ASSERT_TRUE(mFloor->GetTutorial().IsActive());
    TStringTable* strings = mPlatform->GetStringTable();
    ASSERT_NE(strings, nullptr);
    std::map<std::string, std::set<int>> shownByKey;  // key -> the numbers its steps' tables show
    for (const TTutorialDef& def : gTutorialDefs)
        if (def.key[0] != '\0' && def.param >= 0)
            shownByKey[def.key].insert(def.param + 1);
    int named = 0;
    const std::regex table(R"([Tt]able (\d+))");
    for (const TTutorialDef& def : gTutorialDefs) {
        if (def.key[0] == '\0')
            continue;
        const std::string text = strings->GetString(def.key, "", "", "", "", "").c_str();
        ASSERT_FALSE(text.empty()) << def.key;
        for (std::sregex_iterator it(text.begin(), text.end(), table), end; it != end; ++it) {
            ++named;
            EXPECT_EQ(shownByKey[def.key].count(std::stoi((*it)[1])), 1u)
                << def.key << ": \"" << text << "\" names a table none of its steps waits for";
        }
    }
    EXPECT_GT(named, 0);
}

// The first party arrives, and the table the tutorial sends it to has
// chairs of its colour; it cannot be seated anywhere else. Dragged there
// (press, move, let go), it sits down.
TEST_F(TutorialFloor, TheFirstSeatingMatchesThePartysColour)
{
    TTutorial& tutorial = mFloor->GetTutorial();
    for (int frame = 0; frame < 60 * 30 && mFloor->GetWaitingParties().empty(); ++frame)
        mFloor->Update(kFrame);
    ASSERT_FALSE(mFloor->GetWaitingParties().empty());
    ASSERT_EQ(gTutorialDefs[tutorial.GetStep()].action, kTutorialPickUpParty);
    const int number = gTutorialDefs[tutorial.GetStep() + 1].param;
    TEatingStation* table = Table(number);
    ASSERT_NE(table, nullptr);
    TParty* party = mFloor->GetWaitingParties().front();
    const TRect face = party->MembersInBuildOrder().front()->BoundingBox();
    const TPoint grab{(face.x1 + face.x2) / 2, (face.y1 + face.y2) / 2};
    const TRect chair = table->GetChair(0)->BoundingBox();
    const TPoint drop{(chair.x1 + chair.x2) / 2, (chair.y1 + chair.y2) / 2};
    mFloor->MouseDown(grab);
    mFloor->MouseMove({(grab.x + drop.x) / 2, (grab.y + drop.y) / 2});
    for (TEatingStation* station : mFloor->GetEatingStations())
        EXPECT_EQ(tutorial.AllowCustomerDropoff(station->GetTableNumber()), station == table);
    mFloor->MouseMove(drop);
    ASSERT_TRUE(party->IsPickingSeats());
    EXPECT_TRUE(table->AllCustomersMatch(party)) << "the tutorial seats its first party off its colour";
    mFloor->MouseUp(drop);
    EXPECT_EQ(table->GetParty(), party);
}

TEST_F(TutorialFloor, EveryBoxStaysInTheWindowAndOffTheDisplayAndWhatItTalksAbout)
{
    const std::shared_ptr<TTexture> box = TTexture::Get("ui/tutorialbox", 0);
    const std::shared_ptr<TTexture> arrow = TTexture::Get("ui/tutorialarrow", 0);
    ASSERT_TRUE(box && arrow);
    int boxes = 0;
    for (int step = 0; step < kTutorialSteps; ++step) {
        const TTutorialDef& def = gTutorialDefs[step];
        if (def.boxX < 0)
            continue;
        ++boxes;
        SCOPED_TRACE("step " + std::to_string(step) + " (" + def.key + ")");
        const int x = int(def.boxX) - box->GetWidth() / 2, y = int(def.boxY) - box->GetHeight() / 2;
        const TRect rect{x, y, x + box->GetWidth(), y + box->GetHeight()};
        EXPECT_TRUE(rect.x1 >= 0 && rect.y1 >= 0 && rect.x2 <= 800 && rect.y2 <= 600) << Describe(rect);
        for (const auto& [name, area] : kDisplay)
            EXPECT_FALSE(Overlap(rect, area)) << "the box " << Describe(rect) << " covers " << name;
        for (const auto& [name, area] : Targets(def))
            EXPECT_FALSE(Overlap(rect, area)) << "the box " << Describe(rect) << " covers " << name << " at "
                                              << Describe(area);
        // Nor does it hide a table, the kitchen's pass or the order wheel.
        for (TEatingStation* table : mFloor->GetEatingStations())
            EXPECT_FALSE(Overlap(rect, TableArea(table))) << "the box covers table " << table->GetTableNumber() + 1;
        EXPECT_FALSE(Overlap(rect, mFloor->GetKitchenPass().BoundingBox()));
        EXPECT_FALSE(Overlap(rect, mFloor->GetTicketStation().BoundingBox()));
        const int half = std::max(arrow->GetWidth(), arrow->GetHeight()) / 2;
        for (const TTutorialArrow& a : def.arrows) {
            if (a.x < 0)
                continue;
            const TRect at{int(a.x) - half, int(a.y) - half, int(a.x) + half, int(a.y) + half};
            EXPECT_TRUE(at.x1 >= 0 && at.y1 >= 0 && at.x2 <= 800 && at.y2 <= 600) << "arrow " << Describe(at);
            EXPECT_FALSE(Overlap(at, rect)) << "an arrow " << Describe(at) << " on its own box";
        }
    }
    EXPECT_GE(boxes, 40);
}

// Where Quessa works (every table, the wheel, the pass, the cart) no arrow
// covers her head and face, nor does "Skip tutorial" cover any of her; and
// neither an arrow nor the button covers what the player clicks.
TEST_F(TutorialFloor, ArrowsAndTheSkipButtonLeaveQuessaAndTheClicksFree)
{
    const std::shared_ptr<TTexture> arrow = TTexture::Get("ui/tutorialarrow", 0);
    ASSERT_TRUE(arrow);
    TQuessa* quessa = mFloor->GetQuessa();
    std::vector<std::pair<std::string, IStation*>> workplaces = {{"the wheel", &mFloor->GetTicketStation()},
                                                                {"the cart", &mFloor->GetDishCart()}};
    for (TEatingStation* table : mFloor->GetEatingStations())
        workplaces.push_back({"table " + std::to_string(table->GetTableNumber() + 1), table});
    for (TFoodStation* food : mFloor->FoodStations())
        workplaces.push_back({"the pass", food});
    std::vector<std::pair<std::string, TRect>> clicks = {
        {"the order wheel", mFloor->GetTicketStation().BoundingBox()},
        {"the dish cart", mFloor->GetDishCart().BoundingBox()}};
    for (TFoodStation* food : mFloor->FoodStations()) {
        TRect tray = TFoodTray().BoundingBox();
        tray.Offset(food->GetStandingSpot().x, food->GetStandingSpot().y);
        clicks.push_back({"a plate on the pass", tray});
    }
    for (TEatingStation* table : mFloor->GetEatingStations())
        clicks.push_back({"table " + std::to_string(table->GetTableNumber() + 1), TableArea(table)});
    const TPoint head = TGameData::LineSpot(0);
    clicks.push_back({"the head of the line", {head.x - 25, head.y - 100, head.x + 100, head.y + 17}});

    for (const auto& [where, station] : workplaces) {
        const TPoint spot = station->GetStandingSpot();
        quessa->SetPosition({float(spot.x), float(spot.y)});
        const TRect body = quessa->BoundingBox(false);
        ASSERT_FALSE(body.IsEmpty());
        const TRect face{body.x1, body.y1, body.x2, body.y1 + (body.y2 - body.y1) / 2};
        EXPECT_FALSE(Overlap(kSkipButton, body)) << "Skip tutorial covers Quessa at " << where << " "
                                                 << Describe(body);
        for (int step = 0; step < kTutorialSteps; ++step)
            for (const TTutorialArrow& a : gTutorialDefs[step].arrows) {
                if (a.x < 0)
                    continue;
                const int half = std::max(arrow->GetWidth(), arrow->GetHeight()) / 2;
                const TRect at{int(a.x) - half, int(a.y) - half, int(a.x) + half, int(a.y) + half};
                EXPECT_FALSE(Overlap(at, face)) << "step " << step << "'s arrow " << Describe(at)
                                                << " covers Quessa's face at " << where;
            }
    }
    for (const auto& [name, area] : clicks)
        EXPECT_FALSE(Overlap(kSkipButton, area)) << "Skip tutorial covers " << name;
    for (int step = 0; step < kTutorialSteps; ++step)
        for (const TTutorialArrow& a : gTutorialDefs[step].arrows) {
            if (a.x < 0)
                continue;
            // The arrow's own shape: long along where it points.
            const bool upright = a.angle == 0.0f || (a.angle > 3.0f && a.angle < 3.2f);
            const int halfW = (upright ? arrow->GetWidth() : arrow->GetHeight()) / 2;
            const int halfH = (upright ? arrow->GetHeight() : arrow->GetWidth()) / 2;
            const TRect at{int(a.x) - halfW, int(a.y) - halfH, int(a.x) + halfW, int(a.y) + halfH};
            for (const auto& [name, area] : clicks)
                EXPECT_FALSE(Overlap(at, area)) << "step " << step << "'s arrow " << Describe(at) << " covers "
                                                << name << " " << Describe(area);
            EXPECT_FALSE(Overlap(at, kSkipButton)) << "step " << step << "'s arrow on Skip tutorial";
        }
}
