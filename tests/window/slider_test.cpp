// Sliders and scrolled windows: values and their messages, the slider's
// orientation from its definition, rail clicks that page, dragging, the
// scrolled window's snapping and paging of a text, and the rail quads.
#include "probes.h"

#include "engine/render/texture.h"
#include "engine/text/textgraphic.h"
#include "engine/window/image.h"
#include "engine/window/scrolledwindow.h"
#include "engine/window/slider.h"
#include "engine/window/text.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// A script whose definition table holds the given keys.
class KeyedScript : public FakeScript {
public:
    using FakeScript::FakeScript;
    std::map<std::string, double> numbers;
    std::map<std::string, std::string> strings;

    double GetNumber(const char* key, double def) override
    {
        auto it = numbers.find(key);
        return it == numbers.end() ? def : it->second;
    }
    str GetString(const char* key, const char* def) override
    {
        auto it = strings.find(key);
        return it == strings.end() ? str(def) : str(it->second.c_str());
    }
    bool GetBool(const char* key, bool def) override
    {
        auto it = numbers.find(key);
        return it == numbers.end() ? def : it->second != 0;
    }
};

class SliderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        manager.AttachWindowScript(&script);
        root = PushProbeModal(manager, &journal, "root", 0, 0, 800, 600);
        parent = new ProbeWindow(&journal, "parent");
        parent->handlesMessages = {kSliderMoved, kSliderReleased, kSliderPageBack, kSliderPageForward};
        Place(parent, 0, 0, 400, 400);
        root->AdoptChild(parent, true);
        journal.clear();
    }

    // A vertical slider 20 x 200 with a 16 x 16 handle, unless the keys say otherwise.
    TSlider* MakeSlider(TWindow* into = nullptr)
    {
        auto* slider = new TSlider;
        Place(slider, 10, 10, 30, 210);
        testing::internal::CaptureStderr();  // no handle images named: logged
        (into ? into : parent)->AdoptChild(slider, true);
        testing::internal::GetCapturedStderr();
        slider->SetSliderTexture(TTexture::Create(16, 16, false), TTexture::Create(16, 16, true));
        slider->SetValue(0, true);
        return slider;
    }
    int Count(const std::string& line) { return static_cast<int>(std::count(journal.begin(), journal.end(), line)); }

    Journal journal;
    KeyedScript script{&journal};
    TWindowManager manager;
    ProbeModal* root = nullptr;
    ProbeWindow* parent = nullptr;
};

TEST_F(SliderTest, ValuesAreClampedAndReportedToTheParentUnlessQuiet)
{
    script.strings["name"] = "bar";
    TSlider* s = MakeSlider();
    EXPECT_EQ(s->GetName(), str("bar"));
    EXPECT_FALSE(s->IsHorizontal());
    EXPECT_EQ(s->GetWindowWidth(), 16);  // as thick as the handle
    s->SetValue(1.5f, false);
    EXPECT_EQ(s->GetValue(), 1.0f);
    EXPECT_EQ(s->GetHandle()->GetRect().y1, 200 - 16);
    s->SetValue(-0.2f, true);
    EXPECT_EQ(s->GetValue(), 0.0f);
    EXPECT_EQ(journal, (Journal{"parent: msg 901 'bar'"}));
    s->ShowHandle(false);
    EXPECT_FALSE(s->GetHandle()->IsVisible());
}

TEST_F(SliderTest, AWideDefinitionMakesAHorizontalSlider)
{
    script.numbers["w"] = 200;
    script.numbers["h"] = 20;
    script.numbers["yoffset"] = -3;
    TSlider* s = MakeSlider();
    EXPECT_TRUE(s->IsHorizontal());
    EXPECT_EQ(s->GetWindowHeight(), 16 + 3);
    s->SetValue(0.5f, true);
    EXPECT_EQ(s->GetHandle()->GetRect().x1, static_cast<int>((20 - 16) * 0.5f));
    EXPECT_EQ(s->GetHandle()->GetRect().y1, -3);
}

TEST_F(SliderTest, RailClicksPageAndDraggingMovesTheValueWithinItsEnds)
{
    script.strings["name"] = "bar";
    TSlider* s = MakeSlider();
    s->SetValue(0.5f, true);  // handle at y 92..108
    EXPECT_TRUE(s->OnMouseDown(TPoint{5, 20}));
    EXPECT_TRUE(s->OnMouseDown(TPoint{5, 150}));
    EXPECT_EQ(journal, (Journal{"parent: msg 903 'bar'", "parent: msg 904 'bar'"}));
    journal.clear();

    EXPECT_TRUE(s->OnMouseDown(TPoint{5, 100}));
    EXPECT_TRUE(s->IsDragging());
    s->OnMouseMove(TPoint{5, 50});
    EXPECT_FLOAT_EQ(s->GetValue(), 0.25f);
    s->OnMouseMove(TPoint{5, 900});
    EXPECT_EQ(s->GetValue(), 1.0f);
    s->OnMouseMove(TPoint{5, -40});
    EXPECT_EQ(s->GetValue(), 0.0f);
    EXPECT_TRUE(s->OnMouseUp(TPoint{500, 500}));
    EXPECT_FALSE(s->IsDragging());
    EXPECT_EQ(Count("parent: msg 901 'bar'"), 3);
    EXPECT_EQ(journal.back(), "parent: msg 902 'bar'");
    EXPECT_FALSE(s->OnMouseUp(TPoint{5, 5}));  // not dragging
}

