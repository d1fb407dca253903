// Writes synthesised Ogg Vorbis files with libvorbisenc.
#pragma once

#include <string>

struct TToneSpec {
    double seconds = 0.2;    // 0 makes a valid file with no samples
    int rate = 44100;
    int channels = 2;
    double frequency = 440;  // Hz; the right channel an octave up
    double amplitude = 0.5;  // of full scale
    float quality = 0.4f;    // vorbis VBR quality, -0.1 to 1
};

// True when the file was written whole.
bool WriteToneOgg(const std::string& path, const TToneSpec& spec);
