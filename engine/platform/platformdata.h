// TPlatformData: the platform state behind the TPlatform facade, and the
// owner of every engine-wide service. It holds the portable logic (the event
// stack, the translation rules, idle pacing, display state, folders, files)
// and reaches the operating system only through an IPlatformBackend.
#pragma once

#include "engine/base/folders.h"
#include "engine/base/str.h"
#include "engine/base/task.h"
#include "engine/platform/backend.h"
#include "engine/platform/displayfade.h"
#include "engine/platform/event.h"
#include "engine/platform/framerate.h"
#include "engine/platform/services.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

class TAssetManager;
class TPlatform;
class TTexture;
struct TPoint;

class TPlatformData {
public:
    using MainFunction = void (*)(TPlatform*, const char*);

    // The longest sleep of an idle pass while the application is inactive,
    // and the step by which it grows.
    static constexpr int kInactiveSleepStepMs = 10;
    static constexpr int kInactiveSleepMaxMs = 1000;
    // How long GetEvent waits for an operating-system event.
    static constexpr int kEventWaitMs = 1;
    // The pace of the frames shown while waiting for the fade to black.
    static constexpr int kFadeFrameMs = 16;

    TPlatformData(int argc, char** argv, bool flag, std::unique_ptr<IPlatformBackend> backend);
    ~TPlatformData();
    TPlatformData(const TPlatformData&) = delete;
    TPlatformData& operator=(const TPlatformData&) = delete;

    // ---- events
    // The newest queued event, else one translated operating-system event,
    // else (sticky) quit, else an idle event after the idle pass.
    void GetEvent(TEvent* ev);
    // Translates one raw event into one or two TEvents pushed on the stack.
    void QueueEvent(const TRawEvent& raw);
    int QueuedEventCount() const { return static_cast<int>(mEvents.size()); }
    bool IsActive() const { return mActive; }
    bool QuitRequested() const { return mQuitRequested; }
    // When on, the window's close button gives a kCloseRequest event and the
    // program decides whether to quit; when off (the default) it quits.
    void SetCloseRequests(bool on) { mCloseRequests = on; }
    bool GetCloseRequests() const { return mCloseRequests; }
    // The sleep of the last idle pass in ms (0 while active).
    int IdleSleep() const { return mIdleSleepMs; }

    // ---- display
    // Makes the window on the first call, else resizes it and switches mode;
    // puts the pointer in the middle of the window. True when the window
    // exists in the requested mode afterwards. Asked for full screen, it
    // fades the screen to black first (waiting) and back from black after
    // (not waiting: the frames drawn meanwhile come up out of black).
    bool SetDisplay(int width, int height, bool fullscreen);
    // Switches mode keeping the size, and leaves the pointer where it is;
    // false (logged, the mode kept) when it failed. A real change fades
    // like SetDisplay; the current mode returns true and touches nothing.
    bool SetFullscreen(bool on);
    // True once after a switch to full screen was refused (by SetFullscreen:
    // the player's own switch, not the start-up's), so that the program can
    // tell the player why the game stayed a window.
    bool TakeFullscreenRefusal();
    // How black the fade makes the picture now (0 when there is none).
    float FadeBlackness() const { return mFade.Blackness(Timer()); }
    bool IsFullscreen() const { return mFullscreen; }
    bool HasDisplay() const { return mBackend->HasWindow(); }
    int DisplayWidth() const { return mDisplayWidth; }
    int DisplayHeight() const { return mDisplayHeight; }
    void SwapDisplayMode() {}
    // The window's drawable as it really is now, in pixels. The game's
    // DisplayWidth x DisplayHeight frame is letterboxed into it (letterbox.h).
    void GetDrawableSize(int* width, int* height) { mBackend->DrawableSize(width, height); }
    // A point in drawable pixels mapped into game coordinates through the
    // letterbox of the drawable's present size.
    void WindowToGame(int windowX, int windowY, int* gameX, int* gameY);
    // The pointer now, in game coordinates.
    void GetMousePosition(int* x, int* y);
    void SetWindowTitle(const char* title);
    // The window is made by the first SetDisplay; nothing to do here.
    void CreateApplicationWindow() {}

    bool BeginDraw(bool clear);
    void EndDraw(bool swap);
    bool Begin2d();
    void End2d();
    // The 2D and 3D flags, kept by the facade.
    bool mIn2d = false;
    bool mIn3d = false;

    // ---- cursor
    void HideCursor(bool hide);
    // An empty texture is ignored; otherwise the system cursor is hidden and
    // the display handler draws this one (defined with the display handler).
    void SetCursor(std::shared_ptr<TTexture> texture, TPoint hotSpot);
    bool IsCursorShown() const { return mCursorShown; }
    bool IsMouseInContent();
    void GetViewPortScale(float* scale) const;

    // ---- time and randomness
    // Milliseconds since construction, wrapping modulo 2^32.
    std::uint32_t Timer() const { return mBackend->Milliseconds() - mStartTime; }
    int Rand();
    void SeedRand(unsigned seed) { mRandom.seed(seed); }

