// The engine entry on the SDL back end.
#include "engine/platform/platform.h"
#include "engine/platform/sdl/sdlbackend.h"

#include <memory>

int QuellmoorExec(int argc, char** argv, void (*mainFunction)(TPlatform*, const char*), bool flag)
{
    return qm::RunEngine(argc, argv, mainFunction, flag, std::make_unique<qm::TSdlBackend>());
}
