// TScoreBubble: one short floating text over the floor showing a gain or a
// loss. It rises (or, for tips, bounces up and falls back) and disappears
// after its lifetime. Every bubble draws through the one text graphic its
// score manager owns.
#pragma once

#include "engine/base/color.h"
#include "engine/base/str.h"

class TTextGraphic;

struct TScoreBubble {
    float x = 0;
    float y = 0;
    float speed = 100.0f;  // pixels per second
    float age = 0;
    float lifetime = 0.75f;
    bool bounce = false;
    TTextGraphic* graphic = nullptr;  // the manager's, not owned
    TColor colour{1, 1, 1, 1};
    str text;

    // False once the bubble's life has ended.
    bool Update(float dt);
    void Draw();
};
