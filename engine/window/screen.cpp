#include "engine/window/screen.h"

#include "engine/base/debuglog.h"
#include "engine/window/windowdisplay.h"
#include "engine/window/windowmanager.h"

#include <algorithm>

TScreen::TScreen()
{
    AddFlags(kBackgroundLayer | kLocalInvalidate);
}

TClassId TScreen::ClassId()
{
    return MakeClassId(&TScreen::ClassId);
}

void TScreen::Draw()
{
    QM_ASSERT(!GetParent());
    TWindowManager* manager = TWindowManager::GetInstance();
    IWindowDisplay* display = manager ? manager->GetWindowDisplay() : nullptr;
    if (!display)
        return;

    // The area being redrawn, else the whole viewport.
    TRect area;
    const auto dirty = GetDirtyRect();
    if (dirty && dirty->Width() != 0 && dirty->Height() != 0) {
        area = *dirty;
    } else {
        const TRect viewport = display->GetViewport();
        area = {0, 0, viewport.Width(), viewport.Height()};
    }
    if (!mFill)
        return;
    area.x1 = std::max(area.x1, 0);
    area.y1 = std::max(area.y1, 0);
    area.x2 = std::min(area.x2, GetRect().x2);
    area.y2 = std::min(area.y2, GetRect().y2);
    display->FillRect(area, mFillColour);
}
