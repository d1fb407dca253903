#include "engine/window/platformwindowdisplay.h"

#include "engine/platform/platform.h"
#include "engine/render/displayhandler.h"

TRect TPlatformWindowDisplay::GetViewport()
{
    TRect viewport;
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->GetViewport(&viewport);
    return viewport;
}

void TPlatformWindowDisplay::PushViewport(const TRect& r)
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->PushViewport(r.x1, r.y1, r.x2, r.y2);
}

void TPlatformWindowDisplay::PopViewport()
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->PopViewport();
}

void TPlatformWindowDisplay::FillRect(const TRect& r, const TColor& colour)
{
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->FillRect(r.x1, r.y1, r.x2, r.y2, &colour);
}

bool TPlatformWindowDisplay::KeepsLastFrame()
{
    TPlatform* platform = TPlatform::GetInstance();
    TDisplayHandler* handler = platform ? platform->GetDisplayHandler() : nullptr;
    return !handler || handler->KeepsLastFrame();
}
