#include "engine/platform/platformdata.h"

#include "engine/base/asset.h"
#include "engine/base/debuglog.h"
#include "engine/base/timesource.h"
#include "engine/platform/browser.h"
#include "engine/platform/letterbox.h"
#include "engine/platform/quitsignal.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

#ifndef QM_VERSION
#define QM_VERSION "2.0.0.0"
#endif

namespace qm {

TPlatformHooks& PlatformHooks()
{
    static TPlatformHooks hooks;
    return hooks;
}

}  // namespace qm

namespace {

void storePath(char* out, const char* what, const str& path)
{
    if (!qm::CopyPath(out, qm::kPathBufferSize, path.c_str()))
        WriteDbg("%s is too long for its buffer: %s", what, path.c_str());
}

bool isValidUtf8(const char* text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        int follow = *p < 0x80 ? 0 : (*p >> 5) == 0x6 ? 1 : (*p >> 4) == 0xE ? 2 : (*p >> 3) == 0x1E ? 3 : -1;
        if (follow < 0)
            return false;
        ++p;
        for (int i = 0; i < follow; ++i, ++p) {
            if ((*p & 0xC0) != 0x80)
                return false;
        }
    }
    return true;
}

// Engine text is UTF-8; text that is not valid UTF-8 is read as ISO Latin-1.
std::string titleAsUtf8(const char* text)
{
    if (isValidUtf8(text))
        return text;
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (*p < 0x80) {
            out += static_cast<char>(*p);
        } else {
            out += static_cast<char>(0xC0 | (*p >> 6));
            out += static_cast<char>(0x80 | (*p & 0x3F));
        }
    }
    return out;
}

}  // namespace

TPlatformData::TPlatformData(int, char**, bool, std::unique_ptr<IPlatformBackend> backend)
    : mBackend(std::move(backend))
{
    mStartTime = mBackend->Milliseconds();
    mQuitSignalsSeen = qm::QuitSignals();
    qm::SetTimeSource([this] { return Timer(); });
    mRandom.seed(mBackend->RandomSeed());

    mAssetManager = std::make_unique<TAssetManager>();
    if (auto& make = qm::PlatformHooks().makeWindowHost)
        mWindowHost = make(*this);

    char cwd[4096];
    if (::getcwd(cwd, sizeof cwd))
        mResourceFolder = str(cwd);
    storePath(mCommonDataDirectory, "The common data folder", qm::CommonDataDirectory());
    storePath(mUserDataDirectory, "The user data folder", qm::UserDataDirectory());
    qm::CopyPath(mVersion, sizeof mVersion, QM_VERSION);

    ResetDbg(mUserDataDirectory);
    WriteDbg("Version %s.", mVersion);
    WriteDbg("User data dir: %s", mUserDataDirectory);
    WriteDbg("Common data dir: %s", mCommonDataDirectory);
}

TPlatformData::~TPlatformData()
{
    // Windows and tasks first: they hold textures and sounds. Then sound,
    // then the display handler while its GL context still exists, then the
    // window and context themselves. Each service is unreachable (null) from
    // the moment it is deleted.
    mWindowHost.reset();
    mTaskList.DestroyAll();
    mTextureRefreshList.DestroyAll();
    mSoundHost.reset();
    mDisplayHost.reset();
    mEvents.clear();
    mAssetManager.reset();
    qm::SetTimeSource({});
    mBackend.reset();
}

// ------------------------------------------------------------------ display

bool TPlatformData::SetDisplay(int width, int height, bool fullscreen)
{
    if (!fullscreen)
        return applyDisplay(width, height, false, true);
    return changeDisplayThroughBlack(width, height, true, true);
}

bool TPlatformData::changeDisplayThroughBlack(int width, int height, bool fullscreen, bool centrePointer)
{
    // The window jumps in size and place while the mode changes: the player
    // sees black instead, and the new picture comes up out of it.
    const bool fading = fadeToBlack();
    const bool changed = applyDisplay(width, height, fullscreen, centrePointer);
    if (fading)
        mFade.StartBack(Timer());
    return changed;
}

bool TPlatformData::fadeToBlack()
{
    // Without a host that can darken the picture there is no fade at all.
    if (!mDisplayHost || !mDisplayHost->CanFade())
        return false;
    // Nothing on the window yet (the first display): nothing to darken, so
    // the first frames simply come up out of black.
    if (!mFrameOnScreen || !mBackend->MakeCurrent()) {
        mFade.SetBlack(Timer());
        return true;
    }
    // The program waits here and draws nothing: its last frame is shown
    // again, darker each time, until it is black.
    mFade.StartOut(Timer());
    std::uint32_t nextFrame = Timer();
    for (;;) {
        const std::uint32_t now = Timer();
        showFadeFrame(mFade.Blackness(now));
        if (mFade.IsBlack(now))
            return true;
        nextFrame += kFadeFrameMs;
        const auto wait = static_cast<std::int32_t>(nextFrame - Timer());
        if (wait > 0)
            mBackend->Sleep(wait);
        else
            nextFrame = Timer();  // the swap was slower than the pace
    }
}

