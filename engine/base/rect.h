// Integer points and rectangles, in pixels with y growing downwards. Shared
// by the window system (hit-testing, invalidation) and the renderer
// (viewports, texture areas).
#pragma once

#include <algorithm>

struct TPoint {
    int x = 0;
    int y = 0;

    bool operator==(const TPoint&) const = default;
};

// x1, y1 the left and top edge, x2, y2 the right and bottom edge; a window's
// width is x2 - x1. For hit-testing every edge is inside (Contains).
struct TRect {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;

    bool operator==(const TRect&) const = default;

    int Width() const { return x2 - x1; }
    int Height() const { return y2 - y1; }
    // No area to draw in.
    bool IsEmpty() const { return x2 <= x1 || y2 <= y1; }

    // Edges inclusive: a point on x2 or y2 is inside.
    bool Contains(const TPoint& p) const { return x1 <= p.x && p.x <= x2 && y1 <= p.y && p.y <= y2; }

    void Offset(int dx, int dy)
    {
        x1 += dx;
        x2 += dx;
        y1 += dy;
        y2 += dy;
    }

    // True when the two share at least one point (edges count).
    static bool Overlaps(const TRect& a, const TRect& b)
    {
        return a.x1 <= b.x2 && b.x1 <= a.x2 && a.y1 <= b.y2 && b.y1 <= a.y2;
    }

    // The bounding rectangle of both.
    static TRect Union(const TRect& a, const TRect& b)
    {
        return {std::min(a.x1, b.x1), std::min(a.y1, b.y1), std::max(a.x2, b.x2), std::max(a.y2, b.y2)};
    }

    // Not normalised: disjoint rectangles give x2 < x1 or y2 < y1, which the
    // window system tests for rather than getting a silent zero rectangle.
    static TRect Intersect(const TRect& a, const TRect& b)
    {
        return {std::max(a.x1, b.x1), std::max(a.y1, b.y1), std::min(a.x2, b.x2), std::min(a.y2, b.y2)};
    }

    // Drawing forms: an empty result is the zero rectangle, and an empty
    // operand does not widen a union.
    TRect Intersect(const TRect& o) const
    {
        const TRect r = Intersect(*this, o);
        return r.IsEmpty() ? TRect{} : r;
    }
    TRect Union(const TRect& o) const
    {
        if (IsEmpty())
            return o;
        if (o.IsEmpty())
            return *this;
        return Union(*this, o);
    }
};
