#include "engine/render/gl/gltexturedata.h"

#include "engine/base/debuglog.h"
#include "engine/render/gl/gldisplayhandler.h"
#include "engine/render/gl/glstate.h"
#include "engine/render/gl/glstats.h"

#include <algorithm>
#include <cmath>

namespace {

// Binds a framebuffer through the handler, which knows which way up it is.
void BindSurface(GLuint framebuffer)
{
    if (TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance())
        handler->BindSurface(framebuffer);
    else
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
}

// Binds a texture's framebuffer with a pixel projection over its whole
// surface, and puts the handler's framebuffer, viewport and scissor back after.
class TDrawIntoTexture {
public:
    TDrawIntoTexture(GLuint framebuffer, int width, int height) : mProjection(width, height)
    {
        BindSurface(framebuffer);
        glViewport(0, 0, width, height);
        glDisable(GL_SCISSOR_TEST);
        glDisable(GL_BLEND);
    }
    ~TDrawIntoTexture()
    {
        TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance();
        BindSurface(handler ? handler->GetDrawFramebuffer() : 0);
        glEnable(GL_SCISSOR_TEST);
        if (handler) {
            glViewport(0, 0, handler->GetDisplayWidth(), handler->GetDisplayHeight());
            // A copy sets a scissor box of its own: the screen's comes back.
            handler->ApplyScissor();
        }
    }
    TDrawIntoTexture(const TDrawIntoTexture&) = delete;
    TDrawIntoTexture& operator=(const TDrawIntoTexture&) = delete;

private:
    TScopedPixelProjection mProjection;
};

// Names the kind of GL work about to happen (glwork.h) to the handler, which
// sends the queued sprites on first: they may sample this texture or draw
// into a framebuffer about to change.
void BeginGLWork(EGLWork kind, GLuint texture = 0)
{
    if (TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance())
        handler->BeginGLWork(kind, texture);
}

}  // namespace

TGLTextureData::~TGLTextureData()
{
    DeleteDeviceObjects();
}

void TGLTextureData::DeleteDeviceObjects()
{
    BeginGLWork(EGLWork::kTextureWrite, mTexture);
    LeavePage();
    // Without a handler the context is gone and took its objects with it.
    if (!TGLDisplayHandler::GetInstance())
        return;
    if (mFramebuffer)
        glDeleteFramebuffers(1, &mFramebuffer);
    if (mTexture)
        glDeleteTextures(1, &mTexture);
    mFramebuffer = mTexture = 0;
}

// ---------------------------------------------------------------- texture pages

bool TGLTextureData::WantsPage() const
{
    TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance();
    return mMaySharePage && handler && handler->GetTexturePages() && !mFramebuffer && !mDeviceNewer &&
           !IsSystemSurface() && !HasFlag(kRenderTarget) && !HasFlag(kPalettized) && mImageWidth >= 1 &&
           mImageHeight >= 1 && mImageWidth <= mSurfaceWidth && mImageHeight <= mSurfaceHeight &&
           mImageWidth <= TGLTexturePages::kLargestSide && mImageHeight <= TGLTexturePages::kLargestSide;
}

bool TGLTextureData::PlaceOnPage()
{
    if (!WantsPage()) {
        LeavePage();
        return false;
    }
    if (mRegion.texture && mRegion.rect.Width() == mImageWidth && mRegion.rect.Height() == mImageHeight)
        return false;
    LeavePage();
    std::shared_ptr<TGLTexturePages> pages = TGLDisplayHandler::GetInstance()->GetTexturePages();
    if (!pages->Allocate(mImageWidth, mImageHeight, &mRegion)) {
        mRegion = TGLPageRegion{};
        return false;
    }
    mPages = pages;
    UploadToPage({0, 0, mImageWidth, mImageHeight});
    return true;
}

