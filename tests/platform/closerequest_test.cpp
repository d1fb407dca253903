// The window's close button: a quit by default, a close request for a
// program that asked for them; and the mode change that a failed full-screen
// switch does not report.
#include "platformfixture.h"

TEST_F(PlatformTest, CloseButtonGivesACloseRequestOnlyWhenAskedFor)
{
    start();
    platform->SetCloseRequests(true);
    backend->Inject(Raw(TRawEvent::kWindowClosed));
    backend->Inject(Raw(TRawEvent::kWindowClosed));
    EXPECT_EQ(next().mType, TEvent::kCloseRequest);
    EXPECT_EQ(next().mType, TEvent::kCloseRequest);
    EXPECT_FALSE(data->QuitRequested());
    EXPECT_EQ(next().mType, TEvent::kIdle);

    // A quit asked for by the system still quits.
    backend->Inject(Raw(TRawEvent::kQuit));
    next();
    EXPECT_EQ(next().mType, TEvent::kQuit);
}

TEST_F(PlatformTest, FailedFullScreenToggleReportsNoModeChange)
{
    start();
    platform->SetDisplay(800, 600, false);
    backend->fullscreenFails = true;
    TRawEvent key = Key(TRawEvent::kKeyDown, '\r', TEvent::kOptionKey);
    backend->Inject(key);
    EXPECT_EQ(next().mType, TEvent::kIdle);
    EXPECT_FALSE(platform->IsFullscreen());
}
