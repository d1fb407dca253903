// What a level's set-up loads (the room's pictures, animations and sounds)
// stays loaded for the next level of the same restaurant, which then decodes
// none of it again; the first level of another restaurant lets it go. What
// comes and goes during play (the parties) is not kept, so what is kept is
// bounded by one room. The level keeps what loads while one of these lives.
#pragma once

#include "engine/base/asset.h"
#include "engine/base/str.h"

class TKeepSetUpAssets {
public:
    explicit TKeepSetUpAssets(int restaurant)
        : mAssets(TAssetManager::GetInstance())
    {
        if (mAssets)
            mAssets->KeepFor(str::getFormatted("restaurant %d", restaurant));
    }
    ~TKeepSetUpAssets()
    {
        if (mAssets)
            mAssets->StopKeeping();
    }
    TKeepSetUpAssets(const TKeepSetUpAssets&) = delete;
    TKeepSetUpAssets& operator=(const TKeepSetUpAssets&) = delete;

private:
    TAssetManager* mAssets;
};
