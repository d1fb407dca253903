// Draws one frame with the engine's GL handler (a JPEG backdrop, alpha
// sprites turned and mirrored, an indexed image in two palettes, blended
// fills, a render target) and writes the 800x600 screen as a PNG.
//
//     xvfb-run -a build/tests/render/render_screenshot frame.png
#include "engine/render/gl/gldisplayhandler.h"
#include "engine/render/texture.h"

#include "glcontext.h"
#include "testimages.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

using namespace testimages;

namespace {

void MakeArt()
{
    std::vector<Rgba> sky(256 * 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            sky[y * 256 + x] = {std::uint8_t(40 + y / 4), std::uint8_t(90 + y / 3), std::uint8_t(200 - y / 5), 255};
    WriteJpeg("backdrop.jpg", 256, 256, sky, true, false, 90);

    std::vector<Rgba> ball(64 * 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            float d = std::hypot(x - 31.5f, y - 31.5f) / 32.0f;
            std::uint8_t a = d < 1 ? std::uint8_t(255 * (1 - d * d)) : 0;
            ball[y * 64 + x] = {std::uint8_t(x < 32 ? 250 : 255), std::uint8_t(y < 32 ? 200 : 60), 40, a};
        }
    WritePng("ball.png", 64, 64, PngKind::Rgba, ball);

    std::vector<std::uint8_t> indices(32 * 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            indices[y * 32 + x] = std::uint8_t(((x / 8) + (y / 8)) % 2 + (x > y ? 2 : 0));
    WriteIndexedPng("tile.png", 32, 32, 8, indices,
                    {{200, 40, 40, 255}, {240, 220, 200, 255}, {120, 20, 20, 255}, {250, 250, 250, 255}});
    WritePal("teal.pal", {{20, 140, 140, 0}, {220, 250, 240, 0}, {10, 70, 90, 0}, {255, 255, 255, 0}});
}

}  // namespace

int main(int argc, char** argv)
{
    std::string out = argc > 1 ? std::filesystem::absolute(argv[1]).string() : "frame.png";
    std::filesystem::path work = std::filesystem::temp_directory_path() / "qm-render-screenshot";
    std::filesystem::create_directories(work);
    std::filesystem::current_path(work);
    MakeArt();

    TestGLContext context;
    if (!context.Ok()) {
        std::fprintf(stderr, "no GL context: %s\n", context.Error().c_str());
        return 1;
    }
    TAssetManager assets;
    TGLDisplayHandler handler;
    handler.SetDisplay(800, 600, false, false, false, false);
    {
        auto backdrop = TTexture::Get("backdrop");
        auto ball = TTexture::Get("ball.png");
        auto tile = TTexture::Get("tile.png?palettized");
        auto red = TTexture::Create(32, 32, false);
        auto teal = TTexture::Create(32, 32, false);
        auto target = TTexture::CreateRenderTargetTexture(128, 128);
        if (!backdrop || !ball || !tile || !red || !teal || !target) {
            std::fprintf(stderr, "art did not load\n");
            return 1;
        }
        handler.BeginDraw(false);
        handler.Begin2d();
        backdrop->Draw(0, 0, 1, 800.0f / 256.0f);
        tile->DrawFast(0, 0, nullptr, red);
        tile->LoadPalette("teal.pal");
        tile->DrawFast(0, 0, nullptr, teal);
        for (int i = 0; i < 6; ++i) {
            red->DrawSprite(60 + i * 70, 520, 1, 2, 0, 0);
            teal->DrawSprite(60 + i * 70, 450, 1, 2, 0, 0);
        }
        TColor shade{0, 0, 0, 0.4f};
        handler.FillRect(500, 380, 780, 580, &shade, nullptr);
        for (int i = 0; i < 12; ++i)
            ball->DrawSprite(120 + i * 50, 120 + 40 * std::sin(i * 0.7f), 0.9f, 0.6f + i * 0.05f, i * 0.4f, i % 4);
        handler.BeginRenderTarget(target.get());
        TColor frame{1, 1, 1, 1};
        handler.FillRect(0, 0, 128, 128, &frame, nullptr);
        ball->DrawSprite(64, 64, 1, 1.5f, 0, 0);
        handler.EndRenderTarget();
        target->DrawSprite(640, 480, 1, 1, 0.2f, 0);
        TColor glow{1, 0.8f, 0.2f, 0.35f};
        handler.SetBlendMode(kBlendAlphaAdditive);
        handler.FillRect(300, 250, 500, 350, &glow, nullptr);
        handler.End2d();
        handler.EndDraw(false);
    }

    std::vector<Rgba> pixels(800 * 600);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, handler.GetScreenFramebuffer());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    for (auto& p : pixels)
        p.a = 255;
    // Row 0 of the screen surface is the top of the picture, as in the PNG.
    WritePng(out, 800, 600, PngKind::Rgb, pixels);
    context.Swap();
    std::printf("wrote %s\n", out.c_str());
    return 0;
}
