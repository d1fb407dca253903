// What game/play/game.cpp still calls to show, hide or fill a child by name:
// the same as screenchildren.h's ShowChild and SetChildText, which do the
// work. New code calls those (with the child's constant) instead.
#pragma once

#include "engine/base/str.h"

class TWindow;

namespace childwindows {

void Show(TWindow* root, const char* name, bool show);
void SetText(TWindow* root, const char* name, const str& text);

}  // namespace childwindows
