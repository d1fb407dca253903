#include "game/screens/comic.h"

#include "engine/base/safefile.h"
#include "engine/platform/platform.h"
#include "engine/render/texture.h"
#include "engine/script/luabind.h"
#include "engine/window/button.h"
#include "engine/window/image.h"
#include "engine/window/modalwindow.h"
#include "engine/window/showwindow.h"
#include "game/settings/settings.h"

#include <cmath>
#include <numbers>

namespace {

using qm::lua::Method;
const qm::lua::TBinding kLuaFunctions[] = {
    {"ForwardComic", Method<&TComic::ForwardComic>},
    {"BackComic", Method<&TComic::BackComic>},
};

// One bobbing figure: its rest height, swing and period.
struct TBob {
    const char* texture;
    float x, y, swing;
    std::uint32_t period;
    bool sine;
};
const TBob kBobs[3] = {
    {"comics/quessa", 103, 266, 10, 3000, false},
    {"comics/odile", 370, 303, 8, 2500, true},
    {"comics/odiles_cup", 618, 344, 7, 3300, false},
};

// The page and the back arrow may lie beside the comic window (so the
// figures it draws stand in front of the page).
constexpr auto kComicpanel = contract::Child<TImage>("comicpanel").InScreen();
constexpr auto kLeft = contract::Child<TButton>("left").InScreen();
const contract::TChildSpec kComicChildren[] = {
    kComicpanel,
    kLeft,
};

}  // namespace

// Every comic_R_P.lua builds its page through scripts/comic.lua.
const contract::TScreenSpec TComic::kContract{"TComic", "ComicPanel", "scripts/comic_1_1.lua", kLuaFunctions,
                                              kComicChildren};

TComic::TComic() { PublishFunctions(); }

template <class T>
T* TComic::FindOnScreen(const contract::TChild<T>& child)
{
    // The page may lie under the comic window rather than in it, so that the
    // figures this window draws stand in front of it.
    if (T* own = Child(child))
        return own;
    return ScreenChild(child);
}

bool TComic::LoadPanel()
{
    TSettings* settings = TSettings::GetInstance();
    const int restaurant = settings ? settings->GetCurrentRestaurant() : 0;
    const str name = str::getFormatted("comics/comic%d_%d", restaurant + 1, mPanel + 1);
    // Past a comic's last page there is no picture: that is its end, not a
    // missing file for the log.
    if (mPanel > 0 && !qm::PathExists(str("assets/") + name + str(".png")))
        return false;
    auto texture = TTexture::Get(name);
    if (!texture)
        return false;
    if (TImage* panel = FindOnScreen(kComicpanel))
        panel->SetTexture(texture, 1.0f);
    return true;
}

void TComic::SetButtons()
{
    ShowWindow(FindOnScreen(kLeft), mPanel != 0);
    InvalidateRect(nullptr);
}

bool TComic::ForwardComic()
{
    ++mPanel;
    if (!LoadPanel())
        return true;
    SetButtons();
    return false;
}

void TComic::BackComic()
{
    if (mPanel <= 0)
        return;
    --mPanel;
    LoadPanel();
    SetButtons();
}

void TComic::PostChildrenInit()
{
    // The layout names no picture: the first page is the current restaurant's.
    LoadPanel();
    SetButtons();
    if (GetName() != str("comic_6_1"))
        return;
    for (int i = 0; i < 3; ++i) {
        mFigures[i] = TTexture::Get(kBobs[i].texture);
        mFigurePos[i] = TVec2{kBobs[i].x, kBobs[i].y};
    }
    StartWindowAnimation(50, true, true, false);
    OnTaskAnimate();
}

bool TComic::OnTaskAnimate()
{
    TPlatform* platform = TPlatform::GetInstance();
    const std::uint32_t now = platform ? platform->Timer() : 0;
    for (int i = 0; i < 3; ++i) {
        const TBob& bob = kBobs[i];
        const float angle = 2.0f * std::numbers::pi_v<float> * static_cast<float>(now % bob.period) /
                            static_cast<float>(bob.period);
        mFigurePos[i].y = bob.y + bob.swing * (bob.sine ? std::sin(angle) : std::cos(angle));
    }
    InvalidateRect(nullptr);
    return true;
}

void TComic::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!HasFigures() || !platform || !platform->Begin2d())
        return;
    const TVec2 anchor{0, 0};
    for (int i = 0; i < 3; ++i)
        if (mFigures[i])
            mFigures[i]->DrawSprite(mFigurePos[i], 1.0f, 1.0f, 0.0f, &anchor, 0);
    platform->End2d();
}
