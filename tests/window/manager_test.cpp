// The window manager's modal stack, message queue and late destruction.
#include "probes.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

namespace {

struct SelfDestroying : ProbeWindow {
    using ProbeWindow::ProbeWindow;
    bool* gone = nullptr;
    ~SelfDestroying() override { *gone = true; }
};

// Destroys another window when it gets a message.
struct DestroyOnMessage : TWindow {
    TWindowManager* manager = nullptr;
    TWindow* victim = nullptr;
    bool OnMessage(TMessage*) override
    {
        victim->GetParent()->OrphanChild(victim);
        manager->SafeDestroyWindow(victim);
        return true;
    }
};

class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        manager.SetExitHandler([this](int code) { exitCodes.push_back(code); });
        manager.AttachWindowScript(&script);
        root = NewModal("root");
        Place(root, 0, 0, 800, 600);
        manager.PushModal(root);
        journal.clear();
    }

    ProbeModal* NewModal(const char* name)
    {
        auto* w = new ProbeModal(&journal, name);
        w->noteFocus = false;
        return w;
    }

    ProbeWindow* Add(TWindow* parent, const char* name)
    {
        auto* w = new ProbeWindow(&journal, name);
        Place(w, 0, 0, 10, 10);
        parent->AdoptChild(w, false);
        return w;
    }

    void Idle()
    {
        TEvent e = Event(TEvent::kIdle);
        manager.HandleEvent(&e);
    }

    Journal journal;
    FakeScript script{&journal};
    TWindowManager manager;
    std::vector<int> exitCodes;
    ProbeModal* root = nullptr;
};

TEST_F(ManagerTest, PushedModalBecomesChildOfTheTopTakesTheFocusAndGetsItsParentsSize)
{
    ProbeModal* dialog = NewModal("dialog");
    manager.PushModal(dialog);
    EXPECT_EQ(manager.GetTopModalWindow(), dialog);
    EXPECT_EQ(dialog->GetParent(), root);
    EXPECT_EQ(manager.GetFocus(), dialog);
    EXPECT_EQ(dialog->GetRect(), (TRect{0, 0, 800, 600}));
    EXPECT_EQ(journal, (Journal{"script: new modal dialog"}));

    manager.PushModal(dialog);  // already there: refused
    EXPECT_EQ(manager.GetModalStack().size(), 2u);
}

TEST_F(ManagerTest, PopModalDestroysTheTopLateAndItsDestructorPostsModalClosed)
{
    ProbeModal* dialog = NewModal("dialog");
    Place(dialog, 100, 100, 200, 200);
    manager.PushModal(dialog);
    const std::string idText = dialog->GetIdText().c_str();
    manager.AdoptMessageListener(new ProbeListener(&journal, "listener", {}));
    journal.clear();

    manager.PopModal();
    EXPECT_EQ(manager.GetTopModalWindow(), root);
    EXPECT_EQ(manager.GetFocus(), root);
    EXPECT_EQ(dialog->GetParent(), nullptr);
    EXPECT_EQ(journal, (Journal{"script: new modal root"}));
    EXPECT_EQ(manager.GetQueuedMessageCount(), 0u);  // still alive

    journal.clear();
    Idle();  // deletes it, then dispatches kModalClosed: listener, focus (root), script
    EXPECT_EQ(journal, (Journal{"listener: msg 6 '" + idText + "'", "root: msg 6 '" + idText + "'",
                                "script: msg 6 '" + idText + "'"}));
}

TEST_F(ManagerTest, PoppingTheRootOrAnEmptyStackIsRefused)
{
    manager.PopModal();
    EXPECT_EQ(manager.GetTopModalWindow(), root);
    manager.PopModal();
    EXPECT_EQ(manager.GetModalStack().size(), 1u);
    Idle();  // still routes and draws
}

TEST_F(ManagerTest, CloseRequestCarryingTheModalsIdClosesIt)
{
    ProbeModal* dialog = NewModal("dialog");
    manager.PushModal(dialog);
    ProbeWindow* button = Add(dialog, "button");
    manager.PostWindowMessage(new TMessage(kCloseWindow, dialog->GetIdText(), button));
    manager.DispatchMessages();
    EXPECT_EQ(manager.GetTopModalWindow(), root);

    // A name that is not the id text is consumed and closes nothing.
    ProbeModal* other = NewModal("other");
    manager.PushModal(other);
    manager.PostWindowMessage(new TMessage(kCloseWindow, "other", other));
    manager.DispatchMessages();
    EXPECT_EQ(manager.GetTopModalWindow(), other);
    EXPECT_EQ(journal.back(), "other: msg 1 'other'");
}

