// Scoring on a fixture actionpoints.xml: chains and their breaks, the
// chair-colour bonus, tips paid as landing coins, walk-out penalties, and the
// coin jar filling to the level's earnings.
#include "play_fixture.h"

#include "game/rules/levelgoals.h"
#include "game/rules/scoremanager.h"
#include "game/screens/coinjar.h"

#include <memory>

namespace {

const char* const kActionPoints =
    "<?xml version=\"1.0\"?>\n<dataroot><actionpoints>"
    "<maxChairBonusMultiplier>3</maxChairBonusMultiplier><baseChairBonus>120</baseChairBonus>"
    "<buzzBonus>7</buzzBonus><ticket>50</ticket><food>100</food><dessert>80</dessert>"
    "<dishes>30</dishes><check>40</check><drinks>20</drinks><snack>10</snack><mop>15</mop>"
    "<camera>25</camera></actionpoints></dataroot>\n";

struct TGoals : ILevelGoals {
    TGoals(int goal_, int expert_) : goal(goal_), expert(expert_) {}
    int goal, expert;
    int GetCurrentGoal() const override { return goal; }
    int GetCurrentExpert() const override { return expert; }
};

class Scoring : public PlayTest {
protected:
    void SetUp() override
    {
        PlayTest::SetUp();
        WriteAsset("config/actionpoints.xml", kActionPoints);
        StartGame({{"foodchain", "Food chain x%1%"}, {"dessertchain", "Dessert chain x%1%"},
                   {"colorchain", "Colour match x%1%"}});
        score = std::make_unique<TScoreManager>();
    }
    void TearDown() override
    {
        score.reset();
        PlayTest::TearDown();
    }
    std::string LastText() const { return score->GetBubbles().back()->text.c_str(); }

