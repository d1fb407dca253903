// Texture pages: large GL textures that many small images share, so that
// sprites cut from different images can be drawn in one call.
//
// A page only ever serves texel-exact quads (see IsTexelExact): each covered
// pixel takes the one texel under its centre, so nothing beyond an image's
// own rectangle is read and the images need no border between them; a quad
// that is scaled, turned or placed between pixels draws from the image's own
// texture instead. A page whose last image goes is deleted.
#pragma once

#include "engine/render/gl/glheaders.h"
#include "engine/render/gl/glwork.h"
#include "engine/render/shelfpacker.h"

#include <memory>
#include <vector>

// Where an image sits: its page's GL texture and its rectangle in texels,
// and within it the box of the texels that are not wholly transparent
// (alpha above 0): a quad drawn from the page with alpha blending needs only
// that box, as the texels around it leave every pixel as it was.
struct TGLPageRegion {
    GLuint texture = 0;
    TRect rect;
    TRect opaque;  // page texels; empty when every texel is transparent
};

class TGLTexturePages {
public:
    static constexpr int kPageSize = 2048;
    // Larger images keep a texture of their own.
    static constexpr int kLargestSide = 1024;

    // GL work on the pages is announced to `work` (the display handler,
    // which outlives them).
    explicit TGLTexturePages(IGLWorkGate& work) : mWork(work) {}
    ~TGLTexturePages();  // needs the GL context
    TGLTexturePages(const TGLTexturePages&) = delete;
    TGLTexturePages& operator=(const TGLTexturePages&) = delete;

    // A place for a width x height image, on a new page when the others are
    // full; false for an image too large or when GL has no room.
    bool Allocate(int width, int height, TGLPageRegion* region);
    void Free(const TGLPageRegion& region);
    int GetPageCount() const { return int(mPages.size()); }

private:
    struct TPage {
        GLuint texture = 0;
        TShelfPacker packer{kPageSize};
    };
    bool AddPage();
    void DeletePage(std::vector<std::unique_ptr<TPage>>::iterator page);

    IGLWorkGate& mWork;
    std::vector<std::unique_ptr<TPage>> mPages;
};
