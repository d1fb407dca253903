// The generated data read back through the engine: the customer's animation
// with its anchors and script functions, and the sounds on the null output
// (lengths, levels, soft edges, the intro joining the music piece and the
// ambient loop joining itself without a click).
#include "engine/render/animatedtexture.h"
#include "engine/sound/oggdecode.h"

#include "datafolder.h"
#include "tests/sound/soundtestkit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <vector>

namespace {

TEST(GeneratedAnimation, CustomerAnchorsAndFunctionsReadBackThroughTheEngine)
{
    InDataFolder data;
    TAssetManager assets;
    auto body = TAnimatedTexture::Get("customers/old_male/anim.anm", "anim.png?palettized");
    ASSERT_TRUE(body);
    const TAnimationRecord& record = body->GetAnimation();

    // Frame 0 stands: legs below the body, the bubble point above the head.
    int x = 0, y = 0;
    ASSERT_TRUE(body->GetAnchorPoint(0, "legs", &x, &y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 46);
    ASSERT_TRUE(body->GetAnchorPoint(0, "smoke", &x, &y));
    EXPECT_EQ(x, 16);
    EXPECT_EQ(y, -38);
    EXPECT_FALSE(body->GetAnchorPoint(0, "hide_legs", &x, &y));

    int seated = 0;
    for (int f = 0; f < body->GetNumFrames(); ++f) {
        SCOPED_TRACE(record.frames[std::size_t(f)].name.c_str());
        EXPECT_TRUE(body->GetAnchorPoint(f, "smoke", nullptr, nullptr));
        EXPECT_TRUE(body->GetAnchorPoint(f, "cup", nullptr, nullptr));
        bool hidesLegs = body->GetAnchorPoint(f, "hide_legs", nullptr, nullptr);
        EXPECT_NE(hidesLegs, body->GetAnchorPoint(f, "legs", nullptr, nullptr));
        seated += hidesLegs;
    }
    EXPECT_GT(seated, 10);
    // Every frame is centred on the registration point.
    EXPECT_EQ(record.frames[0].regX * 2, record.frames[0].w);

    std::string script = body->GetScript().c_str();
    for (const char* function : {"Stand", "StandMad", "ReadMenu", "CallWaiter", "Eat", "Drink", "Leave2", "Ditch1"})
        EXPECT_NE(script.find(std::string("function ") + function + "()"), std::string::npos) << function;
}

// A screen that shows the heroine at a frame of her own shows her facing the
// player: a frame of her idle or of her walk towards the player, never one of
// her back or her side.
TEST(GeneratedAnimation, ScreensShowTheHeroineFacingThePlayer)
{
    InDataFolder data;
    TAssetManager assets;
    auto body = TAnimatedTexture::Get("quessa/base.anm", "");
    ASSERT_TRUE(body);
    const std::regex window(R"(QuessaWindow\s*\{[^}]*\bframe\s*=\s*(\d+))");
    int shown = 0;
    for (const auto& entry : std::filesystem::directory_iterator("assets/scripts")) {
        std::ifstream in(entry.path());
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (auto it = std::sregex_iterator(text.begin(), text.end(), window); it != std::sregex_iterator(); ++it) {
            const int frame = std::stoi((*it)[1].str());
            ASSERT_LT(frame, body->GetNumFrames()) << entry.path();
            const std::string name = body->GetAnimation().frames[std::size_t(frame)].name.c_str();
            EXPECT_TRUE(name.rfind("idle", 0) == 0 || name.rfind("walkForward", 0) == 0)
                << entry.path() << " shows frame " << frame << ", " << name;
            ++shown;
        }
    }
    EXPECT_GT(shown, 0) << "Quessa's corner shows her";
}

// ---------------------------------------------------------------- sound

TPcm Decode(const char* name)
{
    TPcm pcm;
    std::FILE* file = std::fopen(name, "rb");
    EXPECT_TRUE(file) << name;
    if (file) {
        EXPECT_EQ(DecodeOgg(file, name, &pcm), EOggDecode::kOk) << name;
    }
    return pcm;
}

double Seconds(const TPcm& pcm) { return double(pcm.Frames()) / pcm.rate; }

int Peak(const TPcm& pcm)
{
    int peak = 0;
    for (int16_t s : pcm.samples)
        peak = std::max(peak, std::abs(int(s)));
    return peak;
}

double Rms(const TPcm& pcm)
{
    double sum = 0;
    for (int16_t s : pcm.samples)
        sum += double(s) * s;
    return pcm.samples.empty() ? 0.0 : std::sqrt(sum / double(pcm.samples.size()));
}

// The largest sample-to-sample step inside a sound (first channel).
int LargestStep(const TPcm& pcm)
{
    int step = 0;
    for (int i = 1; i < pcm.Frames(); ++i)
        step = std::max(step, std::abs(pcm.samples[std::size_t(i * pcm.channels)] -
                                       pcm.samples[std::size_t((i - 1) * pcm.channels)]));
    return step;
}

// The step from the last sample of `from` into the first of `to`.
int Seam(const TPcm& from, const TPcm& to)
{
    return std::abs(int(to.samples[0]) - int(from.samples[std::size_t((from.Frames() - 1) * from.channels)]));
}

class GeneratedSound : public SoundFixture {
protected:
    InDataFolder data;
};

TEST_F(GeneratedSound, EffectIsShortSoftEdgedAndPlaysItsLength)
{
    TPcm coin = Decode("assets/audio/sfx/tip_1.ogg");
    EXPECT_EQ(coin.rate, 44100);
    EXPECT_NEAR(Seconds(coin), 0.37, 0.001);
    // Levelled by its loudest part, its peak under the -3 dBFS ceiling (0.71 of
    // full scale, with a little room for the encoding); the ends fade from silence.
    EXPECT_LT(Peak(coin) / 32767.0, 0.75);
    EXPECT_GT(Peak(coin) / 32767.0, 0.35);
    EXPECT_LT(std::abs(coin.samples.front()), 300);
    EXPECT_LT(std::abs(coin.samples.back()), 300);

    auto sound = Load("audio/sfx/tip_1.ogg");
    ASSERT_TRUE(sound);
    RecordingCallBack done;
    sound->SetCompleteAction(sound->Play(false), &done, nullptr);
    Advance(360);
    EXPECT_TRUE(done.calls.empty());
    Advance(20);
    EXPECT_EQ(done.calls.size(), 1u);
}

TEST_F(GeneratedSound, MusicIntroLeadsIntoThePieceAndThePieceIntoItselfWithoutAClick)
{
    TPcm intro = Decode("assets/audio/music/cruise/cruise_music_intro.ogg");
    TPcm piece = Decode("assets/audio/music/cruise/cruise_music_a1.ogg");
    ASSERT_EQ(intro.rate, piece.rate);
    // Bars of the song's tempo (124 a minute): four bars of intro, sixteen of piece.
    EXPECT_NEAR(Seconds(intro), 16 * 60.0 / 124, 0.001);
    EXPECT_NEAR(Seconds(piece), 64 * 60.0 / 124, 0.001);
    // Music sits well below the effects: its peaks, and its level.
    TPcm coin = Decode("assets/audio/sfx/tip_1.ogg");
    EXPECT_LT(Peak(piece), Peak(coin) * 6 / 10);
    EXPECT_LT(Rms(piece), Rms(coin) * 7 / 10);
    const int step = std::max(LargestStep(intro), LargestStep(piece));
    EXPECT_LT(Seam(intro, piece), step / 4);
    EXPECT_LT(Seam(piece, piece), step / 4);

    // Played as the game plays it: the intro, the piece chained to its end.
    auto first = Load("audio/music/cruise/cruise_music_intro.ogg", TSoundManager::kMusic);
    auto next = Load("audio/music/cruise/cruise_music_a1.ogg", TSoundManager::kMusic);
    ASSERT_TRUE(first && next);
    RecordingCallBack done;
    first->SetCompleteAction(first->Play(false), &done, next);
    Advance(uint32_t(Seconds(intro) * 1000) - 10);
    EXPECT_TRUE(done.calls.empty());
    Advance(20);
    ASSERT_EQ(done.calls.size(), 1u);
    EXPECT_EQ(done.calls[0].nextSound, next);
    EXPECT_EQ(mManager->StreamCount(), 1);
}

TEST_F(GeneratedSound, AmbientLoopJoinsItselfAndNeverEnds)
{
    TPcm bed = Decode("assets/audio/ambient/cruise_ambient.ogg");
    EXPECT_NEAR(Seconds(bed), 24.0, 0.001);
    EXPECT_LT(Peak(bed) / 32767.0, 0.2);  // a quiet bed
    EXPECT_LE(Seam(bed, bed), LargestStep(bed));

    auto sound = Load("audio/ambient/cruise_ambient.ogg", TSoundManager::kEnvironment);
    ASSERT_TRUE(sound);
    RecordingCallBack done;
    sound->SetCompleteAction(sound->Play(true), &done, nullptr);
    for (int i = 0; i < 20; ++i)
        Advance(1000);
    EXPECT_TRUE(done.calls.empty());
    EXPECT_EQ(mManager->StreamCount(), 1);
}

}  // namespace
