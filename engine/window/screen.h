// The root of the window tree: the modal window at the bottom of the modal
// stack, made by the first TPlatform::SetDisplay and sized to the display.
// Its drawing is the background of each frame: an optional solid fill of the
// area being redrawn.
#pragma once

#include "engine/base/color.h"
#include "engine/window/modalwindow.h"

class TScreen : public TModalWindow {
public:
    TScreen();

    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TModalWindow::IsKindOf(id); }

    void Draw() override;

    // Whoever configures the root screen sets its background.
    void SetFill(bool on, const TColor& colour)
    {
        mFill = on;
        mFillColour = colour;
    }
    bool GetFill() const { return mFill; }
    const TColor& GetFillColour() const { return mFillColour; }

private:
    bool mFill = false;
    TColor mFillColour;
};
