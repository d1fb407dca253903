// Writes the window classes' statements as "window" lines of the content
// lint (window_contracts FILE), so the lint holds the scripts to them, and
// where the floor hangs its closed sign, so the lint keeps the room's decor
// clear of it.
#include "game/app/windowtypes.h"
#include "game/play/game.h"
#include "game/play/gamedata.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_contracts FILE\n");
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << "# Generated from the window classes' statements (game/screens/screencontract.h).\n";
    for (const std::string& line : game::WindowContractLines())
        out << line << "\n";
    out << "# Generated from the floor's closed sign (game/play/gamedata.h): it slides in to its place.\n";
    out << "coverpicture closedsign " << kClosedSignPicture << ".png " << TGameData::kClosedSignStart << " "
        << TGameData::kClosedSignY << " " << TGameData::kClosedSignStop << " " << TGameData::kClosedSignY << "\n";
    return out ? 0 : 1;
}