    std::unique_ptr<TScoreManager> score;
};

TEST_F(Scoring, ChainsGrowBreakAndKeepTheirCaptions)
{
    score->SetScore(1000);
    score->StartLevel();
    // No jar handed over yet: points still count.
    for (int i = 0; i < 3; ++i)
        score->ScoreAction(kScoreFood, 300, 280);
    EXPECT_EQ(score->GetScore(), 1000 + 100 + 200 + 300);
    EXPECT_EQ(LastText(), "+ 300<br>Food chain x3");
    EXPECT_EQ(score->GetBubbles().front()->text, str("+ 100"));

    score->BreakChain(kScoreDrink);  // a drink-station visit breaks the food chain
    score->ScoreAction(kScoreFood, 300, 280);
    EXPECT_EQ(score->GetScore(), 1700);
    EXPECT_EQ(LastText(), "+ 100");

    score->ScoreAction(kScoreDessert, 0, 0);
    score->BreakChain(kScoreDessert);  // the dessert station keeps a dessert chain
    score->ScoreAction(kScoreDessert, 0, 0);
    EXPECT_EQ(score->GetScore(), 1700 + 80 + 160);
    EXPECT_EQ(LastText(), "+ 160<br>Dessert chain x2");

    // Drinks have no caption of their own: the chain shows its points alone.
    score->ScoreAction(kScoreDrink, 0, 0);
    score->ScoreAction(kScoreDrink, 0, 0);
    EXPECT_EQ(LastText(), "+ 40");
    EXPECT_EQ(score->GetScore(), 1940 + 20 + 40);

    // High chairs score nothing and show nothing, but start their own chain.
    const size_t bubbles = score->GetBubbles().size();
    score->ScoreAction(kScoreHighChair, 0, 0);
    EXPECT_EQ(score->GetBubbles().size(), bubbles);
    EXPECT_EQ(score->GetChainAction(), kScoreHighChair);
    EXPECT_EQ(score->GetChainCount(), 1);

    score->ScoreAction(kScoreCheck, 0, 0);
    score->ScoreAction(kScoreCheck, 0, 0);
    EXPECT_EQ(score->GetChecksCollected(), 2);
    EXPECT_EQ(score->GetScore(), 2000 + 40 + 80);
    EXPECT_EQ(score->GetBuzzBonus(), 7);
}

TEST_F(Scoring, ColourMatchesPayCappedBonusesInThePartyColour)
{
    struct Case {
        int count, colour;
        int gain;
        TColor tint;
        const char* text;
    };
    score->StartLevel();
    const Case cases[] = {
        {1, 0, 120, {1, 0, 0, 1}, "+ 120!"},     // no action chain yet: no caption
        {2, 1, 240, {0, 0, 1, 1}, "+ 240!"},
        {7, 2, 360, {0, 1, 0, 1}, "+ 360!"},     // capped at 3 steps
        {3, 9, 360, {1, 1, 1, 1}, "+ 360!"},     // an unknown colour stays white
        {0, 4, 0, {}, nullptr},                  // nothing to pay: no bubble
    };
    int expected = 0;
    for (const Case& c : cases) {
        const size_t before = score->GetBubbles().size();
        score->ChairBonus(c.count, c.colour, 100, 100);
        expected += c.gain;
        EXPECT_EQ(score->GetScore(), expected) << c.count;
        if (!c.text) {
            EXPECT_EQ(score->GetBubbles().size(), before);
            continue;
        }
        const TScoreBubble& bubble = *score->GetBubbles().back();
        EXPECT_EQ(std::string(bubble.text.c_str()), c.text);
        EXPECT_EQ(bubble.colour.r, c.tint.r);
        EXPECT_EQ(bubble.colour.g, c.tint.g);
        EXPECT_EQ(bubble.colour.b, c.tint.b);
    }
    // With an action chain running the bubble names the match, and the chain is untouched.
    score->ScoreAction(kScoreOrder, 0, 0);
    score->ChairBonus(2, 3, 0, 0);
    EXPECT_EQ(LastText(), "+ 240!<br>Colour match x2");
    EXPECT_EQ(score->GetChainAction(), kScoreOrder);
    EXPECT_EQ(score->GetChainCount(), 1);
}

TEST_F(Scoring, TipsLandAsCoinsAndWalkOutsNeverSinkBelowTheLevelStart)
{
    score->SetScore(500);
    score->StartLevel();
    score->Tip(0, 200, 300);
    score->Tip(-5, 200, 300);
    EXPECT_TRUE(score->GetCoins().empty());

    score->Tip(25, 200, 300);
    score->Update(0.25f);
    const TCoinFlip& coin = *score->GetCoins().front();
    EXPECT_FLOAT_EQ(coin.y, 300 - std::sqrt(0.5f) * 40);  // rising
    score->Update(0.5f);
    EXPECT_FLOAT_EQ(coin.y, 300 - (1 - 0.25f) * 40);       // falling back
    EXPECT_EQ(score->GetScore(), 500);                     // not paid in flight
    score->Update(0.25f);
    EXPECT_TRUE(score->GetCoins().empty());
    EXPECT_EQ(score->GetScore(), 525);
    const TScoreBubble& paid = *score->GetBubbles().back();
    EXPECT_EQ(paid.text, str("+ 25!"));
    EXPECT_TRUE(paid.bounce);
    EXPECT_FLOAT_EQ(paid.y, 300 - 100 * 0.25f);  // thrown from the origin, first rise with the landing frame

    score->ScoreAction(kScoreDishes, 0, 0);  // 555
    score->Penalize(-20, 50, 60);
    EXPECT_EQ(score->GetScore(), 535);
    EXPECT_EQ(LastText(), "-20");
    score->Penalize(-1000, 50, 60);  // more than the level earned
    EXPECT_EQ(score->GetScore(), 500);
    EXPECT_EQ(score->GetPenalties(), 2);
    EXPECT_EQ(score->GetPenaltyPoints(), -1020);  // what they asked, floor or not

    // A restart takes the gains back and drops a coin still in the air, unpaid.
    score->ScoreAction(kScoreMop, 0, 0);
    score->Tip(50, 0, 0);
    score->ResetLevel();
    score->Update(2.0f);
    EXPECT_EQ(score->GetScore(), 500);
    EXPECT_EQ(score->GetPenalties(), 0);
    EXPECT_EQ(score->GetPenaltyPoints(), 0);
    EXPECT_TRUE(score->GetBubbles().empty());

    // Bubbles rise for their lifetime, then go.
    score->ScoreAction(kScoreSnack, 10, 100);
    score->Update(0.5f);
    EXPECT_FLOAT_EQ(score->GetBubbles().back()->y, 50);
    score->Update(0.3f);
    EXPECT_TRUE(score->GetBubbles().empty());
}

TEST_F(Scoring, TheCoinJarFillsToTheLevelsEarningsAndFlashes)
{
    TCoinJar jar;
    TGoals goals(1000, 2000);
    score->SetCoinJar(&jar);
    score->SetScore(4000);  // best scores of the other levels
    score->StartLevel();
    jar.Update(0.1f, score.get(), &goals);
    EXPECT_EQ(jar.GetFillFrame(), 0);
    EXPECT_FALSE(jar.IsDollarShown());

    struct Step {
        int earned, frame;
    };
    const Step steps[] = {{1, 1}, {199, 1}, {200, 2}, {400, 3}, {600, 4}, {999, 4},
                          {1000, 6}, {1500, 7}, {2000, 8}, {2500, 9}, {9000, 9}};
    for (const Step& s : steps) {
        score->SetScore(4000 + s.earned);
        jar.Update(0.0f, score.get(), &goals);
        EXPECT_EQ(jar.GetFillFrame(), s.frame) << s.earned;
    }

    // Points arriving start a flash: on a quarter second, off a quarter, until 2.5 s.
    score->ScoreAction(kScoreCheck, 0, 0);
    jar.Update(0.1f, score.get(), &goals);
    EXPECT_TRUE(jar.IsDollarShown());
    jar.Update(0.2f, score.get(), &goals);
    EXPECT_FALSE(jar.IsDollarShown());
    jar.Update(1.85f, score.get(), &goals);
    EXPECT_TRUE(jar.IsDollarShown());  // 2.15 s: the fifth blink
    jar.Update(0.2f, score.get(), &goals);
    EXPECT_FALSE(jar.IsDollarShown());
    jar.Update(0.2f, score.get(), &goals);
    EXPECT_FALSE(jar.IsDollarShown());  // over
    jar.FlashDollarSign();
    jar.Reset();
    jar.Update(0.0f, score.get(), &goals);
    EXPECT_FALSE(jar.IsDollarShown());

    // A goal below 5 has no steps: any points below it show the first stage.
    goals.goal = 4;
    score->SetScore(4003);
    jar.Update(0.0f, score.get(), &goals);
    EXPECT_EQ(jar.GetFillFrame(), 1);

    // Endless play: past the goal the jar stays as it is.
    mSettings->SetCurrentGameMode(TSettings::kEndlessMode);
    goals.goal = 1000;
    score->SetScore(4600);
    jar.Update(0.0f, score.get(), &goals);
    EXPECT_EQ(jar.GetFillFrame(), 4);
    score->SetScore(6000);
    jar.Update(0.0f, score.get(), &goals);
    EXPECT_EQ(jar.GetFillFrame(), 4);
}

TEST_F(Scoring, TheJarFollowsAServedLevelToItsEarnings)
{
    TCoinJar jar;
    TGoals goals(500, 800);
    score->SetCoinJar(&jar);
    score->StartLevel();
    // One party: order, food, tip, check, dishes → 50 + 100 + 12 + 40 + 30.
    score->ScoreAction(kScoreOrder, 0, 0);
    score->ScoreAction(kScoreFood, 0, 0);
    score->Tip(12, 0, 0);
    score->ScoreAction(kScoreCheck, 0, 0);
    score->ScoreAction(kScoreDishes, 0, 0);
    for (int frame = 0; frame < 61; ++frame) {
        score->Update(1.0f / 60);
        jar.Update(1.0f / 60, score.get(), &goals);
    }
    EXPECT_EQ(score->GetScore() - score->GetLevelStartScore(), 232);
    EXPECT_EQ(jar.GetFillFrame(), 232 / 100 + 1);
}

}  // namespace
