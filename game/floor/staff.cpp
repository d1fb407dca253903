#include "game/floor/staff.h"

#include "engine/base/debuglog.h"
#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "game/floor/dishcart.h"
#include "game/floor/eatingstation.h"
#include "game/floor/floorart.h"
#include "game/floor/globalskeys.h"
#include "game/floor/party.h"
#include "game/floor/shelves.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kObstacleMargin = 5;
constexpr int kMaxLoads = 2;
constexpr int kSpaceship = 4;
constexpr const char* kPoofArt = "ui/personpoof.anm";

TVec2 ToVec(TPoint p) { return {float(p.x), float(p.y)}; }

bool InList(const std::vector<TEatingStation*>& tables, const TEatingStation* table)
{
    return std::find(tables.begin(), tables.end(), table) != tables.end();
}

}  // namespace

TWalkingStaff::TWalkingStaff(TXmlNode* globals, std::shared_ptr<TTexture> prop) : mProp(std::move(prop))
{
    floorart::InitGameAnimation(mUpper, "people/busser/upper.anm");
    floorart::InitGameAnimation(mLower, "people/busser/lower.anm");
    floorart::InitGameAnimation(mIdle, "people/busser/idle.anm");
    floorart::InitGameAnimation(mPoof, kPoofArt);
    globalskeys::ReadFloat(globals, "waiterSpeed", &mSpeed);
}

TWalkingStaff::~TWalkingStaff() = default;

void TWalkingStaff::Reset()
{
    mDirection = kDown;
    mUpper.Play("IdleForwardUpper", false);
    mLower.Play("IdleForwardLower", false);
    mIdle.Play("Idle1", false);
    mActive = false;
    mTarget = nullptr;
    mWalking = false;
    mPoof.Stop();
    mPath.Reset();
    OnReset();
}

void TWalkingStaff::Activate(float x, float y, float seconds)
{
    Reset();
    mActive = true;
    mTimeLeft = seconds;
    mPosition = mPoofPosition = {x, y};
    mPoof.Play("DoAnim", false);
}

void TWalkingStaff::SetTables(const std::vector<TRect>& tableBoxes, const TRect* barBox)
{
    mPath.SetTables(tableBoxes, barBox, kObstacleMargin);
}

TRect TWalkingStaff::BoundingBox() const
{
    auto art = mIdle.GetAnimatedTexture();
    TRect box = art ? art->BoundingBox() : TRect{};
    box.Offset(int(mPosition.x), int(mPosition.y));
    return box;
}

bool TWalkingStaff::CountDown(float dt)
{
    if (!mActive)
        return false;
    mTimeLeft -= dt;
    if (mTimeLeft < 0 && mCarried == 0) {
        mActive = false;
        mWalking = false;
        mPoofPosition = mPosition;
        mPoof.Play("DoAnim", false);
    }
    return mActive;
}

void TWalkingStaff::WalkTo(TPoint spot)
{
    mPath.Reset();
    mPath.Start(mPosition, ToVec(spot));
    mWalking = true;
}

bool TWalkingStaff::Walk(float dt)
{
    if (!mWalking)
        return false;
    TVec2 next;
    const bool arrived = mPath.Update(mPosition, &next, mSpeed, dt);
    if (next != mPosition) {
        mIdle.Stop();
        const int before = mDirection;
        FaceTowards(mPosition, next);
        mPosition = next;
        PlayWalk(before != mDirection);
    }
    if (arrived)
        mWalking = false;
    return arrived;
}

void TWalkingStaff::FaceTowards(TVec2 from, TVec2 to)
{
    if (to.y < from.y)
        mDirection = kUp;
    else if (to.y > from.y)
        mDirection = kDown;
    else if (to.x < from.x)
        mDirection = kLeft;
    else if (to.x > from.x)
        mDirection = kRight;
}

void TWalkingStaff::PlayWalk(bool turned)
{
    static const char* const kLower[] = {"ForwardLower", "SideLower", "SideLower", "BackwardLower"};
    static const char* const kUpper[3][4] = {
        {"ForwardUpper", "SideUpper", "SideUpper", "BackwardUpper"},
        {"OneHandForwardUpper", "OneHandSideUpperWalk", "OneHandSideUpperWalk", "OneHandBackwardUpper"},
        {"TwoHandForwardUpper", "TwoHandSideUpperWalk", "TwoHandSideUpperWalk", "TwoHandBackwardUpper"}};
    if (turned || !mLower.IsPlaying())
        mLower.Play(kLower[mDirection], false);
    if (turned || !mUpper.IsPlaying())
        mUpper.Play(kUpper[std::clamp(mCarried, 0, 2)][mDirection], false);
}

void TWalkingStaff::StandStill(bool drinkPoses)
{
    mDirection = kDown;
    if (mCarried == 0) {
        mIdle.Play("Idle1", false);
        return;
    }
    if (mCarried == 1)
        mUpper.Play(drinkPoses ? "OneHandForwardUpper" : "OneHandIdleForwardUpper", false);
    else
        mUpper.Play(drinkPoses ? "TwoHandForwardUpper" : "TwoHandIdleForwardUpper", false);
    mLower.Play("IdleForwardLower", false);
}

bool TWalkingStaff::DropLostTarget(const std::vector<TEatingStation*>& tables)
{
    if (!mTarget || InList(tables, mTarget))
        return false;
    mTarget = nullptr;
    mWalking = false;
    mPath.Reset();
    return true;
}

