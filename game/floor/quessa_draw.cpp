// TQuessa's drawing: her body with its clothing layers and the items in her
// hands, the robot with its hover bob, and the checkmarks of queued visits.
#include "game/floor/quessa.h"

#include "engine/render/animatedtexture.h"
#include "engine/render/texture.h"
#include "game/floor/station.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kMirror = 1;
// The flash shows just above the camera.
constexpr float kFlashAbove = 11.0f;

// Offsets of the second and third checkmark on one station.
const TPoint kCheckmarkOffsets[] = {{0, 0}, {25, 0}, {10, 15}};

}  // namespace

void TQuessa::Draw(bool robotPass)
{
    if (robotPass) {
        if (mRobotMode)
            DrawShadow();
        return;
    }
    DrawHer();
}

void TQuessa::DrawHer()
{
    const bool mirrored = mFacing == 1 || mOnPhone;
    const int flags = mirrored ? kMirror : 0;
    const int frame = mBody.GetCurrentFrame();
    mBody.Draw(mPosition.x, mPosition.y, 1.0f, 1.0f, 0.0f, flags);
    for (int i = 0; i < kClothingSlots; ++i) {
        TClothingLayer* layer = mLayers[std::size_t(i)].get();
        if (!layer)
            continue;
        const TPoint offset = mLayerOffsets[std::size_t(i)];
        layer->SetFrame(frame);
        layer->Draw(mPosition.x + float(mirrored ? -offset.x : offset.x), mPosition.y + float(offset.y), mirrored);
    }
    const str last = mBody.GetLastFunction();
    const bool posing = mAtPodium && mBody.IsPlaying() && (last == str("Podium") || last == str("PodiumDone"));
    if (!posing)
        DrawHands(0, std::min(mHandCount, 2), mBody, mPosition, mFacing == 1);
}

void TQuessa::DrawShadow()
{
    const int frame = mRobot.GetCurrentFrame();
    mRobot.SetCurrentFrame(frame + mRobotFrameOffset);
    const float bob = std::trunc(4.0f * std::sin(std::numbers::pi_v<float> * mRobotHoverTime));
    const bool mirrored = mRobotFacing == 1;
    const int flags = mirrored ? kMirror : 0;
    auto texture = mRobot.GetAnimatedTexture();
    auto drawAtAnchor = [&](const std::shared_ptr<TTexture>& part, const char* anchor, float lift) {
        int ax = 0, ay = 0;
        if (!part || !texture || !texture->GetAnchorPoint(mRobot.GetCurrentFrame(), anchor, &ax, &ay))
            return;
        const float x = mRobotPosition.x + float(mirrored ? -ax : ax);
        part->DrawSprite(x, mRobotPosition.y + float(ay) + lift, 1.0f, 1.0f, 0.0f, flags);
    };
    drawAtAnchor(mRobotShadow, "shadow", 0);
    drawAtAnchor(mRobotBottom, "bottom", bob);
    mRobot.Draw(mRobotPosition.x, mRobotPosition.y + bob, 1.0f, 1.0f, 0.0f, flags);
    DrawHands(2, mHandCount, mRobot, TVec2{mRobotPosition.x, mRobotPosition.y + bob}, mirrored);
    mRobot.SetCurrentFrame(frame);
}

void TQuessa::DrawHands(int first, int last, const TAnimation& figure, TVec2 at, bool mirrored)
{
    auto texture = figure.GetAnimatedTexture();
    for (int i = first; i < last; ++i) {
        const THand& hand = mHands[std::size_t(i)];
        if (hand.kind == kCarryNothing)
            continue;
        int ax = 0, ay = 0;
        if (texture)
            texture->GetAnchorPoint(figure.GetCurrentFrame(), i % 2 == 0 ? "hand1" : "hand2", &ax, &ay);
        const TVec2 point{at.x + float(mirrored ? -ax : ax), at.y + float(ay)};
        if (hand.kind == kCarryFood) {
            mFoodTray.Draw(point, hand.id + 1);
            continue;
        }
        if (const auto& prop = mProps[std::size_t(hand.kind)])
            prop->DrawSprite(point.x, point.y, 1.0f, 1.0f, 0.0f, 0);
        if (hand.kind == kCarryCamera && mCameraFlash.IsPlaying())
            mCameraFlash.Draw(point.x, point.y - kFlashAbove, 1.0f, 1.0f, 0.0f, 0);
    }
}

void TQuessa::DrawDestinations()
{
    if (!mCheckmark)
        return;
    for (auto entry = mQueue.begin(); entry != mQueue.end(); ++entry) {
        IStation* station = Lookup(entry->stationId);
        if (!station)
            continue;
        const auto earlier = std::count_if(mQueue.begin(), entry, [&](const TDestination& d) {
            return d.stationId == entry->stationId;
        });
        if (earlier >= 3)
            continue;
        const TPoint spot = station->GetCheckmarkSpot();
        const TPoint offset = kCheckmarkOffsets[earlier];
        mCheckmark->DrawSprite(float(spot.x + offset.x), float(spot.y + offset.y), 1.0f, 1.0f, 0.0f, 0);
    }
}
