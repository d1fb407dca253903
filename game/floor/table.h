// TTable: a whole table of 2, 4 or 6 seats, with its upgraded look (which
// the decor choice also offers) and its highlight ring.
#pragma once

#include "game/floor/eatingstation.h"
#include "game/floor/frameslots.h"

class TTable : public TEatingStation {
public:
    TTable(str artFolder, int tableNumber, int seatCount, const int* chairColors, const TPoint& location);
    ~TTable() override;

    void Draw(TAnimatedTextureCache* cache, float upgradeAlpha, float highlightAlpha);
    const std::shared_ptr<TAnimatedTexture>& Look() const { return mLook; }

private:
    std::shared_ptr<TAnimatedTexture> mLook;
    // The upgraded look while the decor choice offers it.
    TFrameSlots mUpgradeLook{1};
    std::shared_ptr<TTexture> mHighlight;
};
