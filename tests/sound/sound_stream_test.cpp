// Streamed sounds: the compressed file kept, decoded as it plays. Every
// case compares the samples with those of the whole-file decode.
#include "engine/sound/oggdecode.h"
#include "soundtestkit.h"

#include <fstream>
#include <iterator>

namespace {

std::vector<char> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<size_t> PageStarts(const std::vector<char>& bytes)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i + 4 <= bytes.size(); ++i)
        if (bytes[i] == 'O' && bytes[i + 1] == 'g' && bytes[i + 2] == 'g' && bytes[i + 3] == 'S')
            starts.push_back(i);
    return starts;
}

// Everything a spooler gives until it reports its end, pulled in pieces of
// the sizes given in turn (odd ones included: the spooler keeps to frames).
std::vector<int16_t> PullAll(TStreamSpooler& spooler, const std::vector<int>& sizes, unsigned channels = 2,
                             size_t limit = 1u << 24)
{
    std::vector<int16_t> out;
    for (size_t i = 0; out.size() < limit; ++i) {
        const int size = sizes[i % sizes.size()];
        std::vector<int16_t> buffer(static_cast<size_t>(size / 2 + 1), 7);
        unsigned written = 0;
        const bool more = spooler.StreamToBuffer(size, buffer.data(), &written, false);
        EXPECT_EQ(written % (2 * channels), 0u) << "whole frames only";
        out.insert(out.end(), buffer.begin(), buffer.begin() + written / 2);
        if (!more)
            break;
    }
    return out;
}

std::vector<int16_t> Repeated(const std::vector<int16_t>& samples, size_t total)
{
    std::vector<int16_t> out;
    while (out.size() < total)
        out.insert(out.end(), samples.begin(), samples.end());
    out.resize(total);
    return out;
}

}  // namespace

using SoundStream = SoundFixture;

TEST_F(SoundStream, KeepsOnlyTheFileAndSpoolsTheSamplesOfTheFullDecode)
{
    for (int channels : {2, 1}) {
        const std::string path = Tone("tone" + std::to_string(channels) + ".ogg", 1.3, channels, 22050 * channels);
        auto decoded = Load(path, TSoundManager::kMusic);
        auto streamed = TSound::GetStreamed(path.c_str(), TSoundManager::kMusic);
        ASSERT_TRUE(decoded && streamed);
        EXPECT_NE(decoded, streamed);
        EXPECT_TRUE(streamed->IsStreamed());
        EXPECT_EQ(streamed->Pcm(), nullptr);
        ASSERT_NE(streamed->OggFile(), nullptr);
        EXPECT_EQ(streamed->OggFile()->bytes.size(), ReadBytes(path).size());
        EXPECT_EQ(streamed->OggFile()->rate, decoded->Pcm()->rate);
        EXPECT_EQ(streamed->OggFile()->channels, channels);
        EXPECT_EQ(streamed->OggFile()->frames, decoded->Pcm()->Frames());
        EXPECT_DOUBLE_EQ(streamed->Duration(), decoded->Duration());
        EXPECT_EQ(TSound::GetStreamed(path.c_str(), TSoundManager::kMusic), streamed);

        auto file = std::shared_ptr<const TOggFile>(streamed, streamed->OggFile());
        TOggSpooler spooler(file);
        EXPECT_EQ(PullAll(spooler, {4096, 1000, 333, 8192}, channels), decoded->Pcm()->samples) << channels;
        EXPECT_EQ(spooler.Position(), decoded->Pcm()->Bytes());
        // Back to the start, the same samples again.
        spooler.SetPosition(0);
        EXPECT_EQ(PullAll(spooler, {65536}, channels), decoded->Pcm()->samples) << channels;
        // From a second on.
        spooler.SetPosition(1.0f);
        const std::vector<int16_t> tail = PullAll(spooler, {4096}, channels);
        const size_t from = size_t(decoded->Pcm()->rate) * size_t(channels);
        EXPECT_EQ(tail, std::vector<int16_t>(decoded->Pcm()->samples.begin() + long(from),
                                             decoded->Pcm()->samples.end()));
    }
}

TEST_F(SoundStream, LoopsWrapWithoutAGapIntoTheSameSamples)
{
    const std::string path = Tone("loop.ogg", 0.3);
    auto decoded = Load(path);
    auto streamed = TSound::GetStreamed(path.c_str(), TSoundManager::kEffects);
    ASSERT_TRUE(decoded && streamed);
    TOggSpooler spooler(std::shared_ptr<const TOggFile>(streamed, streamed->OggFile()));
    std::vector<int16_t> played;
    const size_t want = decoded->Pcm()->samples.size() * 3 + 1234;
    while (played.size() < want) {
        std::vector<int16_t> buffer(3000);
        unsigned written = 0;
        ASSERT_TRUE(spooler.StreamToBuffer(6000, buffer.data(), &written, true));
        ASSERT_EQ(written, 6000u) << "a loop fills every buffer";
        played.insert(played.end(), buffer.begin(), buffer.end());
    }
    played.resize(want);
    EXPECT_EQ(played, Repeated(decoded->Pcm()->samples, want));
}

