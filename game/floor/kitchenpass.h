// The kitchen's places and its pass. Every room has the same kitchen: a
// counter across the back wall (x 282-636) under the opening where the cook
// works. Orders go on the order wheel at the counter's left end; the cook
// puts the plates up on the pass, a steel shelf under two heat lamps in front
// of him, so a player sees where tickets go and where the food comes from,
// and the waitress posting a ticket never stands on a plate.
#pragma once

#include "engine/base/rect.h"

#include <memory>

class TTexture;

namespace kitchen {

// The order wheel's hub (the ticket station's position): it hangs on the
// wall beside the opening, high enough to show above the waitress.
inline constexpr TPoint kOrderWheel{302, 62};
// Where plates stand on the pass: the first slot, the step between slots
// and how many slots there are before an order goes back to the first.
inline constexpr TPoint kFirstPlate{372, 140};
inline constexpr int kPlateStep = 36;
inline constexpr int kPlateSlots = 5;
// The middle of the pass's picture.
inline constexpr TPoint kPass{452, 92};

}  // namespace kitchen

// The pass itself: drawn behind the plates, in front of the cook.
class TKitchenPass {
public:
    TKitchenPass();
    ~TKitchenPass();
    // Inside the caller's 2D pass.
    void Draw() const;
    TRect BoundingBox() const;

private:
    std::shared_ptr<TTexture> mPicture;
};
