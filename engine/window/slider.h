// TSlider: a scroll bar. A rail of three pictures (top cap, stretched middle,
// bottom cap) and a draggable handle picture, holding a value from 0 to 1.
// It tells its parent about moves (kSliderMoved), the end of a drag
// (kSliderReleased) and clicks on the rail before or after the handle
// (kSliderPageBack, kSliderPageForward).
#pragma once

#include "engine/base/vec.h"
#include "engine/render/drawtypes.h"
#include "engine/window/window.h"

#include <memory>

class TImage;
class TTexture;

// Two triangles (six vertices) covering size + extra at pos; turned 90
// degrees the quad's axes are swapped, for horizontal rails.
void MakeQuad2d(TTransformedLitVert* out, const TVec2& pos, const TVec2& size, const TVec2& extra,
                const TVec2& uvScale, bool turn90);

class TSlider : public TWindow {
public:
    TSlider();
    ~TSlider() override;

    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }

    // Reads its options from the definition being built.
    bool Init() override;
    void Draw() override;
    bool OnMouseDown(const TPoint& p) override;
    bool OnMouseUp(const TPoint& p) override;
    bool OnMouseMove(const TPoint& p) override;
    bool OnMouseLeave() override;

    float GetValue() const { return mValue; }
    // Clamped to 0..1; unless quiet the parent hears kSliderMoved.
    void SetValue(float value, bool quiet);
    void SetRailTexture(std::shared_ptr<TTexture> top, std::shared_ptr<TTexture> middle,
                        std::shared_ptr<TTexture> bottom);
    void SetSliderTexture(std::shared_ptr<TTexture> normal, std::shared_ptr<TTexture> rollover);
    void ShowHandle(bool show);
    void UpdateSliderPos();
    void SetSliderSize();

    bool IsHorizontal() const { return mHorizontal; }
    void SetHorizontal(bool horizontal) { mHorizontal = horizontal; }
    bool IsDragging() const { return mDragging; }
    // Null once the slider is gone; a child of the slider after Init.
    TImage* GetHandle() const { return mHandle; }
    int GetThickness() const { return mThickness; }

private:
    bool OnHandle(const TPoint& p) const;
    void ShowHandleTexture(int which);
    void SendToParent(int type);
    void ReleaseMouse();

    bool mDragging = false;
    std::unique_ptr<TImage> mOwnedHandle;  // until Init adopts it as a child
    TImage* mHandle;
    std::shared_ptr<TTexture> mSliderTextures[2];
    std::shared_ptr<TTexture> mRailTextures[3];
    float mValue = 0.0f;
    float mScale = 1.0f;
    int mYOffset = 0;
    int mThickness = 0;
    bool mHorizontal = false;
};
