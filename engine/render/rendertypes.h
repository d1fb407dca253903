// The small value types the renderer's interfaces speak in. Colours, vectors
// and matrices are the engine's own (engine/base); the integer point and
// rectangle live here until a shared home for them exists.
#pragma once

#include "engine/base/color.h"
#include "engine/base/mat4.h"
#include "engine/base/vec.h"

// A point in window or screen pixels.
struct TPoint {
    int x = 0;
    int y = 0;
};

// Left, top, right, bottom in pixels; right and bottom are exclusive.
struct TRect {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;

    int Width() const { return x2 - x1; }
    int Height() const { return y2 - y1; }
    bool IsEmpty() const { return x2 <= x1 || y2 <= y1; }
    // The common part; an empty rectangle when they do not overlap.
    TRect Intersect(const TRect& o) const;
    // The smallest rectangle holding both; an empty one does not count.
    TRect Union(const TRect& o) const;
};
