// TFillWindow ("FillWindow"): its rectangle in one solid colour, read from
// the definition's "r", "g", "b" (0 to 1, default 1).
#pragma once

#include "engine/base/color.h"
#include "engine/window/window.h"
#include "game/screens/texturerefresh.h"
#include "game/screens/scriptedwindow.h"

#include <memory>

class TTexture;

class TFillWindow : public TScriptedWindow<TFillWindow> {
public:
    static const contract::TScreenSpec kContract;

    TFillWindow();
    ~TFillWindow() override;

    bool Init() override;
    void Draw() override;

    const TColor& GetColor() const { return mColor; }
    // Fills the 1 x 1 texture with opaque white (again after a texture loss).
    void FillTexture();

private:
    std::shared_ptr<TTexture> mTexture;
    TColor mColor{1.0f, 1.0f, 1.0f, 1.0f};
    std::unique_ptr<TTextureRefresh> mRefresh;
};

