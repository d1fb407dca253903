#include "game/floor/quessa.h"

#include "engine/base/xml.h"
#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "engine/sound/sound.h"
#include "game/floor/floorart.h"
#include "game/floor/floorview.h"
#include "game/floor/globalskeys.h"
#include "game/floor/quessarefresh.h"
#include "game/floor/station.h"
#include "game/settings/settings.h"

#include <algorithm>

namespace {

constexpr int kRobotRestaurant = 4;
constexpr float kStartX = 300, kStartY = 200;
constexpr float kRobotStartX = 265, kRobotStartY = 160;
constexpr int kObstacleMargin = 5;

// Prop images of carried items, by kind; "%s" the restaurant's props folder,
// "%d" its id. Food is drawn by the tray instead.
const char* PropName(int kind, bool robotRestaurant)
{
    switch (kind) {
    case kCarryTicket: return "accessories/ticket";
    case kCarryDishes: return robotRestaurant ? "accessories/dirty_dishes_spaceship" : "accessories/dirty_dishes";
    case kCarryDrink: return "%sprops/cup_prop%d";
    case kCarryDessert: return "%sprops/dessert_prop%d";
    case kCarryHighChair: return "furniture/highchair_prop_a";
    case kCarryMop: return "accessories/mop_prop";
    case kCarrySnack: return "%sprops/snack_prop%d";
    case kCarryCamera: return "accessories/camera";
    default: return nullptr;
    }
}

}  // namespace

bool TQuessaRefresh::DoTask()
{
    mWaitress->ApplyClothing();
    return true;
}

TQuessa::TQuessa(TXmlNode* globals)
{
    TClock* clock = floorart::GameClock();
    mBody.Init("quessa/base", "", "");
    mBody.SetClock(clock);
    if (floorart::RestaurantIndex() == kRobotRestaurant) {
        mRobotMode = true;
        mHandCount = 4;
        mRobot.Init("robot/robot.anm", "", "");
        mRobot.SetClock(clock);
        mRobotBottom = TTexture::Get("robot/bottom");
        mRobotShadow = TTexture::Get("robot/shadow");
        mRobot.Play("IdleForward", false);
    }
    mBody.Play("IdleForward", false);
    mCameraSound = floorart::LoadSound("audio/sfx/camera1.ogg");
    LoadProps();
    ReadGlobals(globals);
    ApplyClothing();
    TSettings* settings = TSettings::GetInstance();
    const int restaurant = floorart::RestaurantIndex();
    if (settings && settings->GetCurrentGameModeInt() == TSettings::kCareerMode) {
        if (restaurant == 2 || restaurant == 3)
            mSpeed *= 1.1f;
        else if (restaurant >= 4)
            mSpeed *= 1.3f;
    }
    if (TPlatform* platform = TPlatform::GetInstance()) {
        mRefresh = new TQuessaRefresh(this);  // the platform's refresh list owns it until orphaned
        platform->AdoptTextureRefreshListener(mRefresh);
    }
}

TQuessa::~TQuessa()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (mRefresh && platform && platform->OrphanTextureRefreshListener(mRefresh))
        delete mRefresh;
    ReleaseClothing();
}

void TQuessa::LoadProps()
{
    const bool robotRestaurant = floorart::RestaurantIndex() == kRobotRestaurant;
    for (int kind = 0; kind < kCarryableCount; ++kind)
        if (const char* name = PropName(kind, robotRestaurant))
            mProps[std::size_t(kind)] = TTexture::Get(floorart::RestaurantArt(name));
    mCheckmark = TTexture::Get("ui/checkmark");
    mCameraFlash.Init("ui/camera_flash.anm", "", "");
    mCameraFlash.SetClock(floorart::GameClock());
}

void TQuessa::ReadGlobals(TXmlNode* globals)
{
    globalskeys::ReadFloat(globals, "waiterSpeed", &mSpeed);
    globalskeys::ReadInt(globals, "highchairboost", &mHighChairBoost);
}

