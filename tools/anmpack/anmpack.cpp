#include "tools/anmpack/anmpack.h"

#include "engine/base/xml.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace anmpack {

namespace {

// The engine refuses texture surfaces beyond this side.
constexpr int kMaxSheetSide = 4096;

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    std::string word;
    while (in >> word)
        words.push_back(word);
    return words;
}

[[noreturn]] void Fail(int line, const std::string& what)
{
    throw std::runtime_error("line " + std::to_string(line) + ": " + what);
}

int ToInt(const std::string& word, int line)
{
    std::size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(word, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != word.size())
        Fail(line, "not a whole number: " + word);
    return value;
}

float ToFloat(const std::string& word, int line)
{
    std::size_t used = 0;
    float value = 0;
    try {
        value = std::stof(word, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used != word.size() || !std::isfinite(value))
        Fail(line, "not a number: " + word);
    return value;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// "reg X Y" and "xform A B C D E F" after a frame's source.
void ParseFrameOptions(const std::vector<std::string>& w, std::size_t at, Frame& frame, Animation& animation,
                       int line)
{
    while (at < w.size()) {
        if (w[at] == "reg" && at + 2 < w.size()) {
            frame.regX = ToInt(w[at + 1], line);
            frame.regY = ToInt(w[at + 2], line);
            at += 3;
        } else if (w[at] == "xform" && at + 6 < w.size()) {
            for (int i = 0; i < 6; ++i)
                frame.transform[i] = ToFloat(w[at + 1 + i], line);
            animation.transforms = true;
            at += 7;
        } else {
            Fail(line, "expected \"reg X Y\" or \"xform A B C D E F\" at " + w[at]);
        }
    }
}

void ParseFrame(const std::vector<std::string>& w, const std::string& baseDir, Animation& animation, int line)
{
    if (w.size() < 3)
        Fail(line, "frame needs a name and a source");
    Frame frame;
    frame.name = w[1];
    std::size_t at;
    if (w[2] == "rect") {
        if (w.size() < 7)
            Fail(line, "frame rect needs X Y W H");
        frame.kind = Frame::Kind::Rect;
        frame.x = ToInt(w[3], line);
        frame.y = ToInt(w[4], line);
        frame.w = ToInt(w[5], line);
        frame.h = ToInt(w[6], line);
        if (frame.w < 0 || frame.h < 0)
            Fail(line, "a frame's size cannot be negative");
        at = 7;
    } else if (w[2] == "empty") {
        frame.kind = Frame::Kind::Empty;
        at = 3;
    } else {
        frame.kind = Frame::Kind::File;
        frame.file = (fs::path(baseDir) / w[2]).string();
        at = 3;
    }
    ParseFrameOptions(w, at, frame, animation, line);
    animation.frames.push_back(frame);
}

// ---------------------------------------------------------------- packing

struct Placement {
    Image image;
    int x = 0, y = 0;
};

// Shelves in order of decreasing height (ties keep the order of first use),
// each shelf filled left to right up to a width near the square root of the
// total area, so sheets come out roughly square.
void PlaceOnShelves(std::vector<Placement>& unique, int* sheetWidth, int* sheetHeight)
{
    long long area = 0;
    int widest = 0;
    for (const Placement& p : unique) {
        area += (long long)p.image.width * p.image.height;
        widest = std::max(widest, p.image.width);
    }
    int limit = std::max(widest, int(std::ceil(std::sqrt(double(area)))));
    std::vector<std::size_t> order(unique.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return unique[a].image.height > unique[b].image.height; });
    int x = 0, y = 0, shelfHeight = 0, width = 0;
    for (std::size_t index : order) {
        Placement& p = unique[index];
        if (x > 0 && x + p.image.width > limit) {
            y += shelfHeight;
            x = 0;
            shelfHeight = 0;
        }
        p.x = x;
        p.y = y;
        x += p.image.width;
        width = std::max(width, x);
        shelfHeight = std::max(shelfHeight, p.image.height);
    }
    *sheetWidth = width;
    *sheetHeight = y + shelfHeight;
}

void PutLE(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(value >> (8 * i)));
}

