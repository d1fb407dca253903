// The notices after a won level: TUnlockWindow ("UnlockWindow") lists the
// levels and outfits unlocked since the level began; TClothingUnlocked
// ("ClothingUnlocked") shows up to four outfits the level awarded, with
// their icons in the awarded colour.
#pragma once

#include "engine/window/window.h"
#include "game/screens/texturerefresh.h"
#include "game/settings/clothing.h"
#include "game/screens/scriptedwindow.h"

#include <memory>

class TUnlockWindow : public TScriptedWindow<TUnlockWindow> {
public:
    static const contract::TScreenSpec kContract;

    void PostChildrenInit() override;
};

class TClothingUnlocked : public TScriptedWindow<TClothingUnlocked> {
public:
    static const contract::TScreenSpec kContract;

    static constexpr int kShown = 4;

    TClothingUnlocked();
    ~TClothingUnlocked() override;
    void PostChildrenInit() override;
    void SetupImages();

private:
    TClothing mCatalogue;
    std::unique_ptr<TTextureRefresh> mRefresh;
};

