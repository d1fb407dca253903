#include "engine/sound/audiooutput.h"

#include "engine/sound/null/nulloutput.h"
#include "engine/sound/sdl/sdloutput.h"

#include <ctime>

uint32_t MonotonicMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

std::unique_ptr<TAudioOutput> OpenAudioOutput(TMillisecondClock clock)
{
    if (auto device = TSdlAudioOutput::Open())
        return device;
    return std::make_unique<TNullAudioOutput>(clock ? std::move(clock) : TMillisecondClock(MonotonicMilliseconds));
}