void PutInt(std::vector<std::uint8_t>& out, int value)
{
    PutLE(out, std::uint32_t(value));
}

void PutFloat(std::vector<std::uint8_t>& out, float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    PutLE(out, bits);
}

void PutString(std::vector<std::uint8_t>& out, const std::string& text)
{
    PutInt(out, int(text.size()));
    for (char c : text)
        out.push_back(std::uint8_t(c));
}

void PutTag(std::vector<std::uint8_t>& out, const char* tag)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(tag[i]));
}

// Floats as text that reads back to the same value.
std::string Numbers(const float* values, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        char number[32];
        std::snprintf(number, sizeof number, "%.9g", double(values[i]));
        text += (i ? " " : "") + std::string(number);
    }
    return text;
}

}  // namespace

// ---------------------------------------------------------------- descriptions

Animation ParseDescription(const std::string& text, const std::string& baseDir)
{
    Animation animation;
    std::istringstream lines(text);
    std::string line;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        std::size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.resize(hash);
        std::vector<std::string> w = Words(line);
        if (w.empty())
            continue;
        const std::string& key = w[0];
        auto rest = [&]() {
            std::size_t start = line.find(key) + key.size();
            std::size_t first = line.find_first_not_of(" \t", start);
            std::size_t last = line.find_last_not_of(" \t\r");
            return first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
        };
        if (key == "sequence")
            animation.sequence = rest();
        else if (key == "source")
            animation.source = rest();
        else if (key == "image" && w.size() == 2)
            animation.image = w[1];
        else if (key == "mask" && w.size() == 2)
            animation.mask = w[1];
        else if (key == "sheet" && w.size() == 2) {
            animation.sheetPath = (fs::path(baseDir) / w[1]).string();
            if (animation.image.empty())
                animation.image = fs::path(w[1]).filename().string();
        } else if (key == "reg" && w.size() == 3) {
            animation.regX = ToInt(w[1], number);
            animation.regY = ToInt(w[2], number);
        } else if (key == "xform" && w.size() >= 2 && w.size() <= 5) {
            for (std::size_t i = 1; i < w.size(); ++i)
                animation.imageTransform[i - 1] = ToFloat(w[i], number);
            if (animation.imageTransform[0] == -1e7f)
                Fail(number, "-1e7 means \"no transforms\" to the engine");
            animation.transforms = true;
        } else if (key == "frame")
            ParseFrame(w, baseDir, animation, number);
        else if (key == "anchor" && w.size() == 4) {
            if (animation.frames.empty())
                Fail(number, "anchor before the first frame");
            animation.frames.back().anchors.push_back({w[1], ToInt(w[2], number), ToInt(w[3], number)});
        } else if (key == "script" && w.size() == 2) {
            animation.script = ReadText((fs::path(baseDir) / w[1]).string());
            if (animation.script.empty())
                Fail(number, "the script file is empty");
        } else
            Fail(number, "unknown or malformed line: " + key);
    }
    return animation;
}

Animation DescribeFolder(const std::string& folder)
{
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().extension() == ".png")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    if (files.empty())
        throw std::runtime_error("no .png frames in " + folder);
    Animation animation;
    animation.source = fs::path(folder).filename().string();
    for (const fs::path& file : files) {
        Frame frame;
        frame.name = file.stem().string();
        frame.kind = Frame::Kind::File;
        frame.file = file.string();
        animation.frames.push_back(frame);
    }
    return animation;
}

// ---------------------------------------------------------------- images

