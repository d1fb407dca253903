#include "game/screens/levelover.h"

#include "engine/sound/sound.h"
#include "engine/sound/soundmanager.h"
#include "engine/window/image.h"
#include "engine/window/modalwindow.h"
#include "engine/window/text.h"
#include "game/screens/screenchildren.h"

#include <algorithm>
#include <cmath>

namespace {

using screens::SetChildText;
using screens::ShowChild;
using screens::TextWithNumber;

constexpr float kStepSeconds = 0.016f;
const TVec2 kFromCentre{400, 250};
const TVec2 kFromLeft{50, 250};

constexpr auto kServed = contract::Child<TText>("served");
constexpr auto kLost = contract::Child<TText>("lost");
constexpr auto kLevel = contract::Child<TText>("level");
constexpr auto kLevelscore = contract::Child<TText>("levelscore");
constexpr auto kLevelmoney = contract::Child<TText>("levelmoney");
constexpr auto kLevelscorestr = contract::Child<TText>("levelscorestr");
constexpr auto kLevelmoneystr = contract::Child<TText>("levelmoneystr");
constexpr auto kScore = contract::Child<TText>("score");
constexpr auto kTotalscore = contract::Child<TWindow>("totalscore");
constexpr auto kLevelinfo = contract::Child<TText>("levelinfo");
constexpr auto kExpert = contract::Child<TImage>("expert");
constexpr auto kExperttext = contract::Child<TWindow>("experttext");
constexpr auto kQuessawin = contract::Child<TWindow>("quessawin");
constexpr auto kQuessalose = contract::Child<TWindow>("quessalose");
constexpr auto kContinue = contract::Child<TWindow>("continue");
constexpr auto kTryagain = contract::Child<TWindow>("tryagain");
constexpr auto kQuit = contract::Child<TWindow>("quit");
constexpr auto kHighscorebutton = contract::Child<TWindow>("highscorebutton");
constexpr auto kHighscoretext = contract::Child<TWindow>("highscoretext");
constexpr auto kLevelbonus = contract::Child<TText>("levelbonus");
constexpr auto kLostpoints = contract::Child<TText>("lostpoints");
constexpr auto kShortfall = contract::Child<TText>("shortfall");
constexpr auto kLevelscorelabel = contract::Child<TWindow>("levelscorelabel");
constexpr auto kLevelmoneylabel = contract::Child<TWindow>("levelmoneylabel");
constexpr auto kShiftscorelabel = contract::Child<TWindow>("shiftscorelabel");
constexpr auto kLevelmoneystrlabel = contract::Child<TWindow>("levelmoneystrlabel");
const contract::TChildSpec kOverChildren[] = {
    kServed,
    kLost,
    kLevel,
    kLevelscore,
    kLevelmoney,
    kLevelscorestr,
    kLevelmoneystr,
    kScore,
    kTotalscore,
    kLevelinfo,
    kExpert,
    kExperttext,
    kQuessawin,
    kQuessalose,
    kContinue,
    kTryagain,
    kQuit,
    kHighscorebutton,
    kHighscoretext,
    // The bonus a level paid, beside the cash; what the walk-outs cost,
    // beside their count.
    kLevelbonus,
    kLostpoints,
    // How far a lost level fell short of its goal, beside its score.
    kShortfall,
    // The labels of the rows only one game mode shows.
    kLevelscorelabel,
    kLevelmoneylabel,
    kShiftscorelabel,
    kLevelmoneystrlabel,
};

// What only a career board shows (the level's score, the total of the best
// scores, the cash), and what only an endless board shows (the shift's
// score and its entry in the best scores).
const contract::TChildSpec kCareerOnly[] = {kLevelscorelabel, kTotalscore, kLevelmoneylabel, kLevelmoney};
const contract::TChildSpec kEndlessOnly[] = {kShiftscorelabel, kLevelmoneystrlabel, kLevelmoneystr};
// The announcement of a new personal best, shown with the buttons.
const contract::TChildSpec kNewBest[] = {kHighscorebutton, kHighscoretext, kLevelscorestr};


}  // namespace

const contract::TScreenSpec TLevelOver::kContract{"TLevelOver", "LevelOver", "scripts/levelover.lua", {},
                                                  kOverChildren};

TLevelOver::TLevelOver()
    : mLoseSound(TSound::Get("audio/sfx/level_lose.ogg", false, TSoundManager::kEffects)),
      mWinSound(TSound::Get("audio/sfx/level_win.ogg", false, TSoundManager::kEffects)),
      mExpertSound(TSound::Get("audio/sfx/expert.ogg", false, TSoundManager::kEffects))
{
}

