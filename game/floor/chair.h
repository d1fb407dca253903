// TChair: one seat of an eating station, a table chair or a bar stool. It
// remembers the colour of the last customer who sat on it and how many of
// that colour sat there in a row (the chair bonus), shows that chain as a
// coloured flag, can carry a baby's high chair and takes the restaurant's
// upgrade look.
#pragma once

#include "engine/base/rect.h"
#include "engine/base/str.h"
#include "engine/base/vec.h"
#include "engine/script/animation.h"
#include "game/floor/customerstates.h"
#include "game/floor/frameslots.h"

#include <array>
#include <memory>

class TAnimatedTexture;
class TScoreManager;
class TTextGraphic;
class TTexture;

class TChair {
public:
    TChair(str chairName, TPoint location, int colour, bool mirrored, int number);
    ~TChair();
    TChair(const TChair&) = delete;
    TChair& operator=(const TChair&) = delete;

    void Occupy(bool occupied) { mOccupied = occupied; }
    bool IsOccupied() const { return mOccupied; }
    TPoint GetLocation(bool* mirrored) const;
    TPoint GetSitLocation(bool* mirrored) const;
    void SetLocation(TPoint location) { mLocation = location; }
    TRect BoundingBox() const;
    // True on a chain (the same colour again).
    bool SetColor(int colour, TScoreManager* score);
    int GetColor() const { return mColor; }
    int GetChainCount() const { return mChainCount; }
    void SetState(int colour, int chain)
    {
        mColor = colour;
        mChainCount = chain;
    }
    void SetChairMood(bool happy);
    void UpdateChairMood();
    // The room's decor level: the frame every colour's look shows.
    void SetChairUpgrade(int level);
    int GetUpgradeLevel() const { return mUpgradeLevel; }
    void Draw(float upgradeAlpha, float highlightAlpha);

    bool IsHighChair() const { return mIsHighChair; }
    void SetHighChair(bool on, int babyColour)
    {
        mIsHighChair = on;
        mBabyColor = babyColour;
    }
    int GetBabyColor() const { return mBabyColor; }
    void ShowFlag(bool show) { mShowFlag = show; }
    bool IsMirrored() const { return mMirrored; }
    int GetNumber() const { return mNumber; }
    // The chain text as it is drawn ("x2" for a chain count of 1); empty when no flag shows.
    str FlagText() const;

private:
    void DrawFlag();

    TPoint mLocation;
    int mNumber;
    TPoint mSitOffset, mFlagOffset;
    TPoint mChainTextOffset{-5, -10};
    TVec2 mHighlightPosition;
    bool mMoodHappy = true;
    bool mIsHighChair = false;
    std::array<std::shared_ptr<TAnimatedTexture>, kChairColorCount> mLooks;
    // The upgraded look while the decor choice offers it.
    TFrameSlots mUpgradeLook{1};
    // One a colour; the first plays the mood for all of them.
    std::array<TAnimation, kCustomerColorCount> mBabies;
    std::array<std::shared_ptr<TTexture>, kCustomerColorCount> mFlags;
    bool mMirrored;
    bool mOccupied = false;
    bool mShowFlag = true;
    int mColor;
    int mBabyColor = 0;
    TTextGraphic* mChainText = nullptr;  // owned
    int mChainCount = 0;
    int mUpgradeLevel = 0;
    std::shared_ptr<TTexture> mHighlight;
};
