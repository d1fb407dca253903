// A screen's children as typed constants of its statement: the constant is
// the statement's line and the lookup, so a lookup answers the stated class
// (or nothing), a numbered one picks its number, and showing or hiding by the
// constant reaches the same window the name does. A constant of another
// screen's statement is still refused as unstated.
#include "headlessengine.h"

#include "engine/window/screen.h"
#include "engine/window/showwindow.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "game/screens/screenchildren.h"
#include "game/screens/scriptedwindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr auto kLabel = contract::Child<TText>("label");
constexpr auto kPanel = contract::Child<TWindow>("panel").Optional();
constexpr auto kItem = contract::Numbered<TText>("item%d", 1, 3);
const contract::TChildSpec kProbeChildren[] = {kLabel, kPanel, kItem};
// Stated by no class.
constexpr auto kStray = contract::Child<TText>("stray");

class TProbe : public TScriptedWindow<TProbe> {
public:
    static const contract::TScreenSpec kContract;

    using TScriptedWindow::Child;
};
const contract::TScreenSpec TProbe::kContract{"TProbe", nullptr, nullptr, {}, kProbeChildren};

class ChildConstantTest : public qmtest::HeadlessWindowTest {
protected:
    ChildConstantTest() : HeadlessWindowTest("qm_childconstant_") {}

    void SetUp() override
    {
        HeadlessWindowTest::SetUp();
        probe = new TProbe;
        ASSERT_TRUE(manager->GetScreen()->AdoptChild(probe, true));
    }
    template <class T>
    T* Add(const char* name)
    {
        auto* window = new T;
        window->SetName(name);
        EXPECT_TRUE(probe->AdoptChild(window, true));
        return window;
    }

    TProbe* probe = nullptr;
};

TEST_F(ChildConstantTest, ALookupByConstantAnswersTheStatedClassOrNothing)
{
    TText* label = Add<TText>("label");
    TText* second = Add<TText>("item2");
    Add<TWindow>("item3");  // a plain window where a text is stated

    TText* found = probe->Child(kLabel);  // typed by the constant: no cast
    EXPECT_EQ(found, label);
    EXPECT_EQ(probe->Child(kItem, 2), second);
    EXPECT_EQ(probe->Child(kItem, 3), nullptr) << "a child of another class is not taken as a text";
    EXPECT_EQ(probe->Child(kItem, 1), nullptr) << "a missing child is nothing";
    EXPECT_EQ(probe->Child(kPanel), nullptr);
}

TEST_F(ChildConstantTest, ShowingByConstantHidesAndShowsTheNamedChildOnly)
{
    TText* label = Add<TText>("label");
    TText* first = Add<TText>("item1");
    ASSERT_TRUE(label->IsVisible());

    screens::ShowChild(probe, kLabel, false);
    EXPECT_FALSE(label->IsVisible());
    EXPECT_TRUE(first->IsVisible());
    EXPECT_FALSE(screens::IsChildShown(probe, kLabel));

    screens::ShowChild(probe, kLabel, true);
    EXPECT_TRUE(label->IsVisible());
    EXPECT_TRUE(screens::IsChildShown(probe, kLabel));
    screens::ShowChild(probe, kPanel, true);  // missing: nothing happens, nothing breaks
    EXPECT_FALSE(screens::IsChildShown(probe, kPanel));
}

TEST_F(ChildConstantTest, AConstantOutsideTheStatementIsStillAnUnstatedLookup)
{
    Add<TText>("stray");
    const size_t before = contract::UnstatedLookups().size();
    probe->Child(kStray);
    const std::vector<std::string> unstated = contract::UnstatedLookups();
    ASSERT_EQ(unstated.size(), before + 1);
    EXPECT_EQ(unstated.back(), "TProbe: \"stray\"");
}

TEST(ShowWindow, HidesAndShowsAWindowAndLeavesNullAlone)
{
    TWindow window;
    ShowWindow(&window, false);
    EXPECT_FALSE(window.IsVisible());
    ShowWindow(&window, false);
    EXPECT_FALSE(window.IsVisible());
    ShowWindow(&window, true);
    EXPECT_TRUE(window.IsVisible());
    ShowWindow(nullptr, true);
}

}  // namespace
