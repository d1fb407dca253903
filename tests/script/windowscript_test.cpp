// The window script on the headless platform with the window manager and no
// display: the screen library, windows built from definition tables and
// placed by the coordinate codes, screen scripts waiting for messages, and
// the Lua errors that must stay inside the script.
#include "engine/platform/platformdata.h"
#include "engine/script/luamessage.h"
#include "engine/script/luaobject.h"
#include "engine/script/scriptcode.h"
#include "engine/script/windowscript.h"
#include "engine/script/windowstyle.h"
#include "engine/window/button.h"
#include "engine/window/image.h"
#include "engine/window/message.h"
#include "engine/text/textgraphic.h"
#include "engine/window/scrolledwindow.h"
#include "engine/window/slider.h"
#include "engine/window/text.h"
#include "engine/window/textedit.h"
#include "engine/window/modalwindow.h"
#include "engine/window/screen.h"
#include "engine/window/windowhost.h"
#include "engine/window/windowmanager.h"
#include "headlessengine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A window class made by its identity, as game windows register themselves.
class TCustomWindow : public TWindow {
public:
    static int postInits;
    static int childrenInits;
    static TClassId ClassId()
    {
        static const TClassId id = RegisterCreatable([]() -> TWindow* { return new TCustomWindow; });
        return id;
    }
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
    void PostInit() override { ++postInits; }
    void PostChildrenInit() override { ++childrenInits; }
};
int TCustomWindow::postInits = 0;
int TCustomWindow::childrenInits = 0;

class WindowScriptTest : public qmtest::HeadlessWindowTest {
protected:
    WindowScriptTest() : HeadlessWindowTest("qm_wscript_") {}

    std::string Run(const char* text, int* code = nullptr)
    {
        testing::internal::CaptureStderr();
        const int c = script->DoLuaString(text);
        if (code)
            *code = c;
        return testing::internal::GetCapturedStderr();
    }
    // Evaluates Lua text. Only while no screen waits: run while the
    // coroutine is suspended, it would be injected into it as a command.
    std::string Eval(const char* expression)
    {
        const std::string text = std::string("gProbe = tostring(") + expression + ")";
        script->DoLuaString(text.c_str());
        return Global("gProbe");
    }
    // Reads a global, or a field of one ("a.b"), without running Lua.
    std::string Global(const std::string& path)
    {
        const size_t dot = path.find('.');
        lua_pushstring(L, path.substr(0, dot).c_str());
        lua_rawget(L, LUA_GLOBALSINDEX);
        if (dot != std::string::npos) {
            if (lua_istable(L, -1)) {
                lua_pushstring(L, path.substr(dot + 1).c_str());
                lua_rawget(L, -2);
                lua_remove(L, -2);
            } else if (lua_isuserdata(L, -1)) {
                TMessage* m = LPCD::Get(L, -1);
                lua_pop(L, 1);
                lua_pushstring(L, m ? m->GetName().c_str() : "<no message>");
            } else {
                lua_pop(L, 1);
                lua_pushnil(L);
            }
        }
        return qmtest::PopLuaText(L);
    }
};

