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
#include <numbers>
#include <string_view>

namespace {

// Matrices are row-vector (p' = p x M) and row-major, which is the memory
// layout glLoadMatrixf expects of GL's column-vector, column-major matrices.
const GLfloat* GLMatrix(const TMat4& m)
{
    return &m.m[0].x;
}

// The 3D matrices come in a left-handed convention; this turns them into
// GL's (z negated: RotateY(pi) followed by Scale(-1, 1, 1)).
TMat4 Handedness()
{
    TMat4 h;
    h.RotateY(std::numbers::pi_v<float>);
    h.Scale(-1, 1, 1);
    return h;
}

GLenum FrontFaceOnSurface(GLenum windingOnScreen)
{
    return windingOnScreen == GL_CCW ? GL_CW : GL_CCW;
}

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

// Every vertex set handed to the handler has 32-byte vertices: position at
// 0, normal or colour after, texture coordinates at 24.
constexpr GLsizei kVertexStride = 32;

void PointAtPositionsAndTexCoords(const unsigned char* base)
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, kVertexStride, base);
    glTexCoordPointer(2, GL_FLOAT, kVertexStride, base + 24);
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
    mSprites.SetSink(this);
    mGlyphs.SetSink(this);
    mLines.SetSink(this);
}

TGLDisplayHandler::~TGLDisplayHandler()
{
    FlushSprites();
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
    FlushSprites();
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
    FlushSprites();
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
    FlushSprites();
    if (width < 1 || height < 1)
        return false;
    mOrthoNear = -1;
    mOrthoFar = 1;
    bool resized = mDisplay.x2 != width || mDisplay.y2 != height;
    mDisplay = {0, 0, width, height};
    if (mWindowWidth == 0)
        SetWindowSize(width, height);
    // A mode switch at the same size keeps the screen's pixels: a frame that
    // redraws only its dirty areas still finds the rest in place.
    if (!mScreenFramebuffer) {  // the context's first display: what it offers
        mHasClipControl = HasClipControl();
        mSwapKeepsWindow = SwapKeepsBackBuffer();
        mPrograms.Build();
    }
    mLastFrameShown = false;
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
        mLastFrameShown = false;
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
    FlushSprites();
    // A frame that redraws everything may go straight to the window, unless
    // it is the one that brings the screen framebuffer up to date again.
    mDrawingToWindow = !keep && !mRedrawIntoScreen && CanDrawToWindow();
    mRedrawIntoScreen = false;
    // A frame to the window is recorded where the window keeps what the
    // last one drew; any other frame leaves the window unlike the record.
    mRecording = mDrawingToWindow && mSwapKeepsWindow && mPartialRedraw;
    if (!mRecording)
        mLastFrameShown = false;
    mFrame.Clear();
    // The screen framebuffer keeps the last frame, so what lies outside the
    // current viewport is kept in either case; the viewport's area is cleared
    // (a recorded frame's, when it is drawn).
    BindSurface(GetDrawFramebuffer());
    glViewport(0, 0, mDisplay.x2, mDisplay.y2);
    ApplyScissor();
    if (!mRecording) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // Only 3D drawing reads the depth buffer: it is cleared (the same area)
    // when a frame first turns depth on, so 2D frames never touch it.
    mDepthClearPending = true;
    mDepthClearBox = mViewport;
    return true;
}

void TGLDisplayHandler::ClearDepthIfPending()
{
    if (!mDepthClearPending || mRenderTarget)
        return;
    FlushSprites();
    mDepthClearPending = false;
    if (mDepthClearBox.x2 >= 1 && mDepthClearBox.y2 >= 1)
        glScissor(mDepthClearBox.x1, SurfaceRow(mDepthClearBox.y1, mDepthClearBox.y2), mDepthClearBox.x2,
                  mDepthClearBox.y2);
    GLboolean mask = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    glDepthMask(GL_TRUE);
    glClear(GL_DEPTH_BUFFER_BIT);
    glDepthMask(mask);
    ApplyScissor();
}

