// TCoinFlip: a tip's coin, thrown up from where it was paid. It rises 40
// pixels in half a second and falls back in the next half; the score
// manager pays the tip when it lands. The animation runs on the game clock,
// so a paused game holds coins in the air.
#pragma once

#include "engine/script/animation.h"

class TCoinFlip : public TAnimation {
public:
    static constexpr float kFlightSeconds = 1.0f;

    TCoinFlip(int amount, float x, float y);

    // False once the coin has landed.
    bool Update(float dt);

    int amount;
    float x, y;       // drawing position
    float time = 0;   // seconds since the throw
    float originX, originY;
};
