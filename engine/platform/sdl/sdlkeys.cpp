#include "engine/platform/sdl/sdlkeys.h"

#include "engine/platform/event.h"


namespace qm::sdl {

namespace {

std::uint8_t editingKey(SDL_Keycode key)
{
    switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return TEvent::kEnter;
    case SDLK_ESCAPE: return TEvent::kEscape;
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return 9;
    case SDLK_DELETE: return 127;
    case SDLK_LEFT: return TEvent::kLeft;
    case SDLK_RIGHT: return TEvent::kRight;
    case SDLK_UP: return 30;
    case SDLK_DOWN: return 31;
    case SDLK_HOME: return 1;
    case SDLK_END: return 4;
    case SDLK_PAGEUP: return 11;
    case SDLK_PAGEDOWN: return 12;
    default: return 0;
    }
}

std::uint8_t keypadKey(SDL_Keycode key)
{
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return static_cast<std::uint8_t>('1' + (key - SDLK_KP_1));
    switch (key) {
    case SDLK_KP_0: return '0';
    case SDLK_KP_PERIOD: return '.';
    case SDLK_KP_DIVIDE: return '/';
    case SDLK_KP_MULTIPLY: return '*';
    case SDLK_KP_MINUS: return '-';
    case SDLK_KP_PLUS: return '+';
    default: return 0;
    }
}

}  // namespace

std::uint8_t KeyCharacter(SDL_Keycode key, Uint16 mod)
{
    if (std::uint8_t code = editingKey(key))
        return code;
    if (std::uint8_t code = keypadKey(key))
        return code;
    const bool shift = (mod & KMOD_SHIFT) != 0;
    const bool upper = shift != ((mod & KMOD_CAPS) != 0);
    if (key >= 'a' && key <= 'z')
        return static_cast<std::uint8_t>(upper ? key - 'a' + 'A' : key);
    if (key >= ' ' && key <= '~')
        return static_cast<std::uint8_t>(key);
    // Layouts with accented letters report them as their code point.
    if (key >= 0xA0 && key <= 0xFF) {
        bool lowerLetter = key >= 0xE0 && key != 0xF7 && key != 0xFF;
        return static_cast<std::uint8_t>(upper && lowerLetter ? key - 0x20 : key);
    }
    return 0;
}

int EngineModifiers(Uint16 mod)
{
    int bits = 0;
    if (mod & KMOD_SHIFT)
        bits |= TEvent::kShiftKey;
    if (mod & KMOD_CTRL)
        bits |= TEvent::kControlKey;
    if (mod & KMOD_ALT)
        bits |= TEvent::kOptionKey;
    return bits;
}

}  // namespace qm::sdl
