#include "engine/render/gl/gldrawruns.h"

#include "engine/render/gl/glquadprograms.h"
#include "engine/render/gl/glstats.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace {

// Byte offsets of a vertex's x and y in each layout.
constexpr int kSpritePositionOffset = int(offsetof(TGLSpriteVertex, x));
constexpr int kRawPositionOffset = int(offsetof(TTransformedLitVert, x));
static_assert(offsetof(TGLSpriteVertex, y) == kSpritePositionOffset + sizeof(float) &&
                  offsetof(TTransformedLitVert, y) == kRawPositionOffset + sizeof(float),
              "y follows x: both are read at once");

std::uint64_t HashState(const TGLDrawRuns::TRunState& s)
{
    const std::int64_t fields[] = {std::int64_t(s.kind), s.texture,     s.generation,  std::int64_t(s.blend),
                                   std::int64_t(s.filter), s.scissor.x1, s.scissor.y1, s.scissor.x2,
                                   s.scissor.y2,         s.framebuffer, s.source.x,    s.source.y,
                                   s.placed.x1,          s.placed.y1,   s.placed.x2,   s.placed.y2};
    return HashBytes(fields, sizeof fields);
}

// A coordinate held to a little beyond the display before it becomes an int.
float Held(float value, int limit)
{
    if (!std::isfinite(value))
        return value > 0 ? float(limit + 2) : -2.0f;
    return std::clamp(value, -2.0f, float(limit + 2));
}

void SetWindowScissor(const TRect& box, int height)
{
    glScissor(box.x1, height - box.y2, std::max(box.Width(), 0), std::max(box.Height(), 0));
}

}  // namespace

void TGLDrawRuns::Clear()
{
    mRuns.clear();
    mBytes.clear();
    mItems.clear();
    mItemRun.clear();
    mItemFirstByte.clear();
    mItemVertices.clear();
    mTextures.clear();
}

bool TGLDrawRuns::Uses(GLuint texture) const
{
    return texture != 0 && std::find(mTextures.begin(), mTextures.end(), texture) != mTextures.end();
}

void TGLDrawRuns::Add(const TRunState& state, const void* vertices, int count)
{
    TRun run;
    run.state = state;
    run.stateHash = HashState(state);
    run.firstByte = mBytes.size();
    run.vertices = std::max(count, 0);
    const auto* bytes = static_cast<const unsigned char*>(vertices);
    if (run.vertices > 0)
        mBytes.insert(mBytes.end(), bytes, bytes + std::size_t(run.vertices) * std::size_t(VertexBytes(state.kind)));
    mRuns.push_back(run);
    if (state.texture && !Uses(state.texture))
        mTextures.push_back(state.texture);
    // Quads, glyphs (two triangles) and lines are the items; a run that
    // does not divide into them is one item.
    int perItem = run.vertices;
    if (state.kind == EKind::kSprites && run.vertices % 4 == 0)
        perItem = 4;
    else if (state.kind == EKind::kGlyphs && run.vertices % 6 == 0)
        perItem = 6;
    else if (state.kind == EKind::kGlyphs && run.vertices % 3 == 0)
        perItem = 3;
    else if (state.kind == EKind::kLines && run.vertices % 2 == 0)
        perItem = 2;
    AddItems(mRuns.size() - 1, std::max(perItem, 1));
}

void TGLDrawRuns::AddItems(std::size_t index, int perItem)
{
    TRun& run = mRuns[index];
    run.firstItem = mItems.size();
    const int size = VertexBytes(run.state.kind);
    auto addItem = [&](std::size_t firstByte, int vertices) {
        TDrawnItem item;
        item.hash = HashBytes(mBytes.data() + firstByte, std::size_t(vertices) * std::size_t(size), run.stateHash);
        item.box = ItemBox(run, firstByte, vertices);
        mItems.push_back(item);
        mItemRun.push_back(std::uint32_t(index));
        mItemFirstByte.push_back(firstByte);
        mItemVertices.push_back(std::uint32_t(vertices));
    };
    if (run.state.kind == EKind::kBlit)
        addItem(run.firstByte, 0);
    for (int v = 0; v + perItem <= run.vertices; v += perItem)
        addItem(run.firstByte + std::size_t(v) * std::size_t(size), perItem);
    run.items = mItems.size() - run.firstItem;
}

