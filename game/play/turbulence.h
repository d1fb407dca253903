// The shaking of a flying room on a level whose file asks for it: every
// period the floor shakes for a while; as the shaking settles, each table
// with a party or dishes may spill, at the level's chance in percent.
#pragma once

class TTurbulence {
public:
    enum class EStep { kNone, kShakes, kSettles };

    // The level's values (from its level manager); a period of 0 never shakes.
    void Start(float period, float shakeSeconds, float spillChance);
    // One frame of play: whether the floor starts shaking or settles now.
    EStep Update(float dt);
    bool IsShaking() const { return mShaking; }
    // One draw of the game's random numbers: whether a table spills as the
    // shaking settles.
    bool DrawSpill() const;

private:
    bool mShaking = false;
    float mCountdown = 0, mPeriod = 0, mShakeSeconds = 0;
    float mSpillChance = 0;
};
