// mvecfont: converts a TrueType font into the engine's ".mvec" vector font.
//
//   mvecfont INPUT.ttf OUTPUT.mvec [--source FILE.cpp SYMBOL] [--no-check]
//
// Glyphs: ASCII, Latin-1 and the common typographic punctuation. Outlines are
// read unscaled (2048 units an em), turned y-down, multiplied by 12 into the
// format's 1/128 units and written as move, fill 1, lines and quadratic
// curves, end. Each glyph is then drawn by our rasteriser and by FreeType at
// 64 pixels; a glyph whose coverage differs beyond a small bound (8 % of its
// area, or any pixel by more than half: overlapping contours show as holes
// under even-odd filling) fails the build.
// With --source the font is also written as a C++ array SYMBOL (the built-in font).
#include "tools/mvecfont/glyph_compare.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_BBOX_H

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Glyph set: printable ASCII, Latin-1 and the punctuation that text typed on
// other systems tends to carry (quotes, dashes, ellipsis, euro and friends).
// The per-mille sign is left out: its advance is wider than the format can hold.
std::vector<unsigned long> CharacterSet()
{
    std::vector<unsigned long> codes;
    for (unsigned long c = 32; c <= 126; ++c)
        codes.push_back(c);
    for (unsigned long c = 160; c <= 255; ++c)
        codes.push_back(c);
    for (unsigned long c : {0x152ul, 0x153ul, 0x160ul, 0x161ul, 0x178ul, 0x17Dul, 0x17Eul, 0x192ul, 0x2C6ul, 0x2DCul,
                            0x2013ul, 0x2014ul, 0x2018ul, 0x2019ul, 0x201Aul, 0x201Cul, 0x201Dul, 0x201Eul, 0x2020ul,
                            0x2021ul, 0x2022ul, 0x2026ul, 0x2039ul, 0x203Aul, 0x20ACul, 0x2122ul})
        codes.push_back(c);
    return codes;
}

struct Glyph {
    unsigned long code;
    int16_t minX, maxX, top, bottom, advance;
    std::vector<uint8_t> outline;
};

struct Writer {
    std::vector<uint8_t>* out;
    bool outOfRange = false;
    int contour = 0;
    int secondShapeFrom = -1;  // first contour of the second shape, -1 for none
    void Byte(uint8_t b) { out->push_back(b); }
    void Coord(long v)
    {
        if (v < -32768 || v > 32767)
            outOfRange = true;
        uint16_t u = uint16_t(int16_t(v));
        Byte(uint8_t(u & 0xff));
        Byte(uint8_t(u >> 8));
    }
    void Point(const FT_Vector* p)
    {
        Coord(p->x * mvecfont::kFileUnitsPerTrueTypeUnit);
        Coord(-p->y * mvecfont::kFileUnitsPerTrueTypeUnit);
    }
};

int MoveTo(const FT_Vector* to, void* user)
{
    auto* w = static_cast<Writer*>(user);
    const bool newShape = w->contour == w->secondShapeFrom;
    if (newShape)
        w->Byte(1);
    w->Byte(4);
    w->Point(to);
    if (w->contour == 0 || newShape) {
        w->Byte(2);  // first fill: colour 1, the text colour
        w->Byte(1);
    }
    ++w->contour;
    return 0;
}
int LineTo(const FT_Vector* to, void* user)
{
    auto* w = static_cast<Writer*>(user);
    w->Byte(5);
    w->Point(to);
    return 0;
}
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    auto* w = static_cast<Writer*>(user);
    w->Byte(6);
    w->Point(control);
    w->Point(to);
    return 0;
}
int CubicTo(const FT_Vector*, const FT_Vector*, const FT_Vector*, void*)
{
    return 1;  // TrueType outlines have no cubic curves; anything else is refused
}

// The rasteriser fills each shape even-odd and paints later shapes over
// earlier ones, so where a composite glyph's components overlap (the cedilla
// under a C) they must be separate shapes. Returns the number of contours of
// the first component, or -1 for a simple glyph.
int FirstComponentContours(FT_Face face, FT_UInt index)
{
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_RECURSE) != 0 ||
        face->glyph->format != FT_GLYPH_FORMAT_COMPOSITE || face->glyph->num_subglyphs < 2)
        return -1;
    FT_Int component, p1, p2;
    FT_UInt flags;
    FT_Matrix transform;
    if (FT_Get_SubGlyph_Info(face->glyph, 0, &component, &flags, &p1, &p2, &transform) != 0 ||
        FT_Load_Glyph(face, FT_UInt(component), FT_LOAD_NO_SCALE) != 0)
        return -1;
    return face->glyph->outline.n_contours;
}

bool ConvertGlyph(FT_Face face, unsigned long code, Glyph* glyph)
{
    FT_UInt index = FT_Get_Char_Index(face, code);
    if (index == 0)
        return false;
    const int secondShapeFrom = FirstComponentContours(face, index);
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE) != 0)
        return false;
    FT_Outline& outline = face->glyph->outline;
    const long k = mvecfont::kFileUnitsPerTrueTypeUnit;
    glyph->code = code;
    glyph->advance = int16_t(face->glyph->metrics.horiAdvance * k);
    glyph->minX = glyph->maxX = glyph->top = glyph->bottom = 0;
    glyph->outline.clear();
    Writer writer{&glyph->outline};
    if (outline.n_contours > 0) {
        FT_BBox box;
        FT_Outline_Get_BBox(&outline, &box);
        glyph->minX = int16_t(box.xMin * k);
        glyph->maxX = int16_t(box.xMax * k);
        glyph->top = int16_t(-box.yMax * k);
        glyph->bottom = int16_t(-box.yMin * k);
        if (box.xMin * k < -32768 || box.xMax * k > 32767 || box.yMax * k > 32768 || -box.yMin * k > 32767)
            writer.outOfRange = true;
        writer.secondShapeFrom = secondShapeFrom;
        FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
        if (FT_Outline_Decompose(&outline, &funcs, &writer) != 0 || writer.outOfRange) {
            std::fprintf(stderr, "mvecfont: glyph U+%04lX cannot be converted\n", code);
            return false;
        }
    }
    glyph->outline.push_back(8);
    if (writer.outOfRange || face->glyph->metrics.horiAdvance * k > 32767) {
        std::fprintf(stderr, "mvecfont: glyph U+%04lX is outside the format's coordinate range\n", code);
        return false;
    }
    return true;
}

