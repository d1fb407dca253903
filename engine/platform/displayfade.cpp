#include "engine/platform/displayfade.h"

#include <algorithm>

namespace qm {

namespace {

float progress(std::uint32_t elapsed, std::uint32_t duration)
{
    return std::min(1.0f, static_cast<float>(elapsed) / static_cast<float>(duration));
}

}  // namespace

void TDisplayFade::StartOut(std::uint32_t now)
{
    mFrom = Blackness(now);
    mPhase = EPhase::kOut;
    mStart = now;
}

void TDisplayFade::StartBack(std::uint32_t now)
{
    mPhase = EPhase::kBack;
    mStart = now;
}

void TDisplayFade::SetBlack(std::uint32_t now)
{
    mFrom = 1;
    mPhase = EPhase::kOut;
    mStart = now;
}

float TDisplayFade::Blackness(std::uint32_t now) const
{
    switch (mPhase) {
    case EPhase::kOut:
        return mFrom + (1 - mFrom) * progress(elapsed(now), kOutMs);
    case EPhase::kBack:
        return 1 - progress(elapsed(now), kBackMs);
    case EPhase::kClear:
        break;
    }
    return 0;
}

bool TDisplayFade::IsBlack(std::uint32_t now) const
{
    return mPhase == EPhase::kOut && Blackness(now) >= 1;
}

bool TDisplayFade::IsShowing(std::uint32_t now) const
{
    return mPhase == EPhase::kOut || (mPhase == EPhase::kBack && elapsed(now) < kBackMs);
}

}  // namespace qm
