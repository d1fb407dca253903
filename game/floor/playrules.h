// What the floor's pieces report their play to as they act: the score
// (points, chains, penalties, tips) and the tutorial, which the player's
// actions move on (null when no tutorial runs, and a score may be null on a
// test's floor). The level owns both; the pair travels by value.
#pragma once

class TScoreManager;
class TTutorial;

struct TPlayRules {
    TScoreManager* score = nullptr;
    TTutorial* tutorial = nullptr;
};
