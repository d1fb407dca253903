#include "edges.h"

#include <algorithm>

namespace contentlint {

namespace {

int Alpha(const TPicture& picture, int x, int y)
{
    return picture.bgra[(std::size_t(y) * std::size_t(picture.side) + std::size_t(x)) * 4 + 3];
}

// How many pixels lie between (x, y) and the picture's nearest side.
int Inside(const TPicture& picture, int x, int y)
{
    return std::min({x, y, picture.width - 1 - x, picture.height - 1 - y});
}

// The first pixel of the rings within `rings` of the border, row by row, that
// is more opaque than `allowed`.
bool FirstTooOpaque(const TPicture& picture, int rings, int allowed, int* x, int* y)
{
    for (int py = 0; py < picture.height; ++py)
        for (int px = 0; px < picture.width; ++px) {
            const int ring = Inside(picture, px, py);
            if (ring >= rings) {
                px = std::max(px, picture.width - rings - 1);  // on to the row's right-hand rings
                continue;
            }
            if (Alpha(picture, px, py) > allowed) {
                *x = px;
                *y = py;
                return true;
            }
        }
    return false;
}

std::string At(int x, int y) { return "pixel " + std::to_string(x) + "," + std::to_string(y); }

std::string BorderFault(const TPicture& picture)
{
    int x = 0, y = 0;
    if (FirstTooOpaque(picture, 1, 0, &x, &y))
        return At(x, y) + " on the border is not transparent";
    return {};
}

}  // namespace

std::string GlowEdgeFault(const TPicture& picture)
{
    const std::string border = BorderFault(picture);
    if (!border.empty())
        return "is cut off at its edge: " + border;
    int x = 0, y = 0;
    if (FirstTooOpaque(picture, kGlowFadeRings, kGlowFadedAlpha, &x, &y))
        return "reaches its edge: " + At(x, y) + ", " + std::to_string(Inside(picture, x, y)) +
               " px inside the border, is " + std::to_string(Alpha(picture, x, y)) +
               "/255 opaque (eased out there, it still ends in a straight cut)";
    return {};
}

std::string WholeEdgeFault(const TPicture& picture)
{
    const std::string border = BorderFault(picture);
    return border.empty() ? border : "is cut at its edge: " + border;
}

}  // namespace contentlint
