// The OpenGL display handler, over a compatibility-profile context made by
// the platform.
//
// One coordinate convention holds for every drawing surface: the screen is an
// offscreen framebuffer object of the display size (800x600 for the game),
// and it and every render target are stored top row first, so engine pixel
// (x, y), origin top left and y down, is texel (x, y). The projection is a
// plain glOrtho(0, w, 0, h) with no flip; only EndDraw's present flips, when
// it blits the screen framebuffer, letterboxed, to the window.
//
// Drawing straight to the window (opt-in): a frame that redraws the whole
// screen into a window of exactly the display's size skips the screen
// framebuffer and its copy to the window. The window's rows run bottom up,
// so GL's clip control puts the origin at the top for such frames; the same
// projection then draws the same picture, and only the calls that take
// window rows (scissor, raster positions) flip their rows. The screen
// framebuffer misses such a frame: the window manager asks KeepsLastFrame
// before a frame that would redraw only its dirty areas, and redraws all
// of it into the framebuffer instead.
//
// Redrawing only what changed: where the window keeps its pixels across a
// swap, a frame that goes straight to the window is recorded rather than
// drawn, and drawn at its end only where it changed (glframerecorder.h).
// Every method here and in the texture data that calls GL says first
// whether its work can be recorded (BeginGLWork, glwork.h).
#pragma once

#include "engine/render/displayhandler.h"
#include "engine/render/gl/glframerecorder.h"
#include "engine/render/gl/glheaders.h"
#include "engine/render/gl/glspritebatch.h"
#include "engine/render/gl/gltexturepages.h"
#include "engine/render/gl/glwork.h"

#include <cstdint>
#include <memory>
#include <vector>

class TGLTextureData;

class TGLDisplayHandler : public TDisplayHandler, public IGLWorkGate, private IGLRecordHost {
public:
    // The installed GL handler, or null.
    static TGLDisplayHandler* GetInstance();

    // Needs a current GL context; the caller (the platform data) owns it.
    TGLDisplayHandler();
    ~TGLDisplayHandler() override;

    void SetTexture(std::shared_ptr<TTexture> texture) override;
    void SetMaterial(const TMaterial* material) override;
    void SetLight(int index, const TLight* light) override;
    str GetSystemData() override;
    bool Begin2d() override;
    void End2d() override;
    void JoinPasses(bool on) override;
    bool Begin3d() override;
    void End3d() override;
    bool SetDisplay(int width, int height, bool fullscreen, bool a, bool b, bool c) override;
    void GetDisplay(int* width, int* height, bool* fullscreen) override;
    // Full screen is the platform's business: asks it.
    bool IsFullscreen() override;
    bool BeginDraw(bool keep) override;
    bool EndDraw(bool showCursor) override;
    void UpdateScreenRect(const TRect& destination, const TRect& source) override;
    void FillRect(int left, int top, int right, int bottom, const TColor* colour,
                  std::shared_ptr<TTexture> target) override;
    void SetViewPort(int left, int top, int right, int bottom) override;
    void GetViewport(int* left, int* top, int* right, int* bottom) override;
    void PushViewport(int left, int top, int right, int bottom) override;
    // The bounds narrow the scissor box (the viewport still places sprites).
    void SetDrawBounds(const TRect* bounds) override;
    void DrawVertices(EDrawType type, const TVertexSet& set) override;
    bool DrawGlyphTriangles(TTexture* atlas, const TVertexSet& set) override;
    void PopViewport() override;
    bool BeginRenderTarget(TTexture* texture) override;
    void EndRenderTarget() override;
    bool RenderTargetIsScreen() override { return mRenderTarget == nullptr; }
    bool KeepsLastFrame() override;
    void SetShadeMode(EShadeModes mode) override;
    void SetWorldMatrix(const TMat4* m) override;
    void SetViewMatrix(const TMat4* m) override;
    void SetProjectionMatrix(const TMat4* m) override;
    void SetBlendMode(EBlendModes mode) override { mBlendMode = mode; }
    void SetFilteringMode(EFilteringModes mode) override { mFilteringMode = mode; }
    void SetZBufferWrite(bool on) override;
    void SetZBufferTest(bool on) override;
    void SetView(const TVec3& eye, const TVec3& at, const TVec3& up) override;
    void SetPerspectiveProjection(float nearZ, float farZ, float fovY, float aspect) override;
    void SetOrthogonalProjection(float nearZ, float farZ) override;
    void GetWorldMatrix(TMat4* m) override;
    void GetViewMatrix(TMat4* m) override;
    void GetProjectionMatrix(TMat4* m) override;
    void SetCullMode(ECullModes mode) override;
    void SetAmbientColor(const TColor& colour) override;
    TPoint GetMouse() override;
    void SetCursor(std::shared_ptr<TTexture> texture, TPoint hotSpot) override;
    std::unique_ptr<TTextureData> NewTextureData() override;

