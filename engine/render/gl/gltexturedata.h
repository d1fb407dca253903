// Texture data on OpenGL: the surface as a GL texture (uploaded with
// glTexImage2D/glTexSubImage2D from B, G, R, A pixels), and, once something
// draws into it, a framebuffer object over that texture. Render targets,
// texture FillRect and texture-to-texture copies draw through that
// framebuffer; the CPU copy is then stale and Lock reads the texture back.
//
// A texture that may share a page (SetMaySharePage) keeps its image on one
// of the handler's texture pages (gltexturepages.h): its texel-exact sprites
// draw from there, in the same batch as other images of the page. Its own GL
// texture is made only when something needs it (a sprite between pixels,
// Draw, DrawVertices, a copy from it); drawing into it (a framebuffer) takes
// it off the page for good.
#pragma once

#include "engine/render/gl/glheaders.h"
#include "engine/render/gl/gltexturepages.h"
#include "engine/render/spritequad.h"
#include "engine/render/texturedata.h"

#include <memory>

class TGLDisplayHandler;

class TGLTextureData : public TTextureData {
public:
    TGLTextureData() = default;
    ~TGLTextureData() override;

    void Draw(float x, float y, float alpha, float scale, const TRect* source) override;
    void DrawSprite(const TVec2& pos, float alpha, float scaleX, float scaleY, float rotation, const TVec2* centre,
                    const TColor& colour, int flags, const float* matrix, const TRect* source) override;
    void DrawSpritePart(const TVec2& pos, float alpha, float scaleX, float scaleY, float rotation,
                        const TVec2* centre, const TColor& colour, int flags, const TRect& source,
                        const TRect& visible) override;
    // To the screen, a texture drawn into (a framebuffer of its own) is
    // copied framebuffer to framebuffer: no shading, no blending.
    void DrawFast(int x, int y, const TRect& source, const std::shared_ptr<TTexture>& destination) override;
    bool BeginRenderTarget() override;
    void EndRenderTarget() override;
    void SetMaySharePage(bool may) override;

    // The texture's own GL texture, made from the pixels when it has none yet.
    GLuint GetTextureName();
    // The framebuffer object over this texture, made on first use.
    GLuint GetFramebuffer();
    // Where the image sits on a texture page; texture 0 when it does not.
    const TGLPageRegion& GetPageRegion() const { return mRegion; }

protected:
    bool CreateDeviceSurface() override;
    void UploadPixels() override;
    void UploadRect(const TRect& rect) override;
    void DownloadPixels() override;
    void DeviceFillRect(const TRect& rect, const TColor& colour) override;
    void DrawSurfaceToScreen(int x, int y, const TRect& source) override;
    void CopyToDevice(TTextureData& destination, int x, int y, const TRect& source) override;

private:
    // Draw: queued into a recorded frame, or drawn at once.
    void QueueDraw(TGLDisplayHandler& handler, float x, float y, float alpha, float scale, const TRect* source);
    void DrawNow(float x, float y, float alpha, float scale, const TRect* source);
    // The quad and the screen box Draw covers; false when it draws nothing.
    bool PlaceDraw(const TGLDisplayHandler& handler, float x, float y, float scale, const TRect* source,
                   TSpriteQuad& quad, TRect& clip);
    // DrawFast onto the screen: a framebuffer copy, or one the record keeps.
    void CopyToScreen(TGLDisplayHandler& handler, TPoint from, const TRect& placed);
    void QueueSprite(const TVec2& pos, float alpha, float scaleX, float scaleY, float rotation, const TVec2* centre,
                     const TColor& colour, int flags, const float* matrix, const TRect* source,
                     const TRect* visible);
    // The quad moved onto the page when it is texel-exact and reads only the
    // image; false when it must draw from the texture's own.
    bool OntoPage(TSpriteQuad& quad) const;
    // Draws the quad with this texture bound; texture environment as given.
    void DrawQuad(const TSpriteQuad& quad, const TColor& colour, GLint environment);
    bool WantsPage() const;
    // Gives the image a place on a page when it wants one and has none of its
    // size, and uploads it there (true); without room it keeps its own texture.
    bool PlaceOnPage();
    void UploadToPage(const TRect& rect);
    // Uploads the image's part (to its page, or off it) and the surface's
    // part to the texture of its own, when it has one.
    void UploadPart(const TRect& imagePart, const TRect& surfacePart);
    void UploadToOwnTexture(const TRect& rect);
    void DeleteOwnTexture();
    // The box of the part's pixels with alpha above 0 (image pixels).
    TRect OpaqueBox(const TRect& part) const;
    void LeavePage();
    // A placed image's pixels changed within `part`: onto its page, or off it (see the .cpp).
    void UploadChangedPixels(const TRect& part);
    void MakeOwnTexture();
    // Makes the texture of its own when there is none and uploads every
    // pixel to it, which it leaves bound.
    void UploadWholeTexture();
    void DeleteDeviceObjects();

    GLuint mTexture = 0;
    GLuint mFramebuffer = 0;
    TGLPageRegion mRegion;
    std::weak_ptr<TGLTexturePages> mPages;  // the handler's, while the region is held
};
