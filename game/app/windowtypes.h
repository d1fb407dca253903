// The game's window classes under the type names that screen scripts use,
// and the game's two window factories.
#pragma once

namespace game {

// Registers the window types in their fixed order (a type whose class the
// game does not have yet is left out), then adopts "linktext" and "_button".
void RegisterWindowTypes();

}  // namespace game
