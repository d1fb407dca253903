// TCoinJar: the jar on the play screen that fills as the level's points
// come in: four stages up to the goal score, five more up to the expert
// score (career play). A dollar sign blinks over it for 2.5 seconds after
// points arrive. Window type "CoinJar", placed by the play screen's script;
// the game window hands it to the score manager and updates it every frame.
#pragma once

#include "engine/base/vec.h"
#include "engine/script/animation.h"
#include "engine/window/window.h"
#include "game/rules/coinjarview.h"
#include "game/screens/scriptedwindow.h"

#include <memory>

class TTexture;

class TCoinJar : public TScriptedWindow<TCoinJar>, public ICoinJarView {
public:
    static const contract::TScreenSpec kContract;

    static constexpr const char* kTypeName = "CoinJar";
    static constexpr float kFlashSeconds = 2.5f;

    TCoinJar();
    ~TCoinJar() override;

    void Reset() override { mFlashTimer = kFlashSeconds; }
    void FlashDollarSign() override { mFlashTimer = 0; }
    void Update(float dt, const TScoreManager* score, const ILevelGoals* level) override;
    void Draw() override;

    // The fill stage last chosen: 0 empty, 1-4 toward the goal, 5-9 past it.
    int GetFillFrame() const { return mFillFrame; }
    bool IsDollarShown() const { return mDollarShown; }

private:
    int ChooseFrame(int earned, int goal, int expert) const;

    TAnimation mJar;
    std::shared_ptr<TTexture> mDollar;
    TVec2 mAnchor;
    float mFlashTimer = kFlashSeconds;
    bool mDollarShown = false;
    int mFillFrame = 0;
};
