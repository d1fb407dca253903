#include "engine/render/texturedata.h"

#include "engine/base/asset.h"
#include "engine/base/debuglog.h"
#include "engine/base/folders.h"
#include "engine/base/unreadablefiles.h"
#include "engine/render/displayhandler.h"
#include "engine/render/texture.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

bool Contains(const std::string& text, const char* word)
{
    return text.find(word) != std::string::npos;
}

// The full path of a resource, or empty when it cannot be opened.
str FindResource(const char* name)
{
    char path[qm::kPathBufferSize] = {};
    std::FILE* file = qm::OpenResource(name, path);
    if (!file)
        return str();
    std::fclose(file);
    return str(path);
}

// A picture found nowhere is named once, however often it is asked for.
void ReportMissingImage(const std::string& name)
{
    if (TAssetManager::FirstReportOf(str(("image:" + name).c_str())))
        WriteDbg("Image %s not found", name.c_str());
}

// Files that failed to decode (the decoder named them): a texture asked for
// at every frame does not decode, nor log, them again until they change.
qm::TUnreadableFiles& Undecodable()
{
    static qm::TUnreadableFiles files;
    return files;
}

// What the option string after "?" asks for.
struct TNameOptions {
    std::uint8_t flags = 0;
    bool colourKey = false;
    str palettePath;
};

TNameOptions ParseOptions(const std::string& options)
{
    TNameOptions parsed;
    if (Contains(options, "slow"))
        parsed.flags |= TTextureData::kSlow;
    if (Contains(options, "simple"))
        parsed.flags |= TTextureData::kSimple;
    if (Contains(options, "rt"))
        parsed.flags |= TTextureData::kRenderTarget;
    if (Contains(options, "alpha"))
        parsed.flags |= TTextureData::kAlpha;
    if (Contains(options, "palettized"))
        parsed.flags |= TTextureData::kPalettized | TTextureData::kSlow;
    if (Contains(options, "colorkeyed"))
        parsed.colourKey = true;
    std::size_t at = options.find("palette");
    if (at != std::string::npos) {
        // Skips "palette=" and runs to the next "," or the end.
        std::size_t start = std::min(at + 8, options.size());
        std::size_t end = options.find(',', start);
        std::string name = options.substr(start, end == std::string::npos ? std::string::npos : end - start);
        str found = FindResource(name.c_str());
        parsed.palettePath = found.length() ? found : str(name.c_str());
    }
    return parsed;
}

bool HasImageExtension(const std::string& name)
{
    return Contains(name, ".png") || Contains(name, ".jpg");
}

}  // namespace

struct TTextureData::TDecoded {
    unsigned char* pixels = nullptr;
    unsigned char* palette = nullptr;
    int width = 0, height = 0, side = 0;
    int hasAlpha = 0;

    TDecoded() = default;
    TDecoded(const TDecoded&) = delete;
    TDecoded& operator=(const TDecoded&) = delete;
    ~TDecoded() { EzPngFreeImage(pixels, palette); }
};

// ---------------------------------------------------------------- loading

bool TTextureData::LoadFile(const char* name, const char* mask)
{
    if (!name)
        return false;
    bool missing = false;
    const bool loaded = LoadFound(name, mask, &missing);
    if (missing) {
        std::string fileName(name);
        ReportMissingImage(fileName.substr(0, fileName.rfind('?')));
    }
    return loaded;
}

bool TTextureData::LoadFound(const char* name, const char* mask, bool* missing)
{
    std::string fileName(name);
    std::string options;
    std::size_t question = fileName.rfind('?');
    if (question != std::string::npos) {
        options = fileName.substr(question).substr(0, 511);
        fileName.resize(question);
    }
    TNameOptions parsed = ParseOptions(options);
    mFlags |= parsed.flags;

    str fullPath = FindResource(fileName.c_str());
    if (!fullPath.length()) {
        if (HasImageExtension(fileName)) {
            *missing = true;
            return false;
        }
        // A PNG that is there but cannot be read is the answer: no JPEG is looked for.
        bool noPng = false;
        if (LoadFound((fileName + ".png" + options).c_str(), mask, &noPng))
            return true;
        if (!noPng)
            return false;
        return LoadFound((fileName + ".jpg" + options).c_str(), mask, missing);
    }
    return LoadResolved(fullPath, str(fileName.c_str()), mask, parsed.palettePath, parsed.colourKey);
}

