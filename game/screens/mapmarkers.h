// The restaurant map's level markers: TAnimatedMapMarker (a level reached: a
// radio button showing a dot, expert mark or star) and TLockedAnimation (a
// padlock). Both are centred on the level's map position.
#pragma once

#include "engine/script/animation.h"
#include "game/screens/textdropbutton.h"
#include "game/screens/scriptedwindow.h"

class TAnimatedMapMarker : public TScriptedWindow<TAnimatedMapMarker, TTextDropButton> {
public:
    static const contract::TScreenSpec kContract;
    static TWindow* DynamicCreate();

    enum EMarkerType : int { kDot = 0, kExpert = 1, kStar = 2 };

    // suffix "_b" picks the bonus-row look of the same marker.
    TAnimatedMapMarker(EMarkerType type, const char* suffix);
    void Draw() override;

    EMarkerType GetMarkerType() const { return mType; }
    int GetOffsetX() const { return mOffsetX; }
    int GetOffsetY() const { return mOffsetY; }

private:
    EMarkerType mType;
    TAnimation mOn, mOff;
    int mOffsetX = 0, mOffsetY = 0;
};

class TLockedAnimation : public TScriptedWindow<TLockedAnimation> {
public:
    static const contract::TScreenSpec kContract;
    static TWindow* DynamicCreate();

    explicit TLockedAnimation(const char* name);
    void Draw() override;
    int GetOffsetX() const { return mOffsetX; }
    int GetOffsetY() const { return mOffsetY; }

private:
    TAnimation mLocked;
    int mOffsetX = 0, mOffsetY = 0;
};

// Draws an animation centred in a window, starting it while its modal is on top.
void DrawMarkerAnimation(TWindow* window, TAnimation& animation);
// The size and centre offset (registration point less (400, 300)) of animations.
void MeasureMarker(TWindow* window, TAnimation* a, TAnimation* b, int* offsetX, int* offsetY);
