// The tutorial driven by reported events: steps advance on the event they
// wait for, events ahead of time are remembered, clicks and drags the step
// does not ask for are refused, and each game mode skips the other's rows.
#include "play_fixture.h"

#include "engine/text/textgraphic.h"
#include "engine/window/stringtable.h"
#include "game/rules/tutorial.h"
#include "testimages.h"

#include <set>

namespace {

class Tutorial : public PlayTest {
protected:
    void StartWithBox(bool box)
    {
        if (box) {
            std::filesystem::create_directories(mHome / "assets/ui");
            testimages::WritePng((mHome / "assets/ui/tutorialbox.png").string(), 300, 160, testimages::PngKind::Rgba,
                                 testimages::Solid(300, 160, {250, 240, 200, 255}));
        }
        StartGame({{"tutorial_0", "Drag the party to a table."}, {"tutorial_1", "Drop them on table 1."},
                   {"tutorial_2", "Wait until they are ready."}});
        mPlatform->GetStringTable()->SetQuiet(true);  // most step texts are not in this table
        tutorial = std::make_unique<TTutorial>();
        tutorial->SetActive(true);
    }
    void TearDown() override
    {
        tutorial.reset();
        PlayTest::TearDown();
    }
    // Reports what the current step waits for (timed steps by waiting),
    // until the tutorial ends; returns every step shown on the way.
    std::set<int> PlayThrough()
    {
        std::set<int> shown;
        for (int guard = 0; tutorial->IsActive() && guard < 200; ++guard) {
            shown.insert(tutorial->GetStep());
            PlayThroughOne();
        }
        return shown;
    }
    void PlayThroughOne()
    {
        const TTutorialDef& def = gTutorialDefs[tutorial->GetStep()];
        if (def.action == kTutorialTwoSeconds || def.action == kTutorialFourSeconds)
            tutorial->Update(0.5f);
        else
            tutorial->AdvanceState(eTutorialActions(def.action), def.param == -1 ? 3 : def.param);
    }
    std::string Text() const { return tutorial->GetTextGraphic()->GetText().c_str(); }

