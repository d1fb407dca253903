// TQuessasCloset ("QuessasCloset"): the wardrobe. A large mannequin of the
// waitress is dressed slot by slot (shoes, bottom, top, apron, accessory);
// arrows step through every unlocked item of a slot in every allowed colour
// (apron and accessory also through "off"), Shuffle draws a random outfit and
// SaveOutfit stores it with the player. Slots holding clothing new to the
// player glow.
#pragma once

#include "engine/base/clock.h"
#include "engine/base/str.h"
#include "engine/script/animation.h"
#include "engine/window/window.h"
#include "game/floor/clothinglayer.h"
#include "game/screens/texturerefresh.h"
#include "game/settings/clothing.h"
#include "game/screens/scriptedwindow.h"

#include <array>
#include <memory>
#include <vector>

class TTexture;

// One item file of a slot and the colours it is offered in.
struct TAssetInfo {
    std::vector<str> colorNames;
    std::vector<int> colorIndices;
    str path;      // "assets/quessa/top2.anm"
    str fileName;  // "top2.anm"
    int index = 0; // its place among the slot's files: the frame the wardrobe shows
};

// One slot: the chosen (item, colour) pair and the pair the arrows stand on;
// every public operation leaves them equal.
struct TClosetAsset {
    int chosenItem = -1, chosenColor = -1;
    int stepItem = -1, stepColor = -1;
    std::vector<TAssetInfo> items;

    void ChangeChoice(int step, bool allowOff);
    bool ChangeColor(int step, bool allowOff);
    int CountPairs() const;
    // The colour name of an (item, colour) pair, empty when either is -1.
    str ColorName(int item, int color) const;
};

class TQuessasCloset : public TScriptedWindow<TQuessasCloset> {
public:
    static const contract::TScreenSpec kContract;

    static constexpr int kSlots = 5;
    static const char* const kSlotNames[kSlots];

    TQuessasCloset();
    ~TQuessasCloset() override;

    void PostChildrenInit() override;
    void Draw() override;
    bool OnTaskAnimate() override;
    bool OnKeyDown(char, int) override { return false; }

    void BuildAssetList(const char* folder);
    void LoadOutfit();
    void ChangeClothing(int slot, int step);  // a slot out of range changes nothing
    void SaveOutfit();
    void Shuffle();
    void SetupGlows();
    void StopButtonFlash() { mFlashButtons = false; }

    const TClosetAsset& GetSlot(int slot) const { return mSlots[static_cast<size_t>(slot)]; }
    bool IsGlowing(int slot) const { return mGlowOn[static_cast<size_t>(slot)]; }
    bool IsSlotVisible(int slot) const { return mSlotVisible[static_cast<size_t>(slot)]; }

private:
    void ApplyCurrentClothing(int slot);
    void SetButtons(bool lit);
    void RefreshPieces();

    TAnimation mBlink;
    std::array<TClosetAsset, kSlots> mSlots;
    TClothing mCatalogue;
    TClock mClock;
    TAnimation mBase;
    TVec2 mBasePosition;
    std::array<bool, kSlots> mSlotVisible{};
    std::array<TClothingLayer, kSlots> mFigure;   // the mannequin's pieces
    std::array<TClothingLayer, kSlots> mButtons;  // the item between a slot's arrows
    std::array<std::shared_ptr<TTexture>, kSlots> mGlows;
    std::array<bool, kSlots> mGlowOn{};
    bool mFlashButtons = true;
    float mPulse = 0.0f;
    std::unique_ptr<TTextureRefresh> mRefresh;
};

