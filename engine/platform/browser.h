// Opening web pages: only http and https addresses, handed to xdg-open as one
// argument (no shell ever sees the address).
#pragma once

namespace qm {

// True for "http://..." or "https://..." (scheme case-insensitive) with no
// control characters.
bool IsWebAddress(const char* url);

// Starts xdg-open with the address; false when it could not be started.
bool SpawnBrowser(const char* url);

}  // namespace qm
