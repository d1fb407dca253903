// The engine entry: start-up, the one call of the game's Main, teardown.
#include "engine/base/debuglog.h"
#include "engine/base/folders.h"
#include "engine/platform/platform.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace qm {

str BuildCommandLine(int argc, char** argv)
{
    str line;
    for (int i = 0; i < argc; ++i) {
        if (argv && argv[i])
            line += str(argv[i]);
        line += str(" ");
    }
    return line;
}

// Pictures and sounds come and go in blocks of a megabyte or more with
// every party and every level. glibc would serve them from the heap once a
// block of that size has been freed (its mmap threshold follows the largest
// freed block), and a heap cannot give back memory with live blocks above
// it: the resident size then grows with every new level played. Blocks from
// 256 KiB up always get pages of their own, returned when freed.
static void KeepBigBlocksOutOfTheHeap()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}

void ReturnFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

// Makes the resource folder the working directory: every resource name is
// relative to it. Returns the folder (its full path once entered) and, in
// `error`, why it could not be entered (ENOENT when none was found): the game
// tells the player, as it cannot run without its files.
static str EnterResourceFolder(const char* executablePath, int* error)
{
    *error = 0;
    const str folder = FindResourceFolder(executablePath);
    if (folder.length() == 0) {
        *error = ENOENT;
        const str expected = ExpectedResourceFolder(executablePath);
        WriteDbg("No resource folder was found (none at %s)", expected.c_str());
        return expected;
    }
    if (::chdir(folder.c_str()) != 0) {
        *error = errno;
        WriteDbg("Cannot enter the resource folder %s (%s)", folder.c_str(), std::strerror(*error));
        return folder;
    }
    char here[4096];
    return ::getcwd(here, sizeof here) ? str(here) : folder;
}

int RunEngine(int argc, char** argv, void (*mainFunction)(TPlatform*, const char*), bool flag,
              std::unique_ptr<IPlatformBackend> backend)
{
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    KeepBigBlocksOutOfTheHeap();

    int resourcesError = 0;
    const str resources = EnterResourceFolder(argc > 0 && argv ? argv[0] : nullptr, &resourcesError);

    // TPlatform owns its data and deletes it first thing in its destructor.
    auto platform = std::make_unique<TPlatform>(new TPlatformData(argc, argv, flag, std::move(backend)));
    TPlatformData* data = platform->GetPlatformData();
    data->SetMainFunction(mainFunction);
    data->SetCommandLine(BuildCommandLine(argc, argv));
    data->SetResourceFolder(resources, resourcesError);

    platform->CreateApplicationWindow();
    platform->InitSound();
    platform->Init3d();

    if (mainFunction)
        mainFunction(platform.get(), data->GetCommandLine().c_str());

    platform.reset();
    return 0;
}

}  // namespace qm
