// TGameApp: the game's start-up, its handling of each event of the main loop
// and its one clean way out. Main (main.cpp) runs it on the real platform;
// tests run it on the headless one.
#pragma once

#include <memory>

class TCursor;
class TPlatform;
class TQuessaColors;
class TServerSaveManager;
struct TEvent;

class TGameApp {
public:
    static constexpr const char* kMainLoopScript = "scripts/mainloop.lua";
    static constexpr const char* kCloseConfirmScript = "scripts/closeconfirm.lua";
    // The type of the message posted when the application is deactivated.
    static constexpr int kDeactivatedMessage = 1000;

    explicit TGameApp(TPlatform* platform);
    // Quits if that has not happened yet.
    ~TGameApp();
    TGameApp(const TGameApp&) = delete;
    TGameApp& operator=(const TGameApp&) = delete;

    // Window title, settings and display, services (the unlock rules, the
    // server-save choices, the cursor, the clothing colours), window types,
    // Lua globals, then "scripts/mainloop.lua".
    void StartUp();
    // One turn of the main loop; false once the game has quit.
    bool HandleEvent(TEvent* ev);
    bool HasQuit() const { return mQuit; }

private:
    // False when the close request ends the game.
    bool OnCloseRequest();
    // Runs the close confirmation; false when it could not ask.
    bool AskBeforeClosing();
    // True while the close confirmation waits for the player's answer.
    bool ConfirmationWaiting() const;
    // The one way out, for a quit event, a close without confirmation and a
    // quit asked for by a script: the window tree goes first, then the
    // services the windows use, then the settings (which write the session's
    // metrics and play time).
    void Quit();
    void DestroyWindowTree();

    TPlatform* mPlatform;
    // The game's services, made by StartUp and deleted by Quit.
    std::unique_ptr<TServerSaveManager> mServerSaves;
    std::unique_ptr<TCursor> mCursor;
    std::unique_ptr<TQuessaColors> mColours;
    bool mQuitRequested = false;  // by a script's quit message
    bool mQuit = false;
};

// The game's entry, called once by the engine with its platform up.
void Main(TPlatform* platform, const char* commandLine);
