// The heroine as the menu screens see her: a figure that is only drawn
// (the loading screen's walk, the heroine window). The game's start-up plugs
// the floor's waitress in with SetHeroineMaker (InstallQuessaHeroine); the
// screens also build and run without one and then simply show no figure.
#pragma once

#include "engine/base/rect.h"
#include "engine/base/str.h"
#include "engine/base/vec.h"

#include <functional>
#include <memory>

class IHeroine {
public:
    virtual ~IHeroine() = default;
    virtual void PlayAnim(const str& function) = 0;
    virtual void SetCurrentFrame(int frame) = 0;
    // 1 mirrors her.
    virtual void SetFacing(int facing) = 0;
    virtual void SetPosition(TVec2 position) = 0;
    // Around her position, in pixels.
    virtual TRect BoundingBox() const = 0;
    // Her plain pass, in the current player's clothing, with her position
    // taken from `origin` (between Begin2d and End2d).
    virtual void Draw(TVec2 origin) = 0;
};

using THeroineMaker = std::function<std::unique_ptr<IHeroine>()>;

// An empty maker (the default) makes no heroine.
void SetHeroineMaker(THeroineMaker maker);
std::unique_ptr<IHeroine> MakeHeroine();
// Makes the floor's waitress (TQuessa, built without level data) the heroine.
void InstallQuessaHeroine();
