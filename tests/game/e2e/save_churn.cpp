// A player's progress written as fast as the game can write it, for the
// kill test (kill_saves.sh): the process may die at any instant, and the next
// start must find prefs.dat and hiscore.dat whole, holding every step that was
// reported saved.
//
//   save_churn play    plays step after step for ever: step N records a best
//                      score of 10 N on career level (N - 1) mod 50, unlocks
//                      the next level and logs the score to the hiscore table;
//                      "saved N" on standard output once both files hold it.
//   save_churn check N starts as the game does and checks that both files
//                      read and that steps up to N are all there; exit 0 when
//                      they are, 1 (with the reason) when not.
//
// Both run in the working folder with XDG_DATA_HOME set by the caller.
#include "game/settings/settings.h"
#include "headlessengine.h"
#include "online/hiscores.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kCareerLevels = 50;
constexpr int kLevelsPerRestaurant = 10;
const char* const kPlayer = "Kitt";

struct TStep {
    int restaurant;
    int level;
    int score;
};

TStep StepOf(int n)
{
    const int index = (n - 1) % kCareerLevels;
    return TStep{index / kLevelsPerRestaurant, index % kLevelsPerRestaurant, 10 * n};
}

TSettings* StartSettings()
{
    TSettings* settings = TSettings::CreateSettings();
    settings->SetCurrentGameMode(TSettings::kCareerMode);
    return settings;
}

int Play()
{
    TSettings* settings = StartSettings();
    if (settings->GetNumUsers() == 0)
        settings->CreateNewUser(kPlayer);
    settings->SetCurrentUser(0, true);
    // Resume after the last step a previous run got through.
    int n = 1;
    while (settings->GetLevelScore(StepOf(n).restaurant, StepOf(n).level) >= StepOf(n).score)
        ++n;
    for (;; ++n) {
        const TStep step = StepOf(n);
        settings->RecordLevelScore(step.restaurant, step.level, step.score, false);
        const TStep next = StepOf(n + 1);
        settings->UnlockLevel(next.restaurant, next.level);
        settings->GetHiscores()->LogScore(step.score, "", "", true);
        std::printf("saved %d\n", n);
        std::fflush(stdout);
    }
}

int Check(int saved)
{
    TSettings* settings = StartSettings();
    if (saved == 0)
        return 0;  // killed before the first step: the files need only read, which the log shows
    if (settings->GetNumUsers() < 1 || settings->GetUserName(0) != str(kPlayer)) {
        std::printf("the player is gone (%d players)\n", settings->GetNumUsers());
        return 1;
    }
    settings->SetCurrentUser(0, true);
    // Each level holds the score of the last step on it up to `saved`.
    for (int n = std::max(1, saved - kCareerLevels + 1); n <= saved; ++n) {
        const TStep step = StepOf(n);
        const int kept = settings->GetLevelScore(step.restaurant, step.level);
        if (kept < step.score) {
            std::printf("step %d lost: level %d-%d holds %d, not %d\n", n, step.restaurant + 1, step.level + 1, kept,
                        step.score);
            return 1;
        }
    }
    int best = 0;
    if (!settings->GetHiscores()->GetUserBestScore(TQmHiscores::kEligibleScore, &best, nullptr, nullptr, 0) ||
        best < StepOf(saved).score) {
        std::printf("the hiscore table lost step %d: best %d\n", saved, best);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool play = argc == 2 && std::strcmp(argv[1], "play") == 0;
    const bool check = argc == 3 && std::strcmp(argv[1], "check") == 0;
    if (!play && !check) {
        std::fprintf(stderr, "usage: %s play | check <last step reported saved>\n", argv[0]);
        return 2;
    }
    qmtest::THeadlessEngine engine;
    engine.Start([](TPlatform&) {});
    const int result = play ? Play() : Check(std::atoi(argv[2]));
    TSettings::DeleteSettings();
    engine.Stop();
    return result;
}
