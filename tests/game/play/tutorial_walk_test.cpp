// A newcomer walks the whole tutorial of the first career level on the
// shipped data, doing at each tip just what the tip teaches (press on the
// party, drag it to a table, click the table, the wheel, the plate, the
// cart) and otherwise waiting. Every tip's action is accepted while the tip
// shows, no party walks in while a tip waits for the player, and the
// restaurant does not close before the walk-through ends. Then the shift
// plays on to its end. The first endless game walks the same tutorial on
// the same level, with its own tips (the upgrade notice, the lives), and
// then starts its first shift from nothing.
#include "floor_data_fixture.h"

#include "engine/platform/platform.h"
#include "game/floor/chair.h"
#include "game/floor/customer.h"
#include "game/floor/dishcart.h"
#include "game/floor/eatingstation.h"
#include "game/floor/foodstation.h"
#include "game/floor/party.h"
#include "game/floor/quessa.h"
#include "game/floor/ticketstation.h"
#include "game/play/gamestate.h"
#include "game/rules/scoremanager.h"
#include "game/rules/tutorial.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60;
// Longer than any wait the level makes (reading a menu, cooking, eating).
constexpr int kPatienceFrames = 60 * 90;

TPoint Centre(const TRect& r) { return {(r.x1 + r.x2) / 2, (r.y1 + r.y2) / 2}; }

}  // namespace

class TutorialWalk : public FloorTest {
protected:
    void SetUp() override
    {
        FloorTest::SetUp();
        mSettings->SetCurrentRestaurant(0);
        mSettings->SetCurrentLevel(0);
    }

    void StartFloor()
    {
        mPlatform->SeedRand(11);
        mFloor = std::make_unique<TGameData>(mGlobals, &mScore, &mHost.events);
        mFloor->SetupStars();
        mFloor->SetupLevel();
        mFloor->StartIntro();
        for (int frame = 0; frame < 600 && mFloor->GetState() != kPlaying; ++frame)
            mFloor->Update(kFrame);
    }

    TTutorial& Tutorial() { return mFloor->GetTutorial(); }

    // One frame of game time, watching what the tutorial holds back.
    void Frame()
    {
        const bool showing = Tutorial().IsShowing();
        const int step = Tutorial().GetStep();
        const std::size_t waiting = mFloor->GetWaitingParties().size();
        mFloor->Update(kFrame);
        if (mFloor->GetWaitingParties().size() > waiting) {
            ++mArrivals;
            EXPECT_FALSE(showing) << "a party arrived while tip " << step << " (" << gTutorialDefs[step].key
                                  << ") waited for the player";
        }
        if (Tutorial().IsActive()) {
            EXPECT_EQ(mFloor->GetState(), kPlaying);
            EXPECT_FALSE(mFloor->GetLevelManager()->IsClosed()) << "the last party came during step " << step;
            EXPECT_FALSE(mFloor->IsClosedShown()) << "the clock ran out during step " << step;
        }
    }

    bool RunUntil(const std::function<bool()>& done, int frames = kPatienceFrames)
    {
        for (int frame = 0; frame < frames; ++frame) {
            if (done())
                return true;
            Frame();
        }
        return done();
    }

    // A point a player would click to send Quessa to the station, if the
    // floor takes a click there now.
    bool PointOn(IStation* station, TPoint* point)
    {
        int kind = 0;
        for (TPoint origin : {station->GetCheckmarkSpot(), station->GetStandingSpot()})
            for (int radius = 0; radius <= 90; radius += 3)
                for (int dy = -radius; dy <= radius; dy += 3)
                    for (int dx = -radius; dx <= radius; dx += 3) {
                        if (std::abs(dx) != radius && std::abs(dy) != radius)
                            continue;
                        const TPoint p{origin.x + dx, origin.y + dy};
                        if (mFloor->StationAt(p, &kind) == station) {
                            *point = p;
                            return true;
                        }
                    }
        return false;
    }

    // The stations the step's text asks the player to click.
    std::vector<IStation*> Targets(const TTutorialDef& def)
    {
        std::vector<IStation*> targets;
        switch (def.action) {
        case kTutorialTicketPosted: targets.push_back(&mFloor->GetTicketStation()); break;
        case kTutorialDishesToCart: targets.push_back(&mFloor->GetDishCart()); break;
        case kTutorialFoodPickedUp:
            for (TFoodStation* food : mFloor->FoodStations())
                if (food->IsOrderReady() && (def.param < 0 || food->GetTableNumber() == def.param))
                    targets.push_back(food);
            break;
        default:
            // (the tip names the table with dirty dishes, not a clean one)
            for (TEatingStation* table : mFloor->GetEatingStations())
                if ((def.param < 0 || table->GetTableNumber() == def.param) &&
                    (def.action != kTutorialDishesPickedUp || table->HasDishes()))
                    targets.push_back(table);
        }
        return targets;
    }

