// Consecutive sprites that share a texture and state, gathered so the GPU
// gets them in one draw call instead of one call (and one state change) per
// sprite.
//
// The batch holds quads only until anything else touches GL: the handler and
// the texture data flush it first, so the drawing order, and therefore every
// pixel, is what one call per sprite would give. The vertex store is kept
// between frames at a fixed capacity (a full batch is flushed, not grown), so
// drawing allocates nothing per sprite or per frame.
#pragma once

#include "engine/render/drawtypes.h"
#include "engine/render/gl/glheaders.h"
#include "engine/render/spritequad.h"

#include <vector>

// Sets one blend or filtering mode in GL (the filter on the bound texture).
void ApplyGLBlendMode(EBlendModes mode);
void ApplyGLFilteringMode(EFilteringModes mode);

class TGLSpriteBatch {
public:
    // Quads held before a batch is drawn regardless: one frame of the game's
    // busiest scenes fits, and the store stays a few hundred kilobytes.
    static constexpr int kCapacity = 4096;

    TGLSpriteBatch();

    // Queues one quad modulated by colour; flushes first when texture, blend
    // or filtering differ from the queued quads' or the store is full.
    void Add(GLuint texture, EBlendModes blend, EFilteringModes filter, const TSpriteQuad& quad,
             const TColor& colour);
    // Draws what is queued, leaving GL as the last single-sprite draw would.
    void Flush();
    // Forgets the queue without drawing (the context is going away).
    void Discard() { mVertices.clear(); }
    bool IsEmpty() const { return mVertices.empty(); }
    int GetDrawCalls() const { return mDrawCalls; }  // since construction, for tests and benchmarks

private:
    // One interleaved GL_T2F_C4F_N3F_V3F vertex.
    struct TVertex {
        GLfloat u, v;
        GLfloat r, g, b, a;
        GLfloat nx, ny, nz;
        GLfloat x, y, z;
    };

    std::vector<TVertex> mVertices;
    GLuint mTexture = 0;
    EBlendModes mBlend = kBlendAlpha;
    EFilteringModes mFilter = kFilterLinear;
    int mDrawCalls = 0;
};
