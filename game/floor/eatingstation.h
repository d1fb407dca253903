// TEatingStation: the seat group where one party eats, a whole table
// (TTable) or a section of the bar (TBar). It owns its chairs, the seated
// party, the plates, the dirty dishes, the spill and the check, and holds the
// serving rules: which item the waitress must bring or take in which party
// state, checked in a fixed order (ServeVisit).
#pragma once

#include "engine/base/rect.h"
#include "engine/base/str.h"
#include "engine/script/animation.h"
#include "game/floor/chair.h"
#include "game/floor/party.h"
#include "game/floor/seatgroup.h"
#include "game/floor/floorview.h"
#include "game/floor/station.h"
#include "game/floor/waitresshands.h"

#include <array>
#include <memory>
#include <vector>

class TAnimatedTexture;
class TAnimatedTextureCache;
class TSound;
class TTextGraphic;
class TTexture;

class TEatingStation : public IStation, public ITableView, public ISeatGroup {
public:
    static constexpr int kBarNumberBase = 100;  // bar sections show as letters from "A"
    // The art is moved up at most this far to align its box on the floor grid.
    static constexpr int kMaxAlignShift = 10;

    TEatingStation(int tableNumber, int seatCount, bool isTable, const TPoint& location);
    ~TEatingStation() override;

    void Setup(str chairName, str artFolder, std::shared_ptr<TAnimatedTexture> art, const int* chairColors);
    void CreateChairs(const std::shared_ptr<TAnimatedTexture>& art, str chairName, int count, int firstIndex,
                      const int* colors);
    void SetSeatRange(int first, int end);
    void SetLocation(TPoint p);
    void CreateDefaultBoundingBox();
    void SetStandLocation(TPoint p) { mStandingSpot = p; }
    void SetCheckMarkLocation(TPoint p) { mCheckmarkSpot = p; }
    void SetHeartLocation(TPoint p, bool vertical);
    void SetSpillLocation(TPoint p) { mSpillLocation = p; }
    void SetNoiseLocation(TPoint p);
    void SetTableNumberLocation(TPoint p) { mTableNumberLocation = p; }
    void SetBoundingBox(TRect box) { mBoundingBox = box; }

    // ---- IStation
    TPoint GetStandingSpot() override { return mStandingSpot; }
    TPoint GetCheckmarkSpot() override { return mCheckmarkSpot; }
    bool HitTest(const TPoint& point, TTutorial* tutorial, int* clickKind) override;
    bool ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int clickKind) override;
    // The serving rules on her hands (eatingstation_serve.cpp).
    bool ServeVisit(IWaitressHands* hands, TPlayRules rules, int clickKind);

    // ---- ITableView (what the kitchen and the waitress ask)
    int TableNumber() const override { return mTableNumber; }
    int PartyState() const override { return mParty ? mParty->GetState() : -1; }
    bool PartyWantsSnack() const override { return mParty && mParty->WantsSnack(); }
    int HighChairsNeeded() const override;
    bool SpillPresent() const override { return mSpillPresent; }

    // ---- seating and chairs
    void TryOutParty(TParty* party);
    void AdoptParty(std::unique_ptr<TParty> party, TScoreManager* score);
    bool AllCustomersMatch(TParty* party) { return party && party->AllColorsMatch(this); }

    // ---- ISeatGroup (what a party asks as it sits down)
    int GetFirstSeat() const override { return mFirstSeat; }
    int GetEndSeat() const override { return mEndSeat; }
    int GetChairCount() const override { return static_cast<int>(mChairs.size()); }
    int GetClosestChair(const TPoint& p) const override;
    void OccupyChair(int index, bool occupied) override;
    TPoint GetChairLocation(int index, bool* mirrored) const override;
    int GetChairColor(int index) const override;
    bool ColorSeat(int index, eCustomerColors colour, TScoreManager* score) override;
    bool IsTable() const override { return mIsTable; }
    int GetTableNumber() const override { return mTableNumber; }
    TPoint GetLocation() const override { return mLocation; }
    TPoint GetHeartLocation() const override { return mHeartLocation; }
    TPoint GetNoiseLocation() const override { return mNoiseLocation; }

    // ---- chairs
    void GetChairColors(int* colors) const;
    void GetChairChains(int* chains) const;
    void SetChairStates(const int* colors, const int* chains, int first, int end);
    void SwapSeats(int a, int b);
    int GetMinOccupiedSeat() const;
    int GetMaxOccupiedSeat() const;
    int NumHighChairs() const;
    void PlaceHighChair(eCustomerColors babyColor);
    const TChair* GetChair(int index) const;

    // ---- service state
    void ClearCheck();
    void ClearPlates();
    void MakeDirty(bool withSpill);
    void DoSpill();
    void MopupSpill(IWaitressHands* hands, TScoreManager* score);
    // The room's decor level: the frame of the station's art and its chairs.
    void SetUpgradeLevel(int level);
    int GetUpgradeLevel() const { return mUpgradeLevel; }
    // False exactly when the party left angry in this call. The rings of the
    // level are handed in so a departing party's rings go with it.
    bool Update(float dt, IWaitressHands* hands, TPlayRules rules, TNoiseRingList& rings,
                bool mopStationPresent, bool dessertStationPresent, int angryPenalty, bool foodReadyAndQueued = false);
    // A step of another table's noise ring: each of its points that swept
    // into this table costs the seated party hearts.
    void HearRing(const TNoiseRing& ring);

    // ---- queries
    TRect BoundingBox() const { return mBoundingBox; }
    TRect MouseOverBox() const;
    // The point it was made at (a layout's cell), before it moved onto the grid.
    TPoint GetLayoutPoint() const { return mLayoutPoint; }
    str GetNumberText() const;
    TParty* GetParty() const { return mParty.get(); }
    TParty* GetTriedOutParty() const { return mTriedOut; }
    bool HasDishes() const { return mDishesPresent; }
    bool HasSpill() const { return mSpillPresent; }

    // ---- drawing
    void DrawPreTable(float upgradeAlpha, float highlightAlpha);
    void DrawChairs(bool highChairs, float upgradeAlpha, float highlightAlpha);
    void DrawFood();
    void DrawPostTable(TAnimatedTextureCache* cache);

