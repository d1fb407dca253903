// TGameApp: the game's start-up, its handling of each event of the main loop
// and its one clean way out. Main (main.cpp) runs it on the real platform;
// tests run it on the headless one.
#pragma once

#include "engine/base/str.h"
#include "game/app/startupchecks.h"

#include <cstdint>
#include <memory>

namespace qm {
class TLockFile;
}
class TCursor;
class TModalWindow;
class TPlatform;
class TQuessaColors;
class TServerSaveManager;
class TWindowManager;
struct TEvent;

class TGameApp {
public:
    static constexpr const char* kMainLoopScript = "scripts/mainloop.lua";
    static constexpr const char* kCloseConfirmScript = "scripts/closeconfirm.lua";
    // Run instead of the main loop when another game holds the saves.
    static constexpr const char* kStartRefusedScript = "scripts/startrefused.lua";
    // The modal window of the splash (the engine's DisplaySplash).
    static constexpr const char* kSplashWindow = "DisplaySplash";
    // The lock file in the user data folder that a running game holds.
    static constexpr const char* kSavesLockFile = "running.lock";
    // The dialog that tells, at a quit, that the progress cannot be kept.
    static constexpr const char* kUnkeptProgressDialog = "unkeptprogress";
    // Names tried in turn: running.lock, running.lock.1, ...
    static constexpr int kLockNames = 4;
    // How long a refused start may show nothing (its script failed to build
    // its dialog, or waits without one) before the plain notice stands in.
    static constexpr std::uint32_t kBlankRefusalMs = 1000;

    explicit TGameApp(TPlatform* platform);
    // Quits if that has not happened yet.
    ~TGameApp();
    TGameApp(const TGameApp&) = delete;
    TGameApp& operator=(const TGameApp&) = delete;

    // The game's own files checked, window title, the lock on the saves,
    // settings and display, services (the unlock rules, the server-save
    // choices, the cursor, the clothing colours), window types, Lua globals,
    // then "scripts/mainloop.lua".
    // When another game holds the saves, nothing of them is read: the
    // player is told so and the game quits when he has read it.
    void StartUp();
    // Whether StartUp found the saves held by another game.
    bool WasRefused() const { return mRefused; }
    // One turn of the main loop; false once the game has quit.
    bool HandleEvent(TEvent* ev);
    bool HasQuit() const { return mQuit; }

private:
    // False when the close request ends the game.
    bool OnCloseRequest();
    // Runs the close confirmation; false when it could not ask. Unless
    // mayStartAlone, it runs only inside a screen that waits.
    bool AskBeforeClosing(bool mayStartAlone);
    void RunConfirmation(TWindowManager* manager, TModalWindow* top, bool mayStartAlone);
    // True while the close confirmation waits for the player's answer.
    bool ConfirmationWaiting() const;
    // The one way out, for a quit event, a close without confirmation and a
    // quit asked for by a script: the window tree goes first, then the
    // services the windows use, then the settings (which write the session's
    // metrics and play time).
    void Quit();
    void DestroyWindowTree();
    enum class ELock { kTaken, kHeldElsewhere, kNotTaken };
    // Takes the saves' lock on "running.lock" in the user data folder. A
    // name that cannot serve as a lock (a folder or a link by that name,
    // another user's lock file this one may not open, no room for a new
    // file) switches no lock off: every game then takes the next name of
    // kLockNames, the same one. Not taken when no name could be locked;
    // held elsewhere when another game holds any of the names.
    ELock LockSaves();
    // The i-th name tried in `folder`: running.lock, running.lock.1, ...
    static str LockName(const str& folder, int i);
    // True (and the lock taken let go) when another game holds one of the
    // names other than `taken` (-1: any of them).
    bool OtherLockNameHeld(const str& folder, int taken);
    // Why no lock could be taken, in the string table's words.
    str LockFailureText() const;
    // Tells the player why the saves are not touched (the string table's
    // labels, the folder and the cause in the body) and quits once it is read.
    void RefuseStart(const char* titleLabel, const char* bodyLabel, const str& cause = str());
    // The refusal in a plain notice, when the refusal's script showed nothing.
    void ShowPlainRefusal();
    void ShowPlainNotice();
    // When the game's own files cannot be read (the resource folder may not
    // be entered, holds none of them, or lacks the main loop), tells the
    // player so in a plain notice, touching nothing of the saves, and quits
    // once it is read: true. Without them any screen would stay black.
    bool RefuseUnreadableFiles();
    // Each turn of a refused start: the plain notice once the screen has
    // shown nothing for kBlankRefusalMs.
    void WatchRefusal(TWindowManager* manager);
    // Shows the next save failure the settings have to tell, if any.
    void TellOfFailedSave(TWindowManager* manager);
    // A quit the player asked for (a close request, a script's quit) while
    // the saves still fail: tells him that the progress cannot be kept, and
    // where, and the game quits once that dialog is closed. False when the
    // saves are written (or nothing can tell him): quit at once. A quit
    // event (a signal, the session's end) waits for no one.
    bool TellOfUnkeptProgress();
    bool UnkeptProgressShowing() const;
    void TellOfStoppedScript(TWindowManager* manager);
    // Once a run, after the player's switch to full screen was refused: why
    // the game stayed a window.
    void TellOfRefusedFullScreen(TWindowManager* manager);

    TPlatform* mPlatform;
    // The game's services, made by StartUp and deleted by Quit.
    std::unique_ptr<TServerSaveManager> mServerSaves;
    std::unique_ptr<TCursor> mCursor;
    std::unique_ptr<TQuessaColors> mColours;
    // Held from start-up to the end of the process, so a second game on the
    // same saves never undoes what this one saved.
    std::unique_ptr<qm::TLockFile> mSavesLock;
    bool mRefused = false;
    // Where the lock on the saves failed first, and the errno value met there.
    struct TLockFailure {
        game::ELockStep step = game::ELockStep::kMakeFile;
        int error = 0;
    } mLockFailure;
    // The refusal's texts, and since when it has shown nothing.
    str mRefusalTitle;
    str mRefusalBody;
    std::uint32_t mBlankSince = 0;
    bool mPlainRefusalShown = false;
    bool mQuitRequested = false;  // by a script's quit message
    bool mQuitWhenTold = false;   // the unkept progress is told; quit once it is closed
    bool mQuit = false;
    bool mFullScreenRefused = false;  // a refusal waits to be told
    bool mFullScreenRefusalTold = false;
};

// The game's entry, called once by the engine with its platform up.
void Main(TPlatform* platform, const char* commandLine);