    bool IsSquareOnly() const { return true; }
    // Sets the stored blend mode, or the filtering mode on the bound texture, in GL.
    void ApplyBlendMode();
    void ApplyFilteringMode();
    // Sprites are queued and drawn together (see TGLSpriteBatch): GL work
    // sends them on first (BeginGLWork). A texel-exact quad (IsTexelExact)
    // is sampled with the nearest texel whatever the filtering mode, which
    // gives the same pixels for less work; a quad wholly outside the scissor
    // box is left out.
    void AddSprite(GLuint texture, const TSpriteQuad& quad, const TColor& colour, bool texelExact);
    // Every method of the handler, the texture data and the texture pages
    // that calls GL opens with this, naming the kind of its work (glwork.h):
    // the queues are drawn (or recorded), then the frame record does what
    // that kind asks. So does anything else that calls GL between a
    // handler's calls (tests reading pixels back: kUnrecordable).
    void BeginGLWork(EGLWork kind, GLuint texture = 0) override;

    // Partial redraw (glframerecorder.h): on by default where the window
    // keeps its pixels across swaps; off, every frame is drawn whole.
    void SetPartialRedraw(bool on);
    bool KeepsWindowAcrossSwaps() const { return mRecorder.SwapKeepsWindow(); }
    // The frame drawn now is being recorded (and draws to the screen, not a render target).
    bool RecordsFrame() const { return mRecorder.IsRecording() && !mRenderTarget; }
    // Records a copy of the framebuffer whose texture is `texture`, from
    // `source` to the screen box `placed` (after BeginGLWork); false when
    // the frame is not recorded and the copy is to be drawn now.
    bool RecordCopy(GLuint framebuffer, GLuint texture, TPoint source, const TRect& placed);
    // For tests: each frame drawn in part is drawn whole again and compared;
    // the count of frames that differed.
    void SetCheckPartialFrames(bool on) { mRecorder.SetCheckPartialFrames(on); }
    int GetPartialFrameMismatches() const { return mRecorder.GetPartialFrameMismatches(); }
    int GetSpriteDrawCalls() const { return mSprites.GetDrawCalls(); }
    int GetGlyphDrawCalls() const { return mGlyphs.GetDrawCalls(); }
    // The texture pages that small textures share (made on first use).
    std::shared_ptr<TGLTexturePages> GetTexturePages();
    // Plain drawing draws every sprite from its texture's own GL texture with
    // the filtering mode as set, leaves nothing out and joins no passes: the
    // reference the pages and the shortcuts are compared against in tests.
    void SetPlainDrawing(bool plain);
    bool IsPlainDrawing() const { return mPlainDrawing; }
    void DrawCursor();

    // The platform tells the handler where the pointer is and the size of the
    // window's drawable, which the present letterboxes into.
    void SetPointerSource(IPointerSource* source) { mPointerSource = source; }
    void SetWindowSize(int width, int height);

    // Lets whole-screen frames draw straight to the window (see the top of
    // this file). Takes effect where GL has clip control (4.5, or the ARB
    // extension); elsewhere every frame goes through the screen framebuffer.
    void SetStraightToWindow(bool on);
    // The frame being drawn (or the last one) went straight to the window.
    bool DrawsToWindow() const { return mDrawingToWindow && !mRenderTarget; }

    // The fade around a display change, between frames: the last frame put
    // on the window again (from the screen framebuffer, or from what the
    // window shows when that frame went straight to it), and black at an
    // opacity over the whole window, letterbox bars included.
    void ShowLastFrame();
    void DrawFade(float blackness);

