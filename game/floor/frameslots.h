// TFrameSlots: the frames a piece of furniture shows besides the one its
// animation's shared surface holds, each kept in a slot of its own between
// frames of the game (an engine TAnimatedTextureCache of slots the
// animation's size, made at the first draw). An animated texture holds one
// frame at a time, in one surface every piece drawing it shares: a piece
// that shows two frames of it in one frame of the game (the order wheel or
// the dish cart with its glow pulsing over it; a table or chair with the
// upgraded look the decor choice offers over the plain one that every other
// piece of its kind shows) would copy each into that surface, and upload
// it, every frame, and a texture changed after the frame drew from it has
// the whole screen drawn again. Through the slots a frame is copied only
// when no slot holds it yet; the pixels on the screen are the same.
#pragma once

#include "engine/base/rect.h"

#include <memory>

class TAnimation;
class TAnimatedTexture;
class TAnimatedTextureCache;

class TFrameSlots {
public:
    // `count`: how many frames one draw of the piece shows through them.
    explicit TFrameSlots(int count);
    ~TFrameSlots();
    TFrameSlots(const TFrameSlots&) = delete;
    TFrameSlots& operator=(const TFrameSlots&) = delete;

    // The animation's current frame with its registration point on `at`.
    void Draw(TAnimation& animation, TPoint at);
    // Frame `frame`, then its glow (the frame after it) over it at
    // `glowAlpha`; the animation shows `frame` afterwards. Two slots.
    void DrawWithGlow(TAnimation& animation, int frame, TPoint at, float glowAlpha);
    // Frame `frame` of a look many pieces share, at `at` with `alpha` and
    // `flags`; the look then shows `shownFrame`, the frame the others draw.
    void DrawOtherFrame(TAnimatedTexture& look, int frame, int shownFrame, TPoint at, float alpha, int flags);

private:
    // The slots for one draw of the piece, sized to the texture; null
    // without one (the animation then draws as it would without them).
    TAnimatedTextureCache* BeginDraw(const TAnimatedTexture* texture);

    int mCount;
    std::unique_ptr<TAnimatedTextureCache> mSlots;
};
