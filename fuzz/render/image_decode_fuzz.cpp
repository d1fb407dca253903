// Feeds arbitrary bytes to the image decoders and the RIFF palette reader.
// The first byte picks the reader: 0 PNG to colours, 1 PNG in palette mode
// with its palette, 2 JPEG, 3 RIFF palette. Nothing may crash, leak or end
// the process; failures are fine.
#include "engine/render/imagedecode.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    int mode = data[0] % 4;
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data + 1), size - 1, "rb");
    if (!file)
        return 0;
    unsigned char* pixels = nullptr;
    unsigned char* palette = nullptr;
    int width = 0, height = 0, side = 0, alpha = 0;
    switch (mode) {
    case 0:
        if (PngLoadImage(file, &pixels, &width, &height, &side, &alpha, nullptr, nullptr, false))
            pixels[std::size_t(side) * side * 4 - 1] ^= 1;  // the whole buffer is there
        EzPngFreeImage(pixels, nullptr);
        break;
    case 1:
        if (PngLoadImage(file, &pixels, &width, &height, &side, &alpha, nullptr, &palette, true))
            pixels[std::size_t(side) * side - 1] ^= 1;
        EzPngFreeImage(pixels, palette);
        break;
    case 2:
        if (JpegLoadImage(file, &pixels, &width, &height, &side))
            pixels[std::size_t(side) * side * 4 - 1] ^= 1;
        EzJpegFreeImage(pixels);
        break;
    default: {
        std::uint8_t rgb[256][3];
        ReadRiffPalette(file, rgb);
        break;
    }
    }
    std::fclose(file);
    return 0;
}
