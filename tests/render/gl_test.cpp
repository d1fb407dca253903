// The GL display handler and GL textures on a real context (Mesa llvmpipe
// under Xvfb or SDL's offscreen driver). Every check reads pixels back from
// the 800x600 screen framebuffer, where engine (x, y) is row y, column x.
#include "engine/render/animatedtexture.h"
#include "engine/render/gl/gldisplayhandler.h"
#include "engine/render/gl/glquadprograms.h"
#include "engine/render/gl/glspritebatch.h"
#include "engine/render/gl/glstats.h"
#include "engine/render/gl/gltexturedata.h"
#include "engine/render/texture.h"

#include "glcontext.h"
#include "testimages.h"
#include "tools/anmpack/anmpack.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <numbers>
#include <random>

using namespace testimages;

namespace {

constexpr TColor kRed{1, 0, 0, 1};
constexpr TColor kGreen{0, 1, 0, 1};
constexpr TColor kBlue{0, 0, 1, 1};

class GLTest : public ::testing::Test {
protected:
    ScratchDir scratch;
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

    // The screen framebuffer's pixel at engine (x, y), as R, G, B, A.
    Rgba Pixel(int x, int y)
    {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, handler->GetScreenFramebuffer());
        Bgra p = ReadFramebufferPixel(x, y);
        return {p.r, p.g, p.b, p.a};
    }

    void ExpectPixel(int x, int y, Rgba expected, int tolerance = 2)
    {
        Rgba p = Pixel(x, y);
        EXPECT_TRUE(std::abs(p.r - expected.r) <= tolerance && std::abs(p.g - expected.g) <= tolerance &&
                    std::abs(p.b - expected.b) <= tolerance)
            << "at (" << x << ", " << y << "): got " << int(p.r) << "," << int(p.g) << "," << int(p.b)
            << " expected " << int(expected.r) << "," << int(expected.g) << "," << int(expected.b);
    }

    void Fill(int l, int t, int r, int b, TColor c) { handler->FillRect(l, t, r, b, &c, nullptr); }

    // The whole screen, top row first, from the screen framebuffer or from
    // the window's back buffer (0, whose rows run bottom up).
    static std::vector<Rgba> Screen(GLuint framebuffer)
    {
        std::vector<Rgba> rows(800 * 600);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        if (framebuffer == 0)
            glReadBuffer(GL_BACK);
        glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
        if (framebuffer == 0)
            for (int y = 0; y < 300; ++y)
                std::swap_ranges(rows.begin() + y * 800, rows.begin() + (y + 1) * 800, rows.begin() + (599 - y) * 800);
        return rows;
    }

    // A 64x64 texture: top left red, top right green, bottom left blue, bottom right white.
    std::shared_ptr<TTexture> Quadrants()
    {
        std::vector<Rgba> pixels(64 * 64);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                pixels[y * 64 + x] = y < 32 ? (x < 32 ? Rgba{255, 0, 0, 255} : Rgba{0, 255, 0, 255})
                                            : (x < 32 ? Rgba{0, 0, 255, 255} : Rgba{255, 255, 255, 255});
        WritePng("quad.png", 64, 64, PngKind::Rgba, pixels);
        return TTexture::Get("quad.png");
    }
};

const Rgba kRedPixel{255, 0, 0, 255}, kGreenPixel{0, 255, 0, 255}, kBluePixel{0, 0, 255, 255},
    kWhitePixel{255, 255, 255, 255}, kBlackPixel{0, 0, 0, 0};

TEST_F(GLTest, FillRectLandsWhereEngineCoordinatesSay)
{
    handler->Begin2d();
    Fill(10, 20, 30, 40, kRed);
    handler->End2d();
    ExpectPixel(10, 20, kRedPixel);
    ExpectPixel(29, 39, kRedPixel);
    ExpectPixel(30, 40, kBlackPixel);
    ExpectPixel(9, 20, kBlackPixel);
    ExpectPixel(20, 600 - 30, kBlackPixel);
}

TEST_F(GLTest, FillRectBlendsWithTheStoredBlendMode)
{
    handler->Begin2d();
    Fill(0, 0, 100, 100, kBlue);
    Fill(0, 0, 50, 100, TColor{1, 0, 0, 0.5f});
    handler->SetBlendMode(kBlendAdditive);
    Fill(50, 0, 100, 100, TColor{0, 0.5f, 0, 1});
    handler->End2d();
    ExpectPixel(10, 10, {128, 0, 127, 255});
    ExpectPixel(60, 10, {0, 128, 255, 255});
}

TEST_F(GLTest, ViewportsClipByScissorAndFillsClipToTheDisplay)
{
    auto texture = Quadrants();
    ASSERT_TRUE(texture);
    handler->Begin2d();
    handler->PushViewport(100, 100, 200, 200);
    int l, t, r, b;
    handler->GetViewport(&l, &t, &r, &b);
    EXPECT_EQ(l, 100);
    EXPECT_EQ(b, 200);
    // Sprite positions are relative to the viewport: this lands around (150, 150).
    texture->DrawSprite(50, 50, 1, 10, 0, 0);
    Fill(0, 0, 20, 20, kGreen);
    handler->GetViewport(&l, &t, &r, &b);
    EXPECT_EQ(l, 100);
    handler->PopViewport();
    handler->PopViewport();  // the bottom entry stays
    handler->GetViewport(&l, &t, &r, &b);
    EXPECT_EQ(r, 800);
    EXPECT_EQ(b, 600);
    handler->PushViewport(-50, -50, 100, 900);
    handler->GetViewport(&l, &t, &r, &b);
    EXPECT_EQ(l, 0);
    EXPECT_EQ(b, 600);
    handler->PopViewport();
    handler->End2d();

    Rgba inside = Pixel(150, 150);
    EXPECT_GT(int(inside.r) + inside.g + inside.b, 200);
    ExpectPixel(99, 150, kBlackPixel);
    ExpectPixel(200, 150, kBlackPixel);
    ExpectPixel(150, 99, kBlackPixel);
    ExpectPixel(150, 200, kBlackPixel);
    ExpectPixel(10, 10, kGreenPixel);
}

TEST_F(GLTest, AViewportClampedToNothingKeepsThePreviousScissor)
{
    handler->Begin2d();
    Fill(0, 0, 100, 100, kRed);
    handler->PushViewport(0, 0, 50, 50);
    handler->PushViewport(900, 900, 1000, 1000);
    handler->End2d();
    // The clear is limited by the scissor box in force: the 50x50 one.
    handler->BeginDraw(true);
    ExpectPixel(10, 10, kBlackPixel);
    ExpectPixel(49, 49, kBlackPixel);
    ExpectPixel(70, 70, kRedPixel);
    ExpectPixel(10, 60, kRedPixel);
}

TEST_F(GLTest, SpritesFlipAndRotateIntoTheExpectedQuadrants)
{
    auto texture = Quadrants();
    ASSERT_TRUE(texture);
    handler->Begin2d();
    handler->SetFilteringMode(kFilterPoint);
    texture->DrawSprite(100, 100, 1, 1, 0, 0);
    texture->DrawSprite(250, 100, 1, 1, 0, 1);
    texture->DrawSprite(400, 100, 1, 1, 0, 2);
    texture->DrawSprite(550, 100, 1, 1, 0, 3);
    texture->DrawSprite(100, 300, 1, 1, std::numbers::pi_v<float> / 2, 0);
    texture->DrawSprite(250, 300, -1, 2, 0, 0);  // negative alpha draws with its absolute value
    handler->End2d();

    auto expectQuadrants = [&](int cx, int cy, Rgba tl, Rgba tr, Rgba bl, Rgba br) {
        ExpectPixel(cx - 16, cy - 16, tl);
        ExpectPixel(cx + 16, cy - 16, tr);
        ExpectPixel(cx - 16, cy + 16, bl);
        ExpectPixel(cx + 16, cy + 16, br);
    };
    expectQuadrants(100, 100, kRedPixel, kGreenPixel, kBluePixel, kWhitePixel);
    expectQuadrants(250, 100, kGreenPixel, kRedPixel, kWhitePixel, kBluePixel);
    expectQuadrants(400, 100, kBluePixel, kWhitePixel, kRedPixel, kGreenPixel);
    expectQuadrants(550, 100, kWhitePixel, kBluePixel, kGreenPixel, kRedPixel);
    // A quarter turn clockwise: the top-left quadrant lands top right.
    expectQuadrants(100, 300, kBluePixel, kRedPixel, kWhitePixel, kGreenPixel);
    ExpectPixel(250 - 50, 300 - 50, kRedPixel);
    ExpectPixel(250 + 50, 300 + 50, kWhitePixel);
}

