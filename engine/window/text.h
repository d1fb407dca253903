// TText: a block of rich text (TTextGraphic) in a window: labels, dialog
// bodies, button captions. Its markup links act as buttons: a click on a
// link whose id names a button of the same modal window presses it.
#pragma once

#include "engine/base/color.h"
#include "engine/window/window.h"

class TTextGraphic;

class TText : public TWindow {
public:
    explicit TText(bool background = false);
    ~TText() override;

    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }

    // Lays out `text` in a width x height box; false (and no text graphic)
    // when either is zero.
    bool Create(str text, int width, int height, int justification, const char* font, int size,
                const TColor& colour);

    void Draw() override;
    // Scrolls by whole lines; `fraction` 0..1 of the scrollable range.
    void SetScroll(float fraction, float) override;
    bool OnMouseDown(const TPoint& p) override;
    bool OnMouseUp(const TPoint& p) override;
    bool OnMouseMove(const TPoint& p) override;
    bool OnMouseLeave() override;
    // Any damage redraws the whole text.
    bool OnDirtyRect(TRect* r) override;

    virtual void SetText(str text);
    virtual str GetText();

    void GetTextBounds(TRect* r) const;
    int GetLineCount() const;
    void SetRotation(float degrees, int centreX, int centreY);
    void SetAlpha(float alpha) { mAlpha = alpha; }
    float GetAlpha() const { return mAlpha; }
    void SetScale(float scale) { mScale = scale; }
    void SetLineSpacing(int pixels) { mLineSpacing = pixels; }
    // An outline round every glyph (size in pixels, 0: none); it stays through
    // SetText and a later Create.
    void SetOutline(float size, const TColor& colour);
    int GetLineSpacing() const { return mLineSpacing; }
    TTextGraphic* GetTextGraphic() const { return mGraphic; }

private:
    TTextGraphic* mGraphic = nullptr;  // owned; destroyed through TTextGraphic::Destroy
    float mScale = 1.0f;
    float mAlpha = 1.0f;
    int mLineSpacing = 0;
    float mOutlineSize = 0;
    TColor mOutlineColour;
    str mPressedLink;
};
