// Modal windows (Enter and the default button, default focus, tasks and
// window animations) and layered windows.
#include "probes.h"

#include "engine/base/timesource.h"

#include <gtest/gtest.h>

namespace {

// A minimal default button: what the widgets' button offers to Enter.
class FakeButton : public TWindow, public IDefaultButton {
public:
    FakeButton(Journal* journal, const char* name, bool isDefault, bool acts)
        : mJournal(journal), mDefault(isDefault), mActs(acts)
    {
        SetName(name);
    }
    bool IsDefaultButton() const override { return mDefault; }
    bool DoCommand() override
    {
        mJournal->push_back(std::string(GetName().c_str()) + ": pressed");
        return mActs;
    }

private:
    Journal* mJournal;
    bool mDefault;
    bool mActs;
};

// Animates three times, then ends its animation.
struct Ticker : ProbeWindow {
    using ProbeWindow::ProbeWindow;
    int ticks = 0;
    bool OnTaskAnimate() override { return ++ticks < 3; }
};

class ModalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        manager.AttachWindowScript(&script);
        root = PushProbeModal(manager, &journal, "root", 0, 0, 800, 600);
        dialog = PushProbeModal(manager, &journal, "dialog", 100, 100, 500, 400);
        journal.clear();
    }

    void Key(int type, char c)
    {
        TEvent e = Event(type, 0, 0, c);
        manager.HandleEvent(&e);
    }

    Journal journal;
    FakeScript script{&journal};
    TWindowManager manager;
    ProbeModal* root = nullptr;
    ProbeModal* dialog = nullptr;
};

TEST_F(ModalTest, EnterPressesTheVisibleDefaultButton)
{
    auto* panel = new TWindow;
    dialog->AdoptChild(panel, false);
    panel->AdoptChild(new FakeButton(&journal, "cancel", false, true), false);
    panel->AdoptChild(new FakeButton(&journal, "ok", true, true), false);
    Key(TEvent::kChar, TEvent::kEnter);
    EXPECT_EQ(journal, (Journal{"dialog: char \r", "ok: pressed"}));
}

TEST_F(ModalTest, EnterWithoutAVisibleDefaultButtonSendsDefaultActionToTheFocus)
{
    auto* hidden = new FakeButton(&journal, "ok", true, true);
    dialog->AdoptChild(hidden, false);
    hidden->ClearFlags(TWindow::kVisible);
    auto* edit = new ProbeWindow(&journal, "edit");
    edit->noteFocus = false;
    dialog->AdoptChild(edit, false);
    manager.SetFocus(edit);
    Key(TEvent::kChar, TEvent::kEnter);
    // The Enter itself climbs from the focus to the modal, which turns it
    // into the default action and sends that to the focus.
    EXPECT_EQ(journal, (Journal{"edit: char \r", "dialog: char \r", "edit: msg 2 ''", "dialog: msg 2 ''",
                                "script: msg 2 ''"}));
}

TEST_F(ModalTest, DefaultButtonThatDoesNothingFallsBackToDefaultAction)
{
    dialog->AdoptChild(new FakeButton(&journal, "ok", true, false), false);
    Key(TEvent::kChar, TEvent::kEnter);
    EXPECT_EQ(journal, (Journal{"dialog: char \r", "ok: pressed", "dialog: msg 2 ''", "script: msg 2 ''"}));
}

TEST_F(ModalTest, OtherCharactersAreNotHandledByTheModal)
{
    EXPECT_FALSE(static_cast<TModalWindow*>(dialog)->TModalWindow::OnChar('x'));
}

TEST_F(ModalTest, DefaultFocusTakesTheFocusWhenTheModalHasIt)
{
    auto* edit = new ProbeWindow(&journal, "edit");
    dialog->AdoptChild(edit, false);
    ASSERT_EQ(manager.GetFocus(), dialog);
    dialog->SetDefaultFocus(edit);
    EXPECT_EQ(manager.GetFocus(), edit);
    EXPECT_EQ(journal, (Journal{"edit: focus from dialog"}));

    // Pushing another modal and popping it gives the focus back through the modal.
    auto* top = new ProbeModal(&journal, "top");
    top->noteFocus = false;
    manager.PushModal(top);
    EXPECT_EQ(manager.GetFocus(), top);
    journal.clear();
    manager.PopModal();
    EXPECT_EQ(manager.GetFocus(), edit);
    EXPECT_EQ(journal, (Journal{"script: new modal dialog", "edit: focus from dialog"}));
}

