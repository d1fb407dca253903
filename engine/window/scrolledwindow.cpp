#include "engine/window/scrolledwindow.h"

#include "engine/window/message.h"
#include "engine/window/slider.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "engine/window/windowscripthook.h"

#include <algorithm>

namespace {

TWindow* TScrolledWindowDynamicCreate()
{
    return new TScrolledWindow;
}

// The first child, front to back, that is not a slider.
class FindNonSlider : public TWindowSpider {
public:
    bool Process(TWindow* w) override
    {
        if (w->IsKindOf(TSlider::ClassId()))
            return true;
        found = w;
        return false;
    }
    TWindow* found = nullptr;
};

}  // namespace

TClassId TScrolledWindow::ClassId()
{
    static const TClassId id = RegisterCreatable(&TScrolledWindowDynamicCreate);
    return id;
}

void TScrolledWindow::PostChildrenInit()
{
    FindNonSlider finder;
    ForEachChild(&finder, false);
    mContent = finder.found;

    TWindowManager* manager = TWindowManager::GetInstance();
    IWindowScript* script = manager ? manager->GetScript() : nullptr;
    const bool horizontal = script && script->GetBool("hslider", false);
    auto slider = std::make_unique<TSlider>();
    if (horizontal) {
        slider->SetWindowSize(GetWindowWidth(), 0);
        if (!AdoptChild(slider.get(), true))
            return;
        mSlider = slider.release();
        mSlider->SetWindowPos(0, GetWindowHeight() - mSlider->GetWindowHeight());
    } else {
        slider->SetWindowSize(0, GetWindowHeight());
        if (!AdoptChild(slider.get(), true))
            return;
        mSlider = slider.release();
        mSlider->SetWindowPos(GetWindowWidth() - mSlider->GetWindowWidth(), 0);
    }
    mSnap = static_cast<int>(script ? script->GetNumber("snap", 4) : 4);
}

void TScrolledWindow::SetScroll(float x, float)
{
    if (mSlider)
        mSlider->SetValue(x, false);
}

bool TScrolledWindow::OnMessage(TMessage* m)
{
    if (!mContent || !mSlider || !m)
        return false;
    switch (m->GetType()) {
    case kSliderMoved: {
        const int height = mSlider->GetWindowHeight();
        const float f = height > 0 ? static_cast<float>(mSnap) / static_cast<float>(height) : 0.0f;
        if (mSlider->GetValue() > 1 - f)
            mSlider->SetValue(1, true);
        else if (mSlider->GetValue() < f)
            mSlider->SetValue(0, true);
        mContent->SetScroll(mSlider->GetValue(), 0);
        return true;
    }
    case kSliderPageBack:
    case kSliderPageForward: {
        TText* text = ::GetCast<TText>(mContent);
        if (!text)
            return mContent->OnMessage(m);
        TRect bounds;
        text->GetTextBounds(&bounds);
        const int lines = text->GetLineCount();
        // Text without lines or height has no page to turn.
        if (lines <= 0 || bounds.y2 <= 0)
            return true;
        const float lineHeight = static_cast<float>(bounds.y2) / static_cast<float>(lines);
        const float page = static_cast<float>(text->GetWindowHeight()) / lineHeight;
        const float step = page / static_cast<float>(lines);
        float value = mSlider->GetValue() + (m->GetType() == kSliderPageBack ? -step : step);
        value = std::clamp(value, 0.0f, 1.0f);
        mSlider->SetValue(value, false);
        return true;
    }
    default:
        return false;
    }
}