namespace {

// libpng reports errors by longjmp; the message is kept for the caller.
void PngError(png_structp png, png_const_charp message)
{
    *static_cast<std::string*>(png_get_error_ptr(png)) = message;
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

bool IsPalettePng(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    unsigned char header[26] = {};
    std::size_t got = std::fread(header, 1, sizeof header, file);
    std::fclose(file);
    // The signature, then IHDR: length, "IHDR", width, height, bit depth, colour type.
    return got == sizeof header && png_sig_cmp(header, 0, 8) == 0 && std::memcmp(header + 12, "IHDR", 4) == 0 &&
           header[25] == PNG_COLOR_TYPE_PALETTE;
}

// The libpng calls of a palette image. Kept apart so that nothing the caller
// uses afterwards is changed between setjmp and a longjmp.
bool DecodeIndexed(png_structp png, png_infop info, std::FILE* file, Image* image, std::vector<png_bytep>* rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, file);
    png_read_info(png, info);
    if (png_get_bit_depth(png, info) < 8)
        png_set_packing(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    image->width = int(png_get_image_width(png, info));
    image->height = int(png_get_image_height(png, info));
    image->indexed = true;
    if (png_get_rowbytes(png, info) != std::size_t(image->width))
        png_error(png, "unexpected row size");
    image->pixels.assign(std::size_t(image->width) * image->height, 0);
    rows->resize(std::size_t(image->height));
    for (int y = 0; y < image->height; ++y)
        (*rows)[std::size_t(y)] = image->pixels.data() + std::size_t(y) * image->width;
    png_read_image(png, rows->data());
    png_colorp colours = nullptr;
    int count = 0;
    png_get_PLTE(png, info, &colours, &count);
    for (int i = 0; i < count; ++i)
        image->palette.insert(image->palette.end(), {colours[i].red, colours[i].green, colours[i].blue});
    png_bytep trans = nullptr;
    int transCount = 0;
    if (png_get_valid(png, info, PNG_INFO_tRNS) && png_get_tRNS(png, info, &trans, &transCount, nullptr))
        image->alphas.assign(trans, trans + transCount);
    return true;
}

bool ReadIndexedPng(const std::string& path, Image* image, std::string* error)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *error = "cannot read " + path;
        return false;
    }
    std::string message;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &message, PngError, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_bytep> rows;
    bool ok = png && info && DecodeIndexed(png, info, file, image, &rows);
    png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr);
    std::fclose(file);
    if (!ok)
        *error = path + ": " + (message.empty() ? "not a readable PNG" : message);
    return ok;
}

bool EncodeIndexed(png_structp png, png_infop info, const Image& image, const std::vector<png_color>& colours,
                   std::string* bytes, std::vector<png_bytep>* rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(
        png, bytes,
        [](png_structp p, png_bytep data, png_size_t length) {
            static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<char*>(data), length);
        },
        nullptr);
    png_set_IHDR(png, info, png_uint_32(image.width), png_uint_32(image.height), 8, PNG_COLOR_TYPE_PALETTE,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_PLTE(png, info, colours.data(), int(colours.size()));
    if (!image.alphas.empty())
        png_set_tRNS(png, info, image.alphas.data(), int(image.alphas.size()), nullptr);
    png_write_info(png, info);
    rows->resize(std::size_t(image.height));
    for (int y = 0; y < image.height; ++y)
        (*rows)[std::size_t(y)] = const_cast<png_bytep>(image.pixels.data()) + std::size_t(y) * image.width;
    png_write_image(png, rows->data());
    png_write_end(png, nullptr);
    return true;
}

bool EncodeIndexedPng(const Image& image, std::string* bytes, std::string* error)
{
    std::vector<png_color> colours;
    for (std::size_t i = 0; i + 2 < image.palette.size(); i += 3)
        colours.push_back({image.palette[i], image.palette[i + 1], image.palette[i + 2]});
    if (colours.empty()) {
        *error = "an indexed image needs a palette";
        return false;
    }
    std::string message;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &message, PngError, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_bytep> rows;
    bool ok = png && info && EncodeIndexed(png, info, image, colours, bytes, &rows);
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    if (!ok)
        *error = message.empty() ? "cannot encode the PNG" : message;
    return ok;
}

}  // namespace

bool ReadPng(const std::string& path, Image* image, std::string* error)
{
    *image = Image();
    if (IsPalettePng(path))
        return ReadIndexedPng(path, image, error);
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        *error = path + ": " + png.message;
        return false;
    }
    png.format = PNG_FORMAT_RGBA;
    image->width = int(png.width);
    image->height = int(png.height);
    image->pixels.assign(PNG_IMAGE_SIZE(png), 0);
    if (!png_image_finish_read(&png, nullptr, image->pixels.data(), 0, nullptr)) {
        *error = path + ": " + png.message;
        png_image_free(&png);
        return false;
    }
    return true;
}

