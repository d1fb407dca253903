// Which level is played and how: the restaurant, the level, the game's mode
// and what follows from them, read from the player's settings when a level
// is set up (and when one ends and the next is chosen), so that play asks
// these values instead of the settings. What the player keeps (play time,
// progress, decor picks, metrics) is written through `settings`, the
// service the values were read from.
#pragma once

#include "engine/base/str.h"
#include "game/settings/levelnumbers.h"

class TSettings;

struct TLevelContext {
    // Null on a floor without settings (some tests): the values below keep
    // their defaults and nothing is written.
    TSettings* settings = nullptr;
    int restaurant = 0;   // 0-5
    int level = 0;        // within the restaurant, 0-9
    int careerLevel = 0;  // the overall number, 0-59 (levelnumbers.h)
    str restaurantName;   // "cruise", ... ("" without settings)
    str restaurantFolder; // "restaurants/cruise/" ("" without settings)
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

    // The context as the settings hold it now.
    static TLevelContext Read();
};
