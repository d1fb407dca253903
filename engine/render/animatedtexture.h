// TAnimatedTexture: a texture that shows one frame of an animation at a time.
//
// The frames are rectangles of one sheet image; each has a registration point
// (placed at the draw position), named anchor points and a transform. The
// animation comes from an ".anm" or animation ".xml" file (animationfile.h)
// and carries the Lua script that a scripted sprite animation runs to step
// through the frames. Drawing copies the current frame, centred, into the
// texture's own surface when the frame changed, then draws that surface.
//
// TAnimatedTextureCache lets many sprites that share one animated texture
// draw different frames in one game frame: each cached draw takes a scratch
// texture of the pool instead of the shared surface. A scratch texture keeps
// its frame between passes, so a frame drawn again is not copied (nor
// uploaded) again; only a frame that no slot holds is copied in.
#pragma once

#include "engine/render/animationfile.h"
#include "engine/render/texture.h"

#include <cstdint>
#include <memory>
#include <vector>

class TAnimatedTextureCache;

class TAnimatedTexture : public TTexture {
public:
    static TClassId ClassId();
    // Its own class and TAsset (a texture lookup never hands one out).
    bool IsKindOf(TClassId id) const override;

    // The shared animation of a file (name, else name + ".xml", else name +
    // ".anm"); a non-empty image or mask replaces the file's. Empty on failure.
    static std::shared_ptr<TAnimatedTexture> Get(str name, str image = str(), str mask = str());
    // The registry key: name + ":" + image + ":" + mask.
    static str GetHandle(str name, str image, str mask);

    // Use Get; public only so std::make_shared can build one.
    TAnimatedTexture();
    ~TAnimatedTexture() override;

    void Restore() override;

    using TTexture::DrawSprite;
    // Draws the current frame with its registration point on (x, y).
    void DrawSprite(float x, float y, float alpha, float scale, float rotation, int flags) override;
    // The same about the given centre (null: the frame's registration point).
    void DrawSprite(const TVec2& pos, float alpha, float scale, float rotation, const TVec2* centre,
                    int flags) override;
    void Draw(float x, float y, float alpha = 1.0f, float scale = 1.0f, const TRect* source = nullptr) override;
    void DrawFast(int x, int y, const TRect* source = nullptr,
                  std::shared_ptr<TTexture> destination = nullptr) override;
    // Loads a palette into the sheet; another palette than the last one copies the frame again.
    void LoadPalette(str name) override;
    // Draws through a scratch texture of the cache when one is free and the
    // frame fits it, else as the plain DrawSprite.
    virtual void DrawSprite(TAnimatedTextureCache* cache, const TVec2& pos, float alpha, float scale,
                            float rotation, const TVec2* centre, int flags);

    int GetNumFrames() const { return mAnimation->FrameCount(); }
    // Accepts -1 (draw nothing) up to the frame count - 1; ignores other values.
    void SetCurrentFrame(int frame);
    str GetScript() const { return mAnimation->script; }
    // The name the animation was asked for by ("ui/coin.anm").
    str GetName() const { return mAnimation->path; }
    // What its players found of its script (engine/script checks it): not
    // yet looked at, compiles, does not compile, failed as it ran, stopped
    // by the script watchdog (it ran without end: never run again).
    enum class EScriptVerdict { kUnchecked, kCompiles, kDoesNotCompile, kFailed, kStopped };
    EScriptVerdict GetScriptVerdict() const { return mScriptVerdict; }
    void SetScriptVerdict(EScriptVerdict verdict) { mScriptVerdict = verdict; }
    // The sheet holding all frames.
    std::shared_ptr<TTexture> GetAllFrames() const { return mAnimation->sheet; }
    // The next draw copies the current frame again.
    void Refresh() { mAnimation->lastBlittedFrame = -1; }

    // The animation's registration point; either pointer may be null.
    void GetRegistrationPoint(int* x, int* y) const;
    // A frame's registration point; nothing is stored for a bad index.
    void GetRegistrationPoint(int frame, int* x, int* y) const;
    bool GetAnchorPoint(int frame, str name, int* x, int* y) const;
    bool GetAnchorPoint(str name, int* x, int* y) const;
    // A frame's box relative to its registration point (zero for a bad index),
    // or the union of every frame's box and the origin.
    TRect BoundingBox(int frame) const;
    TRect BoundingBox() const;

    // Makes the surface show the current frame; true when there is one to draw.
    bool Update();

    // The whole description, for tools and tests that inspect it.
    const TAnimationRecord& GetAnimation() const { return *mAnimation; }

private:
    static std::shared_ptr<TAnimatedTexture> InternalGet(str key);
    static std::shared_ptr<TAnimatedTexture> InternalNew(str key);
    // Finds and reads the file, then applies the image and mask arguments.
    bool Parse(str image, str mask);
    bool ParseXml(const str& fullPath);
    bool ParseAnm(const str& fullPath);
    // Loads the sheet and makes the drawing surface.
    bool LoadTextures();
    // Where a frame's top left lands within a surface of the given size.
    static TPoint CentringOffset(const TAnimFrame& frame, int width, int height);
    enum ECacheDraw { kHandled, kUsePlainDraw };
    ECacheDraw DrawFromCache(TAnimatedTextureCache* cache, const TVec2& pos, float alpha, float scale,
                             float rotation, const TVec2* centre, int flags);

    std::unique_ptr<TAnimationRecord> mAnimation;
    EScriptVerdict mScriptVerdict = EScriptVerdict::kUnchecked;
};

// What a cache slot holds: one frame rectangle of one sheet, as the sheet's
// pixels and palette were when it was copied.
struct TCachedFrame {
    std::weak_ptr<TTexture> sheet;
    std::uint64_t version = 0;
    const void* palette = nullptr;
    TRect source;

    bool Matches(const TCachedFrame& other) const;
};

class TAnimatedTextureCache {
public:
    // `count` cleared alpha textures of width x height.
    TAnimatedTextureCache(int width, int height, int count);
    ~TAnimatedTextureCache();
    TAnimatedTextureCache(const TAnimatedTextureCache&) = delete;
    TAnimatedTextureCache& operator=(const TAnimatedTextureCache&) = delete;

    // A slot not yet handed out in this pass, cleared, and its rectangle;
    // false when all are handed out.
    bool GetNextSlot(std::shared_ptr<TTexture>& texture, TRect& rect);
    // A slot not yet handed out in this pass for the frame: one that still
    // holds it from an earlier pass when there is one (*holdsFrame true: draw
    // it as it is), else the least recently used one, cleared (*holdsFrame
    // false: copy the frame in, then call Remember). False when all are
    // handed out. With a null frame a slot is only used up.
    bool GetSlotFor(const TCachedFrame* frame, std::shared_ptr<TTexture>& texture, TRect& rect, bool* holdsFrame);
    // The slot just handed out now holds the frame.
    void Remember(const TCachedFrame& frame);
    // Starts a new pass: every slot may be handed out again. Owners call it
    // at the start of each drawing pass; slots keep what they hold.
    void Reset() { ++mPass; }

private:
    struct TSlot {
        std::shared_ptr<TTexture> texture;
        TCachedFrame frame;
        bool holds = false;
        std::uint64_t pass = 0;  // the pass it was last handed out in
    };
    // The free slot used longest ago, or null.
    TSlot* LeastRecentlyUsed();
    TSlot* HandOut(TSlot* slot, std::shared_ptr<TTexture>& texture, TRect& rect);

    std::uint64_t mPass = 1;
    std::vector<TSlot> mSlots;
    TSlot* mLastHandedOut = nullptr;
};