bool TGLDisplayHandler::EndDraw(bool showCursor)
{
    FlushQueues();
    if (showCursor)
        DrawCursor();
    FlushQueues();
    FinishRecordedFrame();
    if (!showCursor)
        glFlush();
    Present();
    return true;
}

// ---------------------------------------------------------------- recorded frames

void TGLDisplayHandler::SetPartialRedraw(bool on)
{
    FlushSprites();
    mPartialRedraw = on;
    mLastFrameShown = false;
}

bool TGLDisplayHandler::MayRecordRun()
{
    if (!RecordsFrame())
        return false;
    // The record draws with the 2D pass's projection: a run drawn outside
    // one is drawn now, with what was recorded before it.
    if (mIn2d || mEnd2dPending)
        return true;
    StopRecording();
    return false;
}

TGLFrameRecord::TRunState TGLDisplayHandler::RunState(TGLFrameRecord::EKind kind, GLuint texture) const
{
    TGLFrameRecord::TRunState state;
    state.kind = kind;
    state.texture = texture;
    const auto generation = mGenerations.find(texture);
    state.generation = generation == mGenerations.end() ? 0 : generation->second;
    state.scissor = mScissorBox;
    return state;
}

bool TGLDisplayHandler::TakeSprites(GLuint texture, EBlendModes blend, EFilteringModes filter, const void* vertices,
                                    int count)
{
    if (!MayRecordRun())
        return false;
    TGLFrameRecord::TRunState state = RunState(TGLFrameRecord::EKind::kSprites, texture);
    state.blend = blend;
    state.filter = filter;
    mFrame.Add(state, vertices, count);
    return true;
}

bool TGLDisplayHandler::TakeGlyphs(GLuint atlas, const void* vertices, int count)
{
    if (!MayRecordRun())
        return false;
    mFrame.Add(RunState(TGLFrameRecord::EKind::kGlyphs, atlas), vertices, count);
    return true;
}

bool TGLDisplayHandler::TakeLines(const void* vertices, int count)
{
    if (!MayRecordRun())
        return false;
    // Lines are drawn with the whole display as scissor box.
    TGLFrameRecord::TRunState state = RunState(TGLFrameRecord::EKind::kLines, 0);
    state.scissor = {0, 0, mDisplay.x2, mDisplay.y2};
    mFrame.Add(state, vertices, count);
    return true;
}

bool TGLDisplayHandler::RecordBlit(GLuint framebuffer, GLuint texture, TPoint source, const TRect& placed)
{
    if (!RecordsFrame())
        return false;
    FlushQueues();
    if (!RecordsFrame())
        return false;
    TGLFrameRecord::TRunState state = RunState(TGLFrameRecord::EKind::kBlit, texture);
    state.framebuffer = framebuffer;
    state.source = source;
    state.placed = placed;
    mFrame.Add(state, nullptr, 0);
    return true;
}

void TGLDisplayHandler::PrepareTextureWrite(GLuint texture)
{
    FlushQueues();
    // Runs recorded from the texture must be drawn with the pixels it has now.
    if (mRecording && mFrame.Uses(texture))
        StopRecording();
    if (texture)
        ++mGenerations[texture];
}

void TGLDisplayHandler::StopRecording()
{
    if (!mRecording)
        return;
    mRecording = false;
    DrawRecord(nullptr);
    mFrame.Clear();
    // Drawn partly at once, the frame is not all in the record.
    mLastFrameShown = false;
    ++GLDrawStats().wholeFrames;
}

void TGLDisplayHandler::FinishRecordedFrame()
{
    if (!mRecording)
        return;
    mRecording = false;
    const int width = mDisplay.x2, height = mDisplay.y2;
    TGLDrawStats& stats = GLDrawStats();
    if (mLastFrameShown) {
        constexpr std::size_t kMostRectangles = 16;
        const std::vector<TRect> changed = mFrame.ChangedSince(mLastFrame, width, height, kMostRectangles);
        DrawRecord(&changed);
        ++stats.partialFrames;
        for (const TRect& r : changed)
            stats.redrawnPixels += std::int64_t(r.Width()) * r.Height();
        if (mCheckPartialFrames)
            CheckAgainstWholeRedraw();
    } else {
        DrawRecord(nullptr);
        ++stats.wholeFrames;
        stats.redrawnPixels += std::int64_t(width) * height;
    }
    std::swap(mFrame, mLastFrame);
    mFrame.Clear();
    mLastFrameShown = true;
}

