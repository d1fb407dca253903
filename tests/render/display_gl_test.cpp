// The game's frame in the window the X server really gave, on the SDL back
// end with the GL display handler (label gl, no window manager): a full
// screen nothing grants, a window resized under the game, a pointer moved by
// warping. Runs alone (it moves the display's one pointer).
#include "engine/platform/platform.h"
#include "engine/platform/sdl/sdlbackend.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/render/texture.h"

#include "outsideclient.h"
#include "testimages.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

using namespace testimages;

namespace {

std::string captured(const std::function<void()>& action)
{
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
}

class DisplayGLTest : public testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("XDG_DATA_HOME", (scratch.Path() + "/data").c_str(), 1);
        qm::InstallGLDisplayHost(StraightToWindow());
        captured([&] {
            platform = std::make_unique<TPlatform>(
                new TPlatformData(0, nullptr, false, std::make_unique<qm::TSdlBackend>()));
            platform->Init3d();
        });
        handler = dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler());
        ASSERT_NE(handler, nullptr);
    }
    void TearDown() override
    {
        platform.reset();
        qm::PlatformHooks() = qm::TPlatformHooks{};
        ::unsetenv("XDG_DATA_HOME");
    }

    virtual bool StraightToWindow() const { return false; }
    TPlatformData* data() { return platform->GetPlatformData(); }
    SDL_Window* window() { return SDL_GL_GetCurrentWindow(); }

    // The next event the test caused; the pointer crossing into the window
    // and focus changes may come first.
    TEvent nextPress()
    {
        TEvent ev;
        for (int i = 0; i < 200; ++i) {
            platform->GetEvent(&ev);
            if (ev.mType == TEvent::kMouseDown)
                return ev;
        }
        return ev;
    }

    TPoint pressAt(int windowX, int windowY)
    {
        SDL_Event button{};
        button.type = SDL_MOUSEBUTTONDOWN;
        button.button.button = SDL_BUTTON_LEFT;
        button.button.windowID = SDL_GetWindowID(window());
        button.button.x = windowX;
        button.button.y = windowY;
        EXPECT_EQ(SDL_PushEvent(&button), 1);
        TEvent ev = nextPress();
        EXPECT_EQ(ev.mType, TEvent::kMouseDown);
        return {ev.mX, ev.mY};
    }

    // One frame with the cursor; the screen framebuffer's pixel at engine
    // (x, y) as R, G, B.
    void frame()
    {
        ASSERT_TRUE(platform->BeginDraw(false));
        platform->EndDraw(true);
    }
    // One whole-screen frame of a colour, presented without a swap.
    bool fillFrame(TColor colour)
    {
        if (!platform->BeginDraw(false))
            return false;
        platform->Begin2d();
        platform->FillRect(0, 0, 800, 600, &colour);
        platform->End2d();
        platform->EndDraw(false);
        return true;
    }
    Rgba screenPixel(int x, int y)
    {
        unsigned char p[4] = {};
        glBindFramebuffer(GL_READ_FRAMEBUFFER, handler->GetScreenFramebuffer());
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2], p[3]};
    }
    // The window's own pixel at (x, y) from its top left, after a present
    // without a swap.
    Rgba windowPixel(int x, int y)
    {
        int width = 0, height = 0;
        data()->GetDrawableSize(&width, &height);
        unsigned char p[4] = {};
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);  // presented, not yet swapped
        glReadPixels(x, height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2], p[3]};
    }
    static bool isRed(Rgba p) { return p.r > 200 && p.g < 40 && p.b < 40; }

    ScratchDir scratch;
    std::unique_ptr<TPlatform> platform;
    TGLDisplayHandler* handler = nullptr;
};

}  // namespace

// As the game installs the display: whole-screen frames go straight to the
// window while it has the display's size, through the framebuffer otherwise.
class DisplayGLStraightTest : public DisplayGLTest {
protected:
    bool StraightToWindow() const override { return true; }
};

TEST_F(DisplayGLStraightTest, AFullScreenNoWindowManagerGrantsIsLoggedAndTheWindowKeepsItsSize)
{
    std::string log = captured([&] { EXPECT_FALSE(platform->SetDisplay(800, 600, true)); });
    EXPECT_NE(log.find("cannot switch to full screen"), std::string::npos) << log;
    EXPECT_FALSE(platform->IsFullscreen());
    int width = 0, height = 0;
    data()->GetDrawableSize(&width, &height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);

    // The frame fills the window, and a click lands where it is.
    TPoint p = pressAt(400, 300);
    EXPECT_EQ(p.x, 400);
    EXPECT_EQ(p.y, 300);
    p = pressAt(790, 10);
    EXPECT_EQ(p.x, 790);
    EXPECT_EQ(p.y, 10);
    ASSERT_TRUE(fillFrame(TColor{0, 1, 0, 1}));
    glFinish();
    Rgba corner = windowPixel(2, 2);
    EXPECT_GT(corner.g, 200) << "the picture does not reach the window's top left corner";
}

TEST_F(DisplayGLStraightTest, ClicksAndThePictureFollowAWindowResizedUnderTheGame)
{
    captured([&] { ASSERT_TRUE(platform->SetDisplay(800, 600, false)); });
    ASSERT_TRUE(fillFrame(TColor{1, 0, 0, 1}));
    EXPECT_TRUE(handler->DrawsToWindow()) << "the window has the display's size";
    // Wider than the frame's shape wants: bars left and right.
    TOutsideClient manager(window());
    ASSERT_TRUE(manager.Ok());
    manager.Resize(1000, 600);
    int width = 0, height = 0;
    for (int i = 0; i < 100 && width != 1000; ++i) {
        // The game hears of the new size through its event loop.
        TEvent ev;
        platform->GetEvent(&ev);
        data()->GetDrawableSize(&width, &height);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(width, 1000);
    ASSERT_EQ(height, 600);

    TPoint p = pressAt(500, 300);
    EXPECT_EQ(p.x, 400);
    EXPECT_EQ(p.y, 300);
    p = pressAt(100, 0);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);

    ASSERT_TRUE(fillFrame(TColor{0, 1, 0, 1}));
    glFinish();
    EXPECT_FALSE(handler->DrawsToWindow()) << "a letterboxed picture goes through the framebuffer";
    EXPECT_GT(windowPixel(102, 300).g, 200) << "the picture starts 100 pixels in";
    EXPECT_LT(windowPixel(50, 300).g, 40) << "the bar is black";
}

TEST_F(DisplayGLTest, AWarpedPointerMovesTheDrawnCursor)
{
    captured([&] { ASSERT_TRUE(platform->SetDisplay(800, 600, false)); });
    WritePng("cursor.png", 8, 8, PngKind::Rgba, Solid(8, 8, {255, 0, 0, 255}));
    platform->SetCursor(TTexture::Get("cursor.png"), TPoint{0, 0});

    // Each warp is looked for over a few frames: the X server takes it in
    // its own time, and raises no raw motion for it.
    TOutsideClient tool(window());
    ASSERT_TRUE(tool.Ok());
    for (TPoint to : {TPoint{200, 150}, TPoint{600, 420}, TPoint{40, 500}}) {
        tool.Warp(to.x, to.y);
        bool drawn = false;
        for (int i = 0; i < 100 && !drawn; ++i) {
            frame();
            drawn = isRed(screenPixel(to.x + 4, to.y + 4));
            if (!drawn)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        EXPECT_TRUE(drawn) << "no cursor at (" << to.x << ", " << to.y << ")";
        EXPECT_FALSE(isRed(screenPixel(to.x + 20, to.y + 20)));
    }
}
