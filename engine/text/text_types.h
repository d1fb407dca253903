// Small value types the text code shares with its callers: a float colour,
// an inclusive-edged rectangle and a point. They mirror the engine's maths
// types; when engine/base gains those, this header becomes an include of them.
#pragma once

#include <cstdint>

struct TColor {
    float r = 0, g = 0, b = 0, a = 0;
    bool operator==(const TColor& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const TColor& o) const { return !(*this == o); }
};

// Edges inclusive: x2 and y2 are the right and bottom edge.
struct TRect {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

struct TPoint {
    int x = 0, y = 0;
};

// Vertex colour, memory order R, G, B, A.
struct TColor32 {
    uint8_t r = 0, g = 0, b = 0, a = 0;
};
