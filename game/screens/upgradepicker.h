// TUpgradePicker: the three offers of the upgrade screen between endless
// shifts ("scripts/upgrade.lua", window type "UpgradePicker"). Pointing at an
// offer shows its description in the child "descrip"; clicking one chooses
// it and shows "continue"; the script then calls the Lua global
// ActivateUpgrade, which buys the chosen upgrade for the game.
#pragma once

#include "engine/base/str.h"
#include "engine/window/window.h"
#include "game/screens/scriptedwindow.h"

#include <array>
#include <memory>

class IUpgradeTarget;
class TTexture;

class TUpgradePicker : public TScriptedWindow<TUpgradePicker> {
public:
    static const contract::TScreenSpec kContract;

    static constexpr const char* kTypeName = "UpgradePicker";
    static constexpr int kOffers = 3;

    TUpgradePicker();
    ~TUpgradePicker() override;

    // Fills the offers from the game's catalogue (fixedOffer: the tutorial's two).
    void PickUpgrades(IUpgradeTarget* game, bool fixedOffer);
    void SetupText();
    // Buys the chosen offer; nothing when none is chosen.
    void ActivateUpgrade();

    void Draw() override;
    bool OnMouseDown(const TPoint& p) override;
    bool OnMouseMove(const TPoint& p) override;

    const str& GetOfferId(int k) const { return mOffers[size_t(k)].id; }
    bool HasOffer(int k) const { return mOffers[size_t(k)].art[0] != nullptr; }
    int GetChosen() const { return mChosen; }
    static TPoint OfferCentre(int k) { return TPoint{200 + 150 * k, 178}; }

private:
    struct TOffer {
        std::array<std::shared_ptr<TTexture>, 3> art;  // normal, pointed at, chosen
        str id, icon, title, description;
    };

    void ClearOffers();
    void OfferTable(TOffer* offer);
    void OfferNextLevel(TOffer* offer, int catalogueIndex);
    void DrawRandomOffer(int k);
    void LoadArt(int k);
    int OfferAt(const TPoint& p) const;

    std::array<TOffer, kOffers> mOffers;
    int mHover = -1;
    int mChosen = -1;
    IUpgradeTarget* mGame = nullptr;
};
