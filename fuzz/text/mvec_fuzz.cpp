// Fuzzes the ".mvec" loader and the outline walk behind it: any file must load
// without reading outside its bytes, and every glyph it accepts must draw.
// The loader logs each glyph it leaves out: fuzz with -close_fd_mask=2.
#include "engine/text/minivecdraw.h"
#include "engine/text/mvecfont.h"

#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[size ? size : 1]);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = data[i];
    TMvecFont font(std::move(bytes), size);
    auto surface = std::make_shared<TMemorySurface>(64, 64);
    TQmMiniVecDraw draw;
    draw.SetColor(1, TColor{1, 1, 1, 1}, 1.0f);
    draw.mScaleX = draw.mScaleY = 0.25f;
    draw.Start(32, 32, surface);
    // Stroked (the layered scan) and plain (the one-fill scan, cached too).
    for (float stroke : {0.5f, 0.0f}) {
        draw.mStrokeWidth[0] = stroke;
        for (int i = 0; i < font.GetGlyphCount() && i < 64; ++i) {
            font.GetGlyphAdvance(i);
            draw.Draw(font.GetGlyphData(i), i, -i, stroke == 0);
        }
    }
    draw.Stop();
    return 0;
}
