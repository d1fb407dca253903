// THeartFlip: one hopping heart of a party's mood row. When the party pays,
// each heart it keeps waits its delay, then hops 40 pixels up and back in
// one second; afterwards the row no longer draws that heart.
#pragma once

#include "engine/script/animation.h"

class THeartFlip : public TAnimation {
public:
    THeartFlip();

    // Starts a flip at the home point after `delay` seconds.
    void Start(float delay);
    void Update(float dt);

    float x = 0, y = 0;  // drawn position; y moves with the hop
    float timer = 0;
    float delay = 0;
    bool pending = false;
    float homeX = 0, homeY = 0;
    bool done = false;
    bool hopping = false;  // the hop runs (also without art to play)
};
