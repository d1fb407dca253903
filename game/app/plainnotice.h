// TPlainNotice: a notice the player can always read and dismiss, built
// without a screen script, art or font file: a panel in plain colours, the
// title and the text in the engine's built-in font, and an OK box. It stands
// in for a screen script that could not show its dialog (a damaged
// scripts/startrefused.lua), which would otherwise leave a black window
// that takes no answer. A click on OK, Return, Escape or the space bar
// dismisses it: it closes and runs `dismissed`.
#pragma once

#include "engine/base/rect.h"
#include "engine/base/str.h"
#include "engine/window/modalwindow.h"

#include <functional>
#include <memory>

class TTexture;

class TPlainNotice : public TModalWindow {
public:
    TPlainNotice(str title, str body, std::function<void()> dismissed);
    ~TPlainNotice() override;

    bool Init() override;
    void Draw() override;
    bool OnMouseDown(const TPoint& p) override;
    bool OnChar(char32_t c) override;

    // The OK box, in this window's coordinates.
    TRect OkBox() const;
    bool Dismissed() const { return mDismissed; }

private:
    void AddText(const str& text, const TRect& box, int justification, int size);
    void Fill(const TRect& box, float r, float g, float b);
    void Dismiss();

    str mTitle;
    str mBody;
    std::function<void()> mOnDismiss;
    std::shared_ptr<TTexture> mWhite;
    bool mDismissed = false;
};
