#include "game/floor/hostess.h"

#include "game/floor/floorart.h"
#include "game/floor/podium.h"

namespace {

// She stands just beside the podium's own standing spot.
constexpr int kBesideSpot = 5;

}  // namespace

THostess::THostess()
{
    floorart::InitGameAnimation(mIdle, "people/hostess/idle.anm");
    floorart::InitGameAnimation(mPoof, "ui/personpoof.anm");
}

void THostess::Reset()
{
    mActive = false;
    mPoof.Stop();
}

void THostess::Activate(float seconds)
{
    mPoof.Stop();
    mActive = true;
    const TPoint spot = mPodium ? mPodium->GetStandingSpot() : TPoint{};
    mPosition = {float(spot.x + kBesideSpot), float(spot.y)};
    mTimeLeft = seconds;
    mPoofPosition = mPosition;
    mPoof.Play("DoAnim", false);
}

bool THostess::Available() const { return mPodium && mPodium->IsEnabled(); }

void THostess::Update(float dt)
{
    if (!mActive)
        return;
    mTimeLeft -= dt;
    if (mTimeLeft < 0) {
        mActive = false;
        mPoofPosition = mPosition;
        mPoof.Play("DoAnim", false);
        if (mPodium)
            mPodium->Cancel(false);
        return;
    }
    if (mPodium && mPodium->Ready())
        mPodium->Activate(false);
}

void THostess::Draw()
{
    if (mActive) {
        if (!mIdle.IsPlaying())
            mIdle.Play("DoAnim", false);
        mIdle.Draw(mPosition.x, mPosition.y, 1.0f, 1.0f, 0.0f, 0);
    }
    if (mPoof.IsPlaying())
        mPoof.Draw(mPoofPosition.x, mPoofPosition.y, 1.0f, 1.0f, 0.0f, 0);
}
