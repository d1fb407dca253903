#include "engine/render/imagedecode.h"

#include "testimages.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace testimages;

namespace {

// One decoded image, freed on scope exit.
struct Decoded {
    unsigned char* pixels = nullptr;
    unsigned char* palette = nullptr;
    int width = 0, height = 0, side = 0, hasAlpha = -1;
    bool ok = false;
    ~Decoded() { EzPngFreeImage(pixels, palette); }

    // B, G, R, A of pixel (x, y) of a colour buffer.
    Rgba At(int x, int y) const
    {
        const unsigned char* p = pixels + (std::size_t(y) * side + x) * 4;
        return {p[2], p[1], p[0], p[3]};
    }
};

void LoadPng(Decoded& d, const char* path, const char* palettePath = nullptr, bool wantPalette = false,
             bool paletteMode = false)
{
    unsigned long unused = 1;
    d.ok = EzPngLoadImage(path, &d.pixels, &d.width, &d.height, &d.side, &unused, &d.hasAlpha, palettePath,
                          wantPalette ? &d.palette : nullptr, paletteMode);
}

void LoadJpeg(Decoded& d, const char* path)
{
    d.ok = EzJpegLoadImage(path, &d.pixels, &d.width, &d.height, &d.side);
}

bool Near(Rgba a, Rgba b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance &&
           a.a == b.a;
}

class ImageDecodeTest : public ::testing::Test {
protected:
    ScratchDir scratch;
};

TEST_F(ImageDecodeTest, RgbaPngLandsTopLeftOfPowerOfTwoSquareInBgraOrder)
{
    std::vector<Rgba> pixels(100 * 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x)
            pixels[y * 100 + x] = {std::uint8_t(x), std::uint8_t(y), 200, std::uint8_t(x + y)};
    WritePng("a.png", 100, 30, PngKind::Rgba, pixels);
    Decoded d;
    LoadPng(d, "a.png");
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.width, 100);
    EXPECT_EQ(d.height, 30);
    EXPECT_EQ(d.side, 128);
    EXPECT_TRUE(d.hasAlpha);
    // Memory order is B, G, R, A.
    EXPECT_EQ(d.pixels[(5 * 128 + 7) * 4 + 0], 200);
    EXPECT_EQ(d.pixels[(5 * 128 + 7) * 4 + 1], 5);
    EXPECT_EQ(d.pixels[(5 * 128 + 7) * 4 + 2], 7);
    EXPECT_EQ(d.pixels[(5 * 128 + 7) * 4 + 3], 12);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            if (x >= 100 || y >= 30) {
                Rgba p = d.At(x, y);
                ASSERT_TRUE(p.r == 0 && p.g == 0 && p.b == 0 && p.a == 0) << x << "," << y;
            }
}

TEST_F(ImageDecodeTest, RgbGreyAndGreyAlphaPngsBecomeFourChannels)
{
    const struct {
        PngKind kind;
        Rgba written, read;
        bool alpha;
    } cases[] = {{PngKind::Rgb, {10, 20, 30, 255}, {10, 20, 30, 255}, false},
                 {PngKind::Grey, {77, 0, 0, 255}, {77, 77, 77, 255}, false},
                 {PngKind::GreyAlpha, {90, 0, 0, 40}, {90, 90, 90, 40}, true}};
    for (const auto& c : cases) {
        WritePng("k.png", 3, 2, c.kind, Solid(3, 2, c.written));
        Decoded d;
        LoadPng(d, "k.png");
        ASSERT_TRUE(d.ok);
        EXPECT_TRUE(Near(d.At(2, 1), c.read, 0)) << int(c.kind);
        EXPECT_EQ(bool(d.hasAlpha), c.alpha) << int(c.kind);
        EXPECT_EQ(d.side, 4);
    }
}

