// TImage: one texture in a window, at a scale and an opacity. An opaque,
// unscaled picture is copied rectangle by rectangle, so only what is dirty
// is redrawn.
#pragma once

#include "engine/window/window.h"

#include <memory>

class TTexture;

class TImage : public TWindow {
public:
    explicit TImage(bool background = false);
    ~TImage() override;

    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }

    // Sizes the window to the texture times the scale; a window without a
    // name takes the texture's.
    void SetTexture(std::shared_ptr<TTexture> texture, float scale);
    const std::shared_ptr<TTexture>& GetTexture() const { return mTexture; }
    float GetScale() const { return mScale; }
    void SetAlpha(float alpha) { mAlpha = alpha; }
    float GetAlpha() const { return mAlpha; }

    void Draw() override;
    // Draws the part r (client coordinates) at origin + r's top-left corner.
    void UpdateRect(TPoint origin, const TRect& r);

private:
    std::shared_ptr<TTexture> mTexture;
    float mScale = 1.0f;
    float mAlpha = 1.0f;
};
