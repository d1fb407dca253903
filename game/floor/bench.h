// TBench: the waiting bench, on which one waiting party can sit. The game
// decides whether it is shown and how patient it makes a party.
#pragma once

#include "engine/base/rect.h"
#include "engine/script/animation.h"

class TBench {
public:
    TBench();

    void Reset();
    void Draw();
    TRect BoundingBox() const;
    TPoint GetSeatLocation(int i) const;

    TPoint location{20, 400};
    bool shown = false;
    bool occupied = false;
    bool luxury = false;

private:
    const TAnimation& Look() const { return luxury ? mLuxury : mPlain; }
    TAnimation mPlain, mLuxury;
};
