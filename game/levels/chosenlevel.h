// Which level is played and how: the restaurant and level the menus chose
// (and the level manager moves on from one level to the next), the game's
// mode and whether it is a level file of its own, as the settings hold them.
// The level manager reads it whenever it sets a level up and hands the level
// it set up to play as this value (TLevelManager::Chosen), so that play never
// asks the settings which level it is.
#pragma once

#include "game/settings/levelnumbers.h"

class TSettings;

struct TChosenLevel {
    // False on a floor without settings (some tests, benchmarks): the values
    // below keep their defaults, nothing is kept and the level never moves on.
    bool fromSettings = false;
    int restaurant = 0;  // 0-5
    int level = 0;       // within the restaurant, 0-9; endless: the difficulty, 0-2
    // The player chose endless: a shift, or the tutorial on a career level
    // that opens the first endless game.
    bool endlessMode = false;
    // A level file of its own (an extra or downloaded level: the settings'
    // level mode), which touches no career progress.
    bool levelFile = false;

    // The bonus restaurant's levels: no career total on their board, and no
    // decor choice or new items before them.
    bool IsBonusRestaurant() const { return restaurant >= BONUS_RESTAURANT; }
    // A restaurant's first level opens on its intro alone.
    bool IsFirstLevel() const { return level == 0; }
    // Between career levels an even level offers the decor choice; an odd
    // one shows its new items (and, after a first win, the wardrobe first).
    bool IsDecorChoiceLevel() const { return level % 2 == 0; }
    // The career's first level without a level file of its own: the
    // walk-through plays on it.
    bool IsTutorialLevel() const { return restaurant == 0 && level == 0 && !levelFile; }

    // The settings the level was chosen from; null for a floor without them.
    TSettings* Settings() const;

    // As the settings hold it now; the defaults without them (a level file
    // read on its own, as the fuzz target and tools do).
    static TChosenLevel Read();
};
