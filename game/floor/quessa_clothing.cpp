// TQuessa's clothing: five layers over her body, each tinted on its own copy.
#include "engine/render/animatedtexture.h"
#include "game/floor/quessa.h"

#include "game/settings/settings.h"

namespace {

constexpr const char* kOff = "<off>";

struct TClothingDefault {
    const char* asset;
    const char* colour;
};

const TClothingDefault kDefaults[TQuessa::kClothingSlots] = {
    {"assets/quessa/shoes1.anm", "default_shoes"},
    {"assets/quessa/bottom1.anm", "default_pants"},
    {"assets/quessa/top1.anm", "default_top"},
    {"assets/quessa/apron1.anm", "default_apron"},
    {"", ""},
};

bool Wears(const str& asset) { return asset.length() > 0 && asset != str(kOff); }

}  // namespace

str TQuessa::GetDefaultClothing(EClothingItems slot)
{
    return slot >= 0 && slot < kClothingSlots ? str(kDefaults[slot].asset) : str();
}

str TQuessa::GetDefaultColor(EClothingItems slot)
{
    return slot >= 0 && slot < kClothingSlots ? str(kDefaults[slot].colour) : str();
}

void TQuessa::PutOnClothing(EClothingItems slot, str asset, str colour)
{
    if (slot < 0 || slot >= kClothingSlots)
        return;
    auto& layer = mLayers[std::size_t(slot)];
    layer.reset();
    mLayerOffsets[std::size_t(slot)] = TPoint{};
    if (!Wears(asset))
        return;
    layer = std::make_unique<TClothingLayer>();
    layer->Init(asset, colour);
    int layerX = 0, layerY = 0, bodyX = 0, bodyY = 0;
    auto body = mBody.GetAnimatedTexture();
    if (body && layer->GetRegistrationPoint(&layerX, &layerY)) {
        body->GetRegistrationPoint(&bodyX, &bodyY);
        mLayerOffsets[std::size_t(slot)] = TPoint{layerX - bodyX, layerY - bodyY};
    }
}

void TQuessa::ApplyClothing()
{
    TSettings* settings = TSettings::GetInstance();
    for (int i = 0; i < kClothingSlots; ++i) {
        const auto slot = EClothingItems(i);
        str asset = GetDefaultClothing(slot), colour = GetDefaultColor(slot);
        if (settings)
            settings->GetClothing(i, &asset, &colour, GetDefaultClothing(slot), GetDefaultColor(slot));
        if (Wears(asset))
            PutOnClothing(slot, asset, colour);
        else
            mLayers[std::size_t(i)].reset();
    }
}

void TQuessa::ReleaseClothing()
{
    for (auto& layer : mLayers)
        layer.reset();
}