TLevelOver::~TLevelOver() = default;

void TLevelOver::PostChildrenInit()
{
    // The texts glide in one after another: none shows before its turn.
    for (const contract::TChildSpec& child : {kServed, kLost, kLevelscore, kScore})
        ShowChild(this, child, false);
    ShowChild(this, kLevelbonus, false);  // only a level that paid one shows it
    ShowChild(this, kLostpoints, false);  // shown with the walk-outs' value
    ShowChild(this, kShortfall, false);   // shown with the level's score
    if (TModalWindow* modal = FindParentModal())
        modal->AdoptTask(new TUpdateLevelOverTask(this));
}


void TLevelOver::SetWin(bool win, bool gameOver)
{
    mWin = win;
    mGameOver = gameOver;
    ShowChild(this, win ? kQuessalose : kQuessawin, false);
    for (const contract::TChildSpec& child : {kContinue, kTryagain, kQuit})
        ShowChild(this, child, false);
    for (const contract::TChildSpec& child : kNewBest)
        ShowChild(this, child, false);
}

void TLevelOver::SetResult(const TLevelResult& result)
{
    mEndless = result.endless;
    mLevelFile = result.levelFile;
    mShowTotal = result.showTotal;
    if (result.newHiscore)
        NewHighScore();
    SetStats(result);
    if (result.verdict.length() != 0)
        SetChildText(this, kLevelinfo, result.verdict);
    SetWin(result.win, result.gameOver);
    // An endless board has no expert mark, no bonus and no goal to fall short of.
    mExpert = result.expert && !mEndless;
    ShowChild(this, kExpert, false);
    ShowChild(this, kExperttext, false);
    const bool bonus = result.bonus > 0 && !mEndless;
    SetChildText(this, kLevelbonus, bonus ? TextWithNumber("over_bonus", result.bonus) : str());
    ShowChild(this, kLevelbonus, bonus);
    // Why a level with parties served can end on a score of 0.
    mPenaltyShown = result.penaltyPoints < 0;
    SetChildText(this, kLostpoints, mPenaltyShown ? TextWithNumber("over_penalty", result.penaltyPoints) : str());
    const int shortBy = result.goal - result.levelScore;
    mShortfallShown = !mEndless && !result.win && shortBy > 0;
    SetChildText(this, kShortfall, mShortfallShown ? TextWithNumber("over_short", shortBy) : str());
}

void TLevelOver::SetStats(const TLevelResult& result)
{
    SetChildText(this, kServed, str::getFormatted("%d", result.served));
    SetChildText(this, kLost, str::getFormatted("%d", result.walkouts));
    SetChildText(this, kLevel, result.level);
    SetChildText(this, kLevelscore, str::getFormatted("%d", result.levelScore));
    SetChildText(this, kLevelmoney, TextWithNumber("currencyval", result.cash));
    if (mEndless) {
        SetChildText(this, kLevelscorestr, str::getFormatted("%d", result.levelScore));
        SetChildText(this, kLevelmoneystr, str::getFormatted("%d", result.levelScore));
    }
    SetChildText(this, kScore, str::getFormatted("%d", result.totalScore));
    for (const contract::TChildSpec& child : kCareerOnly)
        ShowChild(this, child, !mEndless);
    for (const contract::TChildSpec& child : kEndlessOnly)
        ShowChild(this, child, mEndless);
    if (!mShowTotal)
        ShowChild(this, kTotalscore, false);
}

void TLevelOver::ShowShortfall()
{
    if (mShortfallShown)
        ShowChild(this, kShortfall, true);
}

void TLevelOver::ShowPenalty()
{
    if (mPenaltyShown)
        ShowChild(this, kLostpoints, true);
}

void TLevelOver::NextStep(int step)
{
    mStep = step;
    mStepTimer = 0;
}

