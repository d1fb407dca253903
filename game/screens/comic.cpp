#include "game/screens/comic.h"

#include "engine/base/safefile.h"
#include "engine/platform/platform.h"
#include "engine/render/texture.h"
#include "engine/script/luabind.h"
#include "engine/window/button.h"
#include "engine/window/image.h"
#include "engine/window/modalwindow.h"
#include "game/settings/settings.h"

#include <cmath>
#include <numbers>

namespace {

int LuaForwardComic(lua_State* L)
{
    lua_pushboolean(L, qm::lua::Self<TComic>(L)->ForwardComic());
    return 1;
}

int LuaBackComic(lua_State* L)
{
    qm::lua::Self<TComic>(L)->BackComic();
    return 0;
}

const qm::lua::TBinding kLuaFunctions[] = {
    {"ForwardComic", LuaForwardComic},
    {"BackComic", LuaBackComic},
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

using contract::Child;
// The page and the back arrow may lie beside the comic window (so the
// figures it draws stand in front of the page).
const contract::TChildSpec kComicChildren[] = {
    Child("comicpanel", &TImage::ClassId).InScreen(),
    Child("left", &TButton::ClassId).InScreen(),
};

}  // namespace

// Every comic_R_P.lua builds its page through scripts/comic.lua.
const contract::TScreenSpec TComic::kContract{"TComic", "ComicPanel", "scripts/comic_1_1.lua", kLuaFunctions,
                                              kComicChildren};

TComic::TComic() { PublishFunctions(); }

TWindow* TComic::FindOnScreen(const char* name)
{
    // The page may lie under the comic window rather than in it, so that the
    // figures this window draws stand in front of it.
    if (TWindow* own = Child(name))
        return own;
    return ScreenChild(name);
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
    if (TImage* panel = ::GetCast<TImage>(FindOnScreen("comicpanel")))
        panel->SetTexture(texture, 1.0f);
    return true;
}

void TComic::SetButtons()
{
    if (TWindow* left = FindOnScreen("left")) {
        if (mPanel == 0)
            left->ClearFlags(kVisible);
        else
            left->AddFlags(kVisible);
        left->InvalidateRect(nullptr);
    }
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
