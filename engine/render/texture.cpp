#include "engine/render/texture.h"

#include "engine/base/debuglog.h"
#include "engine/platform/platform.h"
#include "engine/render/displayhandler.h"
#include "engine/render/headlesstexturedata.h"

#include <algorithm>

TClassId TTexture::ClassId()
{
    return MakeClassId(&TTexture::ClassId);
}

bool TTexture::IsKindOf(TClassId id) const
{
    return id == ClassId() || TAsset::IsKindOf(id);
}

// ---------------------------------------------------------------- keys and lookup

str TTexture::TextureHandle(str name, bool simple, bool alpha, bool mask)
{
    name.replace("\\", "/", str::kReplaceAll, 0);
    if (simple)
        name += ":s";
    if (alpha)
        name += ":a";
    if (mask)
        name += ":m";
    return name + ":tex";
}

str TTexture::TextureHandle(str name, str mask, bool alpha, bool maskFlag)
{
    (void)alpha;  // merged textures always have alpha
    str key = name + ":" + mask;
    if (maskFlag)
        key += ":m";
    return key + ":tex";
}

std::shared_ptr<TTexture> TTexture::InternalGet(str key)
{
    TAssetManager* assets = TAssetManager::GetInstance();
    if (!assets)
        return nullptr;
    std::shared_ptr<TAsset> found = assets->GetAsset(key);
    return found ? found->GetCast<TTexture>() : nullptr;
}

std::shared_ptr<TTexture> TTexture::InternalNew(str key)
{
    auto texture = std::make_shared<TTexture>();
    if (!key.length()) {
        key = str::getFormatted("%p:tex:r", static_cast<void*>(texture.get()));
        texture->mUnnamedKey = key;
    }
    if (TAssetManager* assets = TAssetManager::GetInstance())
        assets->AddAsset(key, texture);
    return texture;
}

std::shared_ptr<TTexture> TTexture::Load(str key, str name, const char* mask, std::uint8_t flags)
{
    if (auto live = InternalGet(key))
        return live;
    auto texture = InternalNew(key);
    texture->mData->SetFlags(flags);
    if (!texture->mData->LoadFile(name.c_str(), mask))
        return nullptr;  // the registry's weak reference dies with it
    return texture;
}

std::shared_ptr<TTexture> TTexture::Get(str name, int flags)
{
    std::uint8_t dataFlags = 0;
    if (flags & kForceAlpha)
        dataFlags |= TTextureData::kAlpha;
    else if (!(flags & kNoAlpha))
        dataFlags |= TTextureData::kAlphaFromImage;
    if (flags & kMaskFlag)
        dataFlags |= TTextureData::kMaskKey;
    return Load(TextureHandle(name, false, flags & kForceAlpha, flags & kMaskFlag), name, nullptr, dataFlags);
}

std::shared_ptr<TTexture> TTexture::GetSimple(str name)
{
    return Load(TextureHandle(name, true, false, false), name, nullptr,
                TTextureData::kSimple | TTextureData::kAlphaFromImage);
}

std::shared_ptr<TTexture> TTexture::GetMerged(str name, str mask, int flags)
{
    std::uint8_t dataFlags = TTextureData::kAlpha;
    if (flags & kMaskFlag)
        dataFlags |= TTextureData::kMaskKey;
    return Load(TextureHandle(name, mask, true, flags & kMaskFlag), name, mask.c_str(), dataFlags);
}

std::shared_ptr<TTexture> TTexture::Create(int width, int height, bool alpha)
{
    auto texture = InternalNew(str());
    if (alpha)
        texture->mData->SetFlags(TTextureData::kAlpha);
    if (!texture->mData->CreateSurface(width, height))
        return nullptr;
    return texture;
}

std::shared_ptr<TTexture> TTexture::CreateRenderTargetTexture(int width, int height)
{
    auto texture = InternalNew(str());
    texture->mData->SetFlags(TTextureData::kRenderTarget | TTextureData::kSimple);
    if (!texture->mData->CreateSurface(width, height))
        return nullptr;
    return texture;
}

TTexture::TTexture()
{
    TDisplayHandler* handler = TDisplayHandler::GetInstance();
    mData = handler ? handler->NewTextureData() : std::make_unique<THeadlessTextureData>();
}

TTexture::~TTexture()
{
    if (mUnnamedKey.length())
        if (TAssetManager* assets = TAssetManager::GetInstance())
            assets->RemoveAsset(mUnnamedKey);
}

void TTexture::Release()
{
    mData->Release();
}

void TTexture::Restore()
{
    mData->Restore();
    mData->MarkContentChanged();  // a restored surface may have been filled anew
}

