// Shared by the sound tests: a temporary folder of generated Ogg files, a
// fake clock, and a callback that records what it is told.
#pragma once

#include "engine/base/asset.h"
#include "engine/sound/null/nulloutput.h"
#include "engine/sound/sound.h"
#include "engine/sound/soundcallback.h"
#include "engine/sound/soundmanager.h"
#include "tools/soundgen/soundgen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "qm_sound_XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            mPath = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        if (!mPath.empty())
            std::filesystem::remove_all(mPath, ignored);
    }
    std::string Path(const std::string& name) const { return (mPath / name).string(); }

private:
    std::filesystem::path mPath;
};

struct TCompletion {
    std::shared_ptr<TSound> sound;
    int streamId;
    std::shared_ptr<TSound> nextSound;
    int nextStreamId;
};

class RecordingCallBack : public TSoundCallBack {
public:
    void OnComplete(std::shared_ptr<TSound> sound, int streamId, std::shared_ptr<TSound> nextSound,
                    int nextStreamId) override
    {
        calls.push_back({sound, streamId, nextSound, nextStreamId});
        if (onCall)
            onCall(calls.back());
    }

    std::vector<TCompletion> calls;
    std::function<void(const TCompletion&)> onCall;
};

// A sound manager on the null output, driven by a fake millisecond clock.
class SoundFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        mRegistry = std::make_unique<TAssetManager>();
        auto output = std::make_unique<TNullAudioOutput>([this] { return mNow; });
        mOutput = output.get();
        mManager = std::make_unique<TSoundManager>(std::move(output));
        ASSERT_TRUE(mManager->Init());
    }

    void TearDown() override
    {
        mManager.reset();
        mRegistry.reset();
    }

    // An Ogg file made now; 44.1 kHz stereo unless told otherwise.
    std::string Tone(const std::string& name, double seconds, int channels = 2, int rate = 44100)
    {
        TToneSpec spec;
        spec.seconds = seconds;
        spec.channels = channels;
        spec.rate = rate;
        std::string path = mFolder.Path(name);
        EXPECT_TRUE(WriteToneOgg(path, spec)) << path;
        return path;
    }

    std::shared_ptr<TSound> Load(const std::string& path, int type = TSoundManager::kEffects)
    {
        return TSound::Get(path.c_str(), false, type);
    }

    // Lets `ms` go by and runs one notification pass, as the idle loop does.
    void Advance(uint32_t ms)
    {
        mNow += ms;
        mManager->HandleNotifications();
    }

    // Renders frames by hand (the fake clock stays put, so the null output
    // moves nothing by itself).
    std::vector<int16_t> Render(int frames)
    {
        std::vector<int16_t> out(static_cast<size_t>(2 * frames));
        TAudioLock lock(*mOutput);
        mOutput->Mixer().Mix(out.data(), frames);
        return out;
    }

    TempFolder mFolder;
    uint32_t mNow = 1000;
    std::unique_ptr<TAssetManager> mRegistry;
    TNullAudioOutput* mOutput = nullptr;
    std::unique_ptr<TSoundManager> mManager;
};
