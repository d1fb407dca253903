// Decodes a whole Ogg Vorbis file into 16-bit PCM with libvorbisfile.
#pragma once

#include "engine/sound/pcm.h"

#include <cstdio>

enum class EOggDecode {
    kOk,
    kNotVorbis,  // the decoder could not open the file
    kEmpty,      // no sample could be decoded
    kTooLong,    // more than kMaxPcmBytes, or no usable length
};

// A sound longer than this (about 25 minutes of 44.1 kHz stereo) is refused
// rather than allocated.
inline constexpr long long kMaxPcmBytes = 256ll << 20;

// Takes the file over and closes it in every case. A decoding error keeps the
// samples read before it; a hole in the data is stepped over.
EOggDecode DecodeOgg(std::FILE* file, const char* name, TPcm* out);
