// The narrow seam between the glyph rasteriser and whatever shows its spans.
//
// The rasteriser itself is plain CPU code: it turns outlines into runs of
// constant coverage and either blends them into a locked BGRA surface
// (TSpanTarget) or hands them, two vertices a span, to a TTextDisplay that
// draws them as line primitives. The GL display handler realises TTextDisplay
// in the render module; tests use memory surfaces and fakes.
#pragma once

#include "engine/render/drawtypes.h"
#include "engine/text/text_types.h"

#include <cstdint>
#include <memory>
#include <vector>

// The rasteriser's vertices are the display handler's own screen-space
// vertex (pixels, y down, colour R G B A): spans go to DrawVertices as they are.
using TSpanVertex = TPreScaledTransformedLitVert;

// A surface whose 32-bit B, G, R, A pixels can be locked for writing.
class TSpanTarget {
public:
    virtual ~TSpanTarget() = default;
    virtual bool Lock(unsigned char** pixels, int* width, int* height, int* pitch) = 0;
    virtual void Unlock() = 0;
};

// A target in system memory: the rasteriser's output in tests and tools.
class TMemorySurface : public TSpanTarget {
public:
    TMemorySurface(int width, int height) : mWidth(width), mHeight(height), mPixels(size_t(width) * height * 4, 0) {}
    bool Lock(unsigned char** pixels, int* width, int* height, int* pitch) override;
    void Unlock() override {}

    int Width() const { return mWidth; }
    int Height() const { return mHeight; }
    // Byte `channel` (0 B, 1 G, 2 R, 3 A) of a pixel; 0 outside the surface.
    int At(int x, int y, int channel = 2) const;
    void Fill(uint8_t b, uint8_t g, uint8_t r, uint8_t a);
    std::vector<uint8_t>& Pixels() { return mPixels; }

private:
    int mWidth, mHeight;
    std::vector<uint8_t> mPixels;
};

// What the rasteriser needs from the display handler.
class TTextDisplay {
public:
    virtual ~TTextDisplay() = default;
    // Unbinds the current texture, so lines are drawn untextured.
    virtual void UnbindTexture() = 0;
    // Draws count / 2 horizontal lines (vertex pairs) with alpha blending.
    virtual void DrawLines(const TSpanVertex* vertices, int count) = 0;
    // The factor between the 800x600 layout and the window's pixels, when the
    // display scales its viewport; false when it does not.
    virtual bool GetViewPortScale(float* scale) { (void)scale; return false; }

    // Cached glyphs are drawn from an atlas: a lockable texture of coloured
    // coverage, shown as textured triangles (six vertices a quad, u v in
    // 0..1) blended like the lines, each texel as it is. A display without
    // one returns null and false, and glyphs stay lines.
    virtual std::shared_ptr<TSpanTarget> CreateGlyphAtlas(int width, int height)
    {
        (void)width, (void)height;
        return nullptr;
    }
    virtual bool DrawGlyphQuads(TSpanTarget* atlas, const TSpanVertex* vertices, int count)
    {
        (void)atlas, (void)vertices, (void)count;
        return false;
    }

    // Calibration needs an off-screen target to draw into and read back.
    virtual std::shared_ptr<TSpanTarget> CreateRenderTarget(int width, int height) = 0;
    virtual void FillRect(int left, int top, int right, int bottom, const TColor& colour, TSpanTarget* target) = 0;
    virtual bool BeginRenderTarget(TSpanTarget* target) = 0;
    virtual void EndRenderTarget() = 0;
    virtual bool Begin2d() = 0;
    virtual void End2d() = 0;
};
