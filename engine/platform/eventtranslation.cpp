// TPlatformData's event loop: the event stack, the translation of raw
// operating-system events into TEvents, and the idle pass.
#include "engine/platform/platformdata.h"

#include "engine/base/debuglog.h"
#include "engine/platform/platform.h"
#include "engine/platform/quitsignal.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

// Upper-casing maps a-z to A-Z and leaves every other byte alone.
std::int32_t upperCased(std::int32_t c)
{
    return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c;
}

// Key codes travel as the signed 8-bit value of their byte.
std::int32_t signedByte(std::uint8_t byte)
{
    return static_cast<std::int8_t>(byte);
}

// The editing keys' codes (Enter, Backspace, Tab, arrows...) are the only
// characters key presses type; all others come as text.
bool isControlCode(std::int32_t c)
{
    return c >= 0 && (c < 32 || c == 127);
}

// The code points of UTF-8 text; a malformed sequence is skipped byte by
// byte, so only whole characters come out.
std::vector<std::int32_t> codePoints(const char* text, size_t size)
{
    std::vector<std::int32_t> out;
    size_t i = 0;
    while (i < size && text[i] != '\0') {
        const auto lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
        std::int32_t code = length == 1 ? lead : length == 0 ? 0 : lead & (0x7F >> length);
        bool whole = length != 0 && i + length <= size;
        for (size_t k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            whole = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (!whole) {
            ++i;
            continue;
        }
        out.push_back(code);
        i += length;
    }
    return out;
}

}  // namespace

void TPlatformData::GetEvent(TEvent* ev)
{
    if (!ev)
        return;
    if (!mEvents.empty()) {
        *ev = mEvents.back();
        mEvents.pop_back();
        return;
    }
    // SIGTERM or SIGINT: the same clean way out as a quit from the desktop.
    if (!mQuitRequested && qm::QuitSignals() != mQuitSignalsSeen) {
        WriteDbg("Asked to quit by a signal");
        mQuitRequested = true;
    }
    // Once the application was told to quit, it stays told.
    if (mQuitRequested) {
        *ev = TEvent{TEvent::kQuit, 0, 0, 0, mBackend->Modifiers()};
        return;
    }
    TRawEvent raw;
    if (mBackend->WaitEvent(&raw, kEventWaitMs)) {
        QueueEvent(raw);
        *ev = mEvents.back();
        mEvents.pop_back();
        return;
    }
    idlePass();
    *ev = TEvent{TEvent::kIdle, 0, 0, 0, mBackend->Modifiers()};
}

void TPlatformData::idlePass()
{
    // An inactive application sleeps longer on every idle pass, up to a
    // second; the first active pass is at full speed again.
    if (!mActive) {
        mIdleSleepMs = std::min(mIdleSleepMs + kInactiveSleepStepMs, kInactiveSleepMaxMs);
        mBackend->Sleep(mIdleSleepMs);
    } else {
        mIdleSleepMs = 0;
    }
    if (mFullscreen && mActive)
        mBackend->RaiseWindow();
    if (mSoundHost)
        mSoundHost->HandleNotifications();
    mTaskList.DoAll(TTask::kEventContext);
    keepFadeMoving();
}

void TPlatformData::push(std::int32_t type, std::int32_t param, int x, int y, int modifiers)
{
    mEvents.push_back(TEvent{type, param, x, y, modifiers});
}

void TPlatformData::QueueEvent(const TRawEvent& windowRaw)
{
    // Positions come in the window's pixels; everything above the platform
    // sees the game's frame, wherever the window shows it now.
    TRawEvent raw = windowRaw;
    WindowToGame(windowRaw.x, windowRaw.y, &raw.x, &raw.y);
    const int mods = raw.modifiers;
    switch (raw.kind) {
    case TRawEvent::kKeyDown:
    case TRawEvent::kKeyUp:
        translateKey(raw);
        return;
    case TRawEvent::kText:
        translateText(raw);
        return;
    case TRawEvent::kButtonDown:
        translateButtonDown(raw);
        return;
    case TRawEvent::kButtonUp:
        // Pushed first, so returned after the up.
        push(TEvent::kMouseMove, 0, raw.x, raw.y, mods);
        push(TEvent::kMouseUp, 0, raw.x, raw.y, mods);
        return;
    case TRawEvent::kMouseMoved:
        push(TEvent::kMouseMove, 0, raw.x, raw.y, mods);
        return;
    case TRawEvent::kMouseEntered:
        hideSystemCursor();
        break;
    case TRawEvent::kMouseExited:
        mBackend->SetArrowCursor();
        if (!mBackend->IsSystemCursorVisible() && !IsMouseInContent())
            mBackend->ShowSystemCursor(true);
        push(TEvent::kMouseLeave, 0, raw.x, raw.y, mods);
        return;
    case TRawEvent::kWheel:
        translateWheel(raw);
        return;
    case TRawEvent::kActivated:
    case TRawEvent::kExpanded:
        setActive(true, mods);
        return;
    case TRawEvent::kDeactivated:
        if (mActive && mFullscreen)
            mBackend->MinimizeWindow();
        setActive(false, mods);
        return;
    case TRawEvent::kCollapsed:
        if (!mBackend->IsSystemCursorVisible() && !IsMouseInContent())
            mBackend->ShowSystemCursor(true);
        setActive(false, mods);
        return;
    case TRawEvent::kHidden:
        if (mFullscreen && !mHiddenWhileFullscreen) {
            pauseSounds(true);
            mHiddenWhileFullscreen = true;
        }
        break;
    case TRawEvent::kShown:
        if (mFullscreen && mHiddenWhileFullscreen) {
            pauseSounds(false);
            mHiddenWhileFullscreen = false;
        }
        break;
    case TRawEvent::kDisplayChanged:
        if (mDisplayHost)
            mDisplayHost->RebuildDisplay();
        break;
    case TRawEvent::kWindowClosed:
        if (mCloseRequests) {
            push(TEvent::kCloseRequest, 0, 0, 0, mods);
            return;
        }
        mQuitRequested = true;
        break;
    case TRawEvent::kQuit:
        mQuitRequested = true;
        break;
    case TRawEvent::kBoundsChanged:
        // Mapping and the present follow the drawable by themselves; the
        // size is noted so a window the desktop resized shows in the log.
        noteDrawableSize();
        break;
    case TRawEvent::kOther:
        break;
    }
    pushIdle(mods);
}