TEST_F(GLTest, DrawWithASourceRectangleDrawsOnlyThatRectangle)
{
    auto texture = Quadrants();
    ASSERT_TRUE(texture);
    handler->Begin2d();
    TRect topRight{32, 0, 64, 32};
    texture->Draw(500, 400, 1, 1, &topRight);
    handler->End2d();
    ExpectPixel(510, 410, kGreenPixel);
    ExpectPixel(531, 431, kGreenPixel);
    ExpectPixel(490, 410, kBlackPixel);
    ExpectPixel(510, 440, kBlackPixel);
}

TEST_F(GLTest, DrawWithNegativeAlphaDrawsTheTexturesOwnColoursAndAlpha)
{
    WritePng("half.png", 8, 8, PngKind::Rgba, Solid(8, 8, {255, 0, 0, 128}));
    auto texture = TTexture::Get("half.png");
    ASSERT_TRUE(texture && texture->HasAlpha());
    handler->Begin2d();
    Fill(0, 0, 200, 100, kBlue);
    texture->Draw(10, 10, -0.25f);  // the texture's alpha, not a quarter of it
    texture->Draw(50, 10, 0.25f);
    handler->End2d();
    ExpectPixel(12, 12, {128, 0, 127, 255}, 3);
    ExpectPixel(52, 12, {32, 0, 223, 255}, 3);
}

TEST_F(GLTest, IndexedImageDrawsInTwoColouringsThroughTwoPalettes)
{
    WriteIndexedPng("pz.png", 2, 2, 8, {0, 1, 1, 0}, {{255, 0, 0, 255}, {0, 255, 0, 255}});
    WritePal("other.pal", {{0, 0, 255, 0}, {255, 255, 0, 0}});
    auto palettized = TTexture::Get("pz.png?palettized");
    ASSERT_TRUE(palettized);
    auto first = TTexture::Create(2, 2, false);
    auto second = TTexture::Create(2, 2, false);
    handler->Begin2d();
    handler->SetFilteringMode(kFilterPoint);
    palettized->DrawFast(0, 0, nullptr, first);
    palettized->LoadPalette("other.pal");
    palettized->DrawFast(0, 0, nullptr, second);
    first->Draw(100, 100);
    second->Draw(200, 100);
    handler->End2d();
    ExpectPixel(100, 100, kRedPixel);
    ExpectPixel(101, 100, kGreenPixel);
    ExpectPixel(100, 101, kGreenPixel);
    ExpectPixel(200, 100, kBluePixel);
    ExpectPixel(201, 100, {255, 255, 0, 255});
}

TEST_F(GLTest, RenderTargetsAreDrawnIntoLockedAndDrawnTopRowFirst)
{
    auto target = TTexture::CreateRenderTargetTexture(64, 64);
    auto other = TTexture::CreateRenderTargetTexture(64, 64);
    auto quadrants = Quadrants();
    ASSERT_TRUE(target && other && quadrants);
    handler->Begin2d();
    ASSERT_TRUE(handler->BeginRenderTarget(target.get()));
    EXPECT_FALSE(handler->RenderTargetIsScreen());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(handler->BeginRenderTarget(other.get()));
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Attempt to call BeginRenderTarget while in another BeginRenderTarget context."),
              std::string::npos);
    Fill(0, 0, 32, 16, kRed);
    handler->SetFilteringMode(kFilterPoint);
    quadrants->DrawSprite(48, 48, 1, 0.5f, 0, 0);
    handler->EndRenderTarget();
    EXPECT_TRUE(handler->RenderTargetIsScreen());
    target->Draw(300, 300);
    handler->End2d();

    unsigned char* p;
    int w, h, pitch;
    ASSERT_TRUE(target->Lock(&p, &w, &h, &pitch));
    auto at = [&](int x, int y) {
        const unsigned char* q = p + y * pitch + x * 4;
        return Rgba{q[2], q[1], q[0], q[3]};
    };
    EXPECT_EQ(at(0, 0).r, 255);
    EXPECT_EQ(at(31, 15).r, 255);
    EXPECT_EQ(at(32, 0).r, 0);
    EXPECT_EQ(at(0, 16).r, 0);
    EXPECT_EQ(at(40, 40).r, 255);   // the sprite's top-left quadrant
    EXPECT_EQ(at(56, 56).b, 255);   // its bottom-right (white)
    EXPECT_EQ(at(56, 40).g, 255);
    target->Unlock();
    // Drawn pixels survive a Lock/Unlock round trip.
    ASSERT_TRUE(target->Lock(&p, &w, &h, &pitch));
    EXPECT_EQ(at(0, 0).r, 255);
    target->Unlock();

    ExpectPixel(300, 300, kRedPixel);
    ExpectPixel(331, 315, kRedPixel);
    ExpectPixel(300, 316, kBlackPixel);
    ExpectPixel(340, 340, kRedPixel);
}

TEST_F(GLTest, TextureFillRectIsReadBackByLock)
{
    auto texture = TTexture::Create(16, 16, true);
    handler->FillRect(4, 4, 8, 8, &kBlue, texture);
    unsigned char* p;
    int w, h, pitch;
    ASSERT_TRUE(texture->Lock(&p, &w, &h, &pitch));
    EXPECT_EQ(p[5 * pitch + 5 * 4 + 0], 255);  // blue byte first
    EXPECT_EQ(p[5 * pitch + 5 * 4 + 2], 0);
    EXPECT_EQ(p[3 * pitch + 3 * 4 + 0], 0);
    p[0] = 255;
    p[3] = 255;
    texture->Unlock();
    handler->Begin2d();
    texture->Draw(600, 500, 1, 1);
    handler->End2d();
    ExpectPixel(600, 500, kBluePixel);
    ExpectPixel(605, 505, kBluePixel);
}

TEST_F(GLTest, TextureToTextureCopyWritesOnlyTheSourceRectangleAtTheTarget)
{
    auto source = TTexture::Create(16, 16, true);
    auto destination = TTexture::Create(32, 32, true);
    handler->FillRect(0, 0, 16, 16, &kRed, source);
    handler->FillRect(0, 0, 32, 32, &kGreen, destination);
    handler->Begin2d();
    TRect part{2, 2, 6, 6};
    source->DrawFast(10, 12, &part, destination);
    handler->End2d();
    TPoint size;
    destination->GetInternalSize(&size);
    EXPECT_EQ(size.x, 32);
    unsigned char* p;
    int w, h, pitch;
    ASSERT_TRUE(destination->Lock(&p, &w, &h, &pitch));
    auto red = [&](int x, int y) { return p[y * pitch + x * 4 + 2]; };
    auto green = [&](int x, int y) { return p[y * pitch + x * 4 + 1]; };
    EXPECT_EQ(red(10, 12), 255);
    EXPECT_EQ(red(13, 15), 255);
    EXPECT_EQ(green(14, 12), 255);
    EXPECT_EQ(green(9, 12), 255);
    EXPECT_EQ(green(10, 16), 255);
    EXPECT_EQ(green(31, 31), 255);
    destination->Unlock();
}

// A copy between textures clips itself to the rectangle it writes; the
// screen's drawing after it is clipped by the viewport again, not by that.
TEST_F(GLTest, DrawingAfterATextureCopyIsClippedByTheViewportOnly)
{
    auto source = TTexture::Create(16, 16, true);
    auto destination = TTexture::Create(32, 32, true);
    auto sprite = TTexture::Create(64, 64, true);
    handler->FillRect(0, 0, 16, 16, &kRed, source);
    handler->FillRect(0, 0, 64, 64, &kBlue, sprite);
    handler->Begin2d();
    TRect part{2, 2, 6, 6};
    source->DrawFast(10, 12, &part, destination);
    sprite->DrawSprite(400, 300, 1, 1, 0, 0);
    handler->End2d();
    ExpectPixel(400, 300, kBluePixel);
    ExpectPixel(369, 269, kBluePixel);
}

