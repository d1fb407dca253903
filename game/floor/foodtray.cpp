#include "game/floor/foodtray.h"

#include "engine/render/texture.h"
#include "engine/text/textgraphic.h"
#include "game/floor/floorart.h"

namespace {

constexpr int kRobotRestaurant = 4;
const TPoint kBadgeOffset{10, -20};

}  // namespace

TFoodTray::TFoodTray()
{
    mTray = TTexture::Get(floorart::RestaurantIndex() == kRobotRestaurant ? "accessories/foodtray_spaceship"
                                                                           : "accessories/foodtray");
    mBadge = TTexture::Get("ui/traynumber");
    mText = TTextGraphic::Create("", 17, 10, TTextGraphic::kHAlignCenter | TTextGraphic::kVAlignCenter,
                                 "assets/fonts/default.mvec", 9, TColor{0, 0, 0, 1});
}

TFoodTray::~TFoodTray() { TTextGraphic::Destroy(mText); }

str TFoodTray::NumberText(int number)
{
    if (number <= 100)
        return str::getFormatted("%d", number);
    return str::getFormatted("%c", char(number - 36));
}

void TFoodTray::Draw(TVec2 position, int number)
{
    if (mTray)
        mTray->DrawSprite(position.x, position.y, 1.0f, 1.0f, 0.0f, 0);
    if (mBadge)
        mBadge->DrawSprite(position.x + float(kBadgeOffset.x), position.y + float(kBadgeOffset.y), 1.0f, 1.0f,
                           0.0f, 0);
    if (mText) {
        mText->SetText(NumberText(number));
        const int x = int(position.x) + 3, y = int(position.y) - 28;
        mText->Draw(TRect{x, y, x + 17, y + 10}, 1.0f, 0, 1.0f);
    }
}

TRect TFoodTray::BoundingBox() const
{
    TRect badge = floorart::CentredBox(mBadge);
    badge.Offset(kBadgeOffset.x, kBadgeOffset.y);
    return floorart::CentredBox(mTray).Union(badge);
}