void TGLTextureData::UploadToPage(const TRect& rect)
{
    // The page holds the image only; the surface's margin is never sampled from it.
    const TRect part = rect.Intersect({0, 0, mImageWidth, mImageHeight});
    if (!mRegion.texture || part.IsEmpty() || mPixels.empty())
        return;
    BeginGLWork(EGLWork::kTextureWrite, mRegion.texture);
    glBindTexture(GL_TEXTURE_2D, mRegion.texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, mSurfaceWidth);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, part.x1);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, part.y1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, mRegion.rect.x1 + part.x1, mRegion.rect.y1 + part.y1, part.Width(),
                    part.Height(), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, mPixels.data());
    CountGLUpload(std::int64_t(part.Width()) * part.Height());
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    // A part of the image grows the box by what it holds now; a pixel it
    // made transparent leaves the box as large as before, which costs
    // pixels but never drops one.
    TRect opaque = OpaqueBox(part);
    opaque.Offset(mRegion.rect.x1, mRegion.rect.y1);
    const bool whole = part.Width() == mImageWidth && part.Height() == mImageHeight;
    mRegion.opaque = whole ? opaque : mRegion.opaque.Union(opaque);
}

TRect TGLTextureData::OpaqueBox(const TRect& part) const
{
    // Without alpha of its own every texel counts (its alpha bytes say nothing).
    if (!HasFlag(kAlpha))
        return part;
    TRect box{part.x2, part.y2, part.x1, part.y1};
    for (int y = part.y1; y < part.y2; ++y) {
        const std::uint8_t* row = mPixels.data() + (std::size_t(y) * std::size_t(mSurfaceWidth)) * 4;
        int first = part.x1;
        while (first < part.x2 && row[first * 4 + 3] == 0)
            ++first;
        if (first == part.x2)
            continue;
        int last = part.x2 - 1;
        while (row[last * 4 + 3] == 0)
            --last;
        box = {std::min(box.x1, first), std::min(box.y1, y), std::max(box.x2, last + 1), y + 1};
    }
    return box.IsEmpty() ? TRect{} : box;
}

void TGLTextureData::LeavePage()
{
    if (!mRegion.texture)
        return;
    // The page's pixels stay as they are (the pages name a page's deletion).
    BeginGLWork(EGLWork::kRecordable);
    if (std::shared_ptr<TGLTexturePages> pages = mPages.lock())
        pages->Free(mRegion);
    mRegion = TGLPageRegion{};
    mPages.reset();
}

void TGLTextureData::UploadChangedPixels(const TRect& part)
{
    // Where frames are recorded and drawn where they changed
    // (gldisplayhandler.h), pixels that change after their first upload (an
    // animation's frame copied in, a surface cleared) move to a texture of
    // their own for good: a change on a page would mark every image of the
    // page as changed, where one of its own marks only this image. Elsewhere
    // they stay on the page, which batches them with their neighbours.
    TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance();
    if (!mRegion.texture)
        return;
    if (handler && handler->KeepsWindowAcrossSwaps())
        SetMaySharePage(false);
    else
        UploadToPage(part);
}

void TGLTextureData::SetMaySharePage(bool may)
{
    TTextureData::SetMaySharePage(may);
    if (!may) {
        if (mRegion.texture)
            MakeOwnTexture();
        LeavePage();
        return;
    }
    // A texture made before it was allowed moves now; its own texture goes
    // unless something drew into it.
    if (!WantsPage())
        return;
    PlaceOnPage();
    if (mRegion.texture && mTexture)
        DeleteOwnTexture();
}

void TGLTextureData::DeleteOwnTexture()
{
    BeginGLWork(EGLWork::kTextureWrite, mTexture);
    glDeleteTextures(1, &mTexture);
    mTexture = 0;
}

// ---------------------------------------------------------------- device copy

GLuint TGLTextureData::GetTextureName()
{
    if (!mTexture && !mPixels.empty())
        MakeOwnTexture();
    return mTexture;
}

void TGLTextureData::MakeOwnTexture()
{
    if (mTexture || mPixels.empty())
        return;
    BeginGLWork(EGLWork::kRecordable);  // a new texture, written below
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    UploadWholeTexture();
    glBindTexture(GL_TEXTURE_2D, GLuint(previous));
}

void TGLTextureData::UploadWholeTexture()
{
    // A new name needs no generation of its own: every texture's deletion
    // counted as a write to its name, which GL may hand out again.
    BeginGLWork(EGLWork::kTextureWrite, mTexture);
    if (!mTexture)
        glGenTextures(1, &mTexture);
    glBindTexture(GL_TEXTURE_2D, mTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, HasFlag(kAlpha) ? GL_LINEAR : GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, mSurfaceWidth, mSurfaceHeight, 0, GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, mPixels.data());
    CountGLUpload(std::int64_t(mSurfaceWidth) * mSurfaceHeight);
}

