// The process-wide objects that text layout and drawing share: the font
// cache, the one span rasteriser and the display it draws through. The
// platform data owns them and installs them here when it sets up the display
// (and calls TQmMiniVecDraw::Calibrate right after); until then layout works
// with a font cache of this module's own and drawing does nothing.
#pragma once

#include "engine/text/fontdata.h"
#include "engine/text/minivecdraw.h"

struct TTextServices {
    TFontData* fonts = nullptr;
    TQmMiniVecDraw* rasterizer = nullptr;
    TTextDisplay* display = nullptr;
};

// Replaces the installed services (pass {} to uninstall).
void SetTextServices(const TTextServices& services);
const TTextServices& GetTextServices();
// The installed font cache, or this module's own when none is installed.
TFontData& GetFontData();
