// A back end without a window, for tests: a fake millisecond clock that only
// moves when told (or when the platform sleeps), events injected by the
// test, and a record of what the platform asked of the window.
#pragma once

#include "engine/platform/backend.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace qm {

class THeadlessBackend : public IPlatformBackend {
public:
    // ---- driven by the test
    std::uint32_t now = 0;
    // The seed of the platform's random numbers, read once when the
    // platform is made (SeedRand reseeds later): every run the same.
    static constexpr unsigned kDefaultSeed = 1;
    unsigned seed = kDefaultSeed;
    std::deque<TRawEvent> pending;
    int modifiers = 0;
    int mouseX = 0;  // the pointer, in drawable pixels (set it to warp)
    int mouseY = 0;
    // The drawable in full screen (the desktop's size); 0 keeps the
    // window's. A test resizes the window by setting width and height.
    int desktopWidth = 0;
    int desktopHeight = 0;
    bool windowFails = false;      // OpenWindow fails
    bool fullscreenFails = false;  // SetFullscreen fails
    bool browserFails = false;     // OpenUrl starts no browser

    // ---- recorded for the test
    std::vector<int> sleeps;
    std::vector<std::string> urls;
    std::string title;
    bool window = false;
    bool fullscreen = false;
    int width = 0;   // the window's drawable out of full screen
    int height = 0;
    int swaps = 0;
    int clears = 0;
    int raises = 0;
    int minimises = 0;
    int warps = 0;
    bool cursorVisible = true;
    // Set to observe the teardown order.
    std::vector<std::string>* log = nullptr;

    ~THeadlessBackend() override;

    void Inject(const TRawEvent& raw) { pending.push_back(raw); }

    std::uint32_t Milliseconds() override { return now; }
    void Sleep(int ms) override;
    unsigned RandomSeed() override { return seed; }
    bool WaitEvent(TRawEvent* out, int timeoutMs) override;
    int Modifiers() override { return modifiers; }
    void MousePosition(int* x, int* y) override;
    bool OpenWindow(int w, int h) override;
    bool HasWindow() const override { return window; }
    bool SetFullscreen(bool on) override;
    bool IsFullscreen() const override { return fullscreen; }
    void ShowWindow() override {}
    void RaiseWindow() override { ++raises; }
    void MinimizeWindow() override { ++minimises; }
    void WarpMouseToCentre() override;
    void SetTitle(const char* utf8) override { title = utf8; }
    void DrawableSize(int* w, int* h) override;
    bool MakeCurrent() override { return window; }
    void ClearFrame() override { ++clears; }
    void SwapBuffers() override { ++swaps; }
    bool IsSystemCursorVisible() override { return cursorVisible; }
    void ShowSystemCursor(bool show) override { cursorVisible = show; }
    void SetArrowCursor() override {}
    bool OpenUrl(const char* url) override;
};

}  // namespace qm
