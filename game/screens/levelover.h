// The level-over screen ("LevelOver", built by scripts/levelover.lua as
// "leveloverwin" inside the sliding panel "overbackground"). The game fills
// it (TGame::SetupLevelOverStats); TUpdateLevelOverTask then reveals the
// results one after another with their sounds and shows the buttons.
#pragma once

#include "engine/base/animtask.h"
#include "engine/base/lifeline.h"
#include "engine/base/str.h"
#include "engine/base/vec.h"
#include "engine/window/window.h"
#include "game/screens/scriptedwindow.h"

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

    void SetWin(bool win, bool gameOver);
    void SetExpertMode(bool expert);
    void SetStats(int served, int lost, const str& level, int levelScore, int score, const str& money);
    void SetDescription(const str& text);
    // The bonus the level paid into the cash, as the line beside it shows
    // it; empty when it paid none (the line hides).
    void SetBonus(const str& text);
    // What the walk-outs cost, beside their row once its value is in; empty
    // when nobody walked out.
    void SetPenalty(const str& text);
    // How far a lost career level fell short of its goal, beside the level's
    // score once it is in; empty after a win (the line stays hidden).
    void SetShortfall(const str& text);
    void NewHighScore() { mNewHiscore = true; }
    void Update(float dt);
    // Moves the gliding text; true once it stands at its place (or none glides).
    bool TextAnimation(float dt);
    void TurnOnButtons();
    int GetStep() const { return mStep; }

private:
    void NextStep(int step);
    void ShowPenalty();
    void ShowShortfall();
    void Glide(const contract::TChild<TText>& text, TVec2 from);
    bool IsEndless() const;

    int mStep = 0;
    bool mExpert = false;
    bool mWin = false;
    bool mGameOver = false;
    float mStepTimer = 0;
    bool mNewHiscore = false;
    bool mPenaltyShown = false;
    bool mShortfallShown = false;
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