TRect TGLDrawRuns::ItemBox(const TRun& run, std::size_t firstByte, int vertices) const
{
    if (run.state.kind == EKind::kBlit)
        return TRect::Intersect(run.state.placed, run.state.scissor);
    const int size = VertexBytes(run.state.kind);
    const int offset = run.state.kind == EKind::kSprites ? kSpritePositionOffset : kRawPositionOffset;
    const int limit = std::max(run.state.scissor.x2, run.state.scissor.y2);
    float left = 0, right = 0, top = 0, bottom = 0;
    for (int v = 0; v < vertices; ++v) {
        float xy[2];
        std::memcpy(xy, mBytes.data() + firstByte + std::size_t(v) * std::size_t(size) + std::size_t(offset),
                    sizeof xy);
        const float x = Held(xy[0], limit), y = Held(xy[1], limit);
        left = v ? std::min(left, x) : x;
        right = v ? std::max(right, x) : x;
        top = v ? std::min(top, y) : y;
        bottom = v ? std::max(bottom, y) : y;
    }
    // Every pixel whose centre a primitive covers lies in the box of its
    // corners rounded outwards; a line may light one pixel beyond its ends.
    const int margin = run.state.kind == EKind::kLines ? 1 : 0;
    TRect box{int(std::floor(left)) - margin, int(std::floor(top)) - margin, int(std::ceil(right)) + margin,
              int(std::ceil(bottom)) + margin};
    box = TRect::Intersect(box, run.state.scissor);
    return box.IsEmpty() ? TRect{} : box;
}

bool TGLDrawRuns::SameItem(const TGLDrawRuns& before, std::size_t i, std::size_t j) const
{
    const TRun& a = before.mRuns[before.mItemRun[i]];
    const TRun& b = mRuns[mItemRun[j]];
    if (!(a.state == b.state) || before.mItemVertices[i] != mItemVertices[j])
        return false;
    const std::size_t bytes = std::size_t(mItemVertices[j]) * std::size_t(VertexBytes(b.state.kind));
    return std::memcmp(before.mBytes.data() + before.mItemFirstByte[i], mBytes.data() + mItemFirstByte[j], bytes) ==
           0;
}

std::vector<TRect> TGLDrawRuns::ChangedSince(const TGLDrawRuns& before, int width, int height,
                                             std::size_t most) const
{
    const std::vector<TRect> boxes =
        ChangedBoxes(before.mItems, mItems, [&](std::size_t i, std::size_t j) { return SameItem(before, i, j); });
    return CoverWithFewRects(boxes, width, height, 16, most);
}

void TGLDrawRuns::DrawRun(const TGLQuadPrograms& programs, const TRun& run, const unsigned char* vertices,
                          int count, const TRect& within, int height) const
{
    const TRect box = TRect::Intersect(run.state.scissor, within);
    if (box.IsEmpty())
        return;
    const TRunState& s = run.state;
    switch (s.kind) {
    case EKind::kSprites:
        SetWindowScissor(box, height);
        DrawSpriteRun(programs, s.texture, s.blend, s.filter, vertices, count);
        return;
    case EKind::kGlyphs:
        SetWindowScissor(box, height);
        DrawGlyphRun(programs, s.texture, vertices, count);
        return;
    case EKind::kLines:
        SetWindowScissor(box, height);
        DrawLineRun(vertices, count);
        return;
    case EKind::kBlit: {
        // A blit writes where it is told, scissor or not: the part placed
        // inside the box is copied, pixel for pixel.
        const TRect part = TRect::Intersect(s.placed, box);
        if (part.IsEmpty())
            return;
        const int sx = s.source.x + part.x1 - s.placed.x1, sy = s.source.y + part.y1 - s.placed.y1;
        glBindFramebuffer(GL_READ_FRAMEBUFFER, s.framebuffer);
        glDisable(GL_SCISSOR_TEST);
        glBlitFramebuffer(sx, sy, sx + part.Width(), sy + part.Height(), part.x1, height - part.y1, part.x2,
                          height - part.y2, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        CountGLDraw();
        glEnable(GL_SCISSOR_TEST);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        return;
    }
    }
}

void TGLDrawRuns::DrawWhole(const TGLQuadPrograms& programs, int width, int height) const
{
    const TRect screen{0, 0, width, height};
    SetWindowScissor(screen, height);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    for (const TRun& run : mRuns)
        DrawRun(programs, run, mBytes.data() + run.firstByte, run.vertices, screen, height);
}

void TGLDrawRuns::DrawWithin(const TGLQuadPrograms& programs, const std::vector<TRect>& rects, int width,
                             int height) const
{
    glClearColor(0, 0, 0, 0);
    for (const TRect& rect : rects) {
        const TRect within = TRect::Intersect(rect, {0, 0, width, height});
        if (within.IsEmpty())
            continue;
        SetWindowScissor(within, height);
        glClear(GL_COLOR_BUFFER_BIT);
        // Of each run, the items that reach into the rectangle, in their order.
        for (const TRun& run : mRuns) {
            const int size = VertexBytes(run.state.kind);
            mScratch.clear();
            int count = 0;
            bool any = false;
            for (std::size_t k = run.firstItem; k < run.firstItem + run.items; ++k) {
                if (TRect::Intersect(mItems[k].box, within).IsEmpty())
                    continue;
                any = true;
                const auto* first = mBytes.data() + mItemFirstByte[k];
                mScratch.insert(mScratch.end(), first, first + std::size_t(mItemVertices[k]) * std::size_t(size));
                count += mItemVertices[k];
            }
            if (any)
                DrawRun(programs, run, mScratch.data(), count, within, height);
        }
    }
}
