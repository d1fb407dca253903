#include "game/screens/levelover.h"

#include "engine/sound/sound.h"
#include "engine/window/image.h"
#include "engine/window/modalwindow.h"
#include "engine/window/text.h"
#include "game/screens/childwindows.h"
#include "game/settings/settings.h"

#include <cmath>

namespace {

constexpr int kSoundType = 1000;
constexpr float kStepSeconds = 0.016f;
const TVec2 kFromCentre{400, 250};
const TVec2 kFromLeft{50, 250};

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
};

bool InSixthRestaurant()
{
    const TSettings* settings = TSettings::GetInstance();
    return settings && settings->GetCurrentRestaurantID() == 6;
}

}  // namespace

const contract::TScreenSpec TLevelOver::kContract{"TLevelOver", "LevelOver", "scripts/levelover.lua", {},
                                                  kOverChildren};

TLevelOver::TLevelOver()
    : mLoseSound(TSound::Get("audio/sfx/level_lose.ogg", false, kSoundType)),
      mWinSound(TSound::Get("audio/sfx/level_win.ogg", false, kSoundType)),
      mExpertSound(TSound::Get("audio/sfx/expert.ogg", false, kSoundType))
{
}

TLevelOver::~TLevelOver() = default;

void TLevelOver::PostChildrenInit()
{
    // The texts glide in one after another: none shows before its turn.
    for (const char* name : {"served", "lost", "levelscore", "score"})
        Show(name, false);
    if (TModalWindow* modal = FindParentModal())
        modal->AdoptTask(new TUpdateLevelOverTask(this));
}

bool TLevelOver::IsEndless() const
{
    const TSettings* settings = TSettings::GetInstance();
    return settings && settings->GetCurrentGameModeInt() == TSettings::kEndlessMode;
}

void TLevelOver::Show(const char* name, bool show) { childwindows::Show(this, name, show); }

void TLevelOver::SetChildText(const char* name, const str& text) { childwindows::SetText(this, name, text); }

void TLevelOver::SetWin(bool win, bool gameOver)
{
    mWin = win;
    mGameOver = gameOver;
    Show(win ? "quessalose" : "quessawin", false);
    for (const char* name : {"continue", "tryagain", "highscorebutton", "highscoretext", "quit"})
        Show(name, false);
}

void TLevelOver::SetExpertMode(bool expert)
{
    mExpert = expert;
    Show("expert", false);
    Show("experttext", false);
}

void TLevelOver::SetStats(int served, int lost, const str& level, int levelScore, int score, const str& money)
{
    SetChildText("served", str::getFormatted("%d", served));
    SetChildText("lost", str::getFormatted("%d", lost));
    SetChildText("level", level);
    SetChildText("levelscore", str::getFormatted("%d", levelScore));
    SetChildText("levelmoney", money);
    if (IsEndless()) {
        SetChildText("levelscorestr", str::getFormatted("%d", levelScore));
        SetChildText("levelmoneystr", str::getFormatted("%d", levelScore));
    }
    SetChildText("score", str::getFormatted("%d", score));
    if (InSixthRestaurant())
        Show("totalscore", false);
}

void TLevelOver::SetDescription(const str& text) { SetChildText("levelinfo", text); }

void TLevelOver::NextStep(int step)
{
    mStep = step;
    mStepTimer = 0;
}

void TLevelOver::Glide(const char* name, TVec2 from)
{
    mMoving = Child(name);
    if (!mMoving)
        return;
    const TRect laid = mMoving->GetRect();
    mTarget = TVec2(static_cast<float>(laid.x1), static_cast<float>(laid.y1));
    mPosition = from;
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
        NextStep(3);
        Glide("levelscore", kFromLeft);
        return;
    case 3:
        if (!glided)
            return;
        NextStep(4);
        if (!InSixthRestaurant())
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
    const TSettings* settings = TSettings::GetInstance();
    if (settings && settings->GetLevelMode() != 0) {
        Show("quit", true);
        Show("tryagain", true);
    } else if (IsEndless()) {
        Show("quit", true);
        Show("tryagain", true);
    } else if (mWin) {
        Show("continue", true);
    } else {
        Show("quit", true);
        Show("tryagain", true);
    }
    if (mNewHiscore) {
        Show("highscorebutton", true);
        Show("highscoretext", true);
    }
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
