#include "engine/platform/sdl/x11window.h"

#include <cstdio>

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace qm::x11 {

#if defined(SDL_VIDEO_DRIVER_X11)

namespace {

struct TX11Window {
    Display* display = nullptr;
    Window window = 0;
};

bool x11Window(SDL_Window* window, TX11Window* out)
{
    if (!window)
        return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    out->display = info.info.x11.display;
    out->window = info.info.x11.window;
    return out->display != nullptr && out->window != 0;
}

// The root window's property `name` as a list of 32-bit items of `type`;
// empty when the property (or the atom) does not exist.
template <typename Item>
std::size_t rootProperty(Display* display, Window root, const char* name, Atom type, Item* items,
                         std::size_t capacity)
{
    const Atom property = XInternAtom(display, name, True);
    if (property == None)
        return 0;
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, root, property, 0, static_cast<long>(capacity), False, type, &actualType,
                           &format, &count, &remaining, &data) != Success) {
        return 0;
    }
    std::size_t copied = 0;
    if (data && actualType == type && format == 32) {
        // Format 32 items arrive as longs, whatever their type.
        const auto* values = reinterpret_cast<const long*>(data);
        for (; copied < count && copied < capacity; ++copied)
            items[copied] = static_cast<Item>(values[copied]);
    }
    if (data)
        XFree(data);
    return copied;
}

}  // namespace

bool WindowSize(SDL_Window* window, int* width, int* height)
{
    TX11Window x;
    if (!x11Window(window, &x))
        return false;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x.display, x.window, &attributes))
        return false;
    *width = attributes.width;
    *height = attributes.height;
    return true;
}

bool WindowReconfigured(const SDL_SysWMmsg& message)
{
    return message.subsystem == SDL_SYSWM_X11 && message.msg.x11.event.type == ConfigureNotify;
}

bool PointerInWindow(SDL_Window* window, int* x, int* y)
{
    TX11Window w;
    if (!x11Window(window, &w))
        return false;
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0;
    unsigned int buttons = 0;
    return XQueryPointer(w.display, w.window, &root, &child, &rootX, &rootY, x, y, &buttons) == True;
}

bool HasFullscreenManager(SDL_Window* window, bool* known)
{
    TX11Window x;
    *known = x11Window(window, &x);
    if (!*known)
        return false;
    const Window root = DefaultRootWindow(x.display);
    // A manager that follows the desktop conventions names its check window
    // on the root, and lists the full-screen state among what it supports.
    Window check = 0;
    if (rootProperty(x.display, root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW, &check, 1) != 1 || check == 0)
        return false;
    const Atom fullscreen = XInternAtom(x.display, "_NET_WM_STATE_FULLSCREEN", True);
    if (fullscreen == None)
        return false;
    constexpr std::size_t kMostAtoms = 1024;
    Atom supported[kMostAtoms];
    const std::size_t count = rootProperty(x.display, root, "_NET_SUPPORTED", XA_ATOM, supported, kMostAtoms);
    for (std::size_t i = 0; i < count; ++i) {
        if (supported[i] == fullscreen)
            return true;
    }
    return false;
}

namespace {

char gFirstError[256];

int TrapError(Display* display, XErrorEvent* event)
{
    if (gFirstError[0])
        return 0;
    char text[160] = "";
    XGetErrorText(display, event->error_code, text, sizeof text);
    // (a handler may make no requests, so the request stays a number)
    std::snprintf(gFirstError, sizeof gFirstError, "the X server refused request %d.%d: %s", event->request_code,
                  event->minor_code, text);
    return 0;
}

}  // namespace

TErrorTrap::TErrorTrap()
{
    gFirstError[0] = '\0';
    mPrevious = reinterpret_cast<void*>(XSetErrorHandler(TrapError));
}

TErrorTrap::~TErrorTrap()
{
    XSetErrorHandler(reinterpret_cast<XErrorHandler>(mPrevious));
}

bool TErrorTrap::Caught(SDL_Window* window)
{
    TX11Window x;
    if (x11Window(window, &x))
        XSync(x.display, False);
    return gFirstError[0] != '\0';
}

const char* TErrorTrap::FirstError() const
{
    return gFirstError;
}

#else

TErrorTrap::TErrorTrap() = default;
TErrorTrap::~TErrorTrap() = default;
bool TErrorTrap::Caught(SDL_Window*) { return false; }
const char* TErrorTrap::FirstError() const { return ""; }

bool WindowSize(SDL_Window*, int*, int*) { return false; }
bool WindowReconfigured(const SDL_SysWMmsg&) { return false; }
bool PointerInWindow(SDL_Window*, int*, int*) { return false; }
bool HasFullscreenManager(SDL_Window*, bool* known)
{
    *known = false;
    return false;
}

#endif

}  // namespace qm::x11
