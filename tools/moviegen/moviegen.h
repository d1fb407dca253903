// Writes Ogg movies (Theora pictures, optionally a Vorbis sound track) from
// pictures and samples computed by the caller: the splash movie at build
// time, and the small movies the tests make at run time.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TMovieSpec {
    int width = 160;          // picture size in pixels (any size up to 4096)
    int height = 120;
    int fpsNumerator = 10;    // frames per second as a fraction
    int fpsDenominator = 1;
    int frames = 10;
    int quality = 56;         // Theora quality, 0 to 63
    bool sound = true;        // a Vorbis track as long as the pictures
    int soundRate = 44100;
    int soundChannels = 2;
};

// Fills one picture: width x height pixels, B, G, R, A bytes, top row first.
using TFramePainter = std::function<void(int frame, std::vector<std::uint8_t>& bgra)>;
// One sample of one channel at a time in seconds, -1 to 1.
using TSampleSource = std::function<float(int channel, double seconds)>;

// True when the file was written whole. An empty sample source gives silence.
bool WriteMovie(const std::string& path, const TMovieSpec& spec, const TFramePainter& paint,
                const TSampleSource& sample = {});

struct TRgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

// A movie whose frame i is one flat colour, colours[i % size], with a quiet
// tone when spec.sound is set. spec.frames decides the length.
bool WriteColourMovie(const std::string& path, const TMovieSpec& spec, const std::vector<TRgb>& colours);
