#include "engine/sound/mixer.h"

#include "engine/sound/spooler.h"

#include <algorithm>

namespace {

constexpr int kChunkFrames = 1024;
constexpr uint32_t kOne = 1u << 16;

int16_t Saturate(int32_t value)
{
    return static_cast<int16_t>(std::clamp<int32_t>(value, INT16_MIN, INT16_MAX));
}

}  // namespace

// ---------------------------------------------------------------- TAudioChannel

TAudioChannel::TAudioChannel(TStreamSpooler* source, int rate, int channels, bool loop, int deviceRate)
    : mSource(source),
      mChannels(std::max(channels, 1)),
      mLoop(loop),
      mStep(static_cast<uint32_t>((static_cast<uint64_t>(std::max(rate, 1)) << 16) /
                                  static_cast<uint64_t>(std::max(deviceRate, 1)))),
      mChunk(static_cast<size_t>(kChunkFrames * mChannels))
{
}

void TAudioChannel::Start()
{
    if (mSource)
        mSource->SetPosition(0.0f);
    mChunkFrames = 0;
    mChunkIndex = 0;
    mSourceEnded = false;
    mFraction = 0;
    mPreviousValid = ReadFrame(mPrevious);
    mNextValid = mPreviousValid && ReadFrame(mNext);
    mPlaying = true;
    mFinished.store(false, std::memory_order_release);
}

void TAudioChannel::Stop()
{
    mPlaying = false;
}

void TAudioChannel::SetPaused(bool paused)
{
    mPaused = paused;
}

bool TAudioChannel::ReadFrame(int32_t frame[2])
{
    if (mChunkIndex >= mChunkFrames) {
        if (mSourceEnded || !mSource)
            return false;
        unsigned int written = 0;
        int bytes = static_cast<int>(mChunk.size() * sizeof(int16_t));
        mSourceEnded = !mSource->StreamToBuffer(bytes, mChunk.data(), &written, mLoop);
        mChunkFrames = static_cast<int>(written / (sizeof(int16_t) * static_cast<unsigned>(mChannels)));
        mChunkIndex = 0;
        if (mChunkFrames == 0)
            return false;
    }
    const int16_t* at = mChunk.data() + static_cast<size_t>(mChunkIndex) * static_cast<size_t>(mChannels);
    frame[0] = at[0];
    frame[1] = mChannels > 1 ? at[1] : at[0];
    ++mChunkIndex;
    return true;
}

void TAudioChannel::Finish()
{
    mFinished.store(true, std::memory_order_release);
}

void TAudioChannel::MixInto(int32_t* acc, int frames)
{
    if (!mPlaying || mPaused || IsFinished())
        return;
    const int32_t volume = Volume();
    for (int i = 0; i < frames; ++i) {
        if (!mPreviousValid) {
            Finish();
            return;
        }
        if (acc) {
            for (int side = 0; side < 2; ++side) {
                int32_t sample = mPrevious[side];
                if (mFraction != 0) {
                    int64_t delta = static_cast<int64_t>(mNext[side] - mPrevious[side]) * mFraction;
                    sample += static_cast<int32_t>(delta >> 16);
                }
                acc[2 * i + side] += (sample * volume) >> 8;
            }
        }
        mFraction += mStep;
        while (mFraction >= kOne) {
            mFraction -= kOne;
            mPrevious[0] = mNext[0];
            mPrevious[1] = mNext[1];
            mPreviousValid = mNextValid;
            if (mNextValid)
                mNextValid = ReadFrame(mNext);
            if (!mNextValid)
                mNext[0] = mNext[1] = 0;
            if (!mPreviousValid)
                break;
        }
    }
    // The last frame has gone out: say so now rather than one buffer later.
    if (!mPreviousValid)
        Finish();
}

// ---------------------------------------------------------------- TMixer

void TMixer::Add(TAudioChannel* channel)
{
    if (std::find(mChannels.begin(), mChannels.end(), channel) == mChannels.end())
        mChannels.push_back(channel);
}

void TMixer::Remove(TAudioChannel* channel)
{
    mChannels.erase(std::remove(mChannels.begin(), mChannels.end(), channel), mChannels.end());
}

void TMixer::Mix(int16_t* out, int frames)
{
    while (frames > 0) {
        int block = std::min(frames, kBlockFrames);
        std::fill_n(mAccumulator.begin(), 2 * block, 0);
        for (TAudioChannel* channel : mChannels)
            channel->MixInto(mAccumulator.data(), block);
        for (int i = 0; i < 2 * block; ++i)
            out[i] = Saturate(mAccumulator[static_cast<size_t>(i)]);
        out += 2 * block;
        frames -= block;
    }
}

void TMixer::Advance(int frames)
{
    for (TAudioChannel* channel : mChannels)
        channel->MixInto(nullptr, frames);
}
