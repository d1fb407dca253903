// The sound manager inside the platform: created by the first InitSound,
// handed the idle pass and the application's (de)activation.
#include "engine/platform/headless/headlessbackend.h"
#include "engine/platform/platform.h"
#include "engine/sound/soundhost.h"
#include "soundtestkit.h"

#include <cstdlib>

namespace {

class PlatformSound : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::setenv("XDG_DATA_HOME", mFolder.Path("xdg").c_str(), 1);
        // A null output on the engine timer, which the platform points at the
        // headless back end's fake clock.
        qm::PlatformHooks().makeSoundHost = [](TPlatformData&) {
            return qm::MakeSoundHost(std::make_unique<TNullAudioOutput>());
        };
        auto headless = std::make_unique<qm::THeadlessBackend>();
        mBackend = headless.get();
        mBackend->now = 5000;
        testing::internal::CaptureStderr();
        mPlatform = std::make_unique<TPlatform>(new TPlatformData(0, nullptr, false, std::move(headless)));
        testing::internal::GetCapturedStderr();
    }

    void TearDown() override
    {
        mPlatform.reset();
        qm::PlatformHooks() = qm::TPlatformHooks{};
        ::unsetenv("XDG_DATA_HOME");
    }

    std::shared_ptr<TSound> Tone(const std::string& name, double seconds, int type)
    {
        TToneSpec spec;
        spec.seconds = seconds;
        std::string path = mFolder.Path(name);
        EXPECT_TRUE(WriteToneOgg(path, spec));
        return TSound::Get(path.c_str(), false, type);
    }

    // Lets time go by on the fake clock and takes events up to the idle one.
    void Idle(uint32_t ms)
    {
        mBackend->now += ms;
        TEvent ev;
        for (int guard = 0; guard < 10; ++guard) {
            mPlatform->GetEvent(&ev);
            if (ev.mType == TEvent::kIdle)
                return;
        }
    }

    TempFolder mFolder;
    qm::THeadlessBackend* mBackend = nullptr;
    std::unique_ptr<TPlatform> mPlatform;
};

}  // namespace

TEST_F(PlatformSound, InitSoundCreatesTheManagerOnce)
{
    EXPECT_EQ(mPlatform->GetSoundManager(), nullptr);
    EXPECT_TRUE(mPlatform->InitSound());
    TSoundManager* manager = mPlatform->GetSoundManager();
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager, TSoundManager::GetInstance());
    EXPECT_TRUE(manager->IsInitialised());
    EXPECT_TRUE(mPlatform->InitSound());
    EXPECT_EQ(mPlatform->GetSoundManager(), manager);
    mPlatform.reset();
    EXPECT_EQ(TSoundManager::GetInstance(), nullptr);
}

TEST_F(PlatformSound, IdlePassDeliversCompletions)
{
    ASSERT_TRUE(mPlatform->InitSound());
    auto sound = Tone("tone.ogg", 0.2, TSoundManager::kEffects);
    ASSERT_TRUE(sound);
    RecordingCallBack done;
    sound->SetCompleteAction(sound->Play(false), &done, nullptr);
    Idle(100);
    EXPECT_TRUE(done.calls.empty());
    Idle(150);
    EXPECT_EQ(done.calls.size(), 1u);
}

TEST_F(PlatformSound, ReactivationResumesOnlyWhatWasPlaying)
{
    ASSERT_TRUE(mPlatform->InitSound());
    auto music = Tone("music.ogg", 0.2, TSoundManager::kMusic);
    auto effect = Tone("effect.ogg", 0.2, TSoundManager::kEffects);
    RecordingCallBack done;
    int m = music->Play(true);
    effect->SetCompleteAction(effect->Play(false), &done, nullptr);
    music->Pause(true, m);  // the game paused its music
    Idle(100);

    TRawEvent away;
    away.kind = TRawEvent::kDeactivated;
    mBackend->Inject(away);
    Idle(0);
    EXPECT_TRUE(mPlatform->GetSoundManager()->Output()->IsPaused());
    Idle(5000);  // nothing moves while the application is away
    EXPECT_TRUE(done.calls.empty());

    TRawEvent back;
    back.kind = TRawEvent::kActivated;
    mBackend->Inject(back);
    Idle(0);
    EXPECT_FALSE(mPlatform->GetSoundManager()->Output()->IsPaused());
    EXPECT_TRUE(music->Stream(m)->IsPaused());
    EXPECT_TRUE(done.calls.empty());
    Idle(150);
    EXPECT_EQ(done.calls.size(), 1u);
}
