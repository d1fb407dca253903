// The layered part of a scripted animation: numbered layers of animated
// textures drawn over the animation, and scrobs, many small sprites each a
// textured quad with its own 2 x 2 transform, translation, size and alpha,
// drawn from one set of registered bitmaps.
//
// Scrobs are allocated once (AllocateScrobs) and recycled through a free
// list; the draw order holds at most one scrob per depth.
#pragma once

#include "engine/base/asset.h"
#include "engine/script/animation.h"

#include <deque>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <vector>

class TTexture;

struct TAnimationData::Scrob {
    int depth = 0;  // the draw-order key
    int bitmap = 0;
    float alpha = 1.0f;
    TVec2 row1{1, 0};  // a, b
    TVec2 row2{0, 1};  // c, d
    TVec2 translation;
    TVec2 size;
};

// Orders scrobs by depth alone; a depth finds its scrob directly.
struct TAnimationData::ScrobCompare {
    using is_transparent = void;
    bool operator()(const Scrob* a, const Scrob* b) const { return a->depth < b->depth; }
    bool operator()(const Scrob* a, int depth) const { return a->depth < depth; }
    bool operator()(int depth, const Scrob* b) const { return depth < b->depth; }
};

class TAnimationData::LayeredAnimationInfo {
public:
    // A script asking for more than this many scrobs or layers is refused:
    // the numbers come from script text, not from the engine.
    static constexpr int kMaxScrobs = 65536;
    static constexpr unsigned kMaxLayers = 1024;

    // Appends n scrobs to the store, free for SetScrob.
    void AllocateScrobs(int n);
    // Takes a free scrob for an id not in use; places the scrob at `depth`
    // in the draw order, replacing whichever scrob held that depth.
    void SetScrob(int id, int depth, int bitmap, float width, float height);
    // t[1]..t[6]: a, b, c, d, tx, ty (defaults 1, 0, 0, 1, 0, 0); the table is on the stack at `table`.
    void MoveScrob(int id, lua_State* L, int table);
    void SetScrobAlpha(int id, float alpha);
    void RemoveScrob(int id);
    void RemoveAll();

    bool HasScrobsInUse() const { return !mDrawOrder.empty(); }
    const Scrob* FirstScrob() const { return mDrawOrder.empty() ? nullptr : *mDrawOrder.begin(); }
    const Scrob* FindScrob(int id) const;
    int FreeCount() const { return static_cast<int>(mFreeScrobs.size()); }

    // Draws the layers, then the scrobs, at (x, y).
    void DrawLayers(float x, float y, float alpha, float scale, float rotation, int flags);
    void DrawScrobs(float x, float y);

    TAssetMap mReferences;
    std::vector<std::shared_ptr<TAnimatedTexture>> mLayers;
    std::vector<int> mLayerFrames;
    std::vector<float> mLayerAlphas;
    std::map<int, Scrob*> mScrobIds;
    std::set<Scrob*, ScrobCompare> mDrawOrder;
    // A deque keeps every scrob where it is as the store grows: the ids, the
    // draw order and the free list point into it.
    std::deque<Scrob> mScrobs;
    std::list<Scrob*> mFreeScrobs;
    std::map<int, std::shared_ptr<TTexture>> mBitmaps;

private:
    // Takes the scrob out of the draw order when it is the one drawn at its depth.
    void Undraw(Scrob* scrob);
};
