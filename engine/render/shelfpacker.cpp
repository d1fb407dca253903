#include "engine/render/shelfpacker.h"

#include <algorithm>

TShelfPacker::TShelfPacker(int size) : mSize(std::max(size, 1)) {}

int TShelfPacker::HeightClass(int height)
{
    int heightClass = 1;
    while (heightClass < height)
        heightClass *= 2;
    return heightClass;
}

bool TShelfPacker::PlaceOnShelf(TShelf& shelf, int width, int height, TRect* place)
{
    for (auto stretch = shelf.free.begin(); stretch != shelf.free.end(); ++stretch) {
        if (stretch->width < width)
            continue;
        *place = {stretch->x, shelf.y, stretch->x + width, shelf.y + height};
        stretch->x += width;
        stretch->width -= width;
        if (stretch->width == 0)
            shelf.free.erase(stretch);
        ++shelf.placed;
        ++mPlaced;
        return true;
    }
    return false;
}

TShelfPacker::TShelf* TShelfPacker::NewShelf(int heightClass)
{
    // An emptied shelf tall enough serves first: it is space already given out.
    for (TShelf& shelf : mShelves)
        if (shelf.placed == 0 && shelf.height >= heightClass) {
            shelf.heightClass = heightClass;
            return &shelf;
        }
    if (mTop + heightClass > mSize)
        return nullptr;
    TShelf shelf;
    shelf.y = mTop;
    shelf.height = shelf.heightClass = heightClass;
    shelf.free.push_back({0, mSize});
    mTop += heightClass;
    mShelves.push_back(shelf);
    return &mShelves.back();
}

bool TShelfPacker::Allocate(int width, int height, TRect* place)
{
    if (width < 1 || height < 1 || width > mSize || height > mSize || !place)
        return false;
    const int heightClass = std::min(HeightClass(height), mSize);
    for (TShelf& shelf : mShelves)
        if (shelf.heightClass == heightClass && PlaceOnShelf(shelf, width, height, place))
            return true;
    TShelf* shelf = NewShelf(heightClass);
    return shelf && PlaceOnShelf(*shelf, width, height, place);
}

void TShelfPacker::Free(const TRect& place)
{
    auto shelf = std::find_if(mShelves.begin(), mShelves.end(), [&](const TShelf& s) { return s.y == place.y1; });
    if (shelf == mShelves.end() || shelf->placed == 0 || place.IsEmpty() || place.x1 < 0 || place.x2 > mSize)
        return;
    // The stretch goes back in x order, joined to the free ones it touches.
    auto next = std::find_if(shelf->free.begin(), shelf->free.end(),
                             [&](const TStretch& s) { return s.x >= place.x2; });
    if (next != shelf->free.begin() && std::prev(next)->x + std::prev(next)->width > place.x1)
        return;  // overlaps a free stretch: not a place handed out
    TStretch given{place.x1, place.Width()};
    if (next != shelf->free.end() && next->x == place.x2) {
        given.width += next->width;
        next = shelf->free.erase(next);
    }
    if (next != shelf->free.begin() && std::prev(next)->x + std::prev(next)->width == place.x1) {
        std::prev(next)->width += given.width;
    } else {
        shelf->free.insert(next, given);
    }
    --shelf->placed;
    --mPlaced;
    if (shelf->placed == 0)
        ReleaseEmptyTop();
}

void TShelfPacker::ReleaseEmptyTop()
{
    while (!mShelves.empty() && mShelves.back().placed == 0) {
        mTop = mShelves.back().y;
        mShelves.pop_back();
    }
}
