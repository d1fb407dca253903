#include "testimages.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

#include <jpeglib.h>
#include <png.h>

namespace testimages {

namespace {

struct File {
    std::FILE* f;
    explicit File(const std::string& path, const char* mode) : f(std::fopen(path.c_str(), mode))
    {
        if (!f)
            throw std::runtime_error("cannot open " + path);
    }
    ~File() { std::fclose(f); }
};

void WritePngRows(const std::string& path, int width, int height, int bitDepth, int colourType,
                  const std::vector<std::vector<std::uint8_t>>& rows, const std::vector<Rgba>* palette,
                  const std::vector<std::uint8_t>* trns)
{
    File file(path, "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
        throw std::runtime_error("png write failed");
    png_init_io(png, file.f);
    png_set_IHDR(png, info, width, height, bitDepth, colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> colours;
    if (palette) {
        for (const Rgba& c : *palette)
            colours.push_back({c.r, c.g, c.b});
        png_set_PLTE(png, info, colours.data(), int(colours.size()));
    }
    if (trns && !trns->empty())
        png_set_tRNS(png, info, trns->data(), int(trns->size()), nullptr);
    png_write_info(png, info);
    for (const auto& row : rows)
        png_write_row(png, row.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
}

}  // namespace

void WritePng(const std::string& path, int width, int height, PngKind kind, const std::vector<Rgba>& pixels)
{
    int type = PNG_COLOR_TYPE_RGBA, channels = 4;
    switch (kind) {
    case PngKind::Rgba: break;
    case PngKind::Rgb: type = PNG_COLOR_TYPE_RGB; channels = 3; break;
    case PngKind::Grey: type = PNG_COLOR_TYPE_GRAY; channels = 1; break;
    case PngKind::GreyAlpha: type = PNG_COLOR_TYPE_GRAY_ALPHA; channels = 2; break;
    }
    std::vector<std::vector<std::uint8_t>> rows(height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Rgba& p = pixels[y * width + x];
            auto& row = rows[y];
            if (channels >= 3) {
                row.insert(row.end(), {p.r, p.g, p.b});
                if (channels == 4)
                    row.push_back(p.a);
            } else {
                row.push_back(p.r);
                if (channels == 2)
                    row.push_back(p.a);
            }
        }
    WritePngRows(path, width, height, 8, type, rows, nullptr, nullptr);
}

void WriteIndexedPng(const std::string& path, int width, int height, int bitDepth,
                     const std::vector<std::uint8_t>& indices, const std::vector<Rgba>& palette,
                     const std::vector<std::uint8_t>& trns)
{
    std::vector<std::vector<std::uint8_t>> rows(height);
    int perByte = 8 / bitDepth;
    for (int y = 0; y < height; ++y) {
        rows[y].assign((width + perByte - 1) / perByte, 0);
        for (int x = 0; x < width; ++x) {
            int shift = 8 - bitDepth * (x % perByte + 1);
            rows[y][x / perByte] |= std::uint8_t(indices[y * width + x] << shift);
        }
    }
    WritePngRows(path, width, height, bitDepth, PNG_COLOR_TYPE_PALETTE, rows, &palette, &trns);
}

void WriteJpeg(const std::string& path, int width, int height, const std::vector<Rgba>& pixels, bool progressive,
               bool grey, int quality)
{
    File file(path, "wb");
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file.f);
    info.image_width = width;
    info.image_height = height;
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row(width * 3);
    while (info.next_scanline < info.image_height) {
        int y = int(info.next_scanline);
        for (int x = 0; x < width; ++x) {
            const Rgba& p = pixels[y * width + x];
            if (grey) {
                row[x] = p.r;
            } else {
                row[x * 3] = p.r;
                row[x * 3 + 1] = p.g;
                row[x * 3 + 2] = p.b;
            }
        }
        JSAMPROW rowPointer = row.data();
        jpeg_write_scanlines(&info, &rowPointer, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
}

static void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

void WritePal(const std::string& path, const std::vector<Rgba>& colours)
{
    std::vector<std::uint8_t> bytes = {'R', 'I', 'F', 'F'};
    std::uint32_t chunkSize = 4 + 4 * std::uint32_t(colours.size());
    PutLe32(bytes, 4 + 8 + chunkSize);
    for (char c : std::string("PAL data"))
        bytes.push_back(std::uint8_t(c));
    PutLe32(bytes, chunkSize);
    bytes.insert(bytes.end(), {0x00, 0x03, std::uint8_t(colours.size() & 0xff), std::uint8_t(colours.size() >> 8)});
    for (const Rgba& c : colours)
        bytes.insert(bytes.end(), {c.r, c.g, c.b, 0});
    WriteBytes(path, bytes);
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    File file(path, "wb");
    // An empty vector may have no buffer at all: nothing to write then.
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), file.f);
}

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    File file(path, "rb");
    std::vector<std::uint8_t> bytes;
    int c;
    while ((c = std::fgetc(file.f)) != EOF)
        bytes.push_back(std::uint8_t(c));
    return bytes;
}

ScratchDir::ScratchDir()
{
    mPrevious = std::filesystem::current_path().string();
    std::string pattern = (std::filesystem::temp_directory_path() / "qmrender-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    mPath = pattern;
    std::filesystem::current_path(mPath);
}

ScratchDir::~ScratchDir()
{
    std::filesystem::current_path(mPrevious);
    std::error_code ignored;
    std::filesystem::remove_all(mPath, ignored);
}

std::vector<Rgba> Solid(int width, int height, Rgba colour)
{
    return std::vector<Rgba>(std::size_t(width) * height, colour);
}

}  // namespace testimages
