#include "engine/render/gl/glspritebatch.h"

#include "engine/render/gl/glstats.h"

void ApplyGLBlendMode(EBlendModes mode)
{
    switch (mode) {
    case kBlendAlpha:
        glEnable(GL_BLEND);
        glBlendEquation(GL_FUNC_ADD);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case kBlendOff:
        glDisable(GL_BLEND);
        break;
    case kBlendAdditive:
        glEnable(GL_BLEND);
        glBlendEquation(GL_FUNC_ADD);
        glBlendFunc(GL_ONE, GL_ONE);
        break;
    case kBlendAlphaAdditive:
        glEnable(GL_BLEND);
        glBlendEquation(GL_FUNC_ADD);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        break;
    case kBlendReverseSubtract:
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        glBlendEquation(GL_FUNC_REVERSE_SUBTRACT);
        break;
    }
}

void ApplyGLFilteringMode(EFilteringModes mode)
{
    GLint filter;
    if (mode == kFilterPoint)
        filter = GL_NEAREST;
    else if (mode == kFilterLinear)
        filter = GL_LINEAR;
    else
        return;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
}

TGLSpriteBatch::TGLSpriteBatch(const TGLQuadPrograms& programs) : mPrograms(programs)
{
    mVertices.reserve(kCapacity * 4);
}

void TGLSpriteBatch::Add(GLuint texture, EBlendModes blend, EFilteringModes filter, const TSpriteQuad& quad,
                         const TColor& colour)
{
    bool sameState = texture == mTexture && blend == mBlend && filter == mFilter;
    if (!mVertices.empty() && (!sameState || mVertices.size() >= kCapacity * 4))
        Flush();
    mTexture = texture;
    mBlend = blend;
    mFilter = filter;
    for (const TQuadCorner& c : quad.corner)
        mVertices.push_back({c.u, c.v, colour.r, colour.g, colour.b, colour.a, 0, 0, 0, c.x, c.y, 0.1f});
}

void TGLSpriteBatch::Flush()
{
    if (mVertices.empty())
        return;
    const int count = int(mVertices.size());
    if (!mSink || !mSink->TakeSprites(mTexture, mBlend, mFilter, mVertices.data(), count)) {
        DrawSpriteRun(mPrograms, mTexture, mBlend, mFilter, mVertices.data(), count);
        ++mDrawCalls;
    }
    mVertices.clear();
}

void DrawSpriteRun(const TGLQuadPrograms& programs, GLuint texture, EBlendModes blend, EFilteringModes filter,
                   const void* vertices, int count)
{
    // The same state, in the same order, as drawing each sprite on its own.
    ApplyGLBlendMode(blend);
    glBindTexture(GL_TEXTURE_2D, texture);
    ApplyGLFilteringMode(filter);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glInterleavedArrays(GL_T2F_C4F_N3F_V3F, 0, vertices);
    const GLuint program = programs.Modulate();
    if (program)
        glUseProgram(program);
    glDrawArrays(GL_QUADS, 0, count);
    if (program)
        glUseProgram(0);
    CountGLTexturedDraw(texture);
    // The store is reused: leave no array pointing into it.
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_TEXTURE_2D);
}

TGLLineBatch::TGLLineBatch()
{
    mVertices.reserve(kCapacity);
}

bool TGLLineBatch::Add(const void* vertices, int count)
{
    if (count <= 0 || IsFull(count))
        return false;
    // Copied as they are (the store's capacity is never passed, so nothing moves).
    const auto* first = static_cast<const TTransformedLitVert*>(vertices);
    mVertices.insert(mVertices.end(), first, first + count);
    return true;
}

void TGLLineBatch::Flush(int width, int height)
{
    if (mVertices.empty())
        return;
    const int count = int(mVertices.size());
    if (!mSink || !mSink->TakeLines(mVertices.data(), count)) {
        glScissor(0, 0, width, height);
        DrawLineRun(mVertices.data(), count);
        ++mDrawCalls;
    }
    mVertices.clear();
}

void DrawLineRun(const void* vertices, int count)
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const auto* base = static_cast<const unsigned char*>(vertices);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, glvertex::kStride, base);
    glTexCoordPointer(2, GL_FLOAT, glvertex::kStride, base + glvertex::kTexCoords);
    glColorPointer(4, GL_UNSIGNED_BYTE, glvertex::kStride, base + glvertex::kColour);
    glDrawArrays(GL_LINES, 0, count);
    CountGLDraw();
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}

TGLGlyphBatch::TGLGlyphBatch(const TGLQuadPrograms& programs) : mPrograms(programs)
{
    mVertices.reserve(kCapacity);
}

bool TGLGlyphBatch::Add(GLuint atlas, const void* vertices, int count)
{
    if (count <= 0 || mVertices.size() + size_t(count) > size_t(kCapacity) ||
        (!mVertices.empty() && atlas != mAtlas))
        return false;
    mAtlas = atlas;
    // Copied as they are (the store's capacity is never passed, so nothing moves).
    const auto* first = static_cast<const TTransformedLitVert*>(vertices);
    mVertices.insert(mVertices.end(), first, first + count);
    return true;
}

void TGLGlyphBatch::Flush()
{
    if (mVertices.empty())
        return;
    const int count = int(mVertices.size());
    if (!mSink || !mSink->TakeGlyphs(mAtlas, mVertices.data(), count)) {
        DrawGlyphRun(mPrograms, mAtlas, mVertices.data(), count);
        ++mDrawCalls;
    }
    mVertices.clear();
}

void DrawGlyphRun(const TGLQuadPrograms& programs, GLuint atlas, const void* vertices, int count)
{
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    // Texels land on pixels one to one and already hold the blended colour,
    // so they are taken as they are: each pixel gets what its line would.
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, atlas);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    const auto* base = static_cast<const unsigned char*>(vertices);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, glvertex::kStride, base);
    glTexCoordPointer(2, GL_FLOAT, glvertex::kStride, base + glvertex::kTexCoords);
    const GLuint program = programs.Replace();
    if (program)
        glUseProgram(program);
    glDrawArrays(GL_TRIANGLES, 0, count);
    if (program)
        glUseProgram(0);
    CountGLTexturedDraw(atlas);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}
