// Playing, chaining, pausing and completing, on the null output with a fake clock.
#include "soundtestkit.h"

namespace {

// The sound's samples as the mixer plays them at a volume (0 to 256).
std::vector<int16_t> Scaled(const TSound& sound, int volume)
{
    std::vector<int16_t> out;
    for (int16_t sample : sound.Pcm()->samples)
        out.push_back(static_cast<int16_t>((sample * volume) >> 8));
    return out;
}

std::vector<int16_t> Slice(const std::vector<int16_t>& v, size_t from, size_t count)
{
    return {v.begin() + static_cast<long>(from), v.begin() + static_cast<long>(from + count)};
}

bool AllZero(const std::vector<int16_t>& v)
{
    for (int16_t s : v)
        if (s != 0)
            return false;
    return true;
}

}  // namespace

using SoundPlay = SoundFixture;

TEST_F(SoundPlay, IdsCountUpAndKillFindsOnlyLiveStreams)
{
    auto sound = Load(Tone("tone.ogg", 0.2));
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->Play(false), 0);
    EXPECT_EQ(sound->Play(false), 1);
    EXPECT_EQ(mManager->StreamCount(), 2);
    EXPECT_EQ(sound->Kill(5), 0);
    EXPECT_EQ(sound->Kill(0), 1);
    EXPECT_EQ(sound->Kill(0), 0);
    EXPECT_EQ(mManager->StreamCount(), 1);
    EXPECT_EQ(sound->Kill(-1), 1);
    EXPECT_EQ(sound->Kill(-1), 0);
    EXPECT_EQ(mManager->StreamCount(), 0);
    EXPECT_EQ(sound->Play(false), 2);
}

TEST_F(SoundPlay, EveryStreamSharesTheOneDecodedBlock)
{
    auto sound = Load(Tone("tone.ogg", 0.2));
    auto next = Load(Tone("next.ogg", 0.2));
    std::shared_ptr<const TPcm> pcm = sound->SharedPcm();
    const long before = pcm.use_count();
    sound->Play(false);
    sound->Play(true);
    next->SetCompleteAction(next->Play(false), nullptr, sound);  // a prepared stream too
    EXPECT_EQ(pcm.use_count(), before + 3);
    EXPECT_EQ(sound->SharedPcm(), pcm);
    sound->Kill(-1);
    next->Kill(-1);
    EXPECT_EQ(pcm.use_count(), before);
}

TEST_F(SoundPlay, StreamEndsWhenItsTimeHasGoneBy)
{
    auto sound = Load(Tone("tone.ogg", 0.2));
    RecordingCallBack done;
    int id = sound->Play(false);
    sound->SetCompleteAction(id, &done, nullptr);
    Advance(150);
    EXPECT_TRUE(done.calls.empty());
    EXPECT_EQ(mManager->StreamCount(), 1);
    Advance(60);
    ASSERT_EQ(done.calls.size(), 1u);
    EXPECT_EQ(done.calls[0].sound, sound);
    EXPECT_EQ(done.calls[0].streamId, id);
    EXPECT_FALSE(done.calls[0].nextSound);
    EXPECT_EQ(mManager->StreamCount(), 0);
    EXPECT_EQ(sound->Stream(id), nullptr);
}

TEST_F(SoundPlay, LoopingStreamNeverCompletes)
{
    auto sound = Load(Tone("loop.ogg", 0.1));
    RecordingCallBack done;
    int id = sound->Play(true);
    sound->SetCompleteAction(id, &done, nullptr);
    for (int i = 0; i < 50; ++i)
        Advance(33);
    EXPECT_TRUE(done.calls.empty());
    EXPECT_EQ(mManager->StreamCount(), 1);
    ASSERT_NE(sound->Stream(id), nullptr);
    EXPECT_FALSE(sound->Stream(id)->IsFinished());
}

