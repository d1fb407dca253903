#include "game/screens/childwindows.h"

#include "game/screens/screenchildren.h"

namespace childwindows {

void Show(TWindow* root, const char* name, bool show) { screens::ShowChild(root, name, show); }

void SetText(TWindow* root, const char* name, const str& text) { screens::SetChildText(root, name, text); }

}  // namespace childwindows
