// Runs the engine (its own entry and event loop, the GL display handler
// installed by Init3d) for ten frames of a scene with a JPEG backdrop, alpha
// sprites turned and mirrored, an indexed image in two palettes, blended
// fills and a render target, and writes the last 800x600 frame as a PNG.
//
//     xvfb-run -a build/tests/render/render_screenshot frame.png
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/render/texture.h"

#include "testimages.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

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

std::string gOut;
std::string gArt;
int gResult = 1;

std::string Art(const char* name)
{
    return gArt + "/" + name;
}

// The game's place: a Main run by the engine's own entry, drawing through the
// platform facade frame after frame; the last frame is written out.
void ShotMain(TPlatform* platform, const char*)
{
    if (!platform->SetDisplay(800, 600, false) || !platform->GetDisplayHandler()) {
        std::fprintf(stderr, "no display\n");
        return;
    }
    auto* handler = dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler());
    auto backdrop = TTexture::Get(Art("backdrop").c_str());
    auto ball = TTexture::Get(Art("ball.png").c_str());
    auto tile = TTexture::Get((Art("tile.png") + "?palettized").c_str());
    auto red = TTexture::Create(32, 32, false);
    auto teal = TTexture::Create(32, 32, false);
    auto target = TTexture::CreateRenderTargetTexture(128, 128);
    if (!handler || !backdrop || !ball || !tile || !red || !teal || !target) {
        std::fprintf(stderr, "art did not load\n");
        return;
    }
    TEvent event;
    for (int frame = 0; frame < 10;) {
        platform->GetEvent(&event);
        if (event.mType == TEvent::kQuit)
            return;
        if (event.mType != TEvent::kIdle || !platform->BeginDraw(false))
            continue;
        ++frame;
        platform->Begin2d();
        backdrop->Draw(0, 0, 1, 800.0f / 256.0f);
        tile->LoadPalette("default");
        tile->DrawFast(0, 0, nullptr, red);
        tile->LoadPalette(Art("teal.pal").c_str());
        tile->DrawFast(0, 0, nullptr, teal);
        for (int i = 0; i < 6; ++i) {
            red->DrawSprite(60 + i * 70, 520, 1, 2, 0, 0);
            teal->DrawSprite(60 + i * 70, 450, 1, 2, 0, 0);
        }
        TColor shade{0, 0, 0, 0.4f};
        platform->FillRect(500, 380, 780, 580, &shade);
        for (int i = 0; i < 12; ++i)
            ball->DrawSprite(120 + i * 50, 120 + 40 * std::sin(i * 0.7f + frame * 0.1f), 0.9f, 0.6f + i * 0.05f,
                             i * 0.4f, i % 4);
        platform->BeginRenderTarget(target);
        TColor white{1, 1, 1, 1};
        platform->FillRect(0, 0, 128, 128, &white);
        ball->DrawSprite(64, 64, 1, 1.5f, 0, 0);
        platform->EndRenderTarget();
        target->DrawSprite(640, 480, 1, 1, 0.2f, 0);
        TColor glow{1, 0.8f, 0.2f, 0.35f};
        platform->SetBlendMode(TPlatform::EBlendModes(kBlendAlphaAdditive));
        platform->FillRect(300, 250, 500, 350, &glow);
        platform->End2d();
        if (frame == 10) {
            std::vector<Rgba> pixels(800 * 600);
            glBindFramebuffer(GL_READ_FRAMEBUFFER, handler->GetScreenFramebuffer());
            glPixelStorei(GL_PACK_ALIGNMENT, 1);
            glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
            // Row 0 of the screen surface is the top of the picture, as in the PNG.
            WritePng(gOut, 800, 600, PngKind::Rgb, pixels);
            std::printf("wrote %s\n", gOut.c_str());
            gResult = 0;
        }
        platform->EndDraw(true);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    gOut = argc > 1 ? std::filesystem::absolute(argv[1]).string() : std::filesystem::absolute("frame.png").string();
    static const std::filesystem::path work =
        std::filesystem::temp_directory_path() / ("qm-render-screenshot-" + std::to_string(getpid()));
    std::filesystem::create_directories(work);
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(work, ignored);
    });
    std::filesystem::current_path(work);
    gArt = work.string();
    MakeArt();
    qm::InstallGLDisplayHost();
    QuellmoorExec(argc, argv, ShotMain, false);
    return gResult;
}
