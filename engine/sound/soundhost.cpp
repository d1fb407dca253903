#include "engine/sound/soundhost.h"

TSoundHost::TSoundHost(std::unique_ptr<TSoundManager> manager)
    : mManager(std::move(manager))
{
}

namespace qm {

std::unique_ptr<ISoundHost> MakeSoundHost(std::unique_ptr<TAudioOutput> output)
{
    auto manager = output ? std::make_unique<TSoundManager>(std::move(output)) : std::make_unique<TSoundManager>();
    return std::make_unique<TSoundHost>(std::move(manager));
}

void InstallSoundHost()
{
    PlatformHooks().makeSoundHost = [](TPlatformData&) { return MakeSoundHost(); };
}

}  // namespace qm
