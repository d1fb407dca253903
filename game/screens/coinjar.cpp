#include "game/screens/coinjar.h"

#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "game/rules/levelgoals.h"
#include "game/rules/scoremanager.h"
#include "game/settings/settings.h"

#include <algorithm>

namespace {

constexpr int kEmpty = 0, kFirstGoalStage = 1, kLastGoalStage = 4, kFirstExpertStage = 5, kLastExpertStage = 9;

}  // namespace

const contract::TScreenSpec TCoinJar::kContract{"TCoinJar", "CoinJar", "scripts/game.lua", {}, {}};

TCoinJar::TCoinJar()
{
    mJar.Init("ui/ui_jar.anm", "", "");
    if (TSettings* settings = TSettings::GetInstance())
        mJar.SetClock(settings->GetGameClock());
    mDollar = TTexture::Get("ui/dollar", 0);
    if (std::shared_ptr<TAnimatedTexture> texture = mJar.GetAnimatedTexture()) {
        int x = 0, y = 0;
        texture->GetRegistrationPoint(&x, &y);
        mAnchor = TVec2(static_cast<float>(x), static_cast<float>(y));
    }
}

TCoinJar::~TCoinJar() = default;

void TCoinJar::Update(float dt, const TScoreManager* score, const ILevelGoals* level)
{
    mFlashTimer = std::min(mFlashTimer + dt, kFlashSeconds);
    mDollarShown = mFlashTimer < kFlashSeconds && static_cast<int>(mFlashTimer * 4.0f) % 2 == 0;
    if (!score || !level)
        return;
    const int earned = score->GetScore() - score->GetLevelStartScore();
    const int goal = level->GetCurrentGoal();
    const TSettings* settings = TSettings::GetInstance();
    const bool endless = settings && settings->GetCurrentGameModeInt() == TSettings::kEndlessMode;
    if (earned >= goal && earned > 0 && endless)
        return;  // endless play has no expert mark: past the goal the jar stays as it is
    mFillFrame = ChooseFrame(earned, goal, level->GetCurrentExpert());
    mJar.SetCurrentFrame(mFillFrame);
}

int TCoinJar::ChooseFrame(int earned, int goal, int expert) const
{
    if (earned == 0)
        return kEmpty;
    if (earned < goal) {
        const int step = static_cast<int>(goal * 0.2f);
        return step > 0 ? std::clamp(earned / step + 1, kFirstGoalStage, kLastGoalStage) : kFirstGoalStage;
    }
    const int step = static_cast<int>(expert * 0.25f);
    return step > 0 ? std::clamp(earned / step + 4, kFirstExpertStage, kLastExpertStage) : kFirstExpertStage;
}

void TCoinJar::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->Begin2d())
        return;
    // The registration point sits that far inside the window's top left
    // corner, so the jar fills the window wherever the script puts it.
    // Sprites are placed relative to the viewport, which the window system
    // sets to the jar's part of the screen.
    TRect rect, viewport;
    GetWindowRect(&rect);
    platform->GetViewport(&viewport);
    const float x = rect.x1 - viewport.x1 + mAnchor.x, y = rect.y1 - viewport.y1 + mAnchor.y;
    mJar.Draw(x, y, 1.0f, 1.0f, 0.0f, 0);
    if (mDollarShown && mDollar)
        mDollar->DrawSprite(x, y, 1.0f, 1.0f, 0.0f, 0);
    platform->End2d();
}
