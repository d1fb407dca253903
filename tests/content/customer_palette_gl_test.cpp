// A customer figure made by the data build, drawn by the engine on GL in all
// five party colours through its ".pal" files, the way the game draws one:
// the shared palettized body sheet with a palette loaded before each draw,
// and the legs texture named with its "?palette=" option. The read-back must
// differ between colours exactly where the picture uses a party entry of the
// palette, and match everywhere else.
#include "engine/render/animatedtexture.h"
#include "engine/render/gl/gldisplayhandler.h"
#include "engine/render/imagedecode.h"

#include "datafolder.h"
#include "glcontext.h"
#include "testimages.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const kColours[] = {"red", "blue", "green", "yellow", "purple"};
constexpr int kCount = 5;
const std::string kFolder = "customers/old_male/";

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

// The palette entries whose colour is not the same in every one of the files.
std::set<int> EntriesThatDiffer(const std::string& suffix)
{
    std::array<std::array<Rgb, 256>, kCount> colours{};
    std::set<int> differ;
    for (int c = 0; c < kCount; ++c) {
        std::FILE* file = std::fopen(("assets/" + kFolder + kColours[c] + suffix).c_str(), "rb");
        EXPECT_TRUE(file) << kColours[c] << suffix;
        if (!file)
            return differ;
        std::uint8_t rgb[256][3];
        int count = ReadRiffPalette(file, rgb);
        std::fclose(file);
        for (int i = 0; i < count; ++i)
            colours[c][i] = {rgb[i][0], rgb[i][1], rgb[i][2]};
    }
    for (int i = 0; i < 256; ++i)
        for (int c = 1; c < kCount; ++c)
            if (!(colours[c][i] == colours[0][i]))
                differ.insert(i);
    return differ;
}

// Palette indices of a PNG, row by row at the decoded square's pitch.
struct Indices {
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint8_t> alpha;  // per entry
    int side = 0;
    int At(int x, int y) const { return pixels[std::size_t(y) * side + x]; }
};

Indices ReadIndices(const std::string& path)
{
    unsigned char* pixels = nullptr;
    unsigned char* palette = nullptr;
    int w = 0, h = 0, side = 0, hasAlpha = 0;
    Indices out;
    if (!EzPngLoadImage(path.c_str(), &pixels, &w, &h, &side, nullptr, &hasAlpha, nullptr, &palette, true))
        return out;
    out.side = side;
    out.pixels.assign(pixels, pixels + std::size_t(side) * side);
    for (int i = 0; i < 256; ++i)
        out.alpha.push_back(palette[i * 4 + 3]);
    EzPngFreeImage(pixels, palette);
    return out;
}

class CustomerPaletteGLTest : public ::testing::Test {
protected:
    InDataFolder data;
    TestGLContext context;
    TAssetManager assets;
    std::unique_ptr<TGLDisplayHandler> handler;

    void SetUp() override
    {
        ASSERT_TRUE(context.Ok()) << context.Error();
        handler = std::make_unique<TGLDisplayHandler>();
        ASSERT_TRUE(handler->SetDisplay(800, 600, false, false, false, false));
        handler->BeginDraw(false);
    }

    Rgb Pixel(int x, int y)
    {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, handler->GetScreenFramebuffer());
        Bgra p = ReadFramebufferPixel(x, y);
        return {p.r, p.g, p.b};
    }

    // Where the five draws of one picture differ and match, against its indices.
    struct Tally {
        int partyPixels = 0, otherPixels = 0, wrong = 0;
    };
    Tally Compare(const Indices& indices, const std::set<int>& party, int sheetX, int sheetY, int w, int h,
                  const int (&left)[kCount], int top)
    {
        Tally tally;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int index = indices.At(sheetX + x, sheetY + y);
                if (indices.alpha[index] != 255)
                    continue;  // edges blend with the background; not part of the check
                std::array<Rgb, kCount> seen;
                for (int c = 0; c < kCount; ++c)
                    seen[c] = Pixel(left[c] + x, top + y);
                bool allSame = true, allDifferent = true;
                for (int a = 0; a < kCount; ++a)
                    for (int b = a + 1; b < kCount; ++b) {
                        allSame = allSame && seen[a] == seen[b];
                        allDifferent = allDifferent && !(seen[a] == seen[b]);
                    }
                bool isParty = party.count(index) != 0;
                (isParty ? tally.partyPixels : tally.otherPixels)++;
                if (isParty ? !allDifferent : !allSame)
                    tally.wrong++;
            }
        return tally;
    }

    void SaveScreen(const std::string& path)
    {
        std::vector<testimages::Rgba> pixels;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 800; ++x) {
                Rgb p = Pixel(x, y);
                pixels.push_back({p.r, p.g, p.b, 255});
            }
        testimages::WritePng(path, 800, 300, testimages::PngKind::Rgb, pixels);
    }
};

