// Text on the engine's display: the adapters between the span rasteriser's
// seam (text_display.h) and the platform facade, the display handler and
// textures, and the display-host wrapper that brings the rasteriser up.
//
// qm::InstallEngine (engine/assembly) calls qm::InstallGLDisplayHost() and
// then qm::InstallTextRendering() before QuellmoorExec. The first SetDisplay then creates the font cache and
// the rasteriser, installs them as the text services and calibrates the
// rasteriser against the display (Calibrate logs "TEXT CALIBRATION ...").
#pragma once

#include "engine/platform/services.h"
#include "engine/text/fontdata.h"
#include "engine/text/minivecdraw.h"

#include <memory>

class TTexture;

// A texture as a span target: Lock and Unlock go to the texture.
class TTextureSpanTarget : public TSpanTarget {
public:
    explicit TTextureSpanTarget(std::shared_ptr<TTexture> texture) : mTexture(std::move(texture)) {}
    bool Lock(unsigned char** pixels, int* width, int* height, int* pitch) override;
    void Unlock() override;
    const std::shared_ptr<TTexture>& Texture() const { return mTexture; }

private:
    std::shared_ptr<TTexture> mTexture;
};

// The rasteriser's display: the platform facade (so the 2D state checks
// apply) and the display handler behind it.
class TPlatformTextDisplay : public TTextDisplay {
public:
    void UnbindTexture() override;
    void DrawLines(const TSpanVertex* vertices, int count) override;
    bool GetViewPortScale(float* scale) override;
    std::shared_ptr<TSpanTarget> CreateGlyphAtlas(int width, int height) override;
    bool DrawGlyphQuads(TSpanTarget* atlas, const TSpanVertex* vertices, int count) override;
    std::shared_ptr<TSpanTarget> CreateRenderTarget(int width, int height) override;
    void FillRect(int left, int top, int right, int bottom, const TColor& colour, TSpanTarget* target) override;
    bool BeginRenderTarget(TSpanTarget* target) override;
    void EndRenderTarget() override;
    bool Begin2d() override;
    void End2d() override;
};

// Wraps the display host: on the first SetDisplay it creates the text
// services and calibrates; they live as long as the host.
class TTextDisplayHost : public IDisplayHost {
public:
    explicit TTextDisplayHost(std::unique_ptr<IDisplayHost> inner) : mInner(std::move(inner)) {}
    ~TTextDisplayHost() override;

    TDisplayHandler* GetDisplayHandler() override { return mInner->GetDisplayHandler(); }
    void SetDisplay(int width, int height, bool fullscreen) override;
    void RebuildDisplay() override { mInner->RebuildDisplay(); }
    bool BeginDraw(bool clear) override { return mInner->BeginDraw(clear); }
    void EndDraw(bool swap) override { mInner->EndDraw(swap); }
    bool Begin2d() override { return mInner->Begin2d(); }
    void End2d() override { mInner->End2d(); }
    bool CanFade() override { return mInner->CanFade(); }
    void ShowLastFrame() override { mInner->ShowLastFrame(); }
    void DrawFade(float blackness) override { mInner->DrawFade(blackness); }

    TQmMiniVecDraw* GetRasterizer() { return mRasterizer.get(); }

private:
    std::unique_ptr<IDisplayHost> mInner;
    std::unique_ptr<TFontData> mFonts;
    std::unique_ptr<TPlatformTextDisplay> mDisplay;
    std::unique_ptr<TQmMiniVecDraw> mRasterizer;
};

namespace qm {

// Wraps the display host that PlatformHooks() makes (install that first).
void InstallTextRendering();

}  // namespace qm
