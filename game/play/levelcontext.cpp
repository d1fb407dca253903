#include "game/play/levelcontext.h"

#include "game/settings/settings.h"

TLevelContext TLevelContext::Read()
{
    TLevelContext context;
    TSettings* settings = TSettings::GetInstance();
    if (!settings)
        return context;
    context.settings = settings;
    context.restaurant = settings->GetCurrentRestaurant();
    context.level = settings->GetCurrentLevel();
    context.careerLevel = settings->GetCurrentTotalLevel();
    context.restaurantName = settings->GetCurrentRestaurantName();
    context.restaurantFolder = settings->GetCurrentRestaurantFolder();
    context.endlessMode = settings->GetCurrentGameModeInt() == TSettings::kEndlessMode;
    context.levelFile = settings->GetLevelMode() != 0;
    return context;
}
