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
    // The refusal is kept for the program to tell, once.
    EXPECT_TRUE(platform->TakeFullscreenRefusal());
    EXPECT_FALSE(platform->TakeFullscreenRefusal());
}

// Only the player's own switch counts as refused: a start in full screen
// that the desktop refuses (the game's default) is no news to tell.
TEST_F(PlatformTest, AFullScreenStartThatIsRefusedIsNotARefusalToTell)
{
    start();
    backend->fullscreenFails = true;
    EXPECT_FALSE(platform->SetDisplay(800, 600, true));
    EXPECT_FALSE(platform->IsFullscreen());
    EXPECT_FALSE(platform->TakeFullscreenRefusal());
    EXPECT_FALSE(platform->SetFullscreen(true));
    EXPECT_TRUE(platform->TakeFullscreenRefusal());
    EXPECT_TRUE(platform->SetFullscreen(false)) << "already a window";
    EXPECT_FALSE(platform->TakeFullscreenRefusal());
}
