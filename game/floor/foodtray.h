// TFoodTray: the dish with its table's number badge, drawn on a ready food
// station and in the waitress's hand.
#pragma once

#include "engine/base/rect.h"
#include "engine/base/str.h"
#include "engine/base/vec.h"

#include <memory>

class TTexture;
class TTextGraphic;

class TFoodTray {
public:
    TFoodTray();
    ~TFoodTray();
    TFoodTray(const TFoodTray&) = delete;
    TFoodTray& operator=(const TFoodTray&) = delete;

    void Reset() {}
    // number: the table number + 1 (101 and up show letters, 101 as "A").
    void Draw(TVec2 position, int number);
    // Around the origin: the tray, united with the badge at (+10, -20).
    TRect BoundingBox() const;
    // The badge text for a number.
    static str NumberText(int number);

private:
    std::shared_ptr<TTexture> mTray;
    std::shared_ptr<TTexture> mBadge;
    TTextGraphic* mText = nullptr;  // owned; freed with Destroy
};
