#include "game/play/floorbanner.h"

#include "engine/platform/platform.h"
#include "engine/render/texture.h"
#include "engine/text/textgraphic.h"

namespace {

constexpr int kFontSize = 52;
// The ribbon's face, where the words stand, is above its middle: its
// folded ends hang lower.
constexpr int kFaceLift = 9;
const char* const kOutline = "<outline color=\"3b2a33\" size=\"4\">";

}  // namespace

TFloorBanner::TFloorBanner()
    : mRibbon(TTexture::Get("ui/bannerribbon", 0)),
      mText(TTextGraphic::Create("", 800, 120, TTextGraphic::kHAlignCenter | TTextGraphic::kVAlignCenter,
                                 "assets/fonts/corona.mvec", kFontSize, TColor(1.0f, 0.97f, 0.93f, 1.0f)))
{
}

TFloorBanner::~TFloorBanner() { TTextGraphic::Destroy(mText); }

void TFloorBanner::Draw(const str& text, const TRect& rect)
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->Begin2d())
        return;
    const int cx = (rect.x1 + rect.x2) / 2, cy = (rect.y1 + rect.y2) / 2;
    if (mRibbon)
        mRibbon->DrawSprite(float(cx), float(cy + kFaceLift), 1.0f, 1.0f, 0.0f, 0);
    if (mText) {
        mText->SetText(str(kOutline) + text + "</outline>");
        mText->Draw(TRect{cx - 400, cy - 60, cx + 400, cy + 60}, 1.0f, 0, 1.0f);
    }
    platform->End2d();
}
