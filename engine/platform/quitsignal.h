// SIGTERM and SIGINT as the engine sees them: a counter that the signal
// handler bumps. The event loop reads it to quit cleanly (save, then exit),
// and the script watchdog reads it to stop a script that would otherwise
// keep the event loop from ever seeing it.
#pragma once

namespace qm {

// Installs the handler for SIGTERM and SIGINT (a signal the process was
// started with ignored stays ignored). Only the SDL back end calls it: a
// test process keeps its signals.
void InstallQuitSignalHandlers();

// What the handler does; async-signal-safe. Tests call it to stand for a signal.
void NoteQuitSignal();

// How many quit signals arrived so far: compare with an earlier reading.
unsigned QuitSignals();

// A close request (the window's close button) that waits in the window
// system's queue while the event loop cannot take it, because a script holds
// the loop: the script watchdog asks, so that the close button reaches the
// game as a signal does. The back end that has a window sets the probe (it
// looks without taking the request: the loop still gets it); null unsets it.
using TCloseRequestProbe = bool (*)();
void SetCloseRequestProbe(TCloseRequestProbe probe);
// False without a probe.
bool CloseRequestWaiting();

}  // namespace qm
