// How levels are numbered: six restaurants of ten level slots. Restaurants
// 0-4 hold the career, restaurant 5 the bonus levels; the overall number of a
// level (0-59) indexes every per-level table of a player profile.
#pragma once

#include "engine/base/str.h"

constexpr int NUM_RESTAURANTS = 6;
constexpr int MAX_LEVELS_PER_RESTAURANT = 10;
constexpr int NUM_LEVEL_SLOTS = NUM_RESTAURANTS * MAX_LEVELS_PER_RESTAURANT;
constexpr int NUM_CAREER_LEVELS = 50;
constexpr int NUM_BONUS_LEVELS = 5;
constexpr int BONUS_RESTAURANT = 5;

namespace game {

// min(level, 9) + restaurant * 10; any restaurant from 6 up counts as the
// bonus restaurant.
int RestaurantAndLevelToLevel(int restaurant, int level);
// The inverse for 0-59; any larger number gives (5, 9). Null outputs are skipped.
void LevelToRestaurantAndLevel(int number, int* restaurant, int* level);
// "cruise", "train", "sub", "blimp", "spaceship", "beach"; "" for any other index.
str RestaurantName(int restaurant);

}  // namespace game
