// Where the game's 800x600 frame lies in the window the desktop really gave,
// and what that means for clicks and the pointer: a full screen that is not
// granted, a window resized under the game, a pointer moved by warping.
#include "engine/base/rect.h"
#include "platformfixture.h"

#include <string>

namespace {

std::string captured(const std::function<void()>& action)
{
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
}

constexpr int kAlt = TEvent::kOptionKey;

}  // namespace

class DisplayTest : public PlatformTest {
protected:
    // Where a press at window pixel (x, y) lands in the game.
    TPoint press(int x, int y)
    {
        backend->Inject(Button(TRawEvent::kButtonDown, TRawEvent::kPrimaryButton, x, y));
        TEvent ev = next();
        EXPECT_EQ(ev.mType, TEvent::kMouseDown);
        return {ev.mX, ev.mY};
    }
};

TEST_F(DisplayTest, ARefusedFullScreenIsLoggedKeepsTheWindowAndClicksLandWhereTheyAre)
{
    start();
    // A first start asks for full screen on a desktop that does not grant it.
    backend->desktopWidth = 1280;
    backend->desktopHeight = 1024;
    backend->fullscreenFails = true;
    std::string log = captured([&] { EXPECT_FALSE(platform->SetDisplay(800, 600, true)); });
    EXPECT_NE(log.find("cannot switch to full screen"), std::string::npos) << log;
    EXPECT_NE(log.find("The window is 800 x 600 pixels"), std::string::npos) << log;
    EXPECT_FALSE(platform->IsFullscreen());
    EXPECT_FALSE(backend->fullscreen);

    TPoint p = press(400, 300);
    EXPECT_EQ(p.x, 400);
    EXPECT_EQ(p.y, 300);
    p = press(0, 599);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 599);
}

TEST_F(DisplayTest, AGrantedFullScreenLetterboxesClicksIntoTheDesktop)
{
    start();
    backend->desktopWidth = 1280;
    backend->desktopHeight = 1024;
    captured([&] { EXPECT_TRUE(platform->SetDisplay(800, 600, true)); });
    EXPECT_TRUE(platform->IsFullscreen());
    // 1280 x 960 from (0, 32): a bar of 32 pixels above and below.
    TPoint p = press(640, 512);
    EXPECT_EQ(p.x, 400);
    EXPECT_EQ(p.y, 300);
    p = press(0, 32);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    p = press(1279, 10);  // in the top bar
    EXPECT_EQ(p.x, 799);
    EXPECT_LT(p.y, 0);
}

TEST_F(DisplayTest, ClicksFollowTheWindowWhenItIsResizedUnderTheGame)
{
    start();
    captured([&] { platform->SetDisplay(800, 600, false); });
    // A window manager doubles the window: the next event maps through the
    // new size, and the change is noted in the log.
    backend->width = 1600;
    backend->height = 1200;
    std::string log = captured([&] {
        backend->Inject(Raw(TRawEvent::kBoundsChanged));
        drain();
    });
    EXPECT_NE(log.find("The window is 1600 x 1200 pixels; the game shows at 1600 x 1200 from (0, 0)"),
              std::string::npos)
        << log;
    TPoint p = press(800, 600);
    EXPECT_EQ(p.x, 400);
    EXPECT_EQ(p.y, 300);

    // A wide window: bars left and right; a resize the game was not told of
    // is followed all the same.
    backend->width = 1000;
    backend->height = 600;
    p = press(100, 0);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    p = press(500, 300);
    EXPECT_EQ(p.x, 400);
    EXPECT_EQ(p.y, 300);
    backend->Inject(Raw(TRawEvent::kMouseMoved, 50, 300));
    TEvent move = next();
    EXPECT_EQ(move.mType, TEvent::kMouseMove);
    EXPECT_LT(move.mX, 0);  // in the left bar
}

TEST_F(DisplayTest, ThePointerIsAskedForNotRememberedSoAWarpIsSeen)
{
    start();
    captured([&] { platform->SetDisplay(800, 600, false); });
    // Moved by a tool that warps it: no event at all.
    backend->mouseX = 123;
    backend->mouseY = 456;
    int x = 0, y = 0;
    data->GetMousePosition(&x, &y);
    EXPECT_EQ(x, 123);
    EXPECT_EQ(y, 456);
    EXPECT_TRUE(data->IsMouseInContent());

    backend->width = 1600;
    backend->height = 1200;
    backend->mouseX = 1598;
    backend->mouseY = 2;
    data->GetMousePosition(&x, &y);
    EXPECT_EQ(x, 799);
    EXPECT_EQ(y, 1);
    backend->mouseX = 1700;  // beyond the window's right edge
    EXPECT_FALSE(data->IsMouseInContent());
}

TEST_F(DisplayTest, SwitchingFullScreenLeavesThePointerWhereItIs)
{
    start();
    captured([&] { platform->SetDisplay(800, 600, false); });
    const int warps = backend->warps;
    backend->mouseX = 30;
    backend->mouseY = 40;
    EXPECT_TRUE(platform->SetFullscreen(true));
    EXPECT_TRUE(platform->SetFullscreen(false));
    backend->Inject(Key(TRawEvent::kKeyDown, '\r', kAlt));
    EXPECT_EQ(drain().front().mType, TEvent::kDisplayChanged);
    EXPECT_TRUE(platform->IsFullscreen());
    EXPECT_EQ(backend->warps, warps);
    EXPECT_EQ(backend->mouseX, 30);
    EXPECT_EQ(backend->mouseY, 40);
}
