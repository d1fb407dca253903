// The text display host wraps the game's display host: what it does not do
// itself it must hand on, or the wrapped host's abilities are lost to the
// platform (the fade around a display change among them).
#include "engine/text/text_platform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct RecordingHost : IDisplayHost {
    std::vector<std::string> calls;
    TDisplayHandler* GetDisplayHandler() override { return nullptr; }
    void SetDisplay(int, int, bool) override {}
    void RebuildDisplay() override {}
    bool BeginDraw(bool) override { return true; }
    void EndDraw(bool) override {}
    bool Begin2d() override { return true; }
    void End2d() override {}
    bool CanFade() override
    {
        calls.push_back("CanFade");
        return true;
    }
    void ShowLastFrame() override { calls.push_back("ShowLastFrame"); }
    void DrawFade(float blackness) override { calls.push_back("DrawFade " + std::to_string(blackness)); }
};

TEST(TextDisplayHost, HandsTheFadeOnToTheHostItWraps)
{
    auto inner = std::make_unique<RecordingHost>();
    RecordingHost* recorded = inner.get();
    TTextDisplayHost host(std::move(inner));
    EXPECT_TRUE(host.CanFade());
    host.ShowLastFrame();
    host.DrawFade(0.25f);
    EXPECT_EQ(recorded->calls, (std::vector<std::string>{"CanFade", "ShowLastFrame", "DrawFade 0.250000"}));
}

}  // namespace
