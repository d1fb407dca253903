// The display handler: the one object through which the engine touches the
// graphics library. TGLDisplayHandler (gl/) is the realisation the game runs
// on; with none installed, textures fall back to CPU-only data so they load
// and lock in tests without a display.
#pragma once

#include "engine/base/str.h"
#include "engine/render/drawtypes.h"

#include <memory>

class TTexture;
class TTextureData;

// Where the handler learns about the pointer: position in display pixels and
// whether a cursor should be drawn at all (application active, cursor shown,
// pointer over the content). The platform provides it.
class IPointerSource {
public:
    virtual ~IPointerSource() = default;
    virtual TPoint GetMousePosition() = 0;
    virtual bool ShouldDrawCursor() = 0;
};

class TDisplayHandler {
public:
    // The installed handler, or null. A handler installs itself on construction.
    static TDisplayHandler* GetInstance();

    TDisplayHandler();
    virtual ~TDisplayHandler();
    TDisplayHandler(const TDisplayHandler&) = delete;
    TDisplayHandler& operator=(const TDisplayHandler&) = delete;

    virtual bool IntersectTriangle(TVec3*, TVec3*, TVec3*, TVec3*, TVec3*, float*, TVec3*) { return false; }
    virtual void SetTexture(std::shared_ptr<TTexture> texture) = 0;
    virtual void SetMaterial(const TMaterial* material) = 0;
    virtual void SetLight(int index, const TLight* light) = 0;
    virtual str GetSystemData() { return str(); }
    virtual bool Begin2d() = 0;
    virtual void End2d() = 0;
    virtual bool Begin3d() = 0;
    virtual void End3d() = 0;
    virtual bool SetDisplay(int width, int height, bool fullscreen, bool a, bool b, bool c) = 0;
    virtual void GetDisplay(int* width, int* height, bool* fullscreen) = 0;
    virtual bool SetFullscreen(bool) { return true; }
    virtual bool IsFullscreen() { return false; }
    virtual bool BeginDraw(bool keep) = 0;
    virtual bool EndDraw(bool showCursor) = 0;
    virtual void UpdateScreenRect(const TRect& destination, const TRect& source) = 0;
    virtual void FillRect(int left, int top, int right, int bottom, const TColor* colour,
                          std::shared_ptr<TTexture> target) = 0;
    virtual void SetViewPort(int left, int top, int right, int bottom) = 0;
    virtual void GetViewport(int* left, int* top, int* right, int* bottom) = 0;
    virtual void PushViewport(int left, int top, int right, int bottom) = 0;
    // A hint: until it is taken back (null), nothing outside these screen
    // bounds needs drawing, because what comes later covers it. A handler
    // may skip those pixels; ignoring the hint draws the same picture.
    virtual void SetDrawBounds(const TRect* bounds) { (void)bounds; }
    virtual void DrawVertices(EDrawType, const TVertexSet&) {}
    virtual void DrawIndexedVertices(EDrawType, const TVertexSet&, unsigned short*, int) {}
    virtual void PopViewport() = 0;
    virtual bool BeginRenderTarget(TTexture* texture) = 0;
    virtual void EndRenderTarget() = 0;
    virtual bool RenderTargetIsScreen() = 0;
    // Whether a frame that keeps the last one (BeginDraw(true)) finds it in
    // place. A handler that drew the last frame where it cannot keep it
    // answers false, and expects the next frame to redraw the whole screen.
    virtual bool KeepsLastFrame() { return true; }
    virtual bool DisplayIsValid() { return true; }
    virtual bool GetDisplayReady() { return true; }
    virtual void RebuildDisplay() {}
    virtual void OutOfVideoMemory() {}
    virtual void HandleDisplayChange() {}
    virtual void HandleDisplayMinimize() {}
    virtual void Restore() {}
    virtual void SetShadeMode(EShadeModes mode) = 0;
    virtual void SetWorldMatrix(const TMat4* m) = 0;
    virtual void SetViewMatrix(const TMat4* m) = 0;
    virtual void SetProjectionMatrix(const TMat4* m) = 0;
    virtual void SetBlendMode(EBlendModes mode) = 0;
    virtual void SetFilteringMode(EFilteringModes mode) = 0;
    // Screen-space triangles textured from a glyph atlas, alpha blended,
    // nearest texels replacing the vertex colour; false where unsupported.
    virtual bool DrawGlyphTriangles(TTexture* atlas, const TVertexSet& vertices)
    {
        (void)atlas, (void)vertices;
        return false;
    }
    // While joined, a handler that queues sprites may keep the queue (and the
    // 2D state) at End2d, so that the next 2D pass's sprites go in the same
    // calls; anything else that needs the screen draws it first, and so does
    // turning joining off. For a run of small passes, one an object.
    virtual void JoinPasses(bool on) { (void)on; }
    virtual void SetZBufferWrite(bool on) = 0;
    virtual void SetZBufferTest(bool on) = 0;
    virtual void SetView(const TVec3& eye, const TVec3& at, const TVec3& up) = 0;
    virtual void SetPerspectiveProjection(float nearZ, float farZ, float fovY, float aspect) = 0;
    virtual void SetOrthogonalProjection(float nearZ, float farZ) = 0;
    virtual void GetWorldMatrix(TMat4* m) = 0;
    virtual void GetViewMatrix(TMat4* m) = 0;
    virtual void GetProjectionMatrix(TMat4* m) = 0;
    virtual void SetCullMode(ECullModes mode) = 0;
    virtual void SetAmbientColor(const TColor& colour) = 0;
    virtual void MouseLeave() {}
    virtual TPoint UpdateMouse(int x, int y) { return {x, y}; }
    virtual void UpdateBounds() {}
    virtual TPoint GetMouse() = 0;
    virtual bool OnSetCursor() { return true; }
    virtual void SetCursor(std::shared_ptr<TTexture> texture, TPoint hotSpot) = 0;
    virtual bool GetTextureSquareFlag() { return true; }
    // A new per-texture store of this handler's kind, owned by the caller.
    virtual std::unique_ptr<TTextureData> NewTextureData() = 0;

    // True between Begin2d and End2d; the texture draws refuse to run outside.
    bool In2d() const { return mIn2d; }

protected:
    bool mIn2d = false;
};