// Quads a whole texel a pixel are drawn with the nearest texel, others with
// the filtering mode; the pixels are what linear filtering gives either way.
TEST_F(GLTest, TexelExactSpritesLookTheSameWhateverTheFiltering)
{
    // Stripes one texel wide: any blending between texels would show.
    auto stripes = TTexture::Create(64, 64, true);
    for (int x = 0; x < 64; ++x) {
        TColor colour = x % 2 ? kRed : kBlue;
        handler->FillRect(x, 0, x + 1, 64, &colour, stripes);
    }
    handler->Begin2d();
    handler->SetFilteringMode(kFilterLinear);
    stripes->DrawSprite(100, 100, 1, 1, 0, 0);
    stripes->DrawSprite(TVec2{300, 100}, 1, 1, 1, 0, nullptr, nullptr, kSpriteMirrorX, nullptr);
    // Half a pixel over, the linear filter mixes neighbouring stripes.
    stripes->DrawSprite(TVec2{500.5f, 100}, 1, 1.5f, 1, 0, nullptr, nullptr, 0, nullptr);
    handler->End2d();
    for (int x = 68; x < 132; ++x)
        ExpectPixel(x, 100, (x - 68) % 2 ? kRedPixel : kBluePixel, 0);
    for (int x = 268; x < 332; ++x)
        ExpectPixel(x, 100, (331 - x) % 2 ? kRedPixel : kBluePixel, 0);
    int mixed = 0;
    for (int x = 460; x < 540; ++x) {
        Rgba p = Pixel(x, 100);
        mixed += p.r > 20 && p.b > 20;
    }
    EXPECT_GT(mixed, 40);
}

TEST_F(GLTest, DrawVerticesColoursTrianglesAndIgnoresTexturesForLines)
{
    TTransformedLitVert triangle[3];
    triangle[0].x = 0;
    triangle[0].y = 0;
    triangle[1].x = 100;
    triangle[1].y = 0;
    triangle[2].x = 0;
    triangle[2].y = 100;
    for (auto& v : triangle)
        v.color = {0, 255, 0, 255};
    TTransformedLitVert line[2];
    line[0].x = 0;
    line[0].y = 200.5f;
    line[1].x = 100;
    line[1].y = 200.5f;
    for (auto& v : line)
        v.color = {255, 255, 255, 255};
    auto texture = Quadrants();
    handler->Begin2d();
    handler->DrawVertices(kDrawTriangles, TVertexSet(triangle, 3));
    handler->SetTexture(texture);
    handler->DrawVertices(kDrawLines, TVertexSet(line, 2));
    handler->SetTexture(nullptr);
    handler->End2d();
    ExpectPixel(10, 10, kGreenPixel);
    ExpectPixel(90, 90, kBlackPixel);
    ExpectPixel(50, 200, kWhitePixel);
}

// Text spans (coloured lines) wait in a queue of their own; a sprite drawn
// after them still lands over them.
TEST_F(GLTest, ASpriteAfterQueuedLinesIsDrawnOverThem)
{
    TTransformedLitVert line[2];
    line[0].x = 0;
    line[0].y = 100.5f;
    line[1].x = 200;
    line[1].y = 100.5f;
    for (auto& v : line)
        v.color = {255, 255, 255, 255};
    WritePng("red.png", 64, 64, PngKind::Rgba, std::vector<Rgba>(64 * 64, kRedPixel));
    auto red = TTexture::Get("red.png");
    handler->Begin2d();
    handler->DrawVertices(kDrawLines, TVertexSet(line, 2));
    red->DrawSprite(100, 100, 1, 1, 0, 0);
    handler->DrawVertices(kDrawLines, TVertexSet(line, 2));
    red->DrawSprite(TVec2{100, 100.5f}, 1, 1, 1, 0, nullptr, nullptr, 0, nullptr);  // its own texture
    handler->End2d();
    ExpectPixel(20, 100, kWhitePixel);
    ExpectPixel(100, 100, kRedPixel);
}

TEST_F(GLTest, TexturedDrawVerticesHonoursTheBlendMode)
{
    auto texture = Quadrants();
    TTransformedLitVert quad[4];
    float corners[4][4] = {{0, 0, 0, 0}, {64, 0, 1, 1}, {64, 64, 1, 1}, {0, 64, 0, 0}};
    for (int i = 0; i < 4; ++i) {
        quad[i].x = corners[i][0] + 400;
        quad[i].y = corners[i][1] + 400;
        quad[i].u = 0.1f;
        quad[i].v = 0.1f;
        quad[i].color = {255, 255, 255, 128};
    }
    handler->Begin2d();
    Fill(400, 400, 464, 464, kBlue);
    handler->SetTexture(texture);
    handler->SetBlendMode(kBlendOff);
    handler->DrawVertices(kDrawTriangleFan, TVertexSet(quad, 4));
    handler->End2d();
    // Blending off: the half-transparent red replaces the blue.
    ExpectPixel(420, 420, kRedPixel);
}

TEST_F(GLTest, PerspectiveWithAspectZeroTakesTheViewportsShape)
{
    auto expectProjection = [&](float aspect) {
        TMat4 expected;
        expected.Perspective(0.1f, 1000.0f, std::numbers::pi_v<float> / 4, aspect);
        expected.Scale(0.88f, 0.88f, 1.0f);
        TMat4 actual;
        handler->GetProjectionMatrix(&actual);
        for (int row = 0; row < 4; ++row) {
            EXPECT_FLOAT_EQ(actual[row].x, expected[row].x);
            EXPECT_FLOAT_EQ(actual[row].y, expected[row].y);
            EXPECT_FLOAT_EQ(actual[row].z, expected[row].z);
            EXPECT_FLOAT_EQ(actual[row].w, expected[row].w);
        }
    };
    expectProjection(800.0f / 600.0f);  // as SetDisplay left it
    handler->PushViewport(0, 0, 400, 100);
    handler->SetPerspectiveProjection(0.1f, 1000.0f, std::numbers::pi_v<float> / 4, 0);
    expectProjection(4.0f);
    handler->PopViewport();
}

TEST_F(GLTest, PresentFlipsTheScreenIntoTheWindow)
{
    handler->Begin2d();
    Fill(0, 0, 800, 10, kRed);
    handler->End2d();
    handler->EndDraw(false);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    Bgra top = ReadFramebufferPixel(400, 599);
    Bgra bottom = ReadFramebufferPixel(400, 0);
    EXPECT_EQ(top.r, 255);
    EXPECT_EQ(bottom.r, 0);
    // The screen framebuffer is bound again for the next frame.
    ExpectPixel(400, 5, kRedPixel);
}

TEST_F(GLTest, ScreenRectCopiesScaleTheRightWayUp)
{
    handler->Begin2d();
    Fill(0, 0, 10, 5, kRed);
    Fill(0, 5, 10, 10, kBlue);
    handler->End2d();
    handler->UpdateScreenRect(TRect{100, 100, 120, 120}, TRect{0, 0, 10, 10});
    ExpectPixel(100, 100, kRedPixel);
    ExpectPixel(119, 109, kRedPixel);
    ExpectPixel(100, 110, kBluePixel);
    ExpectPixel(119, 119, kBluePixel);
    ExpectPixel(121, 121, kBlackPixel);
}

TEST_F(GLTest, SystemMemoryTexturesDrawFastToTheScreen)
{
    std::vector<Rgba> pixels = {{255, 0, 0, 255}, {255, 0, 0, 255}, {255, 0, 0, 255}, {255, 0, 0, 255},
                                {0, 0, 255, 255}, {0, 0, 255, 255}, {0, 0, 255, 255}, {0, 0, 255, 255}};
    WritePng("w.png", 4, 2, PngKind::Rgb, pixels);
    auto slow = TTexture::Get("w.png?slow");
    ASSERT_TRUE(slow);
    handler->Begin2d();
    TRect part{1, 0, 3, 2};
    slow->DrawFast(50, 60, &part, nullptr);
    handler->End2d();
    ExpectPixel(50, 60, kRedPixel);
    ExpectPixel(51, 61, kBluePixel);
    ExpectPixel(52, 60, kBlackPixel);
    ExpectPixel(49, 60, kBlackPixel);
}

