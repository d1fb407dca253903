// The corvellatrip executable: the engine with its display, sound, window
// system and window script, running the game's Main.
#include "engine/assembly/assembly.h"
#include "engine/platform/platform.h"
#include "game/app/gameapp.h"

int main(int argc, char** argv)
{
    qm::InstallEngine();
    // Non-zero when the engine could not start (no display).
    return QuellmoorExec(argc, argv, Main, false);
}
