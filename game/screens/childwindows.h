// Screens find their children by name at any depth and skip a missing one
// silently: showing, hiding and setting a text go through these. A name
// that the root's statement does not hold is logged (screencontract.h).
#pragma once

#include "engine/base/str.h"

class TWindow;

namespace childwindows {

void Show(TWindow* root, const char* name, bool show);
void SetText(TWindow* root, const char* name, const str& text);

}  // namespace childwindows
