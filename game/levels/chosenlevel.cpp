#include "game/levels/chosenlevel.h"

#include "game/settings/settings.h"

TSettings* TChosenLevel::Settings() const { return fromSettings ? TSettings::GetInstance() : nullptr; }

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
