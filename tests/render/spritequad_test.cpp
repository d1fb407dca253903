#include "engine/render/spritequad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

TSpriteParams Sprite(float x, float y, int w, int h)
{
    TSpriteParams p;
    p.pos = {x, y};
    p.source = {0, 0, w, h};
    p.surfaceSize = {64, 64};
    return p;
}

void ExpectCorner(const TQuadCorner& c, float x, float y, float u, float v)
{
    EXPECT_FLOAT_EQ(c.x, x);
    EXPECT_FLOAT_EQ(c.y, y);
    EXPECT_FLOAT_EQ(c.u, u);
    EXPECT_FLOAT_EQ(c.v, v);
}

TEST(SpriteQuad, CentredOnPosWithTextureCoordinatesOfTheSource)
{
    TSpriteQuad q = BuildSpriteQuad(Sprite(100, 50, 32, 16));
    ExpectCorner(q.corner[0], 84, 42, 0, 0);
    ExpectCorner(q.corner[1], 116, 42, 0.5f, 0);
    ExpectCorner(q.corner[2], 116, 58, 0.5f, 0.25f);
    ExpectCorner(q.corner[3], 84, 58, 0, 0.25f);
}

TEST(SpriteQuad, ViewportOriginScaleAndCentrePoint)
{
    TSpriteParams p = Sprite(10, 10, 32, 16);
    p.viewportOrigin = {100, 200};
    TVec2 centre{4, 2};
    p.centre = &centre;
    p.scaleX = 2;
    p.scaleY = 3;
    TSpriteQuad q = BuildSpriteQuad(p);
    ExpectCorner(q.corner[0], 102, 204, 0, 0);
    ExpectCorner(q.corner[2], 166, 252, 0.5f, 0.25f);
}

TEST(SpriteQuad, MirroringSwapsCornersAboutTheMiddle)
{
    TSpriteParams p = Sprite(100, 50, 32, 16);
    p.flags = kSpriteMirrorX | kSpriteMirrorY;
    TSpriteQuad q = BuildSpriteQuad(p);
    // The top-left texel now lands bottom right.
    ExpectCorner(q.corner[0], 116, 58, 0, 0);
    ExpectCorner(q.corner[2], 84, 42, 0.5f, 0.25f);
}

TEST(SpriteQuad, RotationTurnsAboutThePivot)
{
    TSpriteParams p = Sprite(100, 100, 20, 20);
    p.rotation = std::numbers::pi_v<float> / 2;
    TSpriteQuad q = BuildSpriteQuad(p);
    // Quarter turn clockwise on a y-down screen: top left goes to top right.
    EXPECT_NEAR(q.corner[0].x, 110, 1e-4);
    EXPECT_NEAR(q.corner[0].y, 90, 1e-4);
    EXPECT_NEAR(q.corner[2].x, 90, 1e-4);
    EXPECT_NEAR(q.corner[2].y, 110, 1e-4);
}

TEST(SpriteQuad, AVisiblePartCutsAnUnscaledQuadToItAndATexelAround)
{
    // A 32x16 source whose only drawn texels are 10..14 x 4..8, centred on (100, 50).
    TSpriteParams p = Sprite(100, 50, 32, 16);
    const TRect visible{10, 4, 14, 8};
    p.visible = &visible;
    TSpriteQuad q = BuildSpriteQuad(p);
    // The full quad spans 84..116 x 42..58; the cut keeps each pixel's texel.
    ExpectCorner(q.corner[0], 93, 45, 9 / 64.0f, 3 / 64.0f);
    ExpectCorner(q.corner[2], 99, 51, 15 / 64.0f, 9 / 64.0f);

    // Mirrored, the cut part lands where the full quad put those texels.
    p.flags = kSpriteMirrorX;
    q = BuildSpriteQuad(p);
    ExpectCorner(q.corner[0], 107, 45, 9 / 64.0f, 3 / 64.0f);
    ExpectCorner(q.corner[2], 101, 51, 15 / 64.0f, 9 / 64.0f);

    // At the source's edge the margin stops there.
    const TRect corner{0, 0, 3, 3};
    p.flags = 0;
    p.visible = &corner;
    q = BuildSpriteQuad(p);
    ExpectCorner(q.corner[0], 84, 42, 0, 0);
    ExpectCorner(q.corner[2], 88, 46, 4 / 64.0f, 4 / 64.0f);
}

TEST(SpriteQuad, AVisiblePartIsIgnoredWhenTheQuadIsScaledTurnedOrSquashed)
{
    const TRect visible{10, 4, 14, 8};
    TSpriteParams scaled = Sprite(100, 50, 32, 16);
    scaled.scaleX = 2;
    scaled.visible = &visible;
    TSpriteParams turned = Sprite(100, 50, 32, 16);
    turned.rotation = 0.5f;
    turned.visible = &visible;
    // Half off the left edge, the snapped quad is a pixel narrower than its source.
    TSpriteParams squashed = Sprite(15.5f, 50, 32, 16);
    squashed.visible = &visible;
    for (TSpriteParams p : {scaled, turned, squashed}) {
        TSpriteQuad cut = BuildSpriteQuad(p);
        p.visible = nullptr;
        TSpriteQuad whole = BuildSpriteQuad(p);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(cut.corner[i].x, whole.corner[i].x);
            EXPECT_EQ(cut.corner[i].u, whole.corner[i].u);
        }
    }
}

