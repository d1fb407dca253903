#include "engine/render/spritequad.h"

#include <algorithm>
#include <cmath>

static TSpriteQuad RectQuad(float left, float top, float right, float bottom, float ua, float va, float ub, float vb)
{
    TSpriteQuad q;
    q.corner[0] = {left, top, ua, va};
    q.corner[1] = {right, top, ub, va};
    q.corner[2] = {right, bottom, ub, vb};
    q.corner[3] = {left, bottom, ua, vb};
    return q;
}

TSpriteQuad BuildSurfaceQuad(float left, float top, float width, float height)
{
    return RectQuad(left, top, left + width, top + height, 0, 0, 1, 1);
}

bool IsTexelExact(const TSpriteQuad& quad, TPoint surfaceSize)
{
    const TQuadCorner* c = quad.corner;
    for (const TQuadCorner& corner : quad.corner)
        if (corner.x != std::trunc(corner.x) || corner.y != std::trunc(corner.y))
            return false;
    // Top and bottom sides level, left and right ones upright, and the
    // texture coordinates running along the same axes.
    const bool alongAxes = c[0].y == c[1].y && c[2].y == c[3].y && c[0].x == c[3].x && c[1].x == c[2].x &&
                           c[0].v == c[1].v && c[2].v == c[3].v && c[0].u == c[3].u && c[1].u == c[2].u;
    if (!alongAxes || surfaceSize.x <= 0 || surfaceSize.y <= 0)
        return false;
    const float texelsAcross = std::fabs(c[1].u - c[0].u) * float(surfaceSize.x);
    const float texelsDown = std::fabs(c[3].v - c[0].v) * float(surfaceSize.y);
    return texelsAcross == std::fabs(c[1].x - c[0].x) && texelsDown == std::fabs(c[3].y - c[0].y) &&
           texelsAcross > 0 && texelsDown > 0;
}

namespace {

// One axis of a texel-exact quad: positions a and b at its two ends, the
// texels ta and tb they take (one texel a pixel, so the position moves by as
// much as the texel, the other way round when mirrored). Narrows both ends to
// texels [lo, hi); false when nothing is left.
bool CutAxis(float& a, float& ta, float& b, float& tb, float lo, float hi)
{
    const float step = (b - a) / (tb - ta);
    float newA = 0, newB = 0;
    if (ta < tb) {
        newA = std::max(ta, lo);
        newB = std::min(tb, hi);
        if (newA >= newB)
            return false;
    } else {
        newA = std::min(ta, hi);
        newB = std::max(tb, lo);
        if (newB >= newA)
            return false;
    }
    a += (newA - ta) * step;
    b += (newB - tb) * step;
    ta = newA;
    tb = newB;
    return true;
}

}  // namespace

bool CutQuadToTexels(TSpriteQuad& quad, TPoint surfaceSize, const TRect& texels)
{
    const float w = float(surfaceSize.x), h = float(surfaceSize.y);
    TQuadCorner* c = quad.corner;
    // Corners 0 and 3 share the left end, 1 and 2 the right; 0 and 1 the top, 2 and 3 the bottom.
    float left = c[0].x, right = c[1].x, top = c[0].y, bottom = c[3].y;
    float uLeft = c[0].u * w, uRight = c[1].u * w, vTop = c[0].v * h, vBottom = c[3].v * h;
    if (!CutAxis(left, uLeft, right, uRight, float(texels.x1), float(texels.x2)) ||
        !CutAxis(top, vTop, bottom, vBottom, float(texels.y1), float(texels.y2)))
        return false;
    const float u0 = uLeft / w, u1 = uRight / w, v0 = vTop / h, v1 = vBottom / h;
    quad.corner[0] = {left, top, u0, v0};
    quad.corner[1] = {right, top, u1, v0};
    quad.corner[2] = {right, bottom, u1, v1};
    quad.corner[3] = {left, bottom, u0, v1};
    return true;
}

TSpriteQuad BuildSpriteQuad(const TSpriteParams& p)
{
    float sw = float(p.source.Width());
    float sh = float(p.source.Height());
    float vx = float(p.viewportOrigin.x);
    float vy = float(p.viewportOrigin.y);

    float left, top;
    if (p.centre) {
        left = vx + p.pos.x - p.scaleX * p.centre->x;
        top = vy + p.pos.y - p.scaleY * p.centre->y;
    } else {
        left = vx + p.pos.x - sw * p.scaleX / 2;
        top = vy + p.pos.y - sh * p.scaleY / 2;
    }
    float right = std::trunc(left + sw * p.scaleX);
    float bottom = std::trunc(top + sh * p.scaleY);
    left = std::trunc(left);
    top = std::trunc(top);

    float surfaceW = float(p.surfaceSize.x > 0 ? p.surfaceSize.x : 1);
    float surfaceH = float(p.surfaceSize.y > 0 ? p.surfaceSize.y : 1);
    // The pivot is where pos lands: the centre point, else the middle of the quad.
    float pivotX = p.centre ? left + p.scaleX * p.centre->x : (left + right) / 2;
    float pivotY = p.centre ? top + p.scaleY * p.centre->y : (top + bottom) / 2;
    TRect drawn = p.source;
    bool oneToOne = p.scaleX == 1 && p.scaleY == 1 && !p.matrix && p.rotation == 0 &&
                    right - left == float(p.source.Width()) && bottom - top == float(p.source.Height());
    if (p.visible && oneToOne) {
        drawn = TRect{p.visible->x1 - 1, p.visible->y1 - 1, p.visible->x2 + 1, p.visible->y2 + 1}.Intersect(p.source);
        if (drawn.IsEmpty())
            drawn = TRect{p.source.x1, p.source.y1, p.source.x1, p.source.y1};
        left += float(drawn.x1 - p.source.x1);
        top += float(drawn.y1 - p.source.y1);
        right = left + float(drawn.Width());
        bottom = top + float(drawn.Height());
    }
    TSpriteQuad q = RectQuad(left, top, right, bottom, drawn.x1 / surfaceW, drawn.y1 / surfaceH,
                             drawn.x2 / surfaceW, drawn.y2 / surfaceH);

    if (p.matrix) {
        const float* m = p.matrix;
        for (int i = 1; i < 4; ++i) {
            float dx = q.corner[i].x - left, dy = q.corner[i].y - top;
            q.corner[i].x = left + dx * m[0] + dy * m[2];
            q.corner[i].y = top + dx * m[1] + dy * m[3];
        }
    }

    for (auto& c : q.corner) {
        if (p.flags & kSpriteMirrorY)
            c.y = 2 * pivotY - c.y;
        if (p.flags & kSpriteMirrorX)
            c.x = 2 * pivotX - c.x;
    }
    if (p.rotation != 0) {
        float cs = std::cos(p.rotation), sn = std::sin(p.rotation);
        for (auto& c : q.corner) {
            float dx = c.x - pivotX, dy = c.y - pivotY;
            c.x = pivotX + cs * dx - sn * dy;
            c.y = pivotY + sn * dx + cs * dy;
        }
    }
    return q;
}
