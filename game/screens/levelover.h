// The level-over screen ("LevelOver", built by scripts/levelover.lua as
// "leveloverwin" inside the sliding panel "overbackground"). It shows a
// level's result (TLevelResult, game/settings) and nothing else: the game
// hands it the result (SetResult); TUpdateLevelOverTask then reveals the
// values one after another with their sounds and shows the buttons.
#pragma once

#include "engine/base/animtask.h"
#include "engine/base/lifeline.h"
#include "engine/base/str.h"
#include "engine/base/vec.h"
#include "engine/window/window.h"
#include "game/screens/scriptedwindow.h"
#include "game/settings/levelresult.h"

#include <memory>

class TSound;
class TText;

class TLevelOver : public TScriptedWindow<TLevelOver> {
public:
    static const contract::TScreenSpec kContract;

    static constexpr int kDone = 7;
    static constexpr float kGlideSpeed = 800;  // px per second on each axis
    static constexpr float kMaxSlide = 120;    // px a value slides along its row

    TLevelOver();
    ~TLevelOver() override;
    void PostChildrenInit() override;

    // Fills the board from the level's result: its rows, the bonus the level
    // paid (beside the cash), what the walk-outs cost (beside their row once
    // its value is in), how far a lost career level fell short (beside the
    // level's score once it is in), the verdict, the expert mark and the
    // buttons to come.
    void SetResult(const TLevelResult& result);
    void NewHighScore() { mNewHiscore = true; }
    void Update(float dt);
    // Moves the gliding text; true once it stands at its place (or none glides).
    bool TextAnimation(float dt);
    void TurnOnButtons();
    int GetStep() const { return mStep; }

private:
    void SetWin(bool win, bool gameOver);
    void SetStats(const TLevelResult& result);
    void NextStep(int step);
    void ShowPenalty();
    void ShowShortfall();
    void Glide(const contract::TChild<TText>& text, TVec2 from);
    bool IsEndless() const { return mEndless; }

    int mStep = 0;
    bool mExpert = false;
    bool mWin = false;
    bool mGameOver = false;
    float mStepTimer = 0;
    bool mNewHiscore = false;
    bool mPenaltyShown = false;
    bool mShortfallShown = false;
    bool mEndless = false;
    bool mLevelFile = false;
    bool mShowTotal = true;
    TWindow* mMoving = nullptr;
    TVec2 mPosition, mTarget, mDirection;
    std::shared_ptr<TSound> mLoseSound, mWinSound, mExpertSound;
};

class TUpdateLevelOverTask : public TAnimTask {
public:
    explicit TUpdateLevelOverTask(TLevelOver* window);
    bool Animate() override;

private:
    TLevelOver* mWindow;
    TLifeHandle mAlive;
};
