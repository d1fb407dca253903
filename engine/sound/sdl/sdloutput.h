// One SDL audio device. Its call-back mixes every channel on SDL's audio
// thread; the main thread changes channels with the device locked.
#pragma once

#include "engine/sound/audiooutput.h"

#include <SDL.h>

class TSdlAudioOutput : public TAudioOutput {
public:
    // The default device, or null (with a log line) when SDL has none to give.
    static std::unique_ptr<TSdlAudioOutput> Open();

    TSdlAudioOutput();
    ~TSdlAudioOutput() override;

    const char* Name() const override { return "sdl"; }
    void Lock() override { SDL_LockAudioDevice(mDevice); }
    void Unlock() override { SDL_UnlockAudioDevice(mDevice); }
    void SetPaused(bool paused) override;
    bool IsPaused() const override { return mPaused; }

private:
    bool OpenDevice();
    static void SDLCALL Callback(void* self, Uint8* stream, int length);

    SDL_AudioDeviceID mDevice = 0;
    bool mPaused = false;
};