bool TTextureData::DecodeFile(const str& fullPath, const str& palettePath, bool palettized, TDecoded* out)
{
    std::string path(fullPath.c_str());
    if (Undecodable().Known(path))
        return false;
    bool decoded = false;
    if (Contains(path, ".png")) {
        decoded = EzPngLoadImage(path.c_str(), &out->pixels, &out->width, &out->height, &out->side, nullptr,
                                 &out->hasAlpha, palettePath.c_str(), palettized ? &out->palette : nullptr,
                                 palettized);
    } else if (Contains(path, ".jpg")) {
        if (palettized) {
            WriteDbg("A palettized texture needs a PNG with a palette: %s", path.c_str());
            return false;
        }
        decoded = EzJpegLoadImage(path.c_str(), &out->pixels, &out->width, &out->height, &out->side);
    } else {
        return false;
    }
    if (!decoded)
        Undecodable().Remember(path);
    return decoded;
}

// The mask's red channel becomes the image's alpha when both have the same square size.
void TTextureData::ApplyMask(TDecoded& image, const char* mask, bool* ok)
{
    *ok = true;
    if (!mask || !*mask)
        return;
    std::string maskName(mask);
    str maskPath = FindResource(mask);
    if (!maskPath.length() && !HasImageExtension(maskName)) {
        maskPath = FindResource((maskName + ".jpg").c_str());
        if (!maskPath.length())
            maskPath = FindResource((maskName + ".png").c_str());
    }
    TDecoded decoded;
    if (!maskPath.length())
        ReportMissingImage(maskName);
    if (!maskPath.length() || !DecodeFile(maskPath, str(), false, &decoded)) {
        *ok = false;
        return;
    }
    if (decoded.side != image.side || HasFlag(kPalettized))
        return;
    std::size_t count = std::size_t(image.side) * image.side;
    for (std::size_t i = 0; i < count; ++i)
        image.pixels[i * 4 + 3] = decoded.pixels[i * 4 + 2];
}

bool TTextureData::LoadResolved(const str& fullPath, const str& name, const char* mask, const str& palettePath,
                                bool colourKey)
{
    (void)name;
    bool palettized = HasFlag(kPalettized);
    TDecoded image;
    if (!DecodeFile(fullPath, palettePath, palettized, &image))
        return false;
    if (HasFlag(kAlphaFromImage) && std::string(fullPath.c_str()).find(".png") != std::string::npos) {
        if (image.hasAlpha)
            mFlags |= kAlpha;
        else
            mFlags &= std::uint8_t(~kAlpha);
    }
    bool maskOk = true;
    ApplyMask(image, mask, &maskOk);
    if (!maskOk)
        return false;

    int surfaceWidth = image.side;
    int surfaceHeight = HasFlag(kSimple) ? PowerOfTwoSide(1, image.height) : image.side;
    // A loaded image is drawn as sprites and seldom changed.
    mMaySharePage = true;
    mLoading = true;
    bool created = CreateSurface(surfaceWidth, surfaceHeight);
    mLoading = false;
    if (!created)
        return false;
    mMarginX = (image.side - image.width) / 2;
    mMarginY = (mSurfaceHeight - image.height) / 2;
    mImageWidth = image.width;
    mImageHeight = image.height;
    mPath = fullPath;
    mMask = mask ? str(mask) : str();

    if (palettized && image.palette) {
        TPalette palette;
        std::memcpy(palette.data(), image.palette, kPaletteBytes);
        mPalettes[str("default")] = palette;
    }
    if (colourKey && !palettized) {
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                unsigned char* p = image.pixels + (std::size_t(y) * image.side + x) * 4;
                if (p[0] == 255 && p[1] == 0 && p[2] == 255)
                    p[3] = 0;
            }
    }
    StoreImage(image);
    return true;
}

