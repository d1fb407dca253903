#include "game/floor/bench.h"

#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "game/settings/settings.h"

#include <string>

TBench::TBench()
{
    mPlain.Init("furniture/bench.anm", "", "");
    mLuxury.Init("furniture/luxury_bench.anm", "", "");
    if (TSettings* settings = TSettings::GetInstance()) {
        mPlain.SetClock(settings->GetGameClock());
        mLuxury.SetClock(settings->GetGameClock());
    }
}

void TBench::Reset()
{
    occupied = false;
    luxury = false;
}

TRect TBench::BoundingBox() const
{
    const auto art = Look().GetAnimatedTexture();
    TRect box = art ? art->BoundingBox(0) : TRect{};
    box.Offset(location.x, location.y);
    return box;
}

TPoint TBench::GetSeatLocation(int i) const
{
    const auto art = Look().GetAnimatedTexture();
    if (!art)
        return location;
    int x = 0, y = 0;
    art->GetAnchorPoint(0, str::getFormatted("seat%d", i + 1), &x, &y);
    return {location.x + x, location.y + y};
}

void TBench::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!shown || !platform || !platform->Begin2d())
        return;
    const_cast<TAnimation&>(Look()).Draw(static_cast<float>(location.x), static_cast<float>(location.y), 1.0f, 1.0f,
                                         0, 0);
    platform->End2d();
}