TEST_F(SoundPlay, IntroChainedIntoLoopStartsTheLoopAndCompletesOnce)
{
    auto intro = Load(Tone("intro.ogg", 0.2), TSoundManager::kMusic);
    auto loop = Load(Tone("loop.ogg", 0.3), TSoundManager::kMusic);
    RecordingCallBack done;
    int introId = intro->Play(false);
    intro->SetCompleteAction(introId, &done, loop);

    // The loop's stream is made ready at once but waits.
    ASSERT_NE(loop->Stream(0), nullptr);
    EXPECT_FALSE(loop->Stream(0)->IsPlaying());
    EXPECT_EQ(mManager->StreamCount(), 2);

    Advance(150);
    EXPECT_TRUE(done.calls.empty());
    Advance(60);
    ASSERT_EQ(done.calls.size(), 1u);
    EXPECT_EQ(done.calls[0].sound, intro);
    EXPECT_EQ(done.calls[0].streamId, introId);
    EXPECT_EQ(done.calls[0].nextSound, loop);
    EXPECT_EQ(done.calls[0].nextStreamId, 0);
    // Same pass: the loop plays now.
    ASSERT_NE(loop->Stream(0), nullptr);
    EXPECT_TRUE(loop->Stream(0)->IsPlaying());
    EXPECT_EQ(intro->Stream(introId), nullptr);

    for (int i = 0; i < 20; ++i)
        Advance(100);
    // The chained piece plays once; only a call-back chains further.
    EXPECT_EQ(done.calls.size(), 1u);
    EXPECT_EQ(mManager->StreamCount(), 0);
}

TEST_F(SoundPlay, CallBackCanKeepAMusicChainGoing)
{
    auto piece = Load(Tone("piece.ogg", 0.1), TSoundManager::kMusic);
    RecordingCallBack music;
    music.onCall = [&](const TCompletion& c) {
        if (music.calls.size() < 3)
            c.nextSound->SetCompleteAction(c.nextStreamId, &music, piece);
    };
    int id = piece->Play(false);
    piece->SetCompleteAction(id, &music, piece);
    for (int i = 0; i < 20; ++i)
        Advance(50);
    ASSERT_EQ(music.calls.size(), 3u);
    EXPECT_EQ(music.calls[0].streamId, 0);
    EXPECT_EQ(music.calls[0].nextStreamId, 1);
    EXPECT_EQ(music.calls[1].streamId, 1);
    EXPECT_EQ(music.calls[2].streamId, 2);
    EXPECT_EQ(mManager->StreamCount(), 0);
}

TEST_F(SoundPlay, DestroyedCallBackIsNeverCalled)
{
    auto intro = Load(Tone("intro.ogg", 0.1));
    auto loop = Load(Tone("loop.ogg", 0.1));
    int calls = 0;
    {
        RecordingCallBack doomed;
        doomed.onCall = [&](const TCompletion&) { ++calls; };
        int id = intro->Play(false);
        intro->SetCompleteAction(id, &doomed, loop);
        int other = loop->Play(false);
        loop->SetCompleteAction(other, &doomed, nullptr);
    }
    for (int i = 0; i < 10; ++i)
        Advance(50);
    EXPECT_EQ(calls, 0);
    // The chain itself still ran: the loop's prepared stream played and ended.
    EXPECT_EQ(mManager->StreamCount(), 0);
    EXPECT_EQ(loop->Play(false), 2);
}

TEST_F(SoundPlay, MasterTimesTypeVolumeReachesTheChannel)
{
    auto music = Load(Tone("music.ogg", 0.5), TSoundManager::kMusic);
    auto effect = Load(Tone("effect.ogg", 0.5), TSoundManager::kEffects);
    auto untyped = Load(Tone("untyped.ogg", 0.5), 0);
    int m = music->Play(true), e = effect->Play(true), u = untyped->Play(true);
    mManager->SetVolume(0.5f);
    mManager->SetTypeVolume(TSoundManager::kMusic, 0.5f);
    EXPECT_FLOAT_EQ(mManager->GetVolume(TSoundManager::kMusic), 0.25f);
    EXPECT_EQ(music->Stream(m)->ChannelVolume(), 64);
    EXPECT_EQ(effect->Stream(e)->ChannelVolume(), 128);  // no entry: the master alone
    EXPECT_EQ(untyped->Stream(u)->ChannelVolume(), 128);
    mManager->SetTypeVolume(TSoundManager::kEffects, 0.0f);
    EXPECT_EQ(effect->Stream(e)->ChannelVolume(), 0);
    mManager->SetTypeVolume(TSoundManager::kEffects, 3.0f);  // clamped
    EXPECT_EQ(effect->Stream(e)->ChannelVolume(), 256);
    // A new stream starts at its type's volume.
    int m2 = music->Play(false);
    EXPECT_EQ(music->Stream(m2)->ChannelVolume(), 64);
}

