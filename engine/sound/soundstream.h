// One playback of a sound: its spooler, its mixer channel, its type and
// loop flag, and the stream to start when it ends. Streams are owned by the
// sound manager alone; everybody else holds plain or weak pointers.
#pragma once

#include <memory>

class TAudioChannel;
class TSoundManager;
class TSoundStream;
class TStreamSpooler;

// Told when a stream ends or dies (a sound's data, for its stream table).
class TStreamNotify {
public:
    virtual ~TStreamNotify() = default;
    virtual void StreamFinished(TSoundStream* stream) = 0;
};

class TSoundStream : public std::enable_shared_from_this<TSoundStream> {
    struct Key {};

public:
    // Makes a stream and registers it with the manager, which owns it from then on.
    static std::shared_ptr<TSoundStream> Create(TSoundManager* manager, std::unique_ptr<TStreamSpooler> spooler,
                                                bool loop, int type, std::weak_ptr<TStreamNotify> notify);

    TSoundStream(Key, TSoundManager* manager, std::unique_ptr<TStreamSpooler> spooler, bool loop, int type,
                 std::weak_ptr<TStreamNotify> notify);
    ~TSoundStream();
    TSoundStream(const TSoundStream&) = delete;
    TSoundStream& operator=(const TSoundStream&) = delete;

    // Opens the stream's mixer channel; false when sound is not initialised
    // or the format is not 16-bit.
    bool Init(int sampleRate, int channels, int bitsPerSample);
    // From the first sample, at the volume of the stream's type.
    void Play(bool unused = false);
    // Pausing keeps the place; resuming goes on from the same sample.
    void Pause(bool pause);
    // Stops now and leaves the manager. A delayed kill ends the stream in the
    // next notification pass instead, so its completion still comes.
    void Kill(bool delayed);
    void SetVolume(float volume);

    bool Loop() const { return mLoop; }
    int Type() const { return mType; }
    float Volume() const { return mVolume; }
    bool IsPlaying() const { return mPlaying; }
    bool IsPaused() const;
    // The end was reached (or a delayed kill asked for it); read by the manager.
    bool IsFinished() const;
    bool IsStopRequested() const { return mStopRequested; }
    // The volume the mixer applies, 0 to 256.
    int ChannelVolume() const;

    void SetNextSoundInfo(TSoundStream* next);
    std::shared_ptr<TSoundStream> NextStream() const { return mNext.lock(); }

    // The manager's side.
    bool IsRegistered() const { return mRegistered; }
    void OnRegistered() { mRegistered = true; }
    void OnUnregistered();  // stops and closes the channel
    void RequestStop() { mStopRequested = true; }
    std::shared_ptr<TStreamNotify> TakeNotify();
    std::shared_ptr<TStreamNotify> Notify() const { return mNotify.lock(); }

private:
    void CloseChannel();

    TSoundManager* mManager;
    std::unique_ptr<TStreamSpooler> mSpooler;
    std::unique_ptr<TAudioChannel> mChannel;
    std::weak_ptr<TStreamNotify> mNotify;
    std::weak_ptr<TSoundStream> mNext;
    int mType;
    bool mLoop;
    float mVolume = 1.0f;
    bool mPlaying = false;
    bool mRegistered = false;
    bool mStopRequested = false;
};
