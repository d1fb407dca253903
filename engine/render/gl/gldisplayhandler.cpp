#include "engine/render/gl/gldisplayhandler.h"

#include "engine/base/debuglog.h"
#include "engine/base/instanceholder.h"
#include "engine/platform/letterbox.h"
#include "engine/platform/platform.h"
#include "engine/render/gl/glspritebatch.h"
#include "engine/render/gl/glstate.h"
#include "engine/render/gl/glstats.h"
#include "engine/render/gl/glswapkind.h"
#include "engine/render/gl/gltexturedata.h"
#include "engine/render/texture.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <string_view>

namespace {

GLenum Primitive(EDrawType type)
{
    switch (type) {
    case kDrawLines: return GL_LINES;
    case kDrawLineStrip: return GL_LINE_STRIP;
    case kDrawTriangles: return GL_TRIANGLES;
    case kDrawTriangleStrip: return GL_TRIANGLE_STRIP;
    case kDrawTriangleFan: return GL_TRIANGLE_FAN;
    default: return GL_POINTS;
    }
}

// Every vertex set handed to the handler has vertices of one size, the
// position first and the texture coordinates at one place; a lit vertex's
// normal, or a screen-space one's colour, between them.
constexpr GLsizei kVertexStride = glvertex::kStride;
static_assert(sizeof(TLitVert) == kVertexStride && offsetof(TLitVert, x) == 0 &&
              offsetof(TLitVert, u) == glvertex::kTexCoords);

void PointAtPositionsAndTexCoords(const unsigned char* base)
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, kVertexStride, base);
    glTexCoordPointer(2, GL_FLOAT, kVertexStride, base + glvertex::kTexCoords);
}

TGLTextureData* GLData(TTexture* texture)
{
    return texture ? dynamic_cast<TGLTextureData*>(texture->GetData()) : nullptr;
}

bool HasClipControl()
{
    if (GLVersionAtLeast(4, 5))
        return true;
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const auto* name = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, GLuint(i)));
        if (name && std::string_view(name) == "GL_ARB_clip_control")
            return true;
    }
    return false;
}

}  // namespace

TGLDisplayHandler* TGLDisplayHandler::GetInstance()
{
    return TInstanceHolder<TGLDisplayHandler>::Get();
}

TGLDisplayHandler::TGLDisplayHandler()
{
    TInstanceHolder<TGLDisplayHandler>::Publish(this);
    mSprites.SetSink(&mRecorder);
    mGlyphs.SetSink(&mRecorder);
    mLines.SetSink(&mRecorder);
}

TGLDisplayHandler::~TGLDisplayHandler()
{
    BeginGLWork(EGLWork::kUnrecordable);
    mTexture.reset();
    mCursor.reset();
    mPages.reset();
    ReleaseScreenFramebuffer();
    mPrograms.Release();
    TInstanceHolder<TGLDisplayHandler>::Withdraw(this);
}

std::unique_ptr<TTextureData> TGLDisplayHandler::NewTextureData()
{
    return std::make_unique<TGLTextureData>();
}

str TGLDisplayHandler::GetSystemData()
{
    return str();
}

// ---------------------------------------------------------------- display and frames

void TGLDisplayHandler::MakeScreenFramebuffer(int width, int height)
{
    BeginGLWork(EGLWork::kUnrecordable);
    ReleaseScreenFramebuffer();
    glGenTextures(1, &mScreenColour);
    glBindTexture(GL_TEXTURE_2D, mScreenColour);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, nullptr);
    glGenRenderbuffers(1, &mScreenDepth);
    glBindRenderbuffer(GL_RENDERBUFFER, mScreenDepth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glGenFramebuffers(1, &mScreenFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, mScreenFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, mScreenColour, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, mScreenDepth);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        WriteDbg("The screen framebuffer of %dx%d is incomplete", width, height);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void TGLDisplayHandler::ReleaseScreenFramebuffer()
{
    BeginGLWork(EGLWork::kUnrecordable);
    if (!mScreenFramebuffer)
        return;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &mScreenFramebuffer);
    glDeleteRenderbuffers(1, &mScreenDepth);
    glDeleteTextures(1, &mScreenColour);
    mScreenFramebuffer = mScreenDepth = mScreenColour = 0;
}

