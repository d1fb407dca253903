// Textures on the headless back end: loading, keys, options, palettes,
// masks and pixel access without a display.
#include "engine/render/texture.h"

#include "testimages.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace testimages;

namespace {

class TextureTest : public ::testing::Test {
protected:
    ScratchDir scratch;
    TAssetManager assets;

    // B, G, R, A of locked pixel (x, y).
    static Rgba Pixel(TTexture& t, int x, int y)
    {
        unsigned char* p = nullptr;
        int w = 0, h = 0, pitch = 0;
        EXPECT_TRUE(t.Lock(&p, &w, &h, &pitch));
        const unsigned char* at = p + y * pitch + x * 4;
        Rgba result{at[2], at[1], at[0], at[3]};
        t.Unlock();
        return result;
    }
};

bool Same(Rgba a, Rgba b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

TEST_F(TextureTest, NamesKeysExtensionsAndTheAssetsFolder)
{
    std::filesystem::create_directories("art");
    std::filesystem::create_directories("assets");
    WritePng("art/a.png", 4, 4, PngKind::Rgba, Solid(4, 4, {1, 2, 3, 4}));
    WritePng("assets/b.png", 2, 2, PngKind::Rgb, Solid(2, 2, {9, 9, 9, 255}));
    WritePng("p.png", 2, 2, PngKind::Rgb, Solid(2, 2, {200, 0, 0, 255}));
    WriteJpeg("j.jpg", 8, 8, Solid(8, 8, {0, 0, 200, 255}), false);
    // Backslash and slash names share one texture under the slash key.
    auto slash = TTexture::Get("art/a.png");
    ASSERT_TRUE(slash);
    EXPECT_EQ(TTexture::Get("art\\a.png"), slash);
    EXPECT_EQ(assets.GetAsset("art/a.png:tex"), slash);
    EXPECT_EQ(TTexture::TextureHandle("x\\y.png", false, true, true), str("x/y.png:a:m:tex"));
    EXPECT_EQ(TTexture::TextureHandle("x.png", true, false, false), str("x.png:s:tex"));
    EXPECT_EQ(TTexture::TextureHandle("x.png", str("m.png"), true, true), str("x.png:m.png:m:tex"));
    // A released texture is loaded afresh; failures register nothing.
    std::weak_ptr<TTexture> watch = slash;
    slash.reset();
    EXPECT_TRUE(watch.expired());
    EXPECT_TRUE(TTexture::Get("art/a.png"));
    EXPECT_FALSE(TTexture::Get("nothing.png"));
    EXPECT_FALSE(assets.GetAsset("nothing.png:tex"));
    EXPECT_TRUE(TTexture::Get("b.png"));  // found under assets/
    // Names without an extension try ".png" then ".jpg"; a missing ".png" is not retried as ".jpg".
    auto png = TTexture::Get("p");
    auto jpg = TTexture::Get("j");
    ASSERT_TRUE(png && jpg);
    EXPECT_NE(std::string(png->GetName().c_str()).find("p.png"), std::string::npos);
    EXPECT_EQ(jpg->GetWidth(), 8);
    EXPECT_FALSE(TTexture::Get("j.png"));
}

TEST_F(TextureTest, SizesOfLoadedSimpleAndCreatedTextures)
{
    WritePng("s.png", 20, 10, PngKind::Rgb, Solid(20, 10, {1, 1, 1, 255}));
    WritePng("one.png", 1, 1, PngKind::Rgb, Solid(1, 1, {1, 1, 1, 255}));
    auto square = TTexture::Get("s.png");
    auto simple = TTexture::GetSimple("s.png");
    ASSERT_TRUE(square && simple);
    EXPECT_EQ(square->GetWidth(), 20);
    EXPECT_EQ(square->GetHeight(), 10);
    EXPECT_NE(simple, square);
    EXPECT_TRUE(simple->IsSimple());
    const std::pair<std::shared_ptr<TTexture>, TPoint> cases[] = {
        {square, {32, 32}}, {simple, {32, 16}}, {TTexture::Create(5, 3, true), {8, 8}}, {TTexture::Get("one.png"), {1, 1}}};
    for (const auto& [texture, internal] : cases) {
        ASSERT_TRUE(texture);
        TPoint size;
        texture->GetInternalSize(&size);
        EXPECT_EQ(size.x, internal.x);
        EXPECT_EQ(size.y, internal.y);
    }
    EXPECT_FALSE(TTexture::Create(0, 4, true));
}

TEST_F(TextureTest, CreatedTexturesAreRegisteredUntilTheyDie)
{
    auto created = TTexture::Create(4, 4, false);
    str key = str::getFormatted("%p:tex:r", static_cast<void*>(created.get()));
    EXPECT_EQ(assets.GetAsset(key), created);
    created.reset();
    EXPECT_FALSE(assets.GetAsset(key));
}

TEST_F(TextureTest, OptionsAfterTheQuestionMarkAreFoundAnywhere)
{
    WritePng("o.png", 4, 4, PngKind::Rgb, Solid(4, 4, {1, 1, 1, 255}));
    WriteJpeg("oj.jpg", 8, 8, Solid(8, 8, {9, 9, 9, 255}), false);
    auto rt = TTexture::Get("o.png?rt");
    ASSERT_TRUE(rt);
    EXPECT_TRUE(rt->GetData()->HasFlag(TTextureData::kRenderTarget));
    EXPECT_FALSE(rt->HasAlpha());
    auto several = TTexture::Get("o.png?xalphax,simple,slow", TTexture::kNoAlpha);
    ASSERT_TRUE(several);
    EXPECT_TRUE(several->HasAlpha());
    EXPECT_TRUE(several->IsSimple());
    EXPECT_TRUE(several->GetData()->IsSystemSurface());
    auto retried = TTexture::Get("o?alpha", TTexture::kNoAlpha);  // retried with ".png", the options stay
    ASSERT_TRUE(retried && retried->HasAlpha());
    // With neither force-alpha nor no-alpha, a PNG's own alpha decides even when
    // the name asks for "alpha"; an image without its own answer (a JPEG) takes the option.
    EXPECT_FALSE(TTexture::Get("o.png?alpha")->HasAlpha());
    EXPECT_TRUE(TTexture::Get("oj.jpg?alpha")->HasAlpha());
}

TEST_F(TextureTest, PalettesColourKeysAndMasksChangeThePixels)
{
    WriteIndexedPng("i.png", 2, 1, 8, {0, 1}, {{255, 0, 0, 255}, {0, 255, 0, 255}});
    WritePal("blue.pal", {{0, 0, 255, 0}, {7, 7, 7, 0}});
    WritePng("k.png", 2, 1, PngKind::Rgba, {{255, 0, 255, 255}, {255, 0, 254, 255}});
    WritePng("c.png", 4, 4, PngKind::Rgb, Solid(4, 4, {10, 20, 30, 255}));
    WritePng("m.png", 4, 4, PngKind::Rgb, Solid(4, 4, {66, 0, 0, 255}));
    const struct {
        std::shared_ptr<TTexture> texture;
        int x;
        Rgba expected;
    } cases[] = {
        {TTexture::Get("i.png"), 0, {255, 0, 0, 255}},
        {TTexture::Get("i.png?palette=blue.pal"), 0, {0, 0, 255, 255}},
        {TTexture::Get("i.png?palette=blue.pal"), 1, {7, 7, 7, 255}},
        {TTexture::Get("k.png?colorkeyed"), 0, {255, 0, 255, 0}},  // magenta is transparent
        {TTexture::Get("k.png?colorkeyed"), 1, {255, 0, 254, 255}},
        {TTexture::GetMerged("c.png", "m"), 2, {10, 20, 30, 66}},  // alpha from the mask's red
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.texture);
        Rgba got = Pixel(*c.texture, c.x, 0);
        EXPECT_TRUE(Same(got, c.expected)) << c.texture->GetName().c_str() << " at " << c.x << ": " << int(got.r)
                                           << "," << int(got.g) << "," << int(got.b) << "," << int(got.a);
    }
    EXPECT_TRUE(TTexture::GetMerged("c.png", "m")->HasAlpha());
    EXPECT_FALSE(TTexture::GetMerged("c.png", "nomask.png"));
}

TEST_F(TextureTest, UnlockMakesATextureWithoutAlphaOpaque)
{
    WritePng("t.png", 3, 3, PngKind::Rgba, Solid(3, 3, {5, 5, 5, 10}));
    auto opaque = TTexture::Get("t.png", TTexture::kNoAlpha);
    ASSERT_TRUE(opaque);
    EXPECT_FALSE(opaque->HasAlpha());
    unsigned char* p;
    int w, h, pitch;
    ASSERT_TRUE(opaque->Lock(&p, &w, &h, &pitch));
    EXPECT_EQ(w, 4);
    EXPECT_EQ(pitch, 16);
    opaque->Unlock();
    ASSERT_TRUE(opaque->Lock(&p, &w, &h, &pitch));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(p[y * pitch + x * 4 + 3], 255);
    EXPECT_EQ(p[3 * pitch + 3], 0);  // outside the image
    opaque->Unlock();
    EXPECT_FALSE(opaque->Lock(nullptr, &w, &h, &pitch));
}

TEST_F(TextureTest, FillRectWritesBgraPixelsClippedToTheSurface)
{
    auto texture = TTexture::Create(8, 8, true);
    auto slow = TTexture::Get("missing");  // no file: stays empty
    EXPECT_FALSE(slow);
    texture->GetData()->FillRect(-5, 6, 3, 100, TColor{1, 0.5f, 0, 0.5f});
    EXPECT_TRUE(Same(Pixel(*texture, 0, 7), {255, 127, 0, 127}));
    EXPECT_TRUE(Same(Pixel(*texture, 3, 7), {0, 0, 0, 0}));
    EXPECT_TRUE(Same(Pixel(*texture, 0, 5), {0, 0, 0, 0}));

    WritePng("w.png", 4, 2, PngKind::Rgb, Solid(4, 2, {0, 0, 0, 255}));
    auto system = TTexture::Get("w.png?slow");
    ASSERT_TRUE(system);
    ASSERT_TRUE(system->GetData()->IsSystemSurface());
    system->GetData()->FillRect(2, -3, 99, 1, TColor{0, 0, 1, 1});
    EXPECT_TRUE(Same(Pixel(*system, 3, 0), {0, 0, 255, 255}));
    EXPECT_TRUE(Same(Pixel(*system, 1, 0), {0, 0, 0, 255}));
    EXPECT_TRUE(Same(Pixel(*system, 3, 1), {0, 0, 0, 255}));
}

TEST_F(TextureTest, PalettizedTexturesCopyThroughTheCurrentPalette)
{
    WriteIndexedPng("pz.png", 2, 2, 4, {0, 1, 1, 0}, {{255, 0, 0, 255}, {0, 255, 0, 255}});
    WritePal("other.pal", {{0, 0, 255, 0}, {255, 255, 0, 0}});
    auto palettized = TTexture::Get("pz.png?palettized");
    ASSERT_TRUE(palettized);
    unsigned char* p;
    int w, h, pitch;
    EXPECT_FALSE(palettized->Lock(&p, &w, &h, &pitch));

    auto destination = TTexture::Create(4, 4, false);
    TRect all{0, 0, 2, 2};
    palettized->GetData()->DrawFast(1, 1, all, destination);
    EXPECT_TRUE(Same(Pixel(*destination, 1, 1), {255, 0, 0, 255}));
    EXPECT_TRUE(Same(Pixel(*destination, 2, 1), {0, 255, 0, 255}));
    EXPECT_TRUE(Same(Pixel(*destination, 0, 0), {0, 0, 0, 255}));  // made opaque by Unlock

    palettized->LoadPalette("other.pal");
    palettized->GetData()->DrawFast(1, 1, all, destination);
    EXPECT_TRUE(Same(Pixel(*destination, 1, 1), {0, 0, 255, 255}));
    EXPECT_TRUE(Same(Pixel(*destination, 2, 1), {255, 255, 0, 255}));
    // A missing palette keeps the current one.
    palettized->LoadPalette("none.pal");
    palettized->GetData()->DrawFast(0, 0, all, destination);
    EXPECT_TRUE(Same(Pixel(*destination, 0, 0), {0, 0, 255, 255}));
}

TEST_F(TextureTest, PalettizedTexturesKeepOnlyTheirIndicesAndCopyOutsideTheImageAsClear)
{
    // 3x2 on a surface of side 4: one index byte a pixel of the image's rows, no colour copy.
    WriteIndexedPng("pw.png", 3, 2, 4, {0, 1, 0, 1, 0, 1}, {{255, 0, 0, 255}, {0, 255, 0, 255}});
    auto palettized = TTexture::Get("pw.png?palettized");
    ASSERT_TRUE(palettized);
    EXPECT_TRUE(palettized->GetData()->IsSystemSurface());
    EXPECT_EQ(palettized->GetData()->GetCpuBytes(), 4u * 2);

    auto destination = TTexture::Create(8, 8, true);
    destination->GetData()->FillRect(0, 0, 8, 8, TColor{0, 0, 1, 1});
    // The source runs a column and a row past the image, and rows past the surface.
    palettized->GetData()->DrawFast(2, 3, TRect{0, 0, 4, 6}, destination);
    EXPECT_TRUE(Same(Pixel(*destination, 2, 3), {255, 0, 0, 255}));
    EXPECT_TRUE(Same(Pixel(*destination, 3, 3), {0, 255, 0, 255}));
    EXPECT_TRUE(Same(Pixel(*destination, 3, 4), {255, 0, 0, 255}));
    EXPECT_TRUE(Same(Pixel(*destination, 5, 3), {0, 0, 0, 0}));  // beside the image
    EXPECT_TRUE(Same(Pixel(*destination, 2, 5), {0, 0, 0, 0}));  // below it, on the surface
    EXPECT_TRUE(Same(Pixel(*destination, 2, 7), {0, 0, 255, 255}));  // past the surface: untouched
    EXPECT_TRUE(Same(Pixel(*destination, 1, 3), {0, 0, 255, 255}));
}

TEST_F(TextureTest, TextureToTextureCopyKeepsTheDestinationsSizeAndOtherPixels)
{
    auto source = TTexture::Create(4, 4, true);
    source->GetData()->FillRect(0, 0, 4, 4, TColor{1, 0, 0, 1});
    auto destination = TTexture::Create(8, 8, true);
    destination->GetData()->FillRect(0, 0, 8, 8, TColor{0, 1, 0, 1});
    source->GetData()->DrawFast(5, 6, TRect{1, 1, 3, 3}, destination);
    TPoint size;
    destination->GetInternalSize(&size);
    EXPECT_EQ(size.x, 8);
    EXPECT_TRUE(Same(Pixel(*destination, 5, 6), {255, 0, 0, 255}));
    EXPECT_TRUE(Same(Pixel(*destination, 6, 7), {255, 0, 0, 255}));
    EXPECT_TRUE(Same(Pixel(*destination, 7, 7), {0, 255, 0, 255}));
    EXPECT_TRUE(Same(Pixel(*destination, 4, 6), {0, 255, 0, 255}));
}

TEST_F(TextureTest, AssetMapsLoadImagesByName)
{
    WritePng("m.png", 2, 2, PngKind::Rgb, Solid(2, 2, {1, 1, 1, 255}));
    TAssetMap map;
    map.AddAsset("m.png");
    map.AddAsset("notes.txt");
    EXPECT_EQ(map.Count(), 1);
    EXPECT_TRUE(assets.GetAsset("m.png:tex"));
}

TEST_F(TextureTest, DrawingOutsideBegin2dIsRefused)
{
    auto texture = TTexture::Create(4, 4, true);
    testing::internal::CaptureStderr();
    texture->Draw(0, 0);
    texture->DrawSprite(1, 1, 1, 1, 0, 0);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Attempt to call TTexture::Draw outside of Begin2d/End2d"), std::string::npos);
    EXPECT_NE(log.find("Attempt to call TTexture::DrawSprite outside of Begin2d/End2d"), std::string::npos);
}

}  // namespace

