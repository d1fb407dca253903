// Plugs the GL display handler into the platform: the platform data owns
// this host, the host owns the handler, and the handler learns the pointer
// and the window's drawable size from the platform data through it.
#pragma once

#include "engine/platform/services.h"
#include "engine/render/gl/gldisplayhandler.h"

#include <memory>

class TGLDisplayHost : public IDisplayHost, public IPointerSource {
public:
    TGLDisplayHost(TPlatformData& platform, bool straightToWindow);
    ~TGLDisplayHost() override;

    TDisplayHandler* GetDisplayHandler() override { return mHandler.get(); }
    void SetDisplay(int width, int height, bool fullscreen) override;
    void RebuildDisplay() override { mHandler->RebuildDisplay(); }
    bool BeginDraw(bool keep) override;
    void EndDraw(bool swap) override;
    bool Begin2d() override { return mHandler->Begin2d(); }
    void End2d() override { mHandler->End2d(); }
    bool CanFade() override { return true; }
    void ShowLastFrame() override;
    void DrawFade(float blackness) override { mHandler->DrawFade(blackness); }

    TPoint GetMousePosition() override;
    bool ShouldDrawCursor() override;

private:
    void UpdateWindowSize();

    TPlatformData& mPlatform;
    std::unique_ptr<TGLDisplayHandler> mHandler;
};

namespace qm {

// Makes TPlatform::Init3d install the GL display handler. Call once before
// the engine starts (the game's main does, before QuellmoorExec). With
// straightToWindow, frames that redraw the whole screen skip the screen
// framebuffer (TGLDisplayHandler::SetStraightToWindow); programs that read
// the screen framebuffer back leave it off.
void InstallGLDisplayHost(bool straightToWindow = false);

}  // namespace qm
