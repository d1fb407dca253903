// Where a window's top left lies in drawing coordinates: sprites are placed
// relative to the viewport, which the window system clips to the part of
// the window being drawn.
#pragma once

#include "engine/base/vec.h"
#include "engine/platform/platform.h"
#include "engine/window/window.h"

inline TVec2 WindowOriginInViewport(const TWindow& window, TPlatform& platform)
{
    TRect area;
    window.GetClientRect(&area);
    window.ClientToScreen(&area);
    TRect viewport;
    platform.GetViewport(&viewport);
    return {static_cast<float>(area.x1 - viewport.x1), static_cast<float>(area.y1 - viewport.y1)};
}