bool TGLDisplayHandler::SetDisplay(int width, int height, bool, bool, bool, bool)
{
    BeginGLWork(EGLWork::kUnrecordable);
    if (width < 1 || height < 1)
        return false;
    bool resized = mDisplay.x2 != width || mDisplay.y2 != height;
    mDisplay = {0, 0, width, height};
    if (mWindowWidth == 0)
        SetWindowSize(width, height);
    // A mode switch at the same size keeps the screen's pixels: a frame that
    // redraws only its dirty areas still finds the rest in place.
    if (!mScreenFramebuffer) {  // the context's first display: what it offers
        mHasClipControl = HasClipControl();
        mRecorder.SetSwapKeepsWindow(SwapKeepsBackBuffer());
        mPrograms.Build();
    }
    mRecorder.ForgetWindow();
    if (!mScreenFramebuffer || resized)
        MakeScreenFramebuffer(width, height);
    glViewport(0, 0, width, height);
    PushViewport(0, 0, width, height);

    TMat4 identity;
    SetWorldMatrix(&identity);
    SetViewMatrix(&identity);
    SetPerspectiveProjection(0.1f, 1000.0f, std::numbers::pi_v<float> / 4, 0);
    SetAmbientColor({1, 1, 1, 1});
    TMaterial material{{1, 1, 1, 1}, {0.5f, 0.5f, 0.5f, 1}, {1, 1, 1, 1}, {0, 0, 0, 1}, 1.0f};
    SetMaterial(&material);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    // Every viewport clips by scissor, for the life of the context.
    glEnable(GL_SCISSOR_TEST);
    return true;
}

void TGLDisplayHandler::GetDisplay(int* width, int* height, bool* fullscreen)
{
    if (width)
        *width = mDisplay.x2;
    if (height)
        *height = mDisplay.y2;
    if (fullscreen)
        *fullscreen = IsFullscreen();
}

bool TGLDisplayHandler::IsFullscreen()
{
    TPlatform* platform = TPlatform::GetInstance();
    return platform && platform->IsFullscreen();
}

void TGLDisplayHandler::SetWindowSize(int width, int height)
{
    // A window of another size has a new back buffer.
    if (width != mWindowWidth || height != mWindowHeight)
        mRecorder.ForgetWindow();
    mWindowWidth = width;
    mWindowHeight = height;
}

GLuint TGLDisplayHandler::GetDrawFramebuffer() const
{
    if (TGLTextureData* target = GLData(mRenderTarget))
        return target->GetFramebuffer();
    return mDrawingToWindow ? 0 : mScreenFramebuffer;
}

void TGLDisplayHandler::SetStraightToWindow(bool on)
{
    mStraightToWindow = on;
}

void TGLDisplayHandler::BindSurface(GLuint framebuffer)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    const bool originTop = framebuffer == 0 && mDrawingToWindow;
    if (mHasClipControl && originTop != mClipOriginTop) {
        glClipControl(originTop ? GL_UPPER_LEFT : GL_LOWER_LEFT, GL_NEGATIVE_ONE_TO_ONE);
        mClipOriginTop = originTop;
    }
}

int TGLDisplayHandler::SurfaceRow(int top, int height) const
{
    return DrawsToWindow() ? mDisplay.y2 - top - height : top;
}

bool TGLDisplayHandler::CanDrawToWindow() const
{
    // The window must show the screen pixel for pixel (no letterbox), and
    // the frame must clear and redraw all of it.
    return mStraightToWindow && mHasClipControl && !mRenderTarget && mWindowWidth == mDisplay.x2 &&
           mWindowHeight == mDisplay.y2 && mViewport.x1 == 0 && mViewport.y1 == 0 && mViewport.x2 == mDisplay.x2 &&
           mViewport.y2 == mDisplay.y2;
}

bool TGLDisplayHandler::KeepsLastFrame()
{
    // The last frame went to the window, so the screen framebuffer missed it.
    if (!mDrawingToWindow)
        return true;
    mRedrawIntoScreen = true;
    return false;
}

