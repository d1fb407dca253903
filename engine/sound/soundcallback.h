// What a game object hands to TSound::SetCompleteAction to hear about the
// end of a stream. A callback remembers every (sound, stream) it is attached
// to, so destroying it is enough to detach it: it is never called afterwards.
#pragma once

#include <memory>
#include <vector>

class TSound;

struct TCallbackInfo {
    std::shared_ptr<TSound> sound;
    int streamId = 0;

    bool operator==(const TCallbackInfo& other) const
    {
        return sound == other.sound && streamId == other.streamId;
    }
};

class TSoundCallBackData {
public:
    // Forgets both pairs, then records those whose sound is set.
    void SetCurrentSounds(const std::shared_ptr<TSound>& sound, int id, const std::shared_ptr<TSound>& next,
                          int nextId);
    void RemoveSound(const std::shared_ptr<TSound>& sound, int id);

    std::vector<TCallbackInfo> TakeAll();
    int Count() const { return static_cast<int>(mInfos.size()); }

private:
    std::vector<TCallbackInfo> mInfos;
};

class TSoundCallBack {
public:
    TSoundCallBack();
    virtual ~TSoundCallBack();
    TSoundCallBack(const TSoundCallBack&) = delete;
    TSoundCallBack& operator=(const TSoundCallBack&) = delete;

    // The stream `streamId` of `sound` ended; `nextSound` (may be empty) was
    // started as its stream `nextStreamId`. Runs on the main thread during
    // TSoundManager::HandleNotifications; it may play, kill and release sounds.
    virtual void OnComplete(std::shared_ptr<TSound> sound, int streamId, std::shared_ptr<TSound> nextSound,
                            int nextStreamId) = 0;

    TSoundCallBackData& Data() { return *mData; }

private:
    std::unique_ptr<TSoundCallBackData> mData;
};