protected:
    enum ESound { kDeliver1, kDeliver2, kPencil, kHighChair, kSpill, kMopSpill, kDitch, kDrink, kSoundCount };
    void PlaySound(ESound which);
    void ReleaseParty();
    bool PickUpDishes(IWaitressHands* hands, TPlayRules rules);
    bool ServeParty(IWaitressHands* hands, TPlayRules rules);
    bool ServeFallback(IWaitressHands* hands, TScoreManager* score);
    void TakeCheck(TPlayRules rules);
    void Score(TScoreManager* score, int action);
    static int Rand();
    std::shared_ptr<TAnimatedTexture> mArt;

private:
    bool InSeatRange(int index) const { return index >= mFirstSeat && index < mEndSeat; }
    void RebuildSeats();
    void AlignBoxToGrid();

    int mFirstSeat = 0, mEndSeat;
    int mTableNumber;
    TPoint mLocation, mHomeLocation;
    TPoint mLayoutPoint;
    TPoint mShadowLocation{-1, -1};
    TPoint mStandingSpot, mCheckmarkSpot;
    TPoint mHeartLocation, mSpillLocation, mNoiseLocation, mTableNumberLocation;
    TRect mBoundingBox;
    std::shared_ptr<TTexture> mCheck, mDirt, mMenuDown, mShadow;
    std::array<std::shared_ptr<TTexture>, 2> mNumberBadges;
    TAnimation mSpillAnimation;
    TTextGraphic* mNumberText = nullptr;  // owned
    std::vector<std::unique_ptr<TChair>> mChairs;
    std::vector<TChair*> mSeats;  // the seat range, by screen y
    std::unique_ptr<TParty> mParty;
    TParty* mTriedOut = nullptr;  // being dragged over; not owned
    bool mDishesPresent = false;
    bool mDishesScore = true;
    std::vector<unsigned char> mPlates;
    bool mIsTable;
    bool mSpillRolled = false;
    bool mSpillPresent = false;
    bool mFoodInHand = false;
    bool mFoodReadyAndQueued = false;
    int mUpgradeLevel = 0;
    TAnimation mFoodAnimation, mDessertAnimation;
    std::array<std::shared_ptr<TSound>, kSoundCount> mSounds;
    std::unique_ptr<TAnimatedTextureCache> mCache;
};
