// From process start to the first presented frame of the title screen: the
// game starts as corvellatrip does, and stops after the first frame it
// draws. The launcher passes its clock reading in QM_LAUNCH_NS (nanoseconds
// of CLOCK_REALTIME, as `date +%s%N` prints them), so loading the program
// counts too; without it the time counts from main.
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/script/windowscript.h"
#include "engine/sound/soundhost.h"
#include "engine/text/text_platform.h"
#include "engine/window/windowhost.h"
#include "game/app/gameapp.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::system_clock;
Clock::time_point gStart;
double gStartUpMs = 0;
double gFirstFrameMs = 0;

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
}

}  // namespace

int main(int argc, char** argv)
{
    gStart = Clock::now();
    if (const char* launch = std::getenv("QM_LAUNCH_NS"))
        gStart = Clock::time_point(std::chrono::duration_cast<Clock::duration>(
            std::chrono::nanoseconds(std::strtoll(launch, nullptr, 10))));
    qm::InstallGLDisplayHost();
    qm::InstallSoundHost();
    qm::InstallTextRendering();
    qm::InstallWindowSystem();
    qm::InstallWindowScript();
    QuellmoorExec(argc, argv, BenchMain, false);
    std::printf("startup: %.1f ms to Main's start-up done, %.1f ms to the first presented frame\n", gStartUpMs,
                gFirstFrameMs);
    return 0;
}
