// The window core's drawing through the platform facade, which forwards it
// to the installed display handler (and does nothing without one). The
// window host installs it in the window manager.
#pragma once

#include "engine/window/windowdisplay.h"

class TPlatformWindowDisplay : public IWindowDisplay {
public:
    TRect GetViewport() override;
    void PushViewport(const TRect& r) override;
    void PopViewport() override;
    void FillRect(const TRect& r, const TColor& colour) override;
    bool KeepsLastFrame() override;
};
