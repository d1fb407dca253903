#include "game/screens/screenfade.h"

#include "engine/base/color.h"
#include "engine/platform/platform.h"
#include "engine/render/texture.h"
#include "engine/script/luabind.h"
#include "engine/window/modalwindow.h"
#include "engine/window/screen.h"
#include "engine/window/windowmanager.h"
#include "engine/window/windowscripthook.h"

#include <algorithm>

namespace {

constexpr int kFadeTextureSize = 4;
constexpr float kScreenWidth = 800.0f;
constexpr float kScreenHeight = 600.0f;
constexpr float kLongestFadeSeconds = 2.0e6f;

const qm::lua::TBinding kFadeFunctions[] = {
    {"SetFade", qm::lua::Method<&TScreenFade::SetFade>},
};

}  // namespace

const contract::TScreenSpec TScreenFade::kContract{"TScreenFade", "ScreenFade", "scripts/game.lua", kFadeFunctions,
                                                   {}};
// Made by scripts of their own (no shipped screen has one).
const contract::TScreenSpec TTimedFade::kContract{"TTimedFade", "TimedFade", nullptr, {}, {}};

TScreenFade::TScreenFade()
{
    mTexture = TTexture::Create(kFadeTextureSize, kFadeTextureSize, true);
    CreateFadeTexture();
    // The newest fade (of either class) takes SetFade over; a call after it
    // died does nothing.
    PublishFunctions();
    mRefresh = std::make_unique<TTextureRefresh>([this] { CreateFadeTexture(); });
}

TScreenFade::~TScreenFade() = default;

void TScreenFade::SetFade(float fade)
{
    mFade = fade;
    InvalidateRect(nullptr);
}

void TScreenFade::CreateFadeTexture()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !mTexture)
        return;
    const TColor black{0.0f, 0.0f, 0.0f, 1.0f};
    platform->FillRect(0, 0, kFadeTextureSize, kFadeTextureSize, &black, mTexture);
}

void TScreenFade::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (mFade <= 0.0f || !mTexture || !platform || !platform->Begin2d())
        return;
    mTexture->DrawSprite(kScreenWidth / 2, kScreenHeight / 2, mFade, kScreenWidth / kFadeTextureSize, 0.0f, 0);
    platform->End2d();
}

bool TScreenFade::OnDirtyRect(TRect* r)
{
    if (!r)
        return false;
    *r = TRect{0, 0, static_cast<int>(kScreenWidth), static_cast<int>(kScreenHeight)};
    return true;
}

TTimedFade::TTimedFade() { mFade = 1.0f; }

void TTimedFade::PostInit()
{
    TPlatform* platform = TPlatform::GetInstance();
    mStart = platform ? platform->Timer() : 0;
    TWindowManager* manager = TWindowManager::GetInstance();
    IWindowScript* script = manager ? manager->GetScript() : nullptr;
    mLength = script ? static_cast<float>(script->GetNumber("length", 0)) : 0.0f;
    StartWindowAnimation(20, true, true, false);
}

bool TTimedFade::OnTaskAnimate()
{
    TPlatform* platform = TPlatform::GetInstance();
    const std::uint32_t now = platform ? platform->Timer() : 0;
    if (mFirstRun) {
        mFirstRun = false;
        mStart = now;
        // Negative counts as none; the timer's signed comparisons hold up to
        // about 24 days.
        const float length = std::clamp(mLength, 0.0f, kLongestFadeSeconds);
        mEnd = now + static_cast<std::uint32_t>(length * 1000.0f);
        return true;
    }
    // Signed differences: the timer wraps.
    if (static_cast<std::int32_t>(now - mEnd) >= 0) {
        CloseOwnModal();
        return false;
    }
    mFade = 1.0f - static_cast<float>(now - mStart) / static_cast<float>(mEnd - mStart);
    InvalidateRect(nullptr);
    return true;
}

void TTimedFade::CloseOwnModal()
{
    TWindowManager* manager = TWindowManager::GetInstance();
    TModalWindow* own = FindParentModal();
    // The root screen is never closed.
    if (!manager || !own || own == static_cast<TWindow*>(manager->GetScreen()))
        return;
    if (own == manager->GetTopModalWindow())
        manager->PopModal();
    else
        manager->SafeDestroyWindow(own);
}
