// One scene timed frame by frame, the same one bench/render/love/main.lua
// draws with the peer engine: N rotated, mirrored 64x64 alpha sprites and
// optionally 20 lines of 16 px text, on the full engine (platform, GL
// handler, text services). Prints the mean frame time of the timed frames,
// the main thread's CPU time a frame, the process's peak resident memory and
// how the frames were drawn (recorded and drawn where they changed, or
// whole), as versus_love.sh reads them.
//
//   sprite_scene SPRITES TEXT_LINES FRAMES [still|moving|whole]
//
// still (the default): the same frame over and over. Where the window keeps
// its pixels across swaps (software GL on X) our frames are then drawn only
// where they changed, which is nowhere: not the work the peer does.
// moving: every sprite moves and turns a little each frame, on both sides.
// whole: the still scene with the partial redraw off, every frame drawn
// whole, as the peer draws it and as a GPU's flipping swap has us draw.
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhandler.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/render/gl/glstats.h"
#include "engine/render/texture.h"
#include "engine/text/text_platform.h"
#include "engine/text/textgraphic.h"

#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <time.h>
#include <vector>

namespace {

int gSprites = 500, gLines = 0, gFrames = 120;
bool gMoving = false, gWhole = false;
constexpr int kWarmUpFrames = 10;

long PeakResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmHWM:") {
            status >> value;
            return value;
        }
    }
    return 0;
}

double MainThreadSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

std::shared_ptr<TTexture> MakeSprite(TPlatform* platform)
{
    auto sprite = TTexture::Create(64, 64, true);
    for (int ring = 0; ring < 8; ++ring) {
        TColor colour{ring / 8.0f, 1 - ring / 8.0f, 0.5f, 0.6f};
        platform->FillRect(ring * 4, ring * 4, 64 - ring * 4, 64 - ring * 4, &colour, sprite);
    }
    return sprite;
}

void DrawFrame(TPlatform* platform, TTexture& sprite, const std::vector<TTextGraphic*>& lines, int frame)
{
    // The whole screen is redrawn, as the window manager's full frames are:
    // it goes straight to the window, as the game's does.
    platform->BeginDraw(false);
    platform->Begin2d();
    // Moving, each sprite steps 3 pixels right and turns 0.02 radians a
    // frame (main.lua moves the peer's alike).
    const int step = gMoving ? frame : 0;
    for (int i = 0; i < gSprites; ++i) {
        float x = float((i * 37 + step * 3) % 800);
        float y = float((i * 53) % 600);
        sprite.DrawSprite(x, y, 1.0f, 0.8f, float(i % 7) * 0.3f + float(step) * 0.02f, i % 4);
    }
    for (size_t i = 0; i < lines.size(); ++i) {
        int top = 10 + int(i) * 28;
        lines[i]->Draw(TRect{20, top, 780, top + 28}, 1.0f, 0, 1.0f);
    }
    platform->End2d();
    // Presented and swapped as the peer does, without the platform's 60 Hz
    // cap for displays that give no swap interval (Xvfb): the work is timed.
    platform->EndDraw(false);
    SDL_GL_SwapWindow(SDL_GL_GetCurrentWindow());
}

void SceneMain(TPlatform* platform, const char*)
{
    if (!platform->SetDisplay(800, 600, false)) {
        std::fprintf(stderr, "no display\n");
        return;
    }
    SDL_GL_SetSwapInterval(0);  // as the peer runs: no waiting for a refresh
    if (gWhole)
        if (TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance())
            handler->SetPartialRedraw(false);
    auto sprite = MakeSprite(platform);
    std::vector<TTextGraphic*> lines;
    for (int i = 0; i < gLines; ++i) {
        std::string text = "Line " + std::to_string(i + 1) +
                           ": the kitchen opens at dawn, serve every guest before they leave.";
        lines.push_back(TTextGraphic::Create(text.c_str(), 760, 28, 0, "", 16, TColor{1, 1, 1, 1}));
    }
    int frame = 0;
    for (int f = 0; f < kWarmUpFrames; ++f)
        DrawFrame(platform, *sprite, lines, frame++);
    const TGLDrawStats before = GLDrawStats();
    auto start = std::chrono::steady_clock::now();
    const double cpuStart = MainThreadSeconds();
    for (int f = 0; f < gFrames; ++f)
        DrawFrame(platform, *sprite, lines, frame++);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = MainThreadSeconds() - cpuStart;
    const TGLDrawStats& after = GLDrawStats();
    // The main thread's own share (our submission and the driver's work on
    // it); the rest of a frame is the driver's rasteriser threads. Frames
    // not recorded (partial redraw off, or a swap that does not keep the
    // window) are drawn whole: timed frames less the recorded ones.
    const long partial = long(after.partialFrames - before.partialFrames);
    std::printf("frame_ms %.4f\nmain_cpu_ms %.4f\npeak_kb %ld\n", seconds * 1000.0 / gFrames, cpu * 1000.0 / gFrames,
                PeakResidentKb());
    std::printf("frames_partial %ld\nframes_whole %ld\nredrawn_kpixels %.1f\n", partial, long(gFrames) - partial,
                partial ? double(after.redrawnPixels - before.redrawnPixels) / 1000.0 / gFrames : 800.0 * 600.0 / 1000.0);
    for (TTextGraphic* line : lines)
        line->Destroy();
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc == 5 ? argv[4] : "still";
    if ((argc != 4 && argc != 5) || (mode != "still" && mode != "moving" && mode != "whole")) {
        std::fprintf(stderr, "usage: sprite_scene SPRITES TEXT_LINES FRAMES [still|moving|whole]\n");
        return 2;
    }
    gMoving = mode == "moving";
    gWhole = mode == "whole";
    gSprites = std::atoi(argv[1]);
    gLines = std::atoi(argv[2]);
    gFrames = std::max(1, std::atoi(argv[3]));
    qm::InstallGLDisplayHost(true);
    qm::InstallTextRendering();
    char* engineArgv[] = {argv[0], nullptr};
    return QuellmoorExec(1, engineArgv, SceneMain, false);
}