TEST_F(CustomerPaletteGLTest, FiveColoursDifferOnlyWherePaletteEntriesDiffer)
{
    auto body = TAnimatedTexture::Get((kFolder + "anim.anm").c_str(), "anim.png?palettized");
    ASSERT_TRUE(body);
    ASSERT_GT(body->GetNumFrames(), 20);
    const TAnimFrame& frame = body->GetAnimation().frames[0];
    int legsX = 0, legsY = 0;
    ASSERT_TRUE(body->GetAnchorPoint(0, "legs", &legsX, &legsY));

    std::array<std::shared_ptr<TTexture>, kCount> legs;
    int bodyLeft[kCount], legsLeft[kCount];
    const int y = 120;
    glClearColor(0.2f, 0.3f, 0.35f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    handler->Begin2d();
    for (int c = 0; c < kCount; ++c) {
        const int x = 80 + 150 * c;
        legs[c] = TTexture::Get((kFolder + "legs?palette=" + kFolder + kColours[c] + "_legs.pal").c_str());
        ASSERT_TRUE(legs[c]) << kColours[c];
        // The game draws every figure's legs before the bodies, legs centred on the anchor.
        legs[c]->DrawSprite(float(x + legsX), float(y + legsY), 1, 1, 0, 0);
        legsLeft[c] = x + legsX - legs[c]->GetWidth() / 2;
    }
    for (int c = 0; c < kCount; ++c) {
        const int x = 80 + 150 * c;
        body->LoadPalette((kFolder + kColours[c] + ".pal").c_str());
        body->SetCurrentFrame(0);
        body->DrawSprite(float(x), float(y), 1, 1, 0, 0);
        bodyLeft[c] = x - frame.regX;
    }
    handler->End2d();
    SaveScreen(data.Outside("customer_palettes.png"));

    Indices sheet = ReadIndices("assets/" + kFolder + "anim.png");
    ASSERT_GT(sheet.side, 0);
    Tally bodyTally = Compare(sheet, EntriesThatDiffer(".pal"), frame.x, frame.y, frame.w, frame.h, bodyLeft,
                              y - frame.regY);
    EXPECT_EQ(bodyTally.wrong, 0);
    EXPECT_GT(bodyTally.partyPixels, 500);
    EXPECT_GT(bodyTally.otherPixels, 500);

    // The legs sit below the body, which does not cover them in frame 0.
    Indices legsIndices = ReadIndices("assets/" + kFolder + "legs.png");
    const int legsTop = y + legsY - legs[0]->GetHeight() / 2;
    const int bodyBottom = y - frame.regY + frame.h;
    const int skip = std::max(0, bodyBottom - legsTop);
    Tally legsTally = Compare(legsIndices, EntriesThatDiffer("_legs.pal"), 0, skip, legs[0]->GetWidth(),
                              legs[0]->GetHeight() - skip, legsLeft, legsTop + skip);
    EXPECT_EQ(legsTally.wrong, 0);
    std::printf("body: %d party pixels and %d others checked; legs: %d and %d\n", bodyTally.partyPixels,
                bodyTally.otherPixels, legsTally.partyPixels, legsTally.otherPixels);
    EXPECT_GT(legsTally.partyPixels, 50);
    EXPECT_GT(legsTally.otherPixels, 20);
}

}  // namespace