bool TGLTextureData::CreateDeviceSurface()
{
    BeginGLWork(EGLWork::kTextureWrite, mTexture);
    while (glGetError() != GL_NO_ERROR) {
    }
    if (mFramebuffer) {
        glDeleteFramebuffers(1, &mFramebuffer);
        mFramebuffer = 0;
    }
    LeavePage();
    if (WantsPage()) {
        // The image goes onto a page with its first upload; until then (and
        // when no page has room) it is drawn from a texture of its own.
        if (mTexture) {
            glDeleteTextures(1, &mTexture);
            mTexture = 0;
        }
        return true;
    }
    UploadWholeTexture();
    GLenum error = glGetError();
    if (error != GL_NO_ERROR) {
        WriteDbg("Texture of %dx%d not made: GL error 0x%x", mSurfaceWidth, mSurfaceHeight, error);
        return false;
    }
    return true;
}

void TGLTextureData::UploadPixels()
{
    BeginGLWork(EGLWork::kRecordable);  // each texture's write is named where it is written
    UploadPart({0, 0, mImageWidth, mImageHeight}, {0, 0, mSurfaceWidth, mSurfaceHeight});
}

void TGLTextureData::UploadRect(const TRect& rect)
{
    BeginGLWork(EGLWork::kRecordable);  // each texture's write is named where it is written
    if (!rect.IsEmpty())
        UploadPart(rect, rect);
}

void TGLTextureData::UploadPart(const TRect& imagePart, const TRect& surfacePart)
{
    if (mMaySharePage) {
        if (!PlaceOnPage())
            UploadChangedPixels(imagePart);
        if (!mRegion.texture)
            MakeOwnTexture();  // no page: the texture is its own again
    }
    if (mTexture)
        UploadToOwnTexture(surfacePart);
}

void TGLTextureData::UploadToOwnTexture(const TRect& rect)
{
    BeginGLWork(EGLWork::kTextureWrite, mTexture);
    glBindTexture(GL_TEXTURE_2D, mTexture);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, mSurfaceWidth);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, rect.x1);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, rect.y1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, rect.x1, rect.y1, rect.Width(), rect.Height(), GL_BGRA,
                    GL_UNSIGNED_INT_8_8_8_8_REV, mPixels.data());
    CountGLUpload(std::int64_t(rect.Width()) * rect.Height());
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
}

void TGLTextureData::DownloadPixels()
{
    BeginGLWork(EGLWork::kUnrecordable);
    if (!mTexture)
        return;
    glBindTexture(GL_TEXTURE_2D, mTexture);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, mPixels.data());
}

GLuint TGLTextureData::GetFramebuffer()
{
    BeginGLWork(EGLWork::kRecordable);
    if (!mFramebuffer) {
        // What is drawn into the texture lives on its own texture from now on.
        MakeOwnTexture();
        LeavePage();
    }
    if (!mFramebuffer && mTexture) {
        GLint previous = 0;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
        glGenFramebuffers(1, &mFramebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, mFramebuffer);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, mTexture, 0);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
            WriteDbg("Framebuffer over texture %s is incomplete", mPath.c_str());
        glBindFramebuffer(GL_FRAMEBUFFER, GLuint(previous));
    }
    return mFramebuffer;
}

void TGLTextureData::DeviceFillRect(const TRect& rect, const TColor& colour)
{
    const GLuint framebuffer = GetFramebuffer();
    BeginGLWork(EGLWork::kTextureWrite, mTexture);
    TDrawIntoTexture into(framebuffer, mSurfaceWidth, mSurfaceHeight);
    glDisable(GL_TEXTURE_2D);
    glColor4f(colour.r, colour.g, colour.b, colour.a);
    glRecti(rect.x1, rect.y1, rect.x2, rect.y2);
    CountGLDraw();
    glColor4f(1, 1, 1, 1);
}

