// Plays a movie on the engine (its own entry, the GL handler) up to a
// picture and writes the screen as a PNG, for looking at movies:
//
//     xvfb-run -a build/tests/render/movie_screenshot data/assets/movies/splash.ogv 60 splash.png
#include "engine/platform/platform.h"
#include "engine/render/flashhost.h"
#include "engine/render/gl/gldisplayhandler.h"
#include "engine/render/gl/gldisplayhost.h"

#include "testimages.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string gMovie, gOut;
int gFrame = 0;
int gResult = 1;

void ShotMain(TPlatform* platform, const char*)
{
    auto* handler = platform->SetDisplay(800, 600, false)
                        ? dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler())
                        : nullptr;
    TFlashHost host(gMovie.c_str());
    if (!handler || !host.Start(false)) {
        std::fprintf(stderr, "movie_screenshot: no GL display or no movie in %s\n", gMovie.c_str());
        return;
    }
    const std::uint32_t deadline = platform->Timer() + 20000;
    while (host.GetShownFrame() < gFrame && host.IsPlaying() && platform->Timer() < deadline) {
        TEvent ev;
        platform->GetEvent(&ev);
    }
    std::vector<testimages::Rgba> pixels(800 * 600);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, handler->GetScreenFramebuffer());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());  // row 0 is the top
    testimages::WritePng(gOut, 800, 600, testimages::PngKind::Rgba, pixels);
    std::printf("picture %d written to %s\n", host.GetShownFrame(), gOut.c_str());
    gResult = host.GetShownFrame() >= 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: movie_screenshot MOVIE PICTURE OUT.png\n");
        return 2;
    }
    gMovie = argv[1];
    gFrame = std::atoi(argv[2]);
    gOut = argv[3];
    qm::InstallGLDisplayHost();
    char* engineArgv[] = {argv[0], nullptr};
    QuellmoorExec(1, engineArgv, ShotMain, false);
    return gResult;
}
