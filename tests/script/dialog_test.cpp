// Dialogs and the cross-sell window with the real window script on the
// headless platform: a dialog shown while a screen waits hands it its texts,
// makes the screen wait for its close and leaves the pressed close button in
// gReturnValue; "http=" messages and the cross-sell links reach the browser
// (the headless back end records the addresses it was asked to open).
#include "engine/script/windowscript.h"
#include "engine/window/button.h"
#include "engine/window/dialog.h"
#include "engine/window/message.h"
#include "engine/window/screen.h"
#include "engine/window/text.h"
#include "engine/window/windowhost.h"
#include "engine/window/windowmanager.h"
#include "engine/window/xsellwindow.h"
#include "headlessengine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

class DialogScriptTest : public qmtest::HeadlessWindowTest {
protected:
    DialogScriptTest() : HeadlessWindowTest("qm_dialog_") {}

    void SetUp() override
    {
        EnterScratchHome();
        if (HasFatalFailure())
            return;
        std::filesystem::create_directories(scratch.Path() / "assets/xsell");
        StartEngine();
    }

    std::string Global(const char* table, const char* key = nullptr)
    {
        lua_pushstring(L, table);
        lua_rawget(L, LUA_GLOBALSINDEX);
        if (key) {
            if (!lua_istable(L, -1)) {
                lua_pop(L, 1);
                return "<no table>";
            }
            lua_pushstring(L, key);
            lua_rawget(L, -2);
            lua_remove(L, -2);
        }
        return qmtest::PopLuaText(L);
    }
    // A screen that waits for button presses and notes each one.
    void StartWaitingScreen()
    {
        Asset("screen.lua", R"(
            return function()
                PushModal('screen.lua')
                MakeDialog { Window { name = 'panel', w = 800, h = 600 } }
                while true do
                    local m = WaitForMessage()
                    if m and m.type == kButtonPress then gPresses = (gPresses or '') .. m.name .. ';' end
                end
            end)");
        manager->RunScript(manager->GetScreen(), "screen.lua");
        ASSERT_TRUE(script->CoroutineActive());
    }
};

TEST_F(DialogScriptTest, ADialogShownWhileAScreenWaitsGetsItsTextsAndReturnsThePressedButton)
{
    StartWaitingScreen();
    Asset("ask.lua", R"(
        MakeDialog { Window { name = 'askbody', w = 300, h = 200,
            Text { name = 'asktitle', label = gDialogTable.title, w = 300, h = 20 },
            Button { name = 'yes', label = 'Yes', x = 20, y = 150, w = 60, h = 30, close = true },
            Button { name = 'no', label = 'No', x = 200, y = 150, w = 60, h = 30, close = true },
        } })");
    TModalWindow* screen = manager->GetTopModalWindow();
    testing::internal::CaptureStderr();
    TDialog* dialog = manager->DisplayDialog("ask.lua", "two\nlines", "Question", "askdialog");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log.find("rror"), std::string::npos) << log;
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(manager->GetTopModalWindow(), dialog);
    EXPECT_EQ(dialog->GetName(), str("askdialog"));
    EXPECT_EQ(dialog->GetParent(), screen);
    EXPECT_EQ(Global("gDialogTable", "body"), "two\nlines");
    EXPECT_EQ(Global("gDialogTable", "title"), "Question");
    ASSERT_NE(Find("yes"), nullptr);
    EXPECT_EQ(Find("askbody")->GetParent(), dialog);
    // Placed at the origin by its script, so centred on the 800x600 screen.
    EXPECT_EQ(dialog->GetRect().x1, (800 - dialog->GetWindowWidth()) / 2);
    EXPECT_EQ(dialog->GetRect().y1, (600 - dialog->GetWindowHeight()) / 2);
    EXPECT_GT(dialog->GetWindowWidth(), 0);

    Click(Find("no"));
    for (int i = 0; i < 4; ++i)
        Frame(16);
    EXPECT_EQ(manager->GetTopModalWindow(), screen);
    EXPECT_EQ(Global("gReturnValue"), "no");
    // The screen goes on waiting for its own messages.
    EXPECT_TRUE(script->CoroutineActive());
    script->OnMessage(new TMessage(kButtonPress, "later", nullptr), nullptr);
    EXPECT_EQ(Global("gPresses"), "later;");
}

TEST_F(DialogScriptTest, TextsThatWouldEndALongStringArriveUnchanged)
{
    Asset("empty.lua", "MakeDialog { Window { name = 'e', x = 5, y = 7, w = 10, h = 10 } }");
    StartWaitingScreen();
    testing::internal::CaptureStderr();
    TDialog* dialog = manager->DisplayDialog("empty.lua", "a]]b [[c]", "\nfirst \"q\" \\", "odd");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log.find("rror"), std::string::npos) << log;
    EXPECT_EQ(Global("gDialogTable", "body"), "a]]b [[c]");
    // A first newline is dropped, as the long string would drop it.
    EXPECT_EQ(Global("gDialogTable", "title"), "first \"q\" \\");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TDialog::LuaLiteral("plain\ntext"), str("[[plain\ntext]]"));
}

