#include "engine/render/imagedecode.h"

#include "engine/base/asset.h"
#include "engine/base/debuglog.h"

#include <csetjmp>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <png.h>

int PowerOfTwoSide(int width, int height)
{
    int larger = width > height ? width : height;
    int side = 1;
    while (side < larger)
        side <<= 1;
    return side;
}

// The file being decoded by EzPngLoadImage or EzJpegLoadImage on this
// thread, and the palette file applied to it, so that every line its
// decoder logs names them.
static thread_local const char* gDecodingFile = nullptr;
static thread_local const char* gDecodingPalette = nullptr;

namespace {

class TDecodingFile {
public:
    explicit TDecodingFile(const char* path, const char* palette = nullptr)
    {
        gDecodingFile = path;
        gDecodingPalette = palette;
    }
    ~TDecodingFile() { gDecodingFile = gDecodingPalette = nullptr; }
    TDecodingFile(const TDecodingFile&) = delete;
    TDecodingFile& operator=(const TDecodingFile&) = delete;
};

const char* DecodingFile()
{
    return gDecodingFile ? gDecodingFile : "(a stream)";
}

const char* DecodingPalette()
{
    return gDecodingPalette ? gDecodingPalette : "(a stream)";
}

// A palette file is named once, however many pictures ask for it.
void ReportPalette(const char* path, const char* problem)
{
    if (TAssetManager::FirstReportOf(str("palette:") + path))
        WriteDbg("Palette %s %s; the picture keeps its own colours", path, problem);
}

}  // namespace

