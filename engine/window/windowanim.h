// A window's timer: an animation task on the enclosing modal window's task
// list that calls the window's OnTaskAnimate on each due tick.
#pragma once

#include "engine/base/animtask.h"

class TWindow;

class TWindowAnim : public TAnimTask {
public:
    explicit TWindowAnim(TWindow* window);
    ~TWindowAnim() override;

    // The task ends (returns false) once its window is gone.
    bool Animate() override;

    // Called by the window's destructor; the task stays on its list.
    void ForgetWindow() { mWindow = nullptr; }

private:
    TWindow* mWindow;
};
