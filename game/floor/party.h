// TParty: a group of customers that arrives together, waits in line or on
// the bench, is dragged to seats, orders, eats, may want dessert, a snack or
// a picture, asks for the check, pays and leaves. It owns its figures,
// carries the group's patience as hearts (6 at arrival, at most 10) and runs
// the party states on the timings of its customer type. A seated party is
// owned and updated by its eating station, which calls the service
// operations when the waitress arrives.
#pragma once

#include "engine/base/rect.h"
#include "engine/base/str.h"
#include "game/floor/customer.h"
#include "game/floor/customerstates.h"
#include "game/floor/heartflip.h"
#include "game/floor/playrules.h"
#include "game/settings/customerdef.h"

#include <array>
#include <list>
#include <memory>

class TBench;
class TEatingStation;
class TNoiseRing;
class TScoreManager;
class TSound;
class TTexture;
class TAnimatedTextureCache;

using TNoiseRingList = std::list<std::unique_ptr<TNoiseRing>>;

class TParty {
public:
    static constexpr int kStartHearts = 6;
    static constexpr int kMaxHearts = 10;
    static constexpr int kHeartSlots = 5;
    // A leave animation is waited for at most this long, so one that loops
    // never keeps a finished party on the floor.
    static constexpr float kMaxLeaveWait = 4.0f;

    TParty(int id, int size, const int* colours, const TCustomerDef& def, int snackChance);
    ~TParty();
    TParty(const TParty&) = delete;
    TParty& operator=(const TParty&) = delete;

    // ---- state machine (party.cpp)
    void SetState(eCustomerStates state);
    // False when the party is finished and must be removed.
    bool Update(float dt, TPlayRules rules, TNoiseRingList& rings, bool spillAtTable, bool dessertAvailable);
    float GetAdjustedTimeForState(eCustomerStates state, bool happy) const;
    void ResetStateTimer();
    eCustomerStates GetState() const { return mState; }
    TPoint GetLocation() const { return mLocation; }
    bool IsPickingSeats() const { return mSeatedLook; }
    bool Leaving() const;
    bool IsAngry() const;
    bool HasHandHolders() const;
    float GetStagePercent() const;
    bool DoSpill() const;
    void ApplyPatience(float factor);
    void HeartBoost(int n, bool sound);
    // False when a party in line has no hearts left (the game removes it).
    bool LoseHeart(int n, int direction, TNoiseRingList& rings);
    void TakeDrink(int value);
    void DeliverSnack();
    void TakePicture();
    void ColorSeats(TEatingStation* station, TScoreManager* score);
    bool AllColorsMatch(TEatingStation* station) const;
    int NumHighChairsWanted() const;
    void SeatBaby();
    eCustomerColors GetBabyColor() const;
    void TriggerNoiseReaction(TPoint source, bool smooch);
    bool IgnoreNoise() const { return mDef.noiseEffect < 1; }
    bool DrawMenuDown() const;

    // ---- placement, seating, mouse and drawing (party_seating.cpp)
    void SetInLine(TPoint point, bool cancelWave);
    bool SitOnBench(TBench* bench, int heartBoost, float multiplier);
    void GetOffBench(TBench* bench);
    bool PickupParty(TPoint point);
    bool PartyRollover(TPoint point);
    void PickSeats(TPoint point, TEatingStation* station);
    bool CheckClick(TPoint point) const;
    // The members wave (their rollover look) for a second after `delay` s.
    void StartWave(float delay);
    void CancelWave();
    // A wave is pending or showing.
    bool IsWaving() const { return mWaveDelay > 0 || mWaveTime > 0; }
    void ResetPartyMouseState();
    void SetNoiseLocation(TPoint p) { mNoiseLocation = p; }
    void SetHeartLocation(int x, int y, bool vertical);
    void Draw(TAnimatedTextureCache* cache, bool foodInHand);
    void DrawLegs();
    void DrawHearts();
    // The rectangle the heart row covers on screen (empty before the heart
    // images loaded).
    TRect HeartsBox() const;

