#include "engine/sound/sdl/sdloutput.h"

#include "engine/base/debuglog.h"

namespace {

constexpr Uint16 kBufferFrames = 1024;

}  // namespace

std::unique_ptr<TSdlAudioOutput> TSdlAudioOutput::Open()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        WriteDbg("No audio (%s): sounds play silently", SDL_GetError());
        return nullptr;
    }
    auto output = std::make_unique<TSdlAudioOutput>();
    if (!output->OpenDevice())
        return nullptr;
    return output;
}

TSdlAudioOutput::TSdlAudioOutput()
    : TAudioOutput(kDefaultRate)
{
}

bool TSdlAudioOutput::OpenDevice()
{
    SDL_AudioSpec wanted{};
    wanted.freq = kDefaultRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = kBufferFrames;
    wanted.callback = &TSdlAudioOutput::Callback;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No changes allowed: SDL converts to whatever the hardware wants, so the
    // mixer always writes 44100 Hz stereo 16-bit.
    mDevice = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (mDevice == 0) {
        WriteDbg("No audio device (%s): sounds play silently", SDL_GetError());
        return false;
    }
    // SDL opens a device paused; the mixer is ready now.
    SDL_PauseAudioDevice(mDevice, 0);
    return true;
}

TSdlAudioOutput::~TSdlAudioOutput()
{
    // Closing waits for the audio thread, so no call-back outlives the mixer.
    if (mDevice != 0)
        SDL_CloseAudioDevice(mDevice);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void TSdlAudioOutput::SetPaused(bool paused)
{
    mPaused = paused;
    SDL_PauseAudioDevice(mDevice, paused ? 1 : 0);
}

void SDLCALL TSdlAudioOutput::Callback(void* self, Uint8* stream, int length)
{
    int frames = length / static_cast<int>(2 * sizeof(int16_t));
    static_cast<TSdlAudioOutput*>(self)->Mixer().Mix(reinterpret_cast<int16_t*>(stream), frames);
}

std::unique_ptr<TAudioOutput> OpenSdlAudioOutput()
{
    return TSdlAudioOutput::Open();
}
