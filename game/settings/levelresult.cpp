#include "game/settings/levelresult.h"

#include "game/settings/settings.h"
#include "online/hiscores.h"

#include <cstdio>

namespace {

// Only the career's restaurants and the shifts of the game's own levels
// have best scores: not the bonus restaurant, not a level file.
TQmHiscores* ScoreTable(TSettings* settings, int score)
{
    if (!settings || score < 1 || settings->GetCurrentRestaurant() > 4 || settings->GetLevelMode() != 0)
        return nullptr;
    return settings->GetHiscores();
}

void LogScore(TSettings* settings, int score, bool career)
{
    TQmHiscores* hiscores = ScoreTable(settings, score);
    if (!hiscores)
        return;
    char extra[64];
    std::snprintf(extra, sizeof extra, "lev:%d;rest:%d", settings->GetNumUnlockedLevels(),
                  settings->GetCurrentRestaurant() + 1);
    hiscores->LogScore(score, extra, game::MedalsOfProgress().c_str(), career);
}

}  // namespace

namespace game {

void ApplyLevelResult(const TLevelResult& result)
{
    TSettings* settings = TSettings::GetInstance();
    if (!settings)
        return;
    if (result.recordLevel &&
        settings->RecordLevelScore(result.restaurant, result.levelInRestaurant, result.levelScore, result.expert)) {
        LogScore(settings, settings->GetCareerScore(-1), true);
        settings->SetCareerCash(result.cash);
    }
    if (result.nextCareerLevel >= 0)
        settings->SetLastCareerLevel(result.nextCareerLevel);
    if (result.logShiftScore)
        LogScore(settings, result.totalScore, false);
}

void ApplyCareerLevelStart(int careerLevel)
{
    if (TSettings* settings = TSettings::GetInstance()) {
        settings->SetLastCareerLevel(careerLevel);
        settings->SetHighestPlayedLevel(careerLevel);
    }
}

void ApplyCareerMovedOn(int careerLevel)
{
    if (TSettings* settings = TSettings::GetInstance())
        settings->SetLastCareerLevel(careerLevel);
}

void AddPlayTime(float seconds)
{
    if (TSettings* settings = TSettings::GetInstance())
        settings->AddPlayTime(seconds);
}

void ApplyTutorialSkipped(bool endless)
{
    TSettings* settings = TSettings::GetInstance();
    if (!settings)
        return;
    if (endless)
        settings->PlayedEndlessTutorial();
    settings->SkipTutorial();
}

bool IsNewBestShiftScore(int score)
{
    TSettings* settings = TSettings::GetInstance();
    TQmHiscores* hiscores = ScoreTable(settings, score);
    if (!hiscores)
        return false;
    int best = 0, rank = 0;
    char data[256] = {};
    hiscores->GetUserBestScore(TQmHiscores::kEligibleScore, &best, &rank, data, sizeof data);
    return score >= best && settings->GetHighscoreMode() != 2;
}

str MedalsOfProgress()
{
    TSettings* settings = TSettings::GetInstance();
    if (!settings)
        return str();
    const auto medal = [](const char* name) {
        return str::getFormatted("<medal name=\"corvellatrip_%s\" per=\"game\"/>", name);
    };
    str medals;
    for (int r = 1; r < settings->GetNumUnlockedRestaurants(); ++r)
        medals += medal(str::getFormatted("restaurant_%d", r).c_str());
    if (settings->HasBeatGame())
        medals += medal("restaurant_5") + medal("career_complete");
    if (settings->HasBeatBonusGame())
        medals += medal("restaurant_6");
    if (settings->HasBeatGameOnExpert())
        medals += medal("career_complete_expert");
    return medals;
}

}  // namespace game
