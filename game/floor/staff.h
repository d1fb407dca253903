// The walking staff the phone calls for a while: the busboy, who collects
// checks and dirty dishes, and the drink server, who carries drinks to the
// unhappiest parties. Both share one life cycle: Reset at each level start,
// Activate with a duration, Update each frame, and a leave with the puff
// once the time is over and nothing is carried (a figure never vanishes
// with dishes or a drink in hand).
#pragma once

#include "engine/base/rect.h"
#include "engine/base/vec.h"
#include "engine/script/animation.h"
#include "game/rules/pathfinder.h"

#include <memory>
#include <vector>

class TDishCart;
class TDrinkStation;
class TEatingStation;
class TTexture;
class TXmlNode;

class TWalkingStaff {
public:
    enum EDirection { kDown = 0, kLeft = 1, kRight = 2, kUp = 3 };
    static constexpr float kDefaultSpeed = 300.0f;

    virtual ~TWalkingStaff();
    TWalkingStaff(const TWalkingStaff&) = delete;
    TWalkingStaff& operator=(const TWalkingStaff&) = delete;

    void Reset();
    void Activate(float x, float y, float seconds);
    // The path finder's obstacles: each table's and the bar's box (null: no bar).
    void SetTables(const std::vector<TRect>& tableBoxes, const TRect* barBox);
    TRect BoundingBox() const;
    void Draw();

    bool IsActive() const { return mActive; }
    float TimeLeft() const { return mTimeLeft; }
    TVec2 Position() const { return mPosition; }
    int Carried() const { return mCarried; }
    bool IsPoofPlaying() const { return mPoof.IsPlaying(); }
    TEatingStation* Target() const { return mTarget; }

protected:
    // `globals`: the level's globals (waiterSpeed), or null for 300 px/s.
    TWalkingStaff(TXmlNode* globals, std::shared_ptr<TTexture> prop);

    // Counts the time down; once it is over and nothing is carried, the
    // figure leaves with the puff. False when inactive afterwards.
    bool CountDown(float dt);
    void WalkTo(TPoint spot);
    // One step along the path; true on arrival.
    bool Walk(float dt);
    void StandStill(bool drinkPoses);
    // Drops a target that left the list; true when it did.
    bool DropLostTarget(const std::vector<TEatingStation*>& tables);
    // What a figure forgets of its errands at Reset.
    virtual void OnReset() {}

    TEatingStation* mTarget = nullptr;  // not owned
    int mCarried = 0;
    TAnimation mUpper, mLower, mIdle;

private:
    void FaceTowards(TVec2 from, TVec2 to);
    void PlayWalk(bool turned);
    void DrawProps(bool mirrored);

    bool mActive = false;
    float mTimeLeft = 0;
    int mDirection = kDown;
    TAnimation mPoof;
    TVec2 mPoofPosition;
    std::shared_ptr<TTexture> mProp;
    TPathfinder mPath;
    bool mWalking = false;
    TVec2 mPosition;
    float mSpeed = kDefaultSpeed;
};

class TBusBoy : public TWalkingStaff {
public:
    explicit TBusBoy(TXmlNode* globals);
    void Update(float dt, const std::vector<TEatingStation*>& tables, TDishCart* dishCart);

private:
    void OnReset() override;
    void ChooseTable(const std::vector<TEatingStation*>& tables);
    void ArriveAtTable();

    bool mToDishCart = false;
};

class TDrinkServer : public TWalkingStaff {
public:
    explicit TDrinkServer(TXmlNode* globals);
    // Without a drink station the drink server never acts.
    void SetDrinkStation(TDrinkStation* station) { mDrinkStation = station; }
    TDrinkStation* GetDrinkStation() const { return mDrinkStation; }
    void Update(float dt, const std::vector<TEatingStation*>& tables);

private:
    void OnReset() override;
    void ChooseTable(const std::vector<TEatingStation*>& tables);
    void ArriveAtTable();

    bool mToDrinkStation = false;
    bool mAtDrinkStation = false;
    TDrinkStation* mDrinkStation = nullptr;  // not owned
};