// A frame that redraws the whole screen may go straight to the window: every
// kind of drawing lands on the same pixels there as in the screen framebuffer
// (the window's rows run bottom up). The framebuffer then misses that frame,
// says so, and the next whole-screen frame brings it up to date.
TEST_F(GLTest, WholeScreenFramesStraightToTheWindowDrawTheSamePixels)
{
    auto sprite = Quadrants();
    auto target = TTexture::CreateRenderTargetTexture(32, 32);
    WritePng("w.png", 4, 2, PngKind::Rgb,
             {{255, 0, 0, 255}, {255, 0, 0, 255}, {255, 0, 0, 255}, {255, 0, 0, 255},
              {0, 0, 255, 255}, {0, 0, 255, 255}, {0, 0, 255, 255}, {0, 0, 255, 255}});
    auto slow = TTexture::Get("w.png?slow");
    ASSERT_TRUE(sprite && target && slow);
    auto triangle = [](float x, float y, float size, bool clockwise) {
        std::vector<TTransformedLitVert> v(3);
        v[0].x = x, v[0].y = y;
        v[1].x = x + size, v[1].y = y;
        v[2].x = x, v[2].y = y + size;
        if (clockwise)
            std::swap(v[1], v[2]);
        for (auto& corner : v)
            corner.color = {0, 255, 0, 255};
        return v;
    };
    auto scene = [&] {
        handler->Begin2d();
        Fill(10, 20, 300, 200, kRed);
        handler->PushViewport(50, 60, 250, 220);
        sprite->DrawSprite(100, 100, 1, 1.5f, 0.7f, 0);
        handler->PopViewport();
        sprite->DrawSprite(400, 300, 0.8f, 1, 0.3f, 1);
        sprite->Draw(600, 50);
        ASSERT_TRUE(handler->BeginRenderTarget(target.get()));
        Fill(0, 0, 16, 16, kGreen);
        handler->EndRenderTarget();
        target->Draw(700, 500);
        TRect part{1, 0, 3, 2};
        slow->DrawFast(50, 560, &part, nullptr);
        TTransformedLitVert line[2];
        line[0].x = 0, line[0].y = 400.5f, line[1].x = 300, line[1].y = 400.5f;
        line[0].color = line[1].color = {255, 255, 255, 255};
        handler->DrawVertices(kDrawLines, TVertexSet(line, 2));
        handler->SetCullMode(kCullClockwise);
        auto kept = triangle(320, 420, 60, false), culled = triangle(420, 420, 60, true);
        handler->DrawVertices(kDrawTriangles, TVertexSet(kept.data(), 3));
        handler->DrawVertices(kDrawTriangles, TVertexSet(culled.data(), 3));
        handler->SetCullMode(kCullNone);
        handler->End2d();
        handler->UpdateScreenRect(TRect{500, 300, 540, 340}, TRect{290, 190, 310, 210});
        handler->BeginGLWork(EGLWork::kUnrecordable);
    };
    scene();
    const std::vector<Rgba> throughFramebuffer = Screen(handler->GetScreenFramebuffer());
    handler->EndDraw(false);

    handler->SetStraightToWindow(true);
    handler->BeginDraw(false);
    ASSERT_TRUE(handler->DrawsToWindow());
    scene();
    const std::vector<Rgba> straight = Screen(0);
    handler->EndDraw(false);
    int differing = 0;
    for (size_t i = 0; i < straight.size(); ++i)
        differing += std::memcmp(&straight[i], &throughFramebuffer[i], 3) != 0;
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(throughFramebuffer[425 * 800 + 325].g, 255) << "the triangle in screen order is kept";
    EXPECT_EQ(throughFramebuffer[425 * 800 + 425].g, 0) << "the other one is culled";

    // Behind by a frame: the next frame that asks redraws into it.
    EXPECT_FALSE(handler->KeepsLastFrame());
    handler->BeginDraw(false);
    EXPECT_FALSE(handler->DrawsToWindow());
    scene();
    EXPECT_TRUE(handler->KeepsLastFrame());
    handler->EndDraw(false);
    handler->BeginDraw(true);
    EXPECT_FALSE(handler->DrawsToWindow()) << "a frame that keeps the last one draws into the framebuffer";
    handler->EndDraw(false);
    // A window the screen is letterboxed into gets the framebuffer's copy.
    handler->SetWindowSize(1000, 600);
    handler->BeginDraw(false);
    EXPECT_FALSE(handler->DrawsToWindow());
    handler->EndDraw(false);
}

