// TPodium: the host podium near the entrance. Whoever stands at it (the
// waitress, or the hostess called by phone) charges it; a full charge gives
// hearts to the first parties in line, then the podium stays active while
// small hearts rise, rests, and charges again if someone is still there.
#pragma once

#include "engine/base/vec.h"
#include "engine/script/animation.h"
#include "game/floor/station.h"

#include <array>
#include <list>
#include <memory>

class TParty;
class TTexture;
class TXmlNode;

class TPodium : public IStation {
public:
    enum EOccupant { kNobody = 0, kWaitress = 1, kHostess = 2 };
    static constexpr int kMiniHearts = 8;
    // Used when a level file names none: a charge takes a few seconds, the
    // boost shows for a moment and the podium rests a little longer.
    static constexpr float kDefaultChargeTime = 3.0f;
    static constexpr float kDefaultActiveTime = 2.0f;
    static constexpr float kDefaultRestTime = 15.0f;
    static constexpr int kDefaultMoodBoost = 1;

    TPodium();
    ~TPodium() override;

    // Reads `podiumChargeTime`, `podiumActiveTime`, `podiumDelayTime` (ms)
    // and `podiumMoodBoost` of the level's globals (the `globals` element, or
    // a `dataroot` holding one); a missing key keeps its value.
    void SetDefaults(TXmlNode* level);
    void Setup(float charge, float active, float rest, int moodBoost, int parties);
    void SetEnabled(bool enabled) { mEnabled = enabled; }
    bool IsEnabled() const { return mEnabled; }

    TPoint GetStandingSpot() override { return mStandingSpot; }
    bool HitTest(const TPoint& point, TTutorial* tutorial, int* clickKind) override;
    bool ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int clickKind) override;
    void LeavingStation(TQuessa* waitress) override;

    void Activate(bool byWaitress);
    bool Ready() const { return mEnabled && !mCharging && !mActive && !mResting; }
    void Cancel(bool);
    // True on the frame the boost is handed out.
    bool Update(TQuessa* waitress, float dt, const std::list<TParty*>& line);
    void Reset();
    // The podium's picture on the floor (empty without it); its bottom sorts it among the tables.
    TRect BoundingBox() const;
    void Draw();

    int Occupant() const { return mOccupant; }
    bool IsCharging() const { return mCharging; }
    bool IsActive() const { return mActive; }
    int ChargeFrame() const { return mChargeFrame; }
    float ChargeTime() const { return mChargeTime; }
    float ActiveTime() const { return mActiveTime; }
    float RestTime() const { return mRestTime; }
    int MoodBoost() const { return mMoodBoost; }
    // How many parties at the head of the line a release boosts.
    int PartiesBoosted() const { return mPartiesBoosted; }
    TVec2 MiniHeart(int i) const { return mMiniHearts[std::size_t(i)]; }

private:
    void SetChargeFrame(int frame);
    void HeartsHome();
    void UpdateMiniHearts();
    void BoostLine(const std::list<TParty*>& line);

    std::array<TVec2, kMiniHearts> mMiniHearts{};
    std::array<TVec2, kMiniHearts> mMiniHeartHomes{};
    // In the middle of the floor's bottom edge, right of the bar and apart
    // from the line of waiting parties (a party of six at its head reaches
    // 200 px in); the layouts with a podium keep the spot and the one
    // charging it clear of tables (tools/levels/make-levels, PODIUM_CLEAR).
    TPoint mPosition{430, 566};
    // Right of it and at the floor's bottom edge: one standing level with
    // it would reach up into the table for two above.
    TPoint mStandingSpot{480, 598};
    std::shared_ptr<TTexture> mPodium, mMiniHeart;
    TAnimation mChargeDisplay;
    int mChargeFrame = 0;
    int mOccupant = kNobody;
    bool mEnabled = false, mCharging = false, mActive = false, mResting = false;
    float mChargeTimer = 0, mActiveTimer = 0, mRestTimer = 0;
    float mChargeTime = kDefaultChargeTime, mActiveTime = kDefaultActiveTime, mRestTime = kDefaultRestTime;
    int mMoodBoost = kDefaultMoodBoost;
    int mPartiesBoosted = 8;
};
