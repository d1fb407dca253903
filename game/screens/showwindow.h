// Shows or hides a window the screens found by name (null: nothing), and
// asks for it to be drawn again.
#pragma once

#include "engine/window/window.h"

inline void ShowWindow(TWindow* w, bool show)
{
    if (!w)
        return;
    if (show)
        w->AddFlags(TWindow::kVisible);
    else
        w->ClearFlags(TWindow::kVisible);
    w->InvalidateRect(nullptr);
}