void TPlatformData::showFadeFrame(float blackness)
{
    mDisplayHost->ShowLastFrame();
    mDisplayHost->DrawFade(blackness);
    mBackend->SwapBuffers();
    mFadeOnScreen = true;
    mLastSwapMs = Timer();
}

void TPlatformData::drawFade()
{
    const std::uint32_t now = Timer();
    const bool showing = mFade.IsShowing(now);
    if (showing && mDisplayHost)
        mDisplayHost->DrawFade(mFade.Blackness(now));
    if (!showing)
        mFade = qm::TDisplayFade();
    mFadeOnScreen = showing;
    mLastSwapMs = now;
}

void TPlatformData::keepFadeMoving()
{
    // A screen that stands still draws no frames, and the way back from
    // black must go on all the same: the last frame is shown again, with
    // less black each time, and once more without any when it is over.
    const std::uint32_t now = Timer();
    if (!mFadeOnScreen && !mFade.IsShowing(now))
        return;
    if (!mDisplayHost || !mFrameOnScreen || now - mLastSwapMs < kFadeFrameMs || !mBackend->MakeCurrent())
        return;
    mDisplayHost->ShowLastFrame();
    drawFade();
    mBackend->SwapBuffers();
}

bool TPlatformData::applyDisplay(int width, int height, bool fullscreen, bool centrePointer)
{
    if (width <= 0 || height <= 0) {
        WriteDbg("SetDisplay: bad size %d x %d", width, height);
        return false;
    }
    bool first = !mBackend->HasWindow();
    if (!mBackend->OpenWindow(width, height)) {
        WriteDbg("SetDisplay: cannot open a %d x %d window", width, height);
        return false;
    }
    if (first)
        hideSystemCursor();
    mDisplayWidth = width;
    mDisplayHeight = height;
    if (mBackend->IsFullscreen() != fullscreen && !mBackend->SetFullscreen(fullscreen))
        WriteDbg("SetDisplay: cannot switch %s full screen; the window stays as it was",
                 fullscreen ? "to" : "out of");
    mFullscreen = mBackend->IsFullscreen();
    if (mFullscreen)
        hideSystemCursor();
    mBackend->RaiseWindow();
    mBackend->ShowWindow();
    if (centrePointer)
        mBackend->WarpMouseToCentre();
    mBackend->MakeCurrent();
    noteDrawableSize();
    if (mDisplayHost)
        mDisplayHost->SetDisplay(width, height, mFullscreen);
    return mFullscreen == fullscreen;
}

bool TPlatformData::SetFullscreen(bool on)
{
    if (on == mFullscreen)
        return true;
    if (!mBackend->HasWindow()) {
        WriteDbg("SetFullscreen: no window yet");
        return false;
    }
    // The pointer stays where the player left it.
    const bool switched = changeDisplayThroughBlack(mDisplayWidth, mDisplayHeight, on, false);
    if (!switched && on)
        mFullscreenRefused = true;
    return switched;
}

bool TPlatformData::TakeFullscreenRefusal()
{
    const bool refused = mFullscreenRefused;
    mFullscreenRefused = false;
    return refused;
}

void TPlatformData::noteDrawableSize()
{
    int width = 0, height = 0;
    mBackend->DrawableSize(&width, &height);
    if (width == mDrawableWidth && height == mDrawableHeight)
        return;
    mDrawableWidth = width;
    mDrawableHeight = height;
    const qm::TLetterbox box = qm::ComputeLetterbox(width, height, mDisplayWidth, mDisplayHeight);
    WriteDbg("The window is %d x %d pixels; the game shows at %d x %d from (%d, %d)", width, height, box.width,
             box.height, box.x, box.y);
}

void TPlatformData::WindowToGame(int windowX, int windowY, int* gameX, int* gameY)
{
    int width = 0, height = 0;
    mBackend->DrawableSize(&width, &height);
    // Before the first SetDisplay there is no frame to map into.
    if (mDisplayWidth <= 0 || mDisplayHeight <= 0 || width <= 0 || height <= 0) {
        *gameX = windowX;
        *gameY = windowY;
        return;
    }
    const qm::TLetterbox box = qm::ComputeLetterbox(width, height, mDisplayWidth, mDisplayHeight);
    qm::WindowToGame(box, mDisplayWidth, mDisplayHeight, windowX, windowY, gameX, gameY);
}

void TPlatformData::GetMousePosition(int* x, int* y)
{
    int windowX = 0, windowY = 0;
    mBackend->MousePosition(&windowX, &windowY);
    WindowToGame(windowX, windowY, x, y);
}

void TPlatformData::SetWindowTitle(const char* title)
{
    if (title)
        mBackend->SetTitle(titleAsUtf8(title).c_str());
}

