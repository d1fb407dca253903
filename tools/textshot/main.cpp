// textshot: draws a paragraph of markup with the CPU rasteriser into a PNG,
// for looking at text without a display.
//
//   textshot OUT.png [MARKUP] [--size N] [--width W]
#include "engine/text/textgraphic.h"
#include "engine/text/textservices.h"

#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char* kSample =
    "<center><font size=\"28\" face=\"assets/fonts/corona.mvec\">Opening day</font></center>"
    "The <i>kitchen</i> opens at dawn. Serve every guest before their patience runs out, "
    "<font color=\"#c03020\">keep the tables clean</font> and watch the <u>tips</u> add up. "
    "Press <a id=\"help\" color=\"#2060c0\"><u>here</u></a> for help, or "
    "<outline color=\"#402000\" size=\"2\"><font color=\"#ffd040\" size=\"22\">start now</font></outline>!"
    "<br pad=\"6\"><b>Bold text</b>, <b><i>bold italic</i></b> and \\<escaped\\> tags.<br>"
    "<right>Caf\xC3\xA9, cr\xC3\xA8me br\xC3\xBBl\xC3\xA9" "e, \xE2\x80\x9Cquotes\xE2\x80\x9D \xE2\x80\x94 \xE2\x82\xAC 9.50</right>";

bool WritePng(const char* path, TMemorySurface& surface)
{
    std::FILE* file = std::fopen(path, "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(surface.Width()), png_uint_32(surface.Height()), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);  // the surface is B, G, R, A
    for (int y = 0; y < surface.Height(); ++y)
        png_write_row(png, surface.Pixels().data() + size_t(y) * surface.Width() * 4);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: textshot OUT.png [MARKUP] [--size N] [--width W]\n");
        return 2;
    }
    std::string markup = kSample;
    int size = 18, width = 560;
    for (int i = 2; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--size") && i + 1 < argc)
            size = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--width") && i + 1 < argc)
            width = std::atoi(argv[++i]);
        else
            markup = argv[i];
    }
    TQmMiniVecDraw draw;
    SetTextServices(TTextServices{nullptr, &draw, nullptr});
    TTextGraphic* text = TTextGraphic::Create(markup.c_str(), width, 1000, 0, "", size, TColor{0.1f, 0.1f, 0.1f, 1});
    TRect bounds;
    text->GetTextBounds(&bounds);
    auto surface = std::make_shared<TMemorySurface>(width + 40, bounds.y2 + 40);
    surface->Fill(0xf0, 0xf8, 0xff, 0xff);
    text->DrawInto(TRect{20, 20, width + 20, bounds.y2 + 20 + size}, 1.0f, 0, 1.0f, surface);
    text->Destroy();
    SetTextServices(TTextServices{});
    if (!WritePng(argv[1], *surface)) {
        std::fprintf(stderr, "textshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