TEST_F(WindowScriptTest, ThePlatformRunsTheScriptAsATaskWithTheScreenLibraryLoaded)
{
    EXPECT_EQ(startLog.find("Lua error"), std::string::npos) << startLog;
    EXPECT_TRUE(data->GetTaskList()->Contains(script));
    EXPECT_EQ(Global("kCenter"), "80000");
    EXPECT_EQ(Global("kMax"), "160000");
    EXPECT_EQ(Global("kModalClosed"), "6");
    EXPECT_EQ(Global("kPushButtonAlignment"), "5");
    EXPECT_EQ(Global("LUA_PATH"), "?;../?;../../?");
    script->DoLuaString("c = Color(255, 0, 0) f = FColor(1, 0.5, 0) z = FColor(1, 0.5, 0, 0)");
    EXPECT_EQ(Eval("c[1] .. c[2] .. c[3] .. c[4]"), "1001");
    EXPECT_EQ(Eval("f[2] .. f[4]"), "0.51");
    EXPECT_EQ(Eval("z[4]"), "0");
    script->DoLuaString("gDialogWidth = 400 d3 = DistributeX(3)");
    EXPECT_EQ(Eval("d3[1] .. ',' .. d3[2] .. ',' .. d3[3]"), "100,200,300");
    script->DoLuaString("gCurrentDefaultStyle = { parent = { q = 4 } }");
    EXPECT_EQ(Eval("GetTag({}, 'q')"), "4");
    EXPECT_EQ(Eval("GetTag({ q = false }, 'q')"), "4");  // false falls through here
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(WindowScriptTest, DefinitionTablesBecomeWindowsPlacedByTheCoordinateCodes)
{
    const std::string log = Run(R"(
        gModal = PushModal('layout')
        MakeDialog {
            Window { name = 'box', w = 640, h = 400,
                Text { name = 'centred', x = kCenter, y = 5, w = 100, h = 20 },
                Text { name = 'aligned', x = 320, align = kHAlignCenter, w = 100, h = 20 },
                Window { name = 'wide', x = 10, w = kMax - 20, h = 10 },
                Window { name = 'right', x = kMax - 60, y = -30, w = 50, h = 10 },
                Window { name = 'ending', x = 600, w = -100, h = 10 },
            },
        })");
    EXPECT_EQ(log.find("Lua"), std::string::npos) << log;
    ASSERT_NE(Find("box"), nullptr);
    EXPECT_EQ(Find("box")->GetWindowWidth(), 640);
    EXPECT_EQ(Find("centred")->GetRect().x1, 270);
    EXPECT_EQ(Find("centred")->GetRect().y1, 5);
    EXPECT_EQ(Find("aligned")->GetRect().x1, 270);
    EXPECT_EQ(Find("wide")->GetRect().x1, 10);
    EXPECT_EQ(Find("wide")->GetWindowWidth(), 610);
    EXPECT_EQ(Find("right")->GetRect().x1, 580);
    EXPECT_EQ(Find("right")->GetRect().y1, 370);
    EXPECT_EQ(Find("ending")->GetRect().x1, 500);
    EXPECT_EQ(Find("ending")->GetWindowWidth(), 100);
    EXPECT_EQ(Global("gDialogWidth"), "100");  // the last window made
    EXPECT_EQ(Find("centred")->GetParent(), Find("box"));
    // The window stack is back at the modal.
    EXPECT_EQ(script->GetCurrentWindow(), manager->GetTopModalWindow());
    EXPECT_EQ(Global("gModal"), std::string(manager->GetTopModalWindow()->GetIdText().c_str()));
    EXPECT_EQ(Eval("string.len(gModal)"), "8");

    script->DoLuaString("SetPosition('centred', kCenter, 7)");
    EXPECT_EQ(Find("centred")->GetRect().x1, 270);
    EXPECT_EQ(Find("centred")->GetRect().y1, 7);
    script->DoLuaString("DestroyWindow('wide')");
    EXPECT_EQ(Find("wide"), nullptr);
}

TEST_F(WindowScriptTest, AParentWithoutASizeTakesItFromItsFirstChild)
{
    Run("PushModal('grow') MakeDialog { Window { name = 'holder', Window { name = 'inner', x = 5, y = 6, w = 30, h = 40 } } }");
    ASSERT_NE(Find("holder"), nullptr);
    EXPECT_EQ(Find("holder")->GetWindowWidth(), 35);
    EXPECT_EQ(Find("holder")->GetWindowHeight(), 46);
}

TEST_F(WindowScriptTest, AScreenScriptBuildsWindowsWaitsForAButtonMessageAndResumes)
{
    Asset("screen.lua", R"(
        return function()
            PushModal('screen.lua')
            MakeDialog {
                Window { name = 'panel', w = 200, h = 100,
                    Button { name = 'ok', label = 'OK', w = 50, h = 20 },
                },
            }
            gBuilt = 1
            local m
            repeat
                gWaits = (gWaits or 0) + 1
                m = WaitForMessage()
            until m
            gGot = m.type .. ' ' .. m.name
        end)");
    testing::internal::CaptureStderr();
    manager->RunScript(manager->GetScreen(), "screen.lua");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log.find("Lua"), std::string::npos) << log;
    EXPECT_EQ(Global("gBuilt"), "1");
    EXPECT_TRUE(script->CoroutineActive());
    EXPECT_EQ(script->GetWaitState(), 3);
    ASSERT_NE(Find("ok"), nullptr);
    EXPECT_NE(Find("ok")->GetChildWindow("label", 1), nullptr);  // the Button's label text

    // No message yet: each frame ends the wait with nothing and it waits again.
    Frame(16);
    Frame(16);
    EXPECT_EQ(Global("gWaits"), "3");
    EXPECT_EQ(Global("gGot"), "nil");

    manager->PostWindowMessage(new TMessage(kButtonPress, "ok", nullptr));
    Frame(0);
    EXPECT_EQ(Global("gGot"), "3 ok");
    EXPECT_FALSE(script->CoroutineActive());
    Frame(16);
    EXPECT_TRUE(script->IsPaused());  // the screen ended: the task rests
}

