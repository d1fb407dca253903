// The platform facade's drawing calls without a display handler (headless).
#include "engine/platform/headless/headlessbackend.h"
#include "engine/platform/platform.h"
#include "engine/render/drawtypes.h"
#include "engine/render/texture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PlatformDrawingHeadless, WithoutAHandlerTheForwardsDoNothingAndDrawVerticesChecksTheBracket)
{
    TPlatform platform(new TPlatformData(0, nullptr, false, std::make_unique<qm::THeadlessBackend>()));
    ASSERT_TRUE(platform.SetDisplay(640, 480, false));
    EXPECT_EQ(platform.GetDisplayHandler(), nullptr);
    TColor red{1, 0, 0, 1};
    platform.FillRect(0, 0, 10, 10, &red);
    platform.PushViewport(1, 2, 3, 4);
    platform.PopViewport();
    TRect viewport;
    platform.GetViewport(&viewport);
    EXPECT_EQ(viewport.x2, 640);
    EXPECT_EQ(viewport.y2, 480);
    platform.GetViewport(nullptr);
    EXPECT_FALSE(platform.BeginRenderTarget(TTexture::CreateRenderTargetTexture(8, 8)));
    EXPECT_EQ(platform.GetSystemData(), str());
    platform.SetCursor(nullptr, TPoint{1, 1});

    TTransformedLitVert vertices[3];
    testing::internal::CaptureStderr();
    platform.DrawVertices(TPlatform::EDrawType(kDrawTriangles), TVertexSet(vertices, 3));
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("DrawVertices called when not in Begin2d or Begin3d state"), std::string::npos);
    ASSERT_TRUE(platform.Begin2d());
    testing::internal::CaptureStderr();
    platform.DrawVertices(TPlatform::EDrawType(kDrawTriangles), TVertexSet(vertices, 3));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    platform.End2d();
}

}  // namespace
