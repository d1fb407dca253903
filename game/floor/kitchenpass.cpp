#include "game/floor/kitchenpass.h"

#include "engine/render/texture.h"
#include "game/floor/floorart.h"

TKitchenPass::TKitchenPass() : mPicture(TTexture::Get("furniture/kitchenpass")) {}

TKitchenPass::~TKitchenPass() = default;

void TKitchenPass::Draw() const
{
    if (mPicture)
        mPicture->DrawSprite(float(kitchen::kPass.x), float(kitchen::kPass.y), 1.0f, 1.0f, 0.0f, 0);
}

TRect TKitchenPass::BoundingBox() const
{
    TRect box = floorart::CentredBox(mPicture);
    box.Offset(kitchen::kPass.x, kitchen::kPass.y);
    return box;
}