void TWalkingStaff::Draw()
{
    if (mActive) {
        const bool mirrored = mDirection == kLeft;
        if (mIdle.IsPlaying()) {
            mIdle.Draw(mPosition.x, mPosition.y, 1.0f, 1.0f, 0.0f, 0);
        } else {
            mUpper.Draw(mPosition.x, mPosition.y, 1.0f, 1.0f, 0.0f, mirrored ? 1 : 0);
            mLower.Draw(mPosition.x, mPosition.y, 1.0f, 1.0f, 0.0f, mirrored ? 1 : 0);
            DrawProps(mirrored);
        }
    }
    if (mPoof.IsPlaying())
        mPoof.Draw(mPoofPosition.x, mPoofPosition.y, 1.0f, 1.0f, 0.0f, 0);
}

void TWalkingStaff::DrawProps(bool mirrored)
{
    auto art = mUpper.GetAnimatedTexture();
    if (!art || !mProp)
        return;
    for (int i = 0; i < std::min(mCarried, 2); ++i) {
        int x = 0, y = 0;
        if (!art->GetAnchorPoint(mUpper.GetCurrentFrame(), str::getFormatted("hand%d", i + 1), &x, &y))
            continue;
        mProp->DrawSprite(mPosition.x + float(mirrored ? -x : x), mPosition.y + float(y), 1.0f, 1.0f, 0.0f, 0);
    }
}

// ---------------------------------------------------------------- busboy

TBusBoy::TBusBoy(TXmlNode* globals)
    : TWalkingStaff(globals, TTexture::Get(floorart::RestaurantIndex() == kSpaceship
                                               ? "accessories/dirty_dishes_spaceship"
                                               : "accessories/dirty_dishes"))
{
}

void TBusBoy::OnReset() { mToDishCart = false; }

void TBusBoy::Update(float dt, const std::vector<TEatingStation*>& tables, TDishCart* dishCart)
{
    if (!CountDown(dt))
        return;
    if (DropLostTarget(tables))
        StandStill(false);
    if (!mTarget && mCarried < kMaxLoads && !mToDishCart)
        ChooseTable(tables);
    if (!mTarget && !mToDishCart) {
        if (mCarried == 0 || !dishCart)
            return;
        mToDishCart = true;
        WalkTo(dishCart->GetStandingSpot());
    }
    if (!Walk(dt))
        return;
    if (mTarget) {
        ArriveAtTable();
    } else if (mToDishCart && dishCart) {
        WriteDbg("busboy: %d load(s) of dishes to the cart", mCarried);
        dishCart->DropOffDishes(mCarried);
        mCarried = 0;
        mToDishCart = false;
    }
    StandStill(false);
}

void TBusBoy::ChooseTable(const std::vector<TEatingStation*>& tables)
{
    for (TEatingStation* table : tables) {
        const bool wantsCheck = table->PartyState() == kStateWantsCheck;
        if (wantsCheck || (!table->GetParty() && table->HasDishes())) {
            mTarget = table;
            WalkTo(table->GetStandingSpot());
            return;
        }
    }
}

void TBusBoy::ArriveAtTable()
{
    // The log says what the staff did (what a player watching the floor sees).
    if (mTarget->PartyState() == kStateWantsCheck) {
        WriteDbg("busboy: took the check of table %d", mTarget->GetTableNumber());
        mTarget->ClearCheck();
    } else if (mTarget->HasDishes() && !mTarget->GetParty()) {
        WriteDbg("busboy: cleared the dishes of table %d", mTarget->GetTableNumber());
        ++mCarried;
        mTarget->ClearPlates();
    }
    mTarget = nullptr;
}

// ---------------------------------------------------------------- drink server

TDrinkServer::TDrinkServer(TXmlNode* globals)
    : TWalkingStaff(globals, TTexture::Get(floorart::RestaurantArt("%sprops/cup_prop%d")))
{
}

void TDrinkServer::OnReset() { mToDrinkStation = mAtDrinkStation = false; }

void TDrinkServer::Update(float dt, const std::vector<TEatingStation*>& tables)
{
    if (!mDrinkStation || !CountDown(dt))
        return;
    mDrinkStation->ForceActive();
    if (DropLostTarget(tables))
        StandStill(true);
    if (mCarried == 0 && mAtDrinkStation && mDrinkStation->IsDrinkReady()) {
        mCarried = 1;
        mDrinkStation->PickupDrink();
        mAtDrinkStation = mToDrinkStation = false;
        mLower.Play("IdleForwardLower", false);
        mUpper.Play("OneHandForwardUpper", false);
        mIdle.Stop();
    }
    if (!mTarget && mCarried > 0 && !mToDrinkStation)
        ChooseTable(tables);
    if (!mTarget && mCarried == 0 && !mToDrinkStation && !mAtDrinkStation) {
        mToDrinkStation = true;
        WalkTo(mDrinkStation->GetStandingSpot());
    }
    if (Walk(dt)) {
        if (mTarget) {
            ArriveAtTable();
        } else if (mToDrinkStation) {
            mAtDrinkStation = true;
            mToDrinkStation = false;
        }
        StandStill(true);
    }
    mDrinkStation->ForceActive();
}

void TDrinkServer::ChooseTable(const std::vector<TEatingStation*>& tables)
{
    TEatingStation* best = nullptr;
    int fewest = TParty::kMaxHearts;
    for (TEatingStation* table : tables) {
        TParty* party = table->GetParty();
        if (!party || party->IsDrinking() || party->Leaving())
            continue;
        if (party->GetHearts() < fewest) {
            fewest = party->GetHearts();
            best = table;
        }
    }
    if (!best)
        return;
    mTarget = best;
    WalkTo(best->GetStandingSpot());
}

void TDrinkServer::ArriveAtTable()
{
    TParty* party = mTarget->GetParty();
    if (party && !party->Leaving()) {
        party->TakeDrink(1);
        mCarried -= 1;
    }
    mTarget = nullptr;
}
