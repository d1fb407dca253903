#include "engine/base/asset.h"

#include "engine/base/instanceholder.h"

namespace {

std::multimap<int, TAssetMap::Loader>& loaders()
{
    static std::multimap<int, TAssetMap::Loader> registered;
    return registered;
}

}  // namespace

TClassId TAsset::ClassId()
{
    return MakeClassId(&TAsset::ClassId);
}

// ---------------------------------------------------------------- TAssetManager

TAssetManager* TAssetManager::GetInstance()
{
    return TInstanceHolder<TAssetManager>::Get();
}

TAssetManager::TAssetManager()
{
    TInstanceHolder<TAssetManager>::Publish(this);
}

TAssetManager::~TAssetManager()
{
    TInstanceHolder<TAssetManager>::Withdraw(this);
}

namespace {

// An asset registered under its own address (a texture made at run time,
// not loaded) cannot be asked for again by name: keeping it would only
// hold it.
bool NamedAfterItself(const str& key, const TAsset* asset)
{
    const str address = str::getFormatted("%p:", static_cast<const void*>(asset));
    return key.substr(0, address.length()) == address;
}

}  // namespace

void TAssetManager::AddAsset(str key, const std::shared_ptr<TAsset>& asset)
{
    if (mKeeping && asset && !NamedAfterItself(key, asset.get()))
        mKept[key] = asset;
    mAssets[key] = asset;
    // An expired entry still pins the memory of an asset made by
    // make_shared (the object shares the block that the weak count holds).
    if (++mAddsSincePruning >= 256)
        ForgetExpired();
}

void TAssetManager::ForgetExpired()
{
    mAddsSincePruning = 0;
    std::erase_if(mAssets, [](const auto& entry) { return entry.second.expired(); });
}

void TAssetManager::KeepFor(const str& owner)
{
    if (owner != mKeptFor)
        DropKept();
    mKeptFor = owner;
    mKeeping = true;
}

std::vector<str> TAssetManager::KeptKeys() const
{
    std::vector<str> keys;
    for (const auto& [key, asset] : mKept)
        keys.push_back(key);
    return keys;
}

void TAssetManager::DropKept()
{
    // Moved out first: a dying asset may ask the registry for others.
    std::map<str, std::shared_ptr<TAsset>> dropped;
    dropped.swap(mKept);
    dropped.clear();
    ForgetExpired();
}

std::shared_ptr<TAsset> TAssetManager::GetAsset(str key) const
{
    auto found = mAssets.find(key);
    if (found == mAssets.end())
        return nullptr;
    return found->second.lock();
}

void TAssetManager::RemoveAsset(str key)
{
    mAssets.erase(key);
}

bool TAssetManager::FirstReportOf(const str& key)
{
    TAssetManager* manager = GetInstance();
    return !manager || manager->mReported.insert(key).second;
}

// ---------------------------------------------------------------- TAssetMap

void TAssetMap::RegisterLoader(int order, Loader loader)
{
    loaders().emplace(order, std::move(loader));
}

void TAssetMap::AddAsset(str key, const std::shared_ptr<TAsset>& asset)
{
    key.replace("\\", "/", str::kReplaceAll, 0);
    if (asset) {
        mAssets[key] = asset;
        return;
    }
    for (auto& [order, load] : loaders()) {
        if (auto loaded = load(key)) {
            mAssets[key] = loaded;
            return;
        }
    }
}
