#include "game/floor/clothinglayer.h"

#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "game/floor/quessacolors.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// The marked, tintable area: blue and red close, blue and green apart.
constexpr int kRedBlueTolerance = 45;
constexpr int kGreenBlueMargin = 3;

// A private copy of a texture's pixels; empty when it cannot be read.
std::shared_ptr<TTexture> CopyOf(const std::shared_ptr<TTexture>& shared)
{
    unsigned char* source = nullptr;
    int width = 0, height = 0, pitch = 0;
    if (!shared || !shared->Lock(&source, &width, &height, &pitch))
        return nullptr;
    std::shared_ptr<TTexture> copy = TTexture::Create(width, height, true);
    unsigned char* target = nullptr;
    int copyWidth = 0, copyHeight = 0, copyPitch = 0;
    if (copy && copy->Lock(&target, &copyWidth, &copyHeight, &copyPitch)) {
        const int rows = std::min(height, copyHeight);
        const std::size_t bytes = std::size_t(std::min(pitch, copyPitch));
        for (int y = 0; y < rows; ++y)
            std::memcpy(target + std::size_t(y) * std::size_t(copyPitch), source + std::size_t(y) * std::size_t(pitch),
                        bytes);
        copy->Unlock();
    } else {
        copy.reset();
    }
    shared->Unlock();
    return copy;
}

}  // namespace

void TClothingLayer::TintPixel(unsigned char* bgra, const TColor& colour)
{
    const int blue = bgra[0], green = bgra[1], red = bgra[2];
    if (std::abs(blue - red) >= kRedBlueTolerance || std::abs(blue - green) < kGreenBlueMargin)
        return;
    const float lightness = float(blue) / 255.0f;
    bgra[2] = static_cast<unsigned char>(int(lightness * colour.r * 255.0f));
    bgra[1] = static_cast<unsigned char>(int(lightness * colour.g * 255.0f));
    bgra[0] = static_cast<unsigned char>(int(lightness * colour.b * 255.0f));
}

void TClothingLayer::Tint(const std::shared_ptr<TTexture>& texture, const TColor* colour)
{
    unsigned char* pixels = nullptr;
    int width = 0, height = 0, pitch = 0;
    if (!colour || !texture || !texture->Lock(&pixels, &width, &height, &pitch))
        return;
    for (int y = 0; y < height; ++y) {
        unsigned char* row = pixels + std::size_t(y) * std::size_t(pitch);
        for (int x = 0; x < width; ++x)
            TintPixel(row + 4 * x, *colour);
    }
    texture->Unlock();
}

void TClothingLayer::Tint(const std::shared_ptr<TTexture>& texture, str colour)
{
    const TColorEntry* entry = TQuessaColors::Find(colour);
    if (!entry)
        return;
    const TColor rgb{entry->r, entry->g, entry->b, 1.0f};
    Tint(texture, &rgb);
}

bool TClothingLayer::Init(str asset, str colour)
{
    mAsset = asset;
    mColour = colour;
    if (!mAnimation.Init(asset, "", ""))
        return false;
    Refresh();
    return mSheet != nullptr;
}

void TClothingLayer::Refresh()
{
    auto animated = mAnimation.GetAnimatedTexture();
    mSheet = animated ? CopyOf(animated->GetAllFrames()) : nullptr;
    Tint(mSheet, mColour);
}

bool TClothingLayer::GetRegistrationPoint(int* x, int* y) const
{
    auto animated = mAnimation.GetAnimatedTexture();
    if (!animated)
        return false;
    animated->GetRegistrationPoint(x, y);
    return true;
}

void TClothingLayer::Draw(float x, float y, bool mirrored) const
{
    auto animated = mAnimation.GetAnimatedTexture();
    if (!animated || !mSheet || !animated->GetAnimation().IsFrame(mFrame))
        return;
    const TAnimFrame& frame = animated->GetAnimation().frames[std::size_t(mFrame)];
    const TRect source = frame.SheetRect();
    const TVec2 registration{float(frame.regX), float(frame.regY)};
    mSheet->DrawSprite(TVec2{x, y}, 1.0f, 1.0f, 1.0f, 0.0f, &registration, nullptr, mirrored ? 1 : 0, &source);
}