TEST_F(ModalTest, TasksAndWindowAnimationsRunOnlyWhileTheModalIsOnTop)
{
    std::uint32_t now = 1000;
    qm::SetTimeSource([&now] { return now; });
    auto* ticker = new Ticker(&journal, "ticker");
    dialog->AdoptChild(ticker, false);
    ticker->StartWindowAnimation(100, true, false, false);
    EXPECT_EQ(dialog->GetTaskList()->Count(), 1);

    TEvent idle = Event(TEvent::kIdle);
    now += 100;
    manager.HandleEvent(&idle);
    EXPECT_EQ(ticker->ticks, 1);

    auto* top = new ProbeModal(&journal, "top");
    manager.PushModal(top);
    now += 100;
    manager.HandleEvent(&idle);
    EXPECT_EQ(ticker->ticks, 1);  // the dialog is not on top

    manager.PopModal();
    manager.HandleEvent(&idle);
    now += 100;
    manager.HandleEvent(&idle);
    EXPECT_EQ(ticker->ticks, 3);  // the third tick ends the animation
    EXPECT_EQ(dialog->GetTaskList()->Count(), 0);

    // A new animation after the old one ended, then the window goes first.
    ticker->StartWindowAnimation(100, true, false, false);
    dialog->OrphanChild(ticker);
    manager.SafeDestroyWindow(ticker);
    now += 100;
    manager.HandleEvent(&idle);  // deletes the window; its task ends quietly
    manager.HandleEvent(&idle);
    EXPECT_EQ(dialog->GetTaskList()->Count(), 0);
    qm::SetTimeSource({});
}

TEST(WindowAnimTest, AnimationOutsideAModalIsLoggedAndNotLost)
{
    TWindowManager manager;
    TWindow loose;
    testing::internal::CaptureStderr();
    loose.StartWindowAnimation(100, true, false, false);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("outside of the hierarchy"), std::string::npos);
    EXPECT_NE(loose.GetWindowAnim(), nullptr);  // kept by the window, freed with it
}

TEST(LayeredWindowTest, LayersShowTheirOwnChildrenOnly)
{
    Journal journal;
    TWindowManager manager;
    TLayeredWindow layered(3);
    auto* always = new TWindow;
    auto* a = new TWindow;
    auto* b = new TWindow;
    auto* stray = new TWindow;
    layered.SetCurrentLayer(-1);
    layered.AdoptChild(always, false);
    layered.SetCurrentLayer(0);
    layered.AdoptChild(a, false);
    layered.SetCurrentLayer(1);
    layered.AdoptChild(b, false);
    // A child that belongs to no layer is hidden by the next change of layer.
    static_cast<TWindow&>(layered).TWindow::AdoptChild(stray, false);

    layered.SetCurrentLayer(0);
    EXPECT_TRUE(always->IsVisible());
    EXPECT_TRUE(a->IsVisible());
    EXPECT_FALSE(b->IsVisible());
    EXPECT_FALSE(stray->IsVisible());

    // The current layer again leaves visibility alone.
    b->AddFlags(TWindow::kVisible);
    layered.SetCurrentLayer(0);
    EXPECT_TRUE(b->IsVisible());

    layered.SetCurrentLayer(2);
    EXPECT_TRUE(always->IsVisible());
    EXPECT_FALSE(a->IsVisible());

    // Out of range: logged and ignored instead of indexing past the layers.
    layered.SetCurrentLayer(3);
    layered.SetCurrentLayer(-2);
    EXPECT_EQ(layered.GetCurrentLayer(), 2);

    layered.OrphanChild(a);
    layered.SetCurrentLayer(0);
    EXPECT_FALSE(a->IsVisible());
    delete a;
}

TEST(LayeredWindowTest, AChildAdoptedTwiceLeavesNoLayerEntryWhenOrphaned)
{
    TWindowManager manager;
    TLayeredWindow layered(2);
    auto* twice = new TWindow;
    layered.AdoptChild(twice, false);
    layered.AdoptChild(twice, false);
    layered.OrphanChild(twice);
    delete twice;
    // Showing the layer must not reach the deleted window.
    layered.SetCurrentLayer(1);
    layered.SetCurrentLayer(0);
    EXPECT_TRUE(layered.GetChildren().empty());
}

}  // namespace
