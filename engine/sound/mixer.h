// The software mixer that stands in for one hardware channel per sound.
//
// Each playing stream has a TAudioChannel that pulls its samples from the
// stream's spooler and adds them, scaled by its volume, into the device's
// stereo 16-bit output, saturating at the limits. The mixer runs on the
// audio thread; the main thread only changes channels with the output
// locked (TAudioOutput::Lock), except for the volume, which is atomic. When
// a non-looping channel runs out it raises its atomic "finished" flag and
// does nothing more: the main thread reacts to the flag in
// TSoundManager::HandleNotifications.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

class TStreamSpooler;

class TAudioChannel {
public:
    // Full volume on the channel scale.
    static constexpr int kFullVolume = 256;

    // `source` is owned by the stream and outlives the channel.
    TAudioChannel(TStreamSpooler* source, int rate, int channels, bool loop, int deviceRate);

    // With the output locked:
    void Start();             // from the first sample, clearing "finished"
    void Stop();              // silent until the next Start
    void SetPaused(bool paused);
    bool IsPaused() const { return mPaused; }
    bool IsPlaying() const { return mPlaying; }

    void SetVolume(int volume) { mVolume.store(volume, std::memory_order_relaxed); }
    int Volume() const { return mVolume.load(std::memory_order_relaxed); }
    bool IsFinished() const { return mFinished.load(std::memory_order_acquire); }

    // On the mixer's side: adds `frames` stereo frames at the device rate to
    // acc (null: the frames go by unheard).
    void MixInto(int32_t* acc, int frames);

private:
    bool ReadFrame(int32_t frame[2]);
    void Finish();

    TStreamSpooler* mSource;
    const int mChannels;
    const bool mLoop;
    const uint32_t mStep;  // source frames per device frame, 16.16 fixed point

    std::vector<int16_t> mChunk;  // source frames read ahead from the spooler
    int mChunkFrames = 0;
    int mChunkIndex = 0;
    bool mSourceEnded = false;

    // The output lies between two source frames, mFraction of the way on.
    int32_t mPrevious[2] = {0, 0};
    int32_t mNext[2] = {0, 0};
    bool mPreviousValid = false;
    bool mNextValid = false;
    uint32_t mFraction = 0;

    bool mPlaying = false;
    bool mPaused = false;
    std::atomic<int> mVolume{kFullVolume};
    std::atomic<bool> mFinished{false};
};

class TMixer {
public:
    explicit TMixer(int rate) : mRate(rate) {}

    int Rate() const { return mRate; }

    // With the output locked.
    void Add(TAudioChannel* channel);
    void Remove(TAudioChannel* channel);
    int ChannelCount() const { return static_cast<int>(mChannels.size()); }

    // Writes `frames` interleaved stereo frames.
    void Mix(int16_t* out, int frames);
    // Lets `frames` frames go by without producing them (a device without output).
    void Advance(int frames);

private:
    static constexpr int kBlockFrames = 256;

    const int mRate;
    std::vector<TAudioChannel*> mChannels;
    std::array<int32_t, 2 * kBlockFrames> mAccumulator{};
};
