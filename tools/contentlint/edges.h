// What the border of a drawn picture shows. A halo laid over the scene must
// fade out by itself before its picture's edge; a picture drawn whole (a
// decor item, its offer with the orange rim) must leave its border empty.
// Otherwise the screen shows a straight cut where the picture ends: easing
// a halo out over its last pixels (png.faded_edges) keeps the border clear
// but still cuts what reached it, a ring or a rim included.
#pragma once

#include "colours.h"

#include <string>

namespace contentlint {

// A halo may be at most this opaque within kGlowFadeRings pixels of its border
// (and not at all on it): a fifth, as faint as a halo's own soft end.
constexpr int kGlowFadedAlpha = 48;
constexpr int kGlowFadeRings = 3;

// What is cut, as a sentence after the picture's name ("" when nothing is).
std::string GlowEdgeFault(const TPicture& picture);
std::string WholeEdgeFault(const TPicture& picture);

}  // namespace contentlint