    // The framebuffer object that holds the screen (the display-size surface).
    GLuint GetScreenFramebuffer() const { return mScreenFramebuffer; }
    // The framebuffer that draws go to now: the render target's, the
    // screen's, or the window's (0).
    GLuint GetDrawFramebuffer() const;
    // Binds a framebuffer for drawing, with the window's rows turned top
    // first when it is the window (0).
    void BindSurface(GLuint framebuffer);
    // The GL row of the lower edge of a box of screen rows [top, top + height)
    // on the surface drawn to now.
    int SurfaceRow(int top, int height) const;
    const TRect& GetViewportRect() const { return mViewport; }  // {x, y, width, height}
    // What ApplyScissor last gave GL: left, top, right, bottom in screen pixels.
    const TRect& GetScissorBox() const override { return mScissorBox; }
    int GetDisplayWidth() const { return mDisplay.x2; }
    int GetDisplayHeight() const { return mDisplay.y2; }
    EBlendModes GetBlendMode() const { return mBlendMode; }
    EFilteringModes GetFilteringMode() const { return mFilteringMode; }
    TTexture* GetRenderTarget() const { return mRenderTarget; }
    bool HasViewport() const;  // the current viewport is usable for drawing
    // Sets GL's scissor box to the viewport (narrowed by the draw bounds);
    // GL work that sets a box of its own calls it afterwards.
    void ApplyScissor();

private:
    // IGLRecordHost: what the frame record asks of the handler.
    bool DrawsIntoTarget() const override { return mRenderTarget != nullptr; }
    bool InRecordablePass() const override { return mIn2d || mEnd2dPending; }
    void BindWindow() override { BindSurface(0); }
    void RestoreSurface() override;
    // Hands what the queues hold to GL, or to the frame record.
    void FlushQueues();
    // Draws or queues lines and glyphs; false when they must be drawn now.
    bool QueueLines(const TVertexSet& set);
    bool QueueGlyphs(GLuint atlas, const TVertexSet& set);
    void DrawVerticesNow(EDrawType type, const TVertexSet& set);
    void DrawGlyphsNow(TGLTextureData& atlas, const TVertexSet& set);
    void FillScreenRect(const TRect& box, const TColor& colour);
    // Gives GL the scissor box ApplyScissor last set (nothing is flushed).
    void LoadScissorBox();
    // Restores what Begin2d changed (End2d, or the first GL work after a
    // joined pass's End2d).
    void Leave2d();
    // The depth clear BeginDraw leaves until a frame first uses depth.
    void ClearDepthIfPending();
    void MakeScreenFramebuffer(int width, int height);
    void ReleaseScreenFramebuffer();
    void LoadModelView();
    void Present();
    void CopyWindowIntoScreen();
    bool CanDrawToWindow() const;

    // Viewports are kept as {x, y, width, height} in x1, y1, x2, y2.
    std::vector<TRect> mViewportStack;
    TRect mViewport{0, 0, 320, 240};
    TRect mDisplay{0, 0, 320, 240};
    TRect mDrawBounds;  // left, top, right, bottom; used while mHasDrawBounds
    TRect mScissorBox;  // left, top, right, bottom: what ApplyScissor last gave GL
    bool mHasDrawBounds = false;
    bool mDepthClearPending = false;
    TRect mDepthClearBox;  // the viewport ({x, y, width, height}) BeginDraw cleared
    std::shared_ptr<TTexture> mTexture;
    std::shared_ptr<TTexture> mCursor;
    TPoint mCursorHotSpot;
    TTexture* mRenderTarget = nullptr;
    TMat4 mWorld, mView, mProjection, mWorldView;
    EBlendModes mBlendMode = kBlendAlpha;
    EFilteringModes mFilteringMode = kFilterLinear;

    IPointerSource* mPointerSource = nullptr;
    int mWindowWidth = 0, mWindowHeight = 0;
    GLuint mScreenFramebuffer = 0;
    bool mStraightToWindow = false;
    bool mHasClipControl = false;
    bool mClipOriginTop = false;     // what glClipControl was last given
    // This frame (or the last, between frames) goes straight to the window,
    // and the screen framebuffer misses it.
    bool mDrawingToWindow = false;
    bool mRedrawIntoScreen = false;  // the next frame restores the framebuffer
    GLuint mScreenColour = 0;
    GLuint mScreenDepth = 0;
    TGLQuadPrograms mPrograms;  // before the batches and the record that draw with them
    TGLFrameRecorder mRecorder{*this, mPrograms};
    TGLSpriteBatch mSprites{mPrograms};
    TGLLineBatch mLines;
    TGLGlyphBatch mGlyphs{mPrograms};
    std::shared_ptr<TGLTexturePages> mPages;
    bool mPlainDrawing = false;
    bool mJoinPasses = false;
    // A joined pass ended with sprites queued: the 2D state stays until they
    // are drawn (any other GL work), or the next Begin2d carries on with it.
    bool mEnd2dPending = false;
};
