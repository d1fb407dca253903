// Any text read as a render list; what reads is rendered, a second or so of
// each sound, so every preset, setting and ending meets odd numbers.
#include "tools/synth/render.h"
#include "tools/synth/renderlist.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<synth::TSoundSpec> sounds;
    std::string error;
    if (!synth::ReadRenderList(std::string(reinterpret_cast<const char*>(data), size), "fuzz", &sounds, &error))
        return 0;
    for (synth::TSoundSpec& sound : sounds) {
        // Keep each case quick: short sounds with short notes.
        sound.length = std::fmin(sound.length, 1.0);
        sound.endSeconds = std::fmin(sound.endSeconds, 1.0);
        for (synth::TNoteEvent& n : sound.notes) {
            n.start = std::fmin(n.start, 1.0);
            n.duration = std::fmin(n.duration, 1.0);
        }
        for (synth::TVoiceSpec& v : sound.voices)
            for (auto& [key, value] : v.params)
                if (key == "release" || key == "attack")
                    value = std::fmin(value, 1.0);
        const std::vector<float> samples = synth::RenderSound(sound);
        (void)samples;
    }
    return 0;
}
