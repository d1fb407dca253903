// TLevelResult: a level's end, decided once when the level is over: every
// value the level-over board shows, and what the end keeps in the player's
// progress (prefs.dat) and best scores (hiscore.dat). The level fills it
// without writing anything; ApplyLevelResult is the one place that writes it.
// Beside it, the one place where a level writes the rest of the player's
// progress: as it starts, as it is played, as the tutorial is left.
#pragma once

#include "engine/base/str.h"

struct TLevelResult {
    bool win = false;
    bool gameOver = false;
    bool expert = false;      // a career level's expert score was reached
    bool newHiscore = false;  // an endless shift beat the player's best score
    bool endless = false;     // an endless shift's board: the shift's score, no bonus, no expert mark
    bool levelFile = false;   // a level file played on its own: Quit and Try again, whatever the outcome
    bool showTotal = true;    // the career's total is shown (not in the bonus restaurant)
    int served = 0;           // checks collected
    int walkouts = 0;         // parties that walked out
    int penaltyPoints = 0;    // what the walk-outs cost (0 or less)
    int bonus = 0;            // paid into the cash: 300 for a first win, 100 for a first expert mark
    int cash = 0;             // the cash with the bonus paid
    int levelScore = 0;
    int totalScore = 0;       // career: the best scores of every level, this one's included; endless: the shift's
    int goal = 0;             // the level's goal (how far a loss fell short)
    str level;                // the level's label
    str verdict;              // the board's words on the outcome; empty: the board's own

    // What the end keeps.
    bool recordLevel = false;  // a won career level: its score, expert mark and what it unlocks
    int restaurant = 0;        // where it was played (0-based)
    int levelInRestaurant = 0;
    int nextCareerLevel = -1;  // the level the map offers next, or -1
    bool logShiftScore = false;  // an endless shift's score goes to the best scores
};

namespace game {

// Keeps a level's end: a won career level's score and expert mark (a new
// best for the level also logs the career's total with the player's medals
// and keeps the cash), the level the map offers next, an endless shift's
// score. Writes prefs.dat and hiscore.dat; nothing else does at a level's end.
void ApplyLevelResult(const TLevelResult& result);

// A career level is set up (the first time, the next one or again): it is
// the level last played, and the highest played once it goes further.
void ApplyCareerLevelStart(int careerLevel);
// The career moved on to `careerLevel`, the level after the one finished
// (the next restaurant's first when the player leaves for its story): it is
// the level last played, which the map offers.
void ApplyCareerMovedOn(int careerLevel);
// A frame of play: its seconds count in the play time of the game's mode
// (this session's and the totals kept).
void AddPlayTime(float seconds);
// The player skipped the tutorial (the endless one also when played to its
// end): this session's mark, and for endless the mark kept in prefs.dat that
// the next endless game starts without it.
void ApplyTutorialSkipped(bool endless);

// Whether `score` of an endless shift would be the player's new best score
// as the best-score table announces it (reads only).
bool IsNewBestShiftScore(int score);

// The medals the player's progress has earned, as the elements logged with a
// score: one per restaurant done, the whole career, the bonus restaurant,
// the career on expert. Empty for none.
str MedalsOfProgress();

}  // namespace game
