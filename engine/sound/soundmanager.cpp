#include "engine/sound/soundmanager.h"

#include "engine/base/debuglog.h"
#include "engine/base/instanceholder.h"
#include "engine/platform/platform.h"
#include "engine/sound/sound.h"
#include "engine/sound/soundstream.h"

#include <algorithm>

TSoundManager* TSoundManager::GetInstance()
{
    return TInstanceHolder<TSoundManager>::Get();
}

TSoundManager::TSoundManager(TMillisecondClock clock)
    : mClock(std::move(clock))
{
    QM_ASSERT(TInstanceHolder<TSoundManager>::Get() == nullptr);
    TInstanceHolder<TSoundManager>::Publish(this);
    TSound::RegisterAssetLoader();
}

TSoundManager::TSoundManager(std::unique_ptr<TAudioOutput> output)
    : TSoundManager(TMillisecondClock())
{
    mOutput = std::move(output);
}

TSoundManager::~TSoundManager()
{
    // Streams that end now report to their sounds, but no completion runs.
    mShuttingDown = true;
    std::vector<std::shared_ptr<TSoundStream>> streams;
    streams.swap(mData.streams);
    for (auto& stream : streams)
        stream->OnUnregistered();
    // One at a time: a stream's end may release a sound that kills others.
    while (!streams.empty()) {
        auto last = std::move(streams.back());
        streams.pop_back();
        last.reset();
    }
    mOutput.reset();
    TInstanceHolder<TSoundManager>::Withdraw(this);
}

bool TSoundManager::Init()
{
    if (mInitialised)
        return true;
    // A screen saver stays silent.
    if (TPlatform* platform = TPlatform::GetInstance(); platform && platform->ScreenSaverMode())
        return false;
    if (!mOutput)
        mOutput = OpenAudioOutput(mClock);
    WriteDbg("Sound output: %s", mOutput->Name());
    mInitialised = true;
    return true;
}

void TSoundManager::SetVolume(float master)
{
    mData.master = master;
    UpdateAllVolumes();
}

void TSoundManager::SetTypeVolume(int type, float volume)
{
    mData.typeVolumes[type] = volume;
    UpdateAllVolumes();
}

float TSoundManager::GetVolume(int type) const
{
    auto found = mData.typeVolumes.find(type);
    if (found == mData.typeVolumes.end())
        return mData.master;
    return mData.master * found->second;
}

void TSoundManager::UpdateAllVolumes()
{
    for (auto& stream : mData.streams)
        SetStreamVolume(stream.get());
}

void TSoundManager::SetStreamVolume(TSoundStream* stream)
{
    stream->SetVolume(GetVolume(stream->Type()));
}

void TSoundManager::PauseAllSounds(bool pause, int type)
{
    for (auto& stream : mData.streams)
        if (type == -1 || stream->Type() == type)
            stream->Pause(pause);
    if (!pause)
        UpdateAllVolumes();
}

void TSoundManager::PauseDevice(bool pause)
{
    if (mOutput)
        mOutput->SetPaused(pause);
}

void TSoundManager::RegisterStream(std::shared_ptr<TSoundStream> stream)
{
    stream->OnRegistered();
    mData.streams.push_back(std::move(stream));
}

bool TSoundManager::Unregister(const std::shared_ptr<TSoundStream>& stream)
{
    auto found = std::find(mData.streams.begin(), mData.streams.end(), stream);
    if (found == mData.streams.end())
        return false;
    // Keep the stream alive while it closes its channel.
    std::shared_ptr<TSoundStream> keep = std::move(*found);
    mData.streams.erase(found);
    keep->OnUnregistered();
    return true;
}

void TSoundManager::StopStream(const std::shared_ptr<TSoundStream>& stream)
{
    Unregister(stream);
}

void TSoundManager::StopStreamDelayed(const std::shared_ptr<TSoundStream>& stream)
{
    stream->RequestStop();
}

void TSoundManager::HandleNotifications()
{
    if (!mInitialised)
        return;
    mOutput->Update();
    // Completions may kill and start streams, or drop the last hold on a
    // sound: walk a copy, which also keeps each stream alive while it is handled.
    std::vector<std::shared_ptr<TSoundStream>> snapshot = mData.streams;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
        const std::shared_ptr<TSoundStream>& stream = *it;
        if (!stream->IsRegistered() || !stream->IsFinished())
            continue;
        if (stream->Loop() && !stream->IsStopRequested()) {
            stream->Play(false);
            continue;
        }
        // A stand-in ended by a delayed kill starts what was chained to it
        // too, or that stream would stay prepared and never play.
        if (auto next = stream->NextStream())
            next->Play(false);
        if (auto notify = stream->TakeNotify())
            notify->StreamFinished(stream.get());
        Unregister(stream);
    }
}
