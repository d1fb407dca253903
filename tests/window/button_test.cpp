// Buttons driven through the window manager with synthetic mouse events:
// looks per mouse state, the messages a click posts, toggles and radio
// groups, click masks, close and default buttons, commands that change the
// modal stack, and labels.
#include "probes.h"

#include "engine/render/texture.h"
#include "engine/window/button.h"
#include "engine/window/text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

// Records what the command saw; may push a modal window.
class RecordingAction : public TButton::Action {
public:
    RecordingAction(Journal* journal, std::function<void()> also = {}) : mJournal(journal), mAlso(std::move(also)) {}
    bool DoAction(TButton* b) override
    {
        mJournal->push_back(std::string("command ") + b->GetName().c_str());
        if (mAlso)
            mAlso();
        return true;
    }

private:
    Journal* mJournal;
    std::function<void()> mAlso;
};

class ButtonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        manager.AttachWindowScript(&script);
        root = PushProbeModal(manager, &journal, "root", 0, 0, 800, 600);
        dialog = PushProbeModal(manager, &journal, "dialog", 100, 100, 500, 400);
        manager.AdoptMessageListener(new ProbeListener(&journal, "listener", {}));
        journal.clear();
    }

    // A button at (x, y) of the dialog, 100 x 30.
    TButton* Make(const char* name, TButton::EButtonType type, int x = 10, int y = 10, TWindow* parent = nullptr)
    {
        auto* b = new TButton(type);
        b->SetName(name);
        Place(b, x, y, x + 100, y + 30);
        (parent ? parent : dialog)->AdoptChild(b, true);
        return b;
    }
    // Mouse events in dialog client coordinates.
    void Mouse(int type, int x, int y)
    {
        TEvent e = Event(type, x + 100, y + 100);
        manager.HandleEvent(&e);
    }
    void Click(int x, int y)
    {
        Mouse(TEvent::kMouseMove, x, y);
        Mouse(TEvent::kMouseDown, x, y);
        Mouse(TEvent::kMouseUp, x, y);
    }
    // The messages windows and the script received since the last call;
    // the manager dispatches some of them while it handles an event.
    Journal Messages()
    {
        manager.DispatchMessages();
        Journal messages;
        for (const std::string& line : journal)
            if (line.find(": msg ") != std::string::npos)
                messages.push_back(line);
        journal.clear();
        return messages;
    }
    bool Captured(TWindow* w)
    {
        for (TWindow* c : manager.GetCaptures())
            if (c == w)
                return true;
        return false;
    }

    Journal journal;
    FakeScript script{&journal};
    TWindowManager manager;
    ProbeModal* root = nullptr;
    ProbeModal* dialog = nullptr;
};

TEST_F(ButtonTest, APushButtonShowsALookPerMouseStateAndPostsItsPressToItsParent)
{
    TButton* ok = Make("ok", TButton::kPush);
    EXPECT_EQ(ok->GetCurrentLayer(), 0);
    Mouse(TEvent::kMouseMove, 20, 20);
    EXPECT_EQ(ok->GetCurrentLayer(), 2);
    EXPECT_TRUE(Captured(ok));
    Mouse(TEvent::kMouseDown, 20, 20);
    EXPECT_EQ(ok->GetCurrentLayer(), 1);
    Mouse(TEvent::kMouseUp, 20, 20);
    EXPECT_EQ(ok->GetCurrentLayer(), 2);
    // Nobody in the tree handles it, so it goes on to the script.
    EXPECT_EQ(Messages(), (Journal{"dialog: msg 3 'ok'", "script: msg 3 'ok'"}));

    Mouse(TEvent::kMouseMove, 300, 200);
    EXPECT_EQ(ok->GetCurrentLayer(), 0);
    EXPECT_FALSE(Captured(ok));
    EXPECT_EQ(ok->GetState(), TButton::kNormal);
}

TEST_F(ButtonTest, AReleaseWithoutAPressRunsNoCommandAndAPressOutsideTheButtonIsForgotten)
{
    TButton* ok = Make("ok", TButton::kPush);
    ok->SetCommand(new RecordingAction(&journal));
    Mouse(TEvent::kMouseMove, 20, 20);
    Mouse(TEvent::kMouseUp, 20, 20);  // rollover, never pressed
    EXPECT_EQ(Messages(), Journal{});
    EXPECT_EQ(ok->GetCurrentLayer(), 2);
}

TEST_F(ButtonTest, TheRightAndBottomEdgesAreInside)
{
    TButton* ok = Make("ok", TButton::kPush);
    EXPECT_FALSE(ok->ReleaseCapture(TPoint{100, 30}));
    EXPECT_TRUE(ok->ReleaseCapture(TPoint{101, 30}));
    EXPECT_TRUE(ok->ReleaseCapture(TPoint{100, 31}));
    EXPECT_TRUE(ok->ReleaseCapture(TPoint{-1, 0}));
}

