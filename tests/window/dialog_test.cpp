// Dialogs and the cross-sell window against a recording window script: what
// a dialog asks of the script and in which order, where it is placed, and
// how the cross-sell window fills, hides and centres its children from an
// xsell.xml the tests write (and survives missing or broken files).
#include "probes.h"

#include "engine/window/dialog.h"
#include "engine/window/screen.h"
#include "engine/window/text.h"
#include "engine/window/xsellwindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>

namespace {

const TColor kBlack{0, 0, 0, 1};

// Records the Lua work asked of it and keeps the functions published to it.
class RecordingScript : public FakeScript {
public:
    using FakeScript::FakeScript;

    bool RunLuaText(const str& text) override
    {
        calls.push_back(std::string("lua ") + text.c_str());
        return true;
    }
    bool RunScript(const char* file) override
    {
        calls.push_back(std::string("run ") + file);
        if (onRun)
            onRun();
        return true;
    }
    void SendGlobalFunction(const char* name) override { calls.push_back(std::string("send ") + name); }
    void PublishFunction(const char* name, const char*, const TLifeline& owner, std::function<void()> fn) override
    {
        plain[name] = std::move(fn);
        owners[name] = owner.Handle();
    }
    void PublishIntFunction(const char* name, const char*, const TLifeline& owner, std::function<void(int)> fn) override
    {
        integer[name] = std::move(fn);
        owners[name] = owner.Handle();
    }
    void PublishBoolFunction(const char* name, const char*, const TLifeline& owner, std::function<void(bool)> fn) override
    {
        boolean[name] = std::move(fn);
        owners[name] = owner.Handle();
    }

    std::vector<std::string> calls;
    std::function<void()> onRun;
    std::map<std::string, std::function<void()>> plain;
    std::map<std::string, std::function<void(int)>> integer;
    std::map<std::string, std::function<void(bool)>> boolean;
    std::map<std::string, TLifeHandle> owners;
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        manager.AttachWindowScript(&script);
        screen = new TScreen;
        manager.SetScreen(screen);
        screen->SetWindowSize(800, 600);
    }

    Journal journal;
    RecordingScript script{&journal};
    TWindowManager manager;
    TScreen* screen = nullptr;
};

TEST_F(DialogTest, DisplayDialogHandsTheTextsRunsTheScriptAndMakesTheScreenWaitForTheClose)
{
    script.onRun = [this] { manager.GetTopModalWindow()->SetWindowSize(201, 101); };
    TDialog* dialog = manager.DisplayDialog("ask.lua", "Body", "Title", "asking");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(manager.GetTopModalWindow(), dialog);
    EXPECT_EQ(dialog->GetName(), str("asking"));
    EXPECT_TRUE(dialog->IsKindOf(TModalWindow::ClassId()));
    EXPECT_TRUE(dialog->IsKindOf(TWindow::ClassId()));
    EXPECT_EQ(GetCast<TDialog>(static_cast<TWindow*>(dialog)), dialog);
    const std::vector<std::string> expected = {
        "lua  gDialogTable.body=[[Body]]; gDialogTable.title=[[Title]];",
        "run ask.lua",
        std::string("lua function gDialogFunction() DebugOut('inside a dialog function'); WaitForCloseMessage('") +
            FormatWindowId(dialog->GetId()).c_str() + "'); end;",
        "send gDialogFunction",
    };
    EXPECT_EQ(script.calls, expected);
    // Centred with truncating division.
    EXPECT_EQ(dialog->GetRect().x1, 299);
    EXPECT_EQ(dialog->GetRect().y1, 249);
}

TEST_F(DialogTest, ADialogItsScriptPlacedIsNotCentred)
{
    script.onRun = [this] {
        TWindow* top = manager.GetTopModalWindow();
        Place(top, 0, 40, 100, 90);
    };
    TDialog* dialog = manager.DisplayDialog("placed.lua", "", "", "placed");
    EXPECT_EQ(dialog->GetRect().x1, 0);
    EXPECT_EQ(dialog->GetRect().y1, 40);
    // Larger than the screen: the offset is negative, truncated toward zero.
    script.onRun = [this] { manager.GetTopModalWindow()->SetWindowSize(901, 701); };
    TDialog* big = manager.DisplayDialog("big.lua", "", "", "big");
    EXPECT_EQ(big->GetRect().x1, -50);
    EXPECT_EQ(big->GetRect().y1, -50);
}

