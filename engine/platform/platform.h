// TPlatform: the one object through which the engine and the game reach the
// platform: events, time, files, the window, the services and task lists.
// A process-wide singleton made by the engine entry (QuellmoorExec) and
// handed to the game's Main. It holds only its TPlatformData and forwards;
// its own logic is the singleton, the first SetDisplay, the 2D bracket
// checks and the frame-rate log.
//
// The drawing members (textures, rectangles, viewports, blend modes,
// DrawVertices) belong with the display handler and are defined beside it,
// in engine/render/platformdrawing.cpp; they use CheckDrawState for the
// bracket check.
#pragma once

#include "engine/base/str.h"
#include "engine/platform/event.h"
#include "engine/platform/platformdata.h"

#include <cstdint>
#include <cstdio>
#include <memory>

// Drawing types, defined by the render subsystem (engine/render/drawtypes.h).
enum EDrawType : int;
enum EBlendModes : int;
enum EFilteringModes : int;
enum ECullModes : int;
class TTexture;
class TVertexSet;
struct TColor;
struct TPoint;
struct TRect;

class TTask;
class TTaskList;
class TWindowManager;
class TStringTable;
class TSoundManager;
class TDisplayHandler;

class TPlatform {
public:
    // mParam of a kExtendedMouse event.
    enum ExtendedMouseEvents {
        kOtherWheel = 0,
        kRightMouseDown = 1,
        kMiddleMouseDown = 3,
        kHorizontalWheelUp = 4,    // delta at or above 0
        kHorizontalWheelDown = 5,  // delta below 0
        kVerticalWheelUp = 6,
        kVerticalWheelDown = 7,
    };

    // The display handler's modes, under the names the engine uses.
    using EDrawType = ::EDrawType;
    using EBlendModes = ::EBlendModes;
    using EFilteringModes = ::EFilteringModes;
    using ECullModes = ::ECullModes;

    // The platform, or null before the engine started and after it ended.
    static TPlatform* GetInstance();

    // Publishes itself, then attaches the window script and loads the string
    // table when the window system is present. Takes ownership of data.
    explicit TPlatform(TPlatformData* data);
    // Deletes the platform data (its teardown), then unpublishes itself.
    ~TPlatform();
    TPlatform(const TPlatform&) = delete;
    TPlatform& operator=(const TPlatform&) = delete;

    TPlatformData* GetPlatformData() { return mData; }

    // Ends the process at once; nothing is saved or torn down.
    [[noreturn]] void Exit(int code) { mData->Exit(code); }

    // ---- window and mode
    // The first call also creates and sizes the root screen. True when the
    // window is up in the requested mode.
    bool SetDisplay(int width, int height, bool fullscreen);
    void SetWindowTitle(const char* title) { mData->SetWindowTitle(title); }
    void CreateApplicationWindow() { mData->CreateApplicationWindow(); }
    // False (and the mode kept) when the switch failed.
    bool SetFullscreen(bool on) { return mData->SetFullscreen(on); }
    bool IsFullscreen() const { return mData->IsFullscreen(); }
    // True once after the player's switch to full screen was refused.
    bool TakeFullscreenRefusal() { return mData->TakeFullscreenRefusal(); }
    // On: the window's close button gives kCloseRequest instead of quitting.
    void SetCloseRequests(bool on) { mData->SetCloseRequests(on); }
    bool GetDisplayReady() const { return true; }
    bool GetPlatformDirty() const { return true; }
    bool ScreenSaverMode() const { return false; }

    // ---- drawing brackets
    // Installs the display handler made by the render subsystem's hook.
    void Init3d();
    bool BeginDraw(bool clear) { return mData->BeginDraw(clear); }
    // Ends the frame, swaps when asked, then the frame-rate log.
    void EndDraw(bool swap);
    bool Begin2d();
    void End2d();
    bool In2d() const { return mData->mIn2d; }
    bool In3d() const { return mData->mIn3d; }
    // True inside Begin2d or a 3D pass; otherwise logs the DrawVertices line
    // and the caller draws nothing.
    bool CheckDrawState() const;
    TDisplayHandler* GetDisplayHandler() { return mData->GetDisplayHandler(); }