TEST_F(ManagerTest, CloseRequestReachingALowerModalPopsTheTopOne)
{
    ProbeModal* lower = NewModal("lower");
    manager.PushModal(lower);
    ProbeModal* upper = NewModal("upper");
    manager.PushModal(upper);
    manager.PostWindowMessage(new TMessage(kCloseWindow, lower->GetIdText(), lower));
    manager.DispatchMessages();
    EXPECT_EQ(manager.GetTopModalWindow(), lower);
}

TEST_F(ManagerTest, UndirectedMessagesGoToListenersInOrderThenFocusThenTopModal)
{
    manager.AdoptMessageListener(new ProbeListener(&journal, "first", {}));
    auto* second = new ProbeListener(&journal, "second", {kButtonPress});
    manager.AdoptMessageListener(second);
    ProbeWindow* focus = Add(root, "focus");
    manager.SetFocus(focus);

    manager.PostWindowMessage(new TMessage(kButtonPress, "a", nullptr));
    manager.PostWindowMessage(new TMessage(kSliderMoved, "b", nullptr));
    manager.PostWindowMessage(new TMessage(kSliderMoved, "c", focus));  // directed: no listener sees it
    manager.DispatchMessages();
    EXPECT_EQ(journal, (Journal{"first: msg 3 'a'", "second: msg 3 'a'",
                                "first: msg 901 'b'", "second: msg 901 'b'", "focus: msg 901 'b'", "root: msg 901 'b'",
                                "script: msg 901 'b'",
                                "focus: msg 901 'c'", "root: msg 901 'c'", "script: msg 901 'c'"}));

    journal.clear();
    EXPECT_TRUE(manager.OrphanMessageListener(second));
    EXPECT_FALSE(manager.OrphanMessageListener(second));
    delete second;
    manager.SetFocus(nullptr);
    manager.PostWindowMessage(new TMessage(kButtonPress, "d", nullptr));
    manager.DispatchMessages();
    EXPECT_EQ(journal, (Journal{"first: msg 3 'd'", "root: msg 3 'd'", "script: msg 3 'd'"}));
}

TEST_F(ManagerTest, AListenerAdoptedTwiceIsHeldAndAskedOnce)
{
    auto* listener = new ProbeListener(&journal, "listener", {});
    manager.AdoptMessageListener(listener);
    manager.AdoptMessageListener(listener);
    manager.PostWindowMessage(new TMessage(kButtonPress, "a", nullptr));
    manager.DispatchMessages();
    EXPECT_EQ(journal, (Journal{"listener: msg 3 'a'", "root: msg 3 'a'", "script: msg 3 'a'"}));
    // Held once: the manager deletes it once.
}

TEST_F(ManagerTest, MessagesPostedWhileDispatchingAreDispatchedInTheSameCall)
{
    ProbeWindow* w = Add(root, "w");
    struct Chain : TMessageListener {
        TWindowManager* manager;
        bool OnMessage(TMessage* m) override
        {
            if (m->GetType() == kButtonPress)
                manager->PostWindowMessage(new TMessage(kTextChanged, "next", nullptr));
            return false;
        }
    };
    auto* chain = new Chain;
    chain->manager = &manager;
    manager.AdoptMessageListener(chain);
    w->handlesMessages = {kButtonPress, kTextChanged};
    manager.SetFocus(w);
    manager.PostWindowMessage(new TMessage(kButtonPress, "first", nullptr));
    manager.DispatchMessages();
    EXPECT_EQ(journal, (Journal{"w: msg 3 'first'", "w: msg 7 'next'"}));
    EXPECT_EQ(manager.GetQueuedMessageCount(), 0u);
}

