// The window system as the platform sees it: the owner of the window manager
// and the string table, created by the platform data through
// qm::PlatformHooks().makeWindowHost.
#pragma once

#include "engine/platform/services.h"
#include "engine/window/platformwindowdisplay.h"

#include <functional>
#include <memory>

class IWindowDisplay;
class IWindowScript;
class TStringTable;
class TWindowManager;

class TWindowHost : public IWindowHost {
public:
    TWindowHost();
    ~TWindowHost() override;

    TWindowManager* GetWindowManager() override { return mManager.get(); }
    TStringTable* GetStringTable() override { return mStrings.get(); }
    void AttachWindowScript(TPlatform* platform) override;
    bool LoadStringTable(const char* path) override;
    void EnableStringTable(bool on) override;
    bool HasRootScreen() override;
    // Makes a TScreen, installs it with SetScreen and sizes it.
    void CreateRootScreen(int width, int height) override;

    // Seams for the layers above: the window script (made when the platform
    // is built; its task goes to the platform task list, which owns it) and
    // the display that windows draw through (not owned; by default the
    // platform's display handler).
    using ScriptFactory = std::function<IWindowScript*(TPlatform*)>;
    static void SetScriptFactory(ScriptFactory factory);
    void SetWindowDisplay(IWindowDisplay* display);

private:
    TPlatformWindowDisplay mPlatformDisplay;
    std::unique_ptr<TStringTable> mStrings;
    std::unique_ptr<TWindowManager> mManager;
};

namespace qm {

// Plugs the window system into the platform; call before the engine starts.
void InstallWindowSystem();

}  // namespace qm
