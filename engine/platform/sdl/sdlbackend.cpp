#include "engine/platform/sdl/sdlbackend.h"

#include "engine/base/asset.h"
#include "engine/base/debuglog.h"
#include "engine/base/folders.h"
#include "engine/base/timesource.h"
#include "engine/platform/browser.h"
#include "engine/platform/presentstats.h"
#include "engine/platform/quitsignal.h"
#include "engine/platform/sdl/sdlkeys.h"
#include "engine/platform/sdl/x11window.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_opengl.h>

#include <cstring>
#include <string>
#include <ctime>
#include <thread>

namespace qm {

namespace {

// Without a swap interval the frame is capped near this rate.
// The size the window is first made at (the game's frame), before the
// first SetDisplay gives it its own.
constexpr int kFirstWindowWidth = 800, kFirstWindowHeight = 600;

constexpr auto kFramePeriod = std::chrono::microseconds(1000000 / 60);

// How long a window manager may take to carry out a full-screen request
// before it counts as refused, and how often the window is looked at meanwhile.
constexpr auto kFullscreenGrantTime = std::chrono::milliseconds(1500);
constexpr auto kFullscreenPollPeriod = std::chrono::milliseconds(10);

// The frame shown while no display handler draws.
constexpr float kBlankRed = 32 / 255.0f, kBlankGreen = 64 / 255.0f, kBlankBlue = 96 / 255.0f;

int engineButton(Uint8 sdlButton)
{
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return TRawEvent::kPrimaryButton;
    case SDL_BUTTON_RIGHT: return TRawEvent::kSecondaryButton;
    case SDL_BUTTON_MIDDLE: return TRawEvent::kTertiaryButton;
    default: return 3 + sdlButton;  // extra buttons: never 1 to 3
    }
}

// Without a display SDL tries its drivers in turn and may end on one that
// draws into memory: the game would run with no window until killed. Such a
// driver is only right when it was asked for.
bool fellBackOnInvisibleDriver()
{
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if (asked && *asked)
        return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    return !driver || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

// The window's close button pressed (or the session asking the program to
// quit) while nobody reads the queue: the window system's events are moved
// into SDL's queue and looked at there, none taken out of it.
bool closeRequestQueued()
{
    SDL_PumpEvents();
    SDL_Event events[256];
    if (SDL_PeepEvents(events, 1, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0)
        return true;
    const int n = SDL_PeepEvents(events, 256, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT);
    for (int i = 0; i < n; ++i)
        if (events[i].window.event == SDL_WINDOWEVENT_CLOSE)
            return true;
    return false;
}

}  // namespace

TSdlBackend::TSdlBackend()
{
    // A click that focuses the window is still a click.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // The platform decides what losing the focus does in full screen.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    // Closing the window is reported as a window event only: the platform
    // decides whether it quits, so SDL must not add a quit of its own.
    SDL_SetHint("SDL_QUIT_ON_LAST_WINDOW_CLOSE", "0");
    // SIGTERM and SIGINT are the engine's own (engine/platform/quitsignal.h):
    // a script that runs without end must see them too, not only the event
    // queue it keeps from being read.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    InstallQuitSignalHandlers();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        WriteDbg("SDL video is not available: %s", SDL_GetError());
        return;
    }
    if (fellBackOnInvisibleDriver()) {
        const char* display = SDL_getenv("DISPLAY");
        WriteDbg("No display could be reached (DISPLAY is %s): a window cannot be opened. Start the game from a "
                 "desktop session, or set SDL_VIDEODRIVER=offscreen to run it without one.",
                 display && *display ? display : "not set");
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return;
    }
    // The window (hidden until the first SetDisplay) is opened now: a display
    // on which no OpenGL window can be had (an X server without GLX, a GL
    // driver that does not load) is as good as none.
    std::string why;
    if (!createWindow(kFirstWindowWidth, kFirstWindowHeight, &why)) {
        const char* display = SDL_getenv("DISPLAY");
        WriteDbg("The game window could not be opened (DISPLAY is %s): %s. The game needs OpenGL on its display.",
                 display && *display ? display : "not set", why.c_str());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return;
    }
    mVideoReady = true;
    SetCloseRequestProbe(&closeRequestQueued);
    // Characters come from text input: it knows the keyboard layout.
    SDL_StartTextInput();
}

TSdlBackend::~TSdlBackend()
{
    if (mVideoReady)
        SetCloseRequestProbe(nullptr);
    if (mContext)
        SDL_GL_DeleteContext(mContext);
    if (mWindow)
        SDL_DestroyWindow(mWindow);
    if (mVideoReady)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

std::uint32_t TSdlBackend::Milliseconds()
{
    return MonotonicMilliseconds();
}

unsigned TSdlBackend::RandomSeed()
{
    return static_cast<unsigned>(std::time(nullptr));
}

void TSdlBackend::Sleep(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool TSdlBackend::WaitEvent(TRawEvent* out, int timeoutMs)
{
    if (!mVideoReady) {
        Sleep(timeoutMs);  // nothing can arrive; still never spin
        return false;
    }
    SDL_Event event;
    if (!SDL_WaitEventTimeout(&event, timeoutMs))
        return false;
    // System events only tell the window's size has changed; the engine
    // never sees them (each would be one more idle pass, so one more frame).
    while (event.type == SDL_SYSWMEVENT) {
        if (event.syswm.msg && x11::WindowReconfigured(*event.syswm.msg))
            forgetWindowSize();
        if (!SDL_PollEvent(&event))
            return false;
    }
    translate(event, out);
    return true;
}

bool TSdlBackend::windowSize(int* width, int* height)
{
    if (!mSizeKnown) {
        mSizeKnown = mWindow && x11::WindowSize(mWindow, &mKnownWidth, &mKnownHeight);
        if (!mSizeKnown)
            return false;
    }
    *width = mKnownWidth;
    *height = mKnownHeight;
    return true;
}

int TSdlBackend::Modifiers()
{
    return mVideoReady ? sdl::EngineModifiers(static_cast<Uint16>(SDL_GetModState())) : 0;
}

void TSdlBackend::toPixels(int windowX, int windowY, int* x, int* y)
{
    *x = windowX;
    *y = windowY;
    int pixelWidth = 0, pixelHeight = 0;
    // On X11 SDL reports window pixels; elsewhere (high-density displays)
    // its coordinates may be points, which the drawable's size scales.
    if (!mWindow || windowSize(&pixelWidth, &pixelHeight))
        return;
    int pointWidth = 0, pointHeight = 0;
    SDL_GetWindowSize(mWindow, &pointWidth, &pointHeight);
    SDL_GL_GetDrawableSize(mWindow, &pixelWidth, &pixelHeight);
    if (pointWidth > 0 && pointHeight > 0) {
        *x = static_cast<int>(static_cast<long long>(windowX) * pixelWidth / pointWidth);
        *y = static_cast<int>(static_cast<long long>(windowY) * pixelHeight / pointHeight);
    }
}

void TSdlBackend::MousePosition(int* x, int* y)
{
    *x = *y = 0;
    if (!mWindow)
        return;
    // Asked of the X server each time: it follows warps, which SDL's
    // cached pointer does not.
    if (x11::PointerInWindow(mWindow, x, y))
        return;
    int windowX = 0, windowY = 0;
    if (SDL_GetMouseFocus() == mWindow) {
        SDL_GetMouseState(&windowX, &windowY);
    } else {
        int globalX = 0, globalY = 0, left = 0, top = 0;
        SDL_GetGlobalMouseState(&globalX, &globalY);
        SDL_GetWindowPosition(mWindow, &left, &top);
        windowX = globalX - left;
        windowY = globalY - top;
    }
    toPixels(windowX, windowY, x, y);
}

void TSdlBackend::translate(const SDL_Event& event, TRawEvent* out)
{
    *out = TRawEvent{};
    out->modifiers = Modifiers();
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        out->kind = event.type == SDL_KEYDOWN ? TRawEvent::kKeyDown : TRawEvent::kKeyUp;
        out->character = sdl::KeyCharacter(event.key.keysym.sym, event.key.keysym.mod);
        out->modifiers = sdl::EngineModifiers(event.key.keysym.mod);
        if (event.type == SDL_KEYDOWN)
            mTypingModifiers = out->modifiers;
        MousePosition(&out->x, &out->y);
        break;
    case SDL_TEXTINPUT:
        out->kind = TRawEvent::kText;
        static_assert(sizeof out->text >= sizeof event.text.text);
        std::memcpy(out->text, event.text.text, sizeof event.text.text);
        out->text[sizeof out->text - 1] = '\0';
        // The keys may be up by now: the text carries the typing key's state.
        out->modifiers = mTypingModifiers;
        MousePosition(&out->x, &out->y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        out->kind = event.type == SDL_MOUSEBUTTONDOWN ? TRawEvent::kButtonDown : TRawEvent::kButtonUp;
        out->button = engineButton(event.button.button);
        toPixels(event.button.x, event.button.y, &out->x, &out->y);
        break;
    case SDL_MOUSEMOTION:
        out->kind = TRawEvent::kMouseMoved;
        toPixels(event.motion.x, event.motion.y, &out->x, &out->y);
        break;
    case SDL_MOUSEWHEEL: {
        out->kind = TRawEvent::kWheel;
        int sign = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
        if (event.wheel.y != 0) {
            out->axis = TRawEvent::kVerticalAxis;
            out->delta = sign * event.wheel.y;
        } else if (event.wheel.x != 0) {
            out->axis = TRawEvent::kHorizontalAxis;
            out->delta = sign * event.wheel.x;
        }
        MousePosition(&out->x, &out->y);
        break;
    }
    case SDL_WINDOWEVENT:
        translateWindowEvent(event, out);
        break;
    case SDL_QUIT:
        out->kind = TRawEvent::kQuit;
        break;
    case SDL_APP_LOWMEMORY:
        // What is only kept for later goes first.
        if (TAssetManager* assets = TAssetManager::GetInstance())
            assets->DropKept();
        break;
    case SDL_DISPLAYEVENT:
    case SDL_RENDER_DEVICE_RESET:
        out->kind = TRawEvent::kDisplayChanged;
        break;
    default:
        break;
    }
}

void TSdlBackend::translateWindowEvent(const SDL_Event& event, TRawEvent* out)
{
    if (!mWindow || event.window.windowID != SDL_GetWindowID(mWindow))
        return;
    forgetWindowSize();
    switch (event.window.event) {
    case SDL_WINDOWEVENT_ENTER: out->kind = TRawEvent::kMouseEntered; break;
    case SDL_WINDOWEVENT_LEAVE:
        out->kind = TRawEvent::kMouseExited;
        MousePosition(&out->x, &out->y);
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED: out->kind = TRawEvent::kActivated; break;
    case SDL_WINDOWEVENT_FOCUS_LOST: out->kind = TRawEvent::kDeactivated; break;
    case SDL_WINDOWEVENT_MINIMIZED: out->kind = TRawEvent::kCollapsed; break;
    case SDL_WINDOWEVENT_RESTORED: out->kind = TRawEvent::kExpanded; break;
    case SDL_WINDOWEVENT_HIDDEN: out->kind = TRawEvent::kHidden; break;
    case SDL_WINDOWEVENT_SHOWN: out->kind = TRawEvent::kShown; break;
    case SDL_WINDOWEVENT_CLOSE: out->kind = TRawEvent::kWindowClosed; break;
    case SDL_WINDOWEVENT_MOVED:
    case SDL_WINDOWEVENT_SIZE_CHANGED: out->kind = TRawEvent::kBoundsChanged; break;
    default: break;
    }
}

bool TSdlBackend::createWindow(int width, int height, std::string* why)
{
    // Xlib's own handler would end the process on the X server's refusal,
    // without a word of the game's.
    x11::TErrorTrap trap;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    mWindow = SDL_CreateWindow(kApplicationName, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                               SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (mWindow)
        mContext = SDL_GL_CreateContext(mWindow);
    const bool refused = trap.Caught(mWindow);
    if (!mWindow || !mContext || refused) {
        *why = !mWindow ? std::string(SDL_GetError())
               : !mContext ? std::string("no OpenGL context: ") + SDL_GetError()
                           : std::string(trap.FirstError());
        if (mContext)
            SDL_GL_DeleteContext(mContext);
        if (mWindow)
            SDL_DestroyWindow(mWindow);
        mContext = nullptr;
        mWindow = nullptr;
        return false;
    }
    SDL_GL_MakeCurrent(mWindow, mContext);
    // The X server's own word that the window changed size (see windowSize).
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    mVsync = SDL_GL_SetSwapInterval(1) == 0;
    if (!mVsync)
        WriteDbg("No swap interval here (%s): frames are capped at 60 Hz", SDL_GetError());
    return true;
}

bool TSdlBackend::OpenWindow(int width, int height)
{
    if (!mVideoReady)
        return false;
    std::string why;
    if (!mWindow && !createWindow(width, height, &why)) {
        WriteDbg("Cannot open the window: %s", why.c_str());
        return false;
    }
    mWindowedWidth = width;
    mWindowedHeight = height;
    // In full screen this sets the size the window returns to.
    SDL_SetWindowSize(mWindow, width, height);
    forgetWindowSize();
    if (!IsFullscreen())
        SDL_SetWindowPosition(mWindow, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    return true;
}

bool TSdlBackend::SetFullscreen(bool on)
{
    if (!mWindow)
        return false;
    if (on && !fullscreenCanBeGranted())
        return false;
    // A window manager acts only on a window it shows.
    if (on)
        SDL_ShowWindow(mWindow);
    forgetWindowSize();
    if (SDL_SetWindowFullscreen(mWindow, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
        WriteDbg("Cannot switch full screen %s: %s", on ? "on" : "off", SDL_GetError());
        return false;
    }
    if (!on) {
        restoreWindowed();
        return true;
    }
    if (waitForFullscreen())
        return true;
    int width = 0, height = 0;
    DrawableSize(&width, &height);
    WriteDbg("Full screen was not granted: the window is still %d x %d, so it stays a window", width, height);
    SDL_SetWindowFullscreen(mWindow, 0);
    restoreWindowed();
    return false;
}

void TSdlBackend::restoreWindowed()
{
    SDL_SetWindowSize(mWindow, mWindowedWidth, mWindowedHeight);
    SDL_SetWindowPosition(mWindow, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    forgetWindowSize();
}

bool TSdlBackend::fullscreenCanBeGranted()
{
    bool known = false;
    if (x11::HasFullscreenManager(mWindow, &known) || !known)
        return true;
    // SDL would report full screen at the desktop's size while the window
    // stayed as it is: nothing on this desktop carries the request out.
    WriteDbg("Full screen: no window manager here makes windows full screen, so the window stays %d x %d",
             mWindowedWidth, mWindowedHeight);
    return false;
}

bool TSdlBackend::waitForFullscreen()
{
    SDL_Rect bounds{};
    const int display = SDL_GetWindowDisplayIndex(mWindow);
    if (display < 0 || SDL_GetDisplayBounds(display, &bounds) != 0)
        return true;  // nothing to compare with: SDL's word is all there is
    int width = 0, height = 0;
    if (!x11::WindowSize(mWindow, &width, &height))
        return true;  // not X11: SDL follows the compositor itself
    // The manager answers in its own time: wait for the window to cover the
    // display, a little while at most.
    const auto deadline = std::chrono::steady_clock::now() + kFullscreenGrantTime;
    while ((width != bounds.w || height != bounds.h) && std::chrono::steady_clock::now() < deadline) {
        SDL_PumpEvents();
        std::this_thread::sleep_for(kFullscreenPollPeriod);
        x11::WindowSize(mWindow, &width, &height);
    }
    // A manager that gave another size (panels kept, say) did act on the
    // request: the picture is letterboxed into what it gave.
    return width != mWindowedWidth || height != mWindowedHeight || (width == bounds.w && height == bounds.h);
}

bool TSdlBackend::IsFullscreen() const
{
    return mWindow && (SDL_GetWindowFlags(mWindow) & SDL_WINDOW_FULLSCREEN) != 0;
}

void TSdlBackend::ShowWindow()
{
    if (mWindow)
        SDL_ShowWindow(mWindow);
}

void TSdlBackend::RaiseWindow()
{
    // Called on every idle pass in full screen: only act when needed.
    if (mWindow && !(SDL_GetWindowFlags(mWindow) & SDL_WINDOW_INPUT_FOCUS))
        SDL_RaiseWindow(mWindow);
}

void TSdlBackend::MinimizeWindow()
{
    if (mWindow)
        SDL_MinimizeWindow(mWindow);
}

void TSdlBackend::WarpMouseToCentre()
{
    if (!mWindow)
        return;
    int w = 0, h = 0;
    SDL_GetWindowSize(mWindow, &w, &h);
    SDL_WarpMouseInWindow(mWindow, w / 2, h / 2);
}

void TSdlBackend::SetTitle(const char* utf8)
{
    if (mWindow)
        SDL_SetWindowTitle(mWindow, utf8);
}

void TSdlBackend::DrawableSize(int* width, int* height)
{
    *width = *height = 0;
    if (mWindow && !windowSize(width, height))
        SDL_GL_GetDrawableSize(mWindow, width, height);
}

bool TSdlBackend::MakeCurrent()
{
    return mWindow && SDL_GL_MakeCurrent(mWindow, mContext) == 0;
}

void TSdlBackend::ClearFrame()
{
    if (!mWindow)
        return;
    int w = 0, h = 0;
    DrawableSize(&w, &h);
    glViewport(0, 0, w, h);
    glClearColor(kBlankRed, kBlankGreen, kBlankBlue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void TSdlBackend::SwapBuffers()
{
    if (!mWindow)
        return;
    SDL_GL_SwapWindow(mWindow);
    qm::CountPresent();
    if (!mVsync)
        capFrameRate();
}

void TSdlBackend::capFrameRate()
{
    auto now = std::chrono::steady_clock::now();
    if (now < mNextFrame) {
        std::this_thread::sleep_until(mNextFrame);
        mNextFrame += kFramePeriod;
    } else {
        // Late (or the first frame): the schedule starts again from now.
        mNextFrame = now + kFramePeriod;
    }
}

bool TSdlBackend::IsSystemCursorVisible()
{
    return mVideoReady && SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE;
}

void TSdlBackend::ShowSystemCursor(bool show)
{
    if (mVideoReady)
        SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

void TSdlBackend::SetArrowCursor()
{
    if (mVideoReady)
        SDL_SetCursor(SDL_GetDefaultCursor());
}

bool TSdlBackend::OpenUrl(const char* url)
{
    return SpawnBrowser(url);
}

}  // namespace qm