TEST_F(ButtonTest, AToggleFlipsOnEachClickAndShowsTheOppositeLookWhilePressed)
{
    TButton* t = Make("t", TButton::kToggle);
    t->SetOn(true);
    EXPECT_EQ(t->GetCurrentLayer(), 1);
    Mouse(TEvent::kMouseMove, 20, 20);
    EXPECT_EQ(t->GetCurrentLayer(), 3);
    Mouse(TEvent::kMouseDown, 20, 20);
    EXPECT_EQ(t->GetCurrentLayer(), 0);
    Mouse(TEvent::kMouseUp, 20, 20);
    EXPECT_FALSE(t->IsOn());
    EXPECT_EQ(t->GetCurrentLayer(), 2);
    Click(20, 20);
    EXPECT_TRUE(t->IsOn());
    EXPECT_EQ(t->GetCurrentLayer(), 3);
}

TEST_F(ButtonTest, ARadioClickTurnsOffItsGroupOnly)
{
    auto* panel = new TWindow;
    Place(panel, 0, 0, 400, 300);
    dialog->AdoptChild(panel, true);
    // Oldest first: a begins the group, d begins the next one.
    TButton* outside = Make("outside", TButton::kRadio, 0, 200, panel);
    TButton* a = Make("a", TButton::kRadio, 0, 0, panel);
    a->AddFlags(1);
    TButton* b = Make("b", TButton::kRadio, 0, 40, panel);
    TButton* c = Make("c", TButton::kRadio, 0, 80, panel);
    TButton* d = Make("d", TButton::kRadio, 200, 0, panel);
    d->AddFlags(1);
    TButton* e = Make("e", TButton::kRadio, 200, 40, panel);
    outside->SetOn(true);
    b->SetOn(true);
    a->SetOn(true);  // turns b off
    e->SetOn(true);
    EXPECT_FALSE(b->IsOn());

    Click(20, 90);  // c
    EXPECT_TRUE(c->IsOn());
    EXPECT_FALSE(a->IsOn());
    EXPECT_FALSE(b->IsOn());
    EXPECT_TRUE(outside->IsOn());
    EXPECT_TRUE(e->IsOn());
    EXPECT_EQ(c->GetCurrentLayer(), 3);
    EXPECT_EQ(a->GetCurrentLayer(), 0);

    // e and d share a group: turning e on turns d off, not c.
    d->SetOn(true);
    Click(220, 50);
    EXPECT_TRUE(e->IsOn());
    EXPECT_FALSE(d->IsOn());
    EXPECT_TRUE(c->IsOn());
}

TEST_F(ButtonTest, WithoutAGroupStartNoSiblingIsTurnedOff)
{
    TButton* x = Make("x", TButton::kRadio, 0, 0);
    TButton* y = Make("y", TButton::kRadio, 0, 40);
    x->SetOn(true);
    y->SetOn(true);
    EXPECT_TRUE(x->IsOn());
    EXPECT_TRUE(y->IsOn());
}

TEST_F(ButtonTest, OnlyPixelsBrighterThan19AnswerTheMouseWithAMask)
{
    TButton* ok = Make("ok", TButton::kPush);
    // 2 x 1 mask: left pixel (19, 19, 19), right pixel (19, 20, 19).
    std::shared_ptr<TTexture> mask = TTexture::Create(2, 1, true);
    ASSERT_TRUE(mask);
    unsigned char* pixels = nullptr;
    int w = 0, h = 0, pitch = 0;
    ASSERT_TRUE(mask->Lock(&pixels, &w, &h, &pitch));
    const unsigned char dark[4] = {19, 19, 19, 255}, light[4] = {19, 20, 19, 0};
    std::memcpy(pixels, dark, 4);
    std::memcpy(pixels + 4, light, 4);
    mask->Unlock();
    ok->SetClickMask(mask);

    EXPECT_TRUE(ok->ReleaseCapture(TPoint{10, 10}));   // left half: dark
    EXPECT_FALSE(ok->ReleaseCapture(TPoint{60, 10}));  // right half: light, alpha ignored
    Mouse(TEvent::kMouseMove, 20, 20);
    Mouse(TEvent::kMouseDown, 20, 20);
    EXPECT_EQ(ok->GetState(), TButton::kNormal);  // a press on the dark part springs back

    ok->SetClickMask(nullptr);  // nothing to lock: the mask stays
    EXPECT_TRUE(ok->ReleaseCapture(TPoint{10, 10}));
}