bool TGLDisplayHandler::BeginDraw(bool keep)
{
    BeginGLWork(EGLWork::kUnrecordable);
    // A frame that redraws everything may go straight to the window, unless
    // it is the one that brings the screen framebuffer up to date again.
    mDrawingToWindow = !keep && !mRedrawIntoScreen && CanDrawToWindow();
    mRedrawIntoScreen = false;
    const bool recorded = mRecorder.BeginFrame(mDrawingToWindow, mDisplay.x2, mDisplay.y2);
    // The screen framebuffer keeps the last frame, so what lies outside the
    // current viewport is kept in either case; the viewport's area is cleared
    // (a recorded frame's, when it is drawn).
    BindSurface(GetDrawFramebuffer());
    glViewport(0, 0, mDisplay.x2, mDisplay.y2);
    ApplyScissor();
    if (!recorded) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // Only 3D drawing reads the depth buffer: it is cleared (the same area)
    // when a frame first turns depth on, so 2D frames never touch it.
    mDepthClearPending = true;
    mDepthClearBox = mViewport;
    return true;
}

bool TGLDisplayHandler::EndDraw(bool showCursor)
{
    BeginGLWork(EGLWork::kRecordable);  // the cursor goes through the queues, and the record is drawn
    if (showCursor)
        DrawCursor();
    FlushQueues();
    mRecorder.FinishFrame();
    if (!showCursor)
        glFlush();
    Present();
    return true;
}

// ---------------------------------------------------------------- recorded frames

void TGLDisplayHandler::SetPartialRedraw(bool on)
{
    BeginGLWork(EGLWork::kUnrecordable);
    mRecorder.SetPartialRedraw(on);
}

void TGLDisplayHandler::BeginGLWork(EGLWork kind, GLuint texture)
{
    FlushQueues();
    mRecorder.BeforeWork(kind, texture);
}

void TGLDisplayHandler::RestoreSurface()
{
    BindSurface(GetDrawFramebuffer());
    LoadScissorBox();
}

bool TGLDisplayHandler::RecordCopy(GLuint framebuffer, GLuint texture, TPoint source, const TRect& placed)
{
    return mRecorder.RecordCopy(framebuffer, texture, source, placed);
}

void TGLDisplayHandler::Present()
{
    BeginGLWork(EGLWork::kUnrecordable);
    // A frame drawn straight to the window is already there.
    if (mDrawingToWindow || !mScreenFramebuffer || mWindowWidth < 1 || mWindowHeight < 1)
        return;
    int width = mDisplay.x2, height = mDisplay.y2;
    // The same box the platform maps mouse positions through.
    qm::TLetterbox box = qm::ComputeLetterbox(mWindowWidth, mWindowHeight, width, height);
    int outWidth = box.width, outHeight = box.height;
    int left = box.x;
    int bottom = mWindowHeight - box.y - box.height;  // GL counts window rows from the bottom

    glBindFramebuffer(GL_READ_FRAMEBUFFER, mScreenFramebuffer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glDisable(GL_SCISSOR_TEST);
    // Only bars around the picture need clearing; a picture filling the
    // window overwrites every pixel anyway.
    bool fillsWindow = outWidth == mWindowWidth && outHeight == mWindowHeight;
    if (!fillsWindow) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // Row 0 of the screen surface is the top of the picture: flip on the way out.
    glBlitFramebuffer(0, 0, width, height, left, bottom + outHeight, left + outWidth, bottom, GL_COLOR_BUFFER_BIT,
                      outWidth == width && outHeight == height ? GL_NEAREST : GL_LINEAR);
    glEnable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, mScreenFramebuffer);
}

void TGLDisplayHandler::ShowLastFrame()
{
    BeginGLWork(EGLWork::kUnrecordable);
    mRecorder.ForgetWindow();
    if (!mScreenFramebuffer || mWindowWidth < 1 || mWindowHeight < 1)
        return;
    if (mDrawingToWindow) {
        CopyWindowIntoScreen();
        mDrawingToWindow = false;  // the framebuffer holds that frame now
    }
    Present();
}

void TGLDisplayHandler::CopyWindowIntoScreen()
{
    // The frame went straight to the window. Its front buffer cannot be read
    // back everywhere (Mesa's software GLX under Xvfb gives black), while a
    // swap that copies leaves the frame in the back buffer; one that flips
    // leaves an earlier frame of the same scene there, as good a start for a
    // fade to black.
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, mScreenFramebuffer);
    glDisable(GL_SCISSOR_TEST);
    const int width = mDisplay.x2, height = mDisplay.y2;
    // Window rows run bottom up, the screen's top row first.
    glBlitFramebuffer(0, 0, mWindowWidth, mWindowHeight, 0, height, width, 0, GL_COLOR_BUFFER_BIT,
                      mWindowWidth == width && mWindowHeight == height ? GL_NEAREST : GL_LINEAR);
    glEnable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_FRAMEBUFFER, mScreenFramebuffer);
}

