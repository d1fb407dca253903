// Text, image and text-edit widgets without a display: text changes and
// invalidation, scrolling, links that press buttons, image sizes and names,
// and text edits driven with synthetic key events (typing, limits, ignored
// characters, backspace, cursor keys, passwords, the Tab ring).
#include "probes.h"

#include "engine/base/timesource.h"
#include "engine/render/texture.h"
#include "engine/window/button.h"
#include "engine/window/image.h"
#include "engine/window/text.h"
#include "engine/window/textedit.h"
#include "engine/text/textgraphic.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const TColor kBlack{0, 0, 0, 1};

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qm::SetTimeSource([this] { return now; });
        manager.AttachWindowScript(&script);
        root = PushProbeModal(manager, &journal, "root", 0, 0, 800, 600);
        dialog = PushProbeModal(manager, &journal, "dialog", 100, 100, 500, 400);
        manager.AdoptMessageListener(new ProbeListener(&journal, "listener", {}));
        journal.clear();
    }
    void TearDown() override { qm::SetTimeSource({}); }

    TText* MakeText(const char* name, const char* text, int width = 300, int height = 100)
    {
        auto* t = new TText(false);
        t->SetName(name);
        dialog->AdoptChild(t, true);
        t->Create(text, width, height, 0, "", 16, kBlack);
        return t;
    }
    TTextEdit* MakeEdit(const char* name, TWindow* parent = nullptr, int y = 0)
    {
        auto* e = new TTextEdit;
        e->SetName(name);
        Place(e, 0, y, 200, y + 20);
        (parent ? parent : dialog)->AdoptChild(e, true);
        e->Create("", 200, 20, 0, "", 16, kBlack);
        return e;
    }
    // Keys carry a pointer position, and a key the focus refuses falls to
    // whatever lies under it: these are typed with the pointer off the windows.
    void Type(const std::string& text)
    {
        for (char c : text) {
            TEvent e = Event(TEvent::kChar, -1000, -1000, static_cast<unsigned char>(c));
            manager.HandleEvent(&e);
        }
    }
    void Key(int key, int modifiers = 0)
    {
        TEvent e = Event(TEvent::kKeyDown, -1000, -1000, key);
        e.mModifiers = modifiers;
        manager.HandleEvent(&e);
    }
    int ChangeMessages(const char* name)
    {
        manager.DispatchMessages();
        const std::string line = std::string("listener: msg 7 '") + name + "'";
        const int n = static_cast<int>(std::count(journal.begin(), journal.end(), line));
        journal.clear();
        return n;
    }

    std::uint32_t now = 1000;
    Journal journal;
    FakeScript script{&journal};
    TWindowManager manager;
    ProbeModal* root = nullptr;
    ProbeModal* dialog = nullptr;
};

// ---- TText ------------------------------------------------------------------------

TEST_F(WidgetTest, TextCreatesItsLayoutAndInvalidatesOnlyForAChangedText)
{
    TText* t = MakeText("t", "hello");
    EXPECT_EQ(t->GetWindowWidth(), 300);
    EXPECT_EQ(t->GetText(), str("hello"));
    t->ClearFlags(TWindow::kNeedsDraw);
    t->SetText("hello");
    EXPECT_FALSE(t->HasFlags(TWindow::kNeedsDraw));
    t->SetText("world");
    EXPECT_TRUE(t->HasFlags(TWindow::kNeedsDraw));
    EXPECT_EQ(t->GetText(), str("world"));

    TRect dirty{5, 5, 10, 10};
    EXPECT_TRUE(t->OnDirtyRect(&dirty));
    EXPECT_EQ(dirty, (TRect{0, 0, 300, 100}));
    EXPECT_FALSE(t->OnDirtyRect(nullptr));
}

TEST_F(WidgetTest, AZeroSizedTextHasNoLayoutAndIgnoresTextAndClicks)
{
    auto* t = new TText(false);
    dialog->AdoptChild(t, true);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(t->Create("x", 0, 10, 0, "", 16, kBlack));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("ASSERT(w) FAILED!!"), std::string::npos);
    t->SetText("y");
    EXPECT_EQ(t->GetText(), str(""));
    EXPECT_FALSE(t->OnMouseDown(TPoint{1, 1}));
    t->SetScroll(1, 0);
    t->Draw();
}

