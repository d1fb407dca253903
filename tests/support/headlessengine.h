// The engine on the headless platform for tests: a scratch home folder, the
// window system and window script on a fake clock, and the small helpers the
// window-script tests share. Nothing here is shown on a display.
#pragma once

#include "engine/platform/headless/headlessbackend.h"
#include "engine/platform/platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

class TPlatformData;
class TWindow;
class TWindowManager;
class TWindowScript;
struct lua_State;

namespace qmtest {

// A fresh folder under /tmp per test, with assets/ inside, made the working
// folder; XDG_DATA_HOME points at its "data" so user files stay inside it.
class TScratchHome {
public:
    // Returns false when the folder cannot be made.
    bool Enter(const char* prefix);
    // Restores the working folder, removes the folder and XDG_DATA_HOME.
    void Leave();

    const std::filesystem::path& Path() const { return mPath; }
    void WriteAsset(const std::string& name, const std::string& text) const;

private:
    std::filesystem::path mPath;
    std::filesystem::path mPreviousDir;
    bool mEntered = false;
};

// The platform on a headless back end with the window system and the window
// script installed. Stop leaves no hooks behind for the next test.
class THeadlessEngine {
public:
    // `init` runs on the new platform (e.g. SetDisplay); returns what the
    // engine wrote to stderr from construction to the end of `init`.
    std::string Start(const std::function<void(TPlatform&)>& init);
    void Stop();

    qm::THeadlessBackend* backend = nullptr;
    TPlatformData* data = nullptr;  // owned by the platform
    std::unique_ptr<TPlatform> platform;
};

// Pops the Lua value on top of the stack and returns it as text: "nil",
// "true"/"false", its string form, or "<value>".
std::string PopLuaText(lua_State* L);

// Window-script tests: a scratch home and an 800x600 headless engine.
class HeadlessWindowTest : public ::testing::Test {
protected:
    explicit HeadlessWindowTest(const char* scratchPrefix) : mScratchPrefix(scratchPrefix) {}

    void SetUp() override;
    void TearDown() override;
    // The two halves of SetUp, for fixtures that add to the folder between.
    void EnterScratchHome();
    void StartEngine();

    void Asset(const char* name, const char* text) { scratch.WriteAsset(name, text); }
    TWindow* Find(const char* name);
    // One pass of the main loop's work that concerns the script.
    void Frame(int ms);
    // Moves the mouse onto the middle of `w`, presses and releases, a frame after each.
    void Click(TWindow* w);

    TScratchHome scratch;
    THeadlessEngine engine;
    std::string startLog;
    qm::THeadlessBackend* backend = nullptr;
    TPlatformData* data = nullptr;
    TWindowManager* manager = nullptr;
    TWindowScript* script = nullptr;
    lua_State* L = nullptr;

private:
    const char* mScratchPrefix;
};

}  // namespace qmtest
