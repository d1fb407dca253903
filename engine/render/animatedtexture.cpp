#include "engine/render/animatedtexture.h"

#include "engine/base/asset.h"
#include "engine/base/debuglog.h"
#include "engine/base/folders.h"
#include "engine/base/unreadablefiles.h"
#include "engine/base/xml.h"
#include "engine/platform/platform.h"
#include "engine/render/displayhandler.h"

#include <algorithm>
#include <string>

namespace {

// Animation files that could not be read.
qm::TUnreadableFiles& Unreadable()
{
    static qm::TUnreadableFiles files;
    return files;
}


// The platform's resource rules; tools and tests without a platform use the same rules directly.
str TranslateResource(const str& name)
{
    if (TPlatform* platform = TPlatform::GetInstance())
        return platform->TranslateResource(name);
    char path[qm::kPathBufferSize] = {};
    std::FILE* file = qm::OpenResource(name.c_str(), path);
    if (!file)
        return str();
    std::fclose(file);
    return str(path);
}

bool ContainsIgnoringCase(const str& text, const char* word)
{
    return text.find(str(word), str::kIgnoreCase) >= 0;
}

// The path up to and including its last '/' or '\'; empty without one.
str DirectoryOf(const str& path)
{
    std::string text(path.c_str());
    std::size_t slash = text.find_last_of("/\\");
    return slash == std::string::npos ? str() : str(text.substr(0, slash + 1).c_str());
}

// Copies onto a frame's surface run only between Begin2d and End2d, like every texture draw.
bool InDrawBracket(const char* what)
{
    TPlatform* platform = TPlatform::GetInstance();
    TDisplayHandler* handler = TDisplayHandler::GetInstance();
    bool in2d = platform ? platform->In2d() : handler && handler->In2d();
    if (!in2d)
        WriteDbg("ASSERT(false&&\"Attempt to call TAnimatedTexture::%s outside of Begin2d/End2d\") FAILED!! %s, %d",
                 what, QM_SOURCE_FILE, __LINE__);
    return in2d;
}

}  // namespace

TClassId TAnimatedTexture::ClassId()
{
    return MakeClassId(&TAnimatedTexture::ClassId);
}

bool TAnimatedTexture::IsKindOf(TClassId id) const
{
    return id == ClassId() || TAsset::IsKindOf(id);
}

TAnimatedTexture::TAnimatedTexture() : mAnimation(std::make_unique<TAnimationRecord>()) {}

TAnimatedTexture::~TAnimatedTexture() = default;

// ---------------------------------------------------------------- getting

str TAnimatedTexture::GetHandle(str name, str image, str mask)
{
    return name + ":" + image + ":" + mask;
}

std::shared_ptr<TAnimatedTexture> TAnimatedTexture::InternalGet(str key)
{
    TAssetManager* assets = TAssetManager::GetInstance();
    if (!assets)
        return nullptr;
    std::shared_ptr<TAsset> found = assets->GetAsset(key);
    return found ? found->GetCast<TAnimatedTexture>() : nullptr;
}

std::shared_ptr<TAnimatedTexture> TAnimatedTexture::InternalNew(str key)
{
    auto animation = std::make_shared<TAnimatedTexture>();
    if (TAssetManager* assets = TAssetManager::GetInstance())
        assets->AddAsset(key, animation);
    return animation;
}

std::shared_ptr<TAnimatedTexture> TAnimatedTexture::Get(str name, str image, str mask)
{
    str key = GetHandle(name, image, mask);
    if (auto live = InternalGet(key))
        return live;
    auto animation = InternalNew(key);
    animation->mAnimation->path = name;
    if (!animation->Parse(image, mask) || !animation->LoadTextures())
        return nullptr;  // the registry's weak reference dies with it
    return animation;
}

bool TAnimatedTexture::Parse(str image, str mask)
{
    const str& path = mAnimation->path;
    str resolved = TranslateResource(path);
    if (!resolved.length())
        resolved = TranslateResource(path + ".xml");
    if (!resolved.length())
        resolved = TranslateResource(path + ".anm");
    if (!resolved.length()) {
        if (TAssetManager::FirstReportOf(str("animation:") + path))
            WriteDbg("Animation %s not found", path.c_str());
        return false;
    }
    // A file that could not be read (and said why) is not read again, nor
    // named again, until it changes: animations are asked for at every play.
    const std::string file = resolved.c_str();
    if (Unreadable().Known(file))
        return false;
    bool ok;
    if (ContainsIgnoringCase(resolved, ".xml"))
        ok = ParseXml(resolved);
    else if (ContainsIgnoringCase(resolved, ".anm"))
        ok = ParseAnm(resolved);
    else
        ok = false;
    if (!ok) {
        Unreadable().Remember(file);
        return false;
    }
    mAnimation->directory = DirectoryOf(path);
    if (image.length())
        mAnimation->image = image;
    if (mask.length())
        mAnimation->mask = mask;
    return true;
}

