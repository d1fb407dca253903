#include "game/rules/coinflip.h"

#include "game/settings/settings.h"

#include <cmath>

namespace {

constexpr float kRise = 40.0f;  // pixels

}  // namespace

TCoinFlip::TCoinFlip(int amount_, float x_, float y_) : amount(amount_), x(x_), y(y_), originX(x_), originY(y_)
{
    Init("ui/coinflip.anm", "", "");
    if (TSettings* settings = TSettings::GetInstance())
        SetClock(settings->GetGameClock());
    Play("DoAnim", false);
}

bool TCoinFlip::Update(float dt)
{
    time += dt;
    const float half = kFlightSeconds * 0.5f;
    if (time < half) {
        y = originY - std::sqrt(2.0f * time) * kRise;
    } else if (time < kFlightSeconds) {
        const float s = 2.0f * (time - half);
        y = originY - (1.0f - s * s) * kRise;
    }
    return time < kFlightSeconds;
}
