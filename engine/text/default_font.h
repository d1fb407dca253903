// The built-in font: DejaVu Sans converted by tools/mvecfont at build time.
// Used for "__DEFAULT" and whenever a font file cannot be opened.
#pragma once

#include <cstddef>

extern const unsigned char kDefaultFont[];
extern const size_t kDefaultFontSize;
