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
#include "engine/render/gl/glquadprograms.h"
#include "engine/render/spritequad.h"

#include <cstddef>
#include <vector>

// One vertex of the sprite queue, interleaved as GL_T2F_C4F_N3F_V3F reads it.
// The frame record copies runs of them and reads their positions.
struct TGLSpriteVertex {
    GLfloat u, v;
    GLfloat r, g, b, a;
    GLfloat nx, ny, nz;
    GLfloat x, y, z;
};
static_assert(sizeof(TGLSpriteVertex) == 12 * sizeof(GLfloat) && offsetof(TGLSpriteVertex, x) == 9 * sizeof(GLfloat),
              "GL_T2F_C4F_N3F_V3F: 12 floats a vertex, the position last");

// The lines' and glyphs' vertices are the handler's screen-space ones
// (TTransformedLitVert), handed to GL as they are: these are where GL reads
// each part of them.
namespace glvertex {
constexpr GLsizei kStride = sizeof(TTransformedLitVert);
constexpr std::size_t kColour = offsetof(TTransformedLitVert, color);
constexpr std::size_t kTexCoords = offsetof(TTransformedLitVert, u);
static_assert(offsetof(TTransformedLitVert, x) == 0 && offsetof(TTransformedLitVert, y) == sizeof(float) &&
                  offsetof(TTransformedLitVert, z) == 2 * sizeof(float),
              "three position floats first, as glVertexPointer reads them");
}  // namespace glvertex

// Sets one blend or filtering mode in GL (the filter on the bound texture).
void ApplyGLBlendMode(EBlendModes mode);
void ApplyGLFilteringMode(EFilteringModes mode);

// Draws the sprite queue's interleaved vertices (four a quad) from the
// texture with the state given, leaving GL as the last single-sprite draw
// would.
void DrawSpriteRun(const TGLQuadPrograms& programs, GLuint texture, EBlendModes blend, EFilteringModes filter,
                   const void* vertices, int count);
// Draws line-list vertices (TTransformedLitVert), untextured and
// alpha blended, with an identity model-view and the scissor box as it is.
void DrawLineRun(const void* vertices, int count);

// Where the queues' draw calls go instead of GL while the handler records a
// frame (engine/render/gl/gldrawruns.h). Each call returns whether it took
// the run; a run not taken is drawn at once.
class IGLRunSink {
public:
    virtual bool TakeSprites(GLuint texture, EBlendModes blend, EFilteringModes filter, const void* vertices,
                             int count) = 0;
    virtual bool TakeGlyphs(GLuint atlas, const void* vertices, int count) = 0;
    virtual bool TakeLines(const void* vertices, int count) = 0;

protected:
    ~IGLRunSink() = default;
};

class TGLSpriteBatch {
public:
    // Quads held before a batch is drawn regardless: one frame of the game's
    // busiest scenes fits, and the store stays a few hundred kilobytes.
    static constexpr int kCapacity = 4096;

    // Draws with the programs' modulating program whenever they offer it.
    explicit TGLSpriteBatch(const TGLQuadPrograms& programs);

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
    void SetSink(IGLRunSink* sink) { mSink = sink; }

private:
    const TGLQuadPrograms& mPrograms;
    std::vector<TGLSpriteVertex> mVertices;
    GLuint mTexture = 0;
    EBlendModes mBlend = kBlendAlpha;
    EFilteringModes mFilter = kFilterLinear;
    int mDrawCalls = 0;
    IGLRunSink* mSink = nullptr;
};

// Consecutive coloured line lists (the text rasteriser's spans) gathered into
// one draw call, like the sprites: fixed state (untextured, alpha blended,
// the whole display as scissor, identity model-view), so only the vertices
// are kept. The caller flushes before any other GL work.
class TGLLineBatch {
public:
    static constexpr int kCapacity = 16384;  // vertices; 512 KB, kept between frames

    TGLLineBatch();

    // Copies count screen-space vertices (TTransformedLitVert).
    // Returns false, queueing nothing, when they would not fit; flush first.
    bool Add(const void* vertices, int count);
    // Draws the queue into the display of width x height; the caller puts its
    // own scissor box back afterwards.
    void Flush(int width, int height);
    void Discard() { mVertices.clear(); }
    bool IsEmpty() const { return mVertices.empty(); }
    bool IsFull(int more) const { return mVertices.size() + size_t(more) > size_t(kCapacity); }
    int GetDrawCalls() const { return mDrawCalls; }
    void SetSink(IGLRunSink* sink) { mSink = sink; }

private:
    std::vector<TTransformedLitVert> mVertices;
    int mDrawCalls = 0;
    IGLRunSink* mSink = nullptr;
};

// Draws glyph triangles (screen-space TTransformedLitVert) from an
// atlas at once: its texels taken as they are, nearest, alpha blended, with
// an identity model-view and the scissor box as it is; with the programs'
// replacing program whenever they offer it.
void DrawGlyphRun(const TGLQuadPrograms& programs, GLuint atlas, const void* vertices, int count);

// Consecutive runs of cached glyphs from one atlas (the text rasteriser's
// glyph quads as triangles) gathered into one draw call, for all the lines of
// text drawn one after another: fixed state (the atlas's nearest texels taken
// as they are, alpha blended, identity model-view, the scissor box as it is),
// so only the vertices are kept. The caller flushes before any other GL work.
class TGLGlyphBatch {
public:
    static constexpr int kCapacity = 24576;  // vertices, six a glyph; 768 KB, kept between frames

    explicit TGLGlyphBatch(const TGLQuadPrograms& programs);

    // Copies count screen-space vertices (TTransformedLitVert),
    // textured from the atlas. Returns false, queueing nothing, when they
    // would not fit or another atlas's glyphs wait; flush first.
    bool Add(GLuint atlas, const void* vertices, int count);
    void Flush();
    bool IsEmpty() const { return mVertices.empty(); }
    int GetDrawCalls() const { return mDrawCalls; }
    void SetSink(IGLRunSink* sink) { mSink = sink; }

private:
    const TGLQuadPrograms& mPrograms;
    std::vector<TTransformedLitVert> mVertices;
    GLuint mAtlas = 0;
    int mDrawCalls = 0;
    IGLRunSink* mSink = nullptr;
};