bool TPlatformData::BeginDraw(bool clear)
{
    // No window (SetDisplay not called or failed): there is nothing to draw on.
    if (!mBackend->MakeCurrent())
        return false;
    if (mDisplayHost) {
        if (!mDisplayHost->BeginDraw(clear))
            return false;
    } else {
        mBackend->ClearFrame();
    }
    if (mTextureRefreshRequested) {
        mTextureRefreshList.DoAll(TTask::kEventContext);
        mTextureRefreshRequested = false;
    }
    return true;
}

void TPlatformData::EndDraw(bool swap)
{
    if (mDisplayHost)
        mDisplayHost->EndDraw(swap);
    if (!swap)
        return;
    drawFade();
    mBackend->SwapBuffers();
    mFrameOnScreen = true;
}

bool TPlatformData::Begin2d()
{
    // Without a display handler there is nothing to set up: the bracket is
    // still kept, so its checks work in every program.
    mIn2d = mDisplayHost ? mDisplayHost->Begin2d() : true;
    return mIn2d;
}

void TPlatformData::End2d()
{
    if (mDisplayHost)
        mDisplayHost->End2d();
    mIn2d = false;
}

// ------------------------------------------------------------------ cursor

void TPlatformData::hideSystemCursor()
{
    if (mBackend->IsSystemCursorVisible())
        mBackend->ShowSystemCursor(false);
}

void TPlatformData::HideCursor(bool hide)
{
    mCursorShown = !hide;
    if (hide)
        hideSystemCursor();
    else if (!mBackend->IsSystemCursorVisible() && !IsMouseInContent())
        mBackend->ShowSystemCursor(true);
}

bool TPlatformData::IsMouseInContent()
{
    if (!mBackend->HasWindow())
        return false;
    int x = 0, y = 0;
    GetMousePosition(&x, &y);
    return x >= 0 && y >= 0 && x <= mDisplayWidth && y <= mDisplayHeight;
}

void TPlatformData::GetViewPortScale(float* scale) const
{
    if (scale)
        *scale = mViewportScale;
}

// ------------------------------------------------------------------ misc

int TPlatformData::Rand()
{
    // Non-negative like rand(): 31 random bits.
    return static_cast<int>(mRandom() >> 1);
}

void TPlatformData::GetDataDirectory(char* out, bool common) const
{
    if (out)
        qm::CopyPath(out, qm::kPathBufferSize, common ? mCommonDataDirectory : mUserDataDirectory);
}

std::FILE* TPlatformData::OpenFile(const char* name, char* outPath)
{
    char scratch[qm::kPathBufferSize];
    return qm::OpenResource(name, outPath ? outPath : scratch);
}

str TPlatformData::TranslateResource(str name)
{
    char path[qm::kPathBufferSize];
    std::FILE* file = OpenFile(name.c_str(), path);
    if (!file)
        return str();
    std::fclose(file);
    return str(path);
}

bool TPlatformData::OpenBrowser(const char* url)
{
    if (!qm::IsWebAddress(url)) {
        WriteDbg("OpenBrowser: only http and https addresses are opened: %s", url ? url : "(null)");
        return false;
    }
    return mBackend->OpenUrl(url);
}

void TPlatformData::Exit(int code)
{
    std::exit(code);
}

// ------------------------------------------------------------------ services

bool TPlatformData::InitSound()
{
    if (!mSoundHost) {
        if (auto& make = qm::PlatformHooks().makeSoundHost)
            mSoundHost = make(*this);
    }
    if (!mSoundHost) {
        WriteDbg("InitSound: this program has no sound system");
        return false;
    }
    return mSoundHost->Init();
}

TSoundManager* TPlatformData::GetSoundManager()
{
    return mSoundHost ? mSoundHost->GetSoundManager() : nullptr;
}

TWindowManager* TPlatformData::GetWindowManager()
{
    return mWindowHost ? mWindowHost->GetWindowManager() : nullptr;
}

TStringTable* TPlatformData::GetStringTable()
{
    return mWindowHost ? mWindowHost->GetStringTable() : nullptr;
}

TDisplayHandler* TPlatformData::GetDisplayHandler()
{
    return mDisplayHost ? mDisplayHost->GetDisplayHandler() : nullptr;
}

void TPlatformData::SetWindowHost(std::unique_ptr<IWindowHost> host)
{
    mWindowHost.reset();
    mWindowHost = std::move(host);
}

void TPlatformData::SetSoundHost(std::unique_ptr<ISoundHost> host)
{
    mSoundHost.reset();
    mSoundHost = std::move(host);
}

void TPlatformData::SetDisplayHandler(std::unique_ptr<IDisplayHost> host)
{
    mDisplayHost.reset();
    mDisplayHost = std::move(host);
}

void TPlatformData::pauseSounds(bool pause)
{
    if (mSoundHost)
        mSoundHost->PauseAllSounds(pause);
}
