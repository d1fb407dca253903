// Writes a player's prefs.dat for the end-to-end scripts, as the game would
// after that player had won levels: the scripts start the game there
// instead of playing every level before it.
//
//   prepare_player DATA NAME WON [EXPERT]
//
// Run in the resource folder DATA the game will run in (prefs.dat keeps
// its players per installation), the player NAME (created in the prefs.dat
// of $XDG_DATA_HOME/corvellatrip) has won the first WON career levels, each
// once with a modest score (the first EXPERT of them, default none, with
// expert service), and the next one is the last level played, so the map
// starts on it.
#include "engine/assembly/assembly.h"
#include "engine/platform/headless/headlessbackend.h"
#include "engine/platform/platform.h"
#include "engine/platform/platformdata.h"
#include "game/settings/settings.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr, "usage: prepare_player DATA NAME WON [EXPERT]\n");
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
    const int expert = argc == 5 ? std::atoi(argv[4]) : 0;
    if (won < 0 || won > 50) {
        std::fprintf(stderr, "prepare_player: WON is 0 to 50\n");
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
    TSettings::DeleteSettings();
    platform.reset();
    std::printf("prepared %s with %d levels won\n", name, won);
    return 0;
}
