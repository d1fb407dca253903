#include "game/floor/frameslots.h"

#include "engine/render/animatedtexture.h"
#include "engine/script/animation.h"

TFrameSlots::TFrameSlots(int count) : mCount(count) {}

TFrameSlots::~TFrameSlots() = default;

TAnimatedTextureCache* TFrameSlots::BeginDraw(const TAnimatedTexture* texture)
{
    if (!texture)
        return nullptr;
    // Slots as large as the texture's own surface place each frame where
    // that surface would.
    if (!mSlots)
        mSlots = std::make_unique<TAnimatedTextureCache>(texture->GetWidth(), texture->GetHeight(), mCount);
    mSlots->Reset();
    return mSlots.get();
}

void TFrameSlots::Draw(TAnimation& animation, TPoint at)
{
    TAnimatedTextureCache* slots = BeginDraw(animation.GetAnimatedTexture().get());
    animation.Draw(slots, float(at.x), float(at.y), 1.0f, 1.0f, 0.0f, 0);
}

void TFrameSlots::DrawWithGlow(TAnimation& animation, int frame, TPoint at, float glowAlpha)
{
    TAnimatedTextureCache* slots = BeginDraw(animation.GetAnimatedTexture().get());
    const float x = float(at.x), y = float(at.y);
    animation.SetCurrentFrame(frame);
    animation.Draw(slots, x, y, 1.0f, 1.0f, 0.0f, 0);
    animation.SetCurrentFrame(frame + 1);
    animation.Draw(slots, x, y, glowAlpha, 1.0f, 0.0f, 0);
    animation.SetCurrentFrame(frame);
}

void TFrameSlots::DrawOtherFrame(TAnimatedTexture& look, int frame, int shownFrame, TPoint at, float alpha,
                                 int flags)
{
    if (frame < 0 || frame >= look.GetNumFrames())
        return;
    TAnimatedTextureCache* slots = BeginDraw(&look);
    look.SetCurrentFrame(frame);
    look.DrawSprite(slots, TVec2(float(at.x), float(at.y)), alpha, 1.0f, 0.0f, nullptr, flags);
    look.SetCurrentFrame(shownFrame);
}