TEST_F(WindowScriptTest, MessagesArrivingWhileTheScriptIsBusyAreQueuedAndReadNewestFirst)
{
    testing::internal::CaptureStderr();
    script->OnMessage(new TMessage(kButtonPress, "first", nullptr), nullptr);
    script->OnMessage(new TMessage(kButtonPress, "second", nullptr), nullptr);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("TWindowScript::OnMessage: Queueing message"), std::string::npos);
    script->DoLuaString("return function() gA = WaitForMessage().name gB = WaitForMessage().name end");
    EXPECT_EQ(Global("gA"), "second");
    EXPECT_EQ(Global("gB"), "first");
    EXPECT_FALSE(script->CoroutineActive());
}

TEST_F(WindowScriptTest, AFunctionRunWhileTheScreenWaitsRunsInsideItsCoroutine)
{
    script->DoLuaString("return function() repeat gM = WaitForMessage() until gStop end");
    ASSERT_TRUE(script->CoroutineActive());
    // The injected call itself waits (a nested wait, as nested modals do).
    script->DoLuaString("gInner = 'waiting' gInnerMessage = WaitForMessage() gInner = 'done' gStop = 1");
    EXPECT_EQ(Global("gInner"), "waiting");
    EXPECT_TRUE(script->CoroutineActive());
    script->OnMessage(new TMessage(kButtonPress, "nested", nullptr), nullptr);
    EXPECT_EQ(Global("gInner"), "done");
    EXPECT_EQ(Global("gInnerMessage.name"), "nested");
    EXPECT_FALSE(script->CoroutineActive());
}

TEST_F(WindowScriptTest, DoModalReturnsTheValueGivenWhenItsWindowCloses)
{
    Asset("dlg.lua", "MakeDialog { Window { name = 'dlgbody', w = 100, h = 50 } }");
    script->DoLuaString("return function() gResult = DoModal('dlg.lua') gDone = 1 end");
    ASSERT_NE(Find("dlgbody"), nullptr);
    TModalWindow* dialog = manager->GetTopModalWindow();
    EXPECT_EQ(dialog->GetName(), str("dlg.lua"));
    // A button command would do this; here native code runs it while the
    // screen waits.
    script->DoLuaString("CloseWindow(42)");
    for (int i = 0; i < 4 && Global("gDone") != "1"; ++i)
        Frame(16);
    EXPECT_EQ(Global("gResult"), "42");
    EXPECT_NE(manager->GetTopModalWindow(), dialog);
}

