// The small value types text shares with its callers: colours from the
// base, the integer point and rectangle from the renderer.
#pragma once

#include "engine/base/color.h"
#include "engine/render/rendertypes.h"

inline bool SameColour(const TColor& a, const TColor& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}
