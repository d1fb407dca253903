// The smoke program: starts the engine, opens the 800 x 600 window and logs
// every input event it receives, one line each, until it is told to quit.
// Until the game's own Main exists, ./play runs this.
#include "engine/assembly/assembly.h"
#include "engine/base/color.h"
#include "engine/base/debuglog.h"
#include "engine/platform/platform.h"
#include "engine/render/texture.h"

namespace {

int gExitCode = 0;

void logEvent(const TEvent& ev)
{
    WriteDbg("event type=%d param=%d x=%d y=%d mods=%d", ev.mType, ev.mParam, ev.mX, ev.mY, ev.mModifiers);
}

// A blank frame in one known colour, which the end-to-end test looks for.
void drawFrame(TPlatform* platform)
{
    if (!platform->BeginDraw(true))
        return;
    if (platform->Begin2d()) {
        const TColor blank{32 / 255.0f, 64 / 255.0f, 96 / 255.0f, 1.0f};
        platform->FillRect(0, 0, 799, 599, &blank, nullptr);
        platform->End2d();
    }
    platform->EndDraw(true);
}

void SmokeMain(TPlatform* platform, const char*)
{
    if (!platform->SetDisplay(800, 600, false)) {
        WriteDbg("smoke: no window could be opened");
        gExitCode = 1;
        return;
    }
    platform->SetWindowTitle("Quellmoor smoke");
    WriteDbg("smoke: window open");
    bool fullscreen = platform->IsFullscreen();
    TEvent ev;
    for (;;) {
        platform->GetEvent(&ev);
        if (ev.mType != TEvent::kIdle)
            logEvent(ev);
        if (ev.mType == TEvent::kQuit)
            break;
        if (platform->IsFullscreen() != fullscreen) {
            fullscreen = platform->IsFullscreen();
            WriteDbg("smoke: full screen %s", fullscreen ? "on" : "off");
        }
        if (ev.mType == TEvent::kIdle)
            drawFrame(platform);
    }
    WriteDbg("smoke: quit");
}

}  // namespace

int main(int argc, char** argv)
{
    // The smoke program reads events and draws by itself.
    qm::InstallEngine({.text = false, .windows = false, .script = false});
    QuellmoorExec(argc, argv, SmokeMain, false);
    return gExitCode;
}
