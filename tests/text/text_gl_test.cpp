// Text on the GL display (label gl): calibration against the real driver,
// and a paragraph drawn on the screen and into a render-target texture
// matching what the CPU path draws into memory.
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/render/texture.h"
#include "engine/text/text_platform.h"
#include "engine/text/textgraphic.h"
#include "engine/text/textservices.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* kParagraph =
    "<center><font size=\"24\"><b>Opening day</b></font></center>"
    "The <i>kitchen</i> opens at dawn. Serve every guest before their patience runs out, "
    "<font color=\"#c03020\">keep the tables clean</font> and watch the <u>tips</u> add up. "
    "<outline color=\"#2060c0\">start now</outline>!";

struct TSeen {
    bool display = false;
    bool calibrated = false;
    std::string log;
    int capacity = 0;
    std::vector<unsigned char> screen;   // 800 x 600 B G R A, top row first
    std::vector<unsigned char> texture;  // the render target's pixels, 800 x 600
    std::vector<unsigned char> cpu;      // the same text drawn into memory
};
TSeen gSeen;

void TextMain(TPlatform* platform, const char*)
{
    testing::internal::CaptureStderr();
    gSeen.display = platform->SetDisplay(800, 600, false);
    gSeen.log = testing::internal::GetCapturedStderr();
    TQmMiniVecDraw* draw = GetTextServices().rasterizer;
    auto* handler = dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler());
    if (!gSeen.display || !draw || !handler)
        return;
    gSeen.calibrated = draw->IsCalibrated();
    gSeen.capacity = draw->GetVertexCapacity();

    TTextGraphic* text = TTextGraphic::Create(kParagraph, 600, 400, 0, "", 16, TColor{1, 1, 1, 1});
    const TRect rect{50, 40, 650, 440};
    platform->BeginDraw(true);
    platform->Begin2d();
    TColor black{0, 0, 0, 1};
    platform->SetBlendMode(TPlatform::EBlendModes(kBlendOff));
    platform->FillRect(0, 0, 800, 600, &black);
    platform->SetBlendMode(TPlatform::EBlendModes(kBlendAlpha));
    text->Draw(rect, 1.0f, 0, 1.0f);
    platform->End2d();
    gSeen.screen.resize(800 * 600 * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, handler->GetScreenFramebuffer());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_BGRA, GL_UNSIGNED_BYTE, gSeen.screen.data());
    platform->EndDraw(true);

    auto target = TTexture::CreateRenderTargetTexture(800, 600);
    platform->FillRect(0, 0, 800, 600, &black, target);
    text->Draw(rect, 1.0f, 0, 1.0f, target);
    unsigned char* pixels;
    int width, height, pitch;
    if (target->Lock(&pixels, &width, &height, &pitch)) {
        for (int y = 0; y < 600; ++y)
            gSeen.texture.insert(gSeen.texture.end(), pixels + y * pitch, pixels + y * pitch + 800 * 4);
        target->Unlock();
    }

    auto memory = std::make_shared<TMemorySurface>(800, 600);
    memory->Fill(0, 0, 0, 255);
    text->DrawInto(rect, 1.0f, 0, 1.0f, memory);
    gSeen.cpu = memory->Pixels();
    text->Destroy();
}

struct TDiff {
    int maxDiff = 0;
    long lit = 0, litReference = 0;
};

TDiff Compare(const std::vector<unsigned char>& a, const std::vector<unsigned char>& reference)
{
    TDiff d;

    for (size_t i = 0; i + 3 < a.size() && i + 3 < reference.size(); i += 4) {
        for (int c = 0; c < 3; ++c)
            d.maxDiff = std::max(d.maxDiff, std::abs(int(a[i + c]) - int(reference[i + c])));
        d.lit += (a[i] | a[i + 1] | a[i + 2]) != 0;
        d.litReference += (reference[i] | reference[i + 1] | reference[i + 2]) != 0;
    }
    return d;
}

TEST(TextGL, CalibratesAndDrawsWhatTheCpuDraws)
{
    qm::InstallGLDisplayHost();
    qm::InstallTextRendering();
    char name[] = "text_gl_test";
    char* argv[] = {name, nullptr};
    QuellmoorExec(1, argv, TextMain, false);
    qm::PlatformHooks().makeDisplayHost = nullptr;

    ASSERT_TRUE(gSeen.display);
    EXPECT_NE(gSeen.log.find("TEXT CALIBRATION pass 1"), std::string::npos);
    EXPECT_NE(gSeen.log.find("TEXT CALIBRATION SUCCESS"), std::string::npos);
    EXPECT_TRUE(gSeen.calibrated);
    EXPECT_EQ(gSeen.capacity, 256);

    ASSERT_EQ(gSeen.cpu.size(), size_t(800 * 600 * 4));

    TDiff screen = Compare(gSeen.screen, gSeen.cpu);
    EXPECT_GT(screen.litReference, 2000);
    EXPECT_EQ(screen.lit, screen.litReference);
    // The same pixels lit; values within the rounding of blending, which GL
    // rounds and the CPU truncates, over up to three layers.
    EXPECT_LE(screen.maxDiff, 4);
    TDiff texture = Compare(gSeen.texture, gSeen.cpu);
    EXPECT_EQ(texture.lit, texture.litReference);
    EXPECT_LE(texture.maxDiff, 0);
}

}  // namespace
