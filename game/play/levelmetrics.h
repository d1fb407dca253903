// What a level measures of its play for the event metrics: its game time in
// play, paused and in all, and the parties that walked out by kind; and the
// metric line a level's end is recorded with.
#pragma once

#include "engine/base/str.h"

#include <array>

struct TLevelContext;

class TLevelMetrics {
public:
    static constexpr int kWalkoutKinds = 9;

    // What the level's end is recorded with besides the measures.
    struct TEnd {
        bool endless = false;
        int shift = 0;  // endless: the shift, from 0
        int levelScore = 0;
        bool expert = false;
        int reason = 0;  // 0 won, 1 lost or game over, 2 quit
    };

    // Every frame of the level counts in all; a frame of play also as play.
    void AddFrame(float dt) { mTotalTime += dt; }
    void AddPlayTime(float dt) { mPlayTime += dt; }
    void AddPausedTime(float seconds) { mPausedTime += seconds; }
    // Counts a walked-out party by the words of its member 1's figure name.
    void RecordPartyType(const str& name);

    float PlayTime() const { return mPlayTime; }
    float TotalTime() const { return mTotalTime; }
    float PausedTime() const { return mPausedTime; }
    int Walkouts(int kind) const { return mWalkouts[std::size_t(kind)]; }

    // The level's end as one event metric of the level's settings (none
    // without them): "LevelCompleteEndless", "...Secret" for a level file,
    // "...Story" for the career.
    void RecordEnd(const TLevelContext& level, const TEnd& end) const;

private:
    float mPlayTime = 0, mTotalTime = 0, mPausedTime = 0;
    std::array<int, kWalkoutKinds> mWalkouts{};
};
