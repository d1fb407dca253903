// Opening a web page from a screen: the platform's browser, and when none
// could be started the window script hears of it (its global function
// OnBrowserFailed, when it defines one), so that the screen can tell the
// player instead of doing nothing.
#pragma once

namespace qm {

// True when a browser was started with the address.
bool OpenWebPage(const char* url);

}  // namespace qm
