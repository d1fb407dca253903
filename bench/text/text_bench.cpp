// Text drawing speed: a paragraph of mixed markup laid out and drawn, and a
// thousand distinct glyphs at 16 pixels drawn by our rasteriser and by
// FreeType, each with a cold and a warm cache.
#include "engine/text/default_font.h"
#include "engine/text/minivecdraw.h"
#include "engine/text/mvecfont.h"
#include "engine/text/textgraphic.h"
#include "engine/text/textservices.h"
#include "tools/mvecfont/glyph_compare.h"

#include "freetype_library.h"

#include <benchmark/benchmark.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_CACHE_H

#include <string>
#include <vector>

namespace {

const char* kParagraph =
    "<center><font size=\"24\"><b>Opening day</b></font></center>"
    "The <i>kitchen</i> opens at dawn. Serve every guest before their patience runs out, "
    "<font color=\"#c03020\">keep the tables clean</font> and watch the <u>tips</u> add up. "
    "Press <a id=\"help\" color=\"#2060c0\">here</a> for help, or <outline color=\"#000000\">"
    "<font color=\"#ffe080\">start now</font></outline>! Caf\xC3\xA9s, cr\xC3\xA8me br\xC3\xBBl\xC3\xA9"
    "e and \xE2\x80\x9Cquotes\xE2\x80\x9D are all in the font.";

void ParagraphCold(benchmark::State& state)
{
    auto surface = std::make_shared<TMemorySurface>(512, 256);
    for (auto _ : state) {
        TQmMiniVecDraw draw;
        SetTextServices(TTextServices{nullptr, &draw, nullptr});
        TTextGraphic* text = TTextGraphic::Create(kParagraph, 480, 240, 0, "", 16, TColor{0, 0, 0, 1});
        text->DrawInto(TRect{16, 8, 496, 248}, 1.0f, 0, 1.0f, surface);
        text->Destroy();
    }
    SetTextServices(TTextServices{});
}
BENCHMARK(ParagraphCold)->Unit(benchmark::kMicrosecond);

void ParagraphWarm(benchmark::State& state)
{
    auto surface = std::make_shared<TMemorySurface>(512, 256);
    TQmMiniVecDraw draw;
    SetTextServices(TTextServices{nullptr, &draw, nullptr});
    TTextGraphic* text = TTextGraphic::Create(kParagraph, 480, 240, 0, "", 16, TColor{0, 0, 0, 1});
    text->DrawInto(TRect{16, 8, 496, 248}, 1.0f, 0, 1.0f, surface);
    for (auto _ : state)
        text->DrawInto(TRect{16, 8, 496, 248}, 1.0f, 0, 1.0f, surface);
    text->Destroy();
    SetTextServices(TTextServices{});
}
BENCHMARK(ParagraphWarm)->Unit(benchmark::kMicrosecond);

void ParagraphLayout(benchmark::State& state)
{
    for (auto _ : state) {
        TTextGraphic* text = TTextGraphic::Create(kParagraph, 480, 240, 0, "", 16, TColor{0, 0, 0, 1});
        benchmark::DoNotOptimize(text->GetLineCount());
        text->Destroy();
    }
}
BENCHMARK(ParagraphLayout)->Unit(benchmark::kMicrosecond);

// A thousand distinct glyphs: every glyph of the regular and the bold face
// at each quarter-pixel phase, the first 1000 of those.
constexpr int kGlyphs = 1000;
constexpr int kPixels = 16;

struct GlyphSet {
    std::unique_ptr<TMvecFont> regular, bold;
    struct Item {
        const TMvecFont* font;
        int index;
        int phase;
        int face;  // 0 regular, 1 bold
    };
    std::vector<Item> items;

