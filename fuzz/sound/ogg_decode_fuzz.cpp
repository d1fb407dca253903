// Any bytes handed to the Ogg decoder: it either refuses them or returns
// whole frames, and never reads or writes out of bounds.
#include "engine/sound/oggdecode.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file)
        return 0;
    TPcm pcm;
    if (DecodeOgg(file, "fuzz.ogg", &pcm) == EOggDecode::kOk) {
        if (pcm.channels < 1 || pcm.rate < 1 || pcm.samples.empty() || pcm.samples.size() % pcm.channels != 0)
            std::abort();
    }
    return 0;
}
