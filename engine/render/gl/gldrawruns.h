// One frame's drawing on the window, kept instead of drawn at once, and drawn
// at the frame's end: whole, or only inside the rectangles where it differs
// from the frame before (engine/render/framediff.h), over what the window
// still shows of that frame.
//
// A frame records runs: the sprite, glyph and line queues' draw calls and the
// screen copies of a framebuffer, each with the state it is drawn with (its
// texture and the texture's generation, blend, filtering, scissor box).
// Every quad, glyph or line of a run is an item of its own for the
// comparison, so a figure that moves changes its own boxes only, whatever
// run it was drawn in.
#pragma once

#include "engine/render/drawtypes.h"
#include "engine/render/framediff.h"
#include "engine/render/gl/glheaders.h"
#include "engine/render/gl/glspritebatch.h"
#include "engine/render/rendertypes.h"

#include <cstdint>
#include <vector>

class TGLDrawRuns {
public:
    enum class EKind : std::uint8_t { kSprites, kGlyphs, kLines, kBlit };

    // What a run is drawn with, besides its vertices.
    struct TRunState {
        EKind kind = EKind::kSprites;
        GLuint texture = 0;            // sprites' texture, glyphs' atlas, the copied framebuffer's texture
        std::uint32_t generation = 0;  // bumped with each change of the texture's pixels
        EBlendModes blend = kBlendAlpha;
        EFilteringModes filter = kFilterLinear;
        TRect scissor;                 // screen pixels
        GLuint framebuffer = 0;        // a copy's source
        TPoint source;                 // a copy's source corner for the placed box's top left
        TRect placed;                  // a copy's destination
        bool operator==(const TRunState&) const = default;
    };

    // Vertex sizes: the sprite queue's vertices, and the screen-space ones
    // of glyphs and lines (glspritebatch.h).
    static constexpr int kSpriteVertexBytes = int(sizeof(TGLSpriteVertex));
    static constexpr int kRawVertexBytes = int(sizeof(TTransformedLitVert));

    void Clear();
    // Appends a run of `count` vertices (a copy's count is 0).
    void Add(const TRunState& state, const void* vertices, int count);
    // Whether a run of this frame samples the texture of that GL name.
    bool Uses(GLuint texture) const;

    // Where this frame differs from `before`, as at most `most` rectangles
    // within the display of width x height (none: nothing changed).
    std::vector<TRect> ChangedSince(const TGLDrawRuns& before, int width, int height, std::size_t most) const;

    // Draws the frame onto the window (bound, rows turned top first, the 2D
    // projection loaded): cleared and drawn whole, or only inside the
    // rectangles. Leaves the scissor box as it was not.
    void DrawWhole(const TGLQuadPrograms& programs, int width, int height) const;
    void DrawWithin(const TGLQuadPrograms& programs, const std::vector<TRect>& rects, int width, int height) const;

private:
    struct TRun {
        TRunState state;
        std::uint64_t stateHash = 0;
        std::size_t firstByte = 0;
        int vertices = 0;
        std::size_t firstItem = 0, items = 0;
    };

    int VertexBytes(EKind kind) const { return kind == EKind::kSprites ? kSpriteVertexBytes : kRawVertexBytes; }
    void AddItems(std::size_t run, int verticesPerItem);
    TRect ItemBox(const TRun& run, std::size_t firstByte, int vertices) const;
    bool SameItem(const TGLDrawRuns& before, std::size_t i, std::size_t j) const;
    void DrawRun(const TGLQuadPrograms& programs, const TRun& run, const unsigned char* vertices, int count,
                 const TRect& within, int height) const;

    std::vector<TRun> mRuns;
    std::vector<unsigned char> mBytes;
    std::vector<TDrawnItem> mItems;
    std::vector<std::uint32_t> mItemRun;       // the run each item belongs to
    std::vector<std::size_t> mItemFirstByte;   // where its vertices start in mBytes
    std::vector<std::uint32_t> mItemVertices;  // how many it has
    std::vector<GLuint> mTextures;             // sampled by some run
    mutable std::vector<unsigned char> mScratch;  // the items of a run that meet one rectangle
};
