// Writes the seed corpus of image_decode_fuzz: small images of every kind the
// decoders take, each prefixed by the byte that selects its reader.
#include "testimages.h"

#include <filesystem>
#include <string>

using namespace testimages;

namespace {

void Seed(const std::string& dir, const std::string& name, std::uint8_t mode, const std::string& made)
{
    auto bytes = ReadBytes(made);
    bytes.insert(bytes.begin(), mode);
    WriteBytes(dir + "/" + name, bytes);
    std::filesystem::remove(made);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    std::string dir = argv[1];
    std::filesystem::create_directories(dir);
    std::string tmp = dir + "/.tmp";
    std::vector<Rgba> pixels(5 * 3);
    for (int i = 0; i < 15; ++i)
        pixels[i] = {std::uint8_t(i * 17), std::uint8_t(255 - i * 9), 40, std::uint8_t(i * 16)};
    WritePng(tmp, 5, 3, PngKind::Rgba, pixels);
    Seed(dir, "rgba.png", 0, tmp);
    WritePng(tmp, 5, 3, PngKind::Rgb, pixels);
    Seed(dir, "rgb.png", 0, tmp);
    WritePng(tmp, 5, 3, PngKind::GreyAlpha, pixels);
    Seed(dir, "greyalpha.png", 0, tmp);
    std::vector<std::uint8_t> indices = {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2};
    std::vector<Rgba> palette = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {9, 9, 9, 255}};
    WriteIndexedPng(tmp, 5, 3, 8, indices, palette, {0, 128});
    Seed(dir, "indexed8.png", 0, tmp);
    WriteIndexedPng(tmp, 5, 3, 2, indices, palette, {0});
    Seed(dir, "indexed2-palette-mode.png", 1, tmp);
    WriteIndexedPng(tmp, 5, 3, 8, indices, palette);
    Seed(dir, "indexed8-palette-mode.png", 1, tmp);
    WriteJpeg(tmp, 9, 7, Solid(9, 7, {10, 200, 30, 255}), false);
    Seed(dir, "baseline.jpg", 2, tmp);
    WriteJpeg(tmp, 9, 7, Solid(9, 7, {10, 200, 30, 255}), true);
    Seed(dir, "progressive.jpg", 2, tmp);
    WriteJpeg(tmp, 9, 7, Solid(9, 7, {99, 0, 0, 255}), false, true);
    Seed(dir, "grey.jpg", 2, tmp);
    WritePal(tmp, palette);
    Seed(dir, "colours.pal", 3, tmp);
    return 0;
}
