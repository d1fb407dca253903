// What the level flow tells its window, read as events on the headless floor
// with the shipped data: the level-over board and the wardrobe after a first
// win, the decor choice after an even level, the endless upgrade notice; and
// what the window shows of the level's state on its clock (fades, alphas).
#include "floor_data_fixture.h"

#include "game/rules/scoremanager.h"

#include <algorithm>
#include <variant>

namespace {

constexpr float kFrame = 1.0f / 60;

// The position of the first event of type `Event` at or after `from`, or -1.
template <class Event>
int Find(const std::vector<TLevelEvent>& events, int from = 0)
{
    for (int i = std::max(0, from); i < static_cast<int>(events.size()); ++i)
        if (std::holds_alternative<Event>(events[std::size_t(i)]))
            return i;
    return -1;
}

int FindSound(const std::vector<TLevelEvent>& events, const std::string& name)
{
    for (std::size_t i = 0; i < events.size(); ++i)
        if (const auto* sound = std::get_if<levelevent::Sound>(&events[i]); sound && name == sound->name)
            return static_cast<int>(i);
    return -1;
}

}  // namespace

class LevelEvents : public FloorTest {
protected:
    void Open()
    {
        mFloor = std::make_unique<TGameData>(mGlobals, &mScore, &mHost.events);
        mFloor->SetupStars();
        mFloor->SetupLevel();
        mFloor->StartIntro();
    }
    // Frames of `dt` until the flow is in `state` (at most `seconds`).
    bool RunUntil(int state, float seconds = 120, float dt = kFrame)
    {
        for (float t = 0; t < seconds && mFloor->GetState() != state; t += dt)
            mFloor->Update(dt);
        return mFloor->GetState() == state;
    }
    bool SelectAnyDecorItem()
    {
        for (int y = 0; y < 600; y += 10)
            for (int x = 0; x < 800; x += 10) {
                mFloor->Between().DecorMouseUp(TPoint{x, y});
                const auto* shown = std::get_if<levelevent::DecorItemShown>(&mHost.events[mHost.events.size() - 2]);
                if (shown && shown->item >= 0)
                    return true;
            }
        return false;
    }

    TScoreManager mScore;
    std::unique_ptr<TGameData> mFloor;
};

