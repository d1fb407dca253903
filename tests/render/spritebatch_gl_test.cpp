// Sprites queued into one draw call: order across texture changes and other
// drawing, read back from the screen framebuffer.
#include "engine/render/gl/gldisplayhandler.h"
#include "engine/render/texture.h"

#include "glcontext.h"

#include <gtest/gtest.h>

namespace {

class SpriteBatchGLTest : public ::testing::Test {
protected:
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

    void TearDown() override
    {
        if (context.Ok()) {
            EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        }
    }

    std::shared_ptr<TTexture> Solid(TColor colour)
    {
        auto texture = TTexture::Create(64, 64, true);
        handler->FillRect(0, 0, 64, 64, &colour, texture);
        return texture;
    }

    // R, G, B of the screen at engine (x, y).
    std::array<int, 3> Pixel(int x, int y)
    {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, handler->GetScreenFramebuffer());
        Bgra p = ReadFramebufferPixel(x, y);
        return {p.r, p.g, p.b};
    }
};

using Rgb = std::array<int, 3>;
const Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};

TEST_F(SpriteBatchGLTest, ATextureChangeSplitsTheBatchAndKeepsTheDrawingOrder)
{
    auto red = Solid({1, 0, 0, 1});
    auto green = Solid({0, 1, 0, 1});
    handler->Begin2d();
    int callsBefore = handler->GetSpriteDrawCalls();
    red->DrawSprite(100, 100, 1, 1, 0, 0);
    red->DrawSprite(400, 100, 1, 1, 0, 0);
    green->DrawSprite(132, 100, 1, 1, 0, 0);  // over the right half of the first red
    red->DrawSprite(164, 100, 1, 1, 0, 0);    // over the right half of the green
    handler->End2d();

    EXPECT_EQ(handler->GetSpriteDrawCalls() - callsBefore, 3);  // red, red | green | red
    EXPECT_EQ(Pixel(80, 100), kRed);
    EXPECT_EQ(Pixel(120, 100), kGreen);
    EXPECT_EQ(Pixel(150, 100), kRed);
    EXPECT_EQ(Pixel(190, 100), kRed);
    EXPECT_EQ(Pixel(400, 100), kRed);
}

TEST_F(SpriteBatchGLTest, OtherDrawingBetweenSpritesKeepsItsPlace)
{
    auto red = Solid({1, 0, 0, 1});
    TColor blue{0, 0, 1, 1};
    handler->Begin2d();
    red->DrawSprite(100, 300, 1, 1, 0, 0);
    handler->FillRect(110, 290, 150, 310, &blue, nullptr);  // over the first sprite, under the second
    red->DrawSprite(164, 300, 1, 1, 0, 0);
    handler->SetBlendMode(kBlendOff);  // a state change between sprites of one texture
    red->DrawSprite(300, 300, 1, 1, 0, 0);
    handler->End2d();

    EXPECT_EQ(Pixel(120, 300), kBlue);
    EXPECT_EQ(Pixel(140, 300), kRed);
    EXPECT_EQ(Pixel(300, 300), kRed);
}

}  // namespace
