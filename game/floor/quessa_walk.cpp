// TQuessa's frame: the camera pause, standing idle, walking the queue and
// arriving at stations, the robot companion following her.
#include "game/floor/quessa.h"

#include "engine/sound/sound.h"
#include "game/floor/floorart.h"
#include "game/floor/floorview.h"
#include "game/floor/station.h"

#include <cmath>

namespace {

// The camera's click is heard this long before the pause ends.
constexpr float kCameraSoundLeft = 0.75f;
constexpr float kIdleFidgetSeconds = 3.0f;
constexpr float kRobotFidgetSeconds = 4.0f;
// The robot sets off once she is this far from it or from her goal.
constexpr float kRobotFollowDistance = 40.0f;
// The robot's path-finding point lies this far below its drawing position.
constexpr float kRobotFeet = 40.0f;

float Distance(TVec2 a, TVec2 b) { return std::hypot(a.x - b.x, a.y - b.y); }

// The robot leans while it flies a route: a frame behind at the start and
// end, two in the middle.
int RobotLean(float travelled)
{
    if (travelled < 75)
        return -1;
    if (travelled < 200)
        return -2;
    if (travelled < 250)
        return -1;
    return 0;
}

}  // namespace

int TQuessa::FacingOfStep(TVec2 from, TVec2 to)
{
    if (to.y > from.y)
        return 0;
    if (to.y < from.y)
        return 3;
    return to.x < from.x ? 1 : 2;
}

void TQuessa::Update(float dt, TPlayRules rules)
{
    if (mPaused) {
        UpdatePause(dt);
        return;
    }
    if (mQueue.empty())
        UpdateIdle(dt);
    else
        UpdateWalk(dt, rules);
    if (mRobotMode)
        UpdateShadow(dt);
    DropSurplusHighChairs();
}

void TQuessa::UpdatePause(float dt)
{
    const float before = mPauseLeft;
    mPauseLeft -= dt;
    if (before >= kCameraSoundLeft && mPauseLeft < kCameraSoundLeft)
        floorart::Play(mCameraSound);
    if (mPauseLeft <= 0) {
        mPaused = false;
        DropItem(mDropAfterPause, -1);
    }
}

void TQuessa::UpdateIdle(float dt)
{
    if (mBody.IsPlaying() || NumActiveHands() > 0 || mAtPodium || mOnPhone) {
        if (!mBody.IsPlaying() && mAtPodium)
            SetupUpperAnim(true, false);
        return;
    }
    mIdleTime += dt;
    if (mIdleTime <= kIdleFidgetSeconds)
        return;
    static const char* const kFidgets[] = {"Idle1", "Idle2", "Idle3"};
    mBody.Play(kFidgets[floorart::CosmeticRand() % 3], false);
    mFacing = 4;
    mIdleTime = 0;
}

void TQuessa::UpdateWalk(float dt, TPlayRules rules)
{
    mIdleTime = 0;
    const TVec2 before = mPosition;
    TVec2 next = before;
    const bool arrived = mWalkPath.Update(before, &next, mSpeed * mSpeedMultiplier, dt);
    if (mRobotMode)
        ExtendRobotPath(arrived, before);
    if (next != before) {
        const int facing = FacingOfStep(before, next);
        const bool turned = facing != mFacing;
        mFacing = facing;
        if (!mBody.IsPlaying() || turned)
            SetupUpperAnim(false, false);
        mPosition = next;
    }
    if (arrived)
        Arrive(rules);
}

void TQuessa::Arrive(TPlayRules rules)
{
    const TDestination front = mQueue.front();
    bool visited = false;
    if (IStation* station = Lookup(front.stationId)) {
        mCurrentStation = front.stationId;
        mQueue.pop_front();
        EndVisit(front);
        visited = station->ArrivedAtStation(this, rules, front.clickKind);
    }
    // A station that is gone or had nothing to do ends the whole plan: the
    // later visits were made with this one in mind.
    if (!visited)
        ClearQueue();
    if (mQueue.empty()) {
        Stop();
        return;
    }
    if (IStation* next = Lookup(mQueue.front().stationId))
        StartLeg(next);
    else
        Stop();
}

void TQuessa::Stop()
{
    mFacing = 0;
    if (mOnPhone || (mAtPodium && mBody.GetLastFunction() == str("Podium")))
        return;
    if (NumActiveHands() > 0)
        SetupUpperAnim(true, false);
    else
        mBody.Play("TransToIdleForwardUpper", false);
}

void TQuessa::ExtendRobotPath(bool arrived, TVec2 before)
{
    if (mRobotPathExtended)
        return;
    const bool setOff = arrived || Distance(before, mRobotPosition) > kRobotFollowDistance ||
                        Distance(before, mWalkPath.GetDestPoint()) < kRobotFollowDistance;
    if (!setOff || !mRobotPath.AppendPath(mWalkPath))
        return;
    const TVec2 last = mRobotPath.GetDestPoint();
    mRobotPath.AppendPoint(TVec2{last.x + mRobotOffset, last.y});
    mRobotPathExtended = true;
}

void TQuessa::UpdateShadow(float dt)
{
    bool moved = false;
    if (!mRobotPath.GetPath().empty()) {
        const TVec2 from{mRobotPosition.x, mRobotPosition.y + kRobotFeet};
        TVec2 to = from;
        const bool arrived = mRobotPath.Update(from, &to, mSpeed * mSpeedMultiplier, dt);
        mRobotTravelled += Distance(from, to);
        if (arrived) {
            mRobotPath.Reset();
            mRobotTravelled = 0;
        } else {
            mRobotFrameOffset = RobotLean(mRobotTravelled);
        }
        mRobotPosition = TVec2{to.x, to.y - kRobotFeet};
        moved = to != from;
        if (!arrived && moved) {
            const int facing = FacingOfStep(from, to);
            const bool turned = facing != mRobotFacing;
            mRobotFacing = facing;
            if (!mRobot.IsPlaying() || turned)
                SetupUpperAnim(false, true);
        } else {
            mRobotFrameOffset = 0;
            if (mAtPodium && mBody.IsPlaying())
                SetPodiumShadowAnim(true);
            else
                SetupUpperAnim(true, true);
        }
    }
    UpdateRobotIdle(dt, moved);
}

void TQuessa::UpdateRobotIdle(float dt, bool robotMoved)
{
    const bool playing = mRobot.IsPlaying();
    if (!playing) {
        mRobotHoverTime += dt;
        mRobotFrameOffset = 0;
    } else {
        mRobotHoverTime = 0;
    }
    if (playing || NumActiveHands() > 0 || robotMoved || mAtPodium) {
        mRobotIdleTime = 0;
        return;
    }
    mRobotIdleTime += dt;
    if (mRobotIdleTime <= kRobotFidgetSeconds)
        return;
    mRobot.Play(floorart::CosmeticRand() % 2 == 0 ? "Idle1" : "Idle2", false);
    mRobotFacing = 4;
    mRobotIdleTime = 0;
}

void TQuessa::DropSurplusHighChairs()
{
    if (!mFloor)
        return;
    int needed = 0;
    for (ITableView* table : mFloor->EatingStations())
        needed += table->HighChairsNeeded();
    while (NumCarrying(kCarryHighChair) > needed)
        DropItem(kCarryHighChair, -1);
}
