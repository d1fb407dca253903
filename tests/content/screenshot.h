// The frame of a content screenshot program: opens the engine's 800x600 GL
// display, lets `draw` paint one frame in 2D, reads it back from the screen
// framebuffer and writes it as a PNG (argv[1], else `defaultName`). The
// program fails when there is no GL display or when `draw` counted missing
// pieces in *missing.
#pragma once

#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"

#include "testimages.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace contentshot {

struct TShot {
    std::string out;
    void (*draw)() = nullptr;
    const int* missing = nullptr;
    int result = 1;
};

inline TShot& Shot()
{
    static TShot shot;
    return shot;
}

inline void ShotMain(TPlatform* platform, const char*)
{
    auto* handler = platform->SetDisplay(800, 600, false)
                        ? dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler())
                        : nullptr;
    if (!handler) {
        std::fprintf(stderr, "screenshot: no GL display\n");
        return;
    }
    platform->BeginDraw(true);
    platform->Begin2d();
    Shot().draw();
    platform->End2d();
    std::vector<testimages::Rgba> pixels(800 * 600);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, handler->GetScreenFramebuffer());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    platform->EndDraw(true);
    testimages::WritePng(Shot().out, 800, 600, testimages::PngKind::Rgb, pixels);
    std::printf("wrote %s\n", Shot().out.c_str());
    Shot().result = *Shot().missing == 0 ? 0 : 1;
}

// Runs the engine on the game's data (QM_DATA_DIR) and returns the exit code.
inline int Run(int argc, char** argv, const char* defaultName, void (*draw)(), const int* missing)
{
    Shot().out = std::filesystem::absolute(argc > 1 ? argv[1] : defaultName).string();
    Shot().draw = draw;
    Shot().missing = missing;
    ::setenv("CORVELLATRIP_DATA", QM_DATA_DIR, 1);
    qm::InstallGLDisplayHost();
    char* engineArgv[] = {argv[0], nullptr};
    QuellmoorExec(1, engineArgv, ShotMain, false);
    return Shot().result;
}

}  // namespace contentshot