void TGLDisplayHandler::DrawRecord(const std::vector<TRect>* within)
{
    const int width = mDisplay.x2, height = mDisplay.y2;
    BindSurface(0);
    glViewport(0, 0, width, height);
    glPushAttrib(GL_ENABLE_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glEnable(GL_SCISSOR_TEST);
    {
        TScopedPixelProjection projection(width, height);
        if (within)
            mFrame.DrawWithin(mPrograms, *within, width, height);
        else
            mFrame.DrawWhole(mPrograms, width, height);
    }
    glPopAttrib();
    BindSurface(GetDrawFramebuffer());
    LoadScissorBox();
}

void TGLDisplayHandler::CheckAgainstWholeRedraw()
{
    const int width = mDisplay.x2, height = mDisplay.y2;
    std::vector<unsigned char> part(std::size_t(width) * height * 4), whole(part.size());
    auto readWindow = [&](std::vector<unsigned char>& into) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, into.data());
    };
    readWindow(part);
    DrawRecord(nullptr);
    readWindow(whole);
    BindSurface(GetDrawFramebuffer());
    if (part != whole) {
        ++mPartialFrameMismatches;
        WriteDbg("A frame drawn where it changed differs from the same frame drawn whole");
    }
}

void TGLDisplayHandler::Present()
{
    FlushSprites();
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
    FlushSprites();
    mLastFrameShown = false;
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
    FlushSprites();
    if (blackness <= 0 || mWindowWidth < 1 || mWindowHeight < 1)
        return;
    mLastFrameShown = false;  // the black lies over the window's frame
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
    FlushSprites();
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
    FlushQueues();
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
    FlushQueues();
    mIn2d = false;
    Leave2d();
}

