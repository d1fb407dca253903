#include "engine/render/gl/gldisplayhost.h"

#include "engine/platform/platformdata.h"

TGLDisplayHost::TGLDisplayHost(TPlatformData& platform, bool straightToWindow)
    : mPlatform(platform), mHandler(std::make_unique<TGLDisplayHandler>())
{
    mHandler->SetPointerSource(this);
    mHandler->SetStraightToWindow(straightToWindow);
}

TGLDisplayHost::~TGLDisplayHost()
{
    // The handler deletes GL objects: the context must be current.
    mPlatform.Backend().MakeCurrent();
    mHandler.reset();
}

void TGLDisplayHost::UpdateWindowSize()
{
    int width = 0, height = 0;
    mPlatform.GetDrawableSize(&width, &height);
    if (width > 0 && height > 0)
        mHandler->SetWindowSize(width, height);
}

void TGLDisplayHost::SetDisplay(int width, int height, bool fullscreen)
{
    UpdateWindowSize();
    mHandler->SetDisplay(width, height, fullscreen, false, false, false);
}

bool TGLDisplayHost::BeginDraw(bool keep)
{
    // The window may have been resized or switched to full screen since the
    // last frame: whether the frame goes straight to the window, and how the
    // present letterboxes it, follow its size now.
    UpdateWindowSize();
    return mHandler->BeginDraw(keep);
}

void TGLDisplayHost::EndDraw(bool swap)
{
    mHandler->EndDraw(swap);
}

void TGLDisplayHost::ShowLastFrame()
{
    UpdateWindowSize();
    mHandler->ShowLastFrame();
}

TPoint TGLDisplayHost::GetMousePosition()
{
    // Asked anew each frame, so the cursor is drawn where the pointer is
    // even when it got there by a warp that sent no motion.
    TPoint point;
    mPlatform.GetMousePosition(&point.x, &point.y);
    return point;
}

bool TGLDisplayHost::ShouldDrawCursor()
{
    return mPlatform.IsActive() && mPlatform.IsCursorShown() && mPlatform.IsMouseInContent();
}

namespace qm {

void InstallGLDisplayHost(bool straightToWindow)
{
    PlatformHooks().makeDisplayHost = [straightToWindow](TPlatformData& platform) -> std::unique_ptr<IDisplayHost> {
        return std::make_unique<TGLDisplayHost>(platform, straightToWindow);
    };
}

}  // namespace qm
