// Window messages: button presses, close requests, slider moves and the like,
// posted to the window manager's queue or sent straight to a window.
#pragma once

#include "engine/base/classid.h"
#include "engine/base/str.h"

class TWindow;

// Message types. Types 1 to 6 are also constants of the screen library.
enum EMessageType {
    kCloseWindow = 1,      // name: id text of the modal to close
    kDefaultAction = 2,    // Enter in a modal that no default button took
    kButtonPress = 3,      // name: the button's window name
    kPressAnyKey = 4,      // "mouse:up" or "raw:" + key character
    kQuitNow = 5,          // dispatching it ends the program
    kModalClosed = 6,      // name: id text of the modal that is gone
    kTextChanged = 7,      // name: the text edit's window name
    kLuaButtonAction = 8,  // name: "LuaAction:" + the button's window name
    kSliderMoved = 901,
    kSliderReleased = 902,
    kSliderPageBack = 903,
    kSliderPageForward = 904,
    kAppDeactivated = 1000,
};

// A modal window is addressed by its numeric id in lower-case hexadecimal,
// right-aligned in eight columns ("      1a"); sender and receiver both format
// the id this way and compare the texts.
str FormatWindowId(int id);

class TMessage {
public:
    TMessage(int type, str name, TWindow* target);
    virtual ~TMessage() = default;

    static TClassId ClassId();
    virtual bool IsKindOf(TClassId id) const { return id == ClassId(); }

    int GetType() const { return mType; }
    const str& GetName() const { return mName; }
    // Null for an undirected message.
    TWindow* GetTarget() const { return mTarget; }
    void SetTarget(TWindow* target) { mTarget = target; }

private:
    int mType;
    str mName;
    TWindow* mTarget;
};
