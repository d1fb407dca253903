// What the game's screen classes do to the children their scripts built:
// find them by name at any depth (a missing one is skipped), show or hide
// them, set their texts from string-table labels or from outside text. A
// name that the parent's statement does not hold is logged
// (screencontract.h).
#pragma once

#include "engine/base/str.h"
#include "game/screens/screencontract.h"

class TText;
class TWindow;

namespace screens {

// The string-table text of a label, with its arguments ("%1%", "%2%") when
// it takes them ("" without a string table).
str Text(const str& label, const str& argument = str(), const str& second = str());
// The same with a whole number as its argument ("Goal: %1%").
str TextWithNumber(const str& label, int number);
// Outside text (server messages, downloaded names) made safe to show in a
// rich-text window: markup brackets become look-alike angle quotes, control
// bytes become blanks, and it is cut to at most maxBytes (on a character
// boundary, with "..." when cut), so it shows literally and cannot open a
// link or restyle the screen.
str PlainText(const str& text, int maxBytes = 400);

// The smallest font size SetTextOnOneLine steps down to.
constexpr int kSmallestOneLineSize = 10;
// Sets markup on a text window so that it stays on one line of its box: when
// it would wrap at the window's own font size, the size steps down until it
// fits (a name on a button, say, never runs over the button's edges).
void SetTextOnOneLine(TText* text, const str& markup);

TText* FindText(TWindow* parent, const char* name);
void ShowChild(TWindow* parent, const char* name, bool show);
bool IsChildShown(TWindow* parent, const char* name);
// Sets the text of a text child (nothing when missing); with onlyWhenChanged
// an equal text is left alone, so nothing is redrawn.
void SetChildText(TWindow* parent, const char* name, const str& text, bool onlyWhenChanged = false);
str GetChildText(TWindow* parent, const char* name);
// The same for a stated child's constant (screencontract.h).
inline TText* FindText(TWindow* parent, const contract::TChildSpec& child) { return FindText(parent, child.name); }
inline void ShowChild(TWindow* parent, const contract::TChildSpec& child, bool show)
{
    ShowChild(parent, child.name, show);
}
inline bool IsChildShown(TWindow* parent, const contract::TChildSpec& child)
{
    return IsChildShown(parent, child.name);
}
inline void SetChildText(TWindow* parent, const contract::TChildSpec& child, const str& text,
                         bool onlyWhenChanged = false)
{
    SetChildText(parent, child.name, text, onlyWhenChanged);
}
inline str GetChildText(TWindow* parent, const contract::TChildSpec& child) { return GetChildText(parent, child.name); }

}  // namespace screens