bool WriteFile(const std::string& path, const std::string& bytes, std::string* error)
{
    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.flush();
        if (!out) {
            *error = "cannot write " + temporary;
            return false;
        }
    }
    std::error_code code;
    fs::rename(temporary, path, code);
    if (code) {
        *error = "cannot rename " + temporary + " to " + path + ": " + code.message();
        fs::remove(temporary, code);
        return false;
    }
    return true;
}

bool WritePng(const std::string& path, const Image& image, std::string* error)
{
    if (image.indexed) {
        std::string bytes;
        if (!EncodeIndexedPng(image, &bytes, error)) {
            *error = path + ": " + *error;
            return false;
        }
        return WriteFile(path, bytes, error);
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(image.width);
    png.height = png_uint_32(image.height);
    png.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    if (!png_image_write_get_memory_size(png, size, 0, image.pixels.data(), 0, nullptr)) {
        *error = path + ": " + png.message;
        return false;
    }
    std::string bytes(size, '\0');
    if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, image.pixels.data(), 0, nullptr)) {
        *error = path + ": " + png.message;
        return false;
    }
    bytes.resize(size);
    return WriteFile(path, bytes, error);
}

Image PackSheet(Animation& animation)
{
    bool files = false, rects = false;
    for (const Frame& frame : animation.frames) {
        files = files || frame.kind == Frame::Kind::File;
        rects = rects || frame.kind == Frame::Kind::Rect;
    }
    if (files && rects)
        throw std::runtime_error("frame files and rectangles of a sheet cannot be mixed");
    if (!files) {
        if (!animation.sheetPath.empty()) {
            Image sheet;
            std::string error;
            if (!ReadPng(animation.sheetPath, &sheet, &error))
                throw std::runtime_error(error);
            animation.imageWidth = sheet.width;
            animation.imageHeight = sheet.height;
        }
        return {};
    }

    std::vector<Placement> unique;
    std::vector<std::size_t> placeOf(animation.frames.size(), 0);
    for (std::size_t i = 0; i < animation.frames.size(); ++i) {
        const Frame& frame = animation.frames[i];
        if (frame.kind != Frame::Kind::File)
            continue;
        Image image;
        std::string error;
        if (!ReadPng(frame.file, &image, &error))
            throw std::runtime_error(error);
        auto same = std::find_if(unique.begin(), unique.end(), [&](const Placement& p) { return p.image == image; });
        placeOf[i] = std::size_t(same - unique.begin());
        if (same == unique.end())
            unique.push_back({std::move(image), 0, 0});
    }
    const Image& first = unique.front().image;
    for (const Placement& p : unique) {
        if (p.image.indexed != first.indexed)
            throw std::runtime_error("frames must be all palette PNGs or all without a palette");
        if (p.image.indexed && (p.image.palette != first.palette || p.image.alphas != first.alphas))
            throw std::runtime_error("palette frames must share one palette");
    }
    int width = 0, height = 0;
    PlaceOnShelves(unique, &width, &height);
    if (width > kMaxSheetSide || height > kMaxSheetSide)
        throw std::runtime_error("the sheet would be " + std::to_string(width) + "x" + std::to_string(height) +
                                 ", more than " + std::to_string(kMaxSheetSide) + " a side");

    Image sheet;
    sheet.width = width;
    sheet.height = height;
    sheet.indexed = first.indexed;
    sheet.palette = first.palette;
    sheet.alphas = first.alphas;
    const std::size_t pixelBytes = std::size_t(sheet.BytesPerPixel());
    sheet.pixels.assign(std::size_t(width) * height * pixelBytes, 0);
    for (const Placement& p : unique)
        for (int row = 0; row < p.image.height; ++row)
            std::memcpy(&sheet.pixels[(std::size_t(p.y + row) * width + p.x) * pixelBytes],
                        &p.image.pixels[std::size_t(row) * p.image.width * pixelBytes],
                        std::size_t(p.image.width) * pixelBytes);
    for (std::size_t i = 0; i < animation.frames.size(); ++i) {
        Frame& frame = animation.frames[i];
        if (frame.kind != Frame::Kind::File)
            continue;
        const Placement& p = unique[placeOf[i]];
        frame.x = p.x;
        frame.y = p.y;
        frame.w = p.image.width;
        frame.h = p.image.height;
    }
    animation.imageWidth = width;
    animation.imageHeight = height;
    return sheet;
}

