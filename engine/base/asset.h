// Shared resources. Every texture, model, sound, animated texture and
// compiled script derives from TAsset and is held through std::shared_ptr.
// The registry keeps only weak references, so an asset nobody holds dies at
// once and is loaded afresh on the next request; a TAssetMap keeps a group
// of assets alive for as long as it lives.
#pragma once

#include "engine/base/classid.h"
#include "engine/base/str.h"

#include <functional>
#include <map>
#include <set>
#include <memory>
#include <vector>

class TAsset : public std::enable_shared_from_this<TAsset> {
public:
    virtual ~TAsset() = default;

    static TClassId ClassId();
    virtual bool IsKindOf(TClassId id) const { return id == ClassId(); }

    // Hooks for assets bound to a device: give up and rebuild the device copy.
    virtual void Release() {}
    virtual void Restore() {}

    // Throws std::bad_weak_ptr when no owner holds the asset any more.
    std::shared_ptr<TAsset> GetRef() { return shared_from_this(); }

    template <typename T>
    std::shared_ptr<T> GetCast()
    {
        if (!IsKindOf(T::ClassId()))
            return nullptr;
        return std::static_pointer_cast<T>(GetRef());
    }
};

class TAssetManager {
public:
    // The registry of the running engine (made by the platform data), or null.
    static TAssetManager* GetInstance();

    TAssetManager();
    virtual ~TAssetManager();
    TAssetManager(const TAssetManager&) = delete;
    TAssetManager& operator=(const TAssetManager&) = delete;

    void AddAsset(str key, const std::shared_ptr<TAsset>& asset);
    std::shared_ptr<TAsset> GetAsset(str key) const;
    void RemoveAsset(str key);

    // Keeping: while it is on, every asset added is also held here, so that
    // it outlives its users until the keeping is dropped. A level keeps what
    // it loads for the next level of its restaurant: `KeepFor` with the
    // restaurant's name drops what was kept for another name, then keeps on.
    void KeepFor(const str& owner);
    void StopKeeping() { mKeeping = false; }
    // Lets every kept asset go (it dies unless someone else holds it); the
    // platform calls it when the system runs low on memory.
    void DropKept();
    bool IsKeeping() const { return mKeeping; }
    int KeptCount() const { return static_cast<int>(mKept.size()); }
    // The keys of what is kept.
    std::vector<str> KeptKeys() const;
    // Registry entries, those of assets that died lately included.
    int EntryCount() const { return static_cast<int>(mAssets.size()); }

    // True the first time a problem with the resource `key` (a missing or
    // damaged file) is reported in the life of the running registry, or
    // always when there is none: a file asked for again and again (every
    // frame, every level) is named in the log once.
    static bool FirstReportOf(const str& key);

private:
    void ForgetExpired();

    std::map<str, std::weak_ptr<TAsset>> mAssets;
    std::set<str> mReported;
    std::map<str, std::shared_ptr<TAsset>> mKept;
    str mKeptFor;
    bool mKeeping = false;
    int mAddsSincePruning = 0;
};

class TAssetMap {
public:
    // Loads an asset from a file name; returns empty when the name is not of its kind.
    using Loader = std::function<std::shared_ptr<TAsset>(const str& name)>;

    // Asset kinds register how a map loads a bare file name. Loaders are tried
    // in ascending order: textures (0), then models (1), then sounds (2).
    static void RegisterLoader(int order, Loader loader);

    TAssetMap() = default;
    virtual ~TAssetMap() = default;

    // An empty asset means: load it from the key taken as a file name.
    void AddAsset(str key, const std::shared_ptr<TAsset>& asset = nullptr);
    void Release() { mAssets.clear(); }
    int Count() const { return static_cast<int>(mAssets.size()); }

private:
    std::map<str, std::shared_ptr<TAsset>> mAssets;
};

// The loader order of each asset kind in TAssetMap.
enum EAssetLoaderOrder {
    kTextureLoaderOrder = 0,
    kModelLoaderOrder = 1,
    kSoundLoaderOrder = 2,
};