static bool SizeAcceptable(const char* kind, unsigned width, unsigned height)
{
    if (width == 0 || height == 0 || width > unsigned(kMaxImageSide) || height > unsigned(kMaxImageSide)) {
        WriteDbg("%s image %s of %ux%u refused: sides must be 1..%d", kind, DecodingFile(), width, height,
                 kMaxImageSide);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- RIFF palette

static std::uint32_t ReadLe32(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
}

int ReadRiffPalette(std::FILE* file, std::uint8_t rgb[256][3])
{
    // "RIFF", file size, form type, chunk id, chunk size, version and count.
    std::uint8_t header[24];
    if (!file || std::fread(header, 1, sizeof header, file) != sizeof header)
        return 0;
    if (std::memcmp(header, "RIFF", 4) != 0)
        return 0;
    std::uint32_t chunkSize = ReadLe32(header + 16);
    // The chunk holds 4 header bytes and then 4 bytes an entry; every entry
    // the chunk announces is read, the last one included.
    std::uint32_t entries = chunkSize >= 4 ? (chunkSize - 4) / 4 : 0;
    if (entries > 256)
        entries = 256;
    int count = 0;
    for (std::uint32_t i = 0; i < entries; ++i) {
        std::uint8_t entry[4];
        if (std::fread(entry, 1, 4, file) != 4)
            break;
        rgb[i][0] = entry[0];
        rgb[i][1] = entry[1];
        rgb[i][2] = entry[2];
        ++count;
    }
    return count;
}

// ---------------------------------------------------------------- PNG

namespace {

// Everything the PNG reader must release after a libpng error, kept in one
// place that the longjmp does not disturb.
struct PngReadState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    unsigned char* pixels = nullptr;
    png_bytepp rows = nullptr;
    unsigned char* palette = nullptr;
};

void PngError(png_structp png, png_const_charp message)
{
    WriteDbg("libpng error in %s: %s", DecodingFile(), message);
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

void ReleasePngState(PngReadState* state)
{
    png_destroy_read_struct(&state->png, state->info ? &state->info : nullptr, nullptr);
    std::free(state->rows);
    std::free(state->pixels);
    std::free(state->palette);
    *state = PngReadState{};
}

// Replaces the image palette's colours by those of the RIFF palette file.
void OverridePalette(png_structp png, png_infop info, std::FILE* paletteFile)
{
    png_colorp colours = nullptr;
    int count = 0;
    if (!paletteFile || !png_get_PLTE(png, info, &colours, &count))
        return;
    std::uint8_t rgb[256][3];
    int read = ReadRiffPalette(paletteFile, rgb);
    if (read == 0) {
        ReportPalette(DecodingPalette(), "is not a palette file (damaged?)");
        return;
    }
    png_color replaced[256];
    std::memcpy(replaced, colours, sizeof(png_color) * count);
    for (int i = 0; i < read && i < count; ++i)
        replaced[i] = {rgb[i][0], rgb[i][1], rgb[i][2]};
    png_set_PLTE(png, info, replaced, count);
}

// The 1024-byte B, G, R, A palette of a palette image; sets transparent when
// some entry has alpha below 255.
unsigned char* MakeOutputPalette(png_structp png, png_infop info, bool* transparent)
{
    png_colorp colours = nullptr;
    int count = 0;
    png_get_PLTE(png, info, &colours, &count);
    png_bytep trans = nullptr;
    int numTrans = 0;
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_get_tRNS(png, info, &trans, &numTrans, nullptr);
    auto* out = static_cast<unsigned char*>(std::calloc(kPaletteBytes, 1));
    if (!out)
        png_error(png, "out of memory");
    *transparent = false;
    for (int i = 0; i < 256; ++i) {
        unsigned char* entry = out + i * 4;
        if (i < count) {
            entry[0] = colours[i].blue;
            entry[1] = colours[i].green;
            entry[2] = colours[i].red;
        }
        entry[3] = (i < numTrans) ? trans[i] : 255;
        if (entry[3] < 255)
            *transparent = true;
    }
    return out;
}

// The body of the PNG reader: every libpng error comes back to the setjmp here.
bool ReadPng(PngReadState* state, std::FILE* file, int* width, int* height, int* side, int* hasAlpha,
             std::FILE* paletteFile, bool wantPalette, bool paletteMode)
{
    if (setjmp(png_jmpbuf(state->png)))
        return false;
    png_structp png = state->png;
    png_infop info = state->info;

    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_init_io(png, file);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);

    png_uint_32 w = 0, h = 0;
    int bitDepth = 0, colourType = 0;
    png_get_IHDR(png, info, &w, &h, &bitDepth, &colourType, nullptr, nullptr, nullptr);
    if (!SizeAcceptable("PNG", w, h))
        return false;
    bool isPaletteImage = colourType == PNG_COLOR_TYPE_PALETTE;
    if (paletteMode && !isPaletteImage) {
        WriteDbg("PNG palette mode needs a palette image (%s has colour type %d)", DecodingFile(), colourType);
        return false;
    }

    if (isPaletteImage)
        OverridePalette(png, info, paletteFile);
    bool transparent = false;
    if (isPaletteImage && (wantPalette || paletteMode)) {
        unsigned char* palette = MakeOutputPalette(png, info, &transparent);
        if (wantPalette)
            state->palette = palette;
        else
            std::free(palette);
    }

    if (bitDepth == 16)
        png_set_strip_16(png);
    if (paletteMode) {
        png_set_packing(png);  // indices of 1, 2 or 4 bits become one byte each
    } else {
        if (isPaletteImage)
            png_set_palette_to_rgb(png);
        if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
            png_set_expand_gray_1_2_4_to_8(png);
        if (png_get_valid(png, info, PNG_INFO_tRNS))
            png_set_tRNS_to_alpha(png);
        if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
            png_set_gray_to_rgb(png);
        png_set_filler(png, 255, PNG_FILLER_AFTER);
        png_set_bgr(png);
    }
    double fileGamma = 0;
    if (png_get_gAMA(png, info, &fileGamma))
        png_set_gamma(png, 2.2, fileGamma);
    png_read_update_info(png, info);
    png_get_IHDR(png, info, &w, &h, &bitDepth, &colourType, nullptr, nullptr, nullptr);

    int bytesPerPixel = paletteMode ? 1 : 4;
    if (png_get_rowbytes(png, info) != w * bytesPerPixel)
        png_error(png, "unexpected row layout");
    *hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) || (paletteMode && transparent);

    int s = PowerOfTwoSide(int(w), int(h));
    std::size_t pitch = std::size_t(s) * bytesPerPixel;
    state->pixels = static_cast<unsigned char*>(std::calloc(std::size_t(s) * pitch, 1));
    state->rows = static_cast<png_bytepp>(std::malloc(sizeof(png_bytep) * h));
    if (!state->pixels || !state->rows)
        png_error(png, "Visual PNG: out of memory");
    for (png_uint_32 y = 0; y < h; ++y)
        state->rows[y] = state->pixels + y * pitch;
    png_read_image(png, state->rows);
    png_read_end(png, nullptr);

    *width = int(w);
    *height = int(h);
    *side = s;
    return true;
}

}  // namespace

