#include "game/screens/displaywindows.h"

#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "engine/script/animation.h"
#include "engine/window/windowmanager.h"
#include "engine/window/windowscripthook.h"
#include "game/screens/heroine.h"
#include "game/screens/windoworigin.h"

namespace {

IWindowScript* DefinitionScript()
{
    TWindowManager* manager = TWindowManager::GetInstance();
    return manager ? manager->GetScript() : nullptr;
}

// Moves the window so that a picture whose bounding box (around the point
// it is drawn at) is `box` fills it; answers where to draw it inside.
TVec2 FitAround(TWindow& w, const TRect& box)
{
    const TRect& at = w.GetRect();
    w.SetWindowPos(at.x1 + box.x1, at.y1 + box.y1);
    w.SetWindowSize(box.Width(), box.Height());
    return {static_cast<float>(-box.x1), static_cast<float>(-box.y1)};
}

}  // namespace

// Types for any script to place; no shipped screen builds them.
const contract::TScreenSpec TQuessaWindow::kContract{"TQuessaWindow", "QuessaWindow", nullptr, {}, {}};
const contract::TScreenSpec TSpriteWindow::kContract{"TSpriteWindow", "SpriteWindow", nullptr, {}, {}};
const contract::TScreenSpec TAnimWindow::kContract{"TAnimWindow", "AnimWindow", nullptr, {}, {}};

// ---- QuessaWindow ----

TQuessaWindow::TQuessaWindow() : mQuessa(MakeHeroine())
{
    if (mQuessa)
        mQuessa->SetPosition({0.0f, 0.0f});
}

TQuessaWindow::~TQuessaWindow() = default;

void TQuessaWindow::PostInit()
{
    IWindowScript* script = DefinitionScript();
    if (!mQuessa || !script)
        return;
    if (script->GetBool("flip", false))
        mQuessa->SetFacing(1);
    const int frame = static_cast<int>(script->GetNumber("frame", -1));
    mQuessa->SetCurrentFrame(frame);
    mQuessa->SetPosition(FitAround(*this, mQuessa->BoundingBox()));
}

void TQuessaWindow::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!mQuessa || !platform || !platform->Begin2d())
        return;
    mQuessa->Draw(WindowOriginInViewport(*this, *platform));
    platform->End2d();
}

bool TQuessaWindow::OnTaskAnimate()
{
    InvalidateRect(nullptr);
    return true;
}

// ---- SpriteWindow ----

void TSpriteWindow::PostInit()
{
    IWindowScript* script = DefinitionScript();
    if (!script)
        return;
    const str image = script->GetString("image", "");
    const int x = static_cast<int>(script->GetNumber("x", 0));
    const int y = static_cast<int>(script->GetNumber("y", 0));
    mSpriteFlags = static_cast<int>(script->GetNumber("flags", 0));
    const bool fitToParent = script->GetBool("fittoparent", false);
    SetWindowPos(x, y);
    if (image.length() > 0)
        mImage = TTexture::Get(image);
    if (!mImage || mImage->GetWidth() <= 0 || mImage->GetHeight() <= 0)
        return;
    const int w = mImage->GetWidth(), h = mImage->GetHeight();
    TWindow* parent = GetParent();
    if (fitToParent && parent) {
        SetWindowSize(parent->GetWindowWidth(), parent->GetWindowHeight());
        mScaleX = static_cast<float>(parent->GetWindowWidth()) / static_cast<float>(w);
        mScaleY = static_cast<float>(parent->GetWindowHeight()) / static_cast<float>(h);
        return;
    }
    SetWindowSize(w, h);
    if (parent && !fitToParent) {
        const int needW = std::max(parent->GetWindowWidth(), x + w);
        const int needH = std::max(parent->GetWindowHeight(), y + h);
        parent->SetWindowSize(needW, needH);
    }
}

void TSpriteWindow::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!mImage || !platform || !platform->Begin2d())
        return;
    const TVec2 origin = WindowOriginInViewport(*this, *platform);
    const TVec2 centre{origin.x + mImage->GetWidth() * mScaleX / 2.0f, origin.y + mImage->GetHeight() * mScaleY / 2.0f};
    mImage->DrawSprite(centre, 1.0f, mScaleX, mScaleY, 0.0f, nullptr, nullptr, 0, nullptr);
    platform->End2d();
}

bool TSpriteWindow::OnDirtyRect(TRect* r)
{
    if (!r)
        return false;
    GetClientRect(r);
    return true;
}

// ---- AnimWindow ----

TAnimWindow::TAnimWindow() : mAnimation(std::make_unique<TAnimation>()) {}

TAnimWindow::~TAnimWindow() = default;

void TAnimWindow::PostInit()
{
    IWindowScript* script = DefinitionScript();
    if (!script)
        return;
    const str anim = script->GetString("anim", "");
    const str texture = script->GetString("texture", "");
    const str function = script->GetString("script", "");
    mPalette = script->GetString("palette", "");
    mMirrored = static_cast<int>(script->GetNumber("flip", 0)) == 1;
    const int frame = static_cast<int>(script->GetNumber("frame", -1));

    mAnimation->Init(anim, texture, "");
    if (function.length() > 0) {
        mAnimation->Play(function, false);
        StartWindowAnimation(16, true, true, false);
    } else if (frame >= 0) {
        mAnimation->SetCurrentFrame(frame);
    }
    std::shared_ptr<TAnimatedTexture> sheet = mAnimation->GetAnimatedTexture();
    if (!sheet)
        return;
    if (mPalette.length() > 0)
        sheet->LoadPalette(mPalette);
    mDrawPoint = FitAround(*this, sheet->BoundingBox(mAnimation->GetCurrentFrame()));
}

void TAnimWindow::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    std::shared_ptr<TAnimatedTexture> sheet = mAnimation->GetAnimatedTexture();
    if (!sheet || !platform || !platform->Begin2d())
        return;
    // Screens that share the sheet may have loaded another palette since.
    if (mPalette.length() > 0)
        sheet->LoadPalette(mPalette);
    const TVec2 origin = WindowOriginInViewport(*this, *platform);
    mAnimation->Draw(origin.x + mDrawPoint.x, origin.y + mDrawPoint.y, 1.0f, 1.0f, 0.0f, mMirrored ? 1 : 0);
    platform->End2d();
}

bool TAnimWindow::OnTaskAnimate()
{
    InvalidateRect(nullptr);
    return true;
}
