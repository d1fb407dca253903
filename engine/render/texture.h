// TTexture: the engine's shared image handle.
//
// Textures are assets: looked up by a key built from the file name and the
// load flags, shared through std::shared_ptr, and loaded afresh once the last
// holder lets go (the registry keeps weak references only). Each texture owns
// one TTextureData made by the installed display handler, or a CPU-only one
// when no handler is installed (tests, tools).
#pragma once

#include "engine/base/asset.h"
#include "engine/render/rendertypes.h"
#include "engine/render/texturedata.h"

#include <memory>

class TTexture : public TAsset {
public:
    // Flags of Get.
    enum {
        kMaskFlag = 1,  // recorded as ":m" in the key
        kForceAlpha = 2,
        kNoAlpha = 4,
    };

    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override;

    // The texture of an image file ("name?options"); empty on failure.
    static std::shared_ptr<TTexture> Get(str name, int flags = 0);
    // As Get, surface not forced square, alpha as the image has it.
    static std::shared_ptr<TTexture> GetSimple(str name);
    // Colour from one image, alpha from the red channel of a mask image.
    static std::shared_ptr<TTexture> GetMerged(str name, str mask, int flags = 0);
    // A cleared texture without a file.
    static std::shared_ptr<TTexture> Create(int width, int height, bool alpha);
    static std::shared_ptr<TTexture> CreateRenderTargetTexture(int width, int height);

    // The registry keys: the name with "/" for "\" and the flag suffixes, then ":tex".
    static str TextureHandle(str name, bool simple, bool alpha, bool mask);
    static str TextureHandle(str name, str mask, bool alpha, bool maskFlag);

    // Use Get/Create; public only so std::make_shared can build one.
    TTexture();
    ~TTexture() override;

    void Release() override;
    void Restore() override;

    // Draws centred on (x, y); rotation in radians; flag 1 mirrors horizontally, 2 vertically.
    virtual void DrawSprite(float x, float y, float alpha, float scale, float rotation, int flags);
    virtual void DrawSprite(const TVec2& pos, float alpha, float scale, float rotation, const TVec2* centre,
                            int flags);
    virtual void DrawSprite(const TVec2& pos, float alpha, float scaleX, float scaleY, float rotation,
                            const TVec2* centre, const TColor* colour, int flags, const TRect* source);
    // Draws the image with its top left at (x, y) (less the source's top left).
    // A negative alpha draws the texture's own colours and alpha.
    virtual void Draw(float x, float y, float alpha = 1.0f, float scale = 1.0f, const TRect* source = nullptr);
    // Copies without blending to the screen (empty destination) or into another texture.
    virtual void DrawFast(int x, int y, const TRect* source = nullptr,
                          std::shared_ptr<TTexture> destination = nullptr);
    virtual void LoadPalette(str name);

    int GetWidth() const;
    int GetHeight() const;
    void GetInternalSize(TPoint* size) const;
    bool IsSimple() const;
    bool HasAlpha() const;
    str GetName() const;
    void Clear();
    bool Lock(unsigned char** pixels, int* width, int* height, int* pitch);
    void Unlock();

    TTextureData* GetData() const { return mData.get(); }

private:
    static std::shared_ptr<TTexture> InternalGet(str key);
    static std::shared_ptr<TTexture> InternalNew(str key);
    static std::shared_ptr<TTexture> Load(str key, str name, const char* mask, std::uint8_t flags);
    bool CanDraw(const char* what) const;

    std::unique_ptr<TTextureData> mData;
    str mUnnamedKey;  // the key of a texture made without a file
};

// Loads textures named in asset maps (".png" and ".jpg" names). Called once
// by the engine at start-up; repeated calls register nothing more.
void RegisterTextureAssetLoader();
