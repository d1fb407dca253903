// A small tree of windows drawn over the root screen by the real engine on
// GL (Mesa under Xvfb or SDL's offscreen driver): each window draws a
// texture at its own origin, clipped to its screen rectangle by the viewport
// the window core pushes; the pixels are read back from the 800x600 screen.
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/render/gl/glheaders.h"
#include "engine/render/texture.h"
#include "engine/window/modalwindow.h"
#include "engine/window/screen.h"
#include "engine/window/windowhost.h"
#include "engine/window/windowmanager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

namespace {

// Draws a solid texture bigger than itself at its own origin (texture
// positions are screen pixels); the viewport clips it to the window.
template <typename Base>
class Swatch : public Base {
public:
    explicit Swatch(std::shared_ptr<TTexture> texture) : mTexture(std::move(texture)) {}
    void Draw() override
    {
        TPlatform* platform = TPlatform::GetInstance();
        TRect screen;
        this->GetWindowRect(&screen);
        if (platform->Begin2d()) {
            mTexture->Draw(float(screen.x1), float(screen.y1));
            platform->End2d();
        }
    }

private:
    std::shared_ptr<TTexture> mTexture;
};

std::shared_ptr<TTexture> Solid(TPlatform* platform, const TColor& colour)
{
    auto texture = TTexture::Create(256, 256, false);
    platform->FillRect(0, 0, 256, 256, &colour, texture);
    return texture;
}

void Place(TWindow* w, int x1, int y1, int x2, int y2)
{
    w->SetWindowPos(x1, y1);
    w->SetWindowSize(x2 - x1, y2 - y1);
}

// What Main saw, checked after the engine returned: pixel colours by name.
bool gDisplay = false;
std::map<std::string, std::string> gPixels;

std::string ColourAt(GLuint framebuffer, int x, int y)
{
    unsigned char bgra[4] = {};
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadPixels(x, y, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, bgra);
    const auto on = [](unsigned char c) { return c > 200 ? '1' : c < 50 ? '0' : '?'; };
    return {on(bgra[2]), on(bgra[1]), on(bgra[0])};
}

void WindowsMain(TPlatform* platform, const char*)
{
    gDisplay = platform->SetDisplay(800, 600, false);
    auto* handler = dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler());
    TWindowManager* manager = platform->GetWindowManager();
    if (!gDisplay || !handler || !manager)
        return;
    auto* screen = manager->GetScreen();
    if (!screen)
        return;
    screen->SetFill(true, TColor{0, 0, 1, 1});

    auto* panel = new Swatch<TWindow>(Solid(platform, TColor{1, 0, 0, 1}));
    Place(panel, 100, 100, 300, 200);
    screen->AdoptChild(panel, false);
    auto* badge = new Swatch<TWindow>(Solid(platform, TColor{0, 1, 0, 1}));
    Place(badge, 20, 20, 60, 60);
    panel->AdoptChild(badge, false);
    auto* dialog = new Swatch<TModalWindow>(Solid(platform, TColor{1, 1, 1, 1}));
    Place(dialog, 400, 300, 500, 400);
    manager->PushModal(dialog);

    TEvent idle;
    idle.mType = TEvent::kIdle;
    manager->HandleEvent(&idle);

    const GLuint fb = handler->GetScreenFramebuffer();
    // The framebuffer holds row y of the screen at row y (top row first).
    gPixels["root"] = ColourAt(fb, 50, 50);
    gPixels["panel"] = ColourAt(fb, 250, 180);
    gPixels["panel far edge"] = ColourAt(fb, 299, 199);
    gPixels["right of panel"] = ColourAt(fb, 300, 150);
    gPixels["below panel"] = ColourAt(fb, 150, 200);
    gPixels["badge"] = ColourAt(fb, 125, 125);
    gPixels["beside badge"] = ColourAt(fb, 165, 130);
    gPixels["dialog"] = ColourAt(fb, 450, 350);
    gPixels["left of dialog"] = ColourAt(fb, 399, 350);
    gPixels["below dialog"] = ColourAt(fb, 450, 400);
}

TEST(WindowGLTest, WindowsDrawInsideTheirViewportsOverTheRootScreen)
{
    char home[] = "/tmp/qm_window_gl_XXXXXX";
    ASSERT_NE(::mkdtemp(home), nullptr);
    ::setenv("XDG_DATA_HOME", home, 1);
    qm::InstallGLDisplayHost();
    qm::InstallWindowSystem();
    char name[] = "window_gl_test";
    char* argv[] = {name, nullptr};
    QuellmoorExec(1, argv, WindowsMain, false);
    qm::PlatformHooks() = qm::TPlatformHooks{};
    std::filesystem::remove_all(home);
    ::unsetenv("XDG_DATA_HOME");

    ASSERT_TRUE(gDisplay);
    const std::map<std::string, std::string> expected{
        {"root", "001"},           {"panel", "100"},        {"panel far edge", "100"},
        {"right of panel", "001"}, {"below panel", "001"},  {"badge", "010"},
        {"beside badge", "100"},   {"dialog", "111"},       {"left of dialog", "001"},
        {"below dialog", "001"},
    };
    EXPECT_EQ(gPixels, expected);
}

}  // namespace
