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

void TAssetManager::AddAsset(str key, const std::shared_ptr<TAsset>& asset)
{
    mAssets[key] = asset;
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