TEST_F(GLTest, QuadProgramsDrawThePixelsOfTheFixedPipeline)
{
    // An image whose alpha and colours change at every texel, so that any
    // difference in where a pixel samples or how it blends shows.
    std::vector<Rgba> pixels(64 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            pixels[y * 64 + x] = {uint8_t(x * 4), uint8_t(y * 4), uint8_t((x * y) & 255), uint8_t(255 - x - y)};
    WritePng("ramp.png", 64, 64, PngKind::Rgba, pixels);
    auto image = TTexture::Get("ramp.png");
    ASSERT_TRUE(image);
    const GLuint texture = dynamic_cast<TGLTextureData*>(image->GetData())->GetTextureName();

    // Turned, mirrored, scaled quads at fractional positions, tinted (some
    // colours past 1, which the vertex stage clamps), through every blend
    // and both filters; then a run of glyph-like triangles.
    std::mt19937 random(7);
    auto uniform = [&](float low, float high) { return std::uniform_real_distribution<float>(low, high)(random); };
    struct TDraw {
        TSpriteQuad quad;
        TColor tint;
        EBlendModes blend;
        EFilteringModes filter;
    };
    std::vector<TDraw> draws;
    const EBlendModes blends[] = {kBlendAlpha, kBlendAdditive, kBlendAlphaAdditive, kBlendReverseSubtract, kBlendOff};
    for (int i = 0; i < 300; ++i) {
        TSpriteParams params;
        params.pos = {uniform(0, 800), uniform(0, 600)};
        params.scaleX = uniform(-1.7f, 1.7f);
        params.scaleY = uniform(0.3f, 1.7f);
        params.rotation = uniform(0, 6.3f);
        params.source = {0, 0, 64, 64};
        params.surfaceSize = {64, 64};
        draws.push_back({BuildSpriteQuad(params), {uniform(0, 1.3f), uniform(0, 1), uniform(0, 1), uniform(0, 1.2f)},
                         blends[i % 5], i % 3 ? kFilterLinear : kFilterPoint});
    }
    std::vector<float> glyphs;  // 32-byte vertices: x y z, colour bytes, u v
    for (int i = 0; i < 200; ++i) {
        float x = float(i % 40 * 20), y = float(i / 40 * 30 + 3), u = float(i % 7) / 8;
        const float corners[6][2] = {{0, 0}, {12, 0}, {0, 16}, {12, 0}, {12, 16}, {0, 16}};
        for (const auto& c : corners) {
            const float vertex[8] = {x + c[0], y + c[1], 0, 0, 0, 0, u + c[0] / 64, c[1] / 64};
            glyphs.insert(glyphs.end(), vertex, vertex + 8);
        }
    }

    auto frame = [&](const TGLQuadPrograms& programs) {
        handler->Begin2d();
        Fill(0, 0, 800, 600, {0.2f, 0.4f, 0.6f, 1});
        TGLSpriteBatch batch(programs);
        for (const TDraw& d : draws)
            batch.Add(texture, d.blend, d.filter, d.quad, d.tint);
        batch.Flush();
        handler->PushViewport(0, 0, 800, 600);
        DrawGlyphRun(programs, texture, glyphs.data(), int(glyphs.size() / 8));
        handler->PopViewport();
        handler->End2d();
        return Screen(handler->GetScreenFramebuffer());
    };
    TGLQuadPrograms fixedPipeline;  // never built: every draw takes the fixed pipeline
    TGLQuadPrograms programs;
    programs.Build();
    ASSERT_NE(programs.Modulate(), 0u) << "GL 3 or later is expected here";
    const std::vector<Rgba> fixed = frame(fixedPipeline), shaded = frame(programs);
    int differing = 0;
    for (size_t i = 0; i < fixed.size(); ++i)
        differing += std::memcmp(&fixed[i], &shaded[i], 4) != 0;
    EXPECT_EQ(differing, 0);

    // Where the fixed pipeline would light or fog, it draws.
    handler->Begin2d();
    glEnable(GL_LIGHTING);
    EXPECT_EQ(programs.Modulate(), 0u);
    glDisable(GL_LIGHTING);
    glEnable(GL_FOG);
    EXPECT_EQ(programs.Replace(), 0u);
    glDisable(GL_FOG);
    EXPECT_NE(programs.Replace(), 0u);
    handler->End2d();
    programs.Release();
}

struct FixedPointer : IPointerSource {
    TPoint GetMousePosition() override { return {300, 200}; }
    bool ShouldDrawCursor() override { return true; }
};

TEST_F(GLTest, TheCursorIsDrawnWithItsHotSpotOnThePointer)
{
    FixedPointer pointer;
    handler->SetPointerSource(&pointer);
    WritePng("cursor.png", 8, 8, PngKind::Rgba, Solid(8, 8, {255, 0, 0, 255}));
    handler->SetCursor(TTexture::Get("cursor.png"), TPoint{4, 4});
    handler->EndDraw(true);
    ExpectPixel(296, 196, kRedPixel);
    ExpectPixel(303, 203, kRedPixel);
    ExpectPixel(304, 204, kBlackPixel);
    EXPECT_EQ(handler->GetMouse().x, 300);
    handler->SetPointerSource(nullptr);
}

// ---------------------------------------------------------------- animated textures

// Frame 0: 10x20 red, reg (5, 20) (the bottom middle); frame 1: 20x10 green
// with a 2-pixel blue left edge, reg (0, 5) (the middle of the left edge).
std::shared_ptr<TAnimatedTexture> PackWalk()
{
    WritePng("red.png", 10, 20, PngKind::Rgba, Solid(10, 20, {255, 0, 0, 255}));
    std::vector<Rgba> green = Solid(20, 10, {0, 255, 0, 255});
    for (int y = 0; y < 10; ++y)
        green[y * 20] = green[y * 20 + 1] = {0, 0, 255, 255};
    WritePng("green.png", 20, 10, PngKind::Rgba, green);
    anmpack::Animation a =
        anmpack::ParseDescription("sequence walk\nframe a red.png reg 5 20\nframe b green.png reg 0 5\n", ".");
    a.image = "walk.png";
    std::string error;
    EXPECT_TRUE(anmpack::WritePng("walk.png", anmpack::PackSheet(a), &error)) << error;
    std::vector<std::uint8_t> bytes = anmpack::EncodeAnm(a);
    EXPECT_TRUE(anmpack::WriteFile("walk.anm", std::string(bytes.begin(), bytes.end()), &error)) << error;
    return TAnimatedTexture::Get("walk.anm");
}

TEST_F(GLTest, AnimationFramesLandWithTheirRegistrationPointOnThePositionCachedOrNot)
{
    auto walk = PackWalk();
    ASSERT_TRUE(walk);
    TAnimatedTextureCache cache(32, 32, 2);
    handler->Begin2d();
    for (TAnimatedTextureCache* through : {static_cast<TAnimatedTextureCache*>(nullptr), &cache}) {
        int y = through ? 300 : 100;
        walk->SetCurrentFrame(0);
        walk->DrawSprite(through, TVec2{100, float(y)}, 1, 1, 0, nullptr, 0);
        walk->SetCurrentFrame(1);
        walk->DrawSprite(through, TVec2{300, float(y)}, 1, 1, 0, nullptr, 0);
    }
    walk->SetCurrentFrame(-1);
    walk->DrawSprite(500, 100, 1, 1, 0, 0);
    handler->End2d();

    for (int y : {100, 300}) {
        ExpectPixel(95, y - 20, kRedPixel);
        ExpectPixel(104, y - 1, kRedPixel);
        ExpectPixel(94, y - 10, kBlackPixel);
        ExpectPixel(105, y - 10, kBlackPixel);
        ExpectPixel(100, y, kBlackPixel);
        ExpectPixel(300, y - 5, kBluePixel);
        ExpectPixel(301, y + 4, kBluePixel);
        ExpectPixel(302, y, kGreenPixel);
        ExpectPixel(319, y, kGreenPixel);
        ExpectPixel(320, y, kBlackPixel);
        ExpectPixel(299, y, kBlackPixel);
        ExpectPixel(310, y - 6, kBlackPixel);
    }
    ExpectPixel(500, 100, kBlackPixel);
}

}  // namespace

// Sprites are queued and drawn together; a texture change splits the queue
// and the later sprite still lands on top.
TEST_F(GLTest, ATextureChangeSplitsTheSpriteBatchAndKeepsTheDrawingOrder)
{
    auto solid = [&](TColor colour) {
        auto texture = TTexture::Create(64, 64, true);
        handler->FillRect(0, 0, 64, 64, &colour, texture);
        return texture;
    };
    auto red = solid(kRed);
    auto green = solid(kGreen);
    handler->Begin2d();
    int callsBefore = handler->GetSpriteDrawCalls();
    red->DrawSprite(100, 100, 1, 1, 0, 0);
    red->DrawSprite(400, 100, 1, 1, 0, 0);
    green->DrawSprite(132, 100, 1, 1, 0, 0);  // over the right half of the first red
    red->DrawSprite(164, 100, 1, 1, 0, 0);    // over the right half of the green
    TColor blue = kBlue;
    red->DrawSprite(100, 300, 1, 1, 0, 0);
    handler->FillRect(110, 290, 150, 310, &blue, nullptr);  // over this sprite, under the next
    red->DrawSprite(164, 300, 1, 1, 0, 0);
    handler->End2d();

    EXPECT_EQ(handler->GetSpriteDrawCalls() - callsBefore, 4);  // red red | green | red red | red
    ExpectPixel(80, 100, kRedPixel);
    ExpectPixel(120, 100, kGreenPixel);
    ExpectPixel(150, 100, kRedPixel);
    ExpectPixel(400, 100, kRedPixel);
    ExpectPixel(120, 300, kBluePixel);
    ExpectPixel(140, 300, kRedPixel);
}

// Loaded images share a texture page: sprites cut from different ones go in
// one call, in the order drawn; a sprite that must come from its image's own
// texture (scaled) splits the batch and still lands between its neighbours.
TEST_F(GLTest, ImagesOnATexturePageBatchTogetherAndKeepTheDrawingOrder)
{
    auto solid = [&](const char* name, Rgba colour) {
        WritePng(name, 64, 64, PngKind::Rgba, std::vector<Rgba>(64 * 64, colour));
        return TTexture::Get(name);
    };
    auto red = solid("red.png", kRedPixel);
    auto green = solid("green.png", kGreenPixel);
    auto blue = solid("blue.png", kBluePixel);
    handler->Begin2d();
    const int callsBefore = handler->GetSpriteDrawCalls();
    red->DrawSprite(100, 100, 1, 1, 0, 0);
    green->DrawSprite(132, 100, 1, 1, 0, 0);  // over the right half of the red
    red->DrawSprite(164, 100, 1, 1, 0, 0);    // over the right half of the green
    blue->DrawSprite(TVec2{250, 100}, 1, 1.5f, 1, 0, nullptr, nullptr, 0, nullptr);  // its own texture
    green->DrawSprite(290, 100, 1, 1, 0, 0);  // over the blue's right end
    handler->End2d();

    const GLuint page = dynamic_cast<TGLTextureData*>(red->GetData())->GetPageRegion().texture;
    EXPECT_NE(page, 0u);
    EXPECT_EQ(dynamic_cast<TGLTextureData*>(green->GetData())->GetPageRegion().texture, page);
    EXPECT_EQ(handler->GetSpriteDrawCalls() - callsBefore, 3);  // red green red | blue | green
    ExpectPixel(80, 100, kRedPixel);
    ExpectPixel(120, 100, kGreenPixel);
    ExpectPixel(150, 100, kRedPixel);
    ExpectPixel(220, 100, kBluePixel);
    ExpectPixel(270, 100, kGreenPixel);
}

