// The engine entry on the SDL back end.
#include "engine/platform/platform.h"
#include "engine/platform/sdl/sdlbackend.h"

#include <memory>

int QuellmoorExec(int argc, char** argv, void (*mainFunction)(TPlatform*, const char*), bool flag)
{
    auto backend = std::make_unique<qm::TSdlBackend>();
    // A game with no window cannot be played nor closed: stop at once (the
    // back end has said why).
    if (!backend->HasDisplay())
        return 1;
    return qm::RunEngine(argc, argv, mainFunction, flag, std::move(backend));
}
