// Texture data on OpenGL: the surface as a GL texture (uploaded with
// glTexImage2D/glTexSubImage2D from B, G, R, A pixels), and, once something
// draws into it, a framebuffer object over that texture. Render targets,
// texture FillRect and texture-to-texture copies draw through that
// framebuffer; the CPU copy is then stale and Lock reads the texture back.
#pragma once

#include "engine/render/gl/glheaders.h"
#include "engine/render/spritequad.h"
#include "engine/render/texturedata.h"

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
    bool BeginRenderTarget() override;
    void EndRenderTarget() override;

    GLuint GetTextureName() const { return mTexture; }
    // The framebuffer object over this texture, made on first use.
    GLuint GetFramebuffer();

protected:
    bool CreateDeviceSurface() override;
    void UploadPixels() override;
    void UploadRect(const TRect& rect) override;
    void DownloadPixels() override;
    void DeviceFillRect(const TRect& rect, const TColor& colour) override;
    void DrawSurfaceToScreen(int x, int y, const TRect& source) override;
    void CopyToDevice(TTextureData& destination, int x, int y, const TRect& source) override;

private:
    void QueueSprite(const TVec2& pos, float alpha, float scaleX, float scaleY, float rotation, const TVec2* centre,
                     const TColor& colour, int flags, const float* matrix, const TRect* source,
                     const TRect* visible);
    // Draws the quad with this texture bound; texture environment as given.
    void DrawQuad(const TSpriteQuad& quad, const TColor& colour, GLint environment);
    void DeleteDeviceObjects();

    GLuint mTexture = 0;
    GLuint mFramebuffer = 0;
};
