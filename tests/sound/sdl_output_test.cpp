// The SDL back end end to end, with SDL's dummy and disk drivers, and the
// fall-back when SDL has no audio at all. Each test runs in its own process
// (one ctest entry per test), so each sets its own driver.
#include "engine/sound/sdl/sdloutput.h"
#include "soundtestkit.h"

#include <SDL.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace {

class SdlSound : public ::testing::Test {
protected:
    void Start(const char* driver)
    {
        setenv("SDL_AUDIODRIVER", driver, 1);
        mRegistry = std::make_unique<TAssetManager>();
        mManager = std::make_unique<TSoundManager>();
        ASSERT_TRUE(mManager->Init());
    }

    void TearDown() override
    {
        mManager.reset();
        mRegistry.reset();
    }

    std::shared_ptr<TSound> Tone(const std::string& name, double seconds)
    {
        TToneSpec spec;
        spec.seconds = seconds;
        std::string path = mFolder.Path(name);
        EXPECT_TRUE(WriteToneOgg(path, spec));
        return TSound::Get(path.c_str(), false, TSoundManager::kEffects);
    }

    // Runs notification passes, as the idle loop does, until the call-back
    // has been called or a generous deadline passes.
    void RunUntil(const RecordingCallBack& done, size_t calls)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (done.calls.size() < calls && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            mManager->HandleNotifications();
        }
    }

    TempFolder mFolder;
    std::unique_ptr<TAssetManager> mRegistry;
    std::unique_ptr<TSoundManager> mManager;
};

}  // namespace

TEST_F(SdlSound, DummyDriverMixesAndCompletes)
{
    Start("dummy");
    EXPECT_STREQ(mManager->Output()->Name(), "sdl");
    auto sound = Tone("tone.ogg", 0.1);
    ASSERT_TRUE(sound);
    RecordingCallBack done;
    int id = sound->Play(false);
    sound->SetCompleteAction(id, &done, nullptr);
    int looping = sound->Play(true);
    RunUntil(done, 1);
    ASSERT_EQ(done.calls.size(), 1u);
    EXPECT_EQ(done.calls[0].streamId, id);
    EXPECT_NE(sound->Stream(looping), nullptr);
    EXPECT_EQ(sound->Kill(-1), 1);
    EXPECT_EQ(mManager->StreamCount(), 0);
}

TEST_F(SdlSound, StreamedSoundsDecodeOnTheAudioThreadChainAndLoop)
{
    // Decoding as SDL's thread mixes (under TSan in the tsan tree): an intro
    // chained into a piece, and a loop that wraps many times meanwhile.
    Start("dummy");
    ASSERT_STREQ(mManager->Output()->Name(), "sdl");
    ASSERT_TRUE(Tone("intro.ogg", 0.15) && Tone("piece.ogg", 0.15) && Tone("loop.ogg", 0.05));
    auto intro = TSound::GetStreamed(mFolder.Path("intro.ogg").c_str(), TSoundManager::kMusic);
    auto piece = TSound::GetStreamed(mFolder.Path("piece.ogg").c_str(), TSoundManager::kMusic);
    auto loop = TSound::GetStreamed(mFolder.Path("loop.ogg").c_str(), TSoundManager::kEnvironment);
    ASSERT_TRUE(intro && piece && loop);
    const int looping = loop->Play(true);
    RecordingCallBack introDone, pieceDone;
    const int id = intro->Play(false);
    intro->SetCompleteAction(id, &introDone, piece);
    RunUntil(introDone, 1);
    ASSERT_EQ(introDone.calls.size(), 1u);
    ASSERT_EQ(introDone.calls[0].nextSound, piece);
    piece->SetCompleteAction(introDone.calls[0].nextStreamId, &pieceDone, nullptr);
    RunUntil(pieceDone, 1);
    EXPECT_EQ(pieceDone.calls.size(), 1u);
    EXPECT_NE(loop->Stream(looping), nullptr) << "a loop never ends";
    EXPECT_EQ(loop->Kill(-1), 1);
    EXPECT_EQ(mManager->StreamCount(), 0);
}

TEST_F(SdlSound, WithoutAudioTheNullOutputStillCompletes)
{
    Start("no-such-driver");
    EXPECT_STREQ(mManager->Output()->Name(), "null");
    auto sound = Tone("tone.ogg", 0.1);
    RecordingCallBack done;
    sound->SetCompleteAction(sound->Play(false), &done, nullptr);
    RunUntil(done, 1);
    EXPECT_EQ(done.calls.size(), 1u);
}

TEST_F(SdlSound, DiskDriverWritesExactlyTheScaledSamples)
{
    std::string rawPath = mFolder.Path("out.raw");
    setenv("SDL_DISKAUDIOFILE", rawPath.c_str(), 1);
    Start("disk");
    ASSERT_STREQ(mManager->Output()->Name(), "sdl");
    mManager->SetVolume(0.5f);
    auto sound = Tone("tone.ogg", 0.2);
    ASSERT_TRUE(sound);
    RecordingCallBack done;
    sound->SetCompleteAction(sound->Play(false), &done, nullptr);
    RunUntil(done, 1);
    ASSERT_EQ(done.calls.size(), 1u);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // some silence after it
    mManager.reset();  // closes the device and its file

    std::vector<int16_t> expected;
    for (int16_t sample : sound->Pcm()->samples)
        expected.push_back(static_cast<int16_t>((sample * 128) >> 8));
    std::ifstream in(rawPath, std::ios::binary);
    std::vector<int16_t> written;
    int16_t sample;
    while (in.read(reinterpret_cast<char*>(&sample), sizeof sample))
        written.push_back(sample);  // the device format is native 16-bit

    auto firstSound = [](const std::vector<int16_t>& v) {
        return static_cast<long>(std::find_if(v.begin(), v.end(), [](int16_t s) { return s != 0; }) - v.begin());
    };
    const long start = firstSound(written) - firstSound(expected);
    ASSERT_GE(start, 0);
    ASSERT_EQ(start % 2, 0);  // on a frame boundary
    ASSERT_GE(written.size(), static_cast<size_t>(start) + expected.size());
    for (long i = 0; i < static_cast<long>(written.size()); ++i) {
        long at = i - start;
        int16_t want = (at >= 0 && at < static_cast<long>(expected.size())) ? expected[static_cast<size_t>(at)] : 0;
        ASSERT_EQ(written[static_cast<size_t>(i)], want) << "sample " << i << " of " << written.size();
    }
}