    // ---- drawing, forwarded to the display handler (nothing without one)
    void SetTexture(std::shared_ptr<TTexture> texture);
    // An empty target fills on the screen (or the render target).
    void FillRect(int left, int top, int right, int bottom, const TColor* colour,
                  std::shared_ptr<TTexture> target = nullptr);
    void SetCullMode(ECullModes mode);
    void SetFilteringMode(EFilteringModes mode);
    void SetBlendMode(EBlendModes mode);
    // Lets consecutive 2D passes draw together until turned off (the
    // handler's JoinPasses): pixels read back only after that.
    void JoinDrawPasses(bool on);
    void PushViewport(int left, int top, int right, int bottom);
    void PopViewport();
    // Nothing outside the screen bounds needs drawing until they are taken
    // back (null): later drawing covers it. A hint the handler may use.
    void SetDrawBounds(const TRect* bounds);
    // Left, top, right, bottom of the current viewport; a null rect is ignored.
    void GetViewport(TRect* rect);
    bool BeginRenderTarget(std::shared_ptr<TTexture> texture);
    void EndRenderTarget();
    str GetSystemData();
    // Outside Begin2d and 3D: logs and draws nothing (CheckDrawState).
    void DrawVertices(EDrawType type, const TVertexSet& vertices);

    // ---- events, time, randomness
    // A null pointer is ignored.
    void GetEvent(TEvent* ev) { mData->GetEvent(ev); }
    // Milliseconds since start-up, wrapping modulo 2^32.
    std::uint32_t Timer() const { return mData->Timer(); }
    // A pseudo-random non-negative int; seeded at start-up with the back
    // end's seed (the time for the game, a fixed number headless).
    int Rand() { return mData->Rand(); }
    // Makes Rand repeatable (tests).
    void SeedRand(unsigned seed) { mData->SeedRand(seed); }

    // ---- cursor
    void HideCursor(bool hide) { mData->HideCursor(hide); }
    // An empty texture is ignored; otherwise it replaces the system cursor.
    void SetCursor(std::shared_ptr<TTexture> texture, TPoint hotSpot);

    // ---- services
    TWindowManager* GetWindowManager() { return mData->GetWindowManager(); }
    TStringTable* GetStringTable() { return mData->GetStringTable(); }
    bool InitSound() { return mData->InitSound(); }
    TSoundManager* GetSoundManager() { return mData->GetSoundManager(); }

    // ---- tasks
    TTaskList* GetTaskList() { return mData->GetTaskList(); }
    void AdoptTask(TTask* task) { mData->AdoptTask(task); }
    bool OrphanTask(TTask* task) { return mData->OrphanTask(task); }
    void AdoptTextureRefreshListener(TTask* task) { mData->AdoptTextureRefreshListener(task); }
    bool OrphanTextureRefreshListener(TTask* task) { return mData->OrphanTextureRefreshListener(task); }

    // ---- files
    // out holds qm::kPathBufferSize bytes.
    void GetDataDirectory(char* out, bool common) { mData->GetDataDirectory(out, common); }
    std::FILE* OpenFile(const char* name, char* outPath) { return mData->OpenFile(name, outPath); }
    str TranslateResource(str name) { return mData->TranslateResource(name); }
    // The resource folder (the working directory) and why it could not be
    // entered: an errno value, 0 when it was (TPlatformData).
    const str& GetResourceFolder() const { return mData->GetResourceFolder(); }
    int GetResourceFolderError() const { return mData->GetResourceFolderError(); }
    // Four numbers such as "2.0.0.0".
    const char* GetVersion() const { return mData->GetVersion(); }
    // http and https addresses only; false when refused or not started.
    bool OpenBrowser(const char* url) { return mData->OpenBrowser(url); }

    // ---- clipboard: none on this platform
    bool StringToClipboard(str) { return false; }
    str StringFromClipboard() { return str(); }

private:
    TPlatformData* mData;
};

// The engine entry: builds the platform on the SDL back end, calls main
// once with the platform and the command line (every argument followed by
// one blank), and tears down when it returns. Returns 0; 1 without calling
// main when no display can be reached (see TSdlBackend::HasDisplay).
int QuellmoorExec(int argc, char** argv, void (*mainFunction)(TPlatform*, const char*), bool flag);

namespace qm {

// The same on a given back end (tests run it headless).
int RunEngine(int argc, char** argv, void (*mainFunction)(TPlatform*, const char*), bool flag,
              std::unique_ptr<IPlatformBackend> backend);

// The command line handed to Main: every argument followed by one blank.
str BuildCommandLine(int argc, char** argv);

// Gives the pages of freed memory in the middle of the heap back to the
// system. Small blocks freed at the end of a level leave holes that the
// next level's blocks fill only in part, so without it the resident size
// creeps up level after level. Costs a walk of the heap: call it when much
// has just been freed, not every frame.
void ReturnFreedMemory();

// Returns freed memory when it goes: a first member of an owner of much
// memory, so it runs after every other member is freed.
struct TReturnFreedMemoryAtEnd {
    TReturnFreedMemoryAtEnd() = default;
    TReturnFreedMemoryAtEnd(const TReturnFreedMemoryAtEnd&) = delete;
    TReturnFreedMemoryAtEnd& operator=(const TReturnFreedMemoryAtEnd&) = delete;
    ~TReturnFreedMemoryAtEnd() { ReturnFreedMemory(); }
};

}  // namespace qm
