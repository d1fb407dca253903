// The small value types text shares with its callers. Colours are the base's;
// TRect and TPoint stand in here until the window module provides them.
#pragma once

#include "engine/base/color.h"

// Edges inclusive: x2 and y2 are the right and bottom edge.
struct TRect {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct TPoint {
    int x = 0, y = 0;
};

inline bool SameColour(const TColor& a, const TColor& b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}
