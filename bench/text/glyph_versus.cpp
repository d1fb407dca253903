// Our rasteriser against FreeType on the same glyphs, in one run: DejaVu Sans
// unhinted at 12, 16 and 24 px, every glyph of the built-in font (made from
// that face) at the four quarter-pixel phases, drawn white into a BGRA
// surface. Cold: a fresh rasteriser (ours) or a fresh render from the outline
// (FreeType) for every glyph; warm: our span cache, FreeType's small-bitmap
// cache, each followed by the blend into the surface. The four ways take
// turns, each pass timed whole; the best pass of each counts, and the
// per-glyph times and our/FreeType ratios are printed.
//
//   glyph_versus [PASSES]
#include "engine/text/default_font.h"
#include "engine/text/minivecdraw.h"
#include "engine/text/mvecfont.h"
#include "engine/text/text_display.h"
#include "tools/mvecfont/glyph_compare.h"

#include "freetype_library.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_CACHE_H

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int kSizes[] = {12, 16, 24};
constexpr int kPhases = 4;
constexpr int kSurfaceWidth = 1024, kSurfaceHeight = 96;

struct TGlyph {
    int index;
    unsigned code;
    int phase;
};

std::vector<TGlyph> AllGlyphs(const TMvecFont& font)
{
    std::vector<TGlyph> glyphs;
    for (int phase = 0; phase < kPhases; ++phase)
        for (int i = 0; i < font.GetGlyphCount(); ++i)
            glyphs.push_back({i, unsigned(font.GetGlyphCode(i)), phase});
    return glyphs;
}

// Where glyph n goes: 32 across, rows far enough apart not to matter.
int PenX(size_t n) { return 8 + int(n % 32) * 30; }

void DrawOurs(TQmMiniVecDraw& draw, const TMvecFont& font, const std::vector<TGlyph>& glyphs, int pixels,
              const std::shared_ptr<TMemorySurface>& surface)
{
    draw.mScaleX = draw.mScaleY = 4.0f * pixels / mvecfont::kFontUnitsPerEm;
    draw.Start(0, 60, surface);
    for (size_t n = 0; n < glyphs.size(); ++n)
        draw.Draw(font.GetGlyphData(glyphs[n].index), PenX(n) * 4 + glyphs[n].phase, 0);
    draw.Stop();
}

// White over the surface by the bitmap's coverage, as our spans blend.
void Blend(const FT_Bitmap& bitmap, int left, int top, TMemorySurface& surface)
{
    std::vector<uint8_t>& pixels = surface.Pixels();
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        int y = top + int(row);
        if (y < 0 || y >= surface.Height())
            continue;
        const unsigned char* coverage = bitmap.buffer + row * bitmap.pitch;
        for (unsigned column = 0; column < bitmap.width; ++column) {
            int x = left + int(column);
            unsigned a = coverage[column];
            if (a == 0 || x < 0 || x >= surface.Width())
                continue;
            uint8_t* p = &pixels[(size_t(y) * surface.Width() + x) * 4];
            for (int c = 0; c < 3; ++c)
                p[c] = uint8_t(p[c] + (255 - p[c]) * a / 255);
            p[3] = 255;
        }
    }
}

FT_Error RequestFace(FTC_FaceID, FT_Library library, FT_Pointer, FT_Face* face)
{
    return FT_New_Face(library, QM_DEJAVU_DIR "/DejaVuSans.ttf", 0, face);
}

