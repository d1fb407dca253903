// Widgets drawn by the real engine on GL (Mesa under Xvfb or SDL's offscreen
// driver): a push button shows its normal picture, then its rollover picture
// once the pointer is over it; a text widget lights pixels inside its own
// rectangle only. Pixels are read back from the 800x600 screen.
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/render/gl/glheaders.h"
#include "engine/render/texture.h"
#include "engine/text/text_platform.h"
#include "engine/window/button.h"
#include "engine/window/image.h"
#include "engine/window/screen.h"
#include "engine/window/text.h"
#include "engine/window/windowhost.h"
#include "engine/window/windowmanager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

namespace {

std::shared_ptr<TTexture> Solid(TPlatform* platform, int w, int h, const TColor& colour)
{
    auto texture = TTexture::Create(w, h, false);
    platform->FillRect(0, 0, w, h, &colour, texture);
    return texture;
}

bool gDisplay = false;
std::map<std::string, std::string> gPixels;
int gTextPixels = -1;
int gPixelsOutsideText = -1;

std::string ColourAt(GLuint framebuffer, int x, int y)
{
    unsigned char bgra[4] = {};
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadPixels(x, y, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
    const auto on = [](unsigned char c) { return c > 200 ? '1' : c < 50 ? '0' : '?'; };
    return {on(bgra[2]), on(bgra[1]), on(bgra[0])};
}

// Pixels of the rectangle that are not the blue of the root screen.
int CountNotBlue(GLuint framebuffer, int x1, int y1, int x2, int y2)
{
    int count = 0;
    for (int y = y1; y < y2; ++y)
        for (int x = x1; x < x2; ++x)
            count += ColourAt(framebuffer, x, y) != "001";
    return count;
}

void Frame(TWindowManager* manager)
{
    TEvent idle;
    idle.mType = TEvent::kIdle;
    manager->HandleEvent(&idle);
}

void WidgetsMain(TPlatform* platform, const char*)
{
    gDisplay = platform->SetDisplay(800, 600, false);
    auto* handler = dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler());
    TWindowManager* manager = platform->GetWindowManager();
    TScreen* screen = manager ? manager->GetScreen() : nullptr;
    if (!gDisplay || !handler || !screen)
        return;
    screen->SetFill(true, TColor{0, 0, 1, 1});

    auto* button = new TButton(TButton::kPush);
    button->SetName("ok");
    const TColor looks[3] = {{1, 0, 0, 1}, {1, 1, 1, 1}, {0, 1, 0, 1}};
    for (int layer = 0; layer < 3; ++layer) {
        auto* image = new TImage(true);
        image->SetTexture(Solid(platform, 64, 32, looks[layer]), 1.0f);
        button->SetCurrentLayer(layer);
        button->AdoptChild(image, true);
    }
    button->SetWindowPos(100, 100);
    screen->AdoptChild(button, true);

    auto* text = new TText(false);
    text->SetWindowPos(300, 100);
    screen->AdoptChild(text, true);
    text->Create("Quite a few words", 200, 40, 0, "", 24, TColor{1, 1, 1, 1});

    screen->InvalidateRect(nullptr);
    Frame(manager);
    const GLuint fb = handler->GetScreenFramebuffer();
    gPixels["button"] = ColourAt(fb, 130, 115);
    gPixels["right of button"] = ColourAt(fb, 165, 115);
    gTextPixels = CountNotBlue(fb, 300, 100, 500, 140);
    gPixelsOutsideText = CountNotBlue(fb, 300, 141, 500, 180) + CountNotBlue(fb, 501, 100, 540, 140);

    TEvent move{};
    move.mType = TEvent::kMouseMove;
    move.mX = 130;
    move.mY = 115;
    manager->HandleEvent(&move);
    Frame(manager);
    gPixels["button hovered"] = ColourAt(fb, 130, 115);
}

TEST(WidgetGLTest, AButtonShowsItsLookPerStateAndTextDrawsInsideItsWindow)
{
    char home[] = "/tmp/qm_widget_gl_XXXXXX";
    ASSERT_NE(::mkdtemp(home), nullptr);
    ::setenv("XDG_DATA_HOME", home, 1);
    qm::InstallGLDisplayHost();
    qm::InstallTextRendering();
    qm::InstallWindowSystem();
    char name[] = "widget_gl_test";
    char* argv[] = {name, nullptr};
    testing::internal::CaptureStderr();
    QuellmoorExec(1, argv, WidgetsMain, false);
    testing::internal::GetCapturedStderr();
    qm::PlatformHooks() = qm::TPlatformHooks{};
    std::filesystem::remove_all(home);
    ::unsetenv("XDG_DATA_HOME");

    ASSERT_TRUE(gDisplay);
    const std::map<std::string, std::string> expected{
        {"button", "100"}, {"right of button", "001"}, {"button hovered", "010"}};
    EXPECT_EQ(gPixels, expected);
    EXPECT_GT(gTextPixels, 50);
    EXPECT_EQ(gPixelsOutsideText, 0);
}

}  // namespace
