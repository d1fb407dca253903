#include "engine/platform/quitsignal.h"

#include <atomic>
#include <csignal>

namespace qm {

namespace {

// Lock-free, so the handler may touch it; a counter rather than a flag so
// that each reader can tell a signal from one it saw before.
std::atomic<unsigned> gQuitSignals{0};
static_assert(std::atomic<unsigned>::is_always_lock_free);

extern "C" void OnQuitSignal(int)
{
    NoteQuitSignal();
}

void Handle(int signal)
{
    struct sigaction old {};
    if (sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN)
        return;
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

}  // namespace

void InstallQuitSignalHandlers()
{
    Handle(SIGTERM);
    Handle(SIGINT);
}

void NoteQuitSignal()
{
    gQuitSignals.fetch_add(1, std::memory_order_relaxed);
}

unsigned QuitSignals()
{
    return gQuitSignals.load(std::memory_order_relaxed);
}

namespace {
TCloseRequestProbe gCloseProbe = nullptr;  // main thread only, as the window
}  // namespace

void SetCloseRequestProbe(TCloseRequestProbe probe)
{
    gCloseProbe = probe;
}

bool CloseRequestWaiting()
{
    return gCloseProbe && gCloseProbe();
}

}  // namespace qm