TEST_F(SliderTest, AScrolledWindowSnapsNearTheEndsAndPagesItsText)
{
    auto* scrolled = new TScrolledWindow;
    Place(scrolled, 0, 0, 200, 200);
    parent->AdoptChild(scrolled, true);
    auto* text = new TText(false);
    scrolled->AdoptChild(text, true);
    std::string lines;
    for (int i = 0; i < 40; ++i)
        lines += "line<br>";
    ASSERT_TRUE(text->Create(lines.c_str(), 180, 200, 0, "", 16, TColor{0, 0, 0, 1}));
    testing::internal::CaptureStderr();
    scrolled->PostChildrenInit();
    testing::internal::GetCapturedStderr();
    TSlider* slider = scrolled->GetSlider();
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(scrolled->GetContent(), text);
    EXPECT_EQ(scrolled->GetSnap(), 4);
    EXPECT_EQ(slider->GetWindowHeight(), 200);
    EXPECT_EQ(slider->GetRect().x1, 200 - slider->GetWindowWidth());

    TTextGraphic* g = text->GetTextGraphic();
    slider->SetValue(0.99f, false);
    EXPECT_EQ(slider->GetValue(), 1.0f);
    EXPECT_EQ(g->mScrollLine, g->GetMaxScroll(1.0f, 0));
    slider->SetValue(0.01f, false);
    EXPECT_EQ(slider->GetValue(), 0.0f);
    EXPECT_EQ(g->mScrollLine, 0);

    // A page is the lines that fit in the text's height, as a part of all lines.
    TRect bounds;
    text->GetTextBounds(&bounds);
    const float page = 200.0f / (static_cast<float>(bounds.y2) / text->GetLineCount());
    const float step = page / text->GetLineCount();
    slider->SetValue(0.5f, true);
    slider->OnMouseDown(TPoint{5, 190});  // below the handle: forward
    EXPECT_FLOAT_EQ(slider->GetValue(), 0.5f + step);
    slider->OnMouseDown(TPoint{5, 2});
    slider->OnMouseDown(TPoint{5, 2});
    EXPECT_NEAR(slider->GetValue(), 0.5f - step, 1e-5);

    scrolled->SetScroll(1, 0);
    EXPECT_EQ(slider->GetValue(), 1.0f);
}

TEST_F(SliderTest, AScrolledWindowWithoutContentHandlesNothing)
{
    auto* scrolled = new TScrolledWindow;
    Place(scrolled, 0, 0, 100, 100);
    parent->AdoptChild(scrolled, true);
    testing::internal::CaptureStderr();
    scrolled->PostChildrenInit();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(scrolled->GetContent(), nullptr);
    TMessage m(kSliderMoved, "", nullptr);
    EXPECT_FALSE(scrolled->OnMessage(&m));
}

TEST(MakeQuad2d, TwoTrianglesOverTheQuadTurnedForHorizontalRails)
{
    TTransformedLitVert v[6];
    MakeQuad2d(v, TVec2(10, 20), TVec2(4, 8), TVec2(1, 0), TVec2(2, 1), false);
    EXPECT_FLOAT_EQ(v[0].x, 9.5f);
    EXPECT_FLOAT_EQ(v[0].y, 19.5f);
    EXPECT_FLOAT_EQ(v[4].x, 10 + 5 - 0.5f);
    EXPECT_FLOAT_EQ(v[4].y, 20 + 8 - 0.5f);
    EXPECT_FLOAT_EQ(v[4].u, 0.5f);
    EXPECT_FLOAT_EQ(v[4].v, 1.0f);
    EXPECT_FLOAT_EQ(v[0].z, 0.1f);
    EXPECT_FLOAT_EQ(v[0].rhw, 0.5f);
    MakeQuad2d(v, TVec2(0, 0), TVec2(4, 8), TVec2(0, 0), TVec2(1, 1), true);
    EXPECT_FLOAT_EQ(v[1].x, -0.5f);  // corner (1, 0) goes down the side
    EXPECT_FLOAT_EQ(v[1].y, 4 - 0.5f);
    EXPECT_FLOAT_EQ(v[2].x, 8 - 0.5f);
}

}  // namespace