TEST_F(DialogTest, TextsAreLongStringsUnlessTheyWouldEndOne)
{
    EXPECT_EQ(TDialog::LuaLiteral("two\nlines"), str("[[two\nlines]]"));
    EXPECT_EQ(TDialog::LuaLiteral(""), str("[[]]"));
    EXPECT_EQ(TDialog::LuaLiteral("a]]b"), str("\"a\\093\\093b\""));
    EXPECT_EQ(TDialog::LuaLiteral("ends]"), str("\"ends\\093\""));
    EXPECT_EQ(TDialog::LuaLiteral("\n[[x\"\\"), str("\"\\091\\091x\\034\\092\""));
}

// ---------------------------------------------------------------------------

class XSellTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        char pattern[] = "/tmp/qm_xsell_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        home = pattern;
        previousDir = std::filesystem::current_path();
        std::filesystem::create_directories(home + "/assets/xsell");
        std::filesystem::current_path(home);
        xsell = new TXSellWindow;
        xsell->SetName("xsell");
        Place(xsell, 0, 0, 800, 600);
        screen->AdoptChild(xsell, false);
        for (int n = 1; n <= 8; ++n) {
            auto* text = new TText(false);
            text->SetName(str::getFormatted("descrip%d", n));
            xsell->AdoptChild(text, true);
            text->Create("old", 300, 40, 0, "", 16, kBlack);
            Child(str::getFormatted("xsellbutton%d", n), 400, 50 * n, 40, 20);
        }
        for (const char* name : {"centertext1", "centertext2"}) {
            auto* text = new TText(false);
            text->SetName(name);
            xsell->AdoptChild(text, true);
            text->Create("kept", 300, 20, 0, "", 16, kBlack);
        }
        Child("sitelogo", 100, 500, 60, 30);
        Child("gamesite", 300, 500, 21, 11);
    }
    void TearDown() override
    {
        std::filesystem::current_path(previousDir);
        std::filesystem::remove_all(home);
    }

    TWindow* Child(const str& name, int x, int y, int w, int h)
    {
        auto* child = new TWindow;
        child->SetName(name);
        Place(child, x, y, x + w, y + h);
        xsell->AdoptChild(child, true);
        return child;
    }
    void WriteXSell(const std::string& text) { std::ofstream(home + "/assets/xsell/xsell.xml") << text; }
    TWindow* Find(const char* name) { return xsell->GetChildWindow(name, -1); }
    str TextOf(const char* name) { return GetCast<TText>(Find(name))->GetText(); }
    std::string RunSetup()
    {
        testing::internal::CaptureStderr();
        xsell->SetupXSell();
        return testing::internal::GetCapturedStderr();
    }

    std::string home;
    std::filesystem::path previousDir;
    TXSellWindow* xsell = nullptr;
};

TEST_F(XSellTest, ThreeEntriesFillTheirTextsAndHideTheRest)
{
    WriteXSell(R"(<?xml version="1.0"?>
<xsell>
    <gameinfo description="One" linktext="Play it" link="https://example.org/1"/>
    <unknown what="skipped"/>
    <gameinfo description="Two" link="https://example.org/2"/>
    <gameinfo description="Three" linktext="More" link="https://example.org/3"/>
    <centertext text1="Top line" text2="Bottom line"/>
</xsell>)");
    RunSetup();
    EXPECT_EQ(TextOf("descrip1"), str("One <u><font color=\"003cff\"><a id='xsellbutton1'>Play it</a></font></u>"));
    EXPECT_EQ(TextOf("descrip2"), str("Two"));
    EXPECT_EQ(xsell->GetGameLink(2), str("https://example.org/2"));
    EXPECT_EQ(xsell->GetGameLink(3), str("https://example.org/3"));
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(Find(str::getFormatted("descrip%d", n).c_str())->IsVisible(), n <= 3) << n;
        EXPECT_EQ(Find(str::getFormatted("xsellbutton%d", n).c_str())->IsVisible(), n <= 3) << n;
    }
    // No site link: the site button goes, and the site link stays empty.
    EXPECT_FALSE(Find("gamesite")->IsVisible());
    EXPECT_EQ(xsell->GetSiteLink(), str(""));
    EXPECT_EQ(TextOf("centertext1"), str("Top line"));
    EXPECT_EQ(TextOf("centertext2"), str("Bottom line"));
}

