// Compares our rasteriser's coverage of a glyph with FreeType's anti-aliased
// rendering of the same TrueType outline. The font builder uses it to reject
// glyphs that would draw wrongly (even-odd filling shows overlapping contours
// as holes); the quality test uses it to measure the shipped fonts.
#pragma once

#include "engine/text/minivecdraw.h"
#include "engine/text/mvecfont.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace mvecfont {

// Our fonts hold TrueType units times this in the file's 1/128 units, so the
// em of 2048 units becomes 192 font units: 2048 x 12 / 128.
constexpr int kFileUnitsPerTrueTypeUnit = 12;
constexpr float kFontUnitsPerEm = 192.0f;

struct CoverageDiff {
    double meanAbs = 0;      // mean |ours - FreeType| over pixels either inks, 0..1
    double relativeArea = 0; // sum |ours - FreeType| / FreeType's inked area
    int pixels = 0;          // pixels either inks
    int badPixels = 0;       // pixels off by more than half coverage: holes, stray ink
};

// Renders `code` at `pixelsPerEm` both ways and compares. `face` must hold the
// font the mvec font was built from.
CoverageDiff CompareGlyph(FT_Face face, const TMvecFont& font, unsigned long code, int pixelsPerEm,
                          TQmMiniVecDraw& draw);

}  // namespace mvecfont
