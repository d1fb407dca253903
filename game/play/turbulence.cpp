#include "game/play/turbulence.h"

#include "engine/platform/platform.h"

void TTurbulence::Start(float period, float shakeSeconds, float spillChance)
{
    mPeriod = period;
    mShakeSeconds = shakeSeconds;
    mSpillChance = spillChance;
    mShaking = false;
    mCountdown = period;
}

TTurbulence::EStep TTurbulence::Update(float dt)
{
    if (!(mPeriod > 0))  // a period of 0 (or none readable) never shakes
        return EStep::kNone;
    mCountdown -= dt;
    if (mCountdown >= 0)
        return EStep::kNone;
    mShaking = !mShaking;
    mCountdown = mShaking ? mShakeSeconds : mPeriod;
    return mShaking ? EStep::kShakes : EStep::kSettles;
}

bool TTurbulence::DrawSpill() const
{
    TPlatform* platform = TPlatform::GetInstance();
    const int percent = platform ? platform->Rand() % 100 : 0;
    return percent < static_cast<int>(mSpillChance);
}
