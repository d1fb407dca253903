// The corvellatrip executable: the engine with its display, sound, window
// system and window script, running the game's Main.
#include "engine/platform/platform.h"
#include "engine/render/gl/gldisplayhost.h"
#include "engine/script/windowscript.h"
#include "engine/sound/soundhost.h"
#include "engine/text/text_platform.h"
#include "engine/window/windowhost.h"
#include "game/app/gameapp.h"

int main(int argc, char** argv)
{
    qm::InstallGLDisplayHost();
    qm::InstallSoundHost();
    qm::InstallTextRendering();
    qm::InstallWindowSystem();
    qm::InstallWindowScript();
    QuellmoorExec(argc, argv, Main, false);
    return 0;
}
