// Test fixtures made at test time: PNG and JPEG images written with the
// libraries themselves, RIFF palettes and meshes, in a scratch folder that
// becomes the working directory (where resources are opened from).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testimages {

// RGBA pixel as the test describes it (not the engine's memory order).
struct Rgba {
    std::uint8_t r, g, b, a;
};

enum class PngKind { Rgba, Rgb, Grey, GreyAlpha };

// Writes an 8-bit PNG of the given kind from RGBA pixels (row-major, width x height).
void WritePng(const std::string& path, int width, int height, PngKind kind, const std::vector<Rgba>& pixels);

// Writes a palette PNG: indices (row-major) at the given bit depth, the
// palette's colours, and alpha values for the first entries (tRNS) when given.
void WriteIndexedPng(const std::string& path, int width, int height, int bitDepth,
                     const std::vector<std::uint8_t>& indices, const std::vector<Rgba>& palette,
                     const std::vector<std::uint8_t>& trns = {});

// Writes a JPEG of RGB pixels (or grey when grey is true, from the red channel).
void WriteJpeg(const std::string& path, int width, int height, const std::vector<Rgba>& pixels, bool progressive,
               bool grey = false, int quality = 100);

// Writes a RIFF palette ("RIFF", size, "PAL data", chunk size, version and count, entries).
void WritePal(const std::string& path, const std::vector<Rgba>& colours);

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadBytes(const std::string& path);

// A fresh scratch folder made the working directory for the fixture's life.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return mPath; }

private:
    std::string mPath;
    std::string mPrevious;
};

// A solid image of one colour.
std::vector<Rgba> Solid(int width, int height, Rgba colour);

}  // namespace testimages
