// The platform facade's drawing calls: forwarded to the GL display handler
// that Init3d installs (label gl), and what Main sees of it.
#include "engine/platform/headless/headlessbackend.h"
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/render/texture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What the game's Main saw, checked after the engine returns.
struct TSeen {
    bool display = false;
    bool glHandler = false;
    TRect viewport;
    unsigned char screen[4] = {};
    unsigned char target[4] = {};
    bool nestedRefused = false;
    std::string log;
};
TSeen gSeen;

void DrawingMain(TPlatform* platform, const char*)
{
    gSeen.display = platform->SetDisplay(800, 600, false);
    auto* handler = dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler());
    gSeen.glHandler = handler != nullptr;
    if (!gSeen.display || !handler)
        return;
    auto target = TTexture::CreateRenderTargetTexture(32, 32);
    auto other = TTexture::CreateRenderTargetTexture(32, 32);
    TColor red{1, 0, 0, 1}, green{0, 1, 0, 1};
    platform->BeginDraw(true);
    platform->Begin2d();
    platform->SetBlendMode(TPlatform::EBlendModes(kBlendOff));
    platform->FillRect(10, 20, 30, 40, &red);
    platform->PushViewport(5, 6, 100, 200);
    platform->GetViewport(&gSeen.viewport);
    platform->PopViewport();
    if (platform->BeginRenderTarget(target)) {
        testing::internal::CaptureStderr();
        gSeen.nestedRefused = !platform->BeginRenderTarget(other);
        gSeen.log = testing::internal::GetCapturedStderr();
        platform->FillRect(0, 0, 8, 8, &green);
        platform->EndRenderTarget();
    }
    platform->End2d();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, handler->GetScreenFramebuffer());
    glReadPixels(15, 25, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, gSeen.screen);
    platform->EndDraw(true);
    unsigned char* pixels;
    int w, h, pitch;
    if (target->Lock(&pixels, &w, &h, &pitch)) {
        std::copy(pixels, pixels + 4, gSeen.target);
        target->Unlock();
    }
}

TEST(PlatformDrawingGL, Init3dInstallsTheGLHandlerAndTheFacadeForwardsToIt)
{
    qm::InstallGLDisplayHost();
    char name[] = "render_platform_test";
    char* argv[] = {name, nullptr};
    QuellmoorExec(1, argv, DrawingMain, false);
    qm::PlatformHooks().makeDisplayHost = nullptr;

    ASSERT_TRUE(gSeen.display);
    ASSERT_TRUE(gSeen.glHandler);
    EXPECT_EQ(gSeen.screen[2], 255);  // red, B G R A
    EXPECT_EQ(gSeen.screen[1], 0);
    EXPECT_EQ(gSeen.viewport.x1, 5);
    EXPECT_EQ(gSeen.viewport.y1, 6);
    EXPECT_EQ(gSeen.viewport.x2, 100);
    EXPECT_EQ(gSeen.viewport.y2, 200);
    EXPECT_TRUE(gSeen.nestedRefused);
    EXPECT_NE(gSeen.log.find("Attempt to call BeginRenderTarget while in another BeginRenderTarget context."),
              std::string::npos);
    EXPECT_EQ(gSeen.target[1], 255);  // green
    EXPECT_EQ(gSeen.target[2], 0);
}

}  // namespace
