#include "game/screens/levelover.h"

#include "engine/sound/sound.h"
#include "engine/sound/soundmanager.h"
#include "engine/window/image.h"
#include "engine/window/modalwindow.h"
#include "engine/window/text.h"
#include "game/screens/childwindows.h"
#include "engine/platform/platform.h"
#include "engine/window/stringtable.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kStepSeconds = 0.016f;
const TVec2 kFromCentre{400, 250};
const TVec2 kFromLeft{50, 250};
// What only a career board shows (the level's score, the total of the best
// scores, the cash), and what only an endless board shows (the shift's
// score and its entry in the best scores).
const char* const kCareerOnly[] = {"levelscorelabel", "totalscore", "levelmoneylabel", "levelmoney"};
const char* const kEndlessOnly[] = {"shiftscorelabel", "levelmoneystrlabel", "levelmoneystr"};
// The announcement of a new personal best, shown with the buttons.
const char* const kNewBest[] = {"highscorebutton", "highscoretext", "levelscorestr"};

using contract::Child;
const contract::TChildSpec kOverChildren[] = {
    Child("served", &TText::ClassId),
    Child("lost", &TText::ClassId),
    Child("level", &TText::ClassId),
    Child("levelscore", &TText::ClassId),
    Child("levelmoney", &TText::ClassId),
    Child("levelscorestr", &TText::ClassId),
    Child("levelmoneystr", &TText::ClassId),
    Child("score", &TText::ClassId),
    Child("totalscore"),
    Child("levelinfo", &TText::ClassId),
    Child("expert", &TImage::ClassId),
    Child("experttext"),
    Child("quessawin"),
    Child("quessalose"),
    Child("continue"),
    Child("tryagain"),
    Child("quit"),
    Child("highscorebutton"),
    Child("highscoretext"),
    // The bonus a level paid, beside the cash; what the walk-outs cost,
    // beside their count.
    Child("levelbonus", &TText::ClassId),
    Child("lostpoints", &TText::ClassId),
    // How far a lost level fell short of its goal, beside its score.
    Child("shortfall", &TText::ClassId),
    // The labels of the rows only one game mode shows.
    Child("levelscorelabel"),
    Child("levelmoneylabel"),
    Child("shiftscorelabel"),
    Child("levelmoneystrlabel"),
};

str String(const char* key, int value)
{
    TPlatform* platform = TPlatform::GetInstance();
    TStringTable* table = platform ? platform->GetStringTable() : nullptr;
    const str number = str::getFormatted("%d", value);
    return table ? table->GetString(key, number, "", "", "", "") : str(key);
}

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
    for (const char* name : {"served", "lost", "levelscore", "score"})
        Show(name, false);
    Show("levelbonus", false);  // only a level that paid one shows it
    Show("lostpoints", false);  // shown with the walk-outs' value
    Show("shortfall", false);   // shown with the level's score
    if (TModalWindow* modal = FindParentModal())
        modal->AdoptTask(new TUpdateLevelOverTask(this));
}

void TLevelOver::Show(const char* name, bool show) { childwindows::Show(this, name, show); }

void TLevelOver::SetChildText(const char* name, const str& text) { childwindows::SetText(this, name, text); }

void TLevelOver::SetWin(bool win, bool gameOver)
{
    mWin = win;
    mGameOver = gameOver;
    Show(win ? "quessalose" : "quessawin", false);
    for (const char* name : {"continue", "tryagain", "quit"})
        Show(name, false);
    for (const char* name : kNewBest)
        Show(name, false);
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
        SetChildText("levelinfo", result.verdict);
    SetWin(result.win, result.gameOver);
    // An endless board has no expert mark, no bonus and no goal to fall short of.
    mExpert = result.expert && !mEndless;
    Show("expert", false);
    Show("experttext", false);
    const bool bonus = result.bonus > 0 && !mEndless;
    SetChildText("levelbonus", bonus ? String("over_bonus", result.bonus) : str());
    Show("levelbonus", bonus);
    // Why a level with parties served can end on a score of 0.
    mPenaltyShown = result.penaltyPoints < 0;
    SetChildText("lostpoints", mPenaltyShown ? String("over_penalty", result.penaltyPoints) : str());
    const int shortBy = result.goal - result.levelScore;
    mShortfallShown = !mEndless && !result.win && shortBy > 0;
    SetChildText("shortfall", mShortfallShown ? String("over_short", shortBy) : str());
}

void TLevelOver::SetStats(const TLevelResult& result)
{
    SetChildText("served", str::getFormatted("%d", result.served));
    SetChildText("lost", str::getFormatted("%d", result.walkouts));
    SetChildText("level", result.level);
    SetChildText("levelscore", str::getFormatted("%d", result.levelScore));
    SetChildText("levelmoney", String("currencyval", result.cash));
    if (mEndless) {
        SetChildText("levelscorestr", str::getFormatted("%d", result.levelScore));
        SetChildText("levelmoneystr", str::getFormatted("%d", result.levelScore));
    }
    SetChildText("score", str::getFormatted("%d", result.totalScore));
    for (const char* name : kCareerOnly)
        Show(name, !mEndless);
    for (const char* name : kEndlessOnly)
        Show(name, mEndless);
    if (!mShowTotal)
        Show("totalscore", false);
}

void TLevelOver::ShowShortfall()
{
    if (mShortfallShown)
        Show("shortfall", true);
}

void TLevelOver::ShowPenalty()
{
    if (mPenaltyShown)
        Show("lostpoints", true);
}

void TLevelOver::NextStep(int step)
{
    mStep = step;
    mStepTimer = 0;
}

void TLevelOver::Glide(const char* name, TVec2 fromOnScreen)
{
    mMoving = Child(name);
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
        Glide("served", kFromCentre);
        return;
    case 1:
        if (!glided)
            return;
        NextStep(IsEndless() ? 3 : 2);
        Glide("lost", kFromCentre);
        return;
    case 2:
        if (!glided)
            return;
        ShowPenalty();
        NextStep(3);
        Glide("levelscore", kFromLeft);
        return;
    case 3:
        if (!glided)
            return;
        ShowPenalty();
        ShowShortfall();
        NextStep(4);
        if (mShowTotal)
            Glide("score", kFromLeft);
        return;
    case 4:
        if (glided)
            NextStep(mExpert ? 5 : 6);
        return;
    case 5:
        if (auto* expert = Child<TImage>("expert")) {
            expert->AddFlags(kVisible);
            expert->SetAlpha(std::min(1.0f, 2 * mStepTimer));
            expert->InvalidateRect(nullptr);
        }
        if (mStepTimer < 0.5f)
            return;
        if (mExpertSound)
            mExpertSound->Play(false);
        Show("experttext", true);
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
        Show("quit", true);
        Show("tryagain", true);
    } else if (IsEndless()) {
        Show("quit", true);
        Show("tryagain", true);
    } else if (mWin) {
        // The next level, or back to the map with the win kept.
        Show("continue", true);
        Show("quit", true);
    } else {
        Show("quit", true);
        Show("tryagain", true);
    }
    if (mNewHiscore)
        for (const char* name : kNewBest)
            Show(name, true);
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
