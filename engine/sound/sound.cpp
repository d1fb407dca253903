#include "engine/sound/sound.h"

#include "engine/base/asset.h"
#include "engine/base/debuglog.h"
#include "engine/base/folders.h"
#include "engine/sound/oggdecode.h"
#include "engine/sound/soundcallback.h"
#include "engine/sound/soundmanager.h"
#include "engine/sound/spooler.h"

#include <cstdlib>

namespace {

// Keeps a sound alive through work that may drop its last outside holder
// (a callback list or a chain letting go of it). Empty inside the destructor.
std::shared_ptr<TSound> Hold(TSound* sound)
{
    if (!sound)
        return nullptr;
    return std::static_pointer_cast<TSound>(sound->weak_from_this().lock());
}

}  // namespace

// ---------------------------------------------------------------- TSoundData

void TSoundData::StreamFinished(TSoundStream* stream)
{
    for (auto it = streams.begin(); it != streams.end(); ++it) {
        if (it->second.stream != stream)
            continue;
        const int id = it->first;
        // Out of the table before the callback runs, so that it sees the
        // stream gone and may kill or replay anything.
        TSoundStreamMapEntry entry = std::move(it->second);
        streams.erase(it);
        std::shared_ptr<TSound> sound = Hold(owner);
        if (!entry.callback || !sound)
            return;
        entry.callback->Data().RemoveSound(sound, id);
        TSoundManager* manager = TSoundManager::GetInstance();
        if (manager && !manager->IsShuttingDown())
            entry.callback->OnComplete(sound, id, entry.nextSound, entry.nextStreamId);
        return;
    }
}

// ---------------------------------------------------------------- TSound

TClassId TSound::ClassId()
{
    return MakeClassId(&TSound::ClassId);
}

bool TSound::IsKindOf(TClassId id) const
{
    return id == ClassId() || TAsset::IsKindOf(id);
}

void TSound::RegisterAssetLoader()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    TAssetMap::RegisterLoader(kSoundLoaderOrder, [](const str& name) -> std::shared_ptr<TAsset> {
        return TSound::Get(name.c_str(), true, -1);
    });
}

// The registered sound for a name, or a new one registered under it, not
// loaded yet (`fresh` says which), or null for no name. fileName is the name
// without its options.
std::shared_ptr<TSound> TSound::Find(const char* name, int type, bool streamed, str* fileName, bool* fresh)
{
    if (!name) {
        WriteDbg("Requested NULL sound");
        return nullptr;
    }
    *fileName = name;
    if (int options = fileName->find('?'); options >= 0) {
        int group = fileName->find(str("group="), 0, options);
        if (group >= 0)
            type = std::atoi(fileName->c_str() + group + 6);
        *fileName = fileName->substr(0, options);
    }
    // The middle field tells a decoded sound (1) from a streamed one (0).
    str key = str::getFormatted("%s;%d;%d", fileName->c_str(), streamed ? 0 : 1, type);
    TAssetManager* registry = TAssetManager::GetInstance();
    if (registry)
        if (auto known = registry->GetAsset(key)) {
            *fresh = false;
            return known->GetCast<TSound>();
        }

    auto sound = std::make_shared<TSound>();
    if (registry)
        registry->AddAsset(key, sound);
    sound->mData->name = *fileName;
    sound->mData->type = type;
    *fresh = true;
    return sound;
}

std::shared_ptr<TSound> TSound::Get(const char* name, bool, int type)
{
    str fileName;
    bool fresh = false;
    std::shared_ptr<TSound> sound = Find(name, type, false, &fileName, &fresh);
    if (!sound || !fresh)
        return sound;
    if (fileName.find(str(".ogg"), str::kIgnoreCase) < 0) {
        WriteDbg("Sound file is not an .ogg file: %s", fileName.c_str());
        return nullptr;
    }
    if (!sound->Load(fileName, false))
        return nullptr;
    return sound;
}

std::shared_ptr<TSound> TSound::GetStreamed(const char* name, int type)
{
    str fileName;
    bool fresh = false;
    std::shared_ptr<TSound> sound = Find(name, type, true, &fileName, &fresh);
    if (!sound || !fresh)
        return sound;
    if (fileName.find(str(".ogg"), str::kIgnoreCase) < 0) {
        WriteDbg("Sound file is not an .ogg file: %s", fileName.c_str());
        return nullptr;
    }
    if (!sound->Load(fileName, true))
        return nullptr;
    return sound;
}

namespace {

// A sound that cannot be loaded is named once, however often it is asked for.
void ReportUnusableSound(const char* path, const char* problem)
{
    if (TAssetManager::FirstReportOf(str("sound:") + path))
        WriteDbg("OGG file %s: %s", path, problem);
}

}  // namespace

