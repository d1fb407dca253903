// Showing or hiding a window: the one place that does it, for every window
// the code holds or finds by name (game/screens' ShowChild finds one by name
// through its screen's statement). A null window is left alone, so a child
// that a screen's script did not build costs nothing; a window already shown
// (or hidden) is not asked to be drawn again.
#pragma once

#include "engine/window/window.h"

inline void ShowWindow(TWindow* window, bool show)
{
    if (!window || window->IsVisible() == show)
        return;
    if (show)
        window->AddFlags(TWindow::kVisible);
    else
        window->ClearFlags(TWindow::kVisible);
    window->InvalidateRect(nullptr);
}