    GlyphSet()
    {
        regular = TMvecFont::FromBytes(kDefaultFont, kDefaultFontSize);
        std::vector<uint8_t> bytes;
        if (FILE* f = std::fopen(QM_DATA_DIR "/assets/fonts/corona.mvec", "rb")) {
            int c;
            while ((c = std::fgetc(f)) != EOF)
                bytes.push_back(uint8_t(c));
            std::fclose(f);
        }
        bold = TMvecFont::FromBytes(bytes.data(), bytes.size());
        for (int phase = 0; phase < 4 && int(items.size()) < kGlyphs; ++phase)
            for (int face = 0; face < 2; ++face) {
                const TMvecFont* font = face ? bold.get() : regular.get();
                for (int i = 0; i < font->GetGlyphCount() && int(items.size()) < kGlyphs; ++i)
                    items.push_back({font, i, phase, face});
            }
    }
};

const GlyphSet& Glyphs()
{
    static GlyphSet set;
    return set;
}

void DrawAll(TQmMiniVecDraw& draw, const std::shared_ptr<TMemorySurface>& surface)
{
    draw.mScaleX = draw.mScaleY = 4.0f * kPixels / mvecfont::kFontUnitsPerEm;
    draw.Start(16, 40, surface);
    int x = 0;
    for (const GlyphSet::Item& item : Glyphs().items) {
        draw.Draw(item.font->GetGlyphData(item.index), (x % 200) * 4 + item.phase, 0);
        ++x;
    }
    draw.Stop();
}

void OursThousandGlyphsCold(benchmark::State& state)
{
    auto surface = std::make_shared<TMemorySurface>(1024, 64);
    for (auto _ : state) {
        TQmMiniVecDraw draw;
        draw.SetColor(1, TColor{1, 1, 1, 1}, 1.0f);
        DrawAll(draw, surface);
    }
    state.SetItemsProcessed(state.iterations() * kGlyphs);
}
BENCHMARK(OursThousandGlyphsCold)->Unit(benchmark::kMicrosecond);

void OursThousandGlyphsWarm(benchmark::State& state)
{
    auto surface = std::make_shared<TMemorySurface>(1024, 64);
    TQmMiniVecDraw draw;
    draw.SetColor(1, TColor{1, 1, 1, 1}, 1.0f);
    DrawAll(draw, surface);
    for (auto _ : state)
        DrawAll(draw, surface);
    state.SetItemsProcessed(state.iterations() * kGlyphs);
}
BENCHMARK(OursThousandGlyphsWarm)->Unit(benchmark::kMicrosecond);

struct FreeType {
    FT_Library library = nullptr;
    FT_Face faces[2] = {nullptr, nullptr};
    FreeType()
    {
        library = benchft::NewLibrary();
        FT_New_Face(library, QM_DEJAVU_DIR "/DejaVuSans.ttf", 0, &faces[0]);
        FT_New_Face(library, QM_DEJAVU_DIR "/DejaVuSans-Bold.ttf", 0, &faces[1]);
        for (FT_Face face : faces)
            FT_Set_Pixel_Sizes(face, 0, kPixels);
    }
    ~FreeType()
    {
        for (FT_Face face : faces)
            FT_Done_Face(face);
        benchft::DoneLibrary(library);
    }
};

// FreeType renders each glyph from its outline at the given sub-pixel phase.
void FreeTypeThousandGlyphsCold(benchmark::State& state)
{
    FreeType ft;
    for (auto _ : state) {
        for (const GlyphSet::Item& item : Glyphs().items) {
            FT_Face face = ft.faces[item.face];
            FT_Vector delta{item.phase * 16, 0};  // 26.6: a quarter pixel is 16
            FT_Set_Transform(face, nullptr, &delta);
            FT_Load_Char(face, item.font->GetGlyphCode(item.index), FT_LOAD_NO_HINTING | FT_LOAD_RENDER);
            benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
        }
    }
    state.SetItemsProcessed(state.iterations() * kGlyphs);
}
BENCHMARK(FreeTypeThousandGlyphsCold)->Unit(benchmark::kMicrosecond);

// The cache manager opens and owns its own faces.
FT_Error RequestFace(FTC_FaceID id, FT_Library library, FT_Pointer, FT_Face* face)
{
    const char* file = reinterpret_cast<uintptr_t>(id) == 1 ? QM_DEJAVU_DIR "/DejaVuSans.ttf"
                                                              : QM_DEJAVU_DIR "/DejaVuSans-Bold.ttf";
    return FT_New_Face(library, file, 0, face);
}

// FreeType's small-bitmap cache; it keys by glyph and size only, so the
// phases of one glyph share an entry (which favours FreeType here).
void FreeTypeThousandGlyphsWarm(benchmark::State& state)
{
    FreeType ft;
    FTC_Manager manager;
    FTC_SBitCache cache;
    FTC_CMapCache cmaps;
    // Room for every glyph, so warm passes only look up.
    FTC_Manager_New(ft.library, 2, 4, 16 << 20, RequestFace, nullptr, &manager);
    FTC_SBitCache_New(manager, &cache);
    FTC_CMapCache_New(manager, &cmaps);
    int failures = 0;
    auto pass = [&] {
        for (const GlyphSet::Item& item : Glyphs().items) {
            FTC_FaceID id = reinterpret_cast<FTC_FaceID>(uintptr_t(item.face + 1));
            FT_UInt index = FTC_CMapCache_Lookup(cmaps, id, -1, FT_UInt32(item.font->GetGlyphCode(item.index)));
            FTC_ImageTypeRec type{id, kPixels, kPixels, FT_LOAD_NO_HINTING | FT_LOAD_RENDER};
            FTC_SBit sbit = nullptr;
            if (FTC_SBitCache_Lookup(cache, &type, index, &sbit, nullptr) != 0 || !sbit)
                ++failures;
            benchmark::DoNotOptimize(sbit);
        }
    };
    pass();
    const long before = benchft::Allocations();
    for (auto _ : state)
        pass();
    state.SetItemsProcessed(state.iterations() * kGlyphs);
    state.counters["failed_lookups"] = failures;
    // A lookup the cache serves allocates nothing; a render would.
    state.counters["allocs_in_warm_passes"] = double(benchft::Allocations() - before);
    FTC_Manager_Done(manager);
}
BENCHMARK(FreeTypeThousandGlyphsWarm)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
