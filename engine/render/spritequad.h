// The geometry of textured quads: where the four corners of a sprite land and
// which texture coordinates they carry, after source rectangle, scale, centre,
// mirroring and rotation. Kept apart from GL so it is tested without a display.
#pragma once

#include "engine/render/rendertypes.h"

struct TQuadCorner {
    float x = 0, y = 0;  // display pixels, y down
    float u = 0, v = 0;
};

// Corners in order top-left, top-right, bottom-right, bottom-left (before turning).
struct TSpriteQuad {
    TQuadCorner corner[4];
};

enum ESpriteFlags {
    kSpriteMirrorX = 1,
    kSpriteMirrorY = 2,
};

struct TSpriteParams {
    TVec2 pos;
    float scaleX = 1, scaleY = 1;
    float rotation = 0;              // radians
    const TVec2* centre = nullptr;   // null: the sprite is centred on pos
    int flags = 0;
    const float* matrix = nullptr;   // optional 2x2, turns corners about the top left
    TRect source;                    // in image pixels
    TPoint surfaceSize;              // texture coordinates are source / surface size
    TPoint viewportOrigin;           // pos is relative to it
    // Optional, within source: the only part that is not transparent. An
    // unscaled, unturned quad is cut down to it plus one texel around it
    // (what linear filtering may reach), keeping every covered pixel's
    // position and texture coordinates; other quads ignore it.
    const TRect* visible = nullptr;
};

// The quad of a sprite drawn with DrawSprite.
TSpriteQuad BuildSpriteQuad(const TSpriteParams& p);

// True when every pixel the quad covers takes exactly one texel: corners on
// whole pixels, sides along the axes, one texel a pixel (mirrored or not) on
// a surface of the given size. Such a quad samples each texel at its centre,
// so nearest and linear filtering give the same pixels and nothing beyond
// its texture rectangle is read.
bool IsTexelExact(const TSpriteQuad& quad, TPoint surfaceSize);

// Cuts a texel-exact quad (IsTexelExact on a surface of that size) down to
// the texels of `texels` (in surface texels), keeping every remaining pixel's
// place and texel, mirrored or not. False, leaving the quad as it was, when
// the quad shows none of them.
bool CutQuadToTexels(TSpriteQuad& quad, TPoint surfaceSize, const TRect& texels);

// The quad of Draw: the whole surface with its top left at (left, top),
// scaled, texture coordinates 0 to 1.
TSpriteQuad BuildSurfaceQuad(float left, float top, float width, float height);
