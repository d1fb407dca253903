// The game's small widgets driven through the window script on the headless
// engine: the drop-label button and the cursor it drives, the fades, the fill
// window and the server-save settings.
#include "headlessengine.h"

#include "engine/platform/platformdata.h"
#include "engine/script/windowscript.h"
#include "engine/window/modalwindow.h"
#include "engine/window/screen.h"
#include "engine/window/windowmanager.h"
#include "game/app/windowtypes.h"
#include "game/screens/cursor.h"
#include "game/screens/fillwindow.h"
#include "game/screens/linktext.h"
#include "game/screens/screenfade.h"
#include "game/screens/textdropbutton.h"
#include "game/settings/serversavemanager.h"
#include "game/settings/settings.h"

class ScreensTest : public qmtest::HeadlessWindowTest {
protected:
    ScreensTest() : HeadlessWindowTest("qm_screens_") {}

    void SetUp() override
    {
        HeadlessWindowTest::SetUp();
        game::RegisterWindowTypes();
        cursor = std::make_unique<TCursor>();
    }
    void TearDown() override
    {
        cursor.reset();
        HeadlessWindowTest::TearDown();
    }
    // What the game's start-up makes.
    std::unique_ptr<TCursor> cursor;
    // Runs Lua text in the window script.
    void Lua(const char* text) { script->DoLuaString(text); }
    void Mouse(int type, TWindow* w, int dx = 0)
    {
        TRect r;
        w->GetWindowRect(&r);
        TEvent e{type, 0, (r.x1 + r.x2) / 2 + dx, (r.y1 + r.y2) / 2, 0};
        manager->HandleEvent(&e);
        Frame(0);
    }
    TCursor::eCursorState Cursor() { return TCursor::GetInstance()->GetState(); }
};

TEST_F(ScreensTest, DropButtonMovesItsLabelWhilePressedAndDrivesTheCursor)
{
    Lua("PushModal('m') MakeDialog { Button { name = 'b', label = '#Go', x = 10, y = 10, w = 100, h = 30, "
        "xoffset = 2, yoffset = 2 } }");
    auto* button = GetCast<TTextDropButton>(Find("b"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->GetWindowWidth(), 102);
    EXPECT_EQ(button->GetWindowHeight(), 32);
    TWindow* label = button->GetChildWindow("label", 1);
    ASSERT_NE(label, nullptr);
    const TRect laidOut = label->GetRect();

    Mouse(TEvent::kMouseMove, button);
    EXPECT_EQ(Cursor(), TCursor::kClick);
    Mouse(TEvent::kMouseDown, button);
    EXPECT_EQ(Cursor(), TCursor::kClick2);
    EXPECT_EQ(label->GetRect().x1, laidOut.x1 + 2);
    EXPECT_EQ(label->GetRect().y1, laidOut.y1 + 2);
    Mouse(TEvent::kMouseUp, button);
    EXPECT_EQ(label->GetRect(), laidOut);
    EXPECT_EQ(Cursor(), TCursor::kClick);

    // Leaving it, then destroying it while the mouse is over it, restore the arrow.
    Mouse(TEvent::kMouseMove, button, 300);
    EXPECT_EQ(Cursor(), TCursor::kArrow);
    Mouse(TEvent::kMouseMove, button);
    EXPECT_EQ(Cursor(), TCursor::kClick);
    manager->SafeDestroyWindow(button);
    manager->ClearDestroyedWindows();
    EXPECT_EQ(Cursor(), TCursor::kArrow);
}

TEST_F(ScreensTest, HiddenButtonChangesNoCursor)
{
    Lua("PushModal('m') MakeDialog { Window { name = 'panel', w = 200, h = 100, "
        "Button { name = 'b', w = 50, h = 20 } } }");
    auto* button = GetCast<TTextDropButton>(Find("b"));
    ASSERT_NE(button, nullptr);
    Find("panel")->ClearFlags(TWindow::kVisible);
    button->SetState(TButton::kRollover);
    EXPECT_EQ(Cursor(), TCursor::kArrow);
    button->SetState(TButton::kPressed);
    EXPECT_EQ(Cursor(), TCursor::kArrow);
}

TEST_F(ScreensTest, BlinkingButtonBlinksOnlyInTheTopModal)
{
    Lua("PushModal('a') MakeDialog { Button { name = 'b', label = '#Hi', w = 50, h = 20, flash = 1 } }");
    auto* button = GetCast<TTextDropButton>(Find("b"));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->IsFlashing());
    TWindow* label = button->GetChildWindow("label", 1);
    backend->now += 1900 - data->Timer() % 1000;  // in the last 200 ms of a second
    button->Draw();
    EXPECT_FALSE(label->IsVisible());
    backend->now += 300;
    button->Draw();
    EXPECT_TRUE(label->IsVisible());

    Lua("PushModal('b')");
    backend->now += 1850 - data->Timer() % 1000;
    button->Draw();
    EXPECT_TRUE(label->IsVisible());
    button->DisableFlash();
    EXPECT_FALSE(button->IsFlashing());
}

