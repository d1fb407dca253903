#include "engine/sound/soundcallback.h"

#include "engine/sound/sound.h"

#include <algorithm>

void TSoundCallBackData::SetCurrentSounds(const std::shared_ptr<TSound>& sound, int id,
                                          const std::shared_ptr<TSound>& next, int nextId)
{
    RemoveSound(sound, id);
    RemoveSound(next, nextId);
    if (sound)
        mInfos.push_back({sound, id});
    if (next)
        mInfos.push_back({next, nextId});
}

void TSoundCallBackData::RemoveSound(const std::shared_ptr<TSound>& sound, int id)
{
    TCallbackInfo info{sound, id};
    auto found = std::find(mInfos.begin(), mInfos.end(), info);
    if (found == mInfos.end())
        return;
    // The list may hold the last reference to the sound: let it go only
    // after the list is consistent again.
    TCallbackInfo removed = std::move(*found);
    mInfos.erase(found);
}

std::vector<TCallbackInfo> TSoundCallBackData::TakeAll()
{
    std::vector<TCallbackInfo> all;
    all.swap(mInfos);
    return all;
}

TSoundCallBack::TSoundCallBack()
    : mData(std::make_unique<TSoundCallBackData>())
{
}

TSoundCallBack::~TSoundCallBack()
{
    // Each sound stays alive through its info while it forgets this callback.
    for (TCallbackInfo& info : mData->TakeAll())
        info.sound->DetachCallBack(info.streamId, this);
}
