// What a player sees of a first start, each time taken at a buffer swap
// (qm::PresentStats): the first frame presented, the first splash frame,
// the first frame of the main menu (with the loading screen on top) after a
// key pressed at that splash frame, and the first frame of the name entry
// that follows the preloader's run. The game starts as corvellatrip does. The launcher passes its clock reading in QM_LAUNCH_NS (nanoseconds
// of CLOCK_REALTIME, as `date +%s%N` prints them), so loading the program
// counts too; without it the time counts from main.
#include "engine/assembly/assembly.h"
#include "engine/platform/platform.h"
#include "engine/platform/presentstats.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/script/windowscript.h"
#include "engine/sound/soundhost.h"
#include "engine/text/text_platform.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowhost.h"
#include "engine/window/windowmanager.h"
#include "game/app/gameapp.h"

#include <chrono>
#include <cstdio>
#include <cstdint>
#include <cstdlib>

namespace {

using Clock = std::chrono::system_clock;
Clock::time_point gStart;
double gStartUpMs = 0;
double gFirstSwapMs = 0;
double gSplashMs = 0;
double gMenuMs = 0;
double gNameEntryMs = 0;
const char* gEnded = nullptr;  // where the run stopped short, if it did

constexpr const char* kNameEntryWindow = "scripts/entername.lua";

TModalWindow* TopWindow(TPlatform* platform)
{
    TWindowManager* manager = platform->GetWindowManager();
    return manager ? manager->GetTopModalWindow() : nullptr;
}

bool TopIs(TPlatform* platform, const char* name)
{
    TModalWindow* top = TopWindow(platform);
    return top && top->GetName() == str(name);
}

double MsSinceStart(Clock::time_point at) { return std::chrono::duration<double, std::milli>(at - gStart).count(); }

// Runs the game's loop until `done` holds; false when the game ended first.
template <typename Done>
bool RunUntil(TGameApp& app, TPlatform* platform, Done done)
{
    TEvent ev;
    while (!done()) {
        platform->GetEvent(&ev);
        if (!app.HandleEvent(&ev))
            return false;
    }
    return true;
}

// Runs until a frame is presented after now; the time of its swap.
bool NextPresented(TGameApp& app, TPlatform* platform, double* ms)
{
    const std::uint64_t before = qm::PresentStats().swaps;
    if (!RunUntil(app, platform, [&] { return qm::PresentStats().swaps > before; }))
        return false;
    *ms = MsSinceStart(qm::PresentStats().latest);
    return true;
}

void PressEscape(TGameApp& app)
{
    TEvent key{TEvent::kKeyDown, TEvent::kEscape};
    app.HandleEvent(&key);
    key.mType = TEvent::kKeyUp;
    app.HandleEvent(&key);
}

void BenchMain(TPlatform* platform, const char*)
{
    TGameApp app(platform);
    app.StartUp();
    gStartUpMs = MsSinceStart(Clock::now());
    // Every time below is that of a buffer swap: a frame the player sees.
    if (!RunUntil(app, platform, [] { return qm::PresentStats().swaps > 0; })) {
        gEnded = "before the first frame";
        return;
    }
    gFirstSwapMs = MsSinceStart(qm::PresentStats().first);
    // The splash on the screen, the player presses a key at once; the main
    // menu comes up with the loading screen on top.
    if (!RunUntil(app, platform, [&] { return TopIs(platform, TGameApp::kSplashWindow); }) ||
        !NextPresented(app, platform, &gSplashMs)) {
        gEnded = "before the splash showed";
        return;
    }
    PressEscape(app);
    if (!RunUntil(app, platform, [&] { return TopIs(platform, "scripts/loading.lua"); }) ||
        !NextPresented(app, platform, &gMenuMs)) {
        gEnded = "before the main menu showed";
        return;
    }
    // A first start: when loading is done the player is asked for a name.
    if (!RunUntil(app, platform, [&] { return TopIs(platform, kNameEntryWindow); }) ||
        !NextPresented(app, platform, &gNameEntryMs)) {
        gEnded = "before the name entry showed";
        return;
    }
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
    if (gEnded) {
        std::printf("startup: the game ended %s\n", gEnded);
        return 1;
    }
    std::printf("startup: %.1f ms to Main's start-up done, %.1f ms to the first presented frame, "
                "%.1f ms to the first splash frame, %.1f ms to the main menu\n",
                gStartUpMs, gFirstSwapMs, gSplashMs, gMenuMs);
    std::printf("preload: %.1f ms from the main menu to the name entry\n", gNameEntryMs - gMenuMs);
    return 0;
}
