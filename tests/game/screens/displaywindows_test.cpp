// The windows scripts place to show a picture, an animation or the heroine,
// built from definition tables on the headless engine with real art.
#include "headlessengine.h"

#include "engine/script/animation.h"
#include "engine/script/windowscript.h"
#include "game/app/windowtypes.h"
#include "game/screens/displaywindows.h"
#include "game/screens/heroine.h"

#include <filesystem>

namespace fs = std::filesystem;

class DisplayWindows : public qmtest::HeadlessWindowTest {
protected:
    DisplayWindows() : HeadlessWindowTest("qm_display_") {}

    void SetUp() override
    {
        EnterScratchHome();
        const fs::path assets = fs::path(QM_SOURCE_DIR) / "data" / "assets";
        fs::create_directories(scratch.Path() / "assets" / "ui");
        fs::copy_file(assets / "ui" / "kit" / "panel.png", scratch.Path() / "assets" / "ui" / "panel.png");
        fs::create_directories(scratch.Path() / "assets" / "customers");
        fs::copy(assets / "customers" / "old_male", scratch.Path() / "assets" / "customers" / "old_male",
                 fs::copy_options::recursive);
        StartEngine();
        game::RegisterWindowTypes();
    }
    void TearDown() override
    {
        SetHeroineMaker(nullptr);
        HeadlessWindowTest::TearDown();
    }
    void Lua(const char* text) { script->DoLuaString(text); }
};

TEST_F(DisplayWindows, SpriteWindowsSizeThemselvesAndGrowTheirParent)
{
    // The kit's panel is 328 x 230.
    Lua("PushModal('m') MakeDialog { Window { name = 'parent', w = 800, h = 600,"
        " SpriteWindow { name = 'far', image = 'ui/panel', x = 600, y = 500, flags = 3 },"
        " SpriteWindow { name = 'empty', x = 10, y = 20, w = 40, h = 30 } },"
        " Window { name = 'frame', x = 0, y = 0, w = 100, h = 50,"
        " SpriteWindow { name = 'fitted', image = 'ui/panel', fittoparent = true } } }");
    auto* far = GetCast<TSpriteWindow>(Find("far"));
    ASSERT_NE(far, nullptr);
    ASSERT_NE(far->GetImage(), nullptr);
    EXPECT_EQ(far->GetRect(), (TRect{600, 500, 928, 730}));
    EXPECT_EQ(far->GetSpriteFlags(), 3);
    EXPECT_EQ(Find("parent")->GetWindowWidth(), 928);
    EXPECT_EQ(Find("parent")->GetWindowHeight(), 730);

    auto* empty = GetCast<TSpriteWindow>(Find("empty"));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty->GetImage(), nullptr);
    EXPECT_EQ(empty->GetWindowWidth(), 40);
    EXPECT_EQ(empty->GetWindowHeight(), 30);

    TWindow* fitted = Find("fitted");
    ASSERT_NE(fitted, nullptr);
    EXPECT_EQ(fitted->GetWindowWidth(), 100);
    EXPECT_EQ(fitted->GetWindowHeight(), 50);
    EXPECT_EQ(Find("frame")->GetWindowWidth(), 100);
}

TEST_F(DisplayWindows, AnAnimWindowWithoutAScriptHoldsItsFrameAndOneWithAScriptPlays)
{
    Lua("PushModal('m') MakeDialog {"
        " AnimWindow { name = 'still', anim = 'customers/old_male/anim.anm', texture = 'anim.png?palettized',"
        "   palette = 'customers/old_male/red.pal', x = 200, y = 300, frame = -1 },"
        " AnimWindow { name = 'mirrored', anim = 'customers/old_male/anim.anm', texture = 'anim.png?palettized',"
        "   x = 500, y = 300, flip = 1, script = 'Stand' },"
        " AnimWindow { name = 'missing', anim = 'nothing/here.anm', x = 5, y = 6, w = 7, h = 8 } }");
    auto* still = GetCast<TAnimWindow>(Find("still"));
    ASSERT_NE(still, nullptr);
    // Moved and sized around the figure's first frame, registration point inside.
    EXPECT_LT(still->GetRect().x1, 200);
    EXPECT_LT(still->GetRect().y1, 300);
    EXPECT_GT(still->GetRect().x2, 200);
    const int frame = still->GetAnimation().GetCurrentFrame();
    for (int i = 0; i < 30; ++i)
        Frame(50);
    EXPECT_EQ(still->GetAnimation().GetCurrentFrame(), frame);
    EXPECT_FALSE(still->GetAnimation().IsPlaying());

    auto* mirrored = GetCast<TAnimWindow>(Find("mirrored"));
    ASSERT_NE(mirrored, nullptr);
    EXPECT_TRUE(mirrored->GetAnimation().IsPlaying());

    TWindow* missing = Find("missing");
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->GetRect(), (TRect{5, 6, 12, 14}));
}

namespace {

// A stand-in figure: a box of 40 x 100 around her feet.
class TBoxHeroine : public IHeroine {
public:
    explicit TBoxHeroine(int* facing) : mFacing(facing) {}
    void PlayAnim(const str&) override {}
    void SetCurrentFrame(int) override {}
    void SetFacing(int facing) override { *mFacing = facing; }
    void SetPosition(TVec2 p) override { position = p; }
    TRect BoundingBox() const override { return {-20, -100, 20, 0}; }
    void Draw(TVec2) override {}
    TVec2 position{0, 0};

private:
    int* mFacing;
};

}  // namespace

TEST_F(DisplayWindows, TheHeroineWindowFitsTheFigureAndShowsNothingWithoutOne)
{
    int facing = 0;
    TBoxHeroine* made = nullptr;
    SetHeroineMaker([&] {
        auto figure = std::make_unique<TBoxHeroine>(&facing);
        made = figure.get();
        return figure;
    });
    Lua("PushModal('m') MakeDialog { QuessaWindow { name = 'her', x = 300, y = 400, flip = true } }");
    auto* her = GetCast<TQuessaWindow>(Find("her"));
    ASSERT_NE(her, nullptr);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(her->GetRect(), (TRect{280, 300, 320, 400}));
    EXPECT_EQ(made->position.x, 20.0f);
    EXPECT_EQ(made->position.y, 100.0f);
    EXPECT_EQ(facing, 1);

    SetHeroineMaker(nullptr);
    Lua("MakeDialog { QuessaWindow { name = 'nobody', x = 1, y = 2, w = 3, h = 4 } }");
    auto* nobody = GetCast<TQuessaWindow>(Find("nobody"));
    ASSERT_NE(nobody, nullptr);
    EXPECT_FALSE(nobody->HasHeroine());
    EXPECT_EQ(nobody->GetRect(), (TRect{1, 2, 4, 6}));
}
