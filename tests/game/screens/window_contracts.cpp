// Writes the window classes' statements as "window" lines of the content
// lint (window_contracts FILE), so the lint holds the scripts to them.
#include "game/app/windowtypes.h"

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
    return out ? 0 : 1;
}
