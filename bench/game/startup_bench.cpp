// From process start to the first presented frame (the splash movie's), to
// the main menu (with the loading screen on top, on a first start) when a
// key skips the splash at once, and on to the end of the preloader's run:
// the game starts as corvellatrip does, and stops when the loading screen
// has closed. The launcher passes its clock reading in QM_LAUNCH_NS (nanoseconds
// of CLOCK_REALTIME, as `date +%s%N` prints them), so loading the program
// counts too; without it the time counts from main.
#include "engine/assembly/assembly.h"
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/script/windowscript.h"
#include "engine/sound/soundhost.h"
#include "engine/text/text_platform.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowhost.h"
#include "engine/window/windowmanager.h"
#include "game/app/gameapp.h"
#include "game/screens/preloader.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::system_clock;
Clock::time_point gStart;
double gStartUpMs = 0;
double gFirstFrameMs = 0;
double gMenuMs = 0;
double gLoadedMs = 0;

bool LoadingScreenShows(TPlatform* platform)
{
    TWindowManager* manager = platform->GetWindowManager();
    TModalWindow* top = manager ? manager->GetTopModalWindow() : nullptr;
    return top && top->GetName() == str("scripts/loading.lua");
}

double MsSinceStart() { return std::chrono::duration<double, std::milli>(Clock::now() - gStart).count(); }

void BenchMain(TPlatform* platform, const char*)
{
    TGameApp app(platform);
    app.StartUp();
    gStartUpMs = MsSinceStart();
    TEvent ev;
    do {
        platform->GetEvent(&ev);
    } while (app.HandleEvent(&ev) && ev.mType != TEvent::kIdle);
    gFirstFrameMs = MsSinceStart();
    // The splash movie plays until a key: the player presses one at once, and
    // the main menu comes up with the loading screen on top.
    bool running = true;
    while (running && !LoadingScreenShows(platform)) {
        TEvent key{TEvent::kKeyDown, TEvent::kEscape};
        app.HandleEvent(&key);
        key.mType = TEvent::kKeyUp;
        app.HandleEvent(&key);
        platform->GetEvent(&ev);
        running = app.HandleEvent(&ev);
    }
    gMenuMs = MsSinceStart();
    while (running && Preloader_AssetsLoaded() && LoadingScreenShows(platform)) {
        platform->GetEvent(&ev);
        running = app.HandleEvent(&ev);
    }
    gLoadedMs = MsSinceStart();
}

}  // namespace

int main(int argc, char** argv)
{
    gStart = Clock::now();
    if (const char* launch = std::getenv("QM_LAUNCH_NS"))
        gStart = Clock::time_point(std::chrono::duration_cast<Clock::duration>(
            std::chrono::nanoseconds(std::strtoll(launch, nullptr, 10))));
    qm::InstallGLDisplayHost(true);  // as the game draws
    qm::InstallSoundHost();
    qm::InstallTextRendering();
    qm::InstallWindowSystem();
    qm::InstallWindowScript();
    QuellmoorExec(argc, argv, BenchMain, false);
    std::printf("startup: %.1f ms to Main's start-up done, %.1f ms to the first presented frame (the splash), "
                "%.1f ms to the main menu\n",
                gStartUpMs, gFirstFrameMs, gMenuMs);
    std::printf("preload: %.1f ms from the main menu to the end of loading\n", gLoadedMs - gMenuMs);
    return 0;
}