TEST_F(SoundPlay, MixedOutputIsTheSoundScaledByVolume)
{
    auto sound = Load(Tone("tone.ogg", 0.1));
    mManager->SetVolume(0.5f);
    sound->Play(false);
    const size_t samples = sound->Pcm()->samples.size();
    std::vector<int16_t> out = Render(sound->Pcm()->Frames() + 100);
    EXPECT_EQ(Slice(out, 0, samples), Scaled(*sound, 128));
    EXPECT_TRUE(AllZero(Slice(out, samples, 200)));
}

TEST_F(SoundPlay, ResumeContinuesAtTheSameSample)
{
    auto sound = Load(Tone("tone.ogg", 0.2));
    RecordingCallBack done;
    int id = sound->Play(false);
    sound->SetCompleteAction(id, &done, nullptr);
    const int frames = sound->Pcm()->Frames();

    std::vector<int16_t> first = Render(1000);
    sound->Pause(true, id);
    mManager->HandleNotifications();
    EXPECT_TRUE(AllZero(Render(3000)));
    sound->Pause(false, id);
    mManager->HandleNotifications();
    EXPECT_TRUE(done.calls.empty());  // resuming is not an end
    std::vector<int16_t> rest = Render(frames - 1000 + 10);

    std::vector<int16_t> played = first;
    played.insert(played.end(), rest.begin(), rest.end());
    EXPECT_EQ(Slice(played, 0, sound->Pcm()->samples.size()), sound->Pcm()->samples);
    mManager->HandleNotifications();
    EXPECT_EQ(done.calls.size(), 1u);
}

TEST_F(SoundPlay, PausedTimeDoesNotCountOnTheClock)
{
    auto sound = Load(Tone("tone.ogg", 0.2));
    RecordingCallBack done;
    int id = sound->Play(false);
    sound->SetCompleteAction(id, &done, nullptr);
    Advance(100);
    mManager->PauseAllSounds(true, -1);
    Advance(5000);
    mManager->PauseAllSounds(false, -1);
    Advance(0);
    EXPECT_TRUE(done.calls.empty());
    Advance(90);
    EXPECT_TRUE(done.calls.empty());
    Advance(20);
    EXPECT_EQ(done.calls.size(), 1u);
}

TEST_F(SoundPlay, ReactivationDoesNotResumeWhatTheGamePaused)
{
    auto music = Load(Tone("music.ogg", 0.2), TSoundManager::kMusic);
    auto ambient = Load(Tone("ambient.ogg", 0.2), TSoundManager::kEnvironment);
    int m = music->Play(true), a = ambient->Play(true);
    music->Pause(true, -1);  // the level is over
    mManager->PauseDevice(true);  // the application is deactivated
    EXPECT_TRUE(mOutput->IsPaused());
    Advance(10000);
    mManager->PauseDevice(false);
    EXPECT_TRUE(music->Stream(m)->IsPaused());
    EXPECT_FALSE(ambient->Stream(a)->IsPaused());
    EXPECT_FALSE(ambient->Stream(a)->IsFinished());
}

TEST_F(SoundPlay, DeviceStoppedWhileInactiveHoldsCompletionsBack)
{
    auto sound = Load(Tone("tone.ogg", 0.2));
    RecordingCallBack done;
    sound->SetCompleteAction(sound->Play(false), &done, nullptr);
    Advance(100);
    mManager->PauseDevice(true);
    Advance(1000);
    EXPECT_TRUE(done.calls.empty());
    mManager->PauseDevice(false);
    Advance(50);
    EXPECT_TRUE(done.calls.empty());
    Advance(60);
    EXPECT_EQ(done.calls.size(), 1u);
}