TEST_F(ManagerTest, MessageClimbsToTheModalThenItsDefaultFocusThenTheScript)
{
    ProbeWindow* panel = Add(root, "panel");
    ProbeWindow* leaf = Add(panel, "leaf");
    ProbeWindow* keeper = Add(root, "keeper");
    root->SetDefaultFocus(keeper);
    keeper->handlesMessages = {kButtonPress};
    journal.clear();
    leaf->SendWindowMessage(new TMessage(kButtonPress, "x", nullptr));
    leaf->SendWindowMessage(new TMessage(kSliderMoved, "y", nullptr));
    EXPECT_EQ(journal, (Journal{"leaf: msg 3 'x'", "panel: msg 3 'x'", "root: msg 3 'x'", "keeper: msg 3 'x'",
                                "leaf: msg 901 'y'", "panel: msg 901 'y'", "root: msg 901 'y'", "keeper: msg 901 'y'",
                                "script: msg 901 'y'"}));

    // Outside any modal window a message is dropped.
    TWindow loose;
    loose.SendWindowMessage(new TMessage(kButtonPress, "z", nullptr));
}

TEST_F(ManagerTest, SafeDestroyWindowStripsTheTargetFromQueuedMessages)
{
    manager.AdoptMessageListener(new ProbeListener(&journal, "listener", {kButtonPress}));
    ProbeWindow* panel = Add(root, "panel");
    ProbeWindow* child = Add(panel, "child");
    ProbeWindow* survivor = Add(root, "survivor");
    survivor->handlesMessages = {kButtonPress};
    manager.PostWindowMessage(new TMessage(kButtonPress, "to child", child));
    manager.PostWindowMessage(new TMessage(kButtonPress, "to panel", panel));
    manager.PostWindowMessage(new TMessage(kButtonPress, "to survivor", survivor));

    root->OrphanChild(panel);
    manager.SafeDestroyWindow(panel);
    manager.DispatchMessages();
    EXPECT_EQ(journal, (Journal{"listener: msg 3 'to child'", "listener: msg 3 'to panel'", "survivor: msg 3 'to survivor'"}));
}

TEST_F(ManagerTest, WindowDestroyedDuringItsOwnHandlerLivesUntilTheNextEvent)
{
    manager.AdoptMessageListener(new ProbeListener(&journal, "listener", {kButtonPress}));
    bool gone = false;
    auto* w = new SelfDestroying(&journal, "w");
    w->gone = &gone;
    Place(w, 0, 0, 100, 100);
    root->AdoptChild(w, false);
    w->handles = {TEvent::kMouseDown};
    w->onEvent = [&] {
        manager.PostWindowMessage(new TMessage(kButtonPress, "for w", w));
        w->GetParent()->OrphanChild(w);
        manager.SafeDestroyWindow(w);
        manager.SafeDestroyWindow(w);  // twice: still deleted once
        EXPECT_FALSE(gone);
    };
    TEvent down = Event(TEvent::kMouseDown, 10, 10);
    manager.HandleEvent(&down);
    EXPECT_FALSE(gone);
    EXPECT_EQ(journal.back(), "listener: msg 3 'for w'");
    Idle();
    EXPECT_TRUE(gone);
}

TEST_F(ManagerTest, WindowsHandedOverAreDeletedOnceWhateverHappensToThemMeanwhile)
{
    ProbeWindow* outer = Add(root, "outer");
    ProbeWindow* inner = Add(root, "inner");
    manager.SafeDestroyWindow(outer);  // not orphaned first: the manager does it
    manager.SafeDestroyWindow(inner);
    EXPECT_TRUE(root->GetChildren().empty());
    outer->AdoptChild(inner, false);  // a caller error, but no double delete
    Idle();
    ProbeWindow* again = Add(root, "again");
    manager.SafeDestroyWindow(again);
    root->AdoptChild(again, false);  // adopted back: it lives on in the tree
    Idle();
    EXPECT_EQ(root->GetChildren().front(), again);
}

TEST_F(ManagerTest, DestroyingAModalOnTheStackTakesItOffTheStack)
{
    ProbeModal* dialog = NewModal("dialog");
    manager.PushModal(dialog);
    ProbeModal* top = NewModal("top");
    manager.PushModal(top);
    root->OrphanChild(dialog);
    manager.SafeDestroyWindow(dialog);  // and the modal above it, which it contains
    EXPECT_EQ(manager.GetTopModalWindow(), root);
    EXPECT_EQ(manager.GetModalStack().size(), 1u);
    EXPECT_EQ(manager.GetFocus(), root);
    Idle();
    EXPECT_EQ(manager.GetModalStack().size(), 1u);
}