void TTextureData::StoreImage(const TDecoded& image)
{
    MarkContentChanged();
    if (HasFlag(kPalettized)) {
        // Rows below the image are never read.
        mIndexPitch = image.side;
        mIndexImage.assign(image.pixels, image.pixels + std::size_t(image.side) * std::min(image.height, image.side));
        auto found = mPalettes.find(str("default"));
        mCurrentPalette = found != mPalettes.end() ? &found->second : nullptr;
        return;
    }
    std::vector<std::uint8_t>& target = IsSystemSurface() ? mSystemSurface : mPixels;
    std::size_t targetPitch = std::size_t(mSurfaceWidth) * 4;
    std::size_t sourcePitch = std::size_t(image.side) * 4;
    int rows = std::min(image.height, mSurfaceHeight);
    std::size_t rowBytes = std::min(targetPitch, sourcePitch);
    for (int y = 0; y < rows; ++y)
        std::memcpy(target.data() + y * targetPitch, image.pixels + y * sourcePitch, rowBytes);
    if (!IsSystemSurface())
        UploadPixels();
}

bool TTextureData::CreateSurface(int width, int height)
{
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) {
        WriteDbg("Texture surface of %dx%d refused", width, height);
        return false;
    }
    if (HasFlag(kSimple)) {
        int displayWidth = 0, displayHeight = 0;
        bool fullscreen = false;
        if (TDisplayHandler* handler = TDisplayHandler::GetInstance())
            handler->GetDisplay(&displayWidth, &displayHeight, &fullscreen);
        if (displayWidth > 0 && width > displayWidth)
            mFlags |= kSlow;
    }
    mImageWidth = width;
    mImageHeight = height;
    MarkContentChanged();
    if (HasFlag(kSlow)) {
        mSurfaceWidth = width;
        mSurfaceHeight = height;
        // A palettized image keeps its indices alone: its colours are made
        // as it is copied, so a sheet costs a byte a pixel, not five.
        if (!HasFlag(kPalettized))
            mSystemSurface.assign(std::size_t(width) * height * 4, 0);
        return true;
    }
    if (HasFlag(kSimple)) {
        mSurfaceWidth = PowerOfTwoSide(width, 1);
        mSurfaceHeight = PowerOfTwoSide(1, height);
    } else {
        mSurfaceWidth = mSurfaceHeight = PowerOfTwoSide(width, height);
    }
    mPixels.assign(std::size_t(mSurfaceWidth) * mSurfaceHeight * 4, 0);
    mDeviceNewer = false;
    return CreateDeviceSurface();
}

// ---------------------------------------------------------------- pixels

void TTextureData::SyncFromDevice()
{
    if (mDeviceNewer && !IsSystemSurface()) {
        DownloadPixels();
        mDeviceNewer = false;
    }
}

bool TTextureData::Lock(unsigned char** pixels, int* width, int* height, int* pitch)
{
    if (HasFlag(kPalettized)) {
        QM_ASSERT(!"Attempt to call Lock on a palettized texture.");
        return false;
    }
    if (!pixels || !width || !height || !pitch)
        return false;
    if (mSurfaceWidth == 0)
        return false;
    *width = mSurfaceWidth;
    *height = mSurfaceHeight;
    *pitch = mSurfaceWidth * 4;
    if (IsSystemSurface()) {
        *pixels = mSystemSurface.data();
        return true;
    }
    SyncFromDevice();
    *pixels = mPixels.data();
    return true;
}

bool TTextureData::ReadPixels(const unsigned char** pixels, int* width, int* height, int* pitch)
{
    if (HasFlag(kPalettized) || !pixels || !width || !height || !pitch || mSurfaceWidth == 0)
        return false;
    *width = mSurfaceWidth;
    *height = mSurfaceHeight;
    *pitch = mSurfaceWidth * 4;
    if (IsSystemSurface()) {
        *pixels = mSystemSurface.data();
        return true;
    }
    SyncFromDevice();
    *pixels = mPixels.data();
    return true;
}

void TTextureData::Unlock()
{
    std::vector<std::uint8_t>& surface = IsSystemSurface() ? mSystemSurface : mPixels;
    if (surface.empty())
        return;
    SyncFromDevice();  // an Unlock without a Lock must not upload a stale copy
    MarkContentChanged();
    if (!HasFlag(kAlpha)) {
        int rows = std::min(mImageHeight, mSurfaceHeight);
        int columns = std::min(mImageWidth, mSurfaceWidth);
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < columns; ++x)
                surface[(std::size_t(y) * mSurfaceWidth + x) * 4 + 3] = 255;
    }
    if (!IsSystemSurface()) {
        UploadPixels();
        mDeviceNewer = false;
    }
}