// Joined 2D passes keep their sprites queued from one pass to the next:
// each pass still starts in the 2D state, drawing of another kind between
// passes still lands in order, and ending the join draws what is left.
TEST_F(GLTest, JoinedPassesDrawTheirSpritesTogetherInTheDrawingOrder)
{
    auto solid = [&](const char* name, Rgba colour) {
        WritePng(name, 64, 64, PngKind::Rgba, std::vector<Rgba>(64 * 64, colour));
        return TTexture::Get(name);
    };
    auto red = solid("red.png", kRedPixel);
    auto green = solid("green.png", kGreenPixel);
    const int callsBefore = handler->GetSpriteDrawCalls();
    handler->JoinPasses(true);
    handler->Begin2d();
    red->DrawSprite(100, 100, 1, 1, 0, 0);
    handler->End2d();
    handler->Begin2d();
    green->DrawSprite(132, 100, 1, 1, 0, 0);
    handler->SetBlendMode(kBlendAdditive);  // the next pass draws alpha blended again
    handler->End2d();
    handler->Begin2d();
    red->DrawSprite(164, 100, 1, 1, 0, 0);
    red->DrawSprite(100, 300, 1, 1, 0, 0);
    handler->End2d();
    Fill(110, 290, 150, 310, kBlue);  // over the last sprite, under the next
    handler->Begin2d();
    red->DrawSprite(164, 300, 1, 1, 0, 0);
    handler->End2d();
    handler->JoinPasses(false);

    EXPECT_EQ(handler->GetSpriteDrawCalls() - callsBefore, 2);
    ExpectPixel(80, 100, kRedPixel);
    ExpectPixel(120, 100, kGreenPixel);
    ExpectPixel(150, 100, kRedPixel);
    ExpectPixel(120, 300, kBluePixel);
    ExpectPixel(140, 300, kRedPixel);
}

// The page and the nearest-texel shortcut change no pixel: a scene drawn
// from the images' own textures with the filtering as set is read back and
// drawn again the fast way.
TEST_F(GLTest, DrawingFromTexturePagesGivesThePixelsOfPlainDrawing)
{
    std::vector<Rgba> pixels(48 * 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 48; ++x)
            pixels[y * 48 + x] = Rgba{std::uint8_t(x * 5), std::uint8_t(y * 6), std::uint8_t((x ^ y) * 4),
                                      std::uint8_t(x == 0 || y == 39 ? 0 : 40 + (x + y) * 2)};
    WritePng("ramp.png", 48, 40, PngKind::Rgba, pixels);
    auto ramp = TTexture::Get("ramp.png");
    auto quadrants = Quadrants();
    auto scene = [&] {
        Fill(0, 0, 800, 600, TColor{0.2f, 0.3f, 0.4f, 1});
        handler->Begin2d();
        handler->SetFilteringMode(kFilterLinear);
        const TColor tint{1, 0.5f, 0.25f, 1};
        const TRect cut{5, 3, 30, 21};
        for (int i = 0; i < 6; ++i) {
            const float x = 60.0f + float(i) * 90, y = 80;
            ramp->DrawSprite(x, y, 1, 1, 0, i % 4);
            quadrants->DrawSprite(TVec2{x + 20, y + 30}, 0.6f, 1, 1, 0, nullptr, &tint, i % 2, nullptr);
            ramp->DrawSprite(TVec2{x, y + 120}, 1, 1, 1, 0, nullptr, nullptr, 0, &cut);
            ramp->DrawSprite(TVec2{x + 0.5f, y + 200}, 1, 1, 1, 0, nullptr, nullptr, 0, nullptr);
            ramp->DrawSprite(x, y + 280, 0.8f, 1.25f, 0, 0);
            quadrants->DrawSprite(x, y + 380, 1, 1, 0.3f, 0);
        }
        ramp->DrawSprite(10, 590, 1, 1, 0, 0);  // half off the screen
        handler->End2d();
        std::vector<unsigned char> shot(800 * 600 * 4);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, handler->GetScreenFramebuffer());
        glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, shot.data());
        return shot;
    };
    handler->SetPlainDrawing(true);
    const std::vector<unsigned char> plain = scene();
    handler->SetPlainDrawing(false);
    const std::vector<unsigned char> paged = scene();
    EXPECT_NE(dynamic_cast<TGLTextureData*>(ramp->GetData())->GetPageRegion().texture, 0u);
    int differing = 0;
    for (std::size_t i = 0; i < plain.size(); ++i)
        differing += plain[i] != paged[i];
    EXPECT_EQ(differing, 0);
}

// Under alpha blending a sprite from a page draws only its image's opaque
// box (the texels around it would leave every pixel as it was), with the
// pixels of drawing it whole; where transparent texels still count (no
// blending, adding) the whole quad is drawn.
TEST_F(GLTest, PageSpritesDrawTheOpaqueBoxOfTheirImageWhereTheRestChangesNothing)
{
    // Transparent texels that still carry a colour, around a 20x12 box.
    std::vector<Rgba> pixels(64 * 64, Rgba{40, 80, 120, 0});
    for (int y = 10; y < 22; ++y)
        for (int x = 30; x < 50; ++x)
            pixels[y * 64 + x] = Rgba{std::uint8_t(200 + x), std::uint8_t(y * 8), 90, std::uint8_t(x == 30 ? 1 : 180)};
    WritePng("halo.png", 64, 64, PngKind::Rgba, pixels);
    auto halo = TTexture::Get("halo.png");
    const TGLPageRegion& region = dynamic_cast<TGLTextureData*>(halo->GetData())->GetPageRegion();
    GLuint query = 0;
    glGenQueries(1, &query);
    // The pixels the scene wrote and the screen it left.
    auto scene = [&](EBlendModes blend) {
        handler->SetBlendMode(kBlendAlpha);
        Fill(0, 0, 800, 600, TColor{0.2f, 0.3f, 0.4f, 1});
        glBeginQuery(GL_SAMPLES_PASSED, query);
        handler->Begin2d();
        handler->SetBlendMode(blend);
        halo->DrawSprite(100, 100, 1, 1, 0, 0);
        halo->DrawSprite(300, 100, 1, 1, 0, kSpriteMirrorX | kSpriteMirrorY);
        halo->DrawSprite(500, 100, 0.5f, 1, 0, kSpriteMirrorX);
        handler->End2d();
        glEndQuery(GL_SAMPLES_PASSED);
        GLuint written = 0;
        glGetQueryObjectuiv(query, GL_QUERY_RESULT, &written);
        std::vector<unsigned char> shot(800 * 600 * 4);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, handler->GetScreenFramebuffer());
        glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, shot.data());
        return std::make_pair(int(written), shot);
    };
    for (EBlendModes blend : {kBlendAlpha, kBlendAlphaAdditive, kBlendOff, kBlendAdditive}) {
        SCOPED_TRACE(int(blend));
        handler->SetPlainDrawing(true);
        const auto [plainWritten, plain] = scene(blend);
        handler->SetPlainDrawing(false);
        const auto [pagedWritten, paged] = scene(blend);
        ASSERT_NE(region.texture, 0u);
        const bool trimmed = blend == kBlendAlpha || blend == kBlendAlphaAdditive;
        EXPECT_EQ(plainWritten, 3 * 64 * 64);
        EXPECT_EQ(pagedWritten, trimmed ? 3 * 20 * 12 : 3 * 64 * 64);
        int differing = 0;
        for (std::size_t i = 0; i < plain.size(); ++i)
            differing += plain[i] != paged[i];
        EXPECT_EQ(differing, 0);
    }
    EXPECT_EQ(region.opaque.Width(), 20);
    EXPECT_EQ(region.opaque.Height(), 12);
    EXPECT_EQ(region.opaque.x1 - region.rect.x1, 30);
    EXPECT_EQ(region.opaque.y1 - region.rect.y1, 10);
    glDeleteQueries(1, &query);
}

