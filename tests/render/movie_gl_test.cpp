// Movies on the real GL handler (label gl): the engine's own entry, SDL's
// dummy audio, a movie made at test time. The pictures the host presents are
// read back from the screen framebuffer.
#include "engine/platform/platform.h"
#include "engine/render/flashhost.h"
#include "engine/render/gl/gldisplayhandler.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/sound/soundhost.h"
#include "engine/sound/soundmanager.h"
#include "movietestkit.h"
#include "testimages.h"
#include "tools/moviegen/moviegen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using movietest::kColours;
using movietest::Near;

struct TShown {
    int frame;
    std::uint8_t centre[4];  // B, G, R, A
    std::uint8_t top[4];     // above the picture when it is letterboxed
};

struct TSeen {
    bool display = false;
    bool ready = false;
    bool playingAtEnd = true;
    int streams = -1;
    std::vector<TShown> shown;
} gSeen;

std::string gMovie;

// Plays the movie through, reading back every picture that reaches the screen.
void MovieMain(TPlatform* platform, const char*)
{
    gSeen.display = platform->SetDisplay(800, 600, false);
    auto* handler = dynamic_cast<TGLDisplayHandler*>(platform->GetDisplayHandler());
    platform->InitSound();
    TFlashHost host(gMovie.c_str());
    gSeen.ready = host.IsReady();
    if (!gSeen.display || !handler || !host.Start(false))
        return;
    gSeen.streams = TSoundManager::GetInstance() ? TSoundManager::GetInstance()->StreamCount() : -1;
    const std::uint32_t deadline = platform->Timer() + 10000;
    int last = -1;
    while (host.IsPlaying() && platform->Timer() < deadline) {
        TEvent ev;
        platform->GetEvent(&ev);
        if (host.GetShownFrame() == last)
            continue;
        last = host.GetShownFrame();
        TShown shown{last, {}, {}};
        glBindFramebuffer(GL_READ_FRAMEBUFFER, handler->GetScreenFramebuffer());
        glReadPixels(400, 300, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, shown.centre);
        glReadPixels(400, 10, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, shown.top);
        gSeen.shown.push_back(shown);
    }
    gSeen.playingAtEnd = host.IsPlaying();
}

TEST(MovieGL, EveryPresentedPictureReachesTheScreenScaledToFitAndLetterboxed)
{
    testimages::ScratchDir dir;
    // 16:9, so the scaled picture leaves black bands above and below.
    TMovieSpec spec;
    spec.width = 160;
    spec.height = 90;
    // Two a second: a picture falls due while the loop below reads back the
    // last one only when a reading takes half a second (a busy machine).
    spec.fpsNumerator = 2;
    spec.frames = 8;
    ASSERT_TRUE(WriteColourMovie("colours.ogv", spec, kColours));
    gMovie = std::filesystem::absolute("colours.ogv");  // the engine works in its resource folder
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    qm::InstallGLDisplayHost();
    qm::InstallSoundHost();
    char name[] = "render_movie_gl_tests";
    char* argv[] = {name, nullptr};
    QuellmoorExec(1, argv, MovieMain, false);
    qm::PlatformHooks() = qm::TPlatformHooks{};

    ASSERT_TRUE(gSeen.display);
    ASSERT_TRUE(gSeen.ready);
    EXPECT_EQ(gSeen.streams, 1);
    EXPECT_FALSE(gSeen.playingAtEnd);
    // Most pictures are seen, in order (one due while a reading was still
    // being made is skipped, as a player's screen would skip it).
    ASSERT_GE(gSeen.shown.size(), 3u);
    int previous = -1;
    for (const TShown& s : gSeen.shown) {
        EXPECT_GT(s.frame, previous);
        previous = s.frame;
        EXPECT_TRUE(Near(s.centre, kColours[size_t(s.frame) % 4])) << "frame " << s.frame;
        EXPECT_TRUE(Near(s.top, TRgb{0, 0, 0})) << "band above frame " << s.frame;
    }
}

}  // namespace