TEST_F(SoundPlay, ActionOnAStreamThatIsNotPlayingCompletesNextPass)
{
    auto sound = Load(Tone("tone.ogg", 0.2));
    auto next = Load(Tone("next.ogg", 0.2));
    RecordingCallBack done;
    sound->SetCompleteAction(7, &done, nullptr);
    EXPECT_TRUE(done.calls.empty());
    Advance(1);
    ASSERT_EQ(done.calls.size(), 1u);
    EXPECT_EQ(done.calls[0].sound, sound);
    EXPECT_EQ(done.calls[0].streamId, 0);  // the stand-in stream took the next id

    // With a next sound: it starts at once, and the completion says so.
    sound->SetCompleteAction(7, &done, next);
    ASSERT_NE(next->Stream(0), nullptr);
    EXPECT_TRUE(next->Stream(0)->IsPlaying());
    Advance(1);
    ASSERT_EQ(done.calls.size(), 2u);
    EXPECT_EQ(done.calls[1].nextSound, next);
    EXPECT_EQ(done.calls[1].nextStreamId, 0);
    EXPECT_EQ(mManager->StreamCount(), 1);
}

TEST_F(SoundPlay, ClearingOrKillingAChainDropsItsPreparedStreamWithoutCompletions)
{
    auto intro = Load(Tone("intro.ogg", 0.1));
    auto loop = Load(Tone("loop.ogg", 0.1));
    auto piece = Load(Tone("piece.ogg", 0.1), TSoundManager::kMusic);
    RecordingCallBack done;
    int id = intro->Play(false);
    intro->SetCompleteAction(id, &done, loop);
    EXPECT_EQ(mManager->StreamCount(), 2);
    intro->SetCompleteAction(id, nullptr, nullptr);  // cleared: the prepared stream goes
    EXPECT_EQ(mManager->StreamCount(), 1);
    intro->SetCompleteAction(id, &done, loop);
    EXPECT_EQ(intro->Kill(id), 1);  // killed: its prepared next goes too
    EXPECT_EQ(mManager->StreamCount(), 0);

    // A sound chained to itself: every stream ends.
    int first = piece->Play(false);
    piece->SetCompleteAction(first, &done, piece);
    int other = piece->Play(false);
    piece->SetCompleteAction(other, &done, piece);
    EXPECT_EQ(mManager->StreamCount(), 4);
    EXPECT_EQ(piece->Kill(first), 1);  // and the stream prepared for it
    EXPECT_EQ(mManager->StreamCount(), 2);
    EXPECT_EQ(piece->Kill(-1), 1);
    EXPECT_EQ(mManager->StreamCount(), 0);
    EXPECT_EQ(done.Data().Count(), 0);
    Advance(500);
    EXPECT_TRUE(done.calls.empty());
}

TEST_F(SoundPlay, PausesSelectStreamsBySoundIdAndType)
{
    auto sound = Load(Tone("tone.ogg", 0.2));
    auto music = Load(Tone("music.ogg", 0.2), TSoundManager::kMusic);
    int a = sound->Play(false), b = sound->Play(true), m = music->Play(true);
    sound->Pause(true, -1);
    EXPECT_TRUE(sound->Stream(a)->IsPaused());
    EXPECT_TRUE(sound->Stream(b)->IsPaused());
    sound->Pause(false, a);
    EXPECT_FALSE(sound->Stream(a)->IsPaused());
    EXPECT_TRUE(sound->Stream(b)->IsPaused());
    sound->Pause(true, 42);  // no such stream: nothing happens
    mManager->PauseAllSounds(true, TSoundManager::kMusic);
    EXPECT_TRUE(music->Stream(m)->IsPaused());
    EXPECT_FALSE(sound->Stream(a)->IsPaused());
    mManager->PauseAllSounds(false, -1);
    EXPECT_FALSE(music->Stream(m)->IsPaused());
    EXPECT_FALSE(sound->Stream(b)->IsPaused());
}

