// TFloorBanner: the big words across the floor ("Expert score!", "Goal
// reached!", "Closing time!"): light letters with a dark outline on the
// accent ribbon, so they read over any restaurant and any crowd.
#pragma once

#include "engine/base/rect.h"
#include "engine/base/str.h"

#include <memory>

class TTexture;
class TTextGraphic;

class TFloorBanner {
public:
    TFloorBanner();
    ~TFloorBanner();
    TFloorBanner(const TFloorBanner&) = delete;
    TFloorBanner& operator=(const TFloorBanner&) = delete;

    // Draws the ribbon across the middle of `rect` and `text` on it, in a 2D
    // pass of its own.
    void Draw(const str& text, const TRect& rect);

private:
    std::shared_ptr<TTexture> mRibbon;
    TTextGraphic* mText = nullptr;  // owned; freed with Destroy
};
