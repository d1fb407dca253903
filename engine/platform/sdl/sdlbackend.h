// The SDL2 back end: one window with an OpenGL compatibility-profile context,
// made on the first OpenWindow. Full screen is the desktop's (the monitor's
// mode is never changed). Buffer swaps wait for the vertical retrace when
// the driver allows it; otherwise the swap is capped near 60 Hz so the main
// loop never spins. Mouse positions and sizes are the window's pixels, as
// the X server has them where there is one (x11window.h); the platform data
// maps them into game coordinates.
#pragma once

#include "engine/platform/backend.h"

#include <chrono>
#include <string>

struct SDL_Window;
union SDL_Event;

namespace qm {

class TSdlBackend : public IPlatformBackend {
public:
    TSdlBackend();
    ~TSdlBackend() override;
    TSdlBackend(const TSdlBackend&) = delete;
    TSdlBackend& operator=(const TSdlBackend&) = delete;

    std::uint32_t Milliseconds() override;
    void Sleep(int ms) override;
    unsigned RandomSeed() override;
    bool WaitEvent(TRawEvent* out, int timeoutMs) override;
    int Modifiers() override;
    void MousePosition(int* x, int* y) override;
    bool OpenWindow(int width, int height) override;
    bool HasWindow() const override { return mWindow != nullptr; }
    bool SetFullscreen(bool on) override;
    bool IsFullscreen() const override;
    void ShowWindow() override;
    void RaiseWindow() override;
    void MinimizeWindow() override;
    void WarpMouseToCentre() override;
    void SetTitle(const char* utf8) override;
    void DrawableSize(int* width, int* height) override;
    bool MakeCurrent() override;
    void ClearFrame() override;
    void SwapBuffers() override;
    bool IsSystemCursorVisible() override;
    void ShowSystemCursor(bool show) override;
    void SetArrowCursor() override;
    bool OpenUrl(const char* url) override;

    // False when no display could be reached: SDL's video failed, or it fell
    // back on a driver that shows nothing (offscreen, dummy) that nobody
    // asked for through SDL_VIDEODRIVER. The reason has been logged.
    bool HasDisplay() const { return mVideoReady; }

private:
    // False with the reason in `why` when the window or its GL context cannot be had.
    bool createWindow(int width, int height, std::string* why);
    void translate(const SDL_Event& event, TRawEvent* out);
    void translateWindowEvent(const SDL_Event& event, TRawEvent* out);
    // SDL's window coordinates as drawable pixels.
    void toPixels(int windowX, int windowY, int* x, int* y);
    // The X server's size of the window, asked again only after the window
    // changed (a round trip every frame would wait on the server).
    bool windowSize(int* width, int* height);
    void forgetWindowSize() { mSizeKnown = false; }
    void restoreWindowed();
    // False (logged) when nothing on this desktop could make the window full screen.
    bool fullscreenCanBeGranted();
    // True once the window manager made the window full screen (or gave it
    // another size of its choosing); false when it left it as it was.
    bool waitForFullscreen();
    void capFrameRate();

    bool mVideoReady = false;
    SDL_Window* mWindow = nullptr;
    void* mContext = nullptr;  // SDL_GLContext
    bool mVsync = false;
    int mWindowedWidth = 0;  // the size the window has out of full screen
    int mWindowedHeight = 0;
    std::chrono::steady_clock::time_point mNextFrame{};
    int mTypingModifiers = 0;  // of the last key pressed, for the text it typed
    bool mSizeKnown = false;
    int mKnownWidth = 0, mKnownHeight = 0;
};

}  // namespace qm
