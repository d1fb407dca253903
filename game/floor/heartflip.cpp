#include "game/floor/heartflip.h"

#include "game/settings/settings.h"

#include <cmath>

namespace {

constexpr float kHop = 40.0f;      // pixels
constexpr float kHopTime = 1.0f;   // seconds up and down

}  // namespace

THeartFlip::THeartFlip()
{
    Init("ui/coinflip.anm", "", "");
    if (TSettings* settings = TSettings::GetInstance())
        SetClock(settings->GetGameClock());
}

void THeartFlip::Start(float delay_)
{
    x = homeX;
    y = homeY;
    timer = 0;
    delay = delay_;
    pending = true;
    done = false;
    hopping = false;
}

void THeartFlip::Update(float dt)
{
    if (hopping) {
        timer += dt;
        const float half = kHopTime * 0.5f;
        if (timer < half) {
            y = homeY - std::sqrt(2.0f * timer) * kHop;
        } else if (timer < kHopTime) {
            const float u = (timer - half) * 2.0f;
            y = homeY - (1.0f - u * u) * kHop;
        } else {
            Stop();
            hopping = false;
            done = true;
            y = homeY;
        }
        return;
    }
    if (!pending)
        return;
    timer += dt;
    if (timer >= delay) {
        pending = false;
        Play("DoAnim", false);
        hopping = true;
        timer = 0;
    }
}