bool TSound::Load(const str& name, bool streamed)
{
    char path[qm::kPathBufferSize];
    std::FILE* file = qm::OpenResource(name.c_str(), path);
    if (!file) {
        ReportUnusableSound(name.c_str(), "not found");
        return false;
    }
    auto pcm = streamed ? nullptr : std::make_shared<TPcm>();
    auto ogg = streamed ? std::make_shared<TOggFile>() : nullptr;
    switch (streamed ? ProbeOgg(file, path, ogg.get()) : DecodeOgg(file, path, pcm.get())) {
    case EOggDecode::kOk:
        break;
    case EOggDecode::kNotVorbis:
        ReportUnusableSound(path, "could not be opened: not Ogg Vorbis");
        return false;
    case EOggDecode::kEmpty:
        // Nothing to play: a looping stream of it could never make progress.
        ReportUnusableSound(path, "has no samples");
        return false;
    case EOggDecode::kTooLong:
        ReportUnusableSound(path, "is too long to load");
        return false;
    }
    if (streamed) {
        mData->rate = ogg->rate;
        mData->channels = ogg->channels;
        mData->duration = static_cast<double>(ogg->frames) / ogg->rate;
        mData->ogg = std::move(ogg);
        return true;
    }
    mData->rate = pcm->rate;
    mData->channels = pcm->channels;
    mData->duration = static_cast<double>(pcm->Frames()) / pcm->rate;
    mData->pcm = std::move(pcm);
    return true;
}

TSound::TSound()
    : mData(std::make_shared<TSoundData>())
{
    mData->owner = this;
}

TSound::~TSound()
{
    for (auto& [id, entry] : mData->streams)
        entry.callback = nullptr;
    mData->owner = nullptr;
    Kill(-1);
}

TSoundStream* TSound::Stream(int id) const
{
    auto found = mData->streams.find(id);
    return found == mData->streams.end() ? nullptr : found->second.stream;
}

std::shared_ptr<TSoundStream> TSound::NewStream(TSound* sound, bool loop)
{
    TSoundData& data = *sound->mData;
    std::unique_ptr<TStreamSpooler> spooler;
    if (data.ogg)
        spooler = std::make_unique<TOggSpooler>(data.ogg);
    else
        spooler = std::make_unique<TMemSpooler>(data.pcm);
    return TSoundStream::Create(TSoundManager::GetInstance(), std::move(spooler), loop, data.type,
                                std::weak_ptr<TStreamNotify>(sound->mData));
}

int TSound::Play(bool loop)
{
    if (!Playable()) {
        WriteDbg("Play of uninitialized sound");
        return -1;
    }
    if (!TSoundManager::GetInstance()) {
        WriteDbg("No Sound Manager");
        return -1;
    }
    const int id = mData->nextStreamId;
    std::shared_ptr<TSoundStream> stream = NewStream(this, loop);
    mData->streams[id] = TSoundStreamMapEntry{stream.get(), nullptr, nullptr, 0};
    if (!stream->Init(mData->rate, mData->channels, 16)) {
        // Not left registered: it would never play nor end.
        mData->streams.erase(id);
        stream->Kill(false);
        return -1;
    }
    stream->Play(false);
    ++mData->nextStreamId;
    return id;
}

void TSound::Pause(bool pause, int id)
{
    if (id == -1) {
        for (auto& [streamId, entry] : mData->streams)
            if (entry.stream)
                entry.stream->Pause(pause);
        return;
    }
    if (TSoundStream* stream = Stream(id))
        stream->Pause(pause);
}

int TSound::Kill(int id)
{
    std::shared_ptr<TSound> hold = Hold(this);
    if (id != -1)
        return KillEntry(id, true);
    int found = 0;
    while (!mData->streams.empty()) {
        found = 1;
        KillEntry(mData->streams.begin()->first, false);
    }
    return found;
}

int TSound::KillEntry(int id, bool killSelfChain)
{
    auto found = mData->streams.find(id);
    if (found == mData->streams.end())
        return 0;
    TSoundStreamMapEntry entry = std::move(found->second);
    mData->streams.erase(found);
    std::shared_ptr<TSound> self = Hold(this);
    if (entry.callback && self)
        entry.callback->Data().RemoveSound(self, id);
    if (entry.stream) {
        bool sharedWithAnother = false;
        for (auto& [otherId, other] : mData->streams)
            sharedWithAnother = sharedWithAnother || other.stream == entry.stream;
        if (!sharedWithAnother && entry.stream->Notify().get() == mData.get())
            entry.stream->Kill(false);
    }
    if (!entry.nextSound)
        return 1;
    // Killing every stream of this sound reaches a chain into itself anyway.
    if (killSelfChain || entry.nextSound.get() != this)
        entry.nextSound->Kill(entry.nextStreamId);
    if (entry.callback)
        entry.callback->Data().RemoveSound(entry.nextSound, entry.nextStreamId);
    return 1;
}