TEST_F(SoundPlay, CallBackMayKillAndReleaseSoundsDuringThePass)
{
    auto first = Load(Tone("first.ogg", 0.1));
    auto second = Load(Tone("second.ogg", 0.1));
    auto third = Load(Tone("third.ogg", 0.5));
    RecordingCallBack done;
    int a = first->Play(false);
    int b = second->Play(false);
    int c = third->Play(true);
    first->SetCompleteAction(a, &done, nullptr);
    second->SetCompleteAction(b, &done, nullptr);
    TSound* secondRaw = second.get();
    // Both end in the same pass; the newest stream is handled first. Its
    // call-back kills the other finished stream and the loop, lets go of
    // every handle and starts its own sound again.
    done.onCall = [&](const TCompletion& completion) {
        first->Kill(a);
        third->Kill(c);
        first.reset();
        second.reset();
        third.reset();
        EXPECT_EQ(completion.sound->Play(false), 1);
    };
    Advance(150);
    ASSERT_EQ(done.calls.size(), 1u);
    EXPECT_EQ(done.calls[0].sound.get(), secondRaw);
    EXPECT_EQ(done.calls[0].streamId, b);
    EXPECT_EQ(mManager->StreamCount(), 1);
    done.calls.clear();  // the last handle: the sound and its new stream go
    EXPECT_EQ(mManager->StreamCount(), 0);
    Advance(500);
}

TEST_F(SoundPlay, SoundStaysAliveThroughItsOwnCompletion)
{
    auto sound = Load(Tone("tone.ogg", 0.1));
    bool sawLiveSound = false;
    RecordingCallBack done;
    std::weak_ptr<TSound> watch = sound;
    done.onCall = [&](const TCompletion&) {
        sawLiveSound = !watch.expired();
        done.calls.clear();  // the only other holder
    };
    sound->SetCompleteAction(sound->Play(false), &done, nullptr);
    sound.reset();  // the callback list and the stream table hold it now
    Advance(200);
    EXPECT_TRUE(sawLiveSound);
    EXPECT_TRUE(watch.expired());
}

TEST_F(SoundPlay, NoStreamsBeforeTheManagersInitOrAfterItGoes)
{
    auto sound = Load(Tone("tone.ogg", 0.2));
    RecordingCallBack done;
    sound->SetCompleteAction(sound->Play(true), &done, nullptr);
    mManager.reset();  // the manager going first ends streams without completions
    EXPECT_TRUE(done.calls.empty());
    EXPECT_EQ(sound->Stream(0), nullptr);
    EXPECT_EQ(sound->Play(false), -1);
    EXPECT_EQ(sound->Kill(-1), 0);

    mManager = std::make_unique<TSoundManager>(std::make_unique<TNullAudioOutput>([this] { return mNow; }));
    auto early = Load(Tone("early.ogg", 0.1));
    ASSERT_TRUE(early);
    EXPECT_EQ(early->Play(false), -1);
    EXPECT_EQ(mManager->StreamCount(), 0);
    ASSERT_TRUE(mManager->Init());
    EXPECT_EQ(early->Play(false), 0);
}

TEST_F(SoundPlay, ChainSetOnAStandInStartsWhenTheStandInEnds)
{
    auto sound = Load(Tone("tone.ogg", 0.2));
    auto next = Load(Tone("next.ogg", 0.1));
    RecordingCallBack done;
    // Nothing plays under 7: a stand-in (id 0) ends in the next pass. A
    // chain set on it before then starts when it ends, like any chain.
    sound->SetCompleteAction(7, &done, nullptr);
    sound->SetCompleteAction(0, &done, next);
    ASSERT_NE(next->Stream(0), nullptr);
    EXPECT_FALSE(next->Stream(0)->IsPlaying());
    Advance(1);
    ASSERT_EQ(done.calls.size(), 1u);
    EXPECT_EQ(done.calls[0].streamId, 0);
    EXPECT_EQ(done.calls[0].nextSound, next);
    EXPECT_EQ(done.calls[0].nextStreamId, 0);
    ASSERT_NE(next->Stream(0), nullptr);
    EXPECT_TRUE(next->Stream(0)->IsPlaying());
    for (int i = 0; i < 5; ++i)
        Advance(50);
    EXPECT_EQ(mManager->StreamCount(), 0);
}