    // The tip asks for a click: one of its stations takes it at once.
    void ClickAsTold(const TTutorialDef& def)
    {
        TPoint point;
        IStation* hit = nullptr;
        for (IStation* station : Targets(def))
            if (PointOn(station, &point)) {
                hit = station;
                break;
            }
        ASSERT_NE(hit, nullptr) << "nothing the tip names takes a click";
        EXPECT_TRUE(mFloor->MouseDown(point));
        mFloor->MouseUp(point);
    }

    // The tip asks to press on the party in line: the head of the line.
    void PickUpAsTold()
    {
        ASSERT_TRUE(RunUntil([&] { return !mFloor->GetWaitingParties().empty(); }));
        ASSERT_TRUE(Tutorial().IsShowing());
        ASSERT_TRUE(Tutorial().AllowCustomerPickup());
        TParty* party = mFloor->GetWaitingParties().front();
        for (TCustomer* member : party->MembersInBuildOrder()) {
            const TRect box = member->BoundingBox();
            for (TPoint p : {Centre(box), TPoint{Centre(box).x, box.y1 + (box.y2 - box.y1) / 5}}) {
                mFloor->MouseDown(p);
                if (mFloor->CursorState() == EFloorCursor::kGrabbingHand) {
                    // The drag starts with the first move of the held party.
                    mGrab = p;
                    mFloor->MouseMove({p.x + 4, p.y});
                    return;
                }
                mFloor->MouseUp(p);
            }
        }
        FAIL() << "the party at the head of the line cannot be picked up";
    }

    // The tip asks to drop the party on its table, or any free one.
    void SeatAsTold(const TTutorialDef& def)
    {
        TEatingStation* target = nullptr;
        for (TEatingStation* table : mFloor->GetEatingStations())
            if ((def.param < 0 || table->GetTableNumber() == def.param) && !table->GetParty() &&
                !table->HasDishes()) {
                target = table;
                break;
            }
        ASSERT_NE(target, nullptr) << "no free table to seat them at";
        EXPECT_TRUE(Tutorial().AllowCustomerDropoff(target->GetTableNumber()));
        TPoint drop = Centre(target->GetChair(target->GetFirstSeat())->BoundingBox());
        if (!target->MouseOverBox().Contains(drop))
            drop = Centre(target->MouseOverBox());
        mFloor->MouseMove({(mGrab.x + drop.x) / 2, (mGrab.y + drop.y) / 2});
        mFloor->MouseMove(drop);
        mFloor->MouseUp(drop);
        EXPECT_NE(target->GetParty(), nullptr) << "the table refused the party";
    }

    // The tip points at the upgrade notice: it shows, and the player opens
    // the upgrade screen, which tells the tutorial so (as the game's screen
    // does when it fills its offers).
    void OpenUpgradesAsTold()
    {
        ASSERT_TRUE(RunUntil([&] { return mHost.Count<levelevent::UpgradeNoticeShown>() > 0; }, 60 * 5))
            << "the upgrade notice the tip points at never shows";
        mFloor->GetTutorial().AdvanceState(kTutorialUpgradeScreen, -1);
    }

    void DoAsTold(const TTutorialDef& def)
    {
        switch (def.action) {
        case kTutorialUpgradeScreen: OpenUpgradesAsTold(); break;
        case kTutorialPickUpParty: PickUpAsTold(); break;
        case kTutorialSeatParty: SeatAsTold(def); break;
        case kTutorialTicketPosted:
        case kTutorialFoodPickedUp:
        case kTutorialDishesToCart:
        case kTutorialOrderTaken:
        case kTutorialFoodServed:
        case kTutorialCheckCollected:
        case kTutorialDishesPickedUp: ClickAsTold(def); break;
        default: break;  // a tip that asks the player to wait
        }
    }

    // Does at each tip what it asks until the tutorial ends; the keys of
    // the tips that showed, in order.
    std::vector<std::string> FollowEveryTip()
    {
        std::vector<std::string> shown;
        for (int guard = 0; Tutorial().IsActive() && guard < 2 * kTutorialSteps; ++guard) {
            const int step = Tutorial().GetStep();
            const TTutorialDef& def = gTutorialDefs[step];
            SCOPED_TRACE("step " + std::to_string(step) + " (" + def.key + ")");
            // (a tip on a party to pick up waits, unseen, for one to come)
            if (def.action == kTutorialPickUpParty && !RunUntil([&] { return !mFloor->GetWaitingParties().empty(); }))
                ADD_FAILURE() << "no party came";
            if (Tutorial().IsShowing())
                shown.push_back(def.key);
            DoAsTold(def);
            if (HasFatalFailure())
                return shown;
            if (!RunUntil([&] { return !Tutorial().IsActive() || Tutorial().GetStep() != step; })) {
                ADD_FAILURE() << "the step never moved on";
                return shown;
            }
        }
        return shown;
    }