void TTextureData::Clear()
{
    MarkContentChanged();
    if (IsSystemSurface()) {
        std::fill(mSystemSurface.begin(), mSystemSurface.end(), 0);
        return;
    }
    if (mPixels.empty())
        return;
    std::fill(mPixels.begin(), mPixels.end(), 0);
    UploadPixels();
    mDeviceNewer = false;
}

void TTextureData::InternalSize(TPoint* size)
{
    if (size)
        *size = {mSurfaceWidth, mSurfaceHeight};
}

TColor32 TTextureData::ToPixel(const TColor& colour)
{
    // Surfaces hold B, G, R, A in memory order.
    TColor32 rgba(colour);
    return TColor32(rgba.Blue(), rgba.Green(), rgba.Red(), rgba.Alpha());
}

void TTextureData::FillRect(int left, int top, int right, int bottom, TColor colour)
{
    if (HasFlag(kPalettized)) {
        QM_ASSERT(!"Attempt to call FillRect on an mbPalettized texture.");
        return;
    }
    if (!HasFlag(kAlpha))
        colour.a = 1.0f;
    TRect rect = TRect{left, top, right, bottom}.Intersect({0, 0, mSurfaceWidth, mSurfaceHeight});
    if (rect.IsEmpty())
        return;
    if (!IsSystemSurface()) {
        DeviceFillRect(rect, colour);
        MarkDeviceNewer();
        return;
    }
    MarkContentChanged();
    TColor32 pixel = ToPixel(colour);
    for (int y = rect.y1; y < rect.y2; ++y)
        for (int x = rect.x1; x < rect.x2; ++x)
            std::memcpy(&mSystemSurface[(std::size_t(y) * mSurfaceWidth + x) * 4], &pixel, 4);
}

void TTextureData::LoadPalette(str name)
{
    if (!HasFlag(kPalettized))
        return;
    auto found = mPalettes.find(name);
    if (found == mPalettes.end()) {
        char path[qm::kPathBufferSize] = {};
        std::FILE* file = qm::OpenResource(name.c_str(), path);
        if (!file) {
            if (TAssetManager::FirstReportOf(str("palette:") + name))
                WriteDbg("Palette %s not found; the picture keeps its colours", name.c_str());
            return;
        }
        TPalette palette;
        auto base = mPalettes.find(str("default"));
        if (base != mPalettes.end()) {
            palette = base->second;
        } else {
            palette.fill(0);
            for (int i = 0; i < 256; ++i)
                palette[i * 4 + 3] = 255;
        }
        std::uint8_t rgb[256][3];
        int count = ReadRiffPalette(file, rgb);
        std::fclose(file);
        // Kept all the same (with the colours it has), so it is not read again.
        if (count == 0 && TAssetManager::FirstReportOf(str("palette:") + name))
            WriteDbg("Palette %s is not a palette file (damaged?); the picture keeps its colours", path);
        for (int i = 0; i < count; ++i) {
            palette[i * 4 + 2] = rgb[i][0];
            palette[i * 4 + 1] = rgb[i][1];
            palette[i * 4 + 0] = rgb[i][2];
        }
        found = mPalettes.emplace(name, palette).first;
    }
    mCurrentPalette = &found->second;
}

bool TTextureData::BeginRenderTarget()
{
    if (!HasFlag(kRenderTarget)) {
        QM_ASSERT(!"Attempt to call BeginRenderTarget on a texture that wasn't created as a render target.");
        return false;
    }
    return !IsSystemSurface() && mSurfaceWidth > 0;
}

// ---------------------------------------------------------------- copies

void TTextureData::DrawFast(int x, int y, const TRect& source, const std::shared_ptr<TTexture>& destination)
{
    TTextureData* target = destination ? destination->GetData() : nullptr;
    bool toSystem = target && target->IsSystemSurface();
    if (!IsSystemSurface()) {
        if (!target)
            Draw(float(x), float(y), 1.0f, 1.0f, &source);
        else if (toSystem)
            QM_ASSERT(!"unimplemented engine call");
        else {
            CopyToDevice(*target, x, y, source);
            target->MarkDeviceNewer();
        }
        return;
    }
    if (!HasFlag(kPalettized)) {
        if (!target)
            DrawSurfaceToScreen(x, y, source);
        else if (toSystem)
            QM_ASSERT(!"unimplemented engine call");
        else
            CopySystemToDevice(*target, x, y, source);
        return;
    }
    if (!target || toSystem)
        QM_ASSERT(!"unimplemented engine call");
    else
        CopyPalettizedToDevice(*target, x, y, source);
}