// A screen script cut short between two statements runs without an error
// and builds nothing: the log names it, as it names an empty one. One that
// builds its screen, even through a helper, is not named.
TEST_F(WindowScriptTest, DoModalNamesAScreenScriptThatBuiltNoWindow)
{
    Asset("helpers.lua", "function Panel() MakeDialog { Window { name = 'panel', w = 100, h = 50 } } end\n");
    Asset("cut.lua", "ReadFile('helpers.lua')\nlocal function Unused() end\n");
    Asset("whole.lua", "ReadFile('helpers.lua')\nPanel()\n");
    testing::internal::CaptureStderr();
    script->DoLuaString("return function() DoModal('cut.lua') end");
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Script cut.lua built no window"), std::string::npos) << log;
    script->DoLuaString("CloseWindow()");
    for (int i = 0; i < 4 && script->CoroutineActive(); ++i)
        Frame(16);
    ASSERT_FALSE(script->CoroutineActive());

    testing::internal::CaptureStderr();
    script->DoLuaString("return function() DoModal('whole.lua') end");
    log = testing::internal::GetCapturedStderr();
    ASSERT_NE(Find("panel"), nullptr);
    EXPECT_EQ(log.find("built no window"), std::string::npos) << log;
}

TEST_F(WindowScriptTest, BadArgumentsAndFontErrorsAreLoggedAndNeverThrown)
{
    int code = 0;
    std::string log = Run("PushModal(5)", &code);
    EXPECT_EQ(code, LUA_ERRRUN);
    EXPECT_NE(log.find("bad argument #1 to `PushModal' (string expected, got number)"), std::string::npos) << log;
    EXPECT_EQ(manager->GetTopModalWindow(), manager->GetScreen());
    log = Run("CreateWindow('x')");
    EXPECT_NE(log.find("bad argument #1 to `CreateWindow' (table expected, got string)"), std::string::npos) << log;
    log = Run("SetPosition('a', 'b', 1)");
    EXPECT_NE(log.find("bad argument #2"), std::string::npos) << log;
    log = Run("CreateNamedMessage('3', 'x')");
    EXPECT_NE(log.find("bad argument #1"), std::string::npos) << log;
    log = Run("PushModal('f') MakeDialog { Text { name = 'nofont', font = { '', 10 }, w = 5, h = 5 } }");
    EXPECT_NE(log.find("Font error: Font has no name!"), std::string::npos) << log;
    log = Run("MakeDialog { Text { font = { 'a.mvec', 0 }, w = 5, h = 5 } }");
    EXPECT_NE(log.find("Font error: Font has zero height!"), std::string::npos) << log;
    log = Run("MakeDialog { Text { name = 'empty', label = 'hi' } }");
    EXPECT_NE(log.find("ERROR: Attempting to create text window of size(0,0): named 'empty', label 'hi'"),
              std::string::npos)
        << log;
    // A screen coroutine that fails is reported and ends.
    log = Run("return function() WaitForMessage(5) error('in the screen') end");
    testing::internal::CaptureStderr();
    Frame(5);
    log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("lua_resume ERROR: "), std::string::npos) << log;
    EXPECT_FALSE(script->CoroutineActive());
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(WindowScriptTest, RegisteredWindowTypesGetAConstructorOfTheirName)
{
    TCustomWindow::postInits = TCustomWindow::childrenInits = 0;
    manager->AddWindowType("Custom", TCustomWindow::ClassId());
    const std::string log = Run("PushModal('c') MakeDialog { Custom { name = 'mine', w = 10, h = 10, Window { name = 'kid', w = 1, h = 1 } } }");
    EXPECT_EQ(log.find("Lua"), std::string::npos) << log;
    TWindow* w = Find("mine");
    ASSERT_NE(w, nullptr);
    EXPECT_NE(w->GetCast<TCustomWindow>(), nullptr);
    EXPECT_NE(w->GetChildWindow("kid", 1), nullptr);
    EXPECT_EQ(TCustomWindow::postInits, 1);
    EXPECT_EQ(TCustomWindow::childrenInits, 1);
    Run("MakeDialog { Window { create = GenericCreate, typename = 'Unknown', name = 'nothing' } }");
    EXPECT_EQ(Find("nothing"), nullptr);
}

