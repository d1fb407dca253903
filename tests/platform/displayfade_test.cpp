// The screen's fade around a display change: the timing on its own, and the
// platform's order around the change on the headless back end's fake clock
// (the fade to black is over before the mode changes; the way back runs on
// with the frames the program draws afterwards).
#include "engine/platform/displayfade.h"
#include "platformfixture.h"

#include <string>

namespace {

using qm::TDisplayFade;

TEST(DisplayFadeTest, DarkensOverHalfASecondAndClearsOverThreeSeconds)
{
    TDisplayFade fade;
    EXPECT_FALSE(fade.IsShowing(100));
    EXPECT_FLOAT_EQ(fade.Blackness(100), 0);

    fade.StartOut(1000);
    EXPECT_TRUE(fade.IsShowing(1000));
    EXPECT_FLOAT_EQ(fade.Blackness(1000), 0);
    EXPECT_FLOAT_EQ(fade.Blackness(1250), 0.5f);
    EXPECT_FALSE(fade.IsBlack(1499));
    EXPECT_TRUE(fade.IsBlack(1500));
    EXPECT_FLOAT_EQ(fade.Blackness(9000), 1) << "black stays black until the way back starts";

    fade.StartBack(2000);
    EXPECT_FALSE(fade.IsBlack(2000));
    EXPECT_FLOAT_EQ(fade.Blackness(2000), 1);
    EXPECT_FLOAT_EQ(fade.Blackness(3500), 0.5f);
    EXPECT_TRUE(fade.IsShowing(4999));
    EXPECT_FALSE(fade.IsShowing(5000));
    EXPECT_FLOAT_EQ(fade.Blackness(5000), 0);
    EXPECT_FLOAT_EQ(fade.Blackness(60000), 0);
}

TEST(DisplayFadeTest, ANewFadeToBlackStartsFromHowDarkThePictureIsAndTheClockMayWrap)
{
    TDisplayFade fade;
    const std::uint32_t nearWrap = 0xFFFFFF00u;
    fade.StartBack(nearWrap);
    const std::uint32_t halfWayBack = nearWrap + 1500;  // wrapped past zero
    EXPECT_FLOAT_EQ(fade.Blackness(halfWayBack), 0.5f);
    fade.StartOut(halfWayBack);
    EXPECT_FLOAT_EQ(fade.Blackness(halfWayBack), 0.5f) << "no flash back to the clear picture";
    EXPECT_FLOAT_EQ(fade.Blackness(halfWayBack + 250), 0.75f);
    EXPECT_TRUE(fade.IsBlack(halfWayBack + 500));

    fade.SetBlack(7);
    EXPECT_TRUE(fade.IsBlack(7));
}

// Records when (on the fake clock) and in which mode each fade step came.
struct FadingDisplayHost : FakeDisplayHost {
    qm::THeadlessBackend* backend = nullptr;
    bool canFade = true;
    struct TStep {
        std::uint32_t now;
        float blackness;
        bool fullscreen;
        int swaps;
    };
    std::vector<TStep> steps;
    int lastFrameShown = 0;

    bool CanFade() override { return canFade; }
    void ShowLastFrame() override { ++lastFrameShown; }
    void DrawFade(float blackness) override
    {
        steps.push_back({backend->now, blackness, backend->fullscreen, backend->swaps});
    }
};

class DisplayFadePlatformTest : public PlatformTest {
protected:
    FadingDisplayHost* host = nullptr;

