// textshot: draws a paragraph of markup into a PNG, for looking at text.
//
//   textshot OUT.png [MARKUP] [--size N] [--width W]        the CPU rasteriser
//   textshot --gl OUT.png [MARKUP] [--size N] [--width W]   the engine on GL:
//       an 800x600 frame drawn through the display handler after calibration
//       (run under xvfb-run -a, or with SDL_VIDEODRIVER=offscreen)
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/text/text_platform.h"
#include "engine/text/textgraphic.h"
#include "engine/text/textservices.h"

#include <png.h>

#include <algorithm>
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

std::string gOut, gMarkup = kSample;
int gSize = 18, gWidth = 560;
int gResult = 1;

// The engine's Main: one frame with the text on a light background.
void ShotMain(TPlatform* platform, const char*)
{
    auto* handler = platform->SetDisplay(800, 600, false)
                        ? dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler())
                        : nullptr;
    TQmMiniVecDraw* draw = GetTextServices().rasterizer;
    if (!handler || !draw) {
        std::fprintf(stderr, "textshot: no GL display\n");
        return;
    }
    std::printf("calibration %s: x1 %.2f x2 %.2f y %.2f\n", draw->IsCalibrated() ? "found" : "fell back",
                draw->GetCalibrationX1(), draw->GetCalibrationX2(), draw->GetCalibrationY());
    TTextGraphic* text =
        TTextGraphic::Create(gMarkup.c_str(), std::min(gWidth, 760), 560, 0, "", gSize, TColor{0.1f, 0.1f, 0.1f, 1});
    platform->BeginDraw(true);
    platform->Begin2d();
    TColor paper{1.0f, 0.97f, 0.94f, 1};
    platform->SetBlendMode(TPlatform::EBlendModes(kBlendOff));
    platform->FillRect(0, 0, 800, 600, &paper);
    platform->SetBlendMode(TPlatform::EBlendModes(kBlendAlpha));
    text->Draw(TRect{20, 20, 780, 580}, 1.0f, 0, 1.0f);
    platform->End2d();
    auto surface = std::make_shared<TMemorySurface>(800, 600);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, handler->GetScreenFramebuffer());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    // Row 0 of the screen surface is the top of the picture.
    glReadPixels(0, 0, 800, 600, GL_BGRA, GL_UNSIGNED_BYTE, surface->Pixels().data());
    platform->EndDraw(true);
    text->Destroy();
    if (WritePng(gOut.c_str(), *surface)) {
        std::printf("wrote %s\n", gOut.c_str());
        gResult = 0;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    bool gl = argc > 1 && !std::strcmp(argv[1], "--gl");
    const int first = gl ? 2 : 1;
    if (argc <= first) {
        std::fprintf(stderr, "usage: textshot [--gl] OUT.png [MARKUP] [--size N] [--width W]\n");
        return 2;
    }
    gOut = argv[first];
    for (int i = first + 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--size") && i + 1 < argc)
            gSize = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--width") && i + 1 < argc)
            gWidth = std::atoi(argv[++i]);
        else
            gMarkup = argv[i];
    }
    if (gl) {
        qm::InstallGLDisplayHost();
        qm::InstallTextRendering();
        char* engineArgv[] = {argv[0], nullptr};
        QuellmoorExec(1, engineArgv, ShotMain, false);
        return gResult;
    }
    const std::string markup = gMarkup;
    const int size = gSize, width = gWidth;
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
    if (!WritePng(gOut.c_str(), *surface)) {
        std::fprintf(stderr, "textshot: cannot write %s\n", gOut.c_str());
        return 1;
    }
    return 0;
}
