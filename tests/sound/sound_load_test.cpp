// Loading: names, keys, types, the registry, and files that are not sound.
#include "soundtestkit.h"

#include <fstream>
#include <iterator>

namespace {

std::string CaptureLog(const std::function<void()>& action)
{
    testing::internal::CaptureStderr();
    action();
    return testing::internal::GetCapturedStderr();
}

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

// Offsets of the Ogg pages of a file.
std::vector<size_t> PageStarts(const std::vector<char>& bytes)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i + 4 <= bytes.size(); ++i)
        if (bytes[i] == 'O' && bytes[i + 1] == 'g' && bytes[i + 2] == 'g' && bytes[i + 3] == 'S')
            starts.push_back(i);
    return starts;
}

}  // namespace

using SoundLoad = SoundFixture;

TEST_F(SoundLoad, DecodesTheWholeFileIntoSharedPcm)
{
    auto sound = Load(Tone("tone.ogg", 0.2));
    ASSERT_TRUE(sound);
    ASSERT_NE(sound->Pcm(), nullptr);
    EXPECT_EQ(sound->Pcm()->rate, 44100);
    EXPECT_EQ(sound->Pcm()->channels, 2);
    EXPECT_EQ(sound->Pcm()->Frames(), 8820);
    EXPECT_NEAR(sound->Duration(), 0.2, 1e-9);
    EXPECT_EQ(sound->Type(), TSoundManager::kEffects);
}

TEST_F(SoundLoad, SameNameAndTypeShareOneSoundOtherTypesDoNot)
{
    std::string path = Tone("tone.ogg", 0.1);
    auto first = Load(path, 1000);
    auto again = Load(path, 1000);
    auto music = Load(path, 1001);
    EXPECT_EQ(first, again);
    EXPECT_NE(first, music);
    EXPECT_EQ(TAssetManager::GetInstance()->GetAsset(str::getFormatted("%s;1;1000", path.c_str())), first);

    // Nobody holds it any more: the next request loads afresh.
    first.reset();
    again.reset();
    auto fresh = Load(path, 1000);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh.use_count(), 1);
}

TEST_F(SoundLoad, GroupOptionSetsTheTypeAndIsCutFromTheName)
{
    std::string path = Tone("music.ogg", 0.1);
    auto sound = TSound::Get((path + "?group=1001").c_str(), false, 1000);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->Type(), 1001);
    EXPECT_EQ(str(sound->Name()), str(path.c_str()));
    EXPECT_EQ(Load(path, 1001), sound);
    // Options without a group leave the type alone.
    auto other = TSound::Get((path + "?loud").c_str(), false, 1002);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->Type(), 1002);
}

TEST_F(SoundLoad, OnlyOggFilesWithSamplesLoadAndRefusalsAreLoggedAndNotKept)
{
    std::string lower = Tone("tone.ogg", 0.1);
    std::filesystem::copy_file(lower, mFolder.Path("SOUND.OGG"));
    EXPECT_TRUE(Load(mFolder.Path("SOUND.OGG")));  // the extension in any case
    std::filesystem::copy_file(lower, mFolder.Path("tone.wav"));
    WriteBytes(mFolder.Path("garbage.ogg"), std::vector<char>(5000, 'x'));
    const std::string empty = Tone("empty.ogg", 0.0);
    const std::pair<std::string, std::string> refused[] = {
        {mFolder.Path("tone.wav"), "Sound file is not an .ogg file: " + mFolder.Path("tone.wav")},
        {mFolder.Path("absent.ogg"), "OGG file " + mFolder.Path("absent.ogg") + ": not found"},
        {"", "Requested NULL sound"},
        {mFolder.Path("garbage.ogg"), "OGG file " + mFolder.Path("garbage.ogg") + ": could not be opened"},
        {empty, "OGG file " + empty + ": has no samples"},
    };
    for (const auto& [path, message] : refused) {
        std::shared_ptr<TSound> sound;
        std::string log = CaptureLog([&] { sound = TSound::Get(path.empty() ? nullptr : path.c_str(), false, 1000); });
        EXPECT_FALSE(sound) << path;
        EXPECT_NE(log.find(message), std::string::npos) << log;
    }
    // A file that cannot be loaded is named once, however often it is asked for.
    const std::string again = CaptureLog([&] {
        for (int i = 0; i < 3; ++i)
            TSound::Get(mFolder.Path("garbage.ogg").c_str(), false, 1000);
    });
    EXPECT_EQ(again, "");
    // A failed load is not kept: the next request tries again.
    EXPECT_FALSE(TAssetManager::GetInstance()->GetAsset(str::getFormatted("%s;1;1000", empty.c_str())));
}

