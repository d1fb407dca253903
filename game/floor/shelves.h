// The service shelves: where the waitress fetches what a party wants beyond
// its meal. Each is enabled only when the level's layout has it; it hands an
// item out only while the floor needs one, pulses its glow while needed, and
// picking an item up breaks the score chain of that item's action.
#pragma once

#include "game/floor/carryables.h"
#include "game/floor/station.h"
#include "game/rules/scoreaction.h"

#include "engine/base/str.h"

#include <memory>
#include <vector>

class ITableView;
class TSound;
class TTexture;

// What every shelf shares: its art ("_a" base, "_b" glow), place, the
// enabled flag and the attention timer of its pulse.
class TShelfStation : public IStation {
public:
    ~TShelfStation() override;

    void SetEnabled(bool enabled) { mEnabled = enabled; }
    bool IsEnabled() const { return mEnabled; }
    bool IsNeeded() const { return mNeeded; }
    float GetAttentionTime() const { return mAttentionTime; }
    TPoint GetPosition() const { return mPosition; }

    TPoint GetStandingSpot() override { return mStandingSpot; }
    // No tutorial restriction: inside the base art centred on the position.
    bool HitTest(const TPoint& point, TTutorial* tutorial, int* clickKind) override;
    virtual void Draw();

protected:
    TShelfStation(str artName, TPoint position);
    void UpdateAttention(float dt, bool needed);
    // Hands the item over, breaks its chain and plays the pick-up sound.
    bool HandOver(TQuessa* waitress, TScoreManager* score, ECarryables kind, int id, int extra,
                  eScoreAction chain);
    static bool InsideCentred(const std::shared_ptr<TTexture>& texture, TPoint centre, const TPoint& point);

    TPoint mPosition;
    TPoint mStandingSpot;
    std::shared_ptr<TTexture> mBase;
    std::shared_ptr<TTexture> mGlow;
    std::shared_ptr<TSound> mPickupSound;  // may stay empty
    float mAttentionTime = 0;
    bool mNeeded = false;
    bool mEnabled = false;
};

// Desserts and snacks: one item per party that wants one, never more.
class TWantedItemShelf : public TShelfStation {
public:
    void Update(float dt, const std::vector<ITableView*>& tables, TQuessa* waitress);
    bool ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int clickKind) override;
    int GetWantedCount() const { return mWantedCount; }

protected:
    TWantedItemShelf(str artName, TPoint position, ECarryables item, eScoreAction chain);
    virtual bool Wants(const ITableView& table) const = 0;

private:
    ECarryables mItem;
    eScoreAction mChain;
    int mWantedCount = 0;
};

class TDessertStation : public TWantedItemShelf {
public:
    TDessertStation();

protected:
    bool Wants(const ITableView& table) const override;
};

class TSnackStation : public TWantedItemShelf {
public:
    TSnackStation();

protected:
    bool Wants(const ITableView& table) const override;
};

class TDrinkStation : public TShelfStation {
public:
    TDrinkStation();

    void Reset();
    void Update(float dt);
    // An enabled station has a drink ready at once.
    void ForceActive();
    void PickupDrink();
    bool IsDrinkReady() const { return mDrinkReady; }
    void SetRefillTime(float seconds) { mRefillTime = seconds; }
    void SetDrinkValue(int value) { mDrinkValue = value; }

    bool ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int clickKind) override;
    void Draw() override;

private:
    std::shared_ptr<TTexture> mEmpty;  // "_c"
    float mRefillTime = 10.0f;
    int mDrinkValue = 0;
    float mRefillTimer = 0;
    bool mDrinkReady = false;
};

class THighChairStation : public TShelfStation {
public:
    THighChairStation();

    void Update(float dt, const std::vector<ITableView*>& tables, TQuessa* waitress);
    void SetPatience(float patience) { mPatience = patience; }
    bool ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int clickKind) override;

private:
    float mPatience = 1.0f;
};

class TMopStation : public TShelfStation {
public:
    TMopStation();

    void Update(float dt, const std::vector<ITableView*>& tables, TQuessa* waitress);
    bool IsMopCarried() const { return mMopCarried; }

    // The stand while the mop is out, else the mop.
    bool HitTest(const TPoint& point, TTutorial* tutorial, int* clickKind) override;
    bool ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int clickKind) override;
    void Draw() override;

private:
    TPoint mStandPosition;
    std::shared_ptr<TTexture> mStand;  // "_c"
    float mMopFactor = 1.0f;
    bool mMopCarried = false;
};