TEST_F(SoundStream, PlayedThroughTheMixerAndChainedAsADecodedSoundIs)
{
    const std::string intro = Tone("intro.ogg", 0.2);
    const std::string piece = Tone("piece.ogg", 0.4, 2, 22050);  // resampled by the mixer
    auto decodedIntro = Load(intro, TSoundManager::kMusic);
    auto decodedPiece = Load(piece, TSoundManager::kMusic);
    auto streamedIntro = TSound::GetStreamed(intro.c_str(), TSoundManager::kMusic);
    auto streamedPiece = TSound::GetStreamed(piece.c_str(), TSoundManager::kMusic);
    ASSERT_TRUE(decodedIntro && decodedPiece && streamedIntro && streamedPiece);
    const int frames = decodedIntro->Pcm()->Frames() + 2 * decodedPiece->Pcm()->Frames() + 500;

    // Each heard alone, then the intro chained into the piece with a call-back.
    auto hear = [&](TSound& first, TSound& next) {
        std::vector<int16_t> heard = Render(0);
        RecordingCallBack done;
        const int id = first.Play(false);
        first.SetCompleteAction(id, &done, next.GetCast<TSound>());
        for (int rendered = 0; rendered < frames; rendered += 441) {
            std::vector<int16_t> part = Render(441);
            heard.insert(heard.end(), part.begin(), part.end());
            mManager->HandleNotifications();
        }
        EXPECT_EQ(done.calls.size(), 1u);
        EXPECT_EQ(mManager->StreamCount(), 0);
        return heard;
    };
    const std::vector<int16_t> fromDecoded = hear(*decodedIntro, *decodedPiece);
    const std::vector<int16_t> fromStreamed = hear(*streamedIntro, *streamedPiece);
    EXPECT_EQ(fromStreamed, fromDecoded);
    EXPECT_NE(fromStreamed, std::vector<int16_t>(fromStreamed.size(), 0));

    // A looping streamed sound goes on and on, the decoded loop's samples.
    const int looped = streamedIntro->Play(true);
    std::vector<int16_t> streamedLoop = Render(3 * decodedIntro->Pcm()->Frames());
    streamedIntro->Kill(looped);
    decodedIntro->Play(true);
    EXPECT_EQ(streamedLoop, Render(3 * decodedIntro->Pcm()->Frames()));
}

TEST_F(SoundStream, RefusesWhatTheDecoderRefusesAndPlaysDamagedFilesAlike)
{
    WriteBytes(mFolder.Path("garbage.ogg"), std::vector<char>(5000, 'x'));
    const std::string empty = Tone("empty.ogg", 0.0);
    std::filesystem::copy_file(Tone("tone.ogg", 0.1), mFolder.Path("tone.wav"));
    for (const std::string& path :
         {mFolder.Path("garbage.ogg"), empty, mFolder.Path("tone.wav"), mFolder.Path("absent.ogg")})
        EXPECT_FALSE(TSound::GetStreamed(path.c_str(), TSoundManager::kMusic)) << path;
    EXPECT_FALSE(TSound::GetStreamed(nullptr, TSoundManager::kMusic));

    const std::vector<char> bytes = ReadBytes(Tone("long.ogg", 6.0));
    const std::vector<size_t> pages = PageStarts(bytes);
    ASSERT_GT(pages.size(), 6u);
    std::vector<char> holed(bytes.begin(), bytes.begin() + long(pages[pages.size() / 2]));
    holed.insert(holed.end(), bytes.begin() + long(pages[pages.size() / 2 + 1]), bytes.end());
    WriteBytes(mFolder.Path("holed.ogg"), holed);
    WriteBytes(mFolder.Path("cut.ogg"), std::vector<char>(bytes.begin(), bytes.begin() + long(bytes.size() * 2 / 3)));
    for (const char* name : {"holed.ogg", "cut.ogg"}) {
        const std::string path = mFolder.Path(name);
        auto decoded = Load(path);
        auto streamed = TSound::GetStreamed(path.c_str(), TSoundManager::kEffects);
        ASSERT_TRUE(decoded && streamed) << name;
        TOggSpooler spooler(std::shared_ptr<const TOggFile>(streamed, streamed->OggFile()));
        EXPECT_EQ(PullAll(spooler, {4096}), decoded->Pcm()->samples) << name;
    }
}
