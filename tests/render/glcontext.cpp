#include "glcontext.h"

#include "engine/render/gl/glheaders.h"

#include <SDL.h>

#include <cstdlib>

namespace {

SDL_Window* OpenWindow(int width, int height)
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    return SDL_CreateWindow("render test", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                            SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
}

}  // namespace

TestGLContext::TestGLContext(int width, int height)
{
    bool video = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    if (video)
        mWindow = OpenWindow(width, height);
    if (!mWindow) {
        if (video)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
            mError = SDL_GetError();
            return;
        }
        mWindow = OpenWindow(width, height);
    }
    if (!mWindow) {
        mError = SDL_GetError();
        return;
    }
    mContext = SDL_GL_CreateContext(mWindow);
    if (!mContext)
        mError = SDL_GetError();
}

TestGLContext::~TestGLContext()
{
    if (mContext)
        SDL_GL_DeleteContext(mContext);
    if (mWindow)
        SDL_DestroyWindow(mWindow);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void TestGLContext::Swap()
{
    SDL_GL_SwapWindow(mWindow);
}

Bgra ReadFramebufferPixel(int x, int y)
{
    Bgra pixel{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, &pixel);
    return pixel;
}
