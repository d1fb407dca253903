// TQuessa: the waitress. The player never steers her: each click on a station
// appends a visit to her queue; she walks the queue in click order along the
// path-finder's routes and, on arriving, lets the station act on her
// (IStation::ArrivedAtStation), which moves items between her hands and the
// station. In the robot restaurant a hovering robot follows her and holds
// hands 3 and 4.
//
// Hands: only the first HandCount() of the four are used, and they stay
// packed (the occupied hands come first). A station picks items up into her
// hands (PickupItem) or takes them out (DropItem); the id and extra value are
// the station's, she only keeps them.
//
// Queue: visits are {station id, click kind}. On arrival the front station is
// looked up through the floor view (IFloorView::FindStation); a station that
// is gone, or one whose ArrivedAtStation answers false, clears the whole
// queue and she stops.
//
// The same class also serves as a figure that is only drawn (the heroine
// window, the loading screen): such a figure is never updated and needs no
// floor view.
#pragma once

#include "engine/base/rect.h"
#include "engine/base/str.h"
#include "engine/base/vec.h"
#include "engine/script/animation.h"
#include "game/floor/carryables.h"
#include "game/floor/clothinglayer.h"
#include "game/floor/foodtray.h"
#include "game/floor/playrules.h"
#include "game/rules/pathfinder.h"

#include <array>
#include <list>
#include <memory>
#include <vector>

class IFloorView;
class IStation;
class TQuessaRefresh;
class TSound;
class TTexture;
class TXmlNode;

class TQuessa {
public:
    enum EClothingItems : int { kShoes = 0, kBottom = 1, kTop = 2, kApron = 3, kAccessory = 4 };
    static constexpr int kClothingSlots = 5;
    static constexpr int kMaxHands = 4;

    // One queued visit: the station's id and the click kind its HitTest gave.
    struct TDestination {
        int stationId = 0;
        int clickKind = 0;
    };

    // globals: the `globals` element of global.xml (or a `dataroot` or
    // document holding it) with "waiterSpeed" and "highchairboost"; null
    // or a missing key keeps her own value.
    explicit TQuessa(TXmlNode* globals);
    ~TQuessa();
    TQuessa(const TQuessa&) = delete;
    TQuessa& operator=(const TQuessa&) = delete;

    // The level's object graph; not owned, it outlives her.
    void SetFloor(IFloorView* floor) { mFloor = floor; }
    IFloorView* GetFloor() const { return mFloor; }
    // Level start and restart.
    void Reset();
    void SetBrokenArm(bool broken);
    // The path-finder's obstacles: the tables' and the bar's boxes (null: no bar).
    void SetTables(const std::vector<TRect>& tableBoxes, const TRect* barBox);

    // ---- hands
    int HandCount() const { return mHandCount; }
    const THand& Hand(int index) const { return mHands[std::size_t(index)]; }
    int NumActiveHands() const;
    bool HasFreeHand() const { return NumActiveHands() < mHandCount; }
    // id -1 matches any id.
    bool CarryingItem(ECarryables kind, int id) const;
    int NumCarrying(ECarryables kind) const;
    // False when every used hand is full (nothing changes).
    bool PickupItem(ECarryables kind, int id, int extra);
    // The first hand of that kind (and id; -1 any) is emptied and later hands
    // move down; returns the dropped id, -1 when nothing matched.
    int DropItem(ECarryables kind, int id, int* extra = nullptr);

    // ---- visits
    // robotOffset: where the robot stops against the end of her route
    // (-35 in general, +35 for bar seats, +30 for the podium).
    void AddDestination(IStation* station, int clickKind, float robotOffset);
    bool IsStationQueued(const IStation* station) const;
    // The station is still on the floor.
    bool ValidStation(int stationId) const;
    const std::list<TDestination>& GetQueue() const { return mQueue; }
    int GetCurrentStation() const { return mCurrentStation; }

    // One frame of play.
    void Update(float dt, TPlayRules rules);
    // The camera: she stands still for seconds, then drops the item kind.
    void PauseMotion(float seconds, ECarryables dropAfter);
    // A food item thrown away: the order goes to the first free food station.
    void ReorderFood(int tableNumber);
    bool IsPaused() const { return mPaused; }
    // Puts the mop down once no table has a spill left.
    void UseMop();