TEST_F(WidgetTest, ScrollingMovesTheFirstLineByWholeLines)
{
    TText* t = MakeText("t", "one<br>two<br>three<br>four<br>five<br>six", 300, 40);
    TTextGraphic* g = t->GetTextGraphic();
    ASSERT_NE(g, nullptr);
    const int max = g->GetMaxScroll(1.0f, 0);
    ASSERT_GT(max, 0);
    t->SetScroll(1, 0);
    EXPECT_EQ(g->mScrollLine, max);
    t->SetScroll(0.49f / max, 0);
    EXPECT_EQ(g->mScrollLine, 0);
    t->SetScroll(0, 0);
    EXPECT_EQ(g->mScrollLine, 0);
}

TEST_F(WidgetTest, ALinkPressesTheButtonItNamesOnlyWhenPressedAndReleasedOnIt)
{
    auto* ok = new TButton(TButton::kPush);
    ok->SetName("ok");
    Place(ok, 0, 200, 50, 230);
    dialog->AdoptChild(ok, true);
    auto* plain = MakeText("plain", "just text");
    plain->SetWindowPos(0, 250);
    TText* t = MakeText("t", "<a id=\"ok\">press</a> <a id=\"plain\">plain</a> <a id=\"nobody\">none</a>");
    const TTextLine& line = t->GetTextGraphic()->GetLines()[0];
    // The middle of the link run with that id.
    auto link = [&](const char* id) {
        for (const TTextRun& r : line.runs)
            if (r.linkId == str(id))
                return TPoint{static_cast<int>(line.x + line.xOffset) + (r.left + r.right) / 2, 8};
        ADD_FAILURE() << "no link " << id;
        return TPoint{-100, -100};
    };

    EXPECT_TRUE(t->OnMouseDown(link("ok")));
    EXPECT_TRUE(t->OnMouseUp(link("plain")));  // released on another link: nothing
    manager.DispatchMessages();
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "dialog: msg 3 'ok'"), 0);

    t->OnMouseDown(link("ok"));
    t->OnMouseUp(link("ok"));
    manager.DispatchMessages();
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "dialog: msg 3 'ok'"), 1);

    testing::internal::CaptureStderr();
    t->OnMouseDown(link("plain"));
    t->OnMouseUp(link("plain"));
    t->OnMouseDown(link("nobody"));
    t->OnMouseUp(link("nobody"));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("ERROR: Command window plain not a derived class of TButton"), std::string::npos);
    EXPECT_NE(log.find("ERROR: Command window nobody not found"), std::string::npos);
    EXPECT_FALSE(t->OnMouseUp(link("nobody")));  // the pressed link was cleared
}

// ---- TImage -----------------------------------------------------------------------

TEST_F(WidgetTest, AnImageTakesItsSizeFromTheTextureAndItsNameWhenItHasNone)
{
    std::shared_ptr<TTexture> texture = TTexture::Create(10, 7, false);
    ASSERT_TRUE(texture);
    TImage unnamed(true);
    unnamed.SetTexture(texture, 1.5f);
    EXPECT_EQ(unnamed.GetWindowWidth(), 15);
    EXPECT_EQ(unnamed.GetWindowHeight(), 11);
    EXPECT_EQ(unnamed.GetName(), texture->GetName());
    EXPECT_TRUE(unnamed.HasFlags(TWindow::kBackgroundLayer));

    TImage named(false);
    named.SetName("keep");
    named.SetTexture(texture, 1.0f);
    EXPECT_EQ(named.GetName(), str("keep"));
    EXPECT_FALSE(named.HasFlags(TWindow::kBackgroundLayer));

    named.SetTexture(nullptr, 2.0f);  // no texture: size unchanged, nothing drawn
    EXPECT_EQ(named.GetWindowWidth(), 10);
    named.Draw();
}

// ---- TTextEdit --------------------------------------------------------------------

