// A display handler without a display that records the texture draws made
// through it, so tests can check where and how a texture was drawn. Its
// textures keep their pixels on the CPU like the headless back end.
#pragma once

#include "engine/render/displayhandler.h"
#include "engine/render/headlesstexturedata.h"

#include <optional>
#include <vector>

struct RecordedDraw {
    const TTextureData* data = nullptr;  // which texture drew
    bool sprite = false;                 // DrawSprite (else Draw)
    TVec2 pos;
    float alpha = 0, scaleX = 0, scaleY = 0, rotation = 0;
    std::optional<TVec2> centre;
    TColor colour;
    int flags = 0;
    std::optional<std::vector<float>> matrix;  // the 2x2 matrix and translation when given
    std::optional<TRect> source;
    // With RecordingHandler::keepPixels: the texture's surface as it was at
    // the draw (4 bytes a pixel, alpha last), and its size.
    std::vector<std::uint8_t> pixels;
    int surfaceWidth = 0, surfaceHeight = 0, imageWidth = 0, imageHeight = 0;
};

class RecordingHandler : public TDisplayHandler {
public:
    std::vector<RecordedDraw> draws;
    bool keepPixels = false;  // each draw keeps a copy of what it drew from

    bool Begin2d() override { return mIn2d = true; }
    void End2d() override { mIn2d = false; }
    std::unique_ptr<TTextureData> NewTextureData() override;

    void SetTexture(std::shared_ptr<TTexture>) override {}
    void SetMaterial(const TMaterial*) override {}
    void SetLight(int, const TLight*) override {}
    bool Begin3d() override { return false; }
    void End3d() override {}
    bool SetDisplay(int, int, bool, bool, bool, bool) override { return true; }
    void GetDisplay(int* width, int* height, bool* fullscreen) override
    {
        *width = 800;
        *height = 600;
        *fullscreen = false;
    }
    bool BeginDraw(bool) override { return true; }
    bool EndDraw(bool) override { return true; }
    void UpdateScreenRect(const TRect&, const TRect&) override {}
    void FillRect(int, int, int, int, const TColor*, std::shared_ptr<TTexture>) override {}
    void SetViewPort(int, int, int, int) override {}
    void GetViewport(int* l, int* t, int* r, int* b) override { *l = *t = 0, *r = 800, *b = 600; }
    void PushViewport(int, int, int, int) override {}
    void PopViewport() override {}
    bool BeginRenderTarget(TTexture*) override { return false; }
    void EndRenderTarget() override {}
    bool RenderTargetIsScreen() override { return true; }
    void SetShadeMode(EShadeModes) override {}
    void SetWorldMatrix(const TMat4*) override {}
    void SetViewMatrix(const TMat4*) override {}
    void SetProjectionMatrix(const TMat4*) override {}
    void SetBlendMode(EBlendModes) override {}
    void SetFilteringMode(EFilteringModes) override {}
    void SetZBufferWrite(bool) override {}
    void SetZBufferTest(bool) override {}
    void SetView(const TVec3&, const TVec3&, const TVec3&) override {}
    void SetPerspectiveProjection(float, float, float, float) override {}
    void SetOrthogonalProjection(float, float) override {}
    void GetWorldMatrix(TMat4*) override {}
    void GetViewMatrix(TMat4*) override {}
    void GetProjectionMatrix(TMat4*) override {}
    void SetCullMode(ECullModes) override {}
    void SetAmbientColor(const TColor&) override {}
    TPoint GetMouse() override { return {}; }
    void SetCursor(std::shared_ptr<TTexture>, TPoint) override {}
};