void TGLDisplayHandler::DrawFade(float blackness)
{
    BeginGLWork(EGLWork::kUnrecordable);
    if (blackness <= 0 || mWindowWidth < 1 || mWindowHeight < 1)
        return;
    mRecorder.ForgetWindow();  // the black lies over the window's frame
    // A frame that went straight to the window is kept clean in the screen
    // framebuffer first: shown again later, it must not carry this black.
    if (mDrawingToWindow && mScreenFramebuffer) {
        CopyWindowIntoScreen();
        mDrawingToWindow = false;
    }
    GLint program = 0, drawFramebuffer = 0, readFramebuffer = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    glUseProgram(0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_VIEWPORT_BIT | GL_CURRENT_BIT);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glViewport(0, 0, mWindowWidth, mWindowHeight);
    {
        TScopedPixelProjection projection(1, 1);
        glColor4f(0, 0, 0, std::min(blackness, 1.0f));
        glRectf(0, 0, 1, 1);
    }
    CountGLDraw();
    glPopAttrib();
    glUseProgram(static_cast<GLuint>(program));
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawFramebuffer));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer));
}

void TGLDisplayHandler::UpdateScreenRect(const TRect& destination, const TRect& source)
{
    BeginGLWork(EGLWork::kUnrecordable);
    if (source.Width() <= 0 || source.Height() <= 0)
        return;
    // Engine rows grow with GL rows on our surfaces, so a raster-position copy
    // lands the right way up without any flipping; on the window both boxes
    // are counted from the bottom, which keeps the copy upright too.
    glWindowPos2i(destination.x1, SurfaceRow(destination.y1, destination.Height()));
    glPixelZoom(float(destination.Width()) / source.Width(), float(destination.Height()) / source.Height());
    glCopyPixels(source.x1, SurfaceRow(source.y1, source.Height()), source.Width(), source.Height(), GL_COLOR);
    CountGLDraw();
    glPixelZoom(1, 1);
}

// ---------------------------------------------------------------- 2D and 3D state

bool TGLDisplayHandler::Begin2d()
{
    if (mEnd2dPending) {
        // Nothing touched GL since the last 2D pass ended (that would have
        // drawn its queue and left 2D): its state is this pass's, and its
        // queued sprites are drawn together with this pass's.
        mEnd2dPending = false;
        SetBlendMode(kBlendAlpha);
        SetFilteringMode(kFilterLinear);
        mIn2d = true;
        return true;
    }
    BeginGLWork(EGLWork::kRecordable);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_FALSE);
    SetBlendMode(kBlendAlpha);
    SetFilteringMode(kFilterLinear);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SINGLE_COLOR);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, mDisplay.x2, 0, mDisplay.y2, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    mIn2d = true;
    return true;
}

void TGLDisplayHandler::End2d()
{
    if (mJoinPasses && !mPlainDrawing && (!mSprites.IsEmpty() || !mLines.IsEmpty() || !mGlyphs.IsEmpty())) {
        mIn2d = false;
        mEnd2dPending = true;
        return;
    }
    // The pass's runs are drawn (or recorded) while it is still a 2D pass.
    BeginGLWork(EGLWork::kRecordable);
    mIn2d = false;
    Leave2d();
}

void TGLDisplayHandler::JoinPasses(bool on)
{
    mJoinPasses = on;
    if (!on)
        BeginGLWork(EGLWork::kRecordable);  // the joined pass's queue is drawn and 2D left
}