TEST_F(ImageDecodeTest, IndexedPngWithTransparencyExpandsOrKeepsIndices)
{
    std::vector<Rgba> palette = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};
    std::vector<std::uint8_t> indices = {0, 1, 2, 1, 0, 2};
    WriteIndexedPng("i.png", 3, 2, 8, indices, palette, {0, 128});

    Decoded colours;
    LoadPng(colours, "i.png");
    ASSERT_TRUE(colours.ok);
    EXPECT_TRUE(colours.hasAlpha);
    EXPECT_TRUE(Near(colours.At(0, 0), {255, 0, 0, 0}, 0));
    EXPECT_TRUE(Near(colours.At(1, 0), {0, 255, 0, 128}, 0));
    EXPECT_TRUE(Near(colours.At(2, 0), {0, 0, 255, 255}, 0));

    Decoded kept;
    LoadPng(kept, "i.png", nullptr, true, true);
    ASSERT_TRUE(kept.ok);
    ASSERT_NE(kept.palette, nullptr);
    EXPECT_EQ(kept.side, 4);
    EXPECT_TRUE(kept.hasAlpha);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(kept.pixels[(i / 3) * 4 + i % 3], indices[i]);
    // Palette entries are B, G, R, A; alpha from tRNS, 255 past it; past the file's entries black, opaque.
    EXPECT_EQ(kept.palette[0], 0);
    EXPECT_EQ(kept.palette[2], 255);
    EXPECT_EQ(kept.palette[3], 0);
    EXPECT_EQ(kept.palette[4 + 3], 128);
    EXPECT_EQ(kept.palette[8 + 0], 255);
    EXPECT_EQ(kept.palette[8 + 3], 255);
    EXPECT_EQ(kept.palette[200 * 4 + 0], 0);
    EXPECT_EQ(kept.palette[200 * 4 + 3], 255);
}

TEST_F(ImageDecodeTest, PaletteModeExpandsSmallBitDepthsToOneBytePerIndex)
{
    std::vector<Rgba> palette = {{0, 0, 0, 255}, {255, 255, 255, 255}, {9, 9, 9, 255}, {1, 2, 3, 255}};
    std::vector<std::uint8_t> indices;
    for (int i = 0; i < 13 * 5; ++i)
        indices.push_back(std::uint8_t(i % 4));
    WriteIndexedPng("two.png", 13, 5, 2, indices, palette);
    std::vector<std::uint8_t> bits;
    for (int i = 0; i < 13 * 5; ++i)
        bits.push_back(std::uint8_t(i % 2));
    WriteIndexedPng("one.png", 13, 5, 1, bits, {{0, 0, 0, 255}, {255, 255, 255, 255}});

    Decoded two, one;
    LoadPng(two, "two.png", nullptr, true, true);
    LoadPng(one, "one.png", nullptr, true, true);
    ASSERT_TRUE(two.ok && one.ok);
    EXPECT_EQ(two.side, 16);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 13; ++x) {
            EXPECT_EQ(two.pixels[y * 16 + x], indices[y * 13 + x]);
            EXPECT_EQ(one.pixels[y * 16 + x], bits[y * 13 + x]);
        }
    EXPECT_EQ(two.pixels[5 * 16], 0);

    // Palette mode on a colour image fails instead of overrunning.
    WritePng("rgb.png", 4, 4, PngKind::Rgb, Solid(4, 4, {1, 2, 3, 255}));
    Decoded colour;
    LoadPng(colour, "rgb.png", nullptr, true, true);
    EXPECT_FALSE(colour.ok);
    EXPECT_EQ(colour.pixels, nullptr);
}

TEST_F(ImageDecodeTest, RiffPaletteReplacesColoursIncludingTheLastEntry)
{
    std::vector<Rgba> palette = {{255, 0, 0, 255}, {0, 255, 0, 255}};
    WriteIndexedPng("p.png", 2, 1, 8, {0, 1}, palette);
    WritePal("swap.pal", {{1, 2, 3, 0}, {4, 5, 6, 0}});
    WriteBytes("notriff.pal", {'J', 'U', 'N', 'K', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});

    Decoded swapped, unchanged, missing;
    LoadPng(swapped, "p.png", "swap.pal");
    LoadPng(unchanged, "p.png", "notriff.pal");
    LoadPng(missing, "p.png", "nowhere.pal");
    ASSERT_TRUE(swapped.ok && unchanged.ok && missing.ok);
    EXPECT_TRUE(Near(swapped.At(0, 0), {1, 2, 3, 255}, 0));
    EXPECT_TRUE(Near(swapped.At(1, 0), {4, 5, 6, 255}, 0));
    EXPECT_TRUE(Near(unchanged.At(0, 0), {255, 0, 0, 255}, 0));
    EXPECT_TRUE(Near(missing.At(1, 0), {0, 255, 0, 255}, 0));
}

