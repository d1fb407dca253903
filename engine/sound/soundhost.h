// Plugs the sound manager into the platform: TPlatformData owns it through
// ISoundHost, creates it on the first InitSound, hands it every idle pass
// (HandleNotifications) and every (de)activation.
#pragma once

#include "engine/platform/services.h"
#include "engine/sound/soundmanager.h"

#include <memory>

class TSoundHost : public ISoundHost {
public:
    explicit TSoundHost(std::unique_ptr<TSoundManager> manager);

    TSoundManager* GetSoundManager() override { return mManager.get(); }
    bool Init() override { return mManager->Init(); }
    // The application went to the background or came back: the device stops
    // and restarts, and every stream keeps its own pause state, so music the
    // game paused itself stays paused when the application returns.
    void PauseAllSounds(bool pause) override { mManager->PauseDevice(pause); }
    void HandleNotifications() override { mManager->HandleNotifications(); }

private:
    std::unique_ptr<TSoundManager> mManager;
};

namespace qm {

// A sound host whose manager opens the SDL device (else the null output) on
// Init, or uses `output` when one is given.
std::unique_ptr<ISoundHost> MakeSoundHost(std::unique_ptr<TAudioOutput> output = nullptr);

// Fills qm::PlatformHooks().makeSoundHost; call before QuellmoorExec.
void InstallSoundHost();

}  // namespace qm