TEST_F(ScreensTest, ButtonFactoryReadsItsStyleAndMendsAnUnknownType)
{
    Lua("PushModal('m') MakeDialog { Button { name = 't', type = kToggle, w = 5, h = 5, passmessages = 1 }, "
        "Button { name = 'odd', type = 9, w = 5, h = 5 } }");
    auto* toggle = GetCast<TTextDropButton>(Find("t"));
    auto* odd = GetCast<TTextDropButton>(Find("odd"));
    ASSERT_NE(toggle, nullptr);
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(toggle->GetType(), TButton::kToggle);
    EXPECT_EQ(odd->GetType(), TButton::kPush);
    // Mouse moves over a button that passes them on also reach its parent.
    EXPECT_FALSE(toggle->OnMouseMove(TPoint{1, 1}));
}

TEST_F(ScreensTest, CursorClickOnlyFollowsThePointingHand)
{
    ASSERT_EQ(TCursor::GetInstance(), cursor.get());
    cursor->Click();
    EXPECT_EQ(cursor->GetState(), TCursor::kArrow);
    cursor->SetState(TCursor::kGrab);
    cursor->Click();
    EXPECT_EQ(cursor->GetState(), TCursor::kGrab);
    cursor->SetState(TCursor::kClick);
    cursor->Click();
    EXPECT_EQ(cursor->GetState(), TCursor::kClick2);
    cursor->SetState(static_cast<TCursor::eCursorState>(7));
    EXPECT_EQ(cursor->GetState(), TCursor::kClick2);
}

TEST_F(ScreensTest, LinkTextShowsTheArrowWhenTheMouseLeaves)
{
    Lua("PushModal('m') MakeDialog { Text { name = 'l', factory = 'linktext', label = '#x', w = 50, h = 20 } }");
    auto* link = GetCast<TLinkText>(Find("l"));
    ASSERT_NE(link, nullptr);
    TCursor::GetInstance()->SetState(TCursor::kClick);
    link->OnMouseLeave();
    EXPECT_FALSE(link->IsOverLink());
    EXPECT_EQ(Cursor(), TCursor::kArrow);
}

TEST_F(ScreensTest, WithoutACursorButtonsAndLinksStillWork)
{
    // Before the game's start-up or after its quit there is no cursor, and
    // asking for it never makes one.
    cursor.reset();
    EXPECT_EQ(TCursor::GetInstance(), nullptr);
    Lua("clicks = 0 PushModal('m') MakeDialog { Button { name = 'b', label = '#Go', x = 10, y = 10, w = 100, "
        "h = 30, command = function() clicks = clicks + 1 end }, "
        "Text { name = 'l', factory = 'linktext', label = '#x', x = 10, y = 60, w = 50, h = 20 } }");
    TWindow* button = Find("b");
    auto* link = GetCast<TLinkText>(Find("l"));
    ASSERT_NE(button, nullptr);
    ASSERT_NE(link, nullptr);
    Mouse(TEvent::kMouseMove, button);
    Mouse(TEvent::kMouseDown, button);
    Mouse(TEvent::kMouseUp, button);
    Mouse(TEvent::kMouseMove, link);
    link->OnMouseLeave();
    EXPECT_EQ(TCursor::GetInstance(), nullptr);
    script->DoLuaString("assert(clicks == 1, 'the button was not clicked')");
}

