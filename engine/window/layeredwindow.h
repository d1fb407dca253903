// A window that shows one numbered group (layer) of its children at a time;
// buttons use it for their looks in each mouse state.
#pragma once

#include "engine/window/window.h"

#include <vector>

class TLayeredWindow : public TWindow {
public:
    explicit TLayeredWindow(int numberOfLayers);

    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }

    // A child joins the current layer, or every layer while the current
    // layer is -1 (the all-layers mode).
    bool AdoptChild(TWindow* child, bool init) override;
    void OrphanChild(TWindow* child) override;

    // Shows the children of that layer and hides the other children.
    void SetCurrentLayer(int layer);
    int GetCurrentLayer() const { return mCurrentLayer; }
    int GetNumberOfLayers() const { return mNumberOfLayers; }

private:
    int mCurrentLayer = 0;
    int mNumberOfLayers;
    std::vector<std::vector<TWindow*>> mLayers;  // not owning
};
