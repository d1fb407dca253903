// One customer type's record: the graphics its members wear, how its mood
// and tips move, and how long each party state may last. A party copies it
// whole when it arrives, so it stays a plain value type.
#pragma once

#include <cstdint>

constexpr int kCustomerGraphicNameSize = 128;  // 127 characters and the terminator
constexpr int kCustomerGraphicOverrides = 6;   // one per party member
constexpr int kCustomerStateCount = 13;        // indexed by the party's state number

struct TCustomerStateTimes {
    bool timed;        // the party's patience runs in this state
    float happyMS;
    float madMS;
    float durationMS;
};

struct TCustomerDef {
    char graphicType[kCustomerGraphicNameSize];
    char graphicOverride[kCustomerGraphicOverrides][kCustomerGraphicNameSize];
    float timeMood;
    float colorMood;
    float baseTip;
    float moodTip;
    // Not read from the file. The first two are fixed at 1 and read by
    // nobody; the third is the shortest a party state period may be (ms).
    float fixedScaleA;
    float fixedScaleB;
    float minStatePeriodMS;
    float spillChance;
    float spillTimer;
    int32_t dessertMood;
    int32_t loveEffect;
    float specialChance;
    float noiseRate;
    float noiseRangeX;  // pixels
    float noiseRangeY;  // pixels
    int32_t noiseMood;
    int32_t noiseEffect;
    TCustomerStateTimes states[kCustomerStateCount];
};
