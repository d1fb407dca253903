// The audio device behind the sound manager: one mixer and the means to
// change its channels safely. Two back ends: SDL (sdl/), which mixes on
// SDL's audio thread, and null (null/), which lets time go by on a clock
// for machines without sound.
#pragma once

#include "engine/sound/mixer.h"

#include <cstdint>
#include <functional>
#include <memory>

// Milliseconds since some start, wrapping modulo 2^32.
using TMillisecondClock = std::function<uint32_t()>;

class TAudioOutput {
public:
    // Every output mixes to this rate: interleaved stereo, signed 16-bit.
    static constexpr int kDefaultRate = 44100;

    explicit TAudioOutput(int rate) : mMixer(rate) {}
    virtual ~TAudioOutput() = default;
    TAudioOutput(const TAudioOutput&) = delete;
    TAudioOutput& operator=(const TAudioOutput&) = delete;

    virtual const char* Name() const = 0;

    // Channels change only between two mixing passes.
    virtual void Lock() {}
    virtual void Unlock() {}

    // Stops and restarts the whole device; the channels keep their own state.
    virtual void SetPaused(bool paused) = 0;
    virtual bool IsPaused() const = 0;

    // Called on the main thread once per notification pass.
    virtual void Update() {}

    TMixer& Mixer() { return mMixer; }

private:
    TMixer mMixer;
};

// Holds the output locked for one scope.
class TAudioLock {
public:
    explicit TAudioLock(TAudioOutput& output) : mOutput(output) { mOutput.Lock(); }
    ~TAudioLock() { mOutput.Unlock(); }
    TAudioLock(const TAudioLock&) = delete;
    TAudioLock& operator=(const TAudioLock&) = delete;

private:
    TAudioOutput& mOutput;
};

// The SDL device when one opens, else the null output on `clock` (the
// engine's timer, qm::Timer, when empty).
std::unique_ptr<TAudioOutput> OpenAudioOutput(TMillisecondClock clock);

// The SDL device, or null (sdl/sdloutput.cpp, library quellmoor_sound_sdl).
std::unique_ptr<TAudioOutput> OpenSdlAudioOutput();
