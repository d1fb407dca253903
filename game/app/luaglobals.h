// The nine Lua globals the game publishes to every screen script, and the
// two quit-confirmation flags that scripts set through them.
#pragma once

namespace game {

// Publishes SetVersion, AllowQuitCofirm, InQuitCofirm, QuitConfirmPause,
// CurrentlyInGame, SetTopModalOnly, ShowAnyCursor, HideMainMenu and
// LaunchPrivacyPolicy, in this order. The flags start false.
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
