// Decoded sound: interleaved signed 16-bit samples in native byte order.
// One block per sound, shared by every stream that plays it.
#pragma once

#include <cstdint>
#include <vector>

struct TPcm {
    std::vector<int16_t> samples;  // interleaved, `channels` per frame
    int rate = 0;                  // frames per second
    int channels = 0;

    int Frames() const { return channels > 0 ? static_cast<int>(samples.size()) / channels : 0; }
    int Bytes() const { return static_cast<int>(samples.size() * sizeof(int16_t)); }
};
