#include "game/screens/windowslide.h"

#include "engine/platform/platform.h"
#include "engine/sound/sound.h"
#include "engine/sound/soundmanager.h"

#include <algorithm>
#include "engine/window/image.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "game/screens/screenchildren.h"

namespace {

void PlaySound(const char* file)
{
    if (auto sound = TSound::Get(file, false, TSoundManager::kEffects))
        sound->Play(false);
}

}  // namespace

TWindowSlide::TWindowSlide(TWindow* window, int direction, const str& child)
    : mWindow(window), mAlive(window->Lifeline().Handle()), mDirection(direction), mChild(child)
{
    const int top = window->GetRect().y1;
    TRect screen;
    window->GetWindowRect(&screen);
    const int height = screen.Height();
    // The window's own rectangle is in its parent's coordinates: the screen
    // top is the parent's origin less its screen position.
    const int offscreen = top - screen.y1 - height;
    mY = direction > 0 ? offscreen : top;
    mTarget = direction > 0 ? top : offscreen;
    window->SetWindowPos(window->GetRect().x1, mY);
    ShowChild(false);
    PlaySound(direction > 0 ? "audio/sfx/dialog_down.ogg" : "audio/sfx/dialog_up.ogg");
    SetDelay(kPeriodMs, true, true, false);
}

void TWindowSlide::ShowChild(bool show)
{
    if (mChild.length() != 0)
        screens::ShowChild(mWindow, mChild.c_str(), show);
}

bool TWindowSlide::Step()
{
    if (!mAlive.IsAlive())
        return true;
    mY = mDirection > 0 ? std::min(mTarget, mY + kStepPixels) : std::max(mTarget, mY - kStepPixels);
    if (TWindow* parent = mWindow->GetParent())
        parent->InvalidateRect(nullptr);
    mWindow->SetWindowPos(mWindow->GetRect().x1, mY);
    mWindow->InvalidateRect(nullptr);
    if (mY != mTarget)
        return false;
    if (mDirection > 0) {
        ShowChild(true);
    } else if (TWindowManager* manager = TWindowManager::GetInstance()) {
        // The panel's own modal window goes; the task goes with it.
        if (mWindow->FindParentModal() == manager->GetTopModalWindow())
            manager->PopModal();
    }
    return true;
}

void TWindowSlide::Start(TWindow* window, int direction, const str& child)
{
    if (!window)
        return;
    auto* slide = new TWindowSlide(window, direction, child);
    if (TPlatform* platform = TPlatform::GetInstance())
        platform->AdoptTask(slide);
    else
        delete slide;
}

bool TWindowSlide::Animate() { return !Step(); }

bool TWindowFader::Process(TWindow* window)
{
    if (auto* text = ::GetCast<TText>(window))
        text->SetAlpha(mAlpha);
    else if (auto* image = ::GetCast<TImage>(window))
        image->SetAlpha(mAlpha);
    return true;
}