TEST_F(WindowScriptTest, DisplayDialogWithoutAScriptAborts)
{
    const std::string log = Run("gR = DisplayDialog({})");
    EXPECT_NE(log.find("Lua: DisplayDialog called with empty script; aborting"), std::string::npos) << log;
    EXPECT_EQ(Global("gR"), "nil");
    EXPECT_EQ(manager->GetTopModalWindow(), manager->GetScreen());
}

TEST_F(WindowScriptTest, FactoriesGetTheDefinitionTableThroughTheWindowStyle)
{
    struct Factory : TWindowFactory {
        double seen = -1;
        TWindow* Create(TWindowStyle* style) override
        {
            seen = style->GetNumber("depth", 0);
            return new TWindow;
        }
    };
    auto* factory = new Factory;
    manager->AdoptWindowFactory("deep", factory);
    Run("PushModal('s') SetDefaultStyle { depth = 3 } MakeDialog { Window { factory = 'deep', name = 'made', w = 4, h = 4 } }");
    EXPECT_EQ(factory->seen, 3);
    EXPECT_NE(Find("made"), nullptr);
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(WindowScriptTest, CompiledScriptsAreCachedAssets)
{
    Asset("code.lua", "return 1");
    auto first = TScriptCode::Get("code.lua", "");
    ASSERT_NE(first, nullptr);
    EXPECT_GT(first->GetSize(), 4);
    EXPECT_EQ(std::string(first->GetBytes(), 4), "\x1bLua");
    EXPECT_EQ(TScriptCode::Get("code.lua", ""), first);
    EXPECT_EQ(TScriptCode::Get("", ""), nullptr);
    Asset("broken.lua", "return return");
    EXPECT_EQ(TScriptCode::Get("broken.lua", ""), nullptr);
}

TEST_F(WindowScriptTest, AButtonWithoutALabelHasNoTextChildAndStillCleansUp)
{
    Run("PushModal('b') gT = { name = 'bare', w = 10, h = 10 } MakeDialog { Button(gT) }");
    ASSERT_NE(Find("bare"), nullptr);
    EXPECT_EQ(Find("bare")->GetChildWindow("label", 1), nullptr);
    EXPECT_EQ(Global("gT.beginGroup"), "0");
    EXPECT_NE(Global("gT.cleanup"), "nil");
    Run("MakeDialog { BeginGroup(), Button { name = 'first', w = 5, h = 5 }, Button { name = 'second', w = 5, h = 5 } }");
    EXPECT_NE(Find("second"), nullptr);
}

TEST_F(WindowScriptTest, AModalClosedDuringAnotherWaitIsRememberedForItsOwnWait)
{
    script->DoLuaString("return function() WaitForCloseMessage('inner') gInnerDone = 1 end");
    ASSERT_TRUE(script->CoroutineActive());
    script->OnMessage(new TMessage(kModalClosed, "other", nullptr), nullptr);
    EXPECT_EQ(Global("gClosedWindows.other"), "true");
    EXPECT_EQ(Global("gInnerDone"), "nil");
    EXPECT_EQ(Global("gLastMessage.name"), "other");
    script->OnMessage(new TMessage(kModalClosed, "inner", nullptr), nullptr);
    EXPECT_EQ(Global("gInnerDone"), "1");
}

TEST_F(WindowScriptTest, PauseWaitsOutItsTimeAndKeepsTheMessagesForLater)
{
    script->DoLuaString("return function() Pause(100) gPaused = 1 gAfter = WaitForMessage().name end");
    Frame(50);
    EXPECT_EQ(Global("gPaused"), "nil");
    script->OnMessage(new TMessage(kButtonPress, "kept", nullptr), nullptr);
    EXPECT_EQ(Global("gPaused"), "nil");
    Frame(60);
    EXPECT_EQ(Global("gPaused"), "1");
    EXPECT_EQ(Global("gAfter"), "kept");
}

TEST_F(WindowScriptTest, AMessageForACoroutineSuspendedElsewhereIsDroppedNotLeaked)
{
    struct Counted : TMessage {
        explicit Counted(int* n) : TMessage(kButtonPress, "lost", nullptr), count(n) {}
        ~Counted() override { ++*count; }
        int* count;
    };
    script->DoLuaString("return function() Yield() end");  // not waiting for messages
    ASSERT_TRUE(script->CoroutineActive());
    ASSERT_NE(script->GetWaitState(), 3);
    int deleted = 0;
    EXPECT_FALSE(script->OnMessage(new Counted(&deleted), nullptr));
    EXPECT_EQ(deleted, 1);
    EXPECT_TRUE(script->CoroutineActive());
}

// ---- the widgets built from definition tables ----------------------------------

TEST_F(WindowScriptTest, AButtonMadeByAScreenScriptPostsItsPressToTheWaitingScreenAndRunsItsCommand)
{
    Asset("screen.lua", R"(
        return function()
            PushModal('screen.lua')
            MakeDialog {
                Window { name = 'panel', w = 200, h = 100,
                    Button { name = 'ok', label = 'OK', x = 10, y = 10, w = 50, h = 20,
                             command = function() gCommand = (gCommand or 0) + 1 end },
                },
            }
            local m
            repeat
                m = WaitForMessage()
            until m and m.type == kButtonPress
            gGot = m.type .. ' ' .. m.name
        end)");
    testing::internal::CaptureStderr();
    manager->RunScript(manager->GetScreen(), "screen.lua");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log.find("Lua"), std::string::npos) << log;
    auto* ok = GetCast<TButton>(Find("ok"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->GetLabel(), str("OK"));
    EXPECT_NE(ok->GetCommand(), nullptr);
    EXPECT_EQ(ok->GetCurrentLayer(), 0);  // cleanup ran Init: the normal look

    Click(ok);
    Frame(16);
    EXPECT_EQ(Global("gCommand"), "1");
    EXPECT_EQ(Global("gGot"), "3 ok");
}

TEST_F(WindowScriptTest, TextLabelsGetLabelAndSetLabel)
{
    Run("PushModal('t') MakeDialog { Window { name = 'panel', w = 300, h = 200,"
        " Text { name = 'hash', label = '#plain', w = 100, h = 20 },"
        " Text { name = 'number', label = '3.5', y = 20, w = 100, h = 20 },"
        " Text { name = 'empty', label = 'x', y = 40, w = 0, h = 20 },"
        " Button { name = 'b', label = 'Go', y = 60, w = 50, h = 20 } } }");
    EXPECT_EQ(Eval("GetLabel('number')"), "3.5");
    EXPECT_EQ(Eval("GetLabel('b')"), "Go");
    EXPECT_EQ(Eval("GetLabel('panel')"), "panel_is_not_a_TText_window_or_TButton");
    EXPECT_EQ(Eval("GetLabel('nothing')"), "nothing_is_not_found");
    // Without the string-table flag a "#" label is shown as it is written.
    EXPECT_EQ(Eval("GetLabel('hash')"), "#plain");
    Run("SetLabel('number', 'four') SetLabel('nothing', 'x') SetLabel('b', 'ignored')");
    EXPECT_EQ(Eval("GetLabel('number')"), "four");
    EXPECT_EQ(Eval("GetLabel('b')"), "Go");
    EXPECT_EQ(GetCast<TText>(Find("empty"))->GetTextGraphic(), nullptr);

    script->EnableStringTable(true);
    Run("MakeDialog { Text { name = 'hash2', label = '#plain', y = 80, w = 100, h = 20 },"
        " Text { name = 'number2', label = '12.5', y = 100, w = 100, h = 20 } }");
    EXPECT_EQ(Eval("GetLabel('hash2')"), "plain");
    EXPECT_EQ(Eval("GetLabel('number2')"), "12.5");
}

TEST_F(WindowScriptTest, AFontWithAnOutlineOutlinesTheTextAndAButtonsLabelThroughNewLabels)
{
    Run("PushModal('t') MakeDialog { Window { name = 'panel', w = 300, h = 200,"
        " Text { name = 'plain', label = 'a', w = 100, h = 20, font = { 'f.mvec', 16, { 1, 1, 1, 1 } } },"
        " Text { name = 'outlined', label = 'b', y = 20, w = 100, h = 20,"
        "        font = { 'f.mvec', 16, { 1, 1, 1, 1 }, 2, { 0.25, 0, 0.5, 1 } } },"
        " Button { name = 'go', label = 'Go', y = 60, w = 50, h = 20,"
        "          font = { 'f.mvec', 16, { 1, 1, 1, 1 }, 1.5, { 0, 0, 0, 1 } } } } }");
    auto run = [&](const char* name) -> const TTextRun& {
        TWindow* window = Find(name);
        if (GetCast<TButton>(window))
            window = window->GetChildWindow("label", -1);
        return GetCast<TText>(window)->GetTextGraphic()->GetLines().at(0).runs.at(0);
    };
    EXPECT_FLOAT_EQ(run("plain").outlineSize, 0.0f);
    EXPECT_FLOAT_EQ(run("outlined").outlineSize, 2.0f);
    EXPECT_FLOAT_EQ(run("outlined").outlineColour.b, 0.5f);
    EXPECT_FLOAT_EQ(run("go").outlineSize, 1.5f);
    // A label changed later keeps the outline.
    GetCast<TButton>(Find("go"))->SetLabel("Again");
    EXPECT_FLOAT_EQ(run("go").outlineSize, 1.5f);
}

TEST_F(WindowScriptTest, ButtonGraphicsFillTheLayersAndRepeatTheLastPicture)
{
    Run("PushModal('g') MakeDialog { Button { name = 'tog', type = kToggle, w = 40, h = 40,"
        " graphics = { 'a', 'b' } } }");
    auto* tog = GetCast<TButton>(Find("tog"));
    ASSERT_NE(tog, nullptr);
    EXPECT_EQ(tog->GetType(), TButton::kToggle);
    TWindow* a = tog->GetChildWindow("image0", 1);
    TWindow* b = tog->GetChildWindow("image1", 1);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(tog->GetChildren().size(), 2u);
    for (int layer = 0; layer < 4; ++layer) {
        tog->SetCurrentLayer(layer);
        EXPECT_EQ(a->IsVisible(), layer == 0) << layer;
        EXPECT_EQ(b->IsVisible(), layer != 0) << layer;
    }
}

TEST_F(WindowScriptTest, SetCommandAndBitmapsFindTheirWindowsUnderTheTopModal)
{
    Run("PushModal('c') MakeDialog { Button { name = 'b', w = 40, h = 40 },"
        " Bitmap { name = 'pic', image = 'missing', x = 50 } }");
    auto* b = GetCast<TButton>(Find("b"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetCommand(), nullptr);
    Run("SetCommand('b', function() end) SetCommand('nothing', function() end)");
    EXPECT_NE(b->GetCommand(), nullptr);
    EXPECT_EQ(Eval("ImageLoaded('pic')"), "false");
    EXPECT_EQ(Eval("ImageLoaded('b')"), "false");
    Run("SetBitmap('pic', 'missing too', 2) SetBitmap('nothing', 'x', 1)");
    EXPECT_NE(GetCast<TImage>(Find("pic")), nullptr);
    int code = 0;
    const std::string log = Run("SetCommand('b', 5)", &code);
    EXPECT_NE(log.find("bad argument"), std::string::npos) << log;
}

TEST_F(WindowScriptTest, ATextEditMadeByAScreenTellsTheScreenAboutEachChange)
{
    Asset("edit.lua", R"(
        return function()
            PushModal('edit.lua')
            MakeDialog {
                TextEdit { name = 'who', label = 'ab', w = 100, h = 20, length = 4, ignore = 'x', password = true },
            }
            RealSetFocus('who')
            local m
            repeat
                m = WaitForMessage()
            until m and m.type == 7
            gGot = m.type .. ' ' .. m.name
        end)");
    testing::internal::CaptureStderr();
    manager->RunScript(manager->GetScreen(), "edit.lua");
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(log.find("Lua"), std::string::npos) << log;
    auto* edit = GetCast<TTextEdit>(Find("who"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->GetMaxLength(), 4);
    EXPECT_EQ(edit->GetText(), str("ab"));
    EXPECT_EQ(manager->GetFocus(), edit);
    TEvent e{};
    e.mType = TEvent::kChar;
    e.mX = e.mY = -1000;
    e.mParam = 'c';
    manager->HandleEvent(&e);
    Frame(16);
    EXPECT_EQ(edit->GetText(), str("abc"));
    EXPECT_EQ(Global("gGot"), "7 who");
}

TEST_F(WindowScriptTest, WindowClassesReadTheirOptionsFromTheDefinitionBeingBuilt)
{
    manager->AddWindowType("Slider", TSlider::ClassId());
    manager->AddWindowType("ScrolledWindow", TScrolledWindow::ClassId());
    std::string log = Run("PushModal('s') MakeDialog { Window { name = 'panel', w = 400, h = 300,"
                          " Slider { name = 'bar', w = 200, h = 20, yoffset = 2 },"
                          " ScrolledWindow { name = 'scroll', y = 50, w = 200, h = 100,"
                          "   Text { name = 'body', label = 'a<br>b<br>c<br>d<br>e<br>f<br>g<br>h', w = 180, h = 40 } } } }");
    EXPECT_EQ(log.find("Lua"), std::string::npos) << log;
    auto* bar = GetCast<TSlider>(Find("bar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsHorizontal());  // wider than high
    auto* scroll = GetCast<TScrolledWindow>(Find("scroll"));
    ASSERT_NE(scroll, nullptr);
    ASSERT_NE(scroll->GetSlider(), nullptr);
    EXPECT_EQ(scroll->GetContent(), Find("body"));
    scroll->SetScroll(1, 0);
    EXPECT_GT(GetCast<TText>(Find("body"))->GetTextGraphic()->mScrollLine, 0);
}

TEST_F(WindowScriptTest, HugeNumbersInDefinitionTablesAreHeldInRange)
{
    // Converting such numbers straight to int, or adding them up as ints,
    // is undefined: a screen script must not be able to do that.
    const std::string log = Run(R"(
        PushModal('huge')
        MakeDialog {
            Window { name = 'box', w = 640, h = 400,
                Window { name = 'far', x = 3e9, y = -3e9, w = -3e9, h = 2147483000, align = 1e20 },
                Window { name = 'edge', x = 2147483000, y = 10, w = 5, h = 5 },
                Text { name = 'font', w = 10, h = 10, font = { 'f', 1e12 } },
                Button { name = 'button', type = -1e15, w = 10, h = 10 },
            },
        }
        SetPosition('edge', 2147483647, -2147483648)
        return function() HandleGetMessage(1e12) end)");
    EXPECT_EQ(log.find("Lua error"), std::string::npos) << log;
    ASSERT_NE(Find("far"), nullptr);
    ASSERT_NE(Find("edge"), nullptr);
    EXPECT_NE(Find("font"), nullptr);
    EXPECT_NE(Find("button"), nullptr);
    EXPECT_TRUE(script->CoroutineActive());
    // A far position stays on the far side, however far it is.
    EXPECT_GT(Find("far")->GetRect().x1, 0);
    EXPECT_GT(Find("edge")->GetRect().x1, 0);
}

}  // namespace