void TGLDisplayHandler::Leave2d()
{
    glDepthMask(GL_TRUE);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

void TGLDisplayHandler::ApplyBlendMode()
{
    BeginGLWork(EGLWork::kUnrecordable);
    ApplyGLBlendMode(mBlendMode);
}

void TGLDisplayHandler::ApplyFilteringMode()
{
    BeginGLWork(EGLWork::kUnrecordable);
    ApplyGLFilteringMode(mFilteringMode);
}

void TGLDisplayHandler::FlushQueues()
{
    mSprites.Flush();
    mGlyphs.Flush();
    if (!mLines.IsEmpty()) {
        mLines.Flush(mDisplay.x2, mDisplay.y2);
        ApplyScissor();
    }
    if (mEnd2dPending) {
        mEnd2dPending = false;
        Leave2d();
    }
}

bool TGLDisplayHandler::QueueLines(const TVertexSet& set)
{
    // Drawing lines pushes the whole display and pops back to the top of the
    // viewport stack; only where that leaves the viewport as it is may the
    // lines wait in the queue (else the state change must happen now).
    const TRect* top = mViewportStack.empty() ? nullptr : &mViewportStack.back();
    bool viewportKept = top && top->x1 == mViewport.x1 && top->y1 == mViewport.y1 && top->x2 == mViewport.x2 &&
                        top->y2 == mViewport.y2 && mViewport.x1 >= 0 &&
                        mViewport.y1 >= 0 && mViewport.x2 >= 1 && mViewport.y2 >= 1 &&
                        mViewport.x1 + mViewport.x2 <= mDisplay.x2 && mViewport.y1 + mViewport.y2 <= mDisplay.y2;
    if (!viewportKept || set.GetKind() == 0)
        return false;
    mSprites.Flush();
    mGlyphs.Flush();
    if (mLines.IsFull(set.GetCount()))
        FlushQueues();
    return mLines.Add(set.GetVertices(), set.GetCount());
}

std::shared_ptr<TGLTexturePages> TGLDisplayHandler::GetTexturePages()
{
    if (!mPages)
        mPages = std::make_shared<TGLTexturePages>(*this);
    return mPages;
}

void TGLDisplayHandler::SetPlainDrawing(bool plain)
{
    BeginGLWork(EGLWork::kUnrecordable);
    mPlainDrawing = plain;
}

void TGLDisplayHandler::AddSprite(GLuint texture, const TSpriteQuad& quad, const TColor& colour, bool texelExact)
{
    // Lines and glyphs queued before the sprite are drawn before it (one queue
    // at a time holds anything: the others draw the sprites first).
    if (!mLines.IsEmpty()) {
        mLines.Flush(mDisplay.x2, mDisplay.y2);
        ApplyScissor();
    }
    if (mPlainDrawing) {
        mSprites.Add(texture, mBlendMode, mFilteringMode, quad, colour);
        return;
    }
    // A pixel is drawn when its centre lies inside the quad: a quad whose
    // bounds end where the box starts (or start where it ends) draws none.
    float left = quad.corner[0].x, right = left, top = quad.corner[0].y, bottom = top;
    for (const TQuadCorner& c : quad.corner) {
        left = std::min(left, c.x);
        right = std::max(right, c.x);
        top = std::min(top, c.y);
        bottom = std::max(bottom, c.y);
    }
    if (right <= float(mScissorBox.x1) || left >= float(mScissorBox.x2) || bottom <= float(mScissorBox.y1) ||
        top >= float(mScissorBox.y2))
        return;
    mSprites.Add(texture, mBlendMode, texelExact ? kFilterPoint : mFilteringMode, quad, colour);
}

void TGLDisplayHandler::SetTexture(std::shared_ptr<TTexture> texture)
{
    mTexture = std::move(texture);
}

// ---------------------------------------------------------------- viewports

bool TGLDisplayHandler::HasViewport() const
{
    return mViewport.x1 >= 0 && mViewport.y1 >= 0 && mViewport.x2 > 0 && mViewport.y2 > 0;
}

void TGLDisplayHandler::ApplyScissor()
{
    BeginGLWork(EGLWork::kRecordable);
    if (mViewport.x2 < 1 || mViewport.y2 < 1)
        return;
    TRect box{mViewport.x1, mViewport.y1, mViewport.x1 + mViewport.x2, mViewport.y1 + mViewport.y2};
    if (mHasDrawBounds)
        box = box.Intersect(mDrawBounds);
    box.x2 = std::max(box.x2, box.x1);
    box.y2 = std::max(box.y2, box.y1);
    mScissorBox = box;
    LoadScissorBox();
}

void TGLDisplayHandler::LoadScissorBox()
{
    glScissor(mScissorBox.x1, SurfaceRow(mScissorBox.y1, mScissorBox.Height()), mScissorBox.Width(),
              mScissorBox.Height());
}

void TGLDisplayHandler::SetDrawBounds(const TRect* bounds)
{
    BeginGLWork(EGLWork::kRecordable);
    mHasDrawBounds = bounds != nullptr;
    if (bounds)
        mDrawBounds = *bounds;
    ApplyScissor();
}

void TGLDisplayHandler::SetViewPort(int left, int top, int right, int bottom)
{
    right = std::min(right, mDisplay.x2);
    bottom = std::min(bottom, mDisplay.y2);
    left = std::max(left, 0);
    top = std::max(top, 0);
    mViewport = {left, top, right - left, bottom - top};
    // A viewport clamped to nothing leaves the previous scissor box in force.
    ApplyScissor();
}

void TGLDisplayHandler::GetViewport(int* left, int* top, int* right, int* bottom)
{
    if (left)
        *left = mViewport.x1;
    if (top)
        *top = mViewport.y1;
    if (right)
        *right = mViewport.x1 + mViewport.x2;
    if (bottom)
        *bottom = mViewport.y1 + mViewport.y2;
}

void TGLDisplayHandler::PushViewport(int left, int top, int right, int bottom)
{
    mViewportStack.push_back({left, top, right - left, bottom - top});
    SetViewPort(left, top, right, bottom);
}

void TGLDisplayHandler::PopViewport()
{
    // The bottom entry (the whole display) is never popped.
    if (mViewportStack.size() <= 1)
        return;
    mViewportStack.pop_back();
    const TRect& top = mViewportStack.back();
    SetViewPort(top.x1, top.y1, top.x1 + top.x2, top.y1 + top.y2);
}

// ---------------------------------------------------------------- drawing

void TGLDisplayHandler::DrawVertices(EDrawType type, const TVertexSet& set)
{
    if (!set.GetVertices() || set.GetCount() <= 0)
        return;
    if (type == kDrawLines && set.GetCount() % 2 == 0 && QueueLines(set))
        return;
    DrawVerticesNow(type, set);
}

void TGLDisplayHandler::DrawVerticesNow(EDrawType type, const TVertexSet& set)
{
    BeginGLWork(EGLWork::kUnrecordable);
    PushViewport(0, 0, mDisplay.x2, mDisplay.y2);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    TGLTextureData* texture = GLData(mTexture.get());
    bool untextured = type == kDrawPoints || type == kDrawLines || type == kDrawLineStrip || !texture;
    if (untextured) {
        glDisable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendEquation(GL_FUNC_ADD);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture->GetTextureName());
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        ApplyFilteringMode();
        ApplyBlendMode();
    }

    const auto* base = static_cast<const unsigned char*>(set.GetVertices());
    const GLsizei stride = kVertexStride;
    PointAtPositionsAndTexCoords(base);
    bool lit = set.GetKind() == 0;
    if (lit) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, stride, base + offsetof(TLitVert, nx));
    } else {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_UNSIGNED_BYTE, stride, base + glvertex::kColour);
    }
    glDrawArrays(Primitive(type), 0, set.GetCount());
    if (untextured)
        CountGLDraw();
    else
        CountGLTexturedDraw(texture->GetTextureName());
    // The arrays belong to the caller: leave no pointer into them behind.
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisable(GL_TEXTURE_2D);

    glPopMatrix();
    PopViewport();
}

