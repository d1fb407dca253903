// The editors' named fields: a child of the editor, or else of the top modal
// window (the editor scripts may lay fields out beside the editor), used as a
// TText (a TTextEdit is one). A missing field is skipped; read, it is empty.
#pragma once

#include "engine/base/str.h"

class TButton;
class TText;
class TWindow;

namespace editors {

TText* FindField(TWindow* editor, const str& name);
void SetField(TWindow* editor, const str& name, const str& text);
str GetField(TWindow* editor, const str& name);
int GetIntField(TWindow* editor, const str& name);
float GetFloatField(TWindow* editor, const str& name);

TButton* FindToggle(TWindow* editor, const str& name);
void SetToggle(TWindow* editor, const str& name, bool on);
bool GetToggle(TWindow* editor, const str& name);

// Lua SetWindowText(name, text) sets a field of the editor: both editors
// publish this one function (owner "editor fields"), bound to the editor,
// so it reaches the most recently built one.
void PublishFieldFunctions(TWindow* editor);

}  // namespace editors