void TGLDisplayHandler::JoinPasses(bool on)
{
    mJoinPasses = on;
    if (!on)
        FlushQueues();
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

bool TGLDisplayHandler::Begin3d()
{
    FlushSprites();
    ClearDepthIfPending();
    SetFilteringMode(kFilterLinear);
    glPushAttrib(GL_ENABLE_BIT);
    glDepthMask(GL_TRUE);
    glEnable(GL_LIGHTING);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(FrontFaceOnSurface(GL_CCW));
    return true;
}

void TGLDisplayHandler::End3d()
{
    FlushSprites();
    glPopAttrib();
}

void TGLDisplayHandler::ApplyBlendMode()
{
    FlushSprites();
    ApplyGLBlendMode(mBlendMode);
}

void TGLDisplayHandler::ApplyFilteringMode()
{
    FlushSprites();
    ApplyGLFilteringMode(mFilteringMode);
}

void TGLDisplayHandler::FlushSprites()
{
    FlushQueues();
    StopRecording();
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
        mPages = std::make_shared<TGLTexturePages>();
    return mPages;
}

void TGLDisplayHandler::SetPlainDrawing(bool plain)
{
    FlushSprites();
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

void TGLDisplayHandler::SetShadeMode(EShadeModes mode)
{
    FlushSprites();
    glShadeModel(mode == kShadeFlat ? GL_FLAT : GL_SMOOTH);
}

void TGLDisplayHandler::SetZBufferWrite(bool on)
{
    FlushSprites();
    if (on)
        ClearDepthIfPending();
    glDepthMask(on ? GL_TRUE : GL_FALSE);
}

void TGLDisplayHandler::SetZBufferTest(bool on)
{
    FlushSprites();
    if (on)
        ClearDepthIfPending();
    if (on)
        glEnable(GL_DEPTH_TEST);
    else
        glDisable(GL_DEPTH_TEST);
}

void TGLDisplayHandler::SetCullMode(ECullModes mode)
{
    FlushSprites();
    switch (mode) {
    case kCullNone:
        glDisable(GL_CULL_FACE);
        break;
    case kCullClockwise:
        glEnable(GL_CULL_FACE);
        glFrontFace(FrontFaceOnSurface(GL_CW));
        break;
    case kCullCounterClockwise:
        glEnable(GL_CULL_FACE);
        glFrontFace(FrontFaceOnSurface(GL_CCW));
        break;
    }
}

void TGLDisplayHandler::SetAmbientColor(const TColor& colour)
{
    FlushSprites();
    GLfloat ambient[4] = {colour.r, colour.g, colour.b, colour.a};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightModelf(GL_LIGHT_MODEL_LOCAL_VIEWER, 1.0f);
}

// ---------------------------------------------------------------- matrices, lights, materials

void TGLDisplayHandler::LoadModelView()
{
    FlushSprites();
    TMat4 loaded = mWorldView * Handedness();
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(GLMatrix(loaded));
}

void TGLDisplayHandler::SetWorldMatrix(const TMat4* m)
{
    if (!m)
        return;
    mWorld = *m;
    mWorldView = mWorld * mView;
    LoadModelView();
}

void TGLDisplayHandler::SetViewMatrix(const TMat4* m)
{
    if (!m)
        return;
    mView = *m;
    mWorldView = mWorld * mView;
    LoadModelView();
}

void TGLDisplayHandler::SetProjectionMatrix(const TMat4* m)
{
    FlushSprites();
    if (!m)
        return;
    mProjection = *m;
    TMat4 loaded = mProjection;
    loaded.Scale(-1, 1, 1);
    // Every surface is stored top row first and the present flips it; a 3D
    // projection is flipped here as well so 3D content comes out upright.
    // The flip reverses the winding seen in window space (see FrontFaceOnSurface).
    loaded.Scale(1, -1, 1);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(GLMatrix(loaded));
    glMatrixMode(GL_MODELVIEW);
}

void TGLDisplayHandler::SetView(const TVec3& eye, const TVec3& at, const TVec3& up)
{
    TMat4 h = Handedness();
    TMat4 view;
    view.LookAt(h * eye, h * at, h * up);
    SetViewMatrix(&view);
}

void TGLDisplayHandler::SetPerspectiveProjection(float nearZ, float farZ, float fovY, float aspect)
{
    if (aspect == 0.0f)
        aspect = mViewport.y2 > 0 ? float(mViewport.x2) / float(mViewport.y2) : 1.0f;
    TMat4 projection;
    projection.Perspective(nearZ, farZ, fovY, aspect);
    projection.Scale(0.88f, 0.88f, 1.0f);
    SetProjectionMatrix(&projection);
}

void TGLDisplayHandler::SetOrthogonalProjection(float nearZ, float farZ)
{
    mOrthoNear = nearZ;
    mOrthoFar = farZ;
    float x = float(mViewport.x1), y = float(mViewport.y1);
    TMat4 projection;
    projection.Orthogonal(x, x + mViewport.x2, y, y + mViewport.y2, nearZ, farZ);
    SetProjectionMatrix(&projection);
}

void TGLDisplayHandler::GetWorldMatrix(TMat4* m)
{
    if (m)
        *m = mWorld;
}

void TGLDisplayHandler::GetViewMatrix(TMat4* m)
{
    if (m)
        *m = mView;
}

void TGLDisplayHandler::GetProjectionMatrix(TMat4* m)
{
    if (m)
        *m = mProjection;
}

void TGLDisplayHandler::SetMaterial(const TMaterial* material)
{
    FlushSprites();
    // Kept by value: callers pass materials that do not outlive the call.
    mHasMaterial = material != nullptr;
    mMaterial = material ? *material : TMaterial{{0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}, 0};
    const TMaterial& m = mMaterial;
    GLfloat diffuse[4] = {m.diffuse.r, m.diffuse.g, m.diffuse.b, m.diffuse.a};
    GLfloat ambient[4] = {m.ambient.r, m.ambient.g, m.ambient.b, m.ambient.a};
    GLfloat specular[4] = {m.specular.r, m.specular.g, m.specular.b, m.specular.a};
    GLfloat emissive[4] = {m.emissive.r, m.emissive.g, m.emissive.b, m.emissive.a};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT, GL_EMISSION, emissive);
    glMaterialf(GL_FRONT, GL_SHININESS, m.power);
}

void TGLDisplayHandler::SetLight(int index, const TLight* light)
{
    FlushSprites();
    if (index < 0 || index > 3)
        return;
    GLenum id = GLenum(GL_LIGHT0 + index);
    if (!light) {
        glDisable(id);
        return;
    }
    TMat4 h = Handedness();
    TVec3 position = h * light->position;
    TVec3 direction = h * light->direction;
    glEnable(GL_LIGHTING);
    glEnable(id);
    GLfloat ambient[4] = {light->ambient.r, light->ambient.g, light->ambient.b, light->ambient.a};
    GLfloat diffuse[4] = {light->diffuse.r, light->diffuse.g, light->diffuse.b, light->diffuse.a};
    GLfloat specular[4] = {light->specular.r, light->specular.g, light->specular.b, light->specular.a};
    glLightfv(id, GL_AMBIENT, ambient);
    glLightfv(id, GL_DIFFUSE, diffuse);
    glLightfv(id, GL_SPECULAR, specular);
    GLfloat at[4] = {position.x, position.y, position.z, 1};
    GLfloat towards[4] = {direction.x, direction.y, direction.z, 0};
    if (light->kind == TLight::kPoint) {
        glLightfv(id, GL_POSITION, at);
    } else if (light->kind == TLight::kSpot) {
        glLightfv(id, GL_SPOT_DIRECTION, towards);
        glLightfv(id, GL_POSITION, at);
    } else {
        glLightfv(id, GL_POSITION, towards);
    }
}

// ---------------------------------------------------------------- viewports

bool TGLDisplayHandler::HasViewport() const
{
    return mViewport.x1 >= 0 && mViewport.y1 >= 0 && mViewport.x2 > 0 && mViewport.y2 > 0;
}

void TGLDisplayHandler::ApplyScissor()
{
    FlushQueues();
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
    FlushQueues();
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
    FlushSprites();
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
        glNormalPointer(GL_FLOAT, stride, base + 12);
    } else {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(4, GL_UNSIGNED_BYTE, stride, base + 16);
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
    if (wholeDisplay && !mPlainDrawing) {
        const GLuint atlas = texture->GetTextureName();
        mSprites.Flush();
        if (!mLines.IsEmpty())
            FlushQueues();
        if (mGlyphs.Add(atlas, set.GetVertices(), set.GetCount()))
            return true;
        mGlyphs.Flush();
        if (mGlyphs.Add(atlas, set.GetVertices(), set.GetCount()))
            return true;
    }
    FlushQueues();
    PushViewport(0, 0, mDisplay.x2, mDisplay.y2);
    if (!TakeGlyphs(texture->GetTextureName(), set.GetVertices(), set.GetCount()))
        DrawGlyphRun(mPrograms, texture->GetTextureName(), set.GetVertices(), set.GetCount());
    PopViewport();
    return true;
}

void TGLDisplayHandler::FillRect(int left, int top, int right, int bottom, const TColor* colour,
                                 std::shared_ptr<TTexture> target)
{
    if (!colour)
        return;
    if (target) {
        // The texture data's fill prepares its own write.
        FlushQueues();
        if (TTextureData* data = target->GetData())
            data->FillRect(left, top, right, bottom, *colour);
        return;
    }
    FlushSprites();
    TScopedPixelProjection projection(mDisplay.x2, mDisplay.y2);
    PushViewport(0, 0, mDisplay.x2, mDisplay.y2);
    glDisable(GL_TEXTURE_2D);
    ApplyBlendMode();
    glColor4f(colour->r, colour->g, colour->b, colour->a);
    glRecti(left, top, right, bottom);
    CountGLDraw();
    glColor4f(1, 1, 1, 1);
    PopViewport();
}

// ---------------------------------------------------------------- render targets

bool TGLDisplayHandler::BeginRenderTarget(TTexture* texture)
{
    FlushQueues();
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
    FlushQueues();
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
