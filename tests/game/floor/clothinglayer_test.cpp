// The waitress's clothing colours: the colour list of colors.inf, the tint
// rule on single pixels, and two figures wearing the same item in different
// colours, each on a copy of its own while the shared sheet stays as drawn.
#include "floor_fixture.h"

#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "game/floor/clothinglayer.h"
#include "game/floor/quessacolors.h"

#include <filesystem>

namespace {

const char* const kColours =
    "<?xml version=\"1.0\"?>\n<clothing><color name=\"default_top\" r=\"255\" g=\"0\" b=\"0\"/>"
    "<note name=\"skipped\"/><color name=\"sky\" r=\"0\" g=\"102\" b=\"255\"/></clothing>\n";

struct TPixel {
    unsigned char b, g, r, a;
};

TPixel PixelAt(const std::shared_ptr<TTexture>& texture, int x, int y)
{
    unsigned char* pixels = nullptr;
    int w = 0, h = 0, pitch = 0;
    if (!texture || !texture->Lock(&pixels, &w, &h, &pitch))
        return TPixel{};
    const unsigned char* p = pixels + y * pitch + 4 * x;
    TPixel out{p[0], p[1], p[2], p[3]};
    texture->Unlock();
    return out;
}

}  // namespace

class ClothingTint : public FloorTest {
protected:
    void SetUp() override
    {
        FloorTest::SetUp();
        WriteAsset("quessa/colors.inf", kColours);
        colours = std::make_unique<TQuessaColors>();
    }
    void TearDown() override
    {
        colours.reset();
        FloorTest::TearDown();
    }
    // What the game's start-up makes.
    std::unique_ptr<TQuessaColors> colours;
};

TEST_F(ClothingTint, ColoursAreReadInFileOrderAndPixelsTintByTheRule)
{
    EXPECT_EQ(TQuessaColors::ColorName(0), str("default_top"));
    EXPECT_EQ(TQuessaColors::ColorName(1), str("sky"));
    EXPECT_EQ(TQuessaColors::ColorName(2), str(""));
    EXPECT_EQ(TQuessaColors::Find("sky")->b, 1.0f);
    EXPECT_TRUE(TQuessaColors::Parse("<other/>").empty());
    EXPECT_EQ(TQuessaColors::GetInstance(), colours.get());

    const TColor red{1, 0, 0, 1};
    struct {
        TPixel in;  // blue, green, red, alpha
        TPixel out;
    } const cases[] = {
        {{255, 0, 255, 255}, {0, 0, 255, 255}},        // marked: pure red
        {{128, 128, 128, 255}, {128, 128, 128, 255}},  // grey is never tinted
        {{200, 0, 100, 255}, {200, 0, 100, 255}},      // blue and red too far apart
        {{102, 10, 120, 200}, {0, 0, 102, 200}},       // lightness 0.4, alpha kept
    };
    for (const auto& c : cases) {
        TPixel p = c.in;
        TClothingLayer::TintPixel(&p.b, red);
        EXPECT_EQ((std::array<int, 4>{p.b, p.g, p.r, p.a}),
                  (std::array<int, 4>{c.out.b, c.out.g, c.out.r, c.out.a}));
    }
}

TEST_F(ClothingTint, EachFigureTintsItsOwnCopyOfASharedItem)
{
    // The game's own top, copied into this test's data folder.
    const std::filesystem::path data = std::filesystem::path(QM_DATA_DIR) / "assets/quessa";
    for (const char* name : {"top1.anm", "top1.png", "base.anm", "base.png"})
        std::filesystem::copy_file(data / name, mHome / "assets/quessa" / name,
                                   std::filesystem::copy_options::overwrite_existing);
    MakeWaitress();
    TQuessa second(nullptr);
    waitress->PutOnClothing(TQuessa::kTop, "assets/quessa/top1.anm", "default_top");
    second.PutOnClothing(TQuessa::kTop, "assets/quessa/top1.anm", "sky");
    second.PutOnClothing(TQuessa::kApron, "<off>", "");
    EXPECT_EQ(second.GetLayer(TQuessa::kApron), nullptr);

    const TClothingLayer* mine = waitress->GetLayer(TQuessa::kTop);
    const TClothingLayer* theirs = second.GetLayer(TQuessa::kTop);
    ASSERT_TRUE(mine && theirs && mine->GetSheet() && theirs->GetSheet());
    EXPECT_NE(mine->GetSheet(), theirs->GetSheet());
    auto shared = TAnimatedTexture::Get("assets/quessa/top1.anm")->GetAllFrames();

    // Find a marked pixel of the shared sheet and see what became of it.
    unsigned char* pixels = nullptr;
    int w = 0, h = 0, pitch = 0;
    ASSERT_TRUE(shared->Lock(&pixels, &w, &h, &pitch));
    int mx = -1, my = -1;
    for (int y = 0; y < h && mx < 0; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned char* p = pixels + y * pitch + 4 * x;
            if (p[3] == 255 && p[0] == 209 && p[2] == 209) {
                mx = x, my = y;
                break;
            }
        }
    shared->Unlock();
    ASSERT_GE(mx, 0);
    const TPixel original = PixelAt(shared, mx, my);
    const TPixel red = PixelAt(mine->GetSheet(), mx, my);
    const TPixel sky = PixelAt(theirs->GetSheet(), mx, my);
    EXPECT_EQ((std::array<int, 3>{original.r, original.g, original.b}), (std::array<int, 3>{209, 0, 209}));
    EXPECT_EQ((std::array<int, 3>{red.r, red.g, red.b}), (std::array<int, 3>{209, 0, 0}));
    EXPECT_EQ((std::array<int, 3>{sky.r, sky.g, sky.b}), (std::array<int, 3>{0, 83, 209}));

    // After a loss of textures the refresh puts the same colours on again.
    waitress->ApplyClothing();
    const TPixel again = PixelAt(waitress->GetLayer(TQuessa::kTop)->GetSheet(), mx, my);
    EXPECT_EQ(again.b, 0);
}

TEST_F(ClothingTint, WithoutTheColourListNothingIsTintedAndNothingIsRead)
{
    // Outside the game's start-up there is no list, and asking for a colour
    // never reads one.
    colours.reset();
    EXPECT_EQ(TQuessaColors::GetInstance(), nullptr);
    EXPECT_EQ(TQuessaColors::ColorName(0), str(""));
    EXPECT_EQ(TQuessaColors::Find("sky"), nullptr);
    EXPECT_EQ(TQuessaColors::GetInstance(), nullptr);

    // A list made from text is published until it goes.
    {
        TQuessaColors own(TQuessaColors::Parse(kColours));
        EXPECT_EQ(TQuessaColors::GetInstance(), &own);
        EXPECT_EQ(TQuessaColors::ColorName(1), str("sky"));
    }
    EXPECT_EQ(TQuessaColors::GetInstance(), nullptr);
}
