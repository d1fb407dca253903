// ICoinJarView: what the score manager and the level's graph ask of the jar
// on the play screen. The jar is a window (screens/coinjar.h); the rules
// below the screens reach it only through this.
#pragma once

class ILevelGoals;
class TScoreManager;

class ICoinJarView {
public:
    virtual ~ICoinJarView() = default;
    // Hides the dollar sign (a new level starts with none blinking).
    virtual void Reset() = 0;
    // Points just came in: the dollar sign blinks for a while.
    virtual void FlashDollarSign() = 0;
    // Follows the level's points toward its goal and expert marks.
    virtual void Update(float dt, const TScoreManager* score, const ILevelGoals* level) = 0;
};
