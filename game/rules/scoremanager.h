// TScoreManager: the running score of one game window. It turns every
// scored action into points (base points times the length of the running
// chain of like actions), pays the chair-colour bonus, applies penalties and
// pays tips through flying coins, and shows each gain or loss as a floating
// bubble over the floor. Base points come from assets/config/actionpoints.xml.
//
// The play screen's coin jar is told to flash its dollar sign whenever points
// arrive; until the game window has handed it over, points arrive unflashed.
#pragma once

#include "game/rules/coinflip.h"
#include "game/rules/scoreaction.h"
#include "game/rules/scorebubble.h"

#include <cstdint>
#include <list>
#include <memory>

class ICoinJarView;
class TTextGraphic;

class TScoreManager {
public:
    TScoreManager();
    ~TScoreManager();
    TScoreManager(const TScoreManager&) = delete;
    TScoreManager& operator=(const TScoreManager&) = delete;

    void SetCoinJar(ICoinJarView* jar) { mCoinJar = jar; }

    void ScoreAction(eScoreAction action, float x, float y);
    // A station visit of this kind that scores nothing: keeps a chain of the
    // same action, breaks any other.
    void BreakChain(eScoreAction action);
    // count: the chair's running colour-chain length; colour: the party's 0-4.
    void ChairBonus(int count, int colour, float x, float y);
    // Adds amount (negative for a loss); never below the level's start score.
    void Penalize(int amount, float x, float y);
    // Throws a coin that pays amount when it lands; nothing for amount <= 0.
    void Tip(int amount, float x, float y);

    void Update(float dt);
    void Draw();

    void StartLevel();
    // Takes back the level's gains (a restarted level).
    void ResetLevel();
    // Coins still in flight are dropped unpaid.
    void ClearLists();

    // The game window sets these at level set-up and reads them at its end.
    void SetScore(int score) { mScore = score; }
    int GetScore() const { return mScore; }
    void SetCash(int cash) { mCash = cash; }
    int GetCash() const { return mCash; }
    int GetLevelStartScore() const { return mLevelStartScore; }
    int GetChecksCollected() const { return mChecksCollected; }
    int GetPenalties() const { return mPenalties; }
    // What the level's penalties asked (a negative sum), before the floor of
    // the level start score took its share.
    int GetPenaltyPoints() const { return mPenaltyPoints; }
    eScoreAction GetChainAction() const { return mChainAction; }
    int GetChainCount() const { return mChainCount; }
    int GetBuzzBonus() const { return mBuzzBonus; }
    const std::list<std::unique_ptr<TScoreBubble>>& GetBubbles() const { return mBubbles; }
    const std::list<std::unique_ptr<TCoinFlip>>& GetCoins() const { return mCoins; }

private:
    void ReadConfiguration();
    TScoreBubble& AddBubble(float x, float y, const TColor& colour, str text);
    void FlashJar();
    // The level's counters and chain back to none; bubbles and coins dropped.
    void ClearLevel();

    std::int32_t mScore = 0;
    std::int32_t mCash = 0;
    std::int32_t mLevelStartScore = 0;
    std::int32_t mChecksCollected = 0;
    std::int32_t mPenalties = 0;
    std::int32_t mPenaltyPoints = 0;
    TTextGraphic* mTextGraphic = nullptr;  // owned; freed with Destroy
    eScoreAction mChainAction = kScoreNone;
    std::int32_t mChainCount = 0;
    std::int32_t mMaxChairBonusMultiplier = 4;
    std::int32_t mBaseChairBonus = 100;
    std::int32_t mBuzzBonus = 0;  // read and kept; nothing scores with it
    std::int32_t mPoints[kScoreActionCount] = {};
    std::list<std::unique_ptr<TScoreBubble>> mBubbles;
    std::list<std::unique_ptr<TCoinFlip>> mCoins;
    ICoinJarView* mCoinJar = nullptr;  // the play screen's, not owned
};