    static bool Showed(const std::vector<std::string>& shown, const char* key)
    {
        return std::find(shown.begin(), shown.end(), key) != shown.end();
    }

    TScoreManager mScore;
    std::unique_ptr<TGameData> mFloor;
    TPoint mGrab{};
    int mArrivals = 0;
};

TEST_F(TutorialWalk, ANewcomerFollowsEveryTipToTheEndOfTheShift)
{
    StartFloor();
    ASSERT_EQ(mFloor->GetState(), kPlaying);
    ASSERT_TRUE(Tutorial().IsActive());
    const std::vector<std::string> shown = FollowEveryTip();
    if (HasFailure())
        return;
    ASSERT_FALSE(Tutorial().IsActive());
    // Every career tip was met on the way, the chain's among them.
    for (const char* key : {"tutorial_0", "tutorial_3", "tutorial_8", "tutorial_14", "tutorial_14_a",
                            "tutorial_15", "tutorial_16", "tutorial_16a", "tutorial_17", "tutorial_23"})
        EXPECT_TRUE(Showed(shown, key)) << key << " never showed";
    for (const char* key : {"tutorial_upgradebutton", "tutorial_endless_lives", "tutorial_endless_end"})
        EXPECT_FALSE(Showed(shown, key)) << key << " is not a career tip";
    // Three parties came during the walk-through; the rest come now.
    EXPECT_EQ(mArrivals, 3);
    EXPECT_FALSE(mFloor->GetLevelManager()->IsClosed());

    TFloorBot bot(*mFloor);
    for (int frame = 0; frame < 60 * 600 && mHost.Results().empty(); ++frame) {
        bot.Act();
        Frame();
    }
    ASSERT_EQ(mHost.Results().size(), 1u) << "the shift never ended";
    EXPECT_EQ(mArrivals, 6);
}

// The first endless game, from the easy difficulty: the tutorial plays on
// the first career level, the HUD reads shift 0 with the shift's lives, the
// goal of the first check brings up the upgrade notice the tip points at,
// and when the last tip is done the first shift starts at shift 1 from a
// score of 0, with the tutorial's score recorded nowhere.
TEST_F(TutorialWalk, TheFirstEndlessGameFollowsEveryTipIntoItsFirstShift)
{
    mSettings->SetCurrentGameMode(TSettings::kEndlessMode);
    ASSERT_FALSE(mSettings->HasPlayedEndlessTutorial());
    StartFloor();
    ASSERT_EQ(mFloor->GetState(), kPlaying);
    ASSERT_TRUE(Tutorial().IsActive());
    ASSERT_FALSE(mFloor->IsEndless());  // the career's first level
    EXPECT_EQ(mFloor->GetLives(), mFloor->GetLevelManager()->GetNumStars());
    EXPECT_GT(mFloor->GetLives(), 1);
    EXPECT_EQ(mFloor->GetCurrentGoal(), 100);
    const int careerScore = mSettings->GetCareerScore(-1);

    const std::vector<std::string> shown = FollowEveryTip();
    if (HasFailure())
        return;
    ASSERT_FALSE(Tutorial().IsActive());
    for (const char* key : {"tutorial_0", "tutorial_9", "tutorial_upgradebutton", "tutorial_10a", "tutorial_14",
                            "tutorial_22", "tutorial_endless_lives", "tutorial_endless_end"})
        EXPECT_TRUE(Showed(shown, key)) << key << " never showed";
    EXPECT_FALSE(Showed(shown, "tutorial_23")) << "a career tip showed";
    EXPECT_TRUE(mHost.Results().empty()) << "the tutorial's level ended with a result";

    // The last tip hands over to the first shift, as a skip would.
    ASSERT_TRUE(mFloor->IsEndless());
    EXPECT_TRUE(mSettings->HasPlayedEndlessTutorial());
    for (int frame = 0; frame < 60 * 10 && (mFloor->IsRestartPending() || mFloor->GetState() != kPlaying); ++frame)
        mFloor->Update(kFrame);
    ASSERT_EQ(mFloor->GetState(), kPlaying);
    EXPECT_EQ(mScore.GetScore(), 0);
    EXPECT_EQ(mFloor->GetLevelManager()->GetCurrentLevelStr(), str("1"));
    EXPECT_EQ(mSettings->GetCareerScore(-1), careerScore);
    EXPECT_EQ(mSettings->GetLevelScore(0, 0), 0) << "the tutorial's score went into the career";
}
