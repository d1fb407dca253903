// Texture data without a graphics device: the CPU copy is the only copy.
// Loading, sizes, palettes, masks, Lock/Unlock, FillRect and the copies
// between textures behave as on the GL back end; drawing to the screen draws
// nothing. Used when no display handler is installed, so the window system
// and the game are tested without a display.
#pragma once

#include "engine/render/texturedata.h"

class THeadlessTextureData : public TTextureData {
public:
    void Draw(float, float, float, float, const TRect*) override {}
    void DrawSprite(const TVec2&, float, float, float, float, const TVec2*, const TColor&, int, const float*,
                    const TRect*) override
    {
    }

protected:
    bool CreateDeviceSurface() override { return true; }
    void UploadPixels() override {}
    void UploadRect(const TRect&) override {}
    void DownloadPixels() override {}
    void DeviceFillRect(const TRect& rect, const TColor& colour) override;
    void DrawSurfaceToScreen(int, int, const TRect&) override {}
    void CopyToDevice(TTextureData& destination, int x, int y, const TRect& source) override;
};