void TQuessa::Reset()
{
    EmptyHands();
    mPaused = false;
    mPauseLeft = 0;
    mPosition = TVec2{kStartX, kStartY};
    mRobotPosition = TVec2{kRobotStartX, kRobotStartY};
    mSpeedMultiplier = 1.0f;
    mIdleTime = mRobotIdleTime = mRobotHoverTime = 0;
    mRobotFrameOffset = 0;
    mFacing = mRobotFacing = 0;
    mAtPodium = mOnPhone = false;
    mBody.Play("IdleForward", false);
    if (mRobotMode)
        mRobot.Play("IdleForward", false);
    ClearQueue();
    mWalkPath.Reset();
    mRobotPath.Reset();
    mRobotPathExtended = false;
    mCurrentStation = 0;
}

void TQuessa::SetBrokenArm(bool broken)
{
    if (broken)
        mHandCount = 1;
    else
        mHandCount = floorart::RestaurantIndex() == kRobotRestaurant ? 4 : 2;
}

void TQuessa::SetTables(const std::vector<TRect>& tableBoxes, const TRect* barBox)
{
    mWalkPath.SetTables(tableBoxes, barBox, kObstacleMargin);
    if (!mAtPodium)
        mCurrentStation = 0;
}

// ---------------------------------------------------------------- hands

void TQuessa::EmptyHands() { mHands.fill(THand{}); }

int TQuessa::NumActiveHands() const
{
    return int(std::count_if(mHands.begin(), mHands.begin() + mHandCount,
                             [](const THand& h) { return h.kind != kCarryNothing; }));
}

bool TQuessa::CarryingItem(ECarryables kind, int id) const
{
    return std::any_of(mHands.begin(), mHands.begin() + mHandCount,
                       [&](const THand& h) { return h.kind == kind && (id == -1 || h.id == id); });
}

int TQuessa::NumCarrying(ECarryables kind) const
{
    return int(std::count_if(mHands.begin(), mHands.begin() + mHandCount,
                             [&](const THand& h) { return h.kind == kind; }));
}

bool TQuessa::PickupItem(ECarryables kind, int id, int extra)
{
    auto free = std::find_if(mHands.begin(), mHands.begin() + mHandCount,
                             [](const THand& h) { return h.kind == kCarryNothing; });
    if (free == mHands.begin() + mHandCount)
        return false;
    *free = THand{kind, id, extra};
    SetupUpperAnim(true, false);
    if (mRobotMode)
        SetupUpperAnim(true, true);
    if (kind == kCarryCamera)
        mCameraFlash.Play("DoAnim", false);
    return true;
}

int TQuessa::DropItem(ECarryables kind, int id, int* extra)
{
    auto used = mHands.begin() + mHandCount;
    auto hit = std::find_if(mHands.begin(), used,
                            [&](const THand& h) { return h.kind == kind && (id == -1 || h.id == id); });
    if (hit == used)
        return -1;
    const THand dropped = *hit;
    if (extra)
        *extra = dropped.extra;
    std::move(hit + 1, used, hit);
    *(used - 1) = THand{};
    SetupUpperAnim(true, false);
    if (mRobotMode)
        SetupUpperAnim(true, true);
    return dropped.id;
}

// ---------------------------------------------------------------- visits

IStation* TQuessa::Lookup(int stationId) const
{
    return mFloor && stationId != 0 ? mFloor->FindStation(stationId) : nullptr;
}

bool TQuessa::ValidStation(int stationId) const { return Lookup(stationId) != nullptr; }

bool TQuessa::IsStationQueued(const IStation* station) const
{
    return station && std::any_of(mQueue.begin(), mQueue.end(), [station](const TDestination& d) {
               return d.stationId == station->StationId();
           });
}

void TQuessa::AddDestination(IStation* station, int clickKind, float robotOffset)
{
    if (!station)
        return;
    if (mQueue.empty())
        StartLeg(station);
    mQueue.push_back(TDestination{station->StationId(), clickKind});
    // The bar keeps a group whole while she is on her way to it.
    ++station->mQueuedVisits;
    mRobotOffset = robotOffset;
}

void TQuessa::EndVisit(const TDestination& visit)
{
    if (IStation* station = Lookup(visit.stationId))
        station->mQueuedVisits = std::max(0, station->mQueuedVisits - 1);
}

void TQuessa::ClearQueue()
{
    for (const TDestination& visit : mQueue)
        EndVisit(visit);
    mQueue.clear();
}