// A texture drawn into is copied to the screen framebuffer to framebuffer
// by DrawFast: its pixels as they are (alpha included, nothing blended),
// placed at (x, y) and held to the scissor box.
TEST_F(GLTest, DrawFastCopiesARenderTargetUnblendedWithinTheScissorBox)
{
    auto target = TTexture::CreateRenderTargetTexture(800, 600);
    ASSERT_TRUE(handler->BeginRenderTarget(target.get()));
    handler->SetBlendMode(kBlendOff);
    Fill(0, 0, 800, 600, TColor{0, 0, 0, 0});
    Fill(10, 20, 60, 50, TColor{1, 0, 0, 0.5f});
    handler->SetBlendMode(kBlendAlpha);
    handler->EndRenderTarget();
    Fill(0, 0, 800, 600, kBlue);
    handler->Begin2d();
    const TRect source{0, 0, 100, 100};
    target->DrawFast(200, 300, &source);
    const TRect bounds{400, 300, 440, 400};  // cuts the copy's right part off
    handler->SetDrawBounds(&bounds);
    target->DrawFast(400, 300, &source);
    handler->SetDrawBounds(nullptr);
    handler->End2d();
    const Rgba copied = Pixel(215, 325);
    EXPECT_EQ(copied.r, 255);
    EXPECT_EQ(copied.g, 0);
    EXPECT_EQ(copied.b, 0);
    EXPECT_NEAR(copied.a, 128, 1);  // unblended: the target's own alpha
    ExpectPixel(205, 305, Rgba{0, 0, 0, 0});  // the target's transparent black, not the blue under it
    ExpectPixel(199, 305, kBluePixel);
    ExpectPixel(300, 305, kBluePixel);
    ExpectPixel(415, 325, Rgba{255, 0, 0, 128});  // inside the bounds, so copied
    ExpectPixel(405, 305, Rgba{0, 0, 0, 0});
    ExpectPixel(450, 325, kBluePixel);  // red in the target, but outside the bounds
}

// Draw bounds narrow what sprites touch until they are taken back; the
// viewport still places the sprites.
TEST_F(GLTest, DrawBoundsKeepSpritesInsideThemUntilTakenBack)
{
    auto red = TTexture::Create(64, 64, true);
    TColor colour = kRed;
    handler->FillRect(0, 0, 64, 64, &colour, red);
    handler->Begin2d();
    handler->PushViewport(100, 0, 800, 600);
    const TRect bounds{150, 100, 180, 300};
    handler->SetDrawBounds(&bounds);
    red->DrawSprite(60, 120, 1, 1, 0, 0);  // 128..192 x 88..152 on the screen
    handler->SetDrawBounds(nullptr);
    red->DrawSprite(60, 220, 1, 1, 0, 0);  // 128..192 x 188..252
    handler->PopViewport();
    handler->End2d();

    ExpectPixel(150, 100, kRedPixel);
    ExpectPixel(179, 151, kRedPixel);
    ExpectPixel(149, 120, kBlackPixel);
    ExpectPixel(180, 120, kBlackPixel);
    ExpectPixel(160, 99, kBlackPixel);
    ExpectPixel(130, 200, kRedPixel);
    ExpectPixel(190, 250, kRedPixel);
}

// The depth buffer is cleared for a frame's 3D drawing, but a frame that only
// draws in 2D leaves it alone.
TEST_F(GLTest, AFramesDepthIsClearedWhenItFirstDrawsIn3dOnly)
{
    auto depthAt = [&](int x, int y) {
        handler->BeginGLWork(EGLWork::kUnrecordable);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, handler->GetScreenFramebuffer());
        GLfloat depth = -1;
        glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        return depth;
    };
    // What an earlier frame's 3D drawing left.
    glBindFramebuffer(GL_FRAMEBUFFER, handler->GetScreenFramebuffer());
    glDisable(GL_SCISSOR_TEST);
    glDepthMask(GL_TRUE);
    glClearDepth(0.25);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    glEnable(GL_SCISSOR_TEST);

    handler->BeginDraw(false);
    handler->Begin2d();
    handler->End2d();
    EXPECT_NEAR(depthAt(400, 300), 0.25f, 1e-3);

    handler->BeginDraw(false);
    ASSERT_TRUE(handler->Begin3d());
    EXPECT_NEAR(depthAt(400, 300), 1.0f, 1e-3);
    handler->End3d();
}

// The fade around a display change darkens the window only: the game's own
// picture (the screen framebuffer) and the GL state its next draws rely on
// are untouched.
TEST_F(GLTest, TheFadeDarkensTheWindowAndLeavesTheScreenAndItsStateAlone)
{
    handler->Begin2d();
    Fill(0, 0, 800, 600, TColor{1, 1, 1, 1});
    handler->End2d();
    handler->EndDraw(false);
    handler->DrawFade(0.5f);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    for (auto [x, y] : {std::pair{0, 0}, std::pair{400, 300}, std::pair{799, 599}}) {
        Bgra p = ReadFramebufferPixel(x, y);
        EXPECT_NEAR(p.r, 128, 2) << x << "," << y;
        EXPECT_NEAR(p.g, 128, 2) << x << "," << y;
    }
    ExpectPixel(400, 300, kWhitePixel);

    // The next frame draws as if no fade had been: into the screen
    // framebuffer, its clear held to the viewport by the scissor box.
    handler->PushViewport(0, 0, 100, 100);
    handler->BeginDraw(false);
    handler->PopViewport();
    ExpectPixel(50, 50, kBlackPixel);
    ExpectPixel(150, 150, kWhitePixel);
    handler->Begin2d();
    Fill(0, 0, 10, 10, kRed);
    handler->End2d();
    handler->BeginGLWork(EGLWork::kUnrecordable);
    ExpectPixel(5, 5, kRedPixel);
}

// While the program waits for black it draws nothing: the last frame is put
// on the window again, also when it went straight to the window and the
// screen framebuffer never saw it (taken from what the swap left in the
// window's back buffer, which under Mesa is that frame).
TEST_F(GLTest, TheLastFrameIsShownAgainEvenWhenItWentStraightToTheWindow)
{
    handler->SetStraightToWindow(true);
    handler->BeginDraw(false);
    if (!handler->DrawsToWindow())
        GTEST_SKIP() << "no clip control here: every frame goes through the framebuffer";
    handler->Begin2d();
    Fill(0, 0, 800, 300, kRed);
    Fill(0, 300, 800, 600, kBlue);
    handler->End2d();
    handler->EndDraw(false);
    context.Swap();
    ExpectPixel(400, 100, kBlackPixel);  // the framebuffer missed that frame

    handler->ShowLastFrame();
    ExpectPixel(400, 100, kRedPixel);
    ExpectPixel(400, 500, kBluePixel);
    EXPECT_TRUE(handler->KeepsLastFrame()) << "the framebuffer holds the last frame now";
    const std::vector<Rgba> window = Screen(0);
    EXPECT_EQ(window[100 * 800 + 400].r, 255);
    EXPECT_EQ(window[500 * 800 + 400].b, 255);
    EXPECT_EQ(window[500 * 800 + 400].r, 0);

    // A straight frame swapped with black over it: shown again, it comes
    // back clean, not with that black twice.
    handler->BeginDraw(false);
    ASSERT_TRUE(handler->DrawsToWindow());
    handler->Begin2d();
    Fill(0, 0, 800, 600, kGreen);
    handler->End2d();
    handler->EndDraw(false);
    handler->DrawFade(0.5f);
    context.Swap();
    handler->ShowLastFrame();
    ExpectPixel(400, 300, kGreenPixel);
    EXPECT_EQ(Screen(0)[300 * 800 + 400].g, 255);
}

// ---------------------------------------------------------------- frames drawn where they changed

