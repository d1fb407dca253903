#include "engine/sound/audiooutput.h"

#include "engine/sound/null/nulloutput.h"
#include "engine/sound/sdl/sdloutput.h"

std::unique_ptr<TAudioOutput> OpenAudioOutput(TMillisecondClock clock)
{
    if (auto device = TSdlAudioOutput::Open())
        return device;
    return std::make_unique<TNullAudioOutput>(std::move(clock));
}