TEST(SpriteQuad, TexelExactQuadsTakeOneTexelAPixelOnWholePixels)
{
    const TPoint surface{64, 64};
    TSpriteParams plain = Sprite(100, 50, 32, 16);
    EXPECT_TRUE(IsTexelExact(BuildSpriteQuad(plain), surface));
    TSpriteParams mirrored = plain;
    mirrored.flags = kSpriteMirrorX | kSpriteMirrorY;
    EXPECT_TRUE(IsTexelExact(BuildSpriteQuad(mirrored), surface));
    TSpriteParams cut = plain;
    const TRect visible{10, 4, 14, 8};
    cut.visible = &visible;
    EXPECT_TRUE(IsTexelExact(BuildSpriteQuad(cut), surface));
    // An odd width mirrored about its middle still lands on whole pixels.
    TSpriteParams odd = Sprite(100, 50, 31, 15);
    odd.flags = kSpriteMirrorX;
    EXPECT_TRUE(IsTexelExact(BuildSpriteQuad(odd), surface));

    TSpriteParams scaled = plain;
    scaled.scaleX = 2;
    TSpriteParams turned = plain;
    turned.rotation = std::numbers::pi_v<float> / 2;
    TSpriteParams squashed = Sprite(15.5f, 50, 32, 16);
    TVec2 quarter{0.25f, 0};
    TSpriteParams offCentre = plain;
    offCentre.centre = &quarter;
    offCentre.flags = kSpriteMirrorX;
    const float shear[4] = {1, 0.25f, 0, 1};
    TSpriteParams sheared = plain;
    sheared.matrix = shear;
    for (const TSpriteParams& p : {scaled, turned, squashed, offCentre, sheared})
        EXPECT_FALSE(IsTexelExact(BuildSpriteQuad(p), surface));
    // The same quad on a surface of another size samples between texels.
    EXPECT_FALSE(IsTexelExact(BuildSpriteQuad(plain), TPoint{128, 64}));
    EXPECT_FALSE(IsTexelExact(BuildSpriteQuad(plain), TPoint{0, 0}));
}

// Cut down to a box of texels, a texel-exact quad keeps every remaining
// pixel on the texel it had, plain or mirrored; a box it does not show
// leaves it as it was and says so.
TEST(SpriteQuad, CutToTexelsKeepsEachPixelOnItsTexel)
{
    const TPoint surface{64, 64};
    const TRect box{10, 4, 20, 12};
    // The texel under the centre of pixel (px, py) of the quad.
    auto texelAt = [&](const TSpriteQuad& q, float px, float py) {
        const TQuadCorner& a = q.corner[0];
        const TQuadCorner& b = q.corner[2];
        const float u = a.u + (px + 0.5f - a.x) / (b.x - a.x) * (b.u - a.u);
        const float v = a.v + (py + 0.5f - a.y) / (b.y - a.y) * (b.v - a.v);
        return TPoint{int(u * 64), int(v * 64)};
    };
    for (int flags : {0, int(kSpriteMirrorX), int(kSpriteMirrorX | kSpriteMirrorY)}) {
        SCOPED_TRACE(flags);
        TSpriteParams p = Sprite(100, 50, 32, 16);
        p.flags = flags;
        const TSpriteQuad whole = BuildSpriteQuad(p);
        TSpriteQuad cut = whole;
        ASSERT_TRUE(CutQuadToTexels(cut, surface, box));
        EXPECT_TRUE(IsTexelExact(cut, surface));
        float left = std::min(cut.corner[0].x, cut.corner[1].x), top = std::min(cut.corner[0].y, cut.corner[3].y);
        EXPECT_EQ(std::fabs(cut.corner[1].x - cut.corner[0].x), 10);
        EXPECT_EQ(std::fabs(cut.corner[3].y - cut.corner[0].y), 8);
        for (float py = top; py < top + 8; ++py)
            for (float px = left; px < left + 10; ++px) {
                const TPoint before = texelAt(whole, px, py), after = texelAt(cut, px, py);
                EXPECT_EQ(before.x, after.x);
                EXPECT_EQ(before.y, after.y);
                EXPECT_TRUE(after.x >= box.x1 && after.x < box.x2 && after.y >= box.y1 && after.y < box.y2);
            }
    }
    // Boxes reaching past the quad's texels are held to them.
    TSpriteQuad wide = BuildSpriteQuad(Sprite(100, 50, 32, 16));
    ASSERT_TRUE(CutQuadToTexels(wide, surface, TRect{-5, 8, 200, 40}));
    ExpectCorner(wide.corner[0], 84, 50, 0, 8 / 64.0f);
    ExpectCorner(wide.corner[2], 116, 58, 0.5f, 0.25f);
    // A box beside the quad's texels, or an empty one, shows nothing.
    for (const TRect& none : {TRect{40, 0, 50, 10}, TRect{}}) {
        TSpriteQuad q = BuildSpriteQuad(Sprite(100, 50, 32, 16));
        EXPECT_FALSE(CutQuadToTexels(q, surface, none));
        ExpectCorner(q.corner[0], 84, 42, 0, 0);
    }
}

TEST(SpriteQuad, SurfaceQuadCoversTheWholeTexture)
{
    TSpriteQuad q = BuildSurfaceQuad(-3, 4, 64, 32);
    ExpectCorner(q.corner[0], -3, 4, 0, 0);
    ExpectCorner(q.corner[2], 61, 36, 1, 1);
}

}  // namespace
