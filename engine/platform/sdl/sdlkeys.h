// Keyboard translation for the SDL back end: the one byte a key stands for
// in key events, and the engine's modifier bits. The characters typed come
// from SDL's text input instead, so every layout types what its keys show.
#pragma once

#include <SDL2/SDL_keyboard.h>

#include <cstdint>

namespace qm::sdl {

// The byte the key stands for: its unshifted character (letters with Shift
// or Caps Lock upper-cased; Latin-1 for the accented letters of other
// layouts), or 0 for a key that stands for none (Shift alone, function
// keys...). Arrows and the editing keys give the engine's control codes:
// left 28, right 29, up 30, down 31, home 1, end 4, page up 11, page down 12,
// delete 127.
std::uint8_t KeyCharacter(SDL_Keycode key, Uint16 mod);

// TEvent modifier bits (1 Shift, 2 Control, 4 Alt) of SDL's modifier state.
int EngineModifiers(Uint16 mod);

}  // namespace qm::sdl
