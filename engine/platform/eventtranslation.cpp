// TPlatformData's event loop: the event stack, the translation of raw
// operating-system events into TEvents, and the idle pass.
#include "engine/platform/platformdata.h"

#include "engine/platform/platform.h"

#include <algorithm>

namespace {

// Upper-casing maps a-z to A-Z and leaves every other byte alone.
std::int32_t upperCased(std::int32_t c)
{
    return (c >= 'a' && c <= 'z') ? c - ('a' - 'A') : c;
}

// Characters travel as the signed 8-bit value of their byte.
std::int32_t signedByte(std::uint8_t byte)
{
    return static_cast<std::int8_t>(byte);
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
}

void TPlatformData::push(std::int32_t type, std::int32_t param, int x, int y, int modifiers)
{
    mEvents.push_back(TEvent{type, param, x, y, modifiers});
}

void TPlatformData::QueueEvent(const TRawEvent& raw)
{
    const int mods = raw.modifiers;
    switch (raw.kind) {
    case TRawEvent::kKeyDown:
    case TRawEvent::kKeyUp:
        translateKey(raw);
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
    push(TEvent::kChar, character, raw.x, raw.y, raw.modifiers);
    push(TEvent::kKeyDown, upper, raw.x, raw.y, raw.modifiers);
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