    // ---- poses
    bool TalkingOnPhone(bool on);
    bool AtPodium(bool at, bool animate);
    void StopPodiumAnim();
    void PlayAnim(str function);
    void SetCurrentFrame(int frame);
    TAnimation& Body() { return mBody; }
    TAnimation& Robot() { return mRobot; }
    int GetFacing() const { return mFacing; }
    // 1 mirrors her (a drawn-only figure on a screen turns this way).
    void SetFacing(int facing) { mFacing = facing; }
    bool IsRobotMode() const { return mRobotMode; }

    // ---- place and speed
    TVec2 GetPosition() const { return mPosition; }
    void SetPosition(TVec2 position) { mPosition = position; }
    TVec2 GetRobotPosition() const { return mRobotPosition; }
    float GetSpeed() const { return mSpeed; }
    void SetSpeedMultiplier(float multiplier) { mSpeedMultiplier = multiplier; }
    int GetHighChairBoost() const { return mHighChairBoost; }
    TRect BoundingBox(bool robot) const;

    // ---- drawing (between Begin2d and End2d)
    void Draw(bool robotPass);
    void DrawDestinations();

    // ---- clothing: five layers over the body, each a private tinted copy
    static str GetDefaultClothing(EClothingItems slot);
    static str GetDefaultColor(EClothingItems slot);
    void PutOnClothing(EClothingItems slot, str asset, str colour);
    // The current player's outfit (TSettings::GetClothing), defaults where unset.
    void ApplyClothing();
    void ReleaseClothing();
    const TClothingLayer* GetLayer(EClothingItems slot) const { return mLayers[std::size_t(slot)].get(); }

private:
    void LoadProps();
    void ReadGlobals(TXmlNode* globals);
    void EmptyHands();
    void SetupUpperAnim(bool idle, bool robot);
    void SetPodiumShadowAnim(bool back);
    void StartLeg(IStation* to);
    void LeaveCurrentStation();
    void Arrive(TPlayRules rules);
    void Stop();
    void UpdatePause(float dt);
    void UpdateIdle(float dt);
    void UpdateWalk(float dt, TPlayRules rules);
    void ExtendRobotPath(bool arrived, TVec2 before);
    void UpdateShadow(float dt);
    void UpdateRobotIdle(float dt, bool robotMoved);
    void DropSurplusHighChairs();
    void DrawHer();
    void DrawShadow();
    void DrawHands(int first, int last, const TAnimation& figure, TVec2 at, bool mirrored);
    static int FacingOfStep(TVec2 from, TVec2 to);
    IStation* Lookup(int stationId) const;
    // A queued visit ends (she arrived, or the plan was dropped): its
    // station's count of visits on the way comes down with it.
    void EndVisit(const TDestination& visit);
    void ClearQueue();

    IFloorView* mFloor = nullptr;  // not owned
    int mFacing = 0;
    int mRobotFacing = 0;
    std::array<THand, kMaxHands> mHands{};
    int mHandCount = 2;
    TAnimation mBody;
    std::array<TPoint, kClothingSlots> mLayerOffsets{};
    std::array<std::unique_ptr<TClothingLayer>, kClothingSlots> mLayers;
    TAnimation mRobot;
    std::shared_ptr<TTexture> mRobotBottom;
    std::shared_ptr<TTexture> mRobotShadow;
    TAnimation mCameraFlash;
    float mIdleTime = 0;
    float mRobotIdleTime = 0;
    float mRobotHoverTime = 0;
    int mRobotFrameOffset = 0;
    float mRobotTravelled = 0;  // along the robot's current route
    std::array<std::shared_ptr<TTexture>, kCarryableCount> mProps;
    std::shared_ptr<TTexture> mCheckmark;
    TFoodTray mFoodTray;
    TPathfinder mWalkPath;
    TPathfinder mRobotPath;
    bool mRobotPathExtended = false;
    TVec2 mPosition{300, 200};
    TVec2 mRobotPosition{265, 160};
    std::list<TDestination> mQueue;
    float mSpeed = 300;
    float mSpeedMultiplier = 1.0f;
    int mCurrentStation = 0;  // id; 0 for none
    bool mAtPodium = false;
    bool mOnPhone = false;
    bool mRobotMode = false;
    float mRobotOffset = -35;
    int mHighChairBoost = 0;
    bool mPaused = false;
    float mPauseLeft = 0;
    ECarryables mDropAfterPause = kCarryNothing;
    TQuessaRefresh* mRefresh = nullptr;  // on the platform's refresh list while she lives
    std::shared_ptr<TSound> mCameraSound;
};