// A scene that changes a little from frame to frame, as the game's floor
// does: a room copied from a render target, sprites that move, turn, fade,
// come and go over each other, glyphs, lines and a texture drawn whole; now
// and then a texture the frame already drew from is changed, or something is
// drawn at once. Each frame recorded and drawn where it changed must show
// the pixels of the same frame drawn whole through the screen framebuffer.
TEST_F(GLTest, FramesDrawnWhereTheyChangedShowThePixelsOfWholeFrames)
{
    if (!handler->KeepsWindowAcrossSwaps())
        GTEST_SKIP() << "this GL's swap may not keep the back buffer: every frame is drawn whole";
    auto sprite = Quadrants();
    WritePng("dot.png", 8, 8, PngKind::Rgba, Solid(8, 8, {250, 200, 0, 160}));
    auto dot = TTexture::Get("dot.png");
    auto room = TTexture::CreateRenderTargetTexture(256, 256);
    ASSERT_TRUE(sprite && dot && room);
    ASSERT_TRUE(handler->BeginRenderTarget(room.get()));
    Fill(0, 0, 256, 256, {0.2f, 0.4f, 0.6f, 1});
    Fill(30, 30, 120, 90, kRed);
    handler->EndRenderTarget();
    handler->EndDraw(false);

    // The dot's colour for frame n: changed in frame 5 after it was drawn.
    auto paintDot = [&](Rgba colour) {
        unsigned char* pixels = nullptr;
        int width = 0, height = 0, pitch = 0;
        ASSERT_TRUE(dot->Lock(&pixels, &width, &height, &pitch));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                unsigned char* p = pixels + y * pitch + x * 4;
                p[0] = colour.b, p[1] = colour.g, p[2] = colour.r, p[3] = colour.a;
            }
        dot->Unlock();
    };
    auto scene = [&](int n) {
        if (n == 0)
            paintDot({250, 200, 0, 160});
        handler->Begin2d();
        TRect whole{0, 0, 256, 256};
        room->DrawFast(100, 80, &whole, nullptr);
        sprite->DrawSprite(120 + 9 * n, 140, 1, 1, 0, 0);
        sprite->DrawSprite(320, 300, 0.4f + 0.1f * float(n % 4), 1, 0.2f * float(n), 0);
        sprite->DrawSprite(500, 100, 1, 1, 0, 0);
        if (n % 4 == 0)
            sprite->DrawSprite(520, 110, 0.7f, 1, 0, 0);
        dot->DrawSprite(140 + 9 * n, 150, 1, 2, 0, 0);
        dot->DrawSprite(600, 500, 1, 1, 0, 0);
        if (n == 5)
            paintDot({0, 90, 250, 255});
        if (n == 6)
            paintDot({250, 200, 0, 160});
        std::vector<TTransformedLitVert> glyph(6);
        const float gx = 600 + float(n % 3), gy = 400, corners[6][2] = {{0, 0}, {16, 0}, {0, 16}, {16, 0}, {16, 16}, {0, 16}};
        for (int i = 0; i < 6; ++i) {
            glyph[i].x = gx + corners[i][0], glyph[i].y = gy + corners[i][1];
            glyph[i].u = corners[i][0] / 64.0f, glyph[i].v = corners[i][1] / 64.0f;
            glyph[i].color = {255, 255, 255, 255};
        }
        handler->DrawGlyphTriangles(sprite.get(), TVertexSet(glyph.data(), 6));
        TTransformedLitVert line[2];
        line[0].x = 20, line[0].y = 450.5f + float(n);
        line[1].x = 380, line[1].y = 450.5f + float(n);
        line[0].color = line[1].color = {255, 255, 255, 255};
        handler->DrawVertices(kDrawLines, TVertexSet(line, 2));
        sprite->Draw(40, 500 + float(n % 2));
        if (n == 7)
            Fill(700, 20, 760, 60, kGreen);
        handler->End2d();
    };
    constexpr int kFrames = 12;
    std::vector<std::vector<Rgba>> whole;
    for (int n = 0; n < kFrames; ++n) {
        handler->BeginDraw(false);
        ASSERT_FALSE(handler->DrawsToWindow());
        scene(n);
        handler->EndDraw(false);
        whole.push_back(Screen(handler->GetScreenFramebuffer()));
    }

    handler->SetStraightToWindow(true);
    const TGLDrawStats before = GLDrawStats();
    for (int n = 0; n < kFrames; ++n) {
        handler->BeginDraw(false);
        ASSERT_TRUE(handler->DrawsToWindow());
        scene(n);
        handler->EndDraw(false);
        const std::vector<Rgba> shown = Screen(0);
        int differing = 0;
        for (size_t i = 0; i < shown.size(); ++i)
            differing += std::memcmp(&shown[i], &whole[n][i], 3) != 0;
        EXPECT_EQ(differing, 0) << "frame " << n;
        context.Swap();
    }
    const TGLDrawStats after = GLDrawStats();
    // The check the level benchmark uses agrees: each frame drawn in part,
    // drawn whole again, gives the same window.
    handler->SetCheckPartialFrames(true);
    for (int n = 0; n < kFrames; ++n) {
        handler->BeginDraw(false);
        scene(n);
        handler->EndDraw(false);
        context.Swap();
    }
    EXPECT_EQ(handler->GetPartialFrameMismatches(), 0);
    // Frames 5 to 8 are drawn whole (a texture they drew from changed, a
    // fill drawn at once, the frame after); the rest only where they changed.
    EXPECT_EQ(after.partialFrames - before.partialFrames, 7);
    EXPECT_LT(after.redrawnPixels - before.redrawnPixels, 5 * 800 * 600 + 7 * 800 * 600 / 3);
}

// Each kind of GL work does to a recorded frame what its name says
// (engine/render/gl/glwork.h): recordable work and a write to a texture the
// frame has not drawn from leave it recorded, drawn at its end where it
// changed; unrecordable work and a write to a texture it drew from draw it
// whole at once. Either way the window shows the frame's pixels drawn whole.
TEST_F(GLTest, EachKindOfGLWorkKeepsTheRecordOrDrawsItAtOnceAsItsNameSays)
{
    if (!handler->KeepsWindowAcrossSwaps())
        GTEST_SKIP() << "this GL's swap may not keep the back buffer: every frame is drawn whole";
    auto sprite = Quadrants();
    ASSERT_TRUE(sprite);
    auto* data = static_cast<TGLTextureData*>(sprite->GetData());
    auto scene = [&](const std::function<void()>& work) {
        handler->BeginDraw(false);
        handler->Begin2d();
        sprite->DrawSprite(100, 100, 1, 1, 0, 0);
        work();
        sprite->DrawSprite(300, 200, 1, 1, 0.5f, 0);
        handler->End2d();
        handler->EndDraw(false);
    };
    scene([] {});
    const std::vector<Rgba> whole = Screen(handler->GetScreenFramebuffer());
    const GLuint drawnFrom = data->GetPageRegion().texture ? data->GetPageRegion().texture : data->GetTextureName();
    GLuint untouched = 0;
    glGenTextures(1, &untouched);

    struct Case {
        const char* what;
        EGLWork kind;
        GLuint texture;
        bool keepsRecord;
    };
    const Case cases[] = {{"recordable", EGLWork::kRecordable, 0, true},
                          {"unrecordable", EGLWork::kUnrecordable, 0, false},
                          {"a write to a texture the frame has not drawn from", EGLWork::kTextureWrite, untouched, true},
                          {"a write to a texture the frame drew from", EGLWork::kTextureWrite, drawnFrom, false}};
    handler->SetStraightToWindow(true);
    for (const Case& c : cases) {
        scene([] {});  // the window holds a recorded frame
        context.Swap();
        const TGLDrawStats before = GLDrawStats();
        scene([&] { handler->BeginGLWork(c.kind, c.texture); });
        const TGLDrawStats after = GLDrawStats();
        EXPECT_EQ(after.partialFrames - before.partialFrames, c.keepsRecord ? 1 : 0) << c.what;
        EXPECT_EQ(after.wholeFrames - before.wholeFrames, c.keepsRecord ? 0 : 1) << c.what;
        const std::vector<Rgba> shown = Screen(0);
        int differing = 0;
        for (size_t i = 0; i < shown.size(); ++i)
            differing += std::memcmp(&shown[i], &whole[i], 3) != 0;
        EXPECT_EQ(differing, 0) << c.what;
        context.Swap();
    }
    glDeleteTextures(1, &untouched);
}
