// Movies made by tools/moviegen at test time: the decoder alone, then the
// movie host on the headless engine's fake clock (null sound output), then
// the scripts' movie functions and the splash.
#include "engine/render/flashhost.h"
#include "engine/render/texture.h"
#include "engine/render/theoramovie.h"
#include "engine/script/windowscript.h"
#include "engine/sound/null/nulloutput.h"
#include "engine/sound/soundhost.h"
#include "engine/sound/soundmanager.h"
#include "engine/window/message.h"
#include "engine/window/screen.h"
#include "engine/window/windowmanager.h"
#include "headlessengine.h"
#include "movietestkit.h"
#include "testimages.h"
#include "tools/moviegen/moviegen.h"
#include "tools/soundgen/soundgen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using movietest::kColours;
using movietest::Near;

// Eight frames at ten a second: red, green, blue, white, twice over.
TMovieSpec SmallSpec(bool sound = true)
{
    TMovieSpec spec;
    spec.width = 64;
    spec.height = 48;
    spec.fpsNumerator = 10;
    spec.frames = 8;
    spec.sound = sound;
    return spec;
}

::testing::AssertionResult TextureShows(const std::shared_ptr<TTexture>& texture, TRgb want)
{
    unsigned char* pixels;
    int w, h, pitch;
    if (!texture || !texture->Lock(&pixels, &w, &h, &pitch))
        return ::testing::AssertionFailure() << "no texture";
    auto result = Near(pixels + (size_t(h / 3) * pitch + size_t(w / 3) * 4), want);
    texture->Unlock();
    return result;
}

std::vector<std::uint8_t> Prefix(const std::vector<std::uint8_t>& bytes, size_t n)
{
    return std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + std::min(n, bytes.size()));
}

TEST(TheoraMovie, DecodesEveryPictureAtItsTimeAndTheWholeSoundTrack)
{
    testimages::ScratchDir dir;
    ASSERT_TRUE(WriteColourMovie("colours.ogv", SmallSpec(), kColours));
    auto movie = TTheoraMovie::Open(testimages::ReadBytes("colours.ogv"));
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->Width(), 64);
    EXPECT_EQ(movie->Height(), 48);
    EXPECT_EQ(movie->FrameCount(), 8);
    EXPECT_EQ(movie->FrameAtMs(0), 0);
    EXPECT_EQ(movie->FrameAtMs(99), 0);
    EXPECT_EQ(movie->FrameAtMs(100), 1);
    EXPECT_EQ(movie->FrameAtMs(799), 7);
    EXPECT_EQ(movie->FrameAtMs(800), 8);
    EXPECT_EQ(movie->FrameTimeMs(8), 800u);
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < 8; ++i) {
            ASSERT_TRUE(movie->DecodeNext(true));
            EXPECT_TRUE(Near(&movie->Pixels()[(20 * 64 + 30) * 4], kColours[i % 4])) << "frame " << i;
            EXPECT_TRUE(Near(&movie->Pixels()[(47 * 64 + 63) * 4], kColours[i % 4])) << "corner of frame " << i;
        }
        EXPECT_FALSE(movie->DecodeNext(true));
        movie->Rewind();  // the second pass shows the same pictures
    }
    ASSERT_NE(movie->Sound(), nullptr);
    EXPECT_EQ(movie->Sound()->rate, 44100);
    EXPECT_EQ(movie->Sound()->channels, 2);
    EXPECT_EQ(movie->Sound()->Frames(), 35280);  // trimmed to the track's last granule position

    ASSERT_TRUE(WriteColourMovie("silent.ogv", SmallSpec(false), kColours));
    auto silent = TTheoraMovie::Open(testimages::ReadBytes("silent.ogv"));
    ASSERT_NE(silent, nullptr);
    EXPECT_EQ(silent->Sound(), nullptr);
}