TEST_F(TextureTest, MissingAndDamagedPicturesAndPalettesAreNamedOnceHoweverOftenAskedFor)
{
    WritePng("good.png", 4, 4, PngKind::Rgb, Solid(4, 4, {1, 2, 3, 255}));
    WriteBytes("cut.png", {0x89, 'P', 'N', 'G'});
    WriteBytes("empty.png", {});
    WriteIndexedPng("pz.png", 2, 2, 4, {0, 1, 1, 0}, {{255, 0, 0, 255}, {0, 255, 0, 255}});
    WriteBytes("broken.pal", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'a', 'l'});
    auto palettized = TTexture::Get("pz.png?palettized");
    ASSERT_TRUE(palettized);

    testing::internal::CaptureStderr();
    for (int frame = 0; frame < 3; ++frame) {
        for (const char* name : {"cut.png", "empty.png", "absent.png", "absent"})
            EXPECT_FALSE(TTexture::Get(name)) << name;
        palettized->LoadPalette("broken.pal");
        palettized->LoadPalette("none.pal");
    }
    const std::string log = testing::internal::GetCapturedStderr();
    const auto count = [&](const std::string& text) {
        int n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("cut.png"), 1) << log;
    EXPECT_EQ(count("empty.png"), 1) << log;
    EXPECT_EQ(count("Image absent.png not found"), 1) << log;
    EXPECT_EQ(count("Image absent not found"), 1) << log;
    EXPECT_EQ(count("broken.pal"), 1) << log;
    EXPECT_EQ(count("Palette none.pal not found"), 1) << log;
    EXPECT_EQ(count("\n"), 6) << log;
    EXPECT_TRUE(TTexture::Get("good.png"));
}
