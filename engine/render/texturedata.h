// The per-texture pixel store behind TTexture.
//
// This base holds everything that does not need a graphics device: file
// loading with the "?" options, masks, the colour key, palettes, system-memory
// surfaces, the CPU copy of the pixels, Lock/Unlock and the DrawFast
// dispatch. A back end (gl/ for the game, headless for tests) realises the
// device copy and the drawing through the hooks at the bottom.
//
// Pixels are 32-bit B, G, R, A in memory order; the image sits at the top left
// of its surface, row 0 first, and the rest of the surface is transparent black.
#pragma once

#include "engine/base/str.h"
#include "engine/render/imagedecode.h"
#include "engine/render/rendertypes.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class TTexture;

using TPalette = std::array<std::uint8_t, kPaletteBytes>;

class TTextureData {
public:
    enum EFlags : std::uint8_t {
        kRenderTarget = 0x01,
        kAlpha = 0x02,
        kAlphaFromImage = 0x04,
        kMaskKey = 0x08,  // the ":m" of the key; stored only
        kSimple = 0x10,   // surface not forced square
        kSlow = 0x20,     // the surface lives in system memory
        kPalettized = 0x40,
    };

    TTextureData() = default;
    virtual ~TTextureData() = default;
    TTextureData(const TTextureData&) = delete;
    TTextureData& operator=(const TTextureData&) = delete;

    virtual void Release() {}
    virtual void Restore() {}
    // Loads an image file; name may carry options after "?". mask (may be
    // null) names an image whose red channel becomes the alpha.
    virtual bool LoadFile(const char* name, const char* mask);
    // A cleared surface of at least width x height pixels.
    virtual bool CreateSurface(int width, int height);
    // Copies the source rectangle (in this texture's image) to (x, y) of the
    // destination, or of the screen when the destination is empty.
    virtual void DrawFast(int x, int y, const TRect& source, const std::shared_ptr<TTexture>& destination);
    virtual void Draw(float x, float y, float alpha, float scale, const TRect* source) = 0;
    virtual void DrawSprite(const TVec2& pos, float alpha, float scaleX, float scaleY, float rotation,
                            const TVec2* centre, const TColor& colour, int flags, const float* matrix,
                            const TRect* source) = 0;
    // DrawSprite where only `visible` (within source) holds anything but
    // transparent pixels: a back end may leave the rest of the quad out.
    virtual void DrawSpritePart(const TVec2& pos, float alpha, float scaleX, float scaleY, float rotation,
                                const TVec2* centre, const TColor& colour, int flags, const TRect& source,
                                const TRect& visible)
    {
        (void)visible;
        DrawSprite(pos, alpha, scaleX, scaleY, rotation, centre, colour, flags, nullptr, &source);
    }
    virtual void Clear();
    // The surface's pixels, its size and the row pitch in bytes. False for a
    // palettized texture or a null argument.
    virtual bool Lock(unsigned char** pixels, int* width, int* height, int* pitch);
    // Hands the pixels back: a texture without alpha is made opaque, the device copy updated.
    virtual void Unlock();
    // The surface's pixels as Lock gives them, to read only: no Unlock follows
    // and nothing is uploaded. False for a palettized texture or a null argument.
    bool ReadPixels(const unsigned char** pixels, int* width, int* height, int* pitch);
    virtual void InternalSize(TPoint* size);
    virtual void LoadPalette(str name);
    // Fills a rectangle of the surface (clipped to it) with the colour.
    virtual void FillRect(int left, int top, int right, int bottom, TColor colour);
    virtual bool BeginRenderTarget();
    virtual void EndRenderTarget() {}

    // Lets the back end keep the pixels on a texture page shared with other
    // small textures, so that sprites from many of them draw together; they
    // are drawn exactly as from a texture of their own. For textures drawn
    // as sprites and rarely changed (loaded images, animation surfaces).
    virtual void SetMaySharePage(bool may) { mMaySharePage = may; }
    bool MaySharePage() const { return mMaySharePage; }

    std::uint8_t GetFlags() const { return mFlags; }
    void SetFlags(std::uint8_t flags) { mFlags |= flags; }
    void ClearFlags(std::uint8_t flags) { mFlags &= std::uint8_t(~flags); }
    bool HasFlag(EFlags flag) const { return (mFlags & flag) != 0; }
    // The pixels live in system memory: a slow surface, or a palettized
    // image's indices (turned into colours only as they are copied out).
    bool IsSystemSurface() const { return !mSystemSurface.empty() || (HasFlag(kPalettized) && mSurfaceWidth > 0); }