void Put16(std::vector<uint8_t>& out, int v)
{
    out.push_back(uint8_t(v & 0xff));
    out.push_back(uint8_t((v >> 8) & 0xff));
}
void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

std::vector<uint8_t> Assemble(const std::vector<Glyph>& glyphs)
{
    std::vector<uint8_t> file = {'M', 'V', 'C', '4'};
    Put16(file, int(glyphs.size()));
    file.resize(12, 0);
    uint32_t offset = uint32_t(12 + 18 * glyphs.size());
    for (const Glyph& g : glyphs) {
        Put32(file, uint32_t(g.code));
        for (int v : {g.minX, g.maxX, g.top, g.bottom, g.advance})
            Put16(file, v);
        Put32(file, offset);
        offset += uint32_t(g.outline.size());
    }
    for (const Glyph& g : glyphs)
        file.insert(file.end(), g.outline.begin(), g.outline.end());
    return file;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out)
            return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

bool WriteSource(const std::string& path, const std::string& symbol, const std::vector<uint8_t>& bytes)
{
    std::string text = "// Generated by tools/mvecfont from DejaVu Sans; do not edit.\n"
                       "#include <cstddef>\n\n"
                       "extern const unsigned char " + symbol + "[];\n"
                       "extern const size_t " + symbol + "Size;\n\n"
                       "const unsigned char " + symbol + "[] = {";
    char number[8];
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i % 20 == 0)
            text += "\n   ";
        std::snprintf(number, sizeof number, " %u,", bytes[i]);
        text += number;
    }
    text += "\n};\nconst size_t " + symbol + "Size = sizeof(" + symbol + ");\n";
    return WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// Draws every glyph both ways; false when any differs beyond the bound.
bool CheckGlyphs(FT_Face face, const std::vector<uint8_t>& file)
{
    constexpr int kPixels = 64;
    constexpr double kBound = 0.08;  // of the glyph's inked area; a hole costs far more
    auto font = TMvecFont::FromBytes(file.data(), file.size());
    TQmMiniVecDraw draw;
    bool ok = true;
    for (int i = 0; i < font->GetGlyphCount(); ++i) {
        unsigned long code = font->GetGlyphCode(i);
        mvecfont::CoverageDiff diff = mvecfont::CompareGlyph(face, *font, code, kPixels, draw);
        if (getenv("MVECFONT_VERBOSE"))
            std::fprintf(stderr, "U+%04lX area %.3f bad %d\n", code, diff.relativeArea, diff.badPixels);
        if (diff.relativeArea > kBound || diff.badPixels > 0) {
            std::fprintf(stderr, "mvecfont: glyph U+%04lX differs from FreeType by %.1f%% of its area, %d pixels by half\n",
                         code, diff.relativeArea * 100, diff.badPixels);
            ok = false;
        }
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: mvecfont INPUT.ttf OUTPUT.mvec [--source FILE.cpp SYMBOL] [--no-check]\n");
        return 2;
    }
    std::string input = argv[1], output = argv[2], sourcePath, symbol;
    bool check = true;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--source") == 0 && i + 2 < argc) {
            sourcePath = argv[++i];
            symbol = argv[++i];
        } else if (std::strcmp(argv[i], "--no-check") == 0) {
            check = false;
        } else {
            std::fprintf(stderr, "mvecfont: unknown argument %s\n", argv[i]);
            return 2;
        }
    }

    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, input.c_str(), 0, &face) != 0) {
        std::fprintf(stderr, "mvecfont: cannot open %s\n", input.c_str());
        return 1;
    }
    if (face->units_per_EM != 2048)
        std::fprintf(stderr, "mvecfont: %s has %d units an em; sizes will differ\n", input.c_str(), face->units_per_EM);

    std::vector<Glyph> glyphs;
    bool ok = true;
    for (unsigned long code : CharacterSet()) {
        Glyph glyph;
        if (FT_Get_Char_Index(face, code) == 0) {
            std::fprintf(stderr, "mvecfont: %s has no glyph for U+%04lX; skipped\n", input.c_str(), code);
            continue;
        }
        if (!ConvertGlyph(face, code, &glyph)) {
            ok = false;
            continue;
        }
        glyphs.push_back(std::move(glyph));
    }
    std::vector<uint8_t> file = Assemble(glyphs);
    if (ok && check)
        ok = CheckGlyphs(face, file);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    if (!ok) {
        std::fprintf(stderr, "mvecfont: %s not written\n", output.c_str());
        return 1;
    }
    if (!WriteFile(output, file) || (!sourcePath.empty() && !WriteSource(sourcePath, symbol, file))) {
        std::fprintf(stderr, "mvecfont: cannot write the output\n");
        return 1;
    }
    std::printf("mvecfont: %s: %zu glyphs, %zu bytes\n", output.c_str(), glyphs.size(), file.size());
    return 0;
}
