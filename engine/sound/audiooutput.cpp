#include "engine/sound/audiooutput.h"

#include "engine/sound/null/nulloutput.h"

std::unique_ptr<TAudioOutput> OpenAudioOutput(TMillisecondClock clock)
{
    if (auto device = OpenSdlAudioOutput())
        return device;
    return std::make_unique<TNullAudioOutput>(std::move(clock));
}
