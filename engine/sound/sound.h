// A sound: an Ogg Vorbis file decoded once into 16-bit PCM, shared by name
// through the asset registry, and played as any number of independent
// streams. Each Play gives a stream id, counting up from 0 within the sound.
// A streamed sound (GetStreamed: long music) keeps only the compressed file
// and each of its streams decodes it as it plays.
//
// A stream can be told what to do when it ends (SetCompleteAction): start a
// next sound without a gap (an intro running into its loop) and/or call a
// TSoundCallBack. Both happen on the main thread, in the sound manager's
// notification pass.
#pragma once

#include "engine/base/asset.h"
#include "engine/sound/oggdecode.h"
#include "engine/sound/pcm.h"
#include "engine/sound/soundstream.h"

#include <map>
#include <memory>

class TSound;
class TSoundCallBack;

struct TSoundStreamMapEntry {
    TSoundStream* stream = nullptr;        // owned by the sound manager
    TSoundCallBack* callback = nullptr;    // not owned; may be null
    std::shared_ptr<TSound> nextSound;     // may be empty
    int nextStreamId = 0;
};

// The state behind a TSound; told by its streams when they end.
class TSoundData : public TStreamNotify {
public:
    void StreamFinished(TSoundStream* stream) override;

    std::map<int, TSoundStreamMapEntry> streams;
    int nextStreamId = 0;
    int type = 0;
    std::shared_ptr<const TPcm> pcm;  // shared with every playing stream
    std::shared_ptr<const TOggFile> ogg;  // instead of pcm for a streamed sound
    int rate = 0;
    int channels = 0;
    double duration = 0;              // seconds, as the decoder counts them
    str name;                         // as requested, without "?" options
    TSound* owner = nullptr;          // cleared when the sound dies
};

class TSound : public TAsset {
public:
    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override;

    // The sound for an Ogg file name, loaded on first use; empty on failure.
    // A "?group=N" option after the name sets the type to N. The flag is
    // unused.
    static std::shared_ptr<TSound> Get(const char* name, bool flag, int type);
    // As Get, but decoded as it plays: a level's music costs its compressed
    // bytes and nothing is decoded before a piece starts. Refuses what Get
    // refuses.
    static std::shared_ptr<TSound> GetStreamed(const char* name, int type);
    // Lets TAssetMap load sounds by file name (done once, by the sound manager).
    static void RegisterAssetLoader();

    TSound();
    ~TSound() override;

    // Starts a new stream; its id, or -1.
    int Play(bool loop);
    // One stream, or every stream of the sound with id -1.
    void Pause(bool pause, int id);
    // Stops one stream (or all with -1) and what was chained to it; 1 when
    // there was such a stream, else 0.
    int Kill(int id);
    // What happens when stream `id` ends: start `next` and/or call `cb`.
    void SetCompleteAction(int id, TSoundCallBack* cb, std::shared_ptr<TSound> next);

    // Forgets `cb` on stream `id` (the callback is going away).
    void DetachCallBack(int id, TSoundCallBack* cb);

    const str& Name() const { return mData->name; }
    int Type() const { return mData->type; }
    double Duration() const { return mData->duration; }
    // The decoded samples; null for a streamed sound.
    const TPcm* Pcm() const { return mData->pcm.get(); }
    // The decoded block itself, as every stream of the sound shares it.
    std::shared_ptr<const TPcm> SharedPcm() const { return mData->pcm; }
    bool IsStreamed() const { return mData->ogg != nullptr; }
    // The compressed file of a streamed sound, else null.
    const TOggFile* OggFile() const { return mData->ogg.get(); }
    // The stream playing under an id, or null.
    TSoundStream* Stream(int id) const;

private:
    static std::shared_ptr<TSound> Find(const char* name, int type, bool streamed, str* fileName, bool* fresh);
    bool Load(const str& name, bool streamed);
    bool Playable() const { return mData->pcm || mData->ogg; }
    static std::shared_ptr<TSoundStream> NewStream(TSound* sound, bool loop);
    int KillEntry(int id, bool killSelfChain);
    TSoundStreamMapEntry& PlaceholderEntry(int* id);
    void CancelChain(TSoundStreamMapEntry& entry);
    void SetEntryCallBack(TSoundStreamMapEntry& entry, int id, TSoundCallBack* cb);

    std::shared_ptr<TSoundData> mData;
};
