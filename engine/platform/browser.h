// Opening web pages: only http and https addresses, handed to xdg-open as one
// argument (no shell ever sees the address).
#pragma once

namespace qm {

// True for "http://..." or "https://..." (scheme case-insensitive) with no
// control characters.
bool IsWebAddress(const char* url);

// Starts xdg-open with the address; false when it could not be started or
// answered at once that it found no browser (a non-zero exit status).
bool SpawnBrowser(const char* url);

}  // namespace qm