TEST_F(ImageDecodeTest, BaselineProgressiveAndGreyJpegs)
{
    std::vector<Rgba> pixels(24 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            pixels[y * 24 + x] = x < 8 ? Rgba{200, 30, 40, 255} : x < 16 ? Rgba{20, 180, 60, 255} : Rgba{10, 20, 220, 255};
    WriteJpeg("base.jpg", 24, 16, pixels, false);
    WriteJpeg("prog.jpg", 24, 16, pixels, true);
    WriteJpeg("grey.jpg", 24, 16, Solid(24, 16, {120, 0, 0, 255}), false, true);
    for (const char* name : {"base.jpg", "prog.jpg"}) {
        Decoded d;
        LoadJpeg(d, name);
        ASSERT_TRUE(d.ok) << name;
        EXPECT_EQ(d.side, 32);
        EXPECT_TRUE(Near(d.At(3, 3), {200, 30, 40, 255}, 6)) << name;
        EXPECT_TRUE(Near(d.At(11, 8), {20, 180, 60, 255}, 6)) << name;
        EXPECT_TRUE(Near(d.At(20, 12), {10, 20, 220, 255}, 6)) << name;
        // Outside the image the buffer is zero.
        EXPECT_TRUE(Near(d.At(30, 30), {0, 0, 0, 0}, 0)) << name;
        EXPECT_TRUE(Near(d.At(5, 20), {0, 0, 0, 0}, 0)) << name;
    }
    Decoded grey;
    LoadJpeg(grey, "grey.jpg");
    ASSERT_TRUE(grey.ok);
    Rgba g = grey.At(4, 4);
    EXPECT_EQ(g.r, g.g);
    EXPECT_EQ(g.g, g.b);
    EXPECT_NEAR(g.r, 120, 2);
    EXPECT_EQ(g.a, 255);
}

TEST_F(ImageDecodeTest, CorruptTruncatedAndHugeFilesFailWithoutEndingTheProcess)
{
    WritePng("good.png", 16, 16, PngKind::Rgba, Solid(16, 16, {1, 2, 3, 4}));
    WriteJpeg("good.jpg", 16, 16, Solid(16, 16, {1, 2, 3, 255}), false);
    auto png = ReadBytes("good.png");
    auto jpg = ReadBytes("good.jpg");
    WriteBytes("short.png", std::vector<std::uint8_t>(png.begin(), png.begin() + png.size() / 2));
    WriteBytes("short.jpg", std::vector<std::uint8_t>(jpg.begin(), jpg.begin() + 40));
    auto mangled = jpg;
    for (std::size_t i = 20; i < mangled.size(); i += 7)
        mangled[i] ^= 0x5a;
    WriteBytes("mangled.jpg", mangled);
    WriteBytes("text.png", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'});
    // Larger than the texture limit.
    WritePng("wide.png", kMaxImageSide + 1, 1, PngKind::Grey, Solid(kMaxImageSide + 1, 1, {0, 0, 0, 255}));
    WriteJpeg("tall.jpg", 8, kMaxImageSide + 8, Solid(8, kMaxImageSide + 8, {0, 0, 0, 255}), false, true, 10);

    for (const char* name : {"short.png", "text.png", "missing.png", "wide.png"}) {
        Decoded d;
        LoadPng(d, name);
        EXPECT_FALSE(d.ok) << name;
        EXPECT_EQ(d.pixels, nullptr) << name;
    }
    for (const char* name : {"short.jpg", "text.png", "missing.jpg", "tall.jpg"}) {
        Decoded d;
        LoadJpeg(d, name);
        EXPECT_FALSE(d.ok) << name;
    }
    // A mangled body may decode to noise or fail; either way the process goes on.
    Decoded d;
    LoadJpeg(d, "mangled.jpg");
    SUCCEED();
}

TEST(PowerOfTwoSide, SmallestPowerNotBelowTheLargerSide)
{
    EXPECT_EQ(PowerOfTwoSide(1, 1), 1);
    EXPECT_EQ(PowerOfTwoSide(0, 0), 1);
    EXPECT_EQ(PowerOfTwoSide(20, 10), 32);
    EXPECT_EQ(PowerOfTwoSide(64, 64), 64);
    EXPECT_EQ(PowerOfTwoSide(3, 65), 128);
}

}  // namespace
