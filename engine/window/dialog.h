// TDialog: a modal window whose contents come from a dialog script. The
// body and title texts are handed to the script in gDialogTable; once built,
// the screen that waits for messages is made to wait for the dialog's close.
// A message whose name begins with "http=" opens the rest in the browser.
#pragma once

#include "engine/base/str.h"
#include "engine/window/modalwindow.h"

class TDialog : public TModalWindow {
public:
    TDialog(str script, str body, str title);

    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TModalWindow::IsKindOf(id); }

    bool Init() override;
    bool OnMessage(TMessage* m) override;

    const str& GetScriptName() const { return mScript; }
    const str& GetBody() const { return mBody; }
    const str& GetTitle() const { return mTitle; }

    // Lua source for a text: a long string [[...]] when the text allows it,
    // else a quoted string with the same value.
    static str LuaLiteral(const str& text);

private:
    void CentreOnScreen();

    str mScript;
    str mBody;
    str mTitle;
};
