#include "engine/window/windowanim.h"

#include "engine/window/window.h"

TWindowAnim::TWindowAnim(TWindow* window) : TAnimTask(nullptr), mWindow(window)
{
}

TWindowAnim::~TWindowAnim()
{
    // The list may delete the task before the window dies (a popped modal
    // destroys its tasks); the window must not keep a dangling pointer.
    if (mWindow && mWindow->mAnim == this)
        mWindow->mAnim = nullptr;
}

bool TWindowAnim::Animate()
{
    return mWindow && mWindow->OnTaskAnimate();
}
