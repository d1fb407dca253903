#include "game/play/levelmetrics.h"

#include "game/play/levelcontext.h"
#include "game/settings/settings.h"

#include <cstdio>
#include <string>

void TLevelMetrics::RecordPartyType(const str& name)
{
    static const char* const kWords[kWalkoutKinds][3] = {
        {"young"}, {"old"}, {"business"}, {"mom", "dad", "kid"}, {"cellphone"},
        {"fitness"}, {"bookworm"}, {"tourist"}, {"lovebird"}};
    const std::string text = name.c_str();
    for (int kind = 0; kind < kWalkoutKinds; ++kind)
        for (const char* word : kWords[kind])
            if (word && text.find(word) != std::string::npos) {
                ++mWalkouts[std::size_t(kind)];
                return;
            }
}

void TLevelMetrics::RecordEnd(const TLevelContext& level, const TEnd& end) const
{
    TSettings* settings = level.Settings();
    if (!settings)
        return;
    const float other = mTotalTime - mPlayTime - mPausedTime;
    char text[512];
    int n;
    if (end.endless) {
        n = std::snprintf(text, sizeof text, "%d, %d, %d, %f, %f, %f, %d, %d", level.level, level.restaurant,
                          end.shift, mPlayTime, mPausedTime, other, end.reason, end.levelScore);
    } else {
        n = std::snprintf(text, sizeof text, "%d, %f, %f, %f, %d, %d, %d", level.careerLevel, mPlayTime,
                          mPausedTime, other, end.reason, end.levelScore, end.expert ? 1 : 0);
    }
    for (int count : mWalkouts)
        n += std::snprintf(text + n, sizeof text - std::size_t(n), ", %d", count);
    const char* event = end.endless      ? "LevelCompleteEndless"
                        : level.levelFile ? "LevelCompleteSecret"
                                          : "LevelCompleteStory";
    settings->RecordEventMetric(event, text);
}
