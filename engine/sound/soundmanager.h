// Owns every playing stream, keeps the master and per-type volumes, pauses
// and resumes, and turns the mixer's "finished" flags into chains and
// completions on the main thread (HandleNotifications, once per idle pass).
//
// Sound types are the game's own numbers: 1000 effects, 1001 music,
// 1002 environment.
#pragma once

#include "engine/sound/audiooutput.h"

#include <map>
#include <memory>
#include <vector>

class TSoundStream;

class TSoundManager {
public:
    enum ESoundType {
        kEffects = 1000,
        kMusic = 1001,
        kEnvironment = 1002,
    };

    // The manager of the running engine (made by the platform's InitSound), or null.
    static TSoundManager* GetInstance();

    // Init opens the SDL device, or falls back to the null output on `clock`
    // (the engine's timer, which the platform sets to its own, when empty).
    explicit TSoundManager(TMillisecondClock clock = {});
    // Init uses the given output (tests).
    explicit TSoundManager(std::unique_ptr<TAudioOutput> output);
    virtual ~TSoundManager();
    TSoundManager(const TSoundManager&) = delete;
    TSoundManager& operator=(const TSoundManager&) = delete;

    // True when ready (also on a machine without sound, which plays silently).
    bool Init();
    bool IsInitialised() const { return mInitialised; }
    bool IsShuttingDown() const { return mShuttingDown; }
    TAudioOutput* Output() { return mOutput.get(); }

    // Volumes run from 0 to 1 and apply at once to the playing streams.
    void SetVolume(float master);
    void SetTypeVolume(int type, float volume);
    // Master times the type's volume (the master alone for a type never set).
    float GetVolume(int type) const;
    void UpdateAllVolumes();
    void SetStreamVolume(TSoundStream* stream);

    // Pauses or resumes every stream of a type (-1: every stream).
    void PauseAllSounds(bool pause, int type);
    // Stops or restarts the device itself; the streams keep their own pause
    // state, so what the game paused stays paused. For application
    // (de)activation.
    void PauseDevice(bool pause);

    void RegisterStream(std::shared_ptr<TSoundStream> stream);
    void StopStream(const std::shared_ptr<TSoundStream>& stream);
    // The stream ends in the next notification pass, with its completion.
    void StopStreamDelayed(const std::shared_ptr<TSoundStream>& stream);

    void HandleNotifications();

    int StreamCount() const { return static_cast<int>(mData.streams.size()); }
    // The playing streams, in registration order (what the mixer hears).
    const std::vector<std::shared_ptr<TSoundStream>>& Streams() const { return mData.streams; }

private:
    struct TSoundManagerData {
        std::vector<std::shared_ptr<TSoundStream>> streams;  // in registration order
        float master = 1.0f;
        std::map<int, float> typeVolumes;
    };

    bool Unregister(const std::shared_ptr<TSoundStream>& stream);

    TSoundManagerData mData;
    TMillisecondClock mClock;
    std::unique_ptr<TAudioOutput> mOutput;
    bool mInitialised = false;
    bool mShuttingDown = false;
};
