// The notices after a won level: TUnlockWindow ("UnlockWindow") lists the
// levels and outfits unlocked since the level began; TClothingUnlocked
// ("ClothingUnlocked") shows up to four outfits the level awarded, with
// their icons in the awarded colour.
#pragma once

#include "engine/window/window.h"
#include "game/screens/texturerefresh.h"
#include "game/settings/clothing.h"

#include <memory>

class TUnlockWindow : public TWindow {
public:
    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
    void PostChildrenInit() override;
};

class TClothingUnlocked : public TWindow {
public:
    static constexpr int kShown = 4;

    TClothingUnlocked();
    ~TClothingUnlocked() override;
    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
    void PostChildrenInit() override;
    void SetupImages();

private:
    TClothing mCatalogue;
    std::unique_ptr<TTextureRefresh> mRefresh;
};

TWindow* TUnlockWindowDynamicCreate();
TWindow* TClothingUnlockedDynamicCreate();
