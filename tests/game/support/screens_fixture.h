// The game's screens on the headless engine with the game's own data: the
// scripts, strings, configuration and pictures a test names are copied from
// data/assets into the scratch folder, the window types are registered and
// TSettings exists with one player. Events go in through the window manager.
#pragma once

#include "headlessengine.h"

#include "game/settings/settings.h"

#include <initializer_list>
#include <string>

class GameScreensTest : public qmtest::HeadlessWindowTest {
protected:
    GameScreensTest() : HeadlessWindowTest("qm_gamescreens_") {}

    void SetUp() override;
    void TearDown() override;

    // Copies files or whole folders of data/assets (before StartGame).
    void CopyAssets(std::initializer_list<const char*> paths);
    // Starts the engine, registers the window types, makes the settings and
    // the player "Ann" (her profile current).
    void StartGame();
    // Runs a screen script in a new modal window named after it, as DoModal
    // does, without waiting for it to close.
    void OpenScreen(const char* script);
    void Lua(const std::string& text);
    // Mouse events at a point of the screen, a frame after each.
    void MouseAt(int type, int x, int y);
    void ClickAt(int x, int y);
    // Presses a named button as a click on it would (its message to the parents).
    void Press(const char* name);
    // Frames of 20 ms (and idle turns) until done() holds; false when it
    // still does not after `seconds` of real time.
    bool FramesUntil(const std::function<bool()>& done, int seconds = 20);

    TSettings* settings = nullptr;
};
