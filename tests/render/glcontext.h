// A hidden SDL2 window with an OpenGL compatibility context, for tests and
// benchmarks that draw. Uses the display the environment gives (Xvfb); with
// none, falls back to SDL's offscreen driver (EGL, no X server needed).
#pragma once

#include <cstdint>
#include <string>

struct SDL_Window;

class TestGLContext {
public:
    TestGLContext(int width = 800, int height = 600);
    ~TestGLContext();
    TestGLContext(const TestGLContext&) = delete;
    TestGLContext& operator=(const TestGLContext&) = delete;

    bool Ok() const { return mContext != nullptr; }
    const std::string& Error() const { return mError; }
    void Swap();

private:
    SDL_Window* mWindow = nullptr;
    void* mContext = nullptr;
    std::string mError;
};

// B, G, R, A bytes of pixel (x, y) of the framebuffer bound for reading,
// with y counted from row 0 of that framebuffer.
struct Bgra {
    std::uint8_t b, g, r, a;
};
Bgra ReadFramebufferPixel(int x, int y);