bool TAnimatedTexture::ParseXml(const str& fullPath)
{
    TXmlNode document;
    if (const EXmlParse result = document.ParseFile(fullPath.c_str()); result != EXmlParse::kOk) {
        WriteDbg("Animation %s %s", fullPath.c_str(), XmlParseProblem(result));
        return false;
    }
    return ReadAnimationXml(document, mAnimation->path, mAnimation.get());
}

bool TAnimatedTexture::ParseAnm(const str& fullPath)
{
    if (!ReadAnmFile(fullPath.c_str(), mAnimation.get())) {
        WriteDbg("Animation %s is not a readable .anm file", mAnimation->path.c_str());
        return false;
    }
    return true;
}

bool TAnimatedTexture::LoadTextures()
{
    TAnimationRecord& a = *mAnimation;
    bool hasOptions = a.image.find('?') >= 0;
    if (!a.mask.length())
        a.sheet = TTexture::GetSimple(a.directory + a.image + (hasOptions ? ",slow,alpha,simple" : "?slow,alpha,simple"));
    else
        a.sheet = TTexture::GetMerged(a.directory + a.image + (hasOptions ? ",slow,simple" : "?slow,simple"),
                                      a.directory + a.mask, 0);
    GetData()->SetFlags(TTextureData::kAlpha);
    // Frames are copied into the surface now and then and drawn as sprites:
    // it may share a texture page with the rest of the scene.
    GetData()->SetMaySharePage(true);
    // An animation without frames (or with empty ones only) still gets a
    // surface, so it loads; it just never draws anything.
    bool created = GetData()->CreateSurface(std::max(a.width, 1), std::max(a.height, 1));
    if (!created)
        WriteDbg("ERROR: Unable to create destination texture for animation %s!", a.path.c_str());
    if (!a.sheet) {
        WriteDbg("ERROR: Unable to load image %s for animation %s!", a.image.c_str(), a.path.c_str());
        return false;
    }
    return created;
}

// ---------------------------------------------------------------- queries

void TAnimatedTexture::SetCurrentFrame(int frame)
{
    if (frame >= -1 && frame < GetNumFrames())
        mAnimation->currentFrame = frame;
}

void TAnimatedTexture::GetRegistrationPoint(int* x, int* y) const
{
    if (x)
        *x = mAnimation->regX;
    if (y)
        *y = mAnimation->regY;
}

void TAnimatedTexture::GetRegistrationPoint(int frame, int* x, int* y) const
{
    if (!mAnimation->IsFrame(frame))
        return;
    const TAnimFrame& f = mAnimation->frames[std::size_t(frame)];
    if (x)
        *x = f.regX;
    if (y)
        *y = f.regY;
}

bool TAnimatedTexture::GetAnchorPoint(int frame, str name, int* x, int* y) const
{
    return mAnimation->FindAnchor(frame, name, x, y);
}

bool TAnimatedTexture::GetAnchorPoint(str name, int* x, int* y) const
{
    return mAnimation->FindAnchor(mAnimation->currentFrame, name, x, y);
}

TRect TAnimatedTexture::BoundingBox(int frame) const
{
    return mAnimation->FrameBox(frame);
}

TRect TAnimatedTexture::BoundingBox() const
{
    TRect box;
    for (int i = 0; i < GetNumFrames(); ++i)
        box = TRect::Union(box, mAnimation->FrameBox(i));
    return box;
}

// ---------------------------------------------------------------- showing a frame

TPoint TAnimatedTexture::CentringOffset(const TAnimFrame& frame, int width, int height)
{
    return {(width - frame.w) / 2, (height - frame.h) / 2};
}

