// The scored actions of the floor. Stations report them to the score
// manager; the value indexes the points table and the chain captions.
#pragma once

enum eScoreAction : int {
    kScoreHighChair = 0,
    kScoreOrder = 1,
    kScoreFood = 2,
    kScoreDessert = 3,
    kScoreDishes = 4,
    kScoreCheck = 5,
    kScoreDrink = 6,
    kScoreSnack = 7,
    kScoreMop = 8,
    kScorePicture = 9,
    kScoreNone = 10,  // no chain running
};

constexpr int kScoreActionCount = 10;
