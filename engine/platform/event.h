// TEvent: the engine's own input record. The platform turns every operating-
// system event into one or two of these; everything above the platform sees
// only TEvent.
#pragma once

#include <cstdint>

struct TEvent {
    enum EType : std::int32_t {
        kIdle = 1,
        kCloseRequest = 4,   // the window's close button, when the game asked for it (SetCloseRequests)
        kQuit = 5,
        kMouseDown = 6,      // primary button
        kExtendedMouse = 7,  // other button or wheel: mParam is a TPlatform::ExtendedMouseEvents
        kMouseUp = 8,        // any button
        kMouseMove = 9,
        kMouseLeave = 10,
        kKeyDown = 12,       // mParam: the character, upper-cased
        kKeyUp = 13,         // mParam: the character, upper-cased
        kChar = 14,          // mParam: the character as typed
        kActivate = 18,      // mParam: 1 activated or expanded, 0 deactivated or collapsed
        kDisplayChanged = 19,  // the full-screen toggle (Alt+Return) switched the display mode
    };

    // Modifier bits of mModifiers.
    enum EModifiers : std::int32_t {
        kShiftKey = 1,
        kControlKey = 2,
        kOptionKey = 4,  // Alt
    };

    // Key codes shared with the rest of the engine. A key event never carries
    // 0: that value means "paste" to text handlers.
    static constexpr std::int32_t kEscape = 27;
    static constexpr std::int32_t kEnter = 13;
    static constexpr std::int32_t kLeft = 28;
    static constexpr std::int32_t kRight = 29;
    static constexpr std::int32_t kPaste = 0;

    std::int32_t mType = kIdle;
    std::int32_t mParam = 0;
    std::int32_t mX = 0;  // game coordinates: pixels from the left edge
    std::int32_t mY = 0;  // pixels from the top edge, growing downwards
    std::int32_t mModifiers = 0;
};

static_assert(sizeof(TEvent) == 5 * sizeof(std::int32_t), "TEvent is five 32-bit integers");