    // ---- queries
    int GetId() const { return mId; }
    int GetHearts() const { return mHearts; }
    int GetTableId() const { return mTableId; }
    int GetSize() const { return static_cast<int>(mMembers.size()); }
    bool IsOnBench() const { return mOnBench; }
    bool IsLovebirds() const { return mLovebirds; }
    bool WantsSnack() const { return mSnackWanted; }
    bool WantsPicture() const { return mPictureWanted; }
    bool WantsMop() const { return mMopWanted; }
    bool IsDrinking() const { return mDrinking; }
    float GetPeriod() const { return mPeriod; }
    TPoint GetNoiseLocation() const { return mNoiseLocation; }
    const TCustomerDef& GetDef() const { return mDef; }
    // Members in build order (member 1 first).
    std::list<TCustomer*> MembersInBuildOrder() const;
    const std::list<TCustomer*>& DrawList() const { return mDrawList; }

    void SetTimeMultiplier(float m) { mTimeMultiplier = m; }
    void SetServiceMultiplier(float m) { mServiceMultiplier = m; }
    void SetLineMultiplier(float m) { mLineMultiplier = m; }
    // The state 0 patience was changed (the bench).
    void ScaleLineWait(float factor) { mDef.states[kStateWaitingInLine].madMS *= factor; }

private:
    bool AnyMemberNamed(const char* text, bool exact) const;
    bool IsMom() const { return AnyMemberNamed("mom_female", true); }
    bool IsWaitState(int state) const { return state >= 0 && state < kCustomerStates && mDef.states[state].timed; }
    int RandomMember() const;
    void SmoochCheck();
    void SortDrawList();
    void EachMember(void (TCustomer::*action)());
    void RestartMembers();
    void PlaySound(int which);
    void EmitRing(TNoiseRingList& rings, bool smooch);
    bool UpdateHolds(float dt, TNoiseRingList& rings, bool* spillStep, bool* done);
    bool UpdateTimers(float dt, TPlayRules rules, TNoiseRingList& rings, bool dessertAvailable, bool* done);
    bool EndDurationState(TPlayRules rules, bool dessertAvailable);
    bool UpdateSpill(float dt, bool spillAtTable, TNoiseRingList& rings);
    void UpdateNoise(float dt, TNoiseRingList& rings);
    bool BabyWaitsForChair() const { return NumHighChairsWanted() > 0; }
    void ScheduleRequests();

    TCustomerDef mDef;
    int mId;
    std::list<std::unique_ptr<TCustomer>> mMembers;  // last built first
    std::list<TCustomer*> mDrawList;
    eCustomerStates mState = kStateWaitingInLine;
    TPoint mLocation, mNoiseLocation;
    TCustomer* mDragged = nullptr;
    bool mSeatedLook = false;
    int mTableId = -1;
    float mPeriodTime = 0, mStateTime = 0, mAge = 0;
    int mHearts = kStartHearts;
    TPoint mHeartLocation;
    bool mHeartsVertical = false;
    std::array<std::shared_ptr<TTexture>, 3> mHeartImages;
    std::array<THeartFlip, kHeartSlots> mHeartFlips;
    float mPeriod = 0;
    float mTimeMultiplier = 1.0f, mServiceMultiplier = 1.0f, mLineMultiplier = 1.0f;
    int mSnackChance;
    bool mSnackScheduled = false, mPictureTaken = false, mPictureScheduled = false;
    bool mSnackWanted = false, mPictureWanted = false, mSmoochScheduled = false;
    float mSmoochDelay = 0;
    float mRequestTime = 0, mRequestTimeLeft = 0, mRequestDelay = 0;
    int mThoughtMember = 0;
    bool mDrinking = false;
    int mDrinkValue = 0;
    bool mMopWanted = false;
    float mSpillTime = 0;
    std::array<std::shared_ptr<TSound>, 10> mSounds;
    float mNoiseTimer = 0;
    bool mPendingHit = false;
    int mPendingAmount = 0;
    TPoint mPendingSource;
    float mRingYFactor = 1.0f;
    bool mOnBench = false;
    TBench* mBench = nullptr;  // not owned
    float mWaveDelay = 0, mWaveTime = 0;
    bool mLovebirds = false;
    bool mSpaceSoundPlayed = false;
    float mLeaveWait = 0;
};