TEST_F(WidgetTest, TypingInsertsUpToTheLimitAndPostsAChangeForEachAcceptedKey)
{
    TTextEdit* e = MakeEdit("name");
    manager.SetFocus(e);
    journal.clear();
    Type("abcdefghij");
    EXPECT_EQ(e->GetText(), str("abcdefghij"));
    EXPECT_EQ(ChangeMessages("name"), 10);
    Type("k");  // the eleventh is refused
    EXPECT_EQ(e->GetText(), str("abcdefghij"));
    EXPECT_EQ(ChangeMessages("name"), 0);

    e->SetText("");
    e->SetIgnoreChars("x");
    Type("axb");
    EXPECT_EQ(e->GetText(), str("ab"));
    EXPECT_EQ(ChangeMessages("name"), 3);  // the ignored key still reports a change

    Type("\x01\x7f");  // control characters are not typed
    EXPECT_EQ(e->GetText(), str("ab"));
    EXPECT_EQ(ChangeMessages("name"), 0);
}

TEST_F(WidgetTest, BackspaceAndCursorKeysEditAtTheCursor)
{
    TTextEdit* e = MakeEdit("name");
    manager.SetFocus(e);
    e->SetText("abc");
    EXPECT_EQ(e->GetCursor(), 3);
    Key(TEvent::kLeft);
    Key(TEvent::kLeft);
    EXPECT_EQ(e->GetCursor(), 1);
    Type("\b");
    EXPECT_EQ(e->GetText(), str("bc"));
    EXPECT_EQ(e->GetCursor(), 0);
    EXPECT_EQ(ChangeMessages("name"), 1);
    Type("\b");  // at the start: refused, no message
    EXPECT_EQ(e->GetText(), str("bc"));
    EXPECT_EQ(ChangeMessages("name"), 0);
    EXPECT_TRUE(e->OnKeyDown(TEvent::kLeft, 0));  // refused, still handled
    Type("X");
    EXPECT_EQ(e->GetText(), str("Xbc"));
    Key(TEvent::kRight);
    Key(TEvent::kRight);
    Key(TEvent::kRight);
    EXPECT_EQ(e->GetCursor(), 3);
    // Paste with an empty clipboard does nothing.
    EXPECT_FALSE(e->OnKeyDown('V', TEvent::kControlKey));
    EXPECT_FALSE(e->OnKeyDown('A', 0));
    EXPECT_EQ(e->GetText(), str("Xbc"));
}

TEST_F(WidgetTest, TheCursorMarkerBlinksOnlyInTheFocusedEditAndPasswordsShowStars)
{
    TTextEdit* e = MakeEdit("secret");
    e->SetPassword(true);
    e->SetText("abc");
    Key(TEvent::kLeft);  // no focus: keys do not reach it
    EXPECT_EQ(e->TText::GetText(), str("***"));
    manager.SetFocus(e);
    e->OnKeyDown(TEvent::kLeft, 0);
    e->OnKeyDown(TEvent::kLeft, 0);
    EXPECT_EQ(e->GetCursor(), 1);
    now += 500;  // 500 ms into the blink: the visible phase
    e->UpdateText();
    EXPECT_EQ(e->TText::GetText(), str("*<cursor>**"));
    EXPECT_EQ(e->GetText(), str("abc"));
    now += 400;  // 900 % 800 = 100: hidden
    e->UpdateText();
    EXPECT_EQ(e->TText::GetText(), str("***"));
}

TEST_F(WidgetTest, TabMovesTheFocusAroundTheRingInCreationOrder)
{
    auto* panel = new TWindow;
    Place(panel, 0, 0, 300, 300);
    dialog->AdoptChild(panel, true);
    TTextEdit* first = MakeEdit("first", panel);
    TTextEdit* second = MakeEdit("second", nullptr, 250);
    TTextEdit* third = MakeEdit("third", panel, 100);
    ASSERT_EQ(first->GetRing(), second->GetRing());
    ASSERT_EQ(first->GetRing(), third->GetRing());
    manager.SetFocus(first);
    Type("\t");
    EXPECT_EQ(manager.GetFocus(), second);

    Type("\t");
    EXPECT_EQ(manager.GetFocus(), third);
    Type("\t");
    EXPECT_EQ(manager.GetFocus(), first);

    panel->OrphanChild(third);
    delete third;
    EXPECT_EQ(first->GetRing()->size(), 2u);

    auto* other = new ProbeModal(&journal, "other");
    Place(other, 0, 0, 100, 100);
    manager.PushModal(other);
    TTextEdit* alone = MakeEdit("alone", other);
    manager.SetFocus(alone);
    Type("\t");
    EXPECT_EQ(manager.GetFocus(), alone);
    EXPECT_EQ(alone->GetRing()->size(), 1u);
}

}  // namespace