bool TAnimatedTexture::Update()
{
    TAnimationRecord& a = *mAnimation;
    if (a.currentFrame == -1)
        return false;
    if (!a.IsFrame(a.currentFrame))
        return false;
    const TAnimFrame& frame = a.frames[std::size_t(a.currentFrame)];
    if (a.currentFrame != a.lastBlittedFrame) {
        // Frames cut from the same rectangle of the sheet share one copy. An
        // empty frame copies nothing, so the frame after it always copies.
        bool sameCopy = false;
        if (a.IsFrame(a.lastBlittedFrame)) {
            const TAnimFrame& last = a.frames[std::size_t(a.lastBlittedFrame)];
            sameCopy = last.w != 0 && last.x == frame.x && last.y == frame.y && last.w == frame.w &&
                       last.h == frame.h;
        }
        if (!sameCopy && frame.w != 0) {
            std::shared_ptr<TAsset> self = weak_from_this().lock();
            if (!self || !a.sheet) {
                WriteDbg("Animation %s cannot copy a frame: it has no sheet or no shared owner", a.path.c_str());
                return false;
            }
            Clear();
            TPoint at = CentringOffset(frame, GetWidth(), GetHeight());
            TRect source = frame.SheetRect();
            a.sheet->DrawFast(at.x, at.y, &source, std::static_pointer_cast<TTexture>(self));
        }
        a.lastBlittedFrame = a.currentFrame;
    }
    return frame.w != 0;
}

// ---------------------------------------------------------------- drawing

void TAnimatedTexture::DrawSprite(float x, float y, float alpha, float scale, float rotation, int flags)
{
    DrawSprite(TVec2{x, y}, alpha, scale, rotation, nullptr, flags);
}

void TAnimatedTexture::DrawSprite(const TVec2& pos, float alpha, float scale, float rotation, const TVec2* centre,
                                  int flags)
{
    if (!InDrawBracket("DrawSprite") || !Update())
        return;
    const TAnimFrame& frame = mAnimation->frames[std::size_t(mAnimation->currentFrame)];
    TVec2 pivot;
    if (centre) {
        pivot = *centre;
    } else {
        TPoint offset = CentringOffset(frame, GetWidth(), GetHeight());
        pivot = TVec2{float(frame.regX) + float(offset.x), float(frame.regY) + float(offset.y)};
    }
    const float* transform = mAnimation->FramesCarryTransforms() ? frame.transform : nullptr;
    GetData()->DrawSprite(pos, alpha, scale, scale, rotation, &pivot, TColor{1, 1, 1, 1}, flags, transform,
                          nullptr);
}

void TAnimatedTexture::Draw(float x, float y, float alpha, float scale, const TRect* source)
{
    if (InDrawBracket("Draw") && Update())
        TTexture::Draw(x, y, alpha, scale, source);
}

void TAnimatedTexture::DrawFast(int x, int y, const TRect* source, std::shared_ptr<TTexture> destination)
{
    if (InDrawBracket("DrawFast") && Update())
        TTexture::DrawFast(x, y, source, destination);
}

void TAnimatedTexture::LoadPalette(str name)
{
    if (mAnimation->sheet)
        mAnimation->sheet->LoadPalette(name);
    if (name != mAnimation->palette)
        mAnimation->lastBlittedFrame = -1;
    mAnimation->palette = name;
}

void TAnimatedTexture::DrawSprite(TAnimatedTextureCache* cache, const TVec2& pos, float alpha, float scale,
                                  float rotation, const TVec2* centre, int flags)
{
    if (!cache || DrawFromCache(cache, pos, alpha, scale, rotation, centre, flags) == kUsePlainDraw)
        DrawSprite(pos, alpha, scale, rotation, centre, flags);
}

