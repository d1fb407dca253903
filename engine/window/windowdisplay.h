// The drawing the window core does itself, as a narrow interface: the
// display's viewport stack (each window draws clipped to its own screen
// rectangle) and the root screen's background fill. The display handler
// provides the real one and the window host installs it in the window
// manager; tests install a recording one. Without one, windows draw
// unclipped and the root screen fills nothing.
#pragma once

#include "engine/base/color.h"
#include "engine/base/rect.h"

class IWindowDisplay {
public:
    virtual ~IWindowDisplay() = default;
    // The current viewport: x1, y1 its origin, x2, y2 its far edges (a full
    // 800x600 screen is {0, 0, 800, 600}).
    virtual TRect GetViewport() = 0;
    virtual void PushViewport(const TRect& r) = 0;
    virtual void PopViewport() = 0;
    // Fills a rectangle of the screen with a colour.
    virtual void FillRect(const TRect& r, const TColor& colour) = 0;
    // Whether the next frame finds the last one's pixels in place, so that
    // redrawing the dirty windows is enough (see TDisplayHandler).
    virtual bool KeepsLastFrame() { return true; }
};
