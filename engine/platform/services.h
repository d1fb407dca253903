// Seams to the engine services that are built above the platform: the window
// system (window manager, window script, string table), sound, and the
// display handler. The platform owns them, reaches them only through these
// small interfaces, and runs without them: a missing service is skipped.
//
// A subsystem plugs in by filling its factory in qm::PlatformHooks() before
// the engine starts (QuellmoorExec); tests may instead hand an instance to
// TPlatformData directly.
#pragma once

#include <functional>
#include <memory>

class TPlatform;
class TPlatformData;
class TWindowManager;
class TStringTable;
class TSoundManager;
class TDisplayHandler;

// The window system: owns the window manager and the string table.
class IWindowHost {
public:
    virtual ~IWindowHost() = default;
    virtual TWindowManager* GetWindowManager() = 0;
    virtual TStringTable* GetStringTable() = 0;
    // TPlatform's constructor: create the window script and attach it to the
    // window manager; then load the string table and, when that worked,
    // turn string-table lookups on.
    virtual void AttachWindowScript(TPlatform* platform) = 0;
    virtual bool LoadStringTable(const char* path) = 0;
    virtual void EnableStringTable(bool on) = 0;
    // The first SetDisplay: create the root screen, install it and size it,
    // when the window manager has none yet.
    virtual bool HasRootScreen() = 0;
    virtual void CreateRootScreen(int width, int height) = 0;
};

// Sound: owns the sound manager.
class ISoundHost {
public:
    virtual ~ISoundHost() = default;
    virtual TSoundManager* GetSoundManager() = 0;
    virtual bool Init() = 0;
    virtual void PauseAllSounds(bool pause) = 0;
    // Runs on the main thread once per idle pass: completions flagged by the
    // audio callback are handled here.
    virtual void HandleNotifications() = 0;
};

// The display handler: owns drawing, the game's framebuffer and the present.
class IDisplayHost {
public:
    virtual ~IDisplayHost() = default;
    virtual TDisplayHandler* GetDisplayHandler() = 0;
    virtual void SetDisplay(int width, int height, bool fullscreen) = 0;
    virtual void RebuildDisplay() = 0;
    virtual bool BeginDraw(bool clear) = 0;
    // Ends the frame (the letterboxed present goes here); the platform swaps after it.
    virtual void EndDraw(bool swap) = 0;
    virtual bool Begin2d() = 0;
    virtual void End2d() = 0;

    // The fade to black around a display change. A host that can darken its
    // picture says so (the platform fades nothing otherwise). While a fade
    // shows, the platform calls DrawFade after each EndDraw, before the swap;
    // while it waits for black it calls ShowLastFrame (the program draws
    // nothing meanwhile), then DrawFade, then swaps.
    virtual bool CanFade() { return false; }
    // Puts the last frame the program drew on the window again.
    virtual void ShowLastFrame() {}
    // Black over the whole window at this opacity (0 clear, 1 black).
    virtual void DrawFade(float /*blackness*/) {}
};

namespace qm {

struct TPlatformHooks {
    // Called by the TPlatformData constructor.
    std::function<std::unique_ptr<IWindowHost>(TPlatformData&)> makeWindowHost;
    // Called by the first InitSound.
    std::function<std::unique_ptr<ISoundHost>(TPlatformData&)> makeSoundHost;
    // Called by TPlatform::Init3d.
    std::function<std::unique_ptr<IDisplayHost>(TPlatformData&)> makeDisplayHost;
};

// The process-wide hooks, empty until subsystems fill them.
TPlatformHooks& PlatformHooks();

}  // namespace qm