bool TGLDisplayHandler::DrawGlyphTriangles(TTexture* atlas, const TVertexSet& set)
{
    TGLTextureData* texture = GLData(atlas);
    if (!texture || !set.GetVertices() || set.GetCount() <= 0 || set.GetKind() == 0)
        return false;
    // Glyphs are drawn with the whole display pushed as viewport, and popping
    // it goes back to the top of the stack: where both are the viewport
    // already, runs wait in a queue and go to GL together.
    auto isWholeDisplay = [this](const TRect& r) {
        return r.x1 == 0 && r.y1 == 0 && r.x2 == mDisplay.x2 && r.y2 == mDisplay.y2;
    };
    const bool wholeDisplay =
        isWholeDisplay(mViewport) && !mViewportStack.empty() && isWholeDisplay(mViewportStack.back());
    if (wholeDisplay && !mPlainDrawing && QueueGlyphs(texture->GetTextureName(), set))
        return true;
    DrawGlyphsNow(*texture, set);
    return true;
}

bool TGLDisplayHandler::QueueGlyphs(GLuint atlas, const TVertexSet& set)
{
    mSprites.Flush();
    if (!mLines.IsEmpty())
        FlushQueues();
    if (mGlyphs.Add(atlas, set.GetVertices(), set.GetCount()))
        return true;
    mGlyphs.Flush();
    return mGlyphs.Add(atlas, set.GetVertices(), set.GetCount());
}