bool PngLoadImage(std::FILE* file, unsigned char** pixels, int* width, int* height, int* side, int* hasAlpha,
                  std::FILE* paletteFile, unsigned char** palette, bool paletteMode)
{
    if (!file || !pixels || !width || !height || !side)
        return false;
    *pixels = nullptr;
    if (palette)
        *palette = nullptr;
    png_byte signature[8];
    if (std::fread(signature, 1, 8, file) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
        WriteDbg("%s is not a PNG file", DecodingFile());
        return false;
    }

    PngReadState state;
    state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (!state.png)
        return false;
    state.info = png_create_info_struct(state.png);
    if (!state.info) {
        ReleasePngState(&state);
        return false;
    }
    int alpha = 0;
    if (!ReadPng(&state, file, width, height, side, &alpha, paletteFile, palette != nullptr, paletteMode)) {
        ReleasePngState(&state);
        return false;
    }
    *pixels = state.pixels;
    if (palette)
        *palette = state.palette;
    if (hasAlpha)
        *hasAlpha = alpha;
    state.pixels = nullptr;
    state.palette = nullptr;
    ReleasePngState(&state);
    return true;
}

bool EzPngLoadImage(const char* path, unsigned char** pixels, int* width, int* height, int* side,
                    unsigned long* unused, int* hasAlpha, const char* palettePath, unsigned char** palette,
                    bool paletteMode)
{
    if (unused)
        *unused = 0;
    if (palette)
        *palette = nullptr;
    if (!path || !pixels)
        return false;
    *pixels = nullptr;
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    std::FILE* paletteFile = (palettePath && *palettePath) ? std::fopen(palettePath, "rb") : nullptr;
    if (palettePath && *palettePath && !paletteFile)
        ReportPalette(palettePath, "not found");
    TDecodingFile decoding(path, palettePath);
    bool ok = PngLoadImage(file, pixels, width, height, side, hasAlpha, paletteFile, palette, paletteMode);
    if (paletteFile)
        std::fclose(paletteFile);
    std::fclose(file);
    return ok;
}

void EzPngFreeImage(unsigned char* pixels, unsigned char* palette)
{
    std::free(pixels);
    std::free(palette);
}

// ---------------------------------------------------------------- JPEG

namespace {

// The library's default error handler ends the process; this one logs and
// jumps back so a bad file is only a failed load.
struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf back;
};

void JpegErrorExit(j_common_ptr info)
{
    char message[JMSG_LENGTH_MAX];
    info->err->format_message(info, message);
    WriteDbg("libjpeg error in %s: %s", DecodingFile(), message);
    std::longjmp(reinterpret_cast<JpegErrorManager*>(info->err)->back, 1);
}

void JpegQuiet(j_common_ptr, int) {}

struct JpegReadState {
    jpeg_decompress_struct info;
    JpegErrorManager error;
    unsigned char* pixels = nullptr;
};

bool ReadJpeg(JpegReadState* state, std::FILE* file, int* width, int* height, int* side)
{
    if (setjmp(state->error.back))
        return false;
    jpeg_decompress_struct* info = &state->info;
    jpeg_create_decompress(info);
    info->mem->max_memory_to_use = 16 * 1024 * 1024;
    jpeg_stdio_src(info, file);
    jpeg_read_header(info, TRUE);
    if (!SizeAcceptable("JPEG", info->image_width, info->image_height))
        return false;
    // Blue, green, red, 255: the order textures upload, straight from the library.
    info->out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(info);

    int s = PowerOfTwoSide(int(info->output_width), int(info->output_height));
    std::size_t pitch = std::size_t(s) * 4;
    state->pixels = static_cast<unsigned char*>(std::calloc(std::size_t(s) * pitch, 1));
    if (!state->pixels) {
        WriteDbg("libjpeg error in %s: out of memory", DecodingFile());
        return false;
    }
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = state->pixels + std::size_t(info->output_scanline) * pitch;
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    *width = int(info->output_width);
    *height = int(info->output_height);
    *side = s;
    return true;
}

}  // namespace

bool JpegLoadImage(std::FILE* file, unsigned char** pixels, int* width, int* height, int* side)
{
    if (!file || !pixels || !width || !height || !side)
        return false;
    *pixels = nullptr;
    JpegReadState state{};
    state.info.err = jpeg_std_error(&state.error.base);
    state.error.base.error_exit = JpegErrorExit;
    state.error.base.emit_message = JpegQuiet;
    bool ok = ReadJpeg(&state, file, width, height, side);
    jpeg_destroy_decompress(&state.info);
    if (ok)
        *pixels = state.pixels;
    else
        std::free(state.pixels);
    return ok;
}

bool EzJpegLoadImage(const char* path, unsigned char** pixels, int* width, int* height, int* side)
{
    if (!path || !pixels)
        return false;
    *pixels = nullptr;
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    TDecodingFile decoding(path);
    bool ok = JpegLoadImage(file, pixels, width, height, side);
    std::fclose(file);
    return ok;
}

void EzJpegFreeImage(unsigned char* pixels)
{
    std::free(pixels);
}
