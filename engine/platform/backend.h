// The narrow interface through which TPlatformData reaches the operating
// system. Two implementations: sdl/ (SDL2 window with an OpenGL context, for
// the game) and headless/ (fake clock, injected events, no window, for tests).
#pragma once

#include "engine/platform/rawevent.h"

#include <cstdint>

class IPlatformBackend {
public:
    virtual ~IPlatformBackend() = default;

    // Time: a monotonic millisecond count wrapping modulo 2^32, and sleeping.
    virtual std::uint32_t Milliseconds() = 0;
    virtual void Sleep(int ms) = 0;
    // The first seed of the platform's random numbers: different each run
    // for the game, the same each run for tests, so a test on the fake
    // clock plays the same course every time.
    virtual unsigned RandomSeed() = 0;

    // Events: waits at most timeoutMs for one event; false on time-out.
    virtual bool WaitEvent(TRawEvent* out, int timeoutMs) = 0;
    // TEvent modifier bits of the keyboard now.
    virtual int Modifiers() = 0;
    // The pointer now, in pixels of the window's drawable (outside the
    // window it lies outside the drawable). Asked of the system each time,
    // so a pointer moved by warping is where it really is.
    virtual void MousePosition(int* x, int* y) = 0;

    // The window. OpenWindow makes it (with its GL context) on the first call
    // and later resizes it to width x height (out of full screen). False
    // when no window could be made.
    virtual bool OpenWindow(int width, int height) = 0;
    virtual bool HasWindow() const = 0;
    // Desktop full screen on or off; false (and the mode unchanged) on
    // failure, also when the desktop does not carry the request out.
    virtual bool SetFullscreen(bool on) = 0;
    virtual bool IsFullscreen() const = 0;
    virtual void ShowWindow() = 0;
    virtual void RaiseWindow() = 0;
    virtual void MinimizeWindow() = 0;
    virtual void WarpMouseToCentre() = 0;
    virtual void SetTitle(const char* utf8) = 0;
    // The window's drawable size in pixels as it really is now (0 x 0
    // without a window); it changes when the window is resized.
    virtual void DrawableSize(int* width, int* height) = 0;

    // Drawing: make the GL context current, clear the frame (used while no
    // display handler draws), and swap, never faster than about 60 Hz.
    virtual bool MakeCurrent() = 0;
    virtual void ClearFrame() = 0;
    virtual void SwapBuffers() = 0;

    // The system cursor over the window.
    virtual bool IsSystemCursorVisible() = 0;
    virtual void ShowSystemCursor(bool show) = 0;
    virtual void SetArrowCursor() = 0;

    // Opens an http or https address in the user's browser (already checked).
    virtual bool OpenUrl(const char* url) = 0;
};
