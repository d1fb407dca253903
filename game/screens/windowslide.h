// TWindowSlide moves a panel vertically into view from above the screen, or
// out of view upwards (and then closes the modal window it belongs to).
// TWindowFader sets one alpha on every text and picture it visits.
#pragma once

#include "engine/base/animtask.h"
#include "engine/base/lifeline.h"
#include "engine/base/str.h"
#include "engine/window/window.h"

class TWindowSlide : public TAnimTask {
public:
    static constexpr int kStepPixels = 20;
    static constexpr int kPeriodMs = 16;

    // direction +1 slides in from above, -1 slides out; `child` (may be empty)
    // is hidden at the start and shown when a slide-in arrives.
    TWindowSlide(TWindow* window, int direction, const str& child);
    // Starts a slide on the platform's task list: a slide out pops the modal
    // window it belongs to, so that window's own list must not run it.
    static void Start(TWindow* window, int direction, const str& child);
    bool Animate() override;
    // One 16 ms step; true when the slide is over.
    bool Step();

private:
    void ShowChild(bool show);

    TWindow* mWindow;
    TLifeHandle mAlive;
    int mDirection;
    str mChild;
    int mY, mTarget;
};

class TWindowFader : public TWindowSpider {
public:
    explicit TWindowFader(float alpha) : mAlpha(alpha) {}
    bool Process(TWindow* window) override;

private:
    float mAlpha;
};