TEST_F(XSellTest, ItemsAreCentredOnTheirDefinedPositionEachTimeSetupRuns)
{
    WriteXSell(R"(<xsell><gameinfo description="x" link="https://example.org/"/><sitelink link="https://example.org/site"/></xsell>)");
    RunSetup();
    EXPECT_EQ(xsell->GetSiteLink(), str("https://example.org/site"));
    EXPECT_TRUE(Find("gamesite")->IsVisible());
    EXPECT_EQ(Find("xsellbutton1")->GetRect().x1, 380);
    EXPECT_EQ(Find("xsellbutton1")->GetRect().y1, 40);
    EXPECT_EQ(Find("sitelogo")->GetRect().x1, 70);
    EXPECT_EQ(Find("gamesite")->GetRect().x1, 290);  // 21 / 2 truncates to 10
    EXPECT_EQ(Find("gamesite")->GetRect().y1, 495);
    RunSetup();
    EXPECT_EQ(Find("xsellbutton1")->GetRect().x1, 360);
    EXPECT_EQ(Find("gamesite")->GetRect().x1, 280);
}

TEST_F(XSellTest, OnlySevenEntriesAreUsed)
{
    std::string text = "<xsell>";
    for (int n = 1; n <= 9; ++n)
        text += "<gameinfo description=\"game " + std::to_string(n) + "\" link=\"https://example.org/" + std::to_string(n) + "\"/>";
    WriteXSell(text + "</xsell>");
    RunSetup();
    EXPECT_EQ(TextOf("descrip7"), str("game 7"));
    EXPECT_EQ(xsell->GetGameLink(7), str("https://example.org/7"));
    EXPECT_EQ(TextOf("descrip8"), str("old"));
    EXPECT_TRUE(Find("descrip7")->IsVisible());
    EXPECT_FALSE(Find("descrip8")->IsVisible());  // the eighth window never has data
}

TEST_F(XSellTest, MissingBrokenOrForeignFilesShowNoEntriesAndAreLogged)
{
    for (const char* content : {static_cast<const char*>(nullptr), "<<<\"unterminated", "<other><gameinfo description=\"x\"/></other>",
                                "\x01\xff\xfe<xsell"}) {
        std::filesystem::remove(home + "/assets/xsell/xsell.xml");
        if (content)
            WriteXSell(content);
        for (int n = 1; n <= 8; ++n)
            Find(str::getFormatted("descrip%d", n).c_str())->AddFlags(TWindow::kVisible);
        const std::string log = RunSetup();
        EXPECT_NE(log.find("TXSellWindow::SetupXSell: "), std::string::npos) << log;
        EXPECT_NE(log.find("assets/xsell/xsell.xml"), std::string::npos) << log;
        for (int n = 1; n <= 8; ++n)
            EXPECT_FALSE(Find(str::getFormatted("descrip%d", n).c_str())->IsVisible()) << n;
        EXPECT_TRUE(Find("gamesite")->IsVisible());
        EXPECT_EQ(TextOf("centertext1"), str("kept"));
    }
}

TEST_F(XSellTest, TheShippedPageFillsAnEntryAndLinksToTheSite)
{
    std::filesystem::copy_file(QM_DATA_DIR "/assets/xsell/xsell.xml", home + "/assets/xsell/xsell.xml");
    const std::string log = RunSetup();
    EXPECT_EQ(log, "");
    EXPECT_TRUE(Find("descrip1")->IsVisible());
    EXPECT_NE(TextOf("descrip1"), str("old"));
    EXPECT_EQ(std::string(xsell->GetGameLink(1).c_str()).rfind("https://", 0), 0u);
    EXPECT_EQ(std::string(xsell->GetSiteLink().c_str()).rfind("https://", 0), 0u);
    EXPECT_TRUE(Find("gamesite")->IsVisible());
    EXPECT_NE(TextOf("centertext1"), str("kept"));
}

TEST_F(XSellTest, ThePublishedFunctionsAreBoundToTheWindowsLifeline)
{
    ASSERT_TRUE(script.plain.count("SetupXSell"));
    ASSERT_TRUE(script.integer.count("LaunchGameLink"));
    WriteXSell(R"(<xsell><gameinfo description="y" link="https://example.org/"/></xsell>)");
    script.plain["SetupXSell"]();
    EXPECT_EQ(TextOf("descrip1"), str("y"));
    EXPECT_TRUE(script.owners["LaunchGameLink"].IsAlive());
    manager.SafeDestroyWindow(xsell);
    EXPECT_FALSE(script.owners["SetupXSell"].IsAlive());
    EXPECT_FALSE(script.owners["LaunchGameLink"].IsAlive());
}

}  // namespace