    void startWithHost()
    {
        start();
        auto display = std::make_unique<FadingDisplayHost>();
        host = display.get();
        host->backend = backend;
        data->SetDisplayHandler(std::move(display));
        backend->desktopWidth = 1280;
        backend->desktopHeight = 1024;
    }
    bool quietly(const std::function<bool()>& action)
    {
        testing::internal::CaptureStderr();
        bool result = action();
        testing::internal::GetCapturedStderr();
        return result;
    }
    void frame()
    {
        data->BeginDraw(false);
        data->EndDraw(true);
    }
    // Frames every 100 ms of the fake clock until the fade is gone.
    void playFrames(int count)
    {
        for (int i = 0; i < count; ++i) {
            backend->now += 100;
            frame();
        }
    }
};

TEST_F(DisplayFadePlatformTest, AModeSwitchGoesToBlackFirstThenComesBackWhileTheProgramRunsOn)
{
    startWithHost();
    ASSERT_TRUE(quietly([&] { return platform->SetDisplay(800, 600, false); }));
    EXPECT_TRUE(host->steps.empty()) << "a window asked for at the start does not fade";
    frame();

    const std::uint32_t asked = backend->now;
    ASSERT_TRUE(quietly([&] { return platform->SetFullscreen(true); }));
    const std::uint32_t returned = backend->now;

    // The fade to black: shown frame after frame, darker each time, all of
    // it in the old mode and swapped onto the window; the change came after.
    std::vector<FadingDisplayHost::TStep> out = host->steps;
    ASSERT_GE(out.size(), 10u);
    EXPECT_EQ(host->lastFrameShown, static_cast<int>(out.size()));
    for (size_t i = 0; i < out.size(); ++i) {
        EXPECT_FALSE(out[i].fullscreen) << "step " << i << " came after the change";
        if (i > 0) {
            EXPECT_GT(out[i].blackness, out[i - 1].blackness);
            EXPECT_EQ(out[i].swaps, out[i - 1].swaps + 1);
        }
    }
    EXPECT_FLOAT_EQ(out.back().blackness, 1);
    EXPECT_GE(out.back().now - asked, TDisplayFade::kOutMs);
    EXPECT_TRUE(backend->fullscreen);

    // The way back does not hold the call up: it returns black, and the
    // frames drawn afterwards clear over three seconds.
    EXPECT_LT(returned - asked, TDisplayFade::kOutMs + 100);
    EXPECT_FLOAT_EQ(data->FadeBlackness(), 1);
    host->steps.clear();
    playFrames(35);
    std::vector<FadingDisplayHost::TStep> back = host->steps;
    ASSERT_EQ(back.size(), 29u) << "frames 100 .. 2900 ms after the change are darkened";
    for (size_t i = 0; i < back.size(); ++i) {
        EXPECT_TRUE(back[i].fullscreen);
        EXPECT_NEAR(back[i].blackness, 1 - (100.0f * (i + 1)) / TDisplayFade::kBackMs, 1e-4);
    }
    EXPECT_FLOAT_EQ(data->FadeBlackness(), 0);

    // Back to the window: the same again.
    host->steps.clear();
    ASSERT_TRUE(quietly([&] { return platform->SetFullscreen(false); }));
    ASSERT_FALSE(host->steps.empty());
    EXPECT_TRUE(host->steps.front().fullscreen);
    EXPECT_FLOAT_EQ(host->steps.back().blackness, 1);
    EXPECT_FALSE(backend->fullscreen);
}

TEST_F(DisplayFadePlatformTest, AScreenThatDrawsNothingStillComesBackFromBlack)
{
    startWithHost();
    quietly([&] { return platform->SetDisplay(800, 600, false); });
    frame();
    quietly([&] { return platform->SetFullscreen(true); });
    host->steps.clear();
    const int shownBefore = host->lastFrameShown;

    // The program only asks for events: idle passes show the last frame
    // again, less black each time, then once more clear, then stop.
    for (int i = 0; i < 40; ++i) {
        backend->now += 100;
        next();
    }
    ASSERT_EQ(host->steps.size(), 29u);
    for (size_t i = 1; i < host->steps.size(); ++i) {
        EXPECT_LT(host->steps[i].blackness, host->steps[i - 1].blackness);
        EXPECT_EQ(host->steps[i].swaps, host->steps[i - 1].swaps + 1);
    }
    EXPECT_EQ(host->lastFrameShown - shownBefore, 30) << "29 with black, one without";
    const int swaps = backend->swaps;
    next();
    EXPECT_EQ(backend->swaps, swaps);

    // Frames the program draws itself are not doubled by idle passes.
    quietly([&] { return platform->SetFullscreen(false); });
    host->steps.clear();
    const int shown = host->lastFrameShown;
    backend->now += 100;
    frame();
    next();
    next();
    EXPECT_EQ(host->lastFrameShown, shown);
    EXPECT_EQ(host->steps.size(), 1u);
}

TEST_F(DisplayFadePlatformTest, AStartInFullScreenComesUpOutOfBlackWithoutWaiting)
{
    startWithHost();
    const std::uint32_t asked = backend->now;
    ASSERT_TRUE(quietly([&] { return platform->SetDisplay(800, 600, true); }));
    // Nothing was on the window to darken: no frames were shown, no time spent.
    EXPECT_EQ(backend->now, asked);
    EXPECT_TRUE(host->steps.empty());
    EXPECT_EQ(host->lastFrameShown, 0);
    EXPECT_FLOAT_EQ(data->FadeBlackness(), 1);
    backend->now += 1500;
    frame();
    ASSERT_EQ(host->steps.size(), 1u);
    EXPECT_FLOAT_EQ(host->steps[0].blackness, 0.5f);
}

TEST_F(DisplayFadePlatformTest, NoFadeWithoutAChangeWithoutAHostThatCanFadeOrWhenTheChangeIsRefused)
{
    startWithHost();
    quietly([&] { return platform->SetDisplay(800, 600, false); });
    frame();
    // The mode it is already in: nothing happens at all.
    const std::uint32_t before = backend->now;
    EXPECT_TRUE(platform->SetFullscreen(false));
    EXPECT_TRUE(host->steps.empty());
    EXPECT_EQ(backend->now, before);

    // A refused switch still went through black, and still comes back.
    backend->fullscreenFails = true;
    EXPECT_FALSE(quietly([&] { return platform->SetFullscreen(true); }));
    EXPECT_FALSE(host->steps.empty());
    EXPECT_FLOAT_EQ(data->FadeBlackness(), 1);
    playFrames(31);
    EXPECT_FLOAT_EQ(data->FadeBlackness(), 0);

    // A host that cannot darken the picture: the switch happens at once.
    backend->fullscreenFails = false;
    host->canFade = false;
    host->steps.clear();
    const std::uint32_t asked = backend->now;
    EXPECT_TRUE(quietly([&] { return platform->SetFullscreen(true); }));
    EXPECT_TRUE(backend->fullscreen);
    EXPECT_EQ(backend->now, asked);
    EXPECT_TRUE(host->steps.empty());
    frame();
    EXPECT_TRUE(host->steps.empty());
}

TEST_F(DisplayFadePlatformTest, AltReturnFadesLikeTheOptionsDo)
{
    startWithHost();
    quietly([&] { return platform->SetDisplay(800, 600, false); });
    frame();
    backend->Inject(Key(TRawEvent::kKeyDown, '\r', TEvent::kOptionKey));
    testing::internal::CaptureStderr();
    next();
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(backend->fullscreen);
    ASSERT_FALSE(host->steps.empty());
    EXPECT_FALSE(host->steps.front().fullscreen);
    EXPECT_FLOAT_EQ(host->steps.back().blackness, 1);
}

}  // namespace