TEST(TheoraMovie, RefusesWhatIsNoPlayableMovieAndPlaysWhatSurvivesOfACutOne)
{
    testimages::ScratchDir dir;
    ASSERT_TRUE(WriteColourMovie("colours.ogv", SmallSpec(), kColours));
    TToneSpec tone;
    ASSERT_TRUE(WriteToneOgg("tone.ogg", tone));
    const std::vector<std::uint8_t> whole = testimages::ReadBytes("colours.ogv");
    const std::string text = "not a movie at all";
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
    } refused[] = {
        {"nothing", {}},
        {"text", std::vector<std::uint8_t>(text.begin(), text.end())},
        {"sound only", testimages::ReadBytes("tone.ogg")},
        {"cut in the first page", Prefix(whole, 30)},
        {"cut inside the headers", Prefix(whole, 1000)},
    };
    for (const auto& c : refused)
        EXPECT_EQ(TTheoraMovie::Open(c.bytes), nullptr) << c.what;

    // Cut among the pictures: what arrived whole still plays.
    auto cut = TTheoraMovie::Open(Prefix(whole, whole.size() * 3 / 4));
    ASSERT_NE(cut, nullptr);
    EXPECT_GT(cut->FrameCount(), 0);
    EXPECT_LE(cut->FrameCount(), 8);
    while (cut->DecodeNext(true)) {
    }
}

// The host inside the headless engine, with sound on the null output.
class MovieHostTest : public qmtest::HeadlessWindowTest {
protected:
    MovieHostTest() : HeadlessWindowTest("qm_movie_") {}

    void SetUp() override
    {
        EnterScratchHome();
        if (HasFatalFailure())
            return;
        std::filesystem::create_directories("assets/movies");
        ASSERT_TRUE(WriteColourMovie("assets/movies/colours.ogv", SmallSpec(), kColours));
        const auto whole = testimages::ReadBytes("assets/movies/colours.ogv");
        testimages::WriteBytes("assets/movies/cut.ogv", Prefix(whole, 1000));
        testimages::WriteBytes("assets/movies/garbage.ogv", std::vector<std::uint8_t>(5000, 0x4f));
        StartEngine();
        qm::PlatformHooks().makeSoundHost = [](TPlatformData&) {
            return qm::MakeSoundHost(std::make_unique<TNullAudioOutput>());
        };
        ASSERT_TRUE(engine.platform->InitSound());
    }

    // The host's flag setter, as the window script gives it.
    TFlashHost::TPlayingFlag Flag()
    {
        return [this](bool on) { manager->SetMoviePlaying(on); };
    }
    int Streams() { return TSoundManager::GetInstance()->StreamCount(); }
};

TEST_F(MovieHostTest, PlaysAtTheMoviesRateWithItsSoundAndEndsWithoutLooping)
{
    TFlashHost host("movies/colours.ogv", Flag());
    ASSERT_TRUE(host.IsReady());
    EXPECT_FALSE(host.IsPlaying());
    ASSERT_TRUE(host.Start(false));
    EXPECT_TRUE(manager->IsMoviePlaying());
    EXPECT_TRUE(host.IsPlaying());
    EXPECT_EQ(Streams(), 1);

    const struct {
        int ms;    // time passing before the idle pass
        int frame; // picture shown after it
    } steps[] = {{0, 0}, {50, 0}, {50, 1}, {150, 2}, {100, 3}, {390, 7}};
    for (const auto& s : steps) {
        Frame(s.ms);
        EXPECT_EQ(host.GetShownFrame(), s.frame) << "after " << s.ms;
        EXPECT_TRUE(TextureShows(host.GetTexture(), kColours[s.frame % 4])) << "frame " << s.frame;
        EXPECT_TRUE(host.IsPlaying());
    }
    Frame(60);  // 800 ms: the end
    EXPECT_FALSE(host.IsPlaying());
    EXPECT_EQ(host.GetShownFrame(), 7);
    EXPECT_TRUE(manager->IsMoviePlaying());  // until the player stops it
    host.Stop();
    EXPECT_FALSE(manager->IsMoviePlaying());
    Frame(0);
    EXPECT_EQ(Streams(), 0);
}

TEST_F(MovieHostTest, ALoopingMovieStartsOverUntilStopped)
{
    auto host = std::make_unique<TFlashHost>("movies/colours.ogv", Flag());
    ASSERT_TRUE(host->Start(true));
    Frame(0);
    Frame(850);  // 50 ms into the second run
    EXPECT_TRUE(host->IsPlaying());
    EXPECT_EQ(host->GetShownFrame(), 0);
    EXPECT_TRUE(TextureShows(host->GetTexture(), kColours[0]));
    EXPECT_EQ(Streams(), 1);  // the sound started over with the pictures
    Frame(1800);  // 2650 ms: 250 ms into the fourth run
    EXPECT_EQ(host->GetShownFrame(), 2);
    EXPECT_TRUE(TextureShows(host->GetTexture(), kColours[2]));
    host->Stop();
    EXPECT_FALSE(host->IsPlaying());
    EXPECT_FALSE(manager->IsMoviePlaying());
    Frame(300);
    EXPECT_EQ(host->GetShownFrame(), 2);  // nothing moves once stopped
    host.reset();
    Frame(0);  // the task ends itself after its host is gone
    EXPECT_EQ(Streams(), 0);
}