TEST_F(DialogScriptTest, ADialogWhoseScriptIsMissingClosesAndTheScreenGoesOn)
{
    StartWaitingScreen();
    TModalWindow* screen = manager->GetTopModalWindow();
    testing::internal::CaptureStderr();
    TDialog* dialog = manager->DisplayDialog("nowhere.lua", "b", "t", "lost");
    for (int i = 0; i < 4; ++i)
        Frame(16);
    const std::string log = testing::internal::GetCapturedStderr();
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(log.find("TDialog::Init: dialog script nowhere.lua made no windows; closing the dialog"), std::string::npos)
        << log;
    EXPECT_EQ(manager->GetTopModalWindow(), screen);
    script->OnMessage(new TMessage(kButtonPress, "after", nullptr), nullptr);
    EXPECT_EQ(Global("gPresses"), "after;");
}

TEST_F(DialogScriptTest, HttpMessagesOpenTheBrowserAndAreConsumed)
{
    Asset("web.lua", "MakeDialog { Window { name = 'web', w = 10, h = 10 } }");
    StartWaitingScreen();
    TDialog* dialog = manager->DisplayDialog("web.lua", "", "", "web");
    ASSERT_NE(dialog, nullptr);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(dialog->OnMessage(std::make_unique<TMessage>(kButtonPress, "http=https://example.org/more", nullptr).get()));
    EXPECT_TRUE(dialog->OnMessage(std::make_unique<TMessage>(kButtonPress, "http=", nullptr).get()));
    EXPECT_TRUE(dialog->OnMessage(std::make_unique<TMessage>(kButtonPress, "http=file:///etc/passwd", nullptr).get()));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("TRACE: src/core/dialog, 62"), std::string::npos) << log;
    ASSERT_EQ(backend->urls.size(), 1u);
    EXPECT_EQ(backend->urls[0], "https://example.org/more");
    // Other messages are the modal window's: a close for it closes it.
    EXPECT_TRUE(dialog->OnMessage(std::make_unique<TMessage>(kCloseWindow, dialog->GetIdText(), nullptr).get()));
    for (int i = 0; i < 3; ++i)
        Frame(16);
    EXPECT_NE(manager->GetTopModalWindow(), dialog);
}

TEST_F(DialogScriptTest, TheManagerRegistersTheCrossSellWindowAndPublishesSetTopModalOnly)
{
    script->DoLuaString("SetTopModalOnly(true)");
    EXPECT_TRUE(manager->GetTopModalOnly());
    script->DoLuaString("SetTopModalOnly(false)");
    EXPECT_FALSE(manager->GetTopModalOnly());

    Asset("xsell/xsell.xml", R"(<xsell>
        <gameinfo description="First game" linktext="Get it" link="https://example.org/one"/>
        <sitelink link="https://example.org/"/>
        <centertext text1="Line one" text2="Line two"/>
    </xsell>)");
    testing::internal::CaptureStderr();
    script->DoLuaString(R"(
        PushModal('xsell')
        MakeDialog { XSellWindow { name = 'xs', w = 800, h = 600,
            Text { name = 'descrip1', x = 10, y = 10, w = 300, h = 40 },
            Text { name = 'descrip2', x = 10, y = 60, w = 300, h = 40 },
            Window { name = 'xsellbutton1', x = 400, y = 100, w = 40, h = 20 },
            Window { name = 'xsellbutton2', x = 400, y = 200, w = 40, h = 20 },
            Text { name = 'centertext1', x = 0, y = 500, w = 800, h = 20 },
            Window { name = 'gamesite', x = 100, y = 550, w = 20, h = 10 },
        } }
        SetupXSell()
        LaunchGameLink(1)
        LaunchGameLink(0)
        LaunchGameLink(8))");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log.find("rror"), std::string::npos) << log;
    auto* xsell = GetCast<TXSellWindow>(Find("xs"));
    ASSERT_NE(xsell, nullptr);
    EXPECT_EQ(GetCast<TText>(Find("descrip1"))->GetText(),
              str("First game <u><font color=\"003cff\"><a id='xsellbutton1'>Get it</a></font></u>"));
    EXPECT_FALSE(Find("descrip2")->IsVisible());
    EXPECT_FALSE(Find("xsellbutton2")->IsVisible());
    EXPECT_TRUE(Find("gamesite")->IsVisible());
    EXPECT_EQ(Find("xsellbutton1")->GetRect().x1, 380);
    EXPECT_EQ(GetCast<TText>(Find("centertext1"))->GetText(), str("Line one"));
    ASSERT_EQ(backend->urls.size(), 2u);
    EXPECT_EQ(backend->urls[0], "https://example.org/one");
    EXPECT_EQ(backend->urls[1], "https://example.org/");
    EXPECT_NE(log.find("LaunchGameLink: no link 8"), std::string::npos) << log;

    // The globals outlive the window: calling them then does nothing.
    manager->SafeDestroyWindow(xsell);
    manager->ClearDestroyedWindows();
    testing::internal::CaptureStderr();
    script->DoLuaString("SetupXSell() LaunchGameLink(1) LaunchGameLink('x')");
    const std::string after = testing::internal::GetCapturedStderr();
    EXPECT_NE(after.find("SetupXSell: called after its object was destroyed; ignored"), std::string::npos) << after;
    EXPECT_EQ(backend->urls.size(), 2u);
}

}  // namespace