void TPlatformData::translateKey(const TRawEvent& raw)
{
    const std::int32_t character = signedByte(raw.character);
    const std::int32_t upper = upperCased(character);
    // A key that types nothing makes no key event: code 0 would read as paste.
    if (character == 0) {
        pushIdle(raw.modifiers);
        return;
    }
    if (raw.kind == TRawEvent::kKeyUp) {
        push(TEvent::kKeyUp, upper, raw.x, raw.y, raw.modifiers);
        return;
    }
    if (upper == TEvent::kEnter && (raw.modifiers & TEvent::kOptionKey)) {
        // The program learns of the new mode (to remember it) from the event.
        const bool wasFullscreen = mFullscreen;
        SetFullscreen(!mFullscreen);
        if (mFullscreen != wasFullscreen)
            push(TEvent::kDisplayChanged, 0, 0, 0, raw.modifiers);
        else
            pushIdle(raw.modifiers);
        return;
    }
    // Pushed first, so the caller receives the key down before its character.
    if (isControlCode(character))
        push(TEvent::kChar, character, raw.x, raw.y, raw.modifiers);
    push(TEvent::kKeyDown, upper, raw.x, raw.y, raw.modifiers);
}

void TPlatformData::translateText(const TRawEvent& raw)
{
    const std::vector<std::int32_t> codes = codePoints(raw.text, sizeof raw.text);
    // Control characters come with their keys; text never repeats them.
    std::vector<std::int32_t> typed;
    std::copy_if(codes.begin(), codes.end(), std::back_inserter(typed), [](std::int32_t c) { return !isControlCode(c); });
    if (typed.empty()) {
        pushIdle(raw.modifiers);
        return;
    }
    // The stack gives the newest first: the last character goes on first.
    for (auto it = typed.rbegin(); it != typed.rend(); ++it)
        push(TEvent::kChar, *it, raw.x, raw.y, raw.modifiers);
}

void TPlatformData::translateButtonDown(const TRawEvent& raw)
{
    int button = raw.button;
    if (raw.modifiers & TEvent::kControlKey)
        button = TRawEvent::kSecondaryButton;
    else if (raw.modifiers & TEvent::kOptionKey)
        button = TRawEvent::kTertiaryButton;
    switch (button) {
    case TRawEvent::kPrimaryButton:
        push(TEvent::kMouseDown, 0, raw.x, raw.y, raw.modifiers);
        break;
    case TRawEvent::kSecondaryButton:
        push(TEvent::kExtendedMouse, TPlatform::kRightMouseDown, raw.x, raw.y, raw.modifiers);
        break;
    case TRawEvent::kTertiaryButton:
        push(TEvent::kExtendedMouse, TPlatform::kMiddleMouseDown, raw.x, raw.y, raw.modifiers);
        break;
    default:
        pushIdle(raw.modifiers);
        break;
    }
}

void TPlatformData::translateWheel(const TRawEvent& raw)
{
    std::int32_t param = TPlatform::kOtherWheel;
    if (raw.axis == TRawEvent::kHorizontalAxis)
        param = raw.delta >= 0 ? TPlatform::kHorizontalWheelUp : TPlatform::kHorizontalWheelDown;
    else if (raw.axis == TRawEvent::kVerticalAxis)
        param = raw.delta >= 0 ? TPlatform::kVerticalWheelUp : TPlatform::kVerticalWheelDown;
    push(TEvent::kExtendedMouse, param, raw.x, raw.y, raw.modifiers);
}

void TPlatformData::setActive(bool active, int modifiers)
{
    // Only a real change is reported: the window system sends focus and
    // minimise notices in pairs, and listeners pause the game on each one.
    if (active == mActive) {
        pushIdle(modifiers);
        return;
    }
    mActive = active;
    pauseSounds(!active);
    if (active && mFullscreen)
        hideSystemCursor();
    push(TEvent::kActivate, active ? 1 : 0, 0, 0, modifiers);
}
