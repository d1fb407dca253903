#include "game/play/levelcontext.h"

namespace {

int gReads = 0;

}  // namespace

TLevelContext TLevelContext::Read(const TChosenLevel& chosen)
{
    ++gReads;
    TLevelContext context;
    static_cast<TChosenLevel&>(context) = chosen;
    if (!chosen.fromSettings)
        return context;
    context.careerLevel = game::RestaurantAndLevelToLevel(chosen.restaurant, chosen.level);
    context.restaurantName = game::RestaurantName(chosen.restaurant);
    context.restaurantFolder = str("restaurants/") + context.restaurantName + "/";
    return context;
}

int TLevelContext::Reads() { return gReads; }