TEST_F(ButtonTest, ACloseButtonPostsTheCloseOfItsModalThenItsPressAndLeavesItsName)
{
    TButton* close = Make("cancel", TButton::kPush);
    close->AddFlags(4);
    const std::string id = FormatWindowId(dialog->GetId()).c_str();
    Click(20, 20);
    EXPECT_NE(std::find(journal.begin(), journal.end(), "script: global gReturnValue = cancel"), journal.end());
    const Journal messages = Messages();
    ASSERT_GE(messages.size(), 2u);
    EXPECT_EQ(messages[0], "listener: msg 1 '" + id + "'");
    // The close came first and destroyed the dialog: its press arrives undirected.
    EXPECT_NE(std::find(messages.begin(), messages.end(), "listener: msg 3 'cancel'"), messages.end());
    EXPECT_EQ(FormatWindowId(dialog->GetId()).length(), 8);
}

TEST_F(ButtonTest, ACommandRunsAndAPressToTheParentGoesBelowTheTopModal)
{
    TButton* ok = Make("ok", TButton::kPush);
    ok->SetCommand(new RecordingAction(&journal));
    ok->AddFlags(2);
    Click(20, 20);
    EXPECT_EQ(journal.back(), "command ok");
    // Sent below the top modal: to the dialog's parent, not to the dialog.
    EXPECT_EQ(Messages(), (Journal{"root: msg 3 'ok'", "script: msg 3 'ok'"}));
}

TEST_F(ButtonTest, ACommandThatOpensAModalSwallowsThePressAndTouchesTheButtonNoFurther)
{
    TButton* ok = Make("ok", TButton::kPush);
    ok->SetCommand(new RecordingAction(&journal, [this] {
        auto* next = new ProbeModal(&journal, "next");
        next->noteFocus = false;
        manager.PushModal(next);
    }));
    Click(20, 20);
    EXPECT_EQ(Messages(), Journal{});
    // Pushing the modal made the captured button leave (normal look); the
    // click did not go on to the rollover look.
    EXPECT_EQ(ok->GetState(), TButton::kNormal);
    EXPECT_EQ(ok->GetCurrentLayer(), 0);

    // With send-to-parent the press is still posted, to the window below the
    // modal that was on top when the button was pressed.
    TButton* other = Make("other", TButton::kPush, 10, 10, manager.GetTopModalWindow());
    other->AddFlags(2);
    other->SetCommand(new RecordingAction(&journal, [this] { manager.PopModal(); }));
    Messages();
    other->DoCommand();
    EXPECT_EQ(Messages(), (Journal{"dialog: msg 3 'other'", "script: msg 3 'other'"}));
}

TEST_F(ButtonTest, EnterPressesTheVisibleDefaultButton)
{
    TButton* ok = Make("ok", TButton::kPush);
    ok->AddFlags(8);
    TButton* hidden = Make("hidden", TButton::kPush, 10, 100);
    hidden->AddFlags(8);
    hidden->ClearFlags(TWindow::kVisible);
    manager.SetFocus(dialog);
    TEvent e = Event(TEvent::kChar, 0, 0, TEvent::kEnter);
    manager.HandleEvent(&e);
    const Journal messages = Messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), "dialog: msg 3 'ok'"), messages.end());
    EXPECT_EQ(std::find(messages.begin(), messages.end(), "dialog: msg 3 'hidden'"), messages.end());
}

TEST_F(ButtonTest, ADestroyedButtonLeavesTheCaptureList)
{
    TButton* ok = Make("ok", TButton::kPush);
    Mouse(TEvent::kMouseMove, 20, 20);
    ASSERT_TRUE(Captured(ok));
    dialog->OrphanChild(ok);
    manager.SafeDestroyWindow(ok);
    manager.ClearDestroyedWindows();
    EXPECT_TRUE(manager.GetCaptures().empty());
}

TEST_F(ButtonTest, TheLabelIsTheTextOfTheChildNamedLabel)
{
    TButton* ok = Make("ok", TButton::kPush);
    EXPECT_EQ(ok->GetLabel(), str(""));
    ok->SetLabel("ignored");  // no label child: nothing happens
    auto* plain = new TWindow;
    plain->SetName("label");
    ok->AdoptChild(plain, true);
    EXPECT_EQ(ok->GetLabel(), str(""));

    TButton* other = Make("other", TButton::kPush, 10, 100);
    auto* label = new TText(false);
    label->SetName("label");
    other->AdoptChild(label, true);
    ASSERT_TRUE(label->Create("OK", 100, 30, 0, "", 16, TColor{0, 0, 0, 1}));
    EXPECT_EQ(other->GetLabel(), str("OK"));
    other->SetLabel("Fine");
    EXPECT_EQ(label->GetText(), str("Fine"));
}

}  // namespace
