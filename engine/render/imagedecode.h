// Image decoding: PNG and JPEG files into the pixel layout that textures
// upload as they are.
//
// The buffer is square with a power-of-two side S (the smallest not below the
// larger of width and height). Pixels are 4 bytes in memory order B, G, R, A,
// or, in palette mode, one palette index byte each. The image occupies the top
// left width x height; every other byte is zero. Palettes are 256 entries of
// B, G, R, A (1024 bytes).
//
// A PNG with a palette can have its palette colours replaced by those of a
// RIFF ".pal" file before decoding: that is how one picture is drawn in
// several colourings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Larger images are refused: no texture this engine makes is wider, and an
// unchecked header could otherwise ask for gigabytes.
inline constexpr int kMaxImageSide = 4096;

inline constexpr int kPaletteBytes = 1024;

// The smallest power of two not below the larger of the two sides (1 for sides <= 1).
int PowerOfTwoSide(int width, int height);

// Decodes the PNG at path. palettePath (null or empty: none) names a RIFF
// palette whose colours replace the image's. When palette is not null it is
// set to null, and to a malloc'd 1024-byte palette when the image has one.
// paletteMode keeps 8-bit indices (palette images only). unused is kept for
// the interface's sake and set to 0. Free with EzPngFreeImage.
bool EzPngLoadImage(const char* path, unsigned char** pixels, int* width, int* height, int* side,
                    unsigned long* unused, int* hasAlpha, const char* palettePath, unsigned char** palette,
                    bool paletteMode);
void EzPngFreeImage(unsigned char* pixels, unsigned char* palette);

// Decodes the JPEG at path to B, G, R, 255 pixels. Free with EzJpegFreeImage.
bool EzJpegLoadImage(const char* path, unsigned char** pixels, int* width, int* height, int* side);
void EzJpegFreeImage(unsigned char* pixels);

// The same decoders over an open stream (the fuzz targets feed memory through
// fmemopen). The stream is not closed. hasAlpha may be null.
bool PngLoadImage(std::FILE* file, unsigned char** pixels, int* width, int* height, int* side, int* hasAlpha,
                  std::FILE* paletteFile, unsigned char** palette, bool paletteMode);
bool JpegLoadImage(std::FILE* file, unsigned char** pixels, int* width, int* height, int* side);

// Reads the colours of a RIFF palette: up to 256 entries of red, green, blue.
// Returns the number of entries read; 0 when the stream is not a RIFF palette.
int ReadRiffPalette(std::FILE* file, std::uint8_t rgb[256][3]);