    std::unique_ptr<TTutorial> tutorial;
};

TEST_F(Tutorial, FirstTableStepsAdvanceOnTheirEventsAndRefuseOtherClicks)
{
    StartWithBox(true);
    ASSERT_NE(tutorial->GetTextGraphic(), nullptr);
    EXPECT_FALSE(tutorial->AllowCustomerPickup());  // nobody has arrived yet
    tutorial->AdvanceState(kTutorialPartyArrives, -1);
    EXPECT_EQ(tutorial->GetStep(), 1);
    EXPECT_EQ(Text(), "Drag the party to a table.");

    EXPECT_TRUE(tutorial->AllowCustomerPickup());
    tutorial->AdvanceState(kTutorialPickUpParty, -1);
    EXPECT_EQ(Text(), "Drop them on table 1.");
    EXPECT_FALSE(tutorial->AllowCustomerDropoff(2));
    EXPECT_TRUE(tutorial->AllowCustomerDropoff(1));
    tutorial->RevertState(kTutorialSeatParty);  // let go over the line
    EXPECT_EQ(tutorial->GetStep(), 1);
    tutorial->AdvanceState(kTutorialPickUpParty, -1);
    tutorial->AdvanceState(kTutorialSeatParty, 2);  // the wrong table changes nothing here
    EXPECT_EQ(tutorial->GetStep(), 2);
    tutorial->AdvanceState(kTutorialSeatParty, 1);
    EXPECT_EQ(tutorial->GetStep(), 3);
    EXPECT_EQ(Text(), "Wait until they are ready.");

    EXPECT_FALSE(tutorial->AllowAction(kTutorialOrderTaken, 1));  // not ready to order yet
    tutorial->AdvanceState(kTutorialReadyToOrder, 1);
    EXPECT_TRUE(tutorial->AllowAction(kTutorialOrderTaken, 1));
    EXPECT_FALSE(tutorial->AllowAction(kTutorialOrderTaken, 2));
    EXPECT_FALSE(tutorial->AllowAction(kTutorialFoodPickedUp, 1));
    EXPECT_FALSE(tutorial->AllowAction(kTutorialDishesToCart, -1));

    // Food served at table 2 now is remembered for the first later step that waits for it.
    tutorial->AdvanceState(kTutorialFoodServed, 2);
    EXPECT_EQ(tutorial->GetStep(), 4);
    EXPECT_FALSE(tutorial->IsDone(8));  // that one waits for table 1
    EXPECT_TRUE(tutorial->IsDone(30));
    // A pick-up never counts ahead.
    tutorial->AdvanceState(kTutorialPickUpParty, -1);
    EXPECT_FALSE(tutorial->IsDone(18));

    const eTutorialActions round[] = {kTutorialOrderTaken, kTutorialTicketPosted, kTutorialFoodReady,
                                      kTutorialFoodPickedUp, kTutorialFoodServed, kTutorialWantsCheck,
                                      kTutorialCheckCollected};
    for (eTutorialActions action : round)
        tutorial->AdvanceState(action, 1);
    EXPECT_EQ(tutorial->GetStep(), 12);  // the endless-only upgrade step is passed over

    tutorial->Update(1.5f);
    EXPECT_EQ(tutorial->GetStep(), 12);
    tutorial->Update(0.6f);  // two seconds on the step
    EXPECT_EQ(tutorial->GetStep(), 14);

    // The two steps that wait for food pick-ups need two of them; the early
    // serving lets the first serving step pass unseen.
    while (tutorial->GetStep() < 28)
        PlayThroughOne();
    tutorial->AdvanceState(kTutorialFoodPickedUp, 4);
    EXPECT_EQ(tutorial->GetStep(), 29);
    tutorial->AdvanceState(kTutorialFoodPickedUp, 5);
    EXPECT_EQ(tutorial->GetStep(), 31);
}

TEST_F(Tutorial, EachModeShowsItsOwnRowsAndTheTutorialEnds)
{
    StartWithBox(true);
    const std::set<int> career = PlayThrough();
    EXPECT_FALSE(tutorial->IsActive());
    for (int row : {12, 41})
        EXPECT_TRUE(career.count(row)) << row;
    for (int row : {11, 13, 42, 43})
        EXPECT_FALSE(career.count(row)) << row;

    mSettings->SetCurrentGameMode(TSettings::kEndlessMode);
    tutorial->Reset();
    EXPECT_FALSE(tutorial->IsActive());  // Reset leaves the switch alone
    tutorial->SetActive(true);
    const std::set<int> endless = PlayThrough();
    for (int row : {11, 13, 42, 43})
        EXPECT_TRUE(endless.count(row)) << row;
    for (int row : {12, 41})
        EXPECT_FALSE(endless.count(row)) << row;

    // Switched off, every question is answered yes.
    EXPECT_FALSE(tutorial->IsActive());
    EXPECT_TRUE(tutorial->AllowCustomerPickup());
    EXPECT_TRUE(tutorial->AllowCustomerDropoff(7));
    EXPECT_TRUE(tutorial->AllowAction(kTutorialDishesToCart, 3));
}

TEST_F(Tutorial, WithoutItsBoxTheTutorialStillRunsButShowsNothing)
{
    StartWithBox(false);
    EXPECT_EQ(tutorial->GetTextGraphic(), nullptr);
    tutorial->AdvanceState(kTutorialPartyArrives, -1);
    tutorial->RevertState(kTutorialPickUpParty);
    tutorial->Draw();
    EXPECT_EQ(tutorial->GetStep(), 0);
}

}  // namespace

// Parties come in only while a step waits for one: the unseen steps that
// wait for an arrival, or a step that teaches picking up a party while the
// line is empty (it shows nothing until one is there). Every other tip holds
// them back.
TEST_F(Tutorial, ArrivalsWaitWhileATipWaitsForThePlayer)
{
    StartWithBox(true);
    EXPECT_FALSE(tutorial->HoldsArrivals());  // step 0: the first party
    EXPECT_FALSE(tutorial->IsShowing());
    tutorial->AdvanceState(kTutorialPartyArrives, -1);
    tutorial->SetPartyWaiting(true);
    EXPECT_TRUE(tutorial->IsShowing());
    EXPECT_TRUE(tutorial->HoldsArrivals());
    tutorial->SetPartyWaiting(false);  // (a pick-up step with nobody to pick up)
    EXPECT_FALSE(tutorial->IsShowing());
    EXPECT_FALSE(tutorial->HoldsArrivals());
    tutorial->SetPartyWaiting(true);
    tutorial->AdvanceState(kTutorialPickUpParty, -1);
    EXPECT_TRUE(tutorial->HoldsArrivals());
    tutorial->AdvanceState(kTutorialSeatParty, 1);
    tutorial->SetPartyWaiting(false);
    for (int step = tutorial->GetStep(); tutorial->IsActive() && gTutorialDefs[step].action != kTutorialPartyArrives;
         step = tutorial->GetStep()) {
        EXPECT_TRUE(tutorial->HoldsArrivals()) << "step " << step;
        PlayThroughOne();
    }
    EXPECT_FALSE(tutorial->HoldsArrivals());  // step 17: the next party
    tutorial->SetActive(false);
    EXPECT_FALSE(tutorial->HoldsArrivals());
    EXPECT_FALSE(tutorial->IsShowing());
}
