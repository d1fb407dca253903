#include "game/floor/table.h"

#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"

namespace {

str SizeName(int seats)
{
    return seats == 2 || seats == 4 || seats == 6 ? str::getFormatted("%dtop", seats) : str();
}

}  // namespace

TTable::TTable(str artFolder, int tableNumber, int seatCount, const int* chairColors, const TPoint& location)
    : TEatingStation(tableNumber, seatCount, true, location)
{
    const str size = SizeName(seatCount);
    if (size.length() > 0) {
        mLook = TAnimatedTexture::Get(artFolder + "tables/" + size + ".anm");
        mHighlight = TTexture::Get(artFolder + "tables/" + size + "_highlight", 0);
    }
    Setup(artFolder + "chairs/", artFolder, mLook, chairColors);
}

TTable::~TTable() = default;

void TTable::Draw(TAnimatedTextureCache* cache, float upgradeAlpha, float highlightAlpha)
{
    DrawPreTable(upgradeAlpha, highlightAlpha);
    TPlatform* platform = TPlatform::GetInstance();
    if (platform && platform->Begin2d()) {
        const TPoint at = GetLocation();
        const float x = static_cast<float>(at.x), y = static_cast<float>(at.y);
        if (mLook) {
            mLook->DrawSprite(x, y, upgradeAlpha > 0 ? 1.0f - upgradeAlpha : 1.0f, 1.0f, 0, 0);
            // The decor choice offers the upgraded table with its chairs.
            if (upgradeAlpha > 0)
                mUpgradeLook.DrawOtherFrame(*mLook, 1, GetUpgradeLevel(), at, upgradeAlpha, 0);
        }
        if (highlightAlpha > 0 && mHighlight)
            mHighlight->DrawSprite(x, y, highlightAlpha, 1.0f, 0, 0);
        platform->End2d();
    }
    DrawPostTable(cache);
}