// Career level 1 won for the first time: the closing sound, then the board
// with the result (the first win's bonus); the board's Next fades out, the
// wardrobe is due before level 2 is set up, and the game comes back from it
// before level 2's intro. No decor choice comes before an odd level.
TEST_F(LevelEvents, AFirstWinShowsTheBoardAndThenTheWardrobe)
{
    Open();
    EXPECT_EQ(Find<levelevent::LevelSetUp>(mHost.events), 0);
    EXPECT_EQ(Find<levelevent::IntroOpens>(mHost.events), 1);
    EXPECT_FLOAT_EQ(ScreenFadeFor(mFloor->GetState(), mFloor->GetStateTimer()), 0.5f);
    mFloor->DoSkipTutorial();
    ASSERT_TRUE(RunUntil(kPlaying));
    EXPECT_FLOAT_EQ(ScreenFadeFor(mFloor->GetState(), mFloor->GetStateTimer()), 0.0f);
    // Nobody is served, but the till says the goal was met.
    mScore.SetScore(mScore.GetLevelStartScore() + mFloor->GetCurrentGoal() + 2000);
    ASSERT_TRUE(RunUntil(kLevelOver, 900, TGameData::kMaxFrameSeconds));

    const int closing = FindSound(mHost.events, "closing");
    ASSERT_GT(closing, 1);
    EXPECT_EQ(mHost.Sounds("closing"), 1);
    const std::vector<TLevelResult> results = mHost.Results();
    ASSERT_EQ(results.size(), 1u);
    const TLevelResult& result = results[0];
    EXPECT_TRUE(result.win);
    EXPECT_FALSE(result.gameOver);
    EXPECT_EQ(result.levelScore, mFloor->GetLevelScore());
    EXPECT_EQ(result.expert, result.levelScore >= mFloor->GetCurrentExpert());
    EXPECT_EQ(result.bonus, 300 + (result.expert ? 100 : 0));
    EXPECT_EQ(result.cash, mScore.GetCash());
    EXPECT_EQ(result.served, mScore.GetChecksCollected());
    EXPECT_EQ(result.walkouts, mScore.GetPenalties());
    EXPECT_GT(result.walkouts, 0);
    EXPECT_EQ(result.penaltyPoints, mScore.GetPenaltyPoints());
    EXPECT_EQ(result.goal, mFloor->GetCurrentGoal());
    EXPECT_EQ(result.level, mFloor->GetLevelManager()->GetCurrentLevelStr());
    EXPECT_EQ(result.verdict, mFloor->GetLevelManager()->GetLevelOverText(true));
    EXPECT_FALSE(result.endless);
    // The level wrote nothing: its end is kept by whoever applies it.
    EXPECT_EQ(mSettings->GetLevelScore(0, 0), 0);
    EXPECT_EQ(mSettings->GetCareerCash(), 0);
    EXPECT_EQ(mSettings->GetLastCareerLevel(), 0);
    game::ApplyLevelResult(result);
    EXPECT_EQ(mSettings->GetLevelScore(0, 0), result.levelScore);
    EXPECT_EQ(mSettings->GotExpert(0, 0), result.expert);
    EXPECT_EQ(mSettings->GetCareerScore(-1), result.totalScore);
    EXPECT_EQ(mSettings->GetCareerCash(), result.cash);
    EXPECT_EQ(mSettings->GetLastCareerLevel(), 1);
    EXPECT_EQ(Find<levelevent::LevelOver>(mHost.events), static_cast<int>(mHost.events.size()) - 1);
    EXPECT_GT(Find<levelevent::LevelOver>(mHost.events), closing);
    EXPECT_FLOAT_EQ(ScreenFadeFor(kLevelOver, 3.0f), 0.5f);

    const int boardAt = static_cast<int>(mHost.events.size()) - 1;
    mFloor->GoToNextLevel();
    ASSERT_TRUE(std::holds_alternative<levelevent::LevelOverCloses>(mHost.events.back()));
    ASSERT_TRUE(RunUntil(kLoadAssets, 5));
    EXPECT_FLOAT_EQ(ScreenFadeFor(mFloor->GetState(), mFloor->GetStateTimer()), 1.0f);
    const int closet = Find<levelevent::ClosetDue>(mHost.events, boardAt);
    ASSERT_GT(closet, boardAt);
    EXPECT_EQ(Find<levelevent::LevelSetUp>(mHost.events, boardAt), closet + 1) << "level 2 is set up behind it";
    EXPECT_EQ(Find<levelevent::BackFromCloset>(mHost.events), -1) << "the flow waits for the game to show";
    EXPECT_EQ(mSettings->GetCurrentLevel(), 1);

    ASSERT_TRUE(RunUntil(kLevelIntro, 10));
    const int back = Find<levelevent::BackFromCloset>(mHost.events, closet);
    ASSERT_GT(back, closet);
    EXPECT_GT(Find<levelevent::IntroOpens>(mHost.events, back), back);
    EXPECT_EQ(mHost.Count<levelevent::ClosetDue>(), 1);
    EXPECT_EQ(mHost.Count<levelevent::DecorChoiceOpens>(), 0);
    EXPECT_EQ(mHost.Intros(), 2);
}

// After an even level the decor panel opens (explaining itself the first
// time) and fades in; choosing an item shows it and its keep button; keeping
// it lets the clock run, the panel fades out and closes, the new items come
// with their sound, and the intro follows.
TEST_F(LevelEvents, TheDecorChoiceOpensShowsTheChosenItemAndCloses)
{
    mSettings->SetCurrentLevel(1);
    Open();
    mFloor->GoToNextLevel();
    ASSERT_TRUE(RunUntil(kDecorChoice, 10));
    const int opened = Find<levelevent::DecorChoiceOpens>(mHost.events);
    ASSERT_GE(opened, 0);
    EXPECT_TRUE(std::get<levelevent::DecorChoiceOpens>(mHost.events[std::size_t(opened)]).firstTime);
    EXPECT_EQ(mSettings->GetCurrentLevel(), 2);
    EXPECT_FLOAT_EQ(ScreenFadeFor(kDecorChoice, 0), 0.0f);
    EXPECT_FLOAT_EQ(DecorChoiceAlphaFor(mFloor->GetState(), mFloor->GetStateTimer()), 0.0f);
    for (int i = 0; i < 15; ++i)
        mFloor->Update(kFrame);
    EXPECT_NEAR(DecorChoiceAlphaFor(mFloor->GetState(), mFloor->GetStateTimer()), 0.5f, 0.01f);
    for (int i = 0; i < 30; ++i)
        mFloor->Update(kFrame);
    EXPECT_FLOAT_EQ(DecorChoiceAlphaFor(mFloor->GetState(), mFloor->GetStateTimer()), 1.0f);

    ASSERT_TRUE(SelectAnyDecorItem());
    EXPECT_TRUE(std::get<levelevent::DecorButtonShown>(mHost.events.back()).shown);
    mFloor->Between().DecorButton();
    EXPECT_TRUE(std::holds_alternative<levelevent::DecorKept>(mHost.events.back()));
    EXPECT_EQ(mFloor->GetState(), kDecorChosen);
    mFloor->Update(0.25f / 3);
    mFloor->Update(0.25f / 3);
    mFloor->Update(0.25f / 3);
    EXPECT_NEAR(DecorChoiceAlphaFor(mFloor->GetState(), mFloor->GetStateTimer()), 0.5f, 0.01f);
    const int kept = static_cast<int>(mHost.events.size()) - 1;
    ASSERT_TRUE(RunUntil(kLevelIntro, 10));
    const int closed = Find<levelevent::DecorChoiceCloses>(mHost.events, kept);
    ASSERT_GT(closed, kept);
    const int sound = Find<levelevent::Sound>(mHost.events, closed);
    ASSERT_GT(sound, closed);
    EXPECT_STREQ(std::get<levelevent::Sound>(mHost.events[std::size_t(sound)]).name, "upgrade");
    EXPECT_GT(Find<levelevent::IntroOpens>(mHost.events, sound), sound);
    EXPECT_EQ(mHost.Count<levelevent::DecorChoiceOpens>(), 1);
    EXPECT_EQ(mHost.Count<levelevent::DecorChoiceCloses>(), 1);
    EXPECT_EQ(mHost.Count<levelevent::ClosetDue>(), 0);
}

