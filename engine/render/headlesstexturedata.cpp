#include "engine/render/headlesstexturedata.h"

#include <algorithm>
#include <cstring>

void THeadlessTextureData::DeviceFillRect(const TRect& rect, const TColor& colour)
{
    TColor32 pixel = ToPixel(colour);
    for (int y = rect.y1; y < rect.y2; ++y)
        for (int x = rect.x1; x < rect.x2; ++x)
            std::memcpy(&mPixels[(std::size_t(y) * mSurfaceWidth + x) * 4], &pixel, 4);
}

void THeadlessTextureData::CopyToDevice(TTextureData& destination, int x, int y, const TRect& source)
{
    CopyPixelsTo(destination, x, y, source);
}
