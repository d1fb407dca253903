// The game's entry (TGameApp) started on the headless engine: a scratch
// folder with the assets a test writes (or the real scripts and strings),
// events handed in one at a time as the main loop would.
#pragma once

#include "game/app/gameapp.h"
#include "headlessengine.h"

#include <memory>
#include <string>
#include <vector>

class GameAppTest : public qmtest::HeadlessWindowTest {
protected:
    GameAppTest() : HeadlessWindowTest("qm_gameapp_") {}

    void SetUp() override;
    void TearDown() override;

    // Copies the game's own scripts, strings and fonts into the scratch
    // folder (before Start).
    void UseGameData();
    // Writes assets/scripts/<name> (before Start).
    void Script(const char* name, const char* text);
    // Starts the engine and the game, and lets the splash pass.
    void Start();
    // Idle turns while the splash is up.
    void PassSplash();
    // One event through the game; false once the game has quit.
    bool Send(int type, int param = 0, int x = 0, int y = 0);
    // An idle turn after moving the fake clock on.
    bool Idle(int ms = 20);
    // Idle turns until the game quits; false when it still runs after `turns`.
    bool QuitsWithin(int turns);
    // Runs Lua text in the window script; returns the global `name` as text.
    std::string Lua(const std::string& text, const char* name = "gProbe");
    std::string Global(const char* name);
    // Presses the middle of a window with the mouse, through the game.
    void ClickThroughGame(TWindow* w);
    std::string PrefsBytes() const;

    std::unique_ptr<TGameApp> app;
    // Types of the undirected messages that reached the window manager's listeners.
    std::vector<int> messages;
};

// The game's entry with its own scripts, strings and fonts and its
// configuration and layouts copied in (levels, customer types, globals),
// before Start: the fixture of tests that go through real screens and levels.
class GameAppWithConfigTest : public GameAppTest {
protected:
    void SetUp() override;
};
