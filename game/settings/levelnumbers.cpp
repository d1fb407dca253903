#include "game/settings/levelnumbers.h"

#include <algorithm>

namespace game {

int RestaurantAndLevelToLevel(int restaurant, int level)
{
    const int first = restaurant < NUM_RESTAURANTS ? restaurant * MAX_LEVELS_PER_RESTAURANT
                                                   : BONUS_RESTAURANT * MAX_LEVELS_PER_RESTAURANT;
    return std::min(level, MAX_LEVELS_PER_RESTAURANT - 1) + first;
}

void LevelToRestaurantAndLevel(int number, int* restaurant, int* level)
{
    int r = BONUS_RESTAURANT;
    int l = MAX_LEVELS_PER_RESTAURANT - 1;
    if (number < NUM_LEVEL_SLOTS) {
        r = number / MAX_LEVELS_PER_RESTAURANT;
        l = number % MAX_LEVELS_PER_RESTAURANT;
    }
    if (restaurant)
        *restaurant = r;
    if (level)
        *level = l;
}

str RestaurantName(int restaurant)
{
    static const char* const kNames[NUM_RESTAURANTS] = {"cruise", "train", "sub", "blimp", "spaceship", "beach"};
    if (restaurant < 0 || restaurant >= NUM_RESTAURANTS)
        return str();
    return str(kNames[restaurant]);
}

}  // namespace game
