// The animation packer: frames (PNG files, or rectangles of a finished sheet)
// with their registration and anchor points become a sheet PNG and an ".anm"
// and/or animation ".xml" file in the form the engine reads.
//
// Output is deterministic: the same input gives the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace anmpack {

struct Anchor {
    std::string name;
    int x = 0, y = 0;
};

struct Frame {
    std::string name;
    // Where the pixels come from: a PNG file (packed), a rectangle of the
    // given sheet, or nothing (an empty frame).
    enum class Kind { File, Rect, Empty } kind = Kind::Empty;
    std::string file;
    int x = 0, y = 0, w = 0, h = 0;  // in the sheet (set by packing for files)
    int regX = 0, regY = 0;
    float transform[6] = {1, 0, 0, 1, 0, 0};
    std::vector<Anchor> anchors;
};

struct Animation {
    std::string sequence, source;
    std::string image;  // the sheet's file name, as the animation names it
    std::string mask;   // optional; an existing mask image, as the animation names it
    std::string sheetPath;  // an existing sheet that Rect frames are cut from (read for its size)
    int regX = 0, regY = 0;
    int imageWidth = 0, imageHeight = 0;
    bool transforms = false;  // frames carry transforms
    float imageTransform[4] = {1, 0, 0, 0};
    std::string script;  // empty: the engine's default script
    std::vector<Frame> frames;
};

// Pixels, row-major: 4 bytes a pixel in R, G, B, A order, or for an indexed
// image one palette index a pixel, with the palette (R, G, B triples) and the
// alpha values of its first entries (tRNS).
struct Image {
    int width = 0, height = 0;
    bool indexed = false;
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint8_t> palette;
    std::vector<std::uint8_t> alphas;

    int BytesPerPixel() const { return indexed ? 1 : 4; }
    bool operator==(const Image&) const = default;
};

// Reads a description (see README.md); file names in it are relative to
// `baseDir`. Throws std::runtime_error with "line N: ..." on bad input.
Animation ParseDescription(const std::string& text, const std::string& baseDir);
// A description of every "*.png" in a folder in name order, frame names the file stems.
Animation DescribeFolder(const std::string& folder);

bool ReadPng(const std::string& path, Image* image, std::string* error);
// Written through a temporary file renamed into place.
bool WritePng(const std::string& path, const Image& image, std::string* error);

// Palette PNGs stay indexed (so the engine can recolour them with another
// palette); every other PNG is read as 8-bit RGBA.
// Places the frame files into one sheet (identical images share one place),
// setting each frame's rectangle and the image size. Without frame files no
// sheet is made (the result is empty) and the image size comes from the
// existing sheet `sheetPath` when given.
// Throws std::runtime_error on a missing or unreadable image or a sheet beyond
// 4096 pixels a side, or frames that are not all RGBA or all indexed with
// one palette. An indexed sheet keeps that palette.
Image PackSheet(Animation& animation);

std::vector<std::uint8_t> EncodeAnm(const Animation& animation);
std::string EncodeXml(const Animation& animation);

// Writes bytes through a temporary file renamed into place.
bool WriteFile(const std::string& path, const std::string& bytes, std::string* error);

}  // namespace anmpack