void TGLTextureData::CopyToDevice(TTextureData& destination, int x, int y, const TRect& source)
{
    auto* target = dynamic_cast<TGLTextureData*>(&destination);
    if (!target || !GetTextureName())
        return;
    const GLuint framebuffer = target->GetFramebuffer();
    BeginGLWork(EGLWork::kTextureWrite, target->mTexture);
    TDrawIntoTexture into(framebuffer, target->mSurfaceWidth, target->mSurfaceHeight);
    // Only the source rectangle, placed at (x, y), is written; the rest of the
    // destination keeps its pixels and its size.
    TRect placed = TRect{x, y, x + source.Width(), y + source.Height()}.Intersect(
        {0, 0, target->mSurfaceWidth, target->mSurfaceHeight});
    if (placed.IsEmpty())
        return;
    glEnable(GL_SCISSOR_TEST);
    glScissor(placed.x1, placed.y1, placed.Width(), placed.Height());
    TSpriteQuad quad = BuildSurfaceQuad(float(x - source.x1), float(y - source.y1), float(mSurfaceWidth),
                                        float(mSurfaceHeight));
    glBindTexture(GL_TEXTURE_2D, mTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    DrawQuad(quad, {1, 1, 1, 1}, GL_REPLACE);
}

void TGLTextureData::DrawSurfaceToScreen(int x, int y, const TRect& source)
{
    BeginGLWork(EGLWork::kUnrecordable);
    TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance();
    if (!handler || mSystemSurface.empty())
        return;
    handler->PushViewport(x, y, x + source.Width(), y + source.Height());
    if (handler->HasViewport()) {
        glDisable(GL_BLEND);
        // Rows go up from the raster position; on the window (rows bottom up)
        // they go down from the top edge instead.
        const bool window = handler->DrawsToWindow();
        glWindowPos2i(x - source.x1, window ? handler->GetDisplayHeight() - (y - source.y1) : y - source.y1);
        glPixelZoom(1, window ? -1 : 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, mSurfaceWidth);
        glDrawPixels(std::min(mImageWidth, mSurfaceWidth), std::min(mImageHeight, mSurfaceHeight), GL_BGRA,
                     GL_UNSIGNED_INT_8_8_8_8_REV, mSystemSurface.data());
        CountGLDraw();
        glPixelZoom(1, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    }
    handler->PopViewport();
}

// ---------------------------------------------------------------- drawing

// Called by DrawNow and CopyToDevice after they named their work.
void TGLTextureData::DrawQuad(const TSpriteQuad& quad, const TColor& colour, GLint environment)
{
    MakeOwnTexture();
    TGLSpriteVertex vertices[4];
    for (int i = 0; i < 4; ++i) {
        const TQuadCorner& c = quad.corner[i];
        vertices[i] = {c.u, c.v, colour.r, colour.g, colour.b, colour.a, 0, 0, 0, c.x, c.y, 0.1f};
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, mTexture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, environment);
    glInterleavedArrays(GL_T2F_C4F_N3F_V3F, 0, vertices);
    glDrawArrays(GL_QUADS, 0, 4);
    CountGLTexturedDraw(mTexture);
    // The vertices live on this stack frame: leave no array pointing at them.
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_TEXTURE_2D);
}

void TGLTextureData::Draw(float x, float y, float alpha, float scale, const TRect* source)
{
    TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance();
    if (handler && handler->RecordsFrame() && handler->In2d() && alpha >= 0)
        QueueDraw(*handler, x, y, alpha, scale, source);
    else
        DrawNow(x, y, alpha, scale, source);
}

bool TGLTextureData::PlaceDraw(const TGLDisplayHandler& handler, float x, float y, float scale, const TRect* source,
                               TSpriteQuad& quad, TRect& clip)
{
    if (IsSystemSurface() || !GetTextureName()) {
        QM_ASSERT(!"Attempt to call Draw on an mSystemRamTexture.");
        return false;
    }
    float left = source ? x - source->x1 : x;
    float top = source ? y - source->y1 : y;
    quad = BuildSurfaceQuad(left, top, mSurfaceWidth * scale, mSurfaceHeight * scale);
    // Only the source rectangle (or the image) placed at (x, y) is drawn, within the current viewport.
    float width = source ? source->Width() * scale : mImageWidth * scale;
    float height = source ? source->Height() * scale : mImageHeight * scale;
    clip = {int(std::floor(x)), int(std::floor(y)), int(std::ceil(x + width)), int(std::ceil(y + height))};
    const TRect& vp = handler.GetViewportRect();
    clip = clip.Intersect({vp.x1, vp.y1, vp.x1 + vp.x2, vp.y1 + vp.y2});
    return !clip.IsEmpty();
}

void TGLTextureData::QueueDraw(TGLDisplayHandler& handler, float x, float y, float alpha, float scale,
                               const TRect* source)
{
    // In a recorded frame's 2D pass the quad is queued like a sprite (the
    // same quad modulated by the same colour), so the record keeps it.
    TSpriteQuad quad;
    TRect clip;
    if (!PlaceDraw(handler, x, y, scale, source, quad, clip))
        return;
    handler.PushViewport(clip.x1, clip.y1, clip.x2, clip.y2);
    handler.AddSprite(mTexture, quad, {1, 1, 1, alpha}, false);
    handler.PopViewport();
}

void TGLTextureData::DrawNow(float x, float y, float alpha, float scale, const TRect* source)
{
    BeginGLWork(EGLWork::kUnrecordable);
    TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance();
    TSpriteQuad quad;
    TRect clip;
    if (!handler || !PlaceDraw(*handler, x, y, scale, source, quad, clip))
        return;
    GLint environment = GL_MODULATE;
    if (alpha < 0) {
        alpha = -alpha;
        environment = GL_REPLACE;
    }
    handler->PushViewport(clip.x1, clip.y1, clip.x2, clip.y2);
    handler->ApplyBlendMode();
    glBindTexture(GL_TEXTURE_2D, mTexture);
    handler->ApplyFilteringMode();
    DrawQuad(quad, {1, 1, 1, alpha}, environment);
    handler->PopViewport();
}

void TGLTextureData::DrawSprite(const TVec2& pos, float alpha, float scaleX, float scaleY, float rotation,
                                const TVec2* centre, const TColor& colour, int flags, const float* matrix,
                                const TRect* source)
{
    QueueSprite(pos, alpha, scaleX, scaleY, rotation, centre, colour, flags, matrix, source, nullptr);
}

void TGLTextureData::DrawSpritePart(const TVec2& pos, float alpha, float scaleX, float scaleY, float rotation,
                                    const TVec2* centre, const TColor& colour, int flags, const TRect& source,
                                    const TRect& visible)
{
    QueueSprite(pos, alpha, scaleX, scaleY, rotation, centre, colour, flags, nullptr, &source, &visible);
}

void TGLTextureData::QueueSprite(const TVec2& pos, float alpha, float scaleX, float scaleY, float rotation,
                                 const TVec2* centre, const TColor& colour, int flags, const float* matrix,
                                 const TRect* source, const TRect* visible)
{
    if (IsSystemSurface() || mPixels.empty()) {
        QM_ASSERT(!"Attempt to call DrawSprite on an mSystemRamTexture.");
        return;
    }
    TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance();
    if (!handler || !handler->HasViewport())
        return;
    TSpriteParams params;
    params.pos = pos;
    params.scaleX = scaleX;
    params.scaleY = scaleY;
    params.rotation = rotation;
    params.centre = centre;
    params.flags = flags;
    params.matrix = matrix;
    params.source = source ? *source : TRect{0, 0, mImageWidth, mImageHeight};
    params.surfaceSize = {mSurfaceWidth, mSurfaceHeight};
    const TRect& vp = handler->GetViewportRect();
    params.viewportOrigin = {vp.x1, vp.y1};
    params.visible = visible;
    TSpriteQuad quad = BuildSpriteQuad(params);
    const TColor tint{colour.r, colour.g, colour.b, std::fabs(alpha)};
    if (handler->IsPlainDrawing()) {
        handler->AddSprite(GetTextureName(), quad, tint, false);
        return;
    }
    const bool exact = IsTexelExact(quad, params.surfaceSize);
    if (exact && OntoPage(quad)) {
        // Where alpha 0 leaves the pixel as it is, only the opaque box is drawn.
        const EBlendModes blend = handler->GetBlendMode();
        if ((blend == kBlendAlpha || blend == kBlendAlphaAdditive) && HasFlag(kAlpha)) {
            constexpr TPoint kPage{TGLTexturePages::kPageSize, TGLTexturePages::kPageSize};
            if (!CutQuadToTexels(quad, kPage, mRegion.opaque))
                return;
        }
        handler->AddSprite(mRegion.texture, quad, tint, true);
    }
    else
        handler->AddSprite(GetTextureName(), quad, tint, exact);
}

bool TGLTextureData::OntoPage(TSpriteQuad& quad) const
{
    if (!mRegion.texture || mRegion.rect.Width() != mImageWidth || mRegion.rect.Height() != mImageHeight)
        return false;
    // The texels the quad reads, which must all be the image's.
    const float width = float(mSurfaceWidth), height = float(mSurfaceHeight);
    float left = quad.corner[0].u * width, right = left, top = quad.corner[0].v * height, bottom = top;
    for (const TQuadCorner& c : quad.corner) {
        left = std::min(left, c.u * width);
        right = std::max(right, c.u * width);
        top = std::min(top, c.v * height);
        bottom = std::max(bottom, c.v * height);
    }
    if (left < 0 || top < 0 || right > float(mImageWidth) || bottom > float(mImageHeight))
        return false;
    // Texel t of the image is texel (region + t) of the page; with sizes that
    // are powers of two both coordinates are exact in float.
    constexpr float kPage = float(TGLTexturePages::kPageSize);
    for (TQuadCorner& c : quad.corner) {
        c.u = (float(mRegion.rect.x1) + c.u * width) / kPage;
        c.v = (float(mRegion.rect.y1) + c.v * height) / kPage;
    }
    return true;
}

void TGLTextureData::DrawFast(int x, int y, const TRect& source, const std::shared_ptr<TTexture>& destination)
{
    TGLDisplayHandler* handler = TGLDisplayHandler::GetInstance();
    if (destination || !mFramebuffer || !handler || handler->GetRenderTarget()) {
        TTextureData::DrawFast(x, y, source, destination);
        return;
    }
    // Only what lies inside the scissor box (the viewport, narrowed by the
    // draw bounds) is written, as a drawn quad would be.
    const TRect placed = TRect{x, y, x + source.Width(), y + source.Height()}
                             .Intersect(handler->GetScissorBox())
                             .Intersect({0, 0, mSurfaceWidth - source.x1 + x, mSurfaceHeight - source.y1 + y});
    if (!placed.IsEmpty())
        CopyToScreen(*handler, {source.x1 + placed.x1 - x, source.y1 + placed.y1 - y}, placed);
}

void TGLTextureData::CopyToScreen(TGLDisplayHandler& handler, TPoint from, const TRect& placed)
{
    BeginGLWork(EGLWork::kRecordable);  // a copy the record keeps
    if (handler.RecordCopy(mFramebuffer, mTexture, from, placed))
        return;
    const GLuint target = handler.GetDrawFramebuffer();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, mFramebuffer);
    glDisable(GL_SCISSOR_TEST);
    // Our surfaces keep the top row first; the window keeps it last.
    const int height = handler.GetDisplayHeight();
    const int top = handler.DrawsToWindow() ? height - placed.y1 : placed.y1;
    const int bottom = handler.DrawsToWindow() ? height - placed.y2 : placed.y2;
    glBlitFramebuffer(from.x, from.y, from.x + placed.Width(), from.y + placed.Height(), placed.x1, top, placed.x2,
                      bottom, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    CountGLDraw();
    glEnable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, target);
}

// ---------------------------------------------------------------- render targets

bool TGLTextureData::BeginRenderTarget()
{
    if (!TTextureData::BeginRenderTarget())
        return false;
    GLuint framebuffer = GetFramebuffer();
    if (!framebuffer)
        return false;
    BeginGLWork(EGLWork::kTextureWrite, mTexture);
    BindSurface(framebuffer);
    return true;
}

void TGLTextureData::EndRenderTarget()
{
    BeginGLWork(EGLWork::kTextureWrite, mTexture);
    // The drawing went straight into the texture; only the CPU copy is behind.
    MarkDeviceNewer();
}
