// The platform's own record of one operating-system event, before the
// translation rules turn it into TEvents. Back ends fill it; TPlatformData
// translates it, so the rules are the same (and tested) on every back end.
#pragma once

#include <cstdint>

struct TRawEvent {
    enum EKind {
        kOther,          // anything the engine does not act on
        kKeyDown,        // press or auto-repeat
        kKeyUp,
        kText,           // characters typed, as the keyboard layout maps them
        kButtonDown,
        kButtonUp,
        kMouseMoved,     // moved or dragged
        kMouseEntered,
        kMouseExited,
        kWheel,
        kActivated,      // the application came to the front
        kDeactivated,
        kHidden,         // the window was hidden
        kShown,
        kCollapsed,      // the window was minimised
        kExpanded,       // and restored
        kBoundsChanged,  // moved or resized
        kWindowClosed,   // the user asked to close the window
        kQuit,           // the system asked the application to quit
        kDisplayChanged, // the screen configuration changed
    };

    // Mouse buttons, numbered as the translation rules use them.
    enum EButton {
        kPrimaryButton = 1,
        kSecondaryButton = 2,  // right
        kTertiaryButton = 3,   // middle
    };

    enum EAxis {
        kOtherAxis = 0,
        kHorizontalAxis = 1,
        kVerticalAxis = 2,
    };

    EKind kind = kOther;
    // Key events: the key's own byte (0 when the key stands for none).
    std::uint8_t character = 0;
    // Text events: the characters typed, UTF-8, zero-terminated.
    char text[32] = {};
    int button = 0;
    int axis = kOtherAxis;
    int delta = 0;
    // The mouse in pixels of the window's drawable, for every kind; the
    // platform data maps it into game coordinates.
    int x = 0;
    int y = 0;
    // TEvent modifier bits, sampled from the keyboard when the record was made.
    int modifiers = 0;
};
