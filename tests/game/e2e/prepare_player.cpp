// Writes a player's prefs.dat for the end-to-end scripts, as the game would
// after that player had won levels: the scripts start the game there
// instead of playing every level before it.
//
//   prepare_player DATA NAME WON [--expert N] [--shifts N]
//
// Run in the resource folder DATA the game will run in (prefs.dat keeps
// its players per installation), the player NAME (created in the prefs.dat
// of $XDG_DATA_HOME/corvellatrip) has won the first WON career levels, each
// once with a modest score (the first N of them with expert service, with
// --expert), and the next one is the last level played, so the map starts
// on it. With --shifts, the player has also ended that many
// easy endless shifts, each with its own score in the best scores
// (hiscore.dat): 500, 600, ...
#include "engine/assembly/assembly.h"
#include "engine/platform/headless/headlessbackend.h"
#include "engine/platform/platform.h"
#include "engine/platform/platformdata.h"
#include "game/settings/levelresult.h"
#include "game/settings/settings.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr const char* kUsage = "usage: prepare_player DATA NAME WON [--expert N] [--shifts N]\n";

// The options after WON: false on anything unknown.
bool ReadOptions(int argc, char** argv, int* expert, int* shifts)
{
    for (int i = 4; i < argc; i += 2) {
        const std::string option = argv[i];
        if (i + 1 >= argc || (option != "--expert" && option != "--shifts"))
            return false;
        *(option == "--expert" ? expert : shifts) = std::atoi(argv[i + 1]);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    int expert = 0;
    int shifts = 0;
    if (argc < 4 || !ReadOptions(argc, argv, &expert, &shifts)) {
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    std::error_code error;
    std::filesystem::current_path(argv[1], error);
    if (error) {
        std::fprintf(stderr, "prepare_player: no folder %s\n", argv[1]);
        return 2;
    }
    const char* name = argv[2];
    const int won = std::atoi(argv[3]);
    if (won < 0 || won > 50 || expert < 0 || expert > won || shifts < 0 || shifts > 10) {
        std::fprintf(stderr, "prepare_player: WON is 0 to 50, --expert 0 to WON, --shifts 0 to 10\n");
        return 2;
    }
    qm::InstallEngine({.display = false, .text = false, .sound = false});
    auto platform = std::make_unique<TPlatform>(
        new TPlatformData(0, nullptr, false, std::make_unique<qm::THeadlessBackend>()));
    TSettings* settings = TSettings::CreateSettings();
    if (!settings) {
        std::fprintf(stderr, "prepare_player: no settings\n");
        return 1;
    }
    settings->CreateNewUser(name);
    settings->UnlockLevel(0, 0);
    for (int n = 0; n < won; ++n)
        settings->RecordLevelScore(n / 10, n % 10, 1000 + 10 * n, n < expert);
    if (won > 0)
        settings->SetLastCareerLevel(won < 50 ? won : 49);
    settings->SetCurrentGameMode(TSettings::kEndlessMode);
    for (int n = 0; n < shifts; ++n) {
        TLevelResult shift;
        shift.endless = true;
        shift.logShiftScore = true;
        shift.totalScore = 500 + 100 * n;
        game::ApplyLevelResult(shift);
    }
    TSettings::DeleteSettings();
    platform.reset();
    std::printf("prepared %s with %d levels won and %d shifts scored\n", name, won, shifts);
    return 0;
}
