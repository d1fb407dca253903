#include "tools/mvecfont/glyph_compare.h"

#include <cmath>
#include <vector>

namespace mvecfont {

CoverageDiff CompareGlyph(FT_Face face, const TMvecFont& font, unsigned long code, int pixelsPerEm,
                          TQmMiniVecDraw& draw)
{
    CoverageDiff result;
    const int index = font.GetGlyphIndex(code);
    if (index < 0 || FT_Set_Pixel_Sizes(face, 0, pixelsPerEm) != 0 ||
        FT_Load_Char(face, code, FT_LOAD_NO_HINTING | FT_LOAD_RENDER) != 0)
        return result;
    const FT_Bitmap& bitmap = face->glyph->bitmap;

    // Room for anything the em box and a generous overhang can hold.
    const int size = pixelsPerEm * 4;
    const int originX = pixelsPerEm, originY = pixelsPerEm * 2;
    auto surface = std::make_shared<TMemorySurface>(size, size);
    draw.mScaleX = draw.mScaleY = 4.0f * pixelsPerEm / kFontUnitsPerEm;
    draw.mRotationCos = 1;
    draw.mRotationSin = 0;
    draw.mStrokeWidth[0] = draw.mStrokeWidth[1] = 0;
    draw.mItalic = false;
    draw.SetColor(1, TColor{1, 1, 1, 1}, 1.0f);
    draw.Start(float(originX), float(originY), surface);
    draw.Draw(font.GetGlyphData(index), 0, 0, false);
    draw.Stop();

    auto reference = [&](int x, int y) -> double {
        int bx = x - originX - face->glyph->bitmap_left, by = y - originY + face->glyph->bitmap_top;
        if (bx < 0 || by < 0 || bx >= int(bitmap.width) || by >= int(bitmap.rows))
            return 0;
        return bitmap.buffer[by * bitmap.pitch + bx] / 255.0;
    };
    double sumDiff = 0, sumReference = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double ours = surface->At(x, y) / 255.0, theirs = reference(x, y);
            if (ours == 0 && theirs == 0)
                continue;
            ++result.pixels;
            sumDiff += std::fabs(ours - theirs);
            if (std::fabs(ours - theirs) > 0.5)
                ++result.badPixels;
            sumReference += theirs;
        }
    if (result.pixels > 0)
        result.meanAbs = sumDiff / result.pixels;
    result.relativeArea = sumReference > 0 ? sumDiff / sumReference : (sumDiff > 0 ? 1.0 : 0.0);
    return result;
}

}  // namespace mvecfont