void TLevelOver::Glide(const contract::TChild<TText>& text, TVec2 fromOnScreen)
{
    mMoving = Child(text);
    if (!mMoving)
        return;
    const TRect laid = mMoving->GetRect();
    mTarget = TVec2(static_cast<float>(laid.x1), static_cast<float>(laid.y1));
    // The value slides along its own row, from where the screen point lies
    // across the board, so it never crosses another row; no further than
    // kMaxSlide, so it never runs over its row's label either.
    TRect parent{};
    if (TWindow* row = mMoving->GetParent())
        row->GetWindowRect(&parent);
    const float widest = static_cast<float>(std::max(0, (parent.x2 - parent.x1) - (laid.x2 - laid.x1)));
    const float from = std::clamp(fromOnScreen.x - static_cast<float>(parent.x1), 0.0f, widest);
    mPosition = TVec2(std::clamp(from, mTarget.x - kMaxSlide, mTarget.x + kMaxSlide), mTarget.y);
    const TVec2 way = mTarget - mPosition;
    const float length = std::sqrt(way.x * way.x + way.y * way.y);
    // A text that starts where it belongs has nowhere to go (and no direction).
    mDirection = length > 0 ? TVec2(way.x / length, way.y / length) : TVec2(0, 0);
    mMoving->SetWindowPos(static_cast<int>(mPosition.x), static_cast<int>(mPosition.y));
    mMoving->AddFlags(kVisible);
    mMoving->InvalidateRect(nullptr);
}

bool TLevelOver::TextAnimation(float dt)
{
    if (!mMoving)
        return true;
    const auto approach = [dt](float& at, float target, float direction) {
        if (at == target)
            return;
        at += kGlideSpeed * dt * direction;
        if ((direction >= 0 && at > target) || (direction <= 0 && at < target) || direction == 0)
            at = target;
    };
    approach(mPosition.x, mTarget.x, mDirection.x);
    approach(mPosition.y, mTarget.y, mDirection.y);
    if (TWindow* parent = mMoving->GetParent())
        parent->InvalidateRect(nullptr);
    mMoving->SetWindowPos(static_cast<int>(std::lround(mPosition.x)), static_cast<int>(std::lround(mPosition.y)));
    if (mPosition.x != mTarget.x || mPosition.y != mTarget.y)
        return false;
    mMoving = nullptr;
    return true;
}

void TLevelOver::Update(float dt)
{
    mStepTimer += dt;
    const bool glided = TextAnimation(dt);
    switch (mStep) {
    case 0:
        if (mStepTimer < 1.0f)
            return;
        NextStep(1);
        if (const auto& sound = mWin ? mWinSound : mLoseSound)
            sound->Play(false);
        Glide(kServed, kFromCentre);
        return;
    case 1:
        if (!glided)
            return;
        NextStep(IsEndless() ? 3 : 2);
        Glide(kLost, kFromCentre);
        return;
    case 2:
        if (!glided)
            return;
        ShowPenalty();
        NextStep(3);
        Glide(kLevelscore, kFromLeft);
        return;
    case 3:
        if (!glided)
            return;
        ShowPenalty();
        ShowShortfall();
        NextStep(4);
        if (mShowTotal)
            Glide(kScore, kFromLeft);
        return;
    case 4:
        if (glided)
            NextStep(mExpert ? 5 : 6);
        return;
    case 5:
        if (auto* expert = Child(kExpert)) {
            expert->AddFlags(kVisible);
            expert->SetAlpha(std::min(1.0f, 2 * mStepTimer));
            expert->InvalidateRect(nullptr);
        }
        if (mStepTimer < 0.5f)
            return;
        if (mExpertSound)
            mExpertSound->Play(false);
        ShowChild(this, kExperttext, true);
        NextStep(6);
        return;
    case 6:
        TurnOnButtons();
        NextStep(kDone);
        return;
    default:
        return;
    }
}

void TLevelOver::TurnOnButtons()
{
    if (mLevelFile) {
        ShowChild(this, kQuit, true);
        ShowChild(this, kTryagain, true);
    } else if (IsEndless()) {
        ShowChild(this, kQuit, true);
        ShowChild(this, kTryagain, true);
    } else if (mWin) {
        // The next level, or back to the map with the win kept.
        ShowChild(this, kContinue, true);
        ShowChild(this, kQuit, true);
    } else {
        ShowChild(this, kQuit, true);
        ShowChild(this, kTryagain, true);
    }
    if (mNewHiscore)
        for (const contract::TChildSpec& child : kNewBest)
            ShowChild(this, child, true);
}

TUpdateLevelOverTask::TUpdateLevelOverTask(TLevelOver* window) : mWindow(window), mAlive(window->Lifeline().Handle())
{
    SetDelay(16, true, true, false);
}

bool TUpdateLevelOverTask::Animate()
{
    if (!mAlive.IsAlive())
        return false;
    mWindow->Update(kStepSeconds);
    return mWindow->GetStep() < TLevelOver::kDone;
}