// ---------------------------------------------------------------- encoders

std::vector<std::uint8_t> EncodeAnm(const Animation& a)
{
    std::vector<std::uint8_t> out;
    PutTag(out, "ANIM");
    PutInt(out, 0);  // two values the engine skips
    PutInt(out, 0);
    PutString(out, a.sequence);
    PutString(out, a.source);
    PutTag(out, "IMGN");
    PutInt(out, a.regX);
    PutInt(out, a.regY);
    PutInt(out, a.imageWidth);
    PutInt(out, a.imageHeight);
    PutFloat(out, a.transforms ? a.imageTransform[0] : -1e7f);
    for (int i = 1; i < 4; ++i)
        PutFloat(out, a.transforms ? a.imageTransform[i] : 0.0f);
    PutString(out, a.image);
    PutString(out, a.mask);
    PutTag(out, "FRMS");
    PutInt(out, int(a.frames.size()));
    for (const Frame& f : a.frames) {
        for (int value : {f.regX, f.regY, f.x, f.y, f.w, f.h})
            PutInt(out, value);
        for (float value : f.transform)
            PutFloat(out, value);
        PutString(out, f.name);
        PutInt(out, int(f.anchors.size()));
        for (const Anchor& anchor : f.anchors) {
            PutInt(out, anchor.x);
            PutInt(out, anchor.y);
            PutString(out, anchor.name);
        }
    }
    if (!a.script.empty()) {
        PutTag(out, "SCRP");
        PutString(out, a.script);
    }
    return out;
}

std::string EncodeXml(const Animation& a)
{
    TXmlNode document;
    TXmlNode* sequence = document.CreateChild("sequence");
    sequence->SetAttribute("name", a.sequence.c_str());
    sequence->SetAttribute("source", a.source.c_str());
    TXmlNode* img = sequence->CreateChild("img");
    img->SetAttribute("name", a.image.c_str());
    img->SetAttribute("mask", a.mask.c_str());
    img->SetAttribute("regx", a.regX);
    img->SetAttribute("regy", a.regY);
    img->SetAttribute("w", a.imageWidth);
    img->SetAttribute("h", a.imageHeight);
    if (a.transforms)
        img->SetAttribute("xform", Numbers(a.imageTransform, 4).c_str());
    TXmlNode* framelist = img->CreateChild("framelist");
    for (const Frame& f : a.frames) {
        TXmlNode* frame = framelist->CreateChild("frame");
        frame->SetAttribute("name", f.name.c_str());
        frame->SetAttribute("x", f.x);
        frame->SetAttribute("y", f.y);
        frame->SetAttribute("w", f.w);
        frame->SetAttribute("h", f.h);
        frame->SetAttribute("regx", f.regX);
        frame->SetAttribute("regy", f.regY);
        if (a.transforms)
            frame->SetAttribute("xform", Numbers(f.transform, 6).c_str());
        for (const Anchor& anchor : f.anchors) {
            TXmlNode* element = frame->CreateChild("anchor");
            element->SetAttribute("name", anchor.name.c_str());
            element->SetAttribute("x", anchor.x);
            element->SetAttribute("y", anchor.y);
        }
    }
    if (!a.script.empty())
        sequence->CreateChild("script")->SetAttribute("luascript", a.script.c_str());
    // The holder node itself has no name; its child is the document.
    return std::string(sequence->AsString().c_str());
}

}  // namespace anmpack
