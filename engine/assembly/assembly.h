// The one call that plugs the engine's parts into the platform, in the order
// they build on each other, before the engine starts (QuellmoorExec).
#pragma once

namespace qm {

// The parts to plug in; a program or test leaves out what it does not use.
struct TEngineParts {
    bool display = true;  // the OpenGL display handler
    bool text = true;     // text rendering over that display (needs display)
    bool sound = true;    // the sound host (SDL device, else the null output)
    bool windows = true;  // the window system
    bool script = true;   // the window script (needs windows)
    // Whole-screen frames drawn straight to the window; off for programs
    // that read the screen framebuffer back.
    bool straightToWindow = true;
};

// Installs the parts: the GL display first, then the text rendering that
// wraps it; the window system, then its script. Parts left out keep what
// was installed before. Calling again installs the parts afresh (the text
// rendering wraps a new display, never the old wrapper).
void InstallEngine(const TEngineParts& parts = {});

}  // namespace qm