void TQuessa::StartLeg(IStation* to)
{
    const TPoint spot = to->GetStandingSpot();
    mWalkPath.Start(mPosition, TVec2{float(spot.x), float(spot.y)});
    mRobotPathExtended = false;
    if (!mRobotPath.GetPath().empty())
        mRobotPath.RemoveLastPoint();
    LeaveCurrentStation();
}

void TQuessa::LeaveCurrentStation()
{
    if (IStation* current = Lookup(mCurrentStation))
        current->LeavingStation(this);
}

void TQuessa::PauseMotion(float seconds, ECarryables dropAfter)
{
    mPaused = true;
    mPauseLeft = seconds;
    mDropAfterPause = dropAfter;
}

void TQuessa::ReorderFood(int tableNumber)
{
    if (mFloor)
        ::ReorderFood(mFloor->FoodStations(), tableNumber);
}

void TQuessa::UseMop()
{
    if (!mFloor)
        return;
    const std::vector<ITableView*> tables = mFloor->EatingStations();
    if (std::none_of(tables.begin(), tables.end(), [](ITableView* t) { return t->SpillPresent(); }))
        DropItem(kCarryMop, -1);
}

// ---------------------------------------------------------------- poses

void TQuessa::SetupUpperAnim(bool idle, bool robot)
{
    const int n = NumActiveHands();
    // The robot holds hands 3 and 4, so it only shows what is beyond her two.
    const int held = robot ? std::max(0, n - 2) : std::min(n, 2);
    static const char* const kIdle[] = {"IdleForward", "OneHandForward", "TwoHandForward"};
    static const char* const kWalkPrefix[] = {"", "OneHand", "TwoHand"};
    TAnimation& figure = robot ? mRobot : mBody;
    if (idle) {
        figure.Play(kIdle[held], false);
        if (robot)
            mRobotFrameOffset = 0;
        return;
    }
    const int facing = robot ? mRobotFacing : mFacing;
    const char* direction = facing == 0 ? "Forward" : facing == 3 ? "Backward" : facing == 4 ? nullptr : "Sideways";
    if (direction)
        figure.Play(str(kWalkPrefix[held]) + "Walk" + direction, false);
}

void TQuessa::SetPodiumShadowAnim(bool back)
{
    const int n = NumActiveHands();
    const char* pose = n == 3 ? (back ? "OneHandBackwardUpper" : "OneHandForwardUpper")
                       : n == 4 ? (back ? "TwoHandBackwardUpper" : "TwoHandForwardUpper")
                                : (back ? "IdleBackUpper" : "IdleForwardUpper");
    if (mRobotMode)
        mRobot.Play(pose, false);
    mRobotFacing = back ? 3 : 0;
}

bool TQuessa::AtPodium(bool at, bool animate)
{
    if (animate && at) {
        if (!(mBody.IsPlaying() && mBody.GetLastFunction() == str("Podium")))
            mBody.Play("Podium", false);
    } else if (animate && mAtPodium) {
        SetupUpperAnim(true, false);
    }
    SetPodiumShadowAnim(mAtPodium);
    mAtPodium = at;
    return mAtPodium;
}

bool TQuessa::TalkingOnPhone(bool on)
{
    if (on && !mOnPhone)
        mBody.Play("Phone", false);
    else if (!on && mOnPhone)
        SetupUpperAnim(true, false);
    mOnPhone = on;
    return mOnPhone;
}

void TQuessa::StopPodiumAnim() { mBody.Play("PodiumDone", false); }

void TQuessa::PlayAnim(str function) { mBody.Play(function, false); }

void TQuessa::SetCurrentFrame(int frame)
{
    mBody.SetCurrentFrame(frame);
    for (auto& layer : mLayers)
        if (layer)
            layer->SetFrame(frame);
}

TRect TQuessa::BoundingBox(bool robot) const
{
    const bool ofRobot = robot && mRobotMode;
    const TAnimation& figure = ofRobot ? mRobot : mBody;
    auto texture = figure.GetAnimatedTexture();
    if (!texture)
        return TRect{};
    TRect box = texture->BoundingBox(figure.GetCurrentFrame());
    const TVec2 at = ofRobot ? mRobotPosition : mPosition;
    box.Offset(int(at.x), int(at.y));
    return box;
}
