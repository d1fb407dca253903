#include "game/screens/fillwindow.h"

#include "engine/base/vec.h"
#include "engine/platform/platform.h"
#include "engine/render/texture.h"
#include "engine/window/windowmanager.h"
#include "engine/window/windowscripthook.h"

// Made by many scripts (the "UiFill" of scripts/ui.lua).
const contract::TScreenSpec TFillWindow::kContract{"TFillWindow", "FillWindow", nullptr, {}, {}};

TFillWindow::TFillWindow()
{
    mTexture = TTexture::Create(1, 1, true);
    FillTexture();
    mRefresh = std::make_unique<TTextureRefresh>([this] { FillTexture(); });
}

TFillWindow::~TFillWindow() = default;

void TFillWindow::FillTexture()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !mTexture)
        return;
    const TColor white{1.0f, 1.0f, 1.0f, 1.0f};
    platform->FillRect(0, 0, 1, 1, &white, mTexture);
}

bool TFillWindow::Init()
{
    TWindowManager* manager = TWindowManager::GetInstance();
    if (IWindowScript* script = manager ? manager->GetScript() : nullptr) {
        mColor.r = static_cast<float>(script->GetNumber("r", 1));
        mColor.g = static_cast<float>(script->GetNumber("g", 1));
        mColor.b = static_cast<float>(script->GetNumber("b", 1));
    }
    mColor.a = 1.0f;
    return true;
}

void TFillWindow::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!mTexture || !platform || !platform->Begin2d())
        return;
    // Sprites are placed relative to the viewport, which the window system
    // clips to the part of this window that is on the screen.
    TRect area;
    GetClientRect(&area);
    ClientToScreen(&area);
    TRect viewport;
    platform->GetViewport(&viewport);
    const TVec2 centre{(area.x1 + area.x2) / 2.0f - static_cast<float>(viewport.x1),
                       (area.y1 + area.y2) / 2.0f - static_cast<float>(viewport.y1)};
    mTexture->DrawSprite(centre, 1.0f, static_cast<float>(area.Width()), static_cast<float>(area.Height()), 0.0f,
                         nullptr, &mColor, 0, nullptr);
    platform->End2d();
}
