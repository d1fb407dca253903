// One scene timed frame by frame, the same one bench/render/love/main.lua
// draws with the peer engine: N rotated, mirrored 64x64 alpha sprites and
// optionally 20 lines of 16 px text, on the full engine (platform, GL
// handler, text services). Prints the mean frame time of the timed frames,
// the main thread's CPU time a frame and the process's peak resident memory,
// as versus_love.sh reads them.
//
//   sprite_scene SPRITES TEXT_LINES FRAMES
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
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

void DrawFrame(TPlatform* platform, TTexture& sprite, const std::vector<TTextGraphic*>& lines)
{
    // The whole screen is redrawn, as the window manager's full frames are:
    // it goes straight to the window, as the game's does.
    platform->BeginDraw(false);
    platform->Begin2d();
    for (int i = 0; i < gSprites; ++i) {
        float x = float((i * 37) % 800);
        float y = float((i * 53) % 600);
        sprite.DrawSprite(x, y, 1.0f, 0.8f, float(i % 7) * 0.3f, i % 4);
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
    auto sprite = MakeSprite(platform);
    std::vector<TTextGraphic*> lines;
    for (int i = 0; i < gLines; ++i) {
        std::string text = "Line " + std::to_string(i + 1) +
                           ": the kitchen opens at dawn, serve every guest before they leave.";
        lines.push_back(TTextGraphic::Create(text.c_str(), 760, 28, 0, "", 16, TColor{1, 1, 1, 1}));
    }
    for (int f = 0; f < kWarmUpFrames; ++f)
        DrawFrame(platform, *sprite, lines);
    auto start = std::chrono::steady_clock::now();
    const double cpuStart = MainThreadSeconds();
    for (int f = 0; f < gFrames; ++f)
        DrawFrame(platform, *sprite, lines);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = MainThreadSeconds() - cpuStart;
    // The main thread's own share (our submission and the driver's work on
    // it); the rest of a frame is the driver's rasteriser threads.
    std::printf("frame_ms %.4f\nmain_cpu_ms %.4f\npeak_kb %ld\n", seconds * 1000.0 / gFrames, cpu * 1000.0 / gFrames,
                PeakResidentKb());
    for (TTextGraphic* line : lines)
        line->Destroy();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: sprite_scene SPRITES TEXT_LINES FRAMES\n");
        return 2;
    }
    gSprites = std::atoi(argv[1]);
    gLines = std::atoi(argv[2]);
    gFrames = std::max(1, std::atoi(argv[3]));
    qm::InstallGLDisplayHost(true);
    qm::InstallTextRendering();
    char* engineArgv[] = {argv[0], nullptr};
    return QuellmoorExec(1, engineArgv, SceneMain, false);
}
