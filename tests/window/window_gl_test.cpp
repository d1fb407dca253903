// Windows and widgets drawn over the root screen by the real engine on GL
// (Mesa under Xvfb or SDL's offscreen driver): each window of a small tree
// draws a texture at its own origin, clipped to its screen rectangle by the
// viewport the window core pushes; a push button shows its normal picture,
// then its rollover picture once the pointer is over it; a text widget lights
// pixels inside its own rectangle only. Pixels are read back from the screen.
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/render/gl/glheaders.h"
#include "engine/render/texture.h"
#include "engine/text/text_platform.h"
#include "engine/window/button.h"
#include "engine/window/image.h"
#include "engine/window/modalwindow.h"
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

std::shared_ptr<TTexture> Solid(TPlatform* platform, const TColor& colour, int w = 256, int h = 256)
{
    auto texture = TTexture::Create(w, h, false);
    platform->FillRect(0, 0, w, h, &colour, texture);
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

// Runs the engine with GL, text and the window system over `main`, in a
// data folder of its own.
void RunEngine(void (*main)(TPlatform*, const char*), bool straightToWindow)
{
    char home[] = "/tmp/qm_window_gl_XXXXXX";
    ASSERT_NE(::mkdtemp(home), nullptr);
    ::setenv("XDG_DATA_HOME", home, 1);
    qm::InstallGLDisplayHost(straightToWindow);
    qm::InstallTextRendering();
    qm::InstallWindowSystem();
    char name[] = "window_gl_test";
    char* argv[] = {name, nullptr};
    testing::internal::CaptureStderr();
    QuellmoorExec(1, argv, main, false);
    testing::internal::GetCapturedStderr();
    qm::PlatformHooks() = qm::TPlatformHooks{};
    std::filesystem::remove_all(home);
    ::unsetenv("XDG_DATA_HOME");
}

void Frame(TWindowManager* manager)
{
    TEvent idle;
    idle.mType = TEvent::kIdle;
    manager->HandleEvent(&idle);
}

// A push button whose three layers are solid red, white and green, and a text
// widget below the tree of windows; the pointer goes over the button last.
void Widgets(TPlatform* platform, TWindowManager* manager, TScreen* screen, TGLDisplayHandler* handler)
{
    auto* button = new TButton(TButton::kPush);
    button->SetName("ok");
    const TColor looks[3] = {{1, 0, 0, 1}, {1, 1, 1, 1}, {0, 1, 0, 1}};
    for (int layer = 0; layer < 3; ++layer) {
        auto* image = new TImage(true);
        image->SetTexture(Solid(platform, looks[layer], 64, 32), 1.0f);
        button->SetCurrentLayer(layer);
        button->AdoptChild(image, true);
    }
    button->SetWindowPos(100, 450);
    screen->AdoptChild(button, true);

    // A picture at half its size fills its whole (half-size) window.
    auto* scaled = new TImage(true);
    auto half = TTexture::Create(64, 64, true);
    const TColor green{0, 1, 0, 1};
    platform->FillRect(0, 0, 64, 64, &green, half);
    scaled->SetTexture(half, 0.5f);
    scaled->SetWindowPos(600, 450);
    screen->AdoptChild(scaled, true);

    auto* text = new TText(false);
    text->SetWindowPos(300, 450);
    screen->AdoptChild(text, true);
    text->Create("Quite a few words", 200, 40, 0, "", 24, TColor{1, 1, 1, 1});

    screen->InvalidateRect(nullptr);
    Frame(manager);
    const GLuint fb = handler->GetScreenFramebuffer();
    gPixels["button"] = ColourAt(fb, 130, 465);
    gPixels["right of button"] = ColourAt(fb, 165, 465);
    gPixels["scaled picture"] = ColourAt(fb, 629, 479);
    gPixels["right of scaled picture"] = ColourAt(fb, 633, 470);
    gTextPixels = CountNotBlue(fb, 300, 450, 500, 490);
    gPixelsOutsideText = CountNotBlue(fb, 300, 491, 500, 530) + CountNotBlue(fb, 501, 450, 540, 490);

    TEvent move{};
    move.mType = TEvent::kMouseMove;
    move.mX = 130;
    move.mY = 465;
    manager->HandleEvent(&move);
    Frame(manager);
    gPixels["button hovered"] = ColourAt(fb, 130, 465);
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
    // Before the modal dialog, which would take the pointer.
    Widgets(platform, manager, screen, handler);
    auto* dialog = new Swatch<TModalWindow>(Solid(platform, TColor{1, 1, 1, 1}));
    Place(dialog, 400, 300, 500, 400);
    manager->PushModal(dialog);

    Frame(manager);
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

TEST(WindowGLTest, WindowsAndWidgetsDrawInsideTheirViewportsOverTheRootScreen)
{
    RunEngine(WindowsMain, false);

    ASSERT_TRUE(gDisplay);
    const std::map<std::string, std::string> expected{
        {"root", "001"},           {"panel", "100"},        {"panel far edge", "100"},
        {"right of panel", "001"}, {"below panel", "001"},  {"badge", "010"},
        {"beside badge", "100"},   {"dialog", "111"},       {"left of dialog", "001"},
        {"below dialog", "001"},   {"button", "100"},       {"right of button", "001"},
        {"button hovered", "010"}, {"scaled picture", "010"},  {"right of scaled picture", "001"},
    };
    EXPECT_EQ(gPixels, expected);
    EXPECT_GT(gTextPixels, 50);
    EXPECT_EQ(gPixelsOutsideText, 0);
}

}  // namespace

namespace {

// What the straight-to-window frames left in the screen framebuffer.
struct TStraightSeen {
    bool firstStraight = false;
    bool afterPanelStraight = true;
    std::map<std::string, std::string> pixels;
};
TStraightSeen gStraight;

// A frame that redrew the whole screen went straight to the window; the
// next one that would redraw only a window finds the framebuffer behind and
// redraws everything into it instead. (Events invalidate the whole screen
// first, as the platform is always dirty here: the window-only frame is
// drawn directly.)
void StraightMain(TPlatform* platform, const char*)
{
    gDisplay = platform->SetDisplay(800, 600, false);
    auto* handler = dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler());
    TWindowManager* manager = platform->GetWindowManager();
    if (!gDisplay || !handler || !manager || !manager->GetScreen())
        return;
    TScreen* screen = manager->GetScreen();
    screen->SetFill(true, TColor{0, 0, 1, 1});
    auto* panel = new Swatch<TWindow>(Solid(platform, TColor{1, 0, 0, 1}));
    Place(panel, 100, 100, 300, 200);
    screen->AdoptChild(panel, false);

    screen->InvalidateRect(nullptr);
    Frame(manager);
    gStraight.firstStraight = handler->DrawsToWindow();

    panel->InvalidateRect(nullptr);
    manager->DrawStack();
    gStraight.afterPanelStraight = handler->DrawsToWindow();
    const GLuint fb = handler->GetScreenFramebuffer();
    gStraight.pixels["root"] = ColourAt(fb, 50, 50);
    gStraight.pixels["panel"] = ColourAt(fb, 150, 150);
    gStraight.pixels["right of panel"] = ColourAt(fb, 500, 150);
}

}  // namespace

TEST(WindowGLTest, AFrameAfterOneStraightToTheWindowRedrawsTheWholeScreen)
{
    RunEngine(StraightMain, true);

    ASSERT_TRUE(gDisplay);
    EXPECT_TRUE(gStraight.firstStraight);
    EXPECT_FALSE(gStraight.afterPanelStraight);
    const std::map<std::string, std::string> expected{
        {"root", "001"}, {"panel", "100"}, {"right of panel", "001"}};
    EXPECT_EQ(gStraight.pixels, expected);
}