// An endless shift's goal met with tables left to add: the notice shows once
// and its glow rises for half a second and falls in the next; the picker
// hides it.
TEST_F(LevelEvents, AShiftsGoalWithUpgradesLeftShowsTheNotice)
{
    mSettings->SetCurrentGameMode(TSettings::kEndlessMode);
    mSettings->PlayedEndlessTutorial();
    Open();
    ASSERT_TRUE(RunUntil(kPlaying));
    ASSERT_TRUE(mFloor->Between().TableUpgradeAvailable());
    EXPECT_EQ(mHost.Count<levelevent::UpgradeNoticeShown>(), 0);
    mScore.SetScore(mFloor->GetCurrentGoal());
    mFloor->Update(kFrame);
    EXPECT_EQ(mHost.Count<levelevent::UpgradeNoticeShown>(), 1);
    EXPECT_NEAR(UpgradeNoticeAlphaFor(mFloor->Between().GetUpgradeAnimTime()), 2 * kFrame, 1e-4f);
    for (int i = 0; i < 29; ++i)
        mFloor->Update(kFrame);
    EXPECT_NEAR(UpgradeNoticeAlphaFor(mFloor->Between().GetUpgradeAnimTime()), 1.0f, 0.01f);
    for (int i = 0; i < 31; ++i)
        mFloor->Update(kFrame);
    EXPECT_FLOAT_EQ(UpgradeNoticeAlphaFor(mFloor->Between().GetUpgradeAnimTime()), 0.0f);
    EXPECT_EQ(mHost.Count<levelevent::UpgradeNoticeShown>(), 1) << "the next goal is further on";
    mFloor->Between().HideUpgradeNotice();
    EXPECT_TRUE(std::holds_alternative<levelevent::UpgradeNoticeHidden>(mHost.events.back()));
}

// Between levels the screen goes black in a second and clears in one; the
// intro's half dark fades in and out in half a second.
TEST(LevelScreenFade, FollowsTheFlowsStatesAndTimers)
{
    EXPECT_FLOAT_EQ(ScreenFadeFor(kFadeOut, 0.25f), 0.25f);
    EXPECT_FLOAT_EQ(ScreenFadeFor(kFadeOut, 1.5f), 1.0f);
    EXPECT_FLOAT_EQ(ScreenFadeFor(kFadeIn, 0.25f), 0.75f);
    EXPECT_FLOAT_EQ(ScreenFadeFor(kFadeIn, 1.5f), 0.0f);
    EXPECT_FLOAT_EQ(ScreenFadeFor(kIntroFadeDown, 0.2f), 0.2f);
    EXPECT_FLOAT_EQ(ScreenFadeFor(kIntroFadeDown, 0.7f), 0.5f);
    EXPECT_FLOAT_EQ(ScreenFadeFor(kIntroFadeUp, 0.2f), 0.3f);
    EXPECT_FLOAT_EQ(ScreenFadeFor(kIntroFadeUp, 0.7f), 0.0f);
    EXPECT_FLOAT_EQ(ScreenFadeFor(kNewItem, 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(ScreenFadeFor(kDecorChosen, 0.2f), 0.0f);
}
