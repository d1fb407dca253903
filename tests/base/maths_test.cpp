#include "engine/base/color.h"
#include "engine/base/mat4.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

void expectNear(const TVec3& v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

}  // namespace

TEST(Vectors, ProductsAndNormalize)
{
    TVec3 c = CrossProduct(TVec3(1, 0, 0), TVec3(0, 1, 0));
    expectNear(c, 0, 0, 1);
    EXPECT_FLOAT_EQ(DotProduct(TVec3(1, 2, 3), TVec3(4, 5, 6)), 32);
    TVec3 zero;
    zero.Normalize();
    expectNear(zero, 0, 0, 0);
    TVec3 v(3, 0, 4);
    expectNear(v.Normalize(), 0.6f, 0, 0.8f);

    TVec2 a(1, 2);
    a += TVec2(0.5f, 0.5f);
    EXPECT_FALSE(a != TVec2(1.5f, 2.5f));
    EXPECT_FALSE((a - TVec2(1.5f, 2.5f)) != TVec2());
    EXPECT_TRUE(a != TVec2(1.5f, 2.25f));
}

TEST(Matrices, IdentityScaleAndProducts)
{
    TMat4 identity;
    expectNear(identity * TVec3(3, -4, 5), 3, -4, 5);
    TMat4 scale;
    scale.Scale(2, 2, 2);
    expectNear(scale * TVec3(1, 1, 1), 2, 2, 2);

    // Translation lives in the fourth row (row vectors on the left).
    TMat4 move(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 30, 1);
    expectNear(move * TVec3(1, 1, 1), 11, 21, 31);
    // Scale then move: p x S x T.
    expectNear((scale * move) * TVec3(1, 1, 1), 12, 22, 32);
}

TEST(Matrices, RotationIsLeftHandedAboutY)
{
    TMat4 r;
    r.RotateY(std::numbers::pi_v<float> / 2);
    expectNear(r * TVec3(1, 0, 0), 0, 0, -1);
    expectNear(r * TVec3(0, 0, 1), 1, 0, 0);
}

TEST(Matrices, LookAtPutsTheEyeAtTheOriginWithoutNegativeZeros)
{
    TMat4 view;
    view.LookAt(TVec3(0, 0, -10), TVec3(0, 0, 0), TVec3(0, 1, 0));
    expectNear(view * TVec3(0, 0, 0), 0, 0, 10);
    EXPECT_FALSE(std::signbit(view[3][0]));
    EXPECT_FALSE(std::signbit(view[3][1]));
}

TEST(Matrices, OrthogonalMapsAnOffCentreViewportOntoTheClipSquare)
{
    TMat4 ortho;
    ortho.Orthogonal(100, 900, 600, 0, 0, 1);
    expectNear(ortho * TVec3(100, 600, 0), -1, -1, 0);
    expectNear(ortho * TVec3(900, 0, 1), 1, 1, 1);
    expectNear(ortho * TVec3(500, 300, 0.5f), 0, 0, 0.5f);
}

TEST(Matrices, PerspectiveArgumentOrder)
{
    TMat4 p;
    p.Perspective(1, 101, std::numbers::pi_v<float> / 2, 2);
    EXPECT_NEAR(p[1][1], 1, 1e-5f);
    EXPECT_NEAR(p[0][0], 0.5f, 1e-5f);
    EXPECT_NEAR(p[2][2], 101.0f / 100, 1e-5f);
    EXPECT_EQ(p[2][3], 1);
    EXPECT_NEAR(p[3][2], -101.0f / 100, 1e-5f);
    expectNear(p * TVec3(0, 0, 1), 0, 0, 0);
    expectNear(p * TVec3(0, 0, 101), 0, 0, 1);
}

TEST(Colours, PackedBytesInMemoryOrder)
{
    TColor32 c(TColor{1, 0.5f, 0, 1});
    EXPECT_EQ(c.Red(), 255);
    EXPECT_EQ(c.Green(), 127);
    EXPECT_EQ(c.Blue(), 0);
    EXPECT_EQ(c.Alpha(), 255);
    TColor32 clamped(TColor{-0.2f, 1.5f, NAN, 0.999f});
    EXPECT_EQ(clamped.Red(), 0);
    EXPECT_EQ(clamped.Green(), 255);
    EXPECT_EQ(clamped.Blue(), 0);
    EXPECT_EQ(clamped.Alpha(), 254);

    TColor32 word(0x44332211ul);
    EXPECT_EQ(word.Red(), 0x11);
    EXPECT_EQ(word.Alpha(), 0x44);
    word.SetAlpha(0x99);
    EXPECT_EQ(word.Word(), 0x99332211u);
    EXPECT_EQ(TColor32().Word(), 0u);
    EXPECT_EQ(TColor32(1, 2, 3, 4).Word(), 0x04030201u);
}
