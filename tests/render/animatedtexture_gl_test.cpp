// Animated textures on a real GL context: frames made by the packer are
// drawn to the screen framebuffer and read back, so the copy into the
// texture's surface, the registration point and the cache path are checked
// on the back end the game runs on.
#include "engine/render/animatedtexture.h"
#include "engine/render/gl/gldisplayhandler.h"

#include "glcontext.h"
#include "testimages.h"
#include "tools/anmpack/anmpack.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace testimages;

namespace {

class AnimatedTextureGLTest : public ::testing::Test {
protected:
    ScratchDir scratch;
    TestGLContext context;
    TAssetManager assets;
    std::unique_ptr<TGLDisplayHandler> handler;
    std::shared_ptr<TAnimatedTexture> walk;

    void SetUp() override
    {
        ASSERT_TRUE(context.Ok()) << context.Error();
        handler = std::make_unique<TGLDisplayHandler>();
        ASSERT_TRUE(handler->SetDisplay(800, 600, false, false, false, false));
        handler->BeginDraw(false);

        // Frame 0: 10x20 red; frame 1: 20x10 green with a 2-pixel blue left edge.
        WritePng("red.png", 10, 20, PngKind::Rgba, Solid(10, 20, {255, 0, 0, 255}));
        std::vector<Rgba> green = Solid(20, 10, {0, 255, 0, 255});
        for (int y = 0; y < 10; ++y)
            green[y * 20] = green[y * 20 + 1] = {0, 0, 255, 255};
        WritePng("green.png", 20, 10, PngKind::Rgba, green);
        anmpack::Animation a = anmpack::ParseDescription(
            "sequence walk\nframe a red.png reg 5 20\nframe b green.png reg 0 5\n", ".");
        a.image = "walk.png";
        anmpack::Image sheet = anmpack::PackSheet(a);
        std::string error;
        ASSERT_TRUE(anmpack::WritePng("walk.png", sheet, &error)) << error;
        std::vector<std::uint8_t> bytes = anmpack::EncodeAnm(a);
        ASSERT_TRUE(anmpack::WriteFile("walk.anm", std::string(bytes.begin(), bytes.end()), &error)) << error;
        walk = TAnimatedTexture::Get("walk.anm");
        ASSERT_TRUE(walk);
    }

    void TearDown() override
    {
        if (context.Ok()) {
            EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        }
    }

    Rgba Pixel(int x, int y)
    {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, handler->GetScreenFramebuffer());
        Bgra p = ReadFramebufferPixel(x, y);
        return {p.r, p.g, p.b, p.a};
    }

    void ExpectPixel(int x, int y, Rgba expected)
    {
        Rgba p = Pixel(x, y);
        EXPECT_TRUE(std::abs(p.r - expected.r) <= 2 && std::abs(p.g - expected.g) <= 2 &&
                    std::abs(p.b - expected.b) <= 2)
            << "at (" << x << ", " << y << "): got " << int(p.r) << "," << int(p.g) << "," << int(p.b);
    }
};

const Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255}, kBlack{0, 0, 0, 255};

TEST_F(AnimatedTextureGLTest, EachFrameLandsWithItsRegistrationPointOnThePosition)
{
    handler->Begin2d();
    walk->SetCurrentFrame(0);  // reg (5, 20): the bottom middle
    walk->DrawSprite(100, 100, 1, 1, 0, 0);
    walk->SetCurrentFrame(1);  // reg (0, 5): the middle of the left edge
    walk->DrawSprite(300, 100, 1, 1, 0, 0);
    walk->SetCurrentFrame(-1);
    walk->DrawSprite(500, 100, 1, 1, 0, 0);
    handler->End2d();

    ExpectPixel(95, 80, kRed);
    ExpectPixel(104, 99, kRed);
    ExpectPixel(94, 90, kBlack);
    ExpectPixel(105, 90, kBlack);
    ExpectPixel(100, 100, kBlack);

    ExpectPixel(300, 95, kBlue);
    ExpectPixel(301, 104, kBlue);
    ExpectPixel(302, 100, kGreen);
    ExpectPixel(319, 100, kGreen);
    ExpectPixel(320, 100, kBlack);
    ExpectPixel(299, 100, kBlack);
    ExpectPixel(310, 94, kBlack);

    ExpectPixel(500, 100, kBlack);
}

TEST_F(AnimatedTextureGLTest, CachedDrawsShowDifferentFramesOfOneTextureInOneFrame)
{
    TAnimatedTextureCache cache(32, 32, 2);
    handler->Begin2d();
    walk->SetCurrentFrame(0);
    walk->DrawSprite(&cache, TVec2{100, 300}, 1, 1, 0, nullptr, 0);
    walk->SetCurrentFrame(1);
    walk->DrawSprite(&cache, TVec2{300, 300}, 1, 1, 0, nullptr, 0);
    handler->End2d();

    ExpectPixel(95, 280, kRed);
    ExpectPixel(104, 299, kRed);
    ExpectPixel(105, 290, kBlack);
    ExpectPixel(300, 295, kBlue);
    ExpectPixel(310, 300, kGreen);
    ExpectPixel(320, 300, kBlack);
}

}  // namespace
