#include "outsideclient.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>

struct TOutsideClient::TConnection {
    Display* display = nullptr;
    Window window = 0;
};

TOutsideClient::TOutsideClient(SDL_Window* window) : mConnection(std::make_unique<TConnection>())
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    mConnection->window = info.info.x11.window;
    mConnection->display = XOpenDisplay(nullptr);
}

TOutsideClient::~TOutsideClient()
{
    if (mConnection->display)
        XCloseDisplay(mConnection->display);
}

bool TOutsideClient::Ok() const
{
    return mConnection->display && mConnection->window;
}

void TOutsideClient::Warp(int x, int y)
{
    XWarpPointer(mConnection->display, None, mConnection->window, 0, 0, 0, 0, x, y);
    XFlush(mConnection->display);
}

void TOutsideClient::Resize(int width, int height)
{
    XResizeWindow(mConnection->display, mConnection->window, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
    XFlush(mConnection->display);
}