void TTextureData::CopySystemToDevice(TTextureData& destination, int x, int y, const TRect& source)
{
    if (destination.mPixels.empty())
        return;
    TRect placed{x, y, x + source.Width(), y + source.Height()};
    TRect clipped = placed.Intersect({0, 0, destination.mImageWidth, destination.mImageHeight});
    if (clipped.IsEmpty())
        return;
    destination.MarkContentChanged();
    int fromX = source.x1 + clipped.x1 - x;
    int fromY = source.y1 + clipped.y1 - y;
    std::size_t rowBytes = std::size_t(clipped.Width()) * 4;
    for (int row = 0; row < clipped.Height(); ++row) {
        std::size_t from = ((std::size_t(fromY) + row) * mSurfaceWidth + fromX) * 4;
        std::size_t to = ((std::size_t(clipped.y1) + row) * destination.mSurfaceWidth + clipped.x1) * 4;
        if (from + rowBytes > mSystemSurface.size())
            break;
        std::memcpy(&destination.mPixels[to], &mSystemSurface[from], rowBytes);
    }
    destination.UploadRect(clipped);
}

void TTextureData::CopyPalettizedToDevice(TTextureData& destination, int x, int y, const TRect& source)
{
    if (!mCurrentPalette) {
        WriteDbg("Palettized texture %s has no palette to draw with", mPath.c_str());
        return;
    }
    if (destination.mPixels.empty())
        return;
    TRect placed{x, y, x + source.Width(), y + source.Height()};
    TRect clipped = placed.Intersect({0, 0, destination.mImageWidth, destination.mImageHeight});
    if (clipped.IsEmpty())
        return;
    destination.MarkContentChanged();
    // Source texels outside the image (but on the surface) are transparent black.
    const TRect image{0, 0, std::min(mImageWidth, mSurfaceWidth), std::min(mImageHeight, mSurfaceHeight)};
    const TPalette& palette = *mCurrentPalette;
    static constexpr std::uint8_t kClear[4] = {0, 0, 0, 0};
    for (int row = clipped.y1; row < clipped.y2; ++row) {
        const int fromY = source.y1 + row - y;
        if (fromY >= mSurfaceHeight)
            break;
        std::uint8_t* to = &destination.mPixels[(std::size_t(row) * destination.mSurfaceWidth + clipped.x1) * 4];
        for (int column = clipped.x1; column < clipped.x2; ++column, to += 4) {
            const int fromX = source.x1 + column - x;
            const bool inImage = fromX >= image.x1 && fromX < image.x2 && fromY >= image.y1 && fromY < image.y2;
            std::memcpy(to, inImage ? &palette[mIndexImage[std::size_t(fromY) * mIndexPitch + fromX] * 4] : kClear, 4);
        }
    }
    destination.UploadRect(clipped);
}

void TTextureData::CopyPixelsTo(TTextureData& destination, int x, int y, const TRect& source) const
{
    TRect placed{x, y, x + source.Width(), y + source.Height()};
    TRect clipped = placed.Intersect({0, 0, destination.mSurfaceWidth, destination.mSurfaceHeight});
    if (clipped.IsEmpty() || mPixels.empty() || destination.mPixels.empty())
        return;
    destination.MarkContentChanged();
    int fromX = source.x1 + clipped.x1 - x;
    int columns = std::min(clipped.Width(), mSurfaceWidth - fromX);
    if (fromX < 0 || columns <= 0)
        return;
    for (int row = clipped.y1; row < clipped.y2; ++row) {
        int fromY = source.y1 + row - y;
        if (fromY < 0 || fromY >= mSurfaceHeight)
            continue;
        std::memcpy(&destination.mPixels[(std::size_t(row) * destination.mSurfaceWidth + clipped.x1) * 4],
                    &mPixels[(std::size_t(fromY) * mSurfaceWidth + fromX) * 4], std::size_t(columns) * 4);
    }
}