TEST_F(SoundLoad, DamagedFilesKeepWhatDecodedAndNeverCrash)
{
    std::string path = Tone("long.ogg", 8.0);
    auto whole = Load(path);
    ASSERT_TRUE(whole);
    const int allFrames = whole->Pcm()->Frames();
    const std::vector<char> bytes = ReadBytes(path);
    const std::vector<size_t> pages = PageStarts(bytes);
    ASSERT_GT(pages.size(), 6u);

    // A missing page is stepped over and the rest is kept.
    size_t cut = pages.size() / 2;
    std::vector<char> holed(bytes.begin(), bytes.begin() + static_cast<long>(pages[cut]));
    holed.insert(holed.end(), bytes.begin() + static_cast<long>(pages[cut + 1]), bytes.end());
    WriteBytes(mFolder.Path("holed.ogg"), holed);
    auto sound = Load(mFolder.Path("holed.ogg"));
    ASSERT_TRUE(sound);
    EXPECT_LT(sound->Pcm()->Frames(), allFrames);
    EXPECT_GT(sound->Pcm()->Frames(), allFrames / 2);

    // A file cut short keeps what there is, and says so: cut mid-page or
    // exactly at a page's end alike.
    const std::pair<const char*, size_t> cuts[] = {{"truncated.ogg", bytes.size() * 2 / 3},
                                                  {"atpage.ogg", pages[pages.size() / 2]}};
    for (const auto& [name, length] : cuts) {
        WriteBytes(mFolder.Path(name), std::vector<char>(bytes.begin(), bytes.begin() + static_cast<long>(length)));
        std::shared_ptr<TSound> truncated;
        const std::string log = CaptureLog([&] { truncated = Load(mFolder.Path(name)); });
        ASSERT_TRUE(truncated) << name;
        EXPECT_GT(truncated->Pcm()->Frames(), 0);
        EXPECT_LT(truncated->Pcm()->Frames(), allFrames);
        EXPECT_NE(log.find(mFolder.Path(name) + " is cut short"), std::string::npos) << log;
    }
    WriteBytes(mFolder.Path("whole.ogg"), bytes);
    EXPECT_EQ(CaptureLog([&] { EXPECT_TRUE(Load(mFolder.Path("whole.ogg"))); }), "") << "a whole file is whole";

    std::vector<char> scribbled = bytes;
    for (size_t i = pages[3]; i < scribbled.size(); i += 7)
        scribbled[i] = static_cast<char>(scribbled[i] ^ 0x5a);
    WriteBytes(mFolder.Path("scribbled.ogg"), scribbled);
    auto damaged = Load(mFolder.Path("scribbled.ogg"));
    if (damaged) {
        EXPECT_LE(damaged->Pcm()->Frames(), allFrames + 4410);
    }
}

TEST_F(SoundLoad, RelativeNamesAreFoundInTheWorkingFolderThenUnderAssets)
{
    std::filesystem::create_directories(mFolder.Path("assets/audio"));
    std::filesystem::create_directories(mFolder.Path("audio"));
    TToneSpec shortTone, longTone;
    shortTone.seconds = 0.1;
    longTone.seconds = 0.3;
    ASSERT_TRUE(WriteToneOgg(mFolder.Path("assets/audio/under.ogg"), shortTone));
    ASSERT_TRUE(WriteToneOgg(mFolder.Path("assets/audio/both.ogg"), shortTone));
    ASSERT_TRUE(WriteToneOgg(mFolder.Path("audio/both.ogg"), longTone));
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(mFolder.Path(""));
    auto under = TSound::Get("audio/under.ogg", false, 1000);
    auto both = TSound::Get("audio/both.ogg", false, 1000);
    std::filesystem::current_path(previous);
    ASSERT_TRUE(under);
    ASSERT_TRUE(both);
    EXPECT_EQ(str(under->Name()), str("audio/under.ogg"));
    EXPECT_EQ(both->Pcm()->Frames(), 13230);  // the working folder's file wins
}

TEST_F(SoundLoad, AssetMapLoadsSoundsByFileNameAndCastsWork)
{
    std::string path = Tone("map.ogg", 0.1);
    TAssetMap map;
    map.AddAsset(str(path.c_str()));
    EXPECT_EQ(map.Count(), 1);
    auto sound = TSound::Get(path.c_str(), true, -1);
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound.use_count(), 2);  // the map holds it too
    EXPECT_TRUE(sound->IsKindOf(TAsset::ClassId()));
    EXPECT_EQ(sound->GetCast<TSound>(), sound);
    std::shared_ptr<TAsset> asAsset = sound;
    EXPECT_EQ(asAsset->GetCast<TSound>(), sound);
}