    // ---- files and folders
    // Copies the user (false) or common (true) data folder into out, which
    // holds qm::kPathBufferSize bytes.
    void GetDataDirectory(char* out, bool common) const;
    std::FILE* OpenFile(const char* name, char* outPath);
    str TranslateResource(str name);
    const char* GetVersion() const { return mVersion; }
    bool OpenBrowser(const char* url);
    [[noreturn]] void Exit(int code);

    // ---- services
    bool InitSound();
    TSoundManager* GetSoundManager();
    TWindowManager* GetWindowManager();
    TStringTable* GetStringTable();
    TDisplayHandler* GetDisplayHandler();
    IWindowHost* GetWindowHost() { return mWindowHost.get(); }
    ISoundHost* GetSoundHost() { return mSoundHost.get(); }
    IDisplayHost* GetDisplayHost() { return mDisplayHost.get(); }
    void SetWindowHost(std::unique_ptr<IWindowHost> host);
    void SetSoundHost(std::unique_ptr<ISoundHost> host);
    // Deletes the previous display handler before storing the new one.
    void SetDisplayHandler(std::unique_ptr<IDisplayHost> host);

    // ---- tasks
    TTaskList* GetTaskList() { return &mTaskList; }
    void AdoptTask(TTask* task) { mTaskList.AdoptTask(task); }
    bool OrphanTask(TTask* task) { return mTaskList.OrphanTask(task); }
    void AdoptTextureRefreshListener(TTask* task) { mTextureRefreshList.AdoptTask(task); }
    bool OrphanTextureRefreshListener(TTask* task) { return mTextureRefreshList.OrphanTask(task); }

    // ---- the engine entry
    void SetMainFunction(MainFunction main) { mMain = main; }
    MainFunction GetMainFunction() const { return mMain; }
    void SetCommandLine(const str& line) { mCommandLine = line; }
    const str& GetCommandLine() const { return mCommandLine; }
    // The resource folder the engine entered (the working directory when the
    // platform was made, unless the engine entry says otherwise), and the
    // errno value that kept it from entering it (ENOENT: none was found).
    void SetResourceFolder(const str& folder, int error)
    {
        mResourceFolder = folder;
        mResourceFolderError = error;
    }
    const str& GetResourceFolder() const { return mResourceFolder; }
    int GetResourceFolderError() const { return mResourceFolderError; }

    IPlatformBackend& Backend() { return *mBackend; }
    TFrameRateLog& FrameRateLog() { return mFrameRateLog; }

private:
    bool applyDisplay(int width, int height, bool fullscreen, bool centrePointer);
    bool changeDisplayThroughBlack(int width, int height, bool fullscreen, bool centrePointer);
    bool fadeToBlack();
    void showFadeFrame(float blackness);
    void drawFade();
    void keepFadeMoving();
    void noteDrawableSize();
    void idlePass();
    void push(std::int32_t type, std::int32_t param, int x, int y, int modifiers);
    void pushIdle(int modifiers) { push(TEvent::kIdle, 0, 0, 0, modifiers); }
    void translateKey(const TRawEvent& raw);
    void translateText(const TRawEvent& raw);
    void translateButtonDown(const TRawEvent& raw);
    void translateWheel(const TRawEvent& raw);
    void setActive(bool active, int modifiers);
    void pauseSounds(bool pause);
    void hideSystemCursor();

    std::unique_ptr<IPlatformBackend> mBackend;
    std::uint32_t mStartTime = 0;
    MainFunction mMain = nullptr;
    str mCommandLine;
    bool mActive = true;
    bool mQuitRequested = false;
    unsigned mQuitSignalsSeen = 0;  // quit signals that arrived before this platform
    bool mCloseRequests = false;
    str mResourceFolder;
    int mResourceFolderError = 0;
    char mUserDataDirectory[qm::kPathBufferSize] = {};
    char mCommonDataDirectory[qm::kPathBufferSize] = {};
    char mVersion[qm::kPathBufferSize] = {};
    TTaskList mTextureRefreshList;
    TTaskList mTaskList;
    std::unique_ptr<TAssetManager> mAssetManager;
    std::unique_ptr<IWindowHost> mWindowHost;
    std::unique_ptr<ISoundHost> mSoundHost;
    std::unique_ptr<IDisplayHost> mDisplayHost;
    bool mTextureRefreshRequested = false;
    float mViewportScale = 1.0f;
    std::vector<TEvent> mEvents;  // a stack: the newest comes out first
    bool mCursorShown = true;
    bool mFullscreen = false;
    bool mFullscreenRefused = false;  // see TakeFullscreenRefusal
    bool mHiddenWhileFullscreen = false;
    int mDisplayWidth = 0;
    int mDisplayHeight = 0;
    int mDrawableWidth = 0;  // as last seen, to log a change
    int mDrawableHeight = 0;
    int mIdleSleepMs = 0;
    qm::TDisplayFade mFade;
    bool mFrameOnScreen = false;  // a frame was swapped onto the window
    bool mFadeOnScreen = false;   // the last swap put black over it
    std::uint32_t mLastSwapMs = 0;
    std::mt19937 mRandom;
    TFrameRateLog mFrameRateLog;
};
