// TClothingLayer: one piece of the waitress's clothing, an animation drawn in
// step with her body. Its frames are drawn from a private copy of the
// animation's sheet, tinted with the layer's colour, so figures that wear the
// same item in different colours never repaint each other's texture (the
// sheet the texture registry shares stays untouched).
#pragma once

#include "engine/base/color.h"
#include "engine/base/rect.h"
#include "engine/base/str.h"
#include "engine/script/animation.h"

#include <memory>

class TTexture;

class TClothingLayer {
public:
    TClothingLayer() = default;
    TClothingLayer(const TClothingLayer&) = delete;
    TClothingLayer& operator=(const TClothingLayer&) = delete;

    // Loads the asset and makes the tinted copy; false when it has no sheet.
    bool Init(str asset, str colour);
    // Copies and tints the shared sheet again (after textures were lost).
    void Refresh();

    void SetFrame(int frame) { mFrame = frame; }
    int GetFrame() const { return mFrame; }
    // Registration point of the whole animation; false without one.
    bool GetRegistrationPoint(int* x, int* y) const;
    // The frame's registration point lands on (x, y).
    void Draw(float x, float y, bool mirrored) const;

    const str& GetAsset() const { return mAsset; }
    const str& GetColour() const { return mColour; }
    std::shared_ptr<TTexture> GetSheet() const { return mSheet; }

    // Tints the marked area of a texture in place: pixels whose blue and red
    // are close (|b - r| < 45) but whose blue and green differ (>= 3) take
    // the colour scaled by their blue as lightness. Null colour: nothing.
    static void Tint(const std::shared_ptr<TTexture>& texture, const TColor* colour);
    // The named colour of TQuessaColors (alpha 1); an unknown name: nothing.
    static void Tint(const std::shared_ptr<TTexture>& texture, str colour);
    // The pixel rule alone, on 32-bit blue-green-red-alpha pixels.
    static void TintPixel(unsigned char* bgra, const TColor& colour);

private:
    TAnimation mAnimation;
    std::shared_ptr<TTexture> mSheet;  // owned copy, tinted
    str mAsset;
    str mColour;
    int mFrame = 0;
};
