// Our rasteriser against FreeType on the same glyphs, in one run: DejaVu Sans
// unhinted at 12, 16 and 24 px, every glyph of the built-in font (made from
// that face) at the four quarter-pixel phases, drawn white into a BGRA
// surface. Cold: a fresh rasteriser (ours) or a fresh render from the outline
// (FreeType) for every glyph; warm: our span cache, FreeType's small-bitmap
// cache, each followed by the blend into the surface (FreeType's bitmaps with
// our spans' arithmetic, clipped once a bitmap). The four ways take
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
#include <cstring>
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

// x / 255 for x up to 255 x 255, exactly, in each 16-bit lane of a word: the
// division our span blend makes.
inline uint32_t DivideLanesBy255(uint32_t x)
{
    return ((x + 0x00010001u + ((x >> 8) & 0x00ff00ffu)) >> 8) & 0x00ff00ffu;
}

// White over one B, G, R, A pixel by coverage a, with our spans' arithmetic:
// each channel (old x (255 - a) + 255 x a) / 255, blue and red in one
// multiply, alpha kept.
inline void BlendWhite(uint8_t* pixel, uint32_t a)
{
    uint32_t p;
    std::memcpy(&p, pixel, 4);
    if (a == 255) {
        p |= 0x00ffffffu;
    } else {
        const uint32_t inverse = 255 - a;
        const uint32_t rb = DivideLanesBy255((p & 0x00ff00ffu) * inverse + 0x00ff00ffu * a);
        const uint32_t g = DivideLanesBy255(((p >> 8) & 0xffu) * inverse + 0xffu * a);
        p = (p & 0xff000000u) | rb | (g << 8);
    }
    std::memcpy(pixel, &p, 4);
}

// The bitmap white over the surface by its coverage, clipped to the surface
// once for the whole bitmap, as our spans are clipped once for a glyph.
void Blend(const FT_Bitmap& bitmap, int left, int top, TMemorySurface& surface)
{
    const int rowFrom = std::max(0, -top), rowTo = std::min(int(bitmap.rows), surface.Height() - top);
    const int columnFrom = std::max(0, -left), columnTo = std::min(int(bitmap.width), surface.Width() - left);
    uint8_t* pixels = surface.Pixels().data();
    for (int row = rowFrom; row < rowTo; ++row) {
        const unsigned char* coverage = bitmap.buffer + row * bitmap.pitch;
        uint8_t* line = pixels + (size_t(top + row) * size_t(surface.Width()) + size_t(left)) * 4;
        for (int column = columnFrom; column < columnTo; ++column)
            if (coverage[column])
                BlendWhite(line + size_t(column) * 4, coverage[column]);
    }
}

// The blend above gives, for every coverage over every channel value, what
// the formula of our spans gives (they are checked against it in
// tests/text); false (and a line on stderr) if not.
bool BlendMatchesOurs()
{
    for (uint32_t a = 1; a < 256; ++a)
        for (uint32_t old = 0; old < 256; ++old) {
            uint8_t pixel[4] = {uint8_t(old), uint8_t(255 - old), uint8_t(old), 77};
            BlendWhite(pixel, a);
            const auto expect = [&](uint32_t before) { return uint8_t((before * (255 - a) + 255 * a) / 255); };
            if (pixel[0] != expect(old) || pixel[1] != expect(255 - old) || pixel[2] != expect(old) || pixel[3] != 77) {
                std::fprintf(stderr, "blend differs from ours at coverage %u over %u\n", a, old);
                return false;
            }
        }
    return true;
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
    if (!BlendMatchesOurs())
        return 1;
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
