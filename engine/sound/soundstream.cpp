#include "engine/sound/soundstream.h"

#include "engine/base/debuglog.h"
#include "engine/sound/audiooutput.h"
#include "engine/sound/mixer.h"
#include "engine/sound/soundmanager.h"
#include "engine/sound/spooler.h"

#include <algorithm>

std::shared_ptr<TSoundStream> TSoundStream::Create(TSoundManager* manager, std::unique_ptr<TStreamSpooler> spooler,
                                                   bool loop, int type, std::weak_ptr<TStreamNotify> notify)
{
    auto stream = std::make_shared<TSoundStream>(Key{}, manager, std::move(spooler), loop, type, std::move(notify));
    if (manager)
        manager->RegisterStream(stream);
    return stream;
}

TSoundStream::TSoundStream(Key, TSoundManager* manager, std::unique_ptr<TStreamSpooler> spooler, bool loop, int type,
                           std::weak_ptr<TStreamNotify> notify)
    : mManager(manager),
      mSpooler(std::move(spooler)),
      mNotify(std::move(notify)),
      mType(type),
      mLoop(loop)
{
}

TSoundStream::~TSoundStream()
{
    CloseChannel();
    if (auto notify = TakeNotify())
        notify->StreamFinished(this);
}

bool TSoundStream::Init(int sampleRate, int channels, int bitsPerSample)
{
    QM_ASSERT(mManager);
    if (!mManager || !mManager->IsInitialised() || !mManager->Output())
        return false;
    if (bitsPerSample != 16 || channels < 1 || sampleRate < 1)
        return false;
    TAudioOutput& output = *mManager->Output();
    CloseChannel();
    mChannel = std::make_unique<TAudioChannel>(mSpooler.get(), sampleRate, channels, mLoop, output.Mixer().Rate());
    TAudioLock lock(output);
    output.Mixer().Add(mChannel.get());
    return true;
}

void TSoundStream::CloseChannel()
{
    if (!mChannel)
        return;
    if (mManager && mManager->Output()) {
        TAudioLock lock(*mManager->Output());
        mManager->Output()->Mixer().Remove(mChannel.get());
    }
    mChannel.reset();
}

void TSoundStream::Play(bool)
{
    if (!mChannel || !mRegistered)
        return;
    mStopRequested = false;
    mPlaying = true;
    SetVolume(mManager->GetVolume(mType));
    TAudioLock lock(*mManager->Output());
    mChannel->Start();
}

void TSoundStream::Pause(bool pause)
{
    if (!mPlaying || !mChannel)
        return;
    TAudioLock lock(*mManager->Output());
    mChannel->SetPaused(pause);
}

bool TSoundStream::IsPaused() const
{
    return mChannel && mChannel->IsPaused();
}

bool TSoundStream::IsFinished() const
{
    return mStopRequested || (mChannel && mChannel->IsFinished());
}

int TSoundStream::ChannelVolume() const
{
    return mChannel ? mChannel->Volume() : 0;
}

void TSoundStream::Kill(bool delayed)
{
    if (mPlaying && mChannel) {
        TAudioLock lock(*mManager->Output());
        mChannel->Stop();
    }
    std::shared_ptr<TSoundStream> self = weak_from_this().lock();
    if (!self || !mManager)
        return;
    if (delayed)
        mManager->StopStreamDelayed(self);
    else
        mManager->StopStream(self);
}

void TSoundStream::SetVolume(float volume)
{
    mVolume = std::clamp(volume, 0.0f, 1.0f);
    if (mChannel)
        mChannel->SetVolume(static_cast<int>(mVolume * TAudioChannel::kFullVolume));
}

void TSoundStream::SetNextSoundInfo(TSoundStream* next)
{
    mNext = next ? next->weak_from_this() : std::weak_ptr<TSoundStream>();
}

void TSoundStream::OnUnregistered()
{
    mRegistered = false;
    CloseChannel();
}

std::shared_ptr<TStreamNotify> TSoundStream::TakeNotify()
{
    auto notify = mNotify.lock();
    mNotify.reset();
    return notify;
}