TSoundStreamMapEntry& TSound::PlaceholderEntry(int* id)
{
    // A stream that never plays and ends in the next notification pass, so
    // that an action set on a stream that is not (or no longer) playing
    // still completes.
    std::shared_ptr<TSoundStream> placeholder = NewStream(this, false);
    *id = mData->nextStreamId++;
    TSoundStreamMapEntry& entry = mData->streams[*id];
    entry = TSoundStreamMapEntry{placeholder.get(), nullptr, nullptr, 0};
    placeholder->Kill(true);
    return entry;
}

void TSound::SetEntryCallBack(TSoundStreamMapEntry& entry, int id, TSoundCallBack* cb)
{
    if (entry.callback && entry.callback != cb)
        if (std::shared_ptr<TSound> self = Hold(this))
            entry.callback->Data().RemoveSound(self, id);
    entry.callback = cb;
}

void TSound::CancelChain(TSoundStreamMapEntry& entry)
{
    std::shared_ptr<TSound> nextSound = std::move(entry.nextSound);
    const int nextId = entry.nextStreamId;
    entry.nextSound = nullptr;
    entry.nextStreamId = 0;
    if (!nextSound)
        return;
    if (entry.callback)
        entry.callback->Data().RemoveSound(nextSound, nextId);
    std::shared_ptr<TSoundStream> prepared = entry.stream ? entry.stream->NextStream() : nullptr;
    if (entry.stream)
        entry.stream->SetNextSoundInfo(nullptr);
    // A next stream made ready for this chain and not started is dropped
    // with it, rather than left registered for ever.
    if (prepared && !prepared->IsPlaying())
        nextSound->Kill(nextId);
}

void TSound::SetCompleteAction(int id, TSoundCallBack* cb, std::shared_ptr<TSound> next)
{
    if (id < 0)
        return;
    std::shared_ptr<TSound> self = Hold(this);
    if (!self)
        return;
    if (!TSoundManager::GetInstance()) {
        WriteDbg("No Sound Manager");
        return;
    }
    auto found = mData->streams.find(id);
    TSoundStream* stream = found == mData->streams.end() ? nullptr : found->second.stream;

    if (next && !next->Playable()) {
        WriteDbg("Play of uninitialized sound");
        return;
    }

    if (next && stream) {
        // Chain: the next stream is ready now, so it starts in the very pass
        // in which this one ends.
        TSoundStreamMapEntry& entry = found->second;
        CancelChain(entry);
        std::shared_ptr<TSoundStream> nextStream = NewStream(next.get(), false);
        if (!nextStream->Init(next->mData->rate, next->mData->channels, 16))
            QM_ASSERT(!"This shouldn't be happening");
        stream->SetNextSoundInfo(nextStream.get());
        const int nextId = next->mData->nextStreamId++;
        next->mData->streams[nextId] = TSoundStreamMapEntry{nextStream.get(), nullptr, nullptr, 0};
        SetEntryCallBack(entry, id, cb);
        entry.nextSound = next;
        entry.nextStreamId = nextId;
        if (cb)
            cb->Data().SetCurrentSounds(self, id, next, nextId);
        return;
    }
    if (next) {
        // Nothing plays under id: the next sound starts now and the
        // completion comes with the next notification pass.
        int placeholderId = 0;
        TSoundStreamMapEntry& entry = PlaceholderEntry(&placeholderId);
        const int nextId = next->Play(false);
        entry.callback = cb;
        entry.nextSound = next;
        entry.nextStreamId = nextId;
        if (cb)
            cb->Data().SetCurrentSounds(self, placeholderId, next, nextId);
        return;
    }
    if (cb) {
        int entryId = id;
        TSoundStreamMapEntry* entry = nullptr;
        if (stream) {
            entry = &found->second;
            CancelChain(*entry);
        } else {
            entry = &PlaceholderEntry(&entryId);
        }
        SetEntryCallBack(*entry, entryId, cb);
        cb->Data().SetCurrentSounds(self, entryId, nullptr, 0);
        return;
    }
    if (stream) {
        TSoundStreamMapEntry& entry = found->second;
        CancelChain(entry);
        SetEntryCallBack(entry, id, nullptr);
    }
}

void TSound::DetachCallBack(int id, TSoundCallBack* cb)
{
    auto found = mData->streams.find(id);
    if (found != mData->streams.end() && found->second.callback == cb)
        found->second.callback = nullptr;
}
