#include "game/levels/chosenlevel.h"

#include "game/settings/settings.h"

TChosenLevel TChosenLevel::Read()
{
    TChosenLevel chosen;
    TSettings* settings = TSettings::GetInstance();
    if (!settings)
        return chosen;
    chosen.fromSettings = true;
    chosen.restaurant = settings->GetCurrentRestaurant();
    chosen.level = settings->GetCurrentLevel();
    chosen.endlessMode = settings->GetCurrentGameModeInt() == TSettings::kEndlessMode;
    chosen.levelFile = settings->GetLevelMode() != 0;
    return chosen;
}
