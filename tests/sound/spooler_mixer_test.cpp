#include "engine/sound/mixer.h"
#include "engine/sound/spooler.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::shared_ptr<TPcm> MakePcm(std::vector<int16_t> samples, int channels, int rate = 44100)
{
    auto pcm = std::make_shared<TPcm>();
    pcm->samples = std::move(samples);
    pcm->channels = channels;
    pcm->rate = rate;
    return pcm;
}

std::vector<int16_t> Pull(TStreamSpooler& spooler, int bytes, bool loop, unsigned* written, bool* more)
{
    std::vector<int16_t> out(static_cast<size_t>(bytes / 2), 99);
    *more = spooler.StreamToBuffer(bytes, out.data(), written, loop);
    return out;
}

std::vector<int16_t> Mix(TMixer& mixer, int frames)
{
    std::vector<int16_t> out(static_cast<size_t>(2 * frames));
    mixer.Mix(out.data(), frames);
    return out;
}

}  // namespace

TEST(MemSpooler, CopiesThenZeroFillsAndReportsTheEnd)
{
    TMemSpooler spooler(MakePcm({1, 2, 3, 4, 5, 6}, 2));
    unsigned written = 0;
    bool more = false;
    EXPECT_EQ(Pull(spooler, 8, false, &written, &more), (std::vector<int16_t>{1, 2, 3, 4}));
    EXPECT_EQ(written, 8u);
    EXPECT_TRUE(more);
    EXPECT_EQ(Pull(spooler, 8, false, &written, &more), (std::vector<int16_t>{5, 6, 0, 0}));
    EXPECT_EQ(written, 4u);
    EXPECT_FALSE(more);
}

TEST(MemSpooler, LoopWrapsAsOftenAsTheBufferNeeds)
{
    TMemSpooler spooler(MakePcm({1, 2}, 1));
    unsigned written = 0;
    bool more = false;
    EXPECT_EQ(Pull(spooler, 10, true, &written, &more), (std::vector<int16_t>{1, 2, 1, 2, 1}));
    EXPECT_EQ(written, 10u);
    EXPECT_TRUE(more);
    EXPECT_EQ(Pull(spooler, 4, true, &written, &more), (std::vector<int16_t>{2, 1}));
}

TEST(MemSpooler, EmptySourceEndsEvenWhenLooping)
{
    TMemSpooler spooler(MakePcm({}, 2));
    unsigned written = 7;
    bool more = true;
    EXPECT_EQ(Pull(spooler, 8, true, &written, &more), (std::vector<int16_t>{0, 0, 0, 0}));
    EXPECT_EQ(written, 0u);
    EXPECT_FALSE(more);
}

TEST(MemSpooler, SetPositionCountsSecondsInWholeFrames)
{
    std::vector<int16_t> samples(2 * 100);
    TMemSpooler spooler(MakePcm(samples, 2, 100));
    spooler.SetPosition(0.5f);
    EXPECT_EQ(spooler.Position(), 200);  // 50 frames of 4 bytes
    spooler.SetPosition(5.0f);
    EXPECT_EQ(spooler.Position(), 400);  // clamped to the end
}

TEST(Mixer, ScalesByVolumeAndSaturatesTheSum)
{
    auto pcm = MakePcm({30000, -30000, 1000, -1000}, 2);
    TMemSpooler a(pcm), b(pcm);
    TMixer mixer(44100);
    TAudioChannel one(&a, 44100, 2, false, 44100), two(&b, 44100, 2, false, 44100);
    mixer.Add(&one);
    mixer.Add(&two);
    one.Start();
    two.Start();
    two.SetVolume(128);
    // 30000 + 15000 clips; 1000 + 500 does not; then silence.
    EXPECT_EQ(Mix(mixer, 3), (std::vector<int16_t>{32767, -32768, 1500, -1500, 0, 0}));
    EXPECT_TRUE(one.IsFinished());
    EXPECT_TRUE(two.IsFinished());
}

TEST(Mixer, MonoGoesToBothSidesAndHalfRateIsInterpolated)
{
    TMemSpooler source(MakePcm({0, 1000, 3000}, 1, 22050));
    TMixer mixer(44100);
    TAudioChannel channel(&source, 22050, 1, false, 44100);
    mixer.Add(&channel);
    channel.Start();
    EXPECT_EQ(Mix(mixer, 6), (std::vector<int16_t>{0, 0, 500, 500, 1000, 1000, 2000, 2000, 3000, 3000, 1500, 1500}));
    EXPECT_EQ(Mix(mixer, 2), (std::vector<int16_t>{0, 0, 0, 0}));
    EXPECT_TRUE(channel.IsFinished());
}

TEST(Mixer, PausedChannelKeepsItsPlaceAndLoopingNeverFinishes)
{
    TMemSpooler source(MakePcm({1, 1, 2, 2, 3, 3}, 2));
    TMixer mixer(44100);
    TAudioChannel channel(&source, 44100, 2, true, 44100);
    mixer.Add(&channel);
    channel.Start();
    EXPECT_EQ(Mix(mixer, 2), (std::vector<int16_t>{1, 1, 2, 2}));
    channel.SetPaused(true);
    EXPECT_EQ(Mix(mixer, 2), (std::vector<int16_t>{0, 0, 0, 0}));
    channel.SetPaused(false);
    EXPECT_EQ(Mix(mixer, 4), (std::vector<int16_t>{3, 3, 1, 1, 2, 2, 3, 3}));
    mixer.Advance(100000);
    EXPECT_FALSE(channel.IsFinished());
}