// ---------------------------------------------------------------- drawing

bool TTexture::CanDraw(const char* what) const
{
    if (!mData)
        return false;
    // The platform keeps the 2D bracket when there is one; a handler used on
    // its own (tools, tests) keeps its own.
    TDisplayHandler* handler = TDisplayHandler::GetInstance();
    TPlatform* platform = TPlatform::GetInstance();
    bool in2d = platform ? platform->In2d() : handler && handler->In2d();
    if (!in2d) {
        WriteDbg("ASSERT(false&&\"Attempt to call TTexture::%s outside of Begin2d/End2d\") FAILED!! %s, %d", what,
                 QM_SOURCE_FILE, __LINE__);
        return false;
    }
    return true;
}

void TTexture::DrawSprite(float x, float y, float alpha, float scale, float rotation, int flags)
{
    if (CanDraw("DrawSprite"))
        mData->DrawSprite(TVec2{x, y}, alpha, scale, scale, rotation, nullptr, TColor{1, 1, 1, 1}, flags, nullptr,
                          nullptr);
}

void TTexture::DrawSprite(const TVec2& pos, float alpha, float scale, float rotation, const TVec2* centre,
                          int flags)
{
    if (CanDraw("DrawSprite"))
        mData->DrawSprite(pos, alpha, scale, scale, rotation, centre, TColor{1, 1, 1, 1}, flags, nullptr, nullptr);
}

void TTexture::DrawSprite(const TVec2& pos, float alpha, float scaleX, float scaleY, float rotation,
                          const TVec2* centre, const TColor* colour, int flags, const TRect* source)
{
    if (CanDraw("DrawSprite"))
        mData->DrawSprite(pos, alpha, scaleX, scaleY, rotation, centre, colour ? *colour : TColor{1, 1, 1, 1},
                          flags, nullptr, source);
}

void TTexture::Draw(float x, float y, float alpha, float scale, const TRect* source)
{
    if (CanDraw("Draw"))
        mData->Draw(x, y, alpha, scale, source);
}

void TTexture::DrawFast(int x, int y, const TRect* source, std::shared_ptr<TTexture> destination)
{
    if (!CanDraw("DrawFast"))
        return;
    bool alpha = mData->HasFlag(TTextureData::kAlpha);
    if (destination && destination->mData->HasFlag(TTextureData::kAlpha) != alpha)
        QM_ASSERT(!"Alpha of source and destination must match in DrawFast");
    if (!destination && alpha)
        QM_ASSERT(!"DrawFast to the screen must be done from a surface without alpha.");
    TRect image{0, 0, GetWidth(), GetHeight()};
    TRect clamped = source ? source->Intersect(image) : image;
    if (clamped.IsEmpty())
        return;
    mData->DrawFast(x, y, clamped, destination);
}

void TTexture::LoadPalette(str name)
{
    if (!mData)
        return;
    if (!mData->HasFlag(TTextureData::kPalettized))
        QM_ASSERT(!"TTexture::LoadPalette can only be called on palettized textures!");
    mData->LoadPalette(name);
}

// ---------------------------------------------------------------- accessors

int TTexture::GetWidth() const
{
    return mData->GetImageWidth();
}

int TTexture::GetHeight() const
{
    return mData->GetImageHeight();
}

void TTexture::GetInternalSize(TPoint* size) const
{
    mData->InternalSize(size);
}

bool TTexture::IsSimple() const
{
    return mData->HasFlag(TTextureData::kSimple);
}

bool TTexture::HasAlpha() const
{
    return mData->HasFlag(TTextureData::kAlpha);
}

str TTexture::GetName() const
{
    return mData->GetPath() + "." + mData->GetMask();
}

void TTexture::Clear()
{
    mData->Clear();
}

bool TTexture::Lock(unsigned char** pixels, int* width, int* height, int* pitch)
{
    return mData->Lock(pixels, width, height, pitch);
}

void TTexture::Unlock()
{
    mData->Unlock();
}

// ---------------------------------------------------------------- asset maps

static bool IsImageName(const str& name)
{
    std::string text(name.c_str());
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text.find(".png") != std::string::npos || text.find(".jpg") != std::string::npos;
}

void RegisterTextureAssetLoader()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    TAssetMap::RegisterLoader(kTextureLoaderOrder, [](const str& name) -> std::shared_ptr<TAsset> {
        if (!IsImageName(name))
            return nullptr;
        return TTexture::Get(name, 0);
    });
}

// Any program that uses textures gets the loader without further ado.
static const bool gTextureLoaderRegistered = (RegisterTextureAssetLoader(), true);
