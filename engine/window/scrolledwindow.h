// TScrolledWindow: a window that, once its children exist, puts a TSlider
// along its right (or bottom) edge and scrolls its first other child with
// it: a text by lines, another window through its own SetScroll.
#pragma once

#include "engine/window/window.h"

class TSlider;

class TScrolledWindow : public TWindow {
public:
    TScrolledWindow() = default;

    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }

    bool Init() override { return true; }
    void PostChildrenInit() override;
    void SetScroll(float x, float y) override;
    bool OnMessage(TMessage* m) override;

    TWindow* GetContent() const { return mContent; }
    TSlider* GetSlider() const { return mSlider; }
    int GetSnap() const { return mSnap; }

private:
    TWindow* mContent = nullptr;  // a child; not owned here
    TSlider* mSlider = nullptr;   // a child
    int mSnap = 4;
};
