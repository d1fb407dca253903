// Rectangles placed in a square without overlapping, and given back: the
// bookkeeping of a texture page that many small images share.
//
// The square is cut into shelves across its whole width. A shelf takes
// rectangles of one height class (heights from just over half its height up
// to its height, powers of two), side by side, and keeps the free stretches
// between them; a rectangle goes to the first stretch wide enough in a shelf
// of its class, else on a new shelf at the top of the used part. A shelf
// that empties can take any class no taller than itself; empty shelves at the
// top give their height back.
#pragma once

#include "engine/render/rendertypes.h"

#include <vector>

class TShelfPacker {
public:
    explicit TShelfPacker(int size);

    // A place for width x height within the square; false when there is none.
    bool Allocate(int width, int height, TRect* place);
    // Gives back a place Allocate handed out (anything else is ignored).
    void Free(const TRect& place);
    bool IsEmpty() const { return mPlaced == 0; }
    int Size() const { return mSize; }
    // The height in use from the top: shelves made and not given back.
    int UsedHeight() const { return mTop; }

private:
    struct TStretch {
        int x = 0, width = 0;
    };
    struct TShelf {
        int y = 0, height = 0;
        int heightClass = 0;  // the tallest rectangle it takes; at most height
        int placed = 0;
        std::vector<TStretch> free;  // in x order, never touching
    };

    static int HeightClass(int height);
    bool PlaceOnShelf(TShelf& shelf, int width, int height, TRect* place);
    TShelf* NewShelf(int heightClass);
    void ReleaseEmptyTop();

    int mSize;
    int mTop = 0;
    int mPlaced = 0;
    std::vector<TShelf> mShelves;  // in y order
};