double SecondsOf(const std::function<void()>& pass)
{
    auto start = std::chrono::steady_clock::now();
    pass();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    const int passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    auto font = TMvecFont::FromBytes(kDefaultFont, kDefaultFontSize);
    const std::vector<TGlyph> glyphs = AllGlyphs(*font);
    auto surface = std::make_shared<TMemorySurface>(kSurfaceWidth, kSurfaceHeight);

    FT_Library library = benchft::NewLibrary();
    FT_Face face = nullptr;
    FTC_Manager manager = nullptr;
    FTC_SBitCache cache = nullptr;
    if (!library || FT_New_Face(library, QM_DEJAVU_DIR "/DejaVuSans.ttf", 0, &face) ||
        FTC_Manager_New(library, 1, 4, 64 << 20, RequestFace, nullptr, &manager) ||
        FTC_SBitCache_New(manager, &cache)) {
        std::fprintf(stderr, "FreeType or DejaVu Sans is missing\n");
        return 1;
    }
    std::printf("%zu glyphs a pass, best of %d passes, load before: ", glyphs.size(), passes);
    std::fflush(stdout);
    std::system("cut -d' ' -f1-3 /proc/loadavg");
    std::printf("%-4s %10s %10s %7s %10s %10s %7s %14s\n", "px", "ours_cold", "ft_cold", "ratio", "ours_warm", "ft_warm",
                "ratio", "ft_warm_allocs");
    for (int pixels : kSizes) {
        FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixels));
        TQmMiniVecDraw warm;
        warm.SetColor(1, TColor{1, 1, 1, 1}, 1.0f);
        DrawOurs(warm, *font, glyphs, pixels, surface);  // fills the span cache
        FTC_ImageTypeRec type{FTC_FaceID(1), FT_UInt(pixels), FT_UInt(pixels), FT_LOAD_NO_HINTING | FT_LOAD_RENDER};

        auto oursCold = [&] {
            TQmMiniVecDraw draw;
            draw.SetColor(1, TColor{1, 1, 1, 1}, 1.0f);
            DrawOurs(draw, *font, glyphs, pixels, surface);
        };
        auto oursWarm = [&] { DrawOurs(warm, *font, glyphs, pixels, surface); };
        auto freeTypeCold = [&] {
            for (size_t n = 0; n < glyphs.size(); ++n) {
                FT_Vector delta{glyphs[n].phase * 16, 0};  // 26.6: a quarter pixel is 16
                FT_Set_Transform(face, nullptr, &delta);
                FT_Load_Glyph(face, FT_Get_Char_Index(face, glyphs[n].code), FT_LOAD_NO_HINTING | FT_LOAD_RENDER);
                FT_GlyphSlot slot = face->glyph;
                Blend(slot->bitmap, PenX(n) + slot->bitmap_left, 60 - slot->bitmap_top, *surface);
            }
        };
        auto freeTypeWarm = [&] {
            // The cache keys by glyph and size: the phases of a glyph share one bitmap.
            for (size_t n = 0; n < glyphs.size(); ++n) {
                FTC_SBit sbit = nullptr;
                FT_UInt index = FT_Get_Char_Index(face, glyphs[n].code);
                if (FTC_SBitCache_Lookup(cache, &type, index, &sbit, nullptr) || !sbit)
                    continue;
                FT_Bitmap bitmap{};
                bitmap.rows = sbit->height;
                bitmap.width = sbit->width;
                bitmap.pitch = sbit->pitch;
                bitmap.buffer = sbit->buffer;
                Blend(bitmap, PenX(n) + sbit->left, 60 - sbit->top, *surface);
            }
        };
        freeTypeWarm();  // fills the bitmap cache
        double best[4] = {1e9, 1e9, 1e9, 1e9};
        const std::function<void()> ways[4] = {oursCold, freeTypeCold, oursWarm, freeTypeWarm};
        long warmAllocations = 0;  // a lookup the cache serves allocates nothing
        for (int p = 0; p < passes; ++p)
            for (int w = 0; w < 4; ++w) {
                const long before = benchft::Allocations();
                best[w] = std::min(best[w], SecondsOf(ways[w]));
                if (w == 3)
                    warmAllocations += benchft::Allocations() - before;
            }
        const double perGlyph = 1e6 / double(glyphs.size());  // microseconds
        std::printf("%-4d %10.3f %10.3f %7.3f %10.3f %10.3f %7.3f %14ld\n", pixels, best[0] * perGlyph,
                    best[1] * perGlyph, best[0] / best[1], best[2] * perGlyph, best[3] * perGlyph, best[2] / best[3],
                    warmAllocations);
    }
    FT_Set_Transform(face, nullptr, nullptr);
    FTC_Manager_Done(manager);
    FT_Done_Face(face);
    benchft::DoneLibrary(library);
    return 0;
}