// The cache path: the frame is drawn from a scratch slot, copied there first
// unless the slot still holds it; the shared surface and its last copied
// frame are left alone.
TAnimatedTexture::ECacheDraw TAnimatedTexture::DrawFromCache(TAnimatedTextureCache* cache, const TVec2& pos,
                                                             float alpha, float scale, float rotation,
                                                             const TVec2* centre, int flags)
{
    TAnimationRecord& a = *mAnimation;
    const bool drawable = a.IsFrame(a.currentFrame) && a.frames[std::size_t(a.currentFrame)].w != 0 && a.sheet;
    TCachedFrame wanted;
    if (drawable) {
        const TTextureData* sheet = a.sheet->GetData();
        wanted = {a.sheet, sheet->GetContentVersion(), sheet->GetCurrentPalette(),
                  a.frames[std::size_t(a.currentFrame)].SheetRect()};
    }
    std::shared_ptr<TTexture> slot;
    TRect rect;
    bool holdsFrame = false;
    if (!cache->GetSlotFor(drawable ? &wanted : nullptr, slot, rect, &holdsFrame))
        return kUsePlainDraw;
    if (!a.IsFrame(a.currentFrame) || a.frames[std::size_t(a.currentFrame)].w == 0)
        return kHandled;  // nothing to draw
    const TAnimFrame& frame = a.frames[std::size_t(a.currentFrame)];
    if (frame.w > rect.Width() || frame.h > rect.Height() || !a.sheet)
        return kUsePlainDraw;
    if (!InDrawBracket("DrawSprite"))
        return kHandled;
    TPoint offset = CentringOffset(frame, rect.Width(), rect.Height());
    offset.x += rect.x1;
    offset.y += rect.y1;
    if (!holdsFrame) {
        TRect source = frame.SheetRect();
        a.sheet->DrawFast(offset.x, offset.y, &source, slot);
        cache->Remember(wanted);
    }
    TVec2 pivot = centre ? *centre
                         : TVec2{float(frame.regX) + float(offset.x), float(frame.regY) + float(offset.y)};
    // Around the frame the slot is clear: only the frame's part needs drawing.
    const TRect visible{offset.x, offset.y, offset.x + frame.w, offset.y + frame.h};
    slot->GetData()->DrawSpritePart(pos, alpha, scale, scale, rotation, &pivot, TColor{1, 1, 1, 1}, flags, rect,
                                    visible);
    return kHandled;
}

void TAnimatedTexture::Restore()
{
    mAnimation->lastBlittedFrame = -1;
    TTexture::Restore();
}

// ---------------------------------------------------------------- cache

bool TCachedFrame::Matches(const TCachedFrame& other) const
{
    // The same owner, still alive: a sheet loaded anew is another owner even
    // at the same address.
    const bool sameSheet = !sheet.owner_before(other.sheet) && !other.sheet.owner_before(sheet);
    return sameSheet && !sheet.expired() && version == other.version && palette == other.palette &&
           source == other.source;
}

TAnimatedTextureCache::TAnimatedTextureCache(int width, int height, int count)
{
    mSlots.resize(std::size_t(std::max(count, 0)));
    // The slots sit on texture pages where the back end has them, so that
    // sprites drawn from different slots (and other images) go in one call.
    for (TSlot& slot : mSlots)
        if ((slot.texture = TTexture::Create(width, height, true)))
            slot.texture->GetData()->SetMaySharePage(true);
}

TAnimatedTextureCache::~TAnimatedTextureCache() = default;

TAnimatedTextureCache::TSlot* TAnimatedTextureCache::LeastRecentlyUsed()
{
    TSlot* oldest = nullptr;
    for (TSlot& slot : mSlots)
        if (slot.pass != mPass && (!oldest || slot.pass < oldest->pass))
            oldest = &slot;
    return oldest;
}

TAnimatedTextureCache::TSlot* TAnimatedTextureCache::HandOut(TSlot* slot, std::shared_ptr<TTexture>& texture,
                                                             TRect& rect)
{
    slot->pass = mPass;
    mLastHandedOut = slot;
    texture = slot->texture;
    rect = {0, 0, texture->GetWidth(), texture->GetHeight()};
    return slot;
}

bool TAnimatedTextureCache::GetNextSlot(std::shared_ptr<TTexture>& texture, TRect& rect)
{
    TSlot* slot = LeastRecentlyUsed();
    if (!slot || !slot->texture)
        return false;
    HandOut(slot, texture, rect);
    slot->holds = false;
    texture->Clear();
    return true;
}

bool TAnimatedTextureCache::GetSlotFor(const TCachedFrame* frame, std::shared_ptr<TTexture>& texture, TRect& rect,
                                       bool* holdsFrame)
{
    *holdsFrame = false;
    if (frame)
        for (TSlot& slot : mSlots)
            if (slot.pass != mPass && slot.holds && slot.frame.Matches(*frame)) {
                HandOut(&slot, texture, rect);
                *holdsFrame = true;
                return true;
            }
    TSlot* slot = LeastRecentlyUsed();
    if (!slot || !slot->texture)
        return false;
    HandOut(slot, texture, rect);
    if (frame) {
        // Only a slot about to get a frame is cleared; one just used up keeps
        // what it holds for a later pass.
        slot->holds = false;
        texture->Clear();
    }
    return true;
}

void TAnimatedTextureCache::Remember(const TCachedFrame& frame)
{
    if (!mLastHandedOut)
        return;
    mLastHandedOut->frame = frame;
    mLastHandedOut->holds = true;
}
