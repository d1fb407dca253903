// The level being played: which level it is and how it is played, as the
// level manager hands it down (TChosenLevel, game/levels), and what follows
// from it: its overall number and its restaurant's word and folder. Play
// reads it once as a level starts (the graph built for it, the next level
// chosen, the same level started again) and asks it instead of the settings.
#pragma once

#include "engine/base/str.h"
#include "game/levels/chosenlevel.h"

struct TLevelContext : TChosenLevel {
    int careerLevel = 0;   // the overall number, 0-59 (levelnumbers.h)
    str restaurantName;    // "cruise", ... ("" without settings)
    str restaurantFolder;  // "restaurants/cruise/" ("" without settings)

    // The context of the level the level manager chose.
    static TLevelContext Read(const TChosenLevel& chosen);
    // How many contexts were read in this process (a level start reads one).
    static int Reads();
};
