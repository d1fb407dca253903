// What the tutorial and the coin jar draw, recorded by a display handler
// without a display: the step's box, its arrows turned to their angles, and
// the jar's dollar sign inside the jar's window.
#include "play_fixture.h"

#include "engine/render/texture.h"
#include "engine/window/stringtable.h"
#include "game/rules/levelgoals.h"
#include "game/rules/scoremanager.h"
#include "game/rules/tutorial.h"
#include "game/screens/coinjar.h"
#include "recordinghandler.h"
#include "testimages.h"

#include <cmath>
#include <memory>
#include <vector>

namespace {

class PlayDrawing : public PlayTest {
protected:
    void SetUp() override
    {
        PlayTest::SetUp();
        Picture("ui/tutorialbox.png", 300, 160);
        Picture("ui/tutorialarrow.png", 48, 64);
        Picture("ui/dollar.png", 44, 48);
        StartGame({{"tutorial_0", "Pick them up."}});
        mPlatform->GetStringTable()->SetQuiet(true);
        handler = std::make_unique<RecordingHandler>();  // textures made from here on record their draws
    }
    void TearDown() override
    {
        handler.reset();
        PlayTest::TearDown();
    }
    void Picture(const std::string& name, int width, int height)
    {
        std::filesystem::create_directories((mHome / "assets" / name).parent_path());
        testimages::WritePng((mHome / "assets" / name).string(), width, height, testimages::PngKind::Rgba,
                             testimages::Solid(width, height, {200, 120, 60, 255}));
    }
    // The sprite draws of one texture, in order.
    std::vector<RecordedDraw> DrawsOf(const std::shared_ptr<TTexture>& texture) const
    {
        std::vector<RecordedDraw> out;
        for (const RecordedDraw& d : handler->draws)
            if (texture && d.data == texture->GetData() && d.sprite)
                out.push_back(d);
        return out;
    }

    std::unique_ptr<RecordingHandler> handler;
};

TEST_F(PlayDrawing, TheTutorialShowsTheStepsBoxAndArrows)
{
    TTutorial tutorial;
    const auto box = TTexture::Get("ui/tutorialbox", 0);
    const auto arrow = TTexture::Get("ui/tutorialarrow", 0);
    tutorial.Draw();  // inactive: nothing
    tutorial.SetActive(true);
    tutorial.Draw();  // the first step waits unseen
    EXPECT_TRUE(handler->draws.empty());

    tutorial.AdvanceState(kTutorialPartyArrives, -1);
    tutorial.Draw();  // nobody in line yet: nothing to pick up
    EXPECT_TRUE(handler->draws.empty());
    tutorial.SetPartyWaiting(true);
    tutorial.Draw();
    const std::vector<RecordedDraw> boxes = DrawsOf(box), arrows = DrawsOf(arrow);
    // Where the step's row puts them: the box, an arrow at the line and one
    // at the table.
    const TTutorialDef& first = gTutorialDefs[1];
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].pos.x, first.boxX);
    EXPECT_EQ(boxes[0].pos.y, first.boxY);
    ASSERT_EQ(arrows.size(), 2u);
    EXPECT_EQ(arrows[0].pos.x, first.arrows[0].x);
    EXPECT_EQ(arrows[1].pos.x, first.arrows[1].x);
    EXPECT_EQ(arrows[1].rotation, first.arrows[1].angle);

    // The last dish step of the first round points to the cart, its arrow turned as its row says.
    for (eTutorialActions action : {kTutorialPickUpParty, kTutorialSeatParty, kTutorialReadyToOrder,
                                    kTutorialOrderTaken, kTutorialTicketPosted, kTutorialFoodReady,
                                    kTutorialFoodPickedUp, kTutorialFoodServed, kTutorialWantsCheck,
                                    kTutorialCheckCollected})
        tutorial.AdvanceState(action, 1);
    tutorial.Update(2.5f);
    tutorial.AdvanceState(kTutorialPartyLeaves, 1);
    tutorial.AdvanceState(kTutorialDishesPickedUp, 1);
    ASSERT_EQ(tutorial.GetStep(), 16);
    handler->draws.clear();
    tutorial.Draw();
    ASSERT_EQ(DrawsOf(arrow).size(), 1u);
    EXPECT_FLOAT_EQ(DrawsOf(arrow)[0].rotation, gTutorialDefs[16].arrows[0].angle);
    EXPECT_NE(DrawsOf(arrow)[0].rotation, 0.0f);
    EXPECT_EQ(DrawsOf(box)[0].pos.y, gTutorialDefs[16].boxY);
}

