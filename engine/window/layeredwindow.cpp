#include "engine/window/layeredwindow.h"

#include "engine/base/debuglog.h"

#include <algorithm>

TLayeredWindow::TLayeredWindow(int numberOfLayers)
    : mNumberOfLayers(std::max(numberOfLayers, 0)), mLayers(static_cast<size_t>(mNumberOfLayers))
{
}

TClassId TLayeredWindow::ClassId()
{
    return MakeClassId(&TLayeredWindow::ClassId);
}

bool TLayeredWindow::AdoptChild(TWindow* child, bool init)
{
    if (!TWindow::AdoptChild(child, init))
        return false;
    if (mCurrentLayer == -1) {
        for (auto& layer : mLayers)
            layer.push_back(child);
    } else if (mCurrentLayer >= 0 && mCurrentLayer < mNumberOfLayers) {
        mLayers[static_cast<size_t>(mCurrentLayer)].push_back(child);
    }
    return true;
}

void TLayeredWindow::OrphanChild(TWindow* child)
{
    TWindow::OrphanChild(child);
    // A child adopted twice in one layer is listed twice there; no entry may
    // outlive the child.
    for (auto& layer : mLayers)
        layer.erase(std::remove(layer.begin(), layer.end(), child), layer.end());
}

void TLayeredWindow::SetCurrentLayer(int layer)
{
    // A layer outside the lists would index past them: refuse it.
    if (layer >= mNumberOfLayers || layer < -1) {
        WriteDbg("ASSERT(%s) FAILED!! %s, %d", "layer<mNumberOfLayers", QM_SOURCE_FILE, __LINE__);
        return;
    }
    if (layer == mCurrentLayer)
        return;
    mCurrentLayer = layer;
    for (TWindow* child : GetChildren())
        child->ClearFlags(kVisible);
    if (mNumberOfLayers > 0) {
        for (TWindow* child : mLayers[layer == -1 ? 0 : static_cast<size_t>(layer)])
            child->AddFlags(kVisible);
    }
    InvalidateRect(nullptr);
}