TEST_F(ScreensTest, TimedFadeClearsThenClosesItsOwnModal)
{
    TModalWindow* below = manager->GetTopModalWindow();
    Lua("PushModal('faded') MakeDialog { TimedFade { name = 'fade', length = 1, w = 800, h = 600 } }");
    auto* fade = GetCast<TTimedFade>(Find("fade"));
    ASSERT_NE(fade, nullptr);
    TModalWindow* own = manager->GetTopModalWindow();
    EXPECT_FLOAT_EQ(fade->GetFade(), 1.0f);
    fade->OnTaskAnimate();  // the first step starts the clock
    backend->now += 500;
    EXPECT_TRUE(fade->OnTaskAnimate());
    EXPECT_NEAR(fade->GetFade(), 0.5f, 0.01f);

    // Another modal came on top meanwhile (a modal is pushed into the one
    // below it): the fade closes its own, with what was opened from it, and
    // not merely the top one.
    Lua("PushModal('other')");
    backend->now += 600;
    EXPECT_FALSE(fade->OnTaskAnimate());
    manager->ClearDestroyedWindows();
    EXPECT_EQ(manager->GetTopModalWindow(), below);
    for (TModalWindow* m : manager->GetModalStack())
        EXPECT_NE(m, own);
}

TEST_F(ScreensTest, TimedFadeWithoutLengthClosesOnItsSecondStep)
{
    Lua("PushModal('faded') MakeDialog { TimedFade { name = 'fade', w = 800, h = 600 } }");
    const size_t depth = manager->GetModalStack().size();
    for (int i = 0; i < 3; ++i) {
        backend->now += 20;
        TEvent idle{TEvent::kIdle, 0, 0, 0, 0};
        manager->HandleEvent(&idle);
    }
    manager->ClearDestroyedWindows();
    EXPECT_EQ(manager->GetModalStack().size(), depth - 1);
    EXPECT_EQ(Find("fade"), nullptr);
}

TEST_F(ScreensTest, SetFadeDrivesTheNewestScreenFade)
{
    Lua("PushModal('m') MakeDialog { ScreenFade { name = 'first' }, ScreenFade { name = 'second' } } SetFade(0.75)");
    auto* first = GetCast<TScreenFade>(Find("first"));
    auto* second = GetCast<TScreenFade>(Find("second"));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_FLOAT_EQ(first->GetFade(), 0.0f);
    EXPECT_FLOAT_EQ(second->GetFade(), 0.75f);
    TRect dirty{1, 2, 3, 4};
    EXPECT_TRUE(first->OnDirtyRect(&dirty));
    EXPECT_EQ(dirty, (TRect{0, 0, 800, 600}));
}

TEST_F(ScreensTest, FillWindowTakesItsColourFromTheDefinition)
{
    Lua("PushModal('m') MakeDialog { FillWindow { name = 'red', r = 1, g = 0.25, b = 0, w = 10, h = 10 }, "
        "FillWindow { name = 'plain', w = 10, h = 10 } }");
    auto* red = GetCast<TFillWindow>(Find("red"));
    auto* plain = GetCast<TFillWindow>(Find("plain"));
    ASSERT_NE(red, nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_FLOAT_EQ(red->GetColor().g, 0.25f);
    EXPECT_FLOAT_EQ(red->GetColor().b, 0.0f);
    EXPECT_FLOAT_EQ(plain->GetColor().r, 1.0f);
    EXPECT_FLOAT_EQ(plain->GetColor().a, 1.0f);
}

TEST_F(ScreensTest, ServerSaveSettingsOfANewPlayerAndAfterAskIsChosen)
{
    TSettings::CreateSettings()->CreateNewUser("Ada");
    TSettings::GetInstance()->SetCurrentUser(0, true);
    auto manager = std::make_unique<TServerSaveManager>();
    EXPECT_TRUE(manager->ShowSSSGTip());
    EXPECT_FALSE(manager->DoSaveOrLoad());
    EXPECT_FALSE(manager->Enabled());
    EXPECT_FALSE(TServerSaveManager::IsSystemEnabled());

    TServerSaveManager::SetSaveSetting(TServerSaveManager::kAsk);
    EXPECT_TRUE(manager->DoSaveOrLoad());
    EXPECT_FALSE(manager->ShowSSSGTip());

    Lua("PushModal('tip') MakeDialog { Button { name = 'never', type = kToggle, on = true, w = 5, h = 5 } } "
        "RecordSSSGTip('never') RecordSSSGTip('missing')");
    EXPECT_EQ(TServerSaveManager::GetTipSetting(), TServerSaveManager::kDontShowTip);
    manager.reset();
    TSettings::DeleteSettings();
}