// The last steps clear both tables and then take the dishes to the cart:
// the arrows point where the player can act, the tables still to clear,
// then (with both clear and the dishes in hand) the cart alone.
TEST_F(PlayDrawing, TheLastStepsPointAtWhatIsLeftToDo)
{
    TTutorial tutorial;
    const auto arrow = TTexture::Get("ui/tutorialarrow", 0);
    tutorial.SetActive(true);
    int clears = 0;
    const auto secondRoundsClearing = [&tutorial] {
        return tutorial.GetStep() > 17 && gTutorialDefs[tutorial.GetStep()].action == kTutorialDishesPickedUp;
    };
    while (tutorial.IsActive() && !secondRoundsClearing()) {
        const TTutorialDef& step = gTutorialDefs[tutorial.GetStep()];
        tutorial.AdvanceState(static_cast<eTutorialActions>(step.action), step.param < 0 ? 0 : step.param);
        ASSERT_LT(++clears, 100) << "the tutorial is stuck at step " << tutorial.GetStep();
    }
    ASSERT_TRUE(secondRoundsClearing());
    const auto arrowsAt = [&] {
        handler->draws.clear();
        tutorial.Draw();
        std::vector<float> xs;
        for (const RecordedDraw& d : DrawsOf(arrow))
            xs.push_back(d.pos.x);
        return xs;
    };
    const TTutorialDef& clearing = gTutorialDefs[tutorial.GetStep()];
    std::vector<float> tables;
    for (const TTutorialArrow& a : clearing.arrows)
        if (a.x >= 0) {
            EXPECT_GE(a.table, 0) << "an arrow off the tables while only tables can be clicked";
            tables.push_back(a.x);
        }
    ASSERT_EQ(tables.size(), 2u);
    EXPECT_EQ(arrowsAt(), tables);

    // One table cleared: its arrow goes, the other's stays.
    const int first = clearing.arrows[0].table;
    tutorial.AdvanceState(kTutorialDishesPickedUp, first);
    ASSERT_EQ(gTutorialDefs[tutorial.GetStep()].action, kTutorialDishesPickedUp);
    EXPECT_EQ(arrowsAt(), std::vector<float>{tables[1]});

    // Both cleared: the cart alone, whatever the step's text.
    tutorial.AdvanceState(kTutorialDishesPickedUp, clearing.arrows[1].table);
    const TTutorialDef& toCart = gTutorialDefs[tutorial.GetStep()];
    ASSERT_EQ(toCart.action, kTutorialDishesToCart);
    const std::vector<float> cart = arrowsAt();
    ASSERT_EQ(cart.size(), 1u);
    EXPECT_EQ(toCart.arrows[0].table, -1);
    EXPECT_EQ(cart[0], toCart.arrows[0].x);
}

TEST_F(PlayDrawing, TheDollarBlinksOverTheJarInItsWindow)
{
    struct : ILevelGoals {
        int GetCurrentGoal() const override { return 100; }
        int GetCurrentExpert() const override { return 200; }
    } goals;
    TCoinJar jar;
    const auto dollar = TTexture::Get("ui/dollar", 0);
    jar.SetWindowPos(690, 470);
    TScoreManager score;
    score.SetCoinJar(&jar);
    score.StartLevel();
    score.ChairBonus(1, 0, 0, 0);
    jar.Update(0.1f, &score, &goals);
    jar.Draw();
    ASSERT_EQ(DrawsOf(dollar).size(), 1u);
    // The jar has no picture here, so its registration point is the window's corner.
    EXPECT_EQ(DrawsOf(dollar)[0].pos.x, 690);
    EXPECT_EQ(DrawsOf(dollar)[0].pos.y, 470);
    jar.Update(0.2f, &score, &goals);  // the blink's off quarter
    jar.Draw();
    EXPECT_EQ(DrawsOf(dollar).size(), 1u);
}

}  // namespace
