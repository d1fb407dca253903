// Checks a player profile received from the save-game server before it
// replaces the player's own: the text must be the transport form that
// TPrefs::GetUserStr writes (Base64, quoted or not, of a "user" element), carry only
// the keys a player profile has, and hold sane values for each. A profile
// that fails is never installed.
#pragma once

#include "engine/base/str.h"

namespace screens {

// True when `text` may be installed; otherwise *why (when given) says what
// is wrong, for the log.
bool IsValidDownloadedProfile(const str& text, str* why = nullptr);

}  // namespace screens
