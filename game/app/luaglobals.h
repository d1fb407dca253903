// The Lua globals the game publishes to every screen script, and the two
// quit-confirmation flags that scripts set through them.
#pragma once

#include "game/screens/screencontract.h"

namespace game {

// What the start-up shares with the scripts: the globals, and the windows
// they and the close request find by name.
extern const contract::TScreenSpec kMainContract;

// Publishes SetVersion, AllowQuitCofirm, InQuitCofirm, QuitConfirmPause,
// CurrentlyInGame, ShowAnyCursor, HideMainMenu and LaunchPrivacyPolicy, in
// this order; SetTopModalOnly, the ninth global scripts see, is the window
// manager's (engine/window). The flags start false.
void PublishGameGlobals();

// Whether a close request opens the confirmation script (AllowQuitCofirm).
bool IsQuitConfirmAllowed();
// Whether the confirmation is showing (InQuitCofirm).
bool IsInQuitConfirm();
// Clears the flag of a confirmation that can no longer answer (its script
// failed or ended without clearing it).
void ClearInQuitConfirm();

// Where LaunchPrivacyPolicy goes.
extern const char* const kPrivacyPolicyAddress;

}  // namespace game