TEST_F(MovieHostTest, MissingOrBrokenFilesGiveAHostThatIsNotReady)
{
    for (const char* path : {"movies/none.ogv", "movies/cut.ogv", "movies/garbage.ogv", ""}) {
        auto host = std::make_unique<TFlashHost>(path, Flag());
        EXPECT_FALSE(host->IsReady()) << path;
        EXPECT_FALSE(host->Start(true)) << path;
        EXPECT_TRUE(manager->IsMoviePlaying()) << path;  // Start raises it in every case
        EXPECT_FALSE(host->IsPlaying()) << path;
        Frame(100);
        host.reset();
        EXPECT_FALSE(manager->IsMoviePlaying()) << path;
    }
    EXPECT_EQ(Streams(), 0);
}

TEST_F(MovieHostTest, ScriptsStartPollAndStopTheMovie)
{
    auto run = [&](const char* code) {
        script->DoLuaString(code);
        lua_getglobal(L, "r");
        return qmtest::PopLuaText(L);
    };
    EXPECT_EQ(run("r = StartMovie('')"), "false");
    EXPECT_EQ(run("r = StartMovie('movies/none.ogv')"), "false");
    EXPECT_FALSE(manager->IsMoviePlaying());  // the failed host is gone, and its flag with it
    EXPECT_EQ(run("r = IsMoviePlaying()"), "false");

    EXPECT_EQ(run("r = StartMovie('movies/colours.ogv')"), "true");
    EXPECT_TRUE(manager->IsMoviePlaying());
    Frame(0);
    Frame(2000);  // the scripts' movies loop
    EXPECT_EQ(run("r = IsMoviePlaying()"), "true");
    EXPECT_EQ(run("StopMovie() r = IsMoviePlaying()"), "false");
    EXPECT_FALSE(manager->IsMoviePlaying());
    run("StopMovie()");  // stopping twice is harmless
    EXPECT_EQ(Streams(), 0);
    // A movie still running when the engine shuts down goes with the script.
    EXPECT_EQ(run("r = StartMovie('movies/colours.ogv')"), "true");
    Frame(100);
}

TEST_F(MovieHostTest, TheSplashPlaysItsMovieUntilAKeyAndFallsBackToItsImage)
{
    testimages::WritePng("assets/splash.png", 8, 8, testimages::PngKind::Rgb,
                         std::vector<testimages::Rgba>(64, testimages::Rgba{200, 100, 50, 255}));
    Asset("splash.lua", R"(
        return function()
            gDone = nil
            DisplaySplash(gMovie, 'splash.png', 300)
            gDone = true
            WaitForMessage()
        end)");
    auto done = [&] {
        lua_getglobal(L, "gDone");
        return qmtest::PopLuaText(L);
    };

    script->DoLuaString("gMovie = 'movies/colours.ogv'");
    manager->RunScript(manager->GetScreen(), "splash.lua");
    EXPECT_TRUE(manager->IsMoviePlaying());
    for (int i = 0; i < 20; ++i)
        Frame(100);
    EXPECT_EQ(done(), "nil");  // it loops until the player is done with it
    EXPECT_EQ(Find("splashimage"), nullptr);
    script->OnMessage(new TMessage(kPressAnyKey, "raw:x", nullptr), nullptr);
    Frame(0);
    EXPECT_EQ(done(), "true");
    EXPECT_FALSE(manager->IsMoviePlaying());

    script->DoLuaString("gMovie = 'movies/cut.ogv'");
    manager->RunScript(manager->GetScreen(), "splash.lua");
    EXPECT_FALSE(manager->IsMoviePlaying());
    EXPECT_NE(Find("splashimage"), nullptr);
    for (int i = 0; i < 6 && done() != "true"; ++i)
        Frame(100);
    EXPECT_EQ(done(), "true");
}

}  // namespace
