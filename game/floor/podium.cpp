#include "game/floor/podium.h"

#include "engine/render/texture.h"
#include "game/floor/floorart.h"
#include "game/floor/globalskeys.h"
#include "game/floor/party.h"
#include "game/floor/quessa.h"
#include "game/rules/scoremanager.h"

#include <algorithm>
#include <cmath>

namespace {

// A small heart shape around the podium, where each mini heart starts.
struct THome {
    float x, y;
};
constexpr THome kHeartHomes[TPodium::kMiniHearts] = {{0, -16}, {-10, -20}, {-14, -10}, {-7, 1},
                                                     {0, 7},   {7, 1},     {14, -10},  {10, -20}};
struct THeartFlight {
    float frequency, amplitude, speed;
};
constexpr THeartFlight kFlights[5] = {{6, -50, 300}, {8, 30, 200}, {4, -20, 100}, {5, 80, 250}, {3, -40, 150}};
// Each heart leaves this long after the one before it.
constexpr float kHeartStagger = 0.1f;

}  // namespace

TPodium::TPodium()
{
    mPodium = TTexture::Get("furniture/podium");
    mMiniHeart = TTexture::Get("accessories/heart1");
    floorart::InitGameAnimation(mChargeDisplay, "furniture/podium_heart.anm");
    for (int i = 0; i < kMiniHearts; ++i)
        mMiniHeartHomes[std::size_t(i)] = {mPosition.x + kHeartHomes[i].x, mPosition.y + kHeartHomes[i].y};
    HeartsHome();
    SetChargeFrame(0);
}

TPodium::~TPodium() = default;

void TPodium::SetDefaults(TXmlNode* level)
{
    int ms = 0;
    if (globalskeys::ReadInt(level, "podiumChargeTime", &ms))
        mChargeTime = ms / 1000.0f;
    if (globalskeys::ReadInt(level, "podiumActiveTime", &ms))
        mActiveTime = ms / 1000.0f;
    if (globalskeys::ReadInt(level, "podiumDelayTime", &ms))
        mRestTime = ms / 1000.0f;
    globalskeys::ReadInt(level, "podiumMoodBoost", &mMoodBoost);
}

void TPodium::Setup(float charge, float active, float rest, int moodBoost, int parties)
{
    mEnabled = true;
    mChargeTime = charge;
    mActiveTime = active;
    mRestTime = rest;
    mMoodBoost = moodBoost;
    mPartiesBoosted = parties;
}

bool TPodium::HitTest(const TPoint& point, TTutorial*, int* clickKind)
{
    if (clickKind)
        *clickKind = kClickOrdinary;
    if (!mEnabled || mOccupant == kHostess)
        return false;
    return floorart::HitCentred(mPodium, mPosition, point);
}

bool TPodium::ArrivedAtStation(TQuessa* waitress, TPlayRules rules, int)
{
    if (mCharging)
        return true;
    if (mEnabled && !mResting && !mActive) {
        mChargeTimer = 0;
        mCharging = true;
        mOccupant = kWaitress;
        if (waitress)
            waitress->AtPodium(true, true);
        return true;
    }
    // Active or resting: she waits here and the next charge starts by itself.
    mOccupant = kWaitress;
    if (rules.score)
        rules.score->BreakChain(eScoreAction(0));
    if (waitress)
        waitress->AtPodium(true, false);
    return true;
}

void TPodium::LeavingStation(TQuessa* waitress)
{
    if (mOccupant != kWaitress)
        return;
    if (waitress)
        waitress->AtPodium(false, true);
    mCharging = false;
    mOccupant = kNobody;
}

void TPodium::Activate(bool byWaitress)
{
    mOccupant = byWaitress ? kWaitress : kHostess;
    mChargeTimer = 0;
    mCharging = true;
}

void TPodium::Cancel(bool)
{
    mCharging = false;
    mOccupant = kNobody;
}

void TPodium::Reset()
{
    mCharging = mActive = mResting = false;
    mOccupant = kNobody;
    mChargeTimer = mActiveTimer = mRestTimer = 0;
    HeartsHome();
    SetChargeFrame(0);
}

void TPodium::SetChargeFrame(int frame)
{
    mChargeFrame = frame;
    mChargeDisplay.SetCurrentFrame(frame);
}

void TPodium::HeartsHome() { mMiniHearts = mMiniHeartHomes; }

void TPodium::BoostLine(const std::list<TParty*>& line)
{
    int boosted = 0;
    for (TParty* party : line) {
        if (boosted >= mPartiesBoosted)
            break;
        if (party)
            party->HeartBoost(mMoodBoost, boosted == 0);
        ++boosted;
    }
}

bool TPodium::Update(TQuessa* waitress, float dt, const std::list<TParty*>& line)
{
    const int frames = mChargeDisplay.GetNumFrames();
    if (mCharging) {
        mChargeTimer += dt;
        if (mChargeTimer > mChargeTime) {
            SetChargeFrame(frames > 0 ? frames - 1 : 0);
            mCharging = false;
            mActive = true;
            mActiveTimer = 0;
            BoostLine(line);
            if (mOccupant == kWaitress && waitress)
                waitress->StopPodiumAnim();
            UpdateMiniHearts();
            return true;
        }
        const float share = mChargeTime > 0 ? mChargeTimer / mChargeTime : 1.0f;
        SetChargeFrame(std::min(int(share * frames), frames > 0 ? frames - 1 : 0));
    } else if (mActive) {
        mActiveTimer += dt;
        if (mActiveTimer > mActiveTime) {
            mActive = false;
            mResting = true;
            mRestTimer = 0;
        }
    } else if (mResting) {
        mRestTimer += dt;
        if (mRestTimer > mRestTime) {
            mResting = false;
            HeartsHome();
            if (mOccupant != kNobody) {
                mCharging = true;
                mChargeTimer = 0;
                SetChargeFrame(0);
                if (mOccupant == kWaitress && waitress)
                    waitress->AtPodium(true, true);
            }
        }
    }
    UpdateMiniHearts();
    return false;
}

void TPodium::UpdateMiniHearts()
{
    if (!mActive)
        return;
    for (int i = 0; i < kMiniHearts; ++i) {
        const float t = mActiveTimer - kHeartStagger * float(i);
        if (t < 0)
            continue;
        const THeartFlight& f = kFlights[i % 5];
        const TVec2 home = mMiniHeartHomes[std::size_t(i)];
        mMiniHearts[std::size_t(i)] = {home.x + f.amplitude * std::sin(t * f.frequency), home.y - t * f.speed};
    }
}

TRect TPodium::BoundingBox() const
{
    TRect box = floorart::CentredBox(mPodium);
    if (mPodium)
        box.Offset(mPosition.x, mPosition.y);
    return box;
}

void TPodium::Draw()
{
    if (!mEnabled)
        return;
    if (mPodium)
        mPodium->DrawSprite(float(mPosition.x), float(mPosition.y), 1.0f, 1.0f, 0.0f, 0);
    if (mCharging || mActive)
        mChargeDisplay.Draw(float(mPosition.x - 1), float(mPosition.y - 8), 1.0f, 1.0f, 0.0f, 0);
    if (mResting || !mMiniHeart)
        return;
    const float alpha = mActive ? std::max(0.0f, 1.0f - mActiveTimer / mActiveTime) : 1.0f;
    for (const TVec2& heart : mMiniHearts)
        mMiniHeart->DrawSprite(heart.x, heart.y, alpha, 0.5f, 0.0f, 0);
}