    // Bytes of the CPU copies (pixels, slow surface, palette indices).
    std::size_t GetCpuBytes() const { return mPixels.size() + mSystemSurface.size() + mIndexImage.size(); }

    const str& GetPath() const { return mPath; }
    const str& GetMask() const { return mMask; }
    int GetImageWidth() const { return mImageWidth; }
    int GetImageHeight() const { return mImageHeight; }
    int GetSurfaceWidth() const { return mSurfaceWidth; }
    int GetSurfaceHeight() const { return mSurfaceHeight; }
    const TPalette* GetCurrentPalette() const { return mCurrentPalette; }
    // Grows whenever the pixels may have changed (a load, a surface made,
    // Unlock, Clear, a fill, a copy or a drawing into it); copies made from the
    // texture compare it to know whether they are still what it holds. The
    // current palette is not part of it: callers that care compare it too.
    std::uint64_t GetContentVersion() const { return mContentVersion; }
    void MarkContentChanged() { ++mContentVersion; }

protected:
    // ---- back-end hooks
    // Makes the device copy of the surface from mPixels; false when the device refuses.
    virtual bool CreateDeviceSurface() = 0;
    // mPixels (all, or a rectangle) to the device copy.
    virtual void UploadPixels() = 0;
    virtual void UploadRect(const TRect& rect) = 0;
    // The device copy back into mPixels.
    virtual void DownloadPixels() = 0;
    // Fills a rectangle of the device copy, without blending.
    virtual void DeviceFillRect(const TRect& rect, const TColor& colour) = 0;
    // Draws a rectangle of the system surface to the screen at (x, y).
    virtual void DrawSurfaceToScreen(int x, int y, const TRect& source) = 0;
    // Copies a rectangle of this device surface into the destination's device surface at (x, y).
    virtual void CopyToDevice(TTextureData& destination, int x, int y, const TRect& source) = 0;

    // The device copy was drawn into: the CPU copy is stale until the next Lock.
    void MarkDeviceNewer()
    {
        mDeviceNewer = true;
        ++mContentVersion;
    }

    // Brings mPixels up to date with the device copy.
    void SyncFromDevice();

    // System surface to a device texture (the destination keeps its other pixels).
    void CopySystemToDevice(TTextureData& destination, int x, int y, const TRect& source);
    // A rectangle of mPixels into the destination's mPixels at (x, y), clipped to its surface.
    void CopyPixelsTo(TTextureData& destination, int x, int y, const TRect& source) const;
    // Palette indices through the current palette into the system surface, then to the device texture.
    void CopyPalettizedToDevice(TTextureData& destination, int x, int y, const TRect& source);

    static TColor32 ToPixel(const TColor& colour);

    str mPath;
    str mMask;
    int mImageWidth = 0;
    int mImageHeight = 0;
    std::uint8_t mFlags = 0;
    int mSurfaceWidth = 0;
    int mSurfaceHeight = 0;
    int mMarginX = 0;
    int mMarginY = 0;
    // The surface's pixels at a pitch of the surface width (device textures).
    std::vector<std::uint8_t> mPixels;
    // The surface of a system-memory texture, at the same pitch.
    std::vector<std::uint8_t> mSystemSurface;
    // Palette indices of a palettized texture, at a pitch of mIndexPitch.
    std::vector<std::uint8_t> mIndexImage;
    int mIndexPitch = 0;
    std::map<str, TPalette> mPalettes;
    const TPalette* mCurrentPalette = nullptr;
    bool mLoading = false;
    bool mDeviceNewer = false;
    bool mMaySharePage = false;
    std::uint64_t mContentVersion = 0;

private:
    struct TDecoded;
    // LoadFile's search; *missing is set when no file of that name exists.
    bool LoadFound(const char* name, const char* mask, bool* missing);
    bool LoadResolved(const str& fullPath, const str& name, const char* mask, const str& palettePath,
                      bool colourKey);
    bool DecodeFile(const str& fullPath, const str& palettePath, bool palettized, TDecoded* out);
    void ApplyMask(TDecoded& image, const char* mask, bool* ok);
    void StoreImage(const TDecoded& image);
};
