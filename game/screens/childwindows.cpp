#include "game/screens/childwindows.h"

#include "engine/window/text.h"
#include "engine/window/window.h"
#include "game/screens/screencontract.h"

namespace childwindows {

void Show(TWindow* root, const char* name, bool show)
{
    contract::Check(root, name);
    TWindow* child = root ? root->GetChildWindow(name, -1) : nullptr;
    if (!child)
        return;
    if (show)
        child->AddFlags(TWindow::kVisible);
    else
        child->ClearFlags(TWindow::kVisible);
    child->InvalidateRect(nullptr);
}

void SetText(TWindow* root, const char* name, const str& text)
{
    contract::Check(root, name);
    if (auto* label = ::GetCast<TText>(root ? root->GetChildWindow(name, -1) : nullptr))
        label->SetText(text);
}

}  // namespace childwindows
