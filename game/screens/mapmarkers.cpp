#include "game/screens/mapmarkers.h"

#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowmanager.h"

#include <algorithm>

namespace {

const char* const kMarkerNames[3] = {"map/dot", "map/expert", "map/star"};


}  // namespace

void MeasureMarker(TWindow* window, TAnimation* a, TAnimation* b, int* offsetX, int* offsetY)
{
    // Animations are drawn about (400, 300) in their sheets: the offset moves
    // the window's centre onto the registration point.
    TRect box{};
    bool first = true;
    bool haveOffset = false;
    for (TAnimation* animation : {a, b}) {
        auto texture = animation ? animation->GetAnimatedTexture() : nullptr;
        if (!texture)
            continue;
        const TRect r = texture->BoundingBox();
        box = first ? r : TRect{std::min(box.x1, r.x1), std::min(box.y1, r.y1), std::max(box.x2, r.x2),
                                std::max(box.y2, r.y2)};
        first = false;
        if (!haveOffset) {
            int x = 0, y = 0;
            texture->GetRegistrationPoint(&x, &y);
            *offsetX = x - 400;
            *offsetY = y - 300;
            haveOffset = true;
        }
    }
    window->SetWindowSize(box.Width(), box.Height());
}

void DrawMarkerAnimation(TWindow* window, TAnimation& animation)
{
    TWindowManager* manager = TWindowManager::GetInstance();
    TModalWindow* modal = window->FindParentModal();
    if (!animation.IsPlaying() && manager && modal == manager->GetTopModalWindow())
        animation.Play("DoAnim", false);
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || !platform->Begin2d())
        return;
    TRect area;
    window->GetClientRect(&area);
    window->ClientToScreen(&area);
    TRect viewport;
    platform->GetViewport(&viewport);
    animation.Draw((area.x1 + area.x2) / 2.0f - static_cast<float>(viewport.x1),
                   (area.y1 + area.y2) / 2.0f - static_cast<float>(viewport.y1), 1.0f, 1.0f, 0.0f, 0);
    platform->End2d();
}

// The map's widgets, made by its screen's code.
const contract::TScreenSpec TAnimatedMapMarker::kContract{"TAnimatedMapMarker", nullptr, nullptr, {}, {}};
const contract::TScreenSpec TLockedAnimation::kContract{"TLockedAnimation", nullptr, nullptr, {}, {}};

TWindow* TAnimatedMapMarker::DynamicCreate() { return new TAnimatedMapMarker(TAnimatedMapMarker::kDot, ""); }
TWindow* TLockedAnimation::DynamicCreate() { return new TLockedAnimation("map/locked"); }

TAnimatedMapMarker::TAnimatedMapMarker(EMarkerType type, const char* suffix)
    : TScriptedWindow(kRadio), mType(type)
{
    const str base = kMarkerNames[type];
    mOn.Init(base + "_on" + suffix, "", "");
    mOff.Init(base + "_off" + suffix, "", "");
    MeasureMarker(this, &mOn, &mOff, &mOffsetX, &mOffsetY);
}

void TAnimatedMapMarker::Draw() { DrawMarkerAnimation(this, IsOn() ? mOn : mOff); }

TLockedAnimation::TLockedAnimation(const char* name)
{
    mLocked.Init(name, "", "");
    MeasureMarker(this, &mLocked, nullptr, &mOffsetX, &mOffsetY);
}

void TLockedAnimation::Draw() { DrawMarkerAnimation(this, mLocked); }