TEST_F(ManagerTest, DestroyedWindowLosesFocusCaptureAndDefaultFocus)
{
    ProbeWindow* w = Add(root, "w");
    root->SetDefaultFocus(w);
    manager.SetFocus(w);
    manager.SetCapture(w);
    root->OrphanChild(w);
    manager.SafeDestroyWindow(w);
    EXPECT_TRUE(manager.GetCaptures().empty());
    EXPECT_EQ(manager.GetFocus(), nullptr);
    Idle();
    EXPECT_EQ(root->GetDefaultFocus(), nullptr);
}

TEST_F(ManagerTest, ATaskMayPopTheModalWhoseListIsRunning)
{
    struct Closer : TTask {
        TWindowManager* manager;
        bool DoTask() override
        {
            manager->PopModal();
            return true;
        }
    };
    ProbeModal* dialog = NewModal("dialog");
    manager.PushModal(dialog);
    auto* closer = new Closer;
    closer->manager = &manager;
    dialog->AdoptTask(closer);
    Idle();
    EXPECT_EQ(manager.GetTopModalWindow(), root);
    Idle();  // deletes the dialog and its task list
    EXPECT_EQ(manager.GetTopModalWindow(), root);
}

TEST_F(ManagerTest, AHandlerMayDestroyTheTargetOfALaterQueuedMessage)
{
    manager.AdoptMessageListener(new ProbeListener(&journal, "listener", {kSliderMoved}));
    ProbeWindow* victim = Add(root, "victim");
    victim->handlesMessages = {kSliderMoved};
    auto* destroyer = new DestroyOnMessage;
    destroyer->manager = &manager;
    destroyer->victim = victim;
    root->AdoptChild(destroyer, false);
    manager.PostWindowMessage(new TMessage(kButtonPress, "one", destroyer));
    manager.PostWindowMessage(new TMessage(kSliderMoved, "two", victim));
    journal.clear();
    manager.DispatchMessages();
    EXPECT_EQ(journal, (Journal{"listener: msg 901 'two'"}));
}

TEST_F(ManagerTest, CapturedWindowDestroyedDuringTheCaptureLoopIsSkipped)
{
    ProbeWindow* first = Add(root, "first");
    ProbeWindow* second = Add(root, "second");
    manager.SetCapture(second);
    manager.SetCapture(first);
    first->handles = {TEvent::kMouseMove};
    first->onEvent = [&] {
        root->OrphanChild(second);
        manager.SafeDestroyWindow(second);
    };
    TEvent move = Event(TEvent::kMouseMove, 5, 5);
    manager.HandleEvent(&move);
    EXPECT_EQ(journal, (Journal{"first: move 5,5"}));
    Idle();
}

TEST_F(ManagerTest, QuitMessageReachesTheExitHook)
{
    manager.PostWindowMessage(new TMessage(kQuitNow, "bye", nullptr));
    Idle();
    EXPECT_EQ(exitCodes, (std::vector<int>{0}));
}

TEST_F(ManagerTest, FactoriesAreOwnedAndReplacedByName)
{
    // The count outlives the test body: the manager deletes the last
    // factory when the fixture ends.
    struct Factory : TWindowFactory {
        std::shared_ptr<int> deleted;
        explicit Factory(std::shared_ptr<int> d) : deleted(std::move(d)) {}
        ~Factory() override { ++*deleted; }
        TWindow* Create(TWindowStyle*) override { return new TWindow; }
    };
    auto deleted = std::make_shared<int>(0);
    auto* first = new Factory(deleted);
    manager.AdoptWindowFactory("_thing", first);
    EXPECT_EQ(manager.GetWindowFactory("_thing"), first);
    manager.AdoptWindowFactory("_thing", new Factory(deleted));
    EXPECT_EQ(*deleted, 1);
    EXPECT_EQ(manager.GetWindowFactory("_other"), nullptr);
}

TEST_F(ManagerTest, ScriptSeamRunsScriptsWithTheWindowPushed)
{
    EXPECT_TRUE(manager.RunScript(root, "scripts/mainloop.lua"));
    manager.AddWindowType("Thing", TWindow::ClassId());
    EXPECT_EQ(journal, (Journal{"script: push root", "script: run scripts/mainloop.lua", "script: pop", "script: type Thing"}));
    EXPECT_FALSE(manager.EnableStringTable(true));
    EXPECT_TRUE(manager.EnableStringTable(false));
}

}  // namespace
