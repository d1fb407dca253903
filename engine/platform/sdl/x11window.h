// What the X server itself says about the game's window. SDL's own idea of
// the window can be stale on X11: a full-screen request that no window
// manager carries out leaves SDL believing in the desktop's size, and a
// pointer moved by warping (tools, remote control, accessibility software)
// raises no raw motion, so SDL's cached global pointer stays behind. Each
// call answers false when the window is not an X11 window (Wayland, the
// offscreen driver): the caller then asks SDL.
#pragma once

struct SDL_Window;
struct SDL_SysWMmsg;

namespace qm::x11 {

// The window's size in pixels, as the X server has it now. A round trip to
// the server: callers that ask every frame keep the answer until
// WindowReconfigured says it changed.
bool WindowSize(SDL_Window* window, int* width, int* height);

// Whether a system event SDL passed on (SDL_SYSWMEVENT) tells of a window
// of the game's connection changing its size or place.
bool WindowReconfigured(const SDL_SysWMmsg& message);

// The pointer relative to the window's top-left pixel (outside the window
// it lies outside 0..width-1 / 0..height-1). False also when the pointer is
// on another screen.
bool PointerInWindow(SDL_Window* window, int* x, int* y);

// Whether a window manager runs that says it can make windows full screen;
// without one, nothing acts on a full-screen request. `known` is false when
// the window is not an X11 window, and the answer means nothing then.
bool HasFullscreenManager(SDL_Window* window, bool* known);

// Keeps the X errors of a stretch of code (opening the window and its GL
// context) from Xlib's default handler, which ends the process with a
// report of its own: the first one is kept as text for the game's own
// line. One trap at a time; the previous handler is put back at the end.
class TErrorTrap {
public:
    TErrorTrap();
    ~TErrorTrap();
    TErrorTrap(const TErrorTrap&) = delete;
    TErrorTrap& operator=(const TErrorTrap&) = delete;

    // Whether an error arrived so far; the window's connection is flushed
    // first, so errors of requests already made are counted.
    bool Caught(SDL_Window* window);
    // The first error as text ("" when none).
    const char* FirstError() const;

private:
    void* mPrevious = nullptr;
};

}  // namespace qm::x11