void TGLDisplayHandler::DrawGlyphsNow(TGLTextureData& atlas, const TVertexSet& set)
{
    BeginGLWork(EGLWork::kRecordable);  // recorded when the frame is, like the queue's runs
    PushViewport(0, 0, mDisplay.x2, mDisplay.y2);
    if (!mRecorder.TakeGlyphs(atlas.GetTextureName(), set.GetVertices(), set.GetCount()))
        DrawGlyphRun(mPrograms, atlas.GetTextureName(), set.GetVertices(), set.GetCount());
    PopViewport();
}

void TGLDisplayHandler::FillRect(int left, int top, int right, int bottom, const TColor* colour,
                                 std::shared_ptr<TTexture> target)
{
    if (!colour)
        return;
    if (!target) {
        FillScreenRect({left, top, right, bottom}, *colour);
        return;
    }
    // The texture data's fill names its own write.
    BeginGLWork(EGLWork::kRecordable);
    if (TTextureData* data = target->GetData())
        data->FillRect(left, top, right, bottom, *colour);
}

void TGLDisplayHandler::FillScreenRect(const TRect& box, const TColor& colour)
{
    BeginGLWork(EGLWork::kUnrecordable);
    TScopedPixelProjection projection(mDisplay.x2, mDisplay.y2);
    PushViewport(0, 0, mDisplay.x2, mDisplay.y2);
    glDisable(GL_TEXTURE_2D);
    ApplyBlendMode();
    glColor4f(colour.r, colour.g, colour.b, colour.a);
    glRecti(box.x1, box.y1, box.x2, box.y2);
    CountGLDraw();
    glColor4f(1, 1, 1, 1);
    PopViewport();
}

// ---------------------------------------------------------------- render targets

bool TGLDisplayHandler::BeginRenderTarget(TTexture* texture)
{
    BeginGLWork(EGLWork::kRecordable);
    if (mRenderTarget) {
        QM_ASSERT(!"Attempt to call BeginRenderTarget while in another BeginRenderTarget context.");
        return false;
    }
    TGLTextureData* data = GLData(texture);
    if (!data || !data->BeginRenderTarget())
        return false;
    mRenderTarget = texture;
    ApplyScissor();
    return true;
}

void TGLDisplayHandler::EndRenderTarget()
{
    BeginGLWork(EGLWork::kRecordable);
    if (!mRenderTarget)
        return;
    if (TGLTextureData* data = GLData(mRenderTarget))
        data->EndRenderTarget();
    mRenderTarget = nullptr;
    BindSurface(GetDrawFramebuffer());
    ApplyScissor();
}

// ---------------------------------------------------------------- cursor

TPoint TGLDisplayHandler::GetMouse()
{
    return mPointerSource ? mPointerSource->GetMousePosition() : TPoint{};
}

void TGLDisplayHandler::SetCursor(std::shared_ptr<TTexture> texture, TPoint hotSpot)
{
    mCursor = std::move(texture);
    mCursorHotSpot = hotSpot;
}

void TGLDisplayHandler::DrawCursor()
{
    if (!mCursor || !mCursor->GetData() || !mPointerSource || !mPointerSource->ShouldDrawCursor())
        return;
    TPoint mouse = GetMouse();
    bool wasIn2d = mIn2d;
    Begin2d();
    // The hot spot is the pixel of the cursor image that sits on the pointer.
    mCursor->GetData()->Draw(float(mouse.x - mCursorHotSpot.x), float(mouse.y - mCursorHotSpot.y), 1.0f, 1.0f,
                             nullptr);
    End2d();
    mIn2d = wasIn2d;
}
