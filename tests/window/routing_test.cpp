// Input through TWindowManager::HandleEvent: hit-testing, focus on click,
// bubbling to overlapped siblings and parents, "press any key" at the first
// modal window, keys to the focus, and mouse capture.
#include "probes.h"

#include <gtest/gtest.h>

namespace {

class RoutingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = PushProbeModal(manager, &journal, "root", 0, 0, 800, 600);
        manager.AdoptMessageListener(new ProbeListener(&journal, "listener", {kPressAnyKey}));
        journal.clear();
    }

    ProbeWindow* Add(TWindow* parent, const char* name, int x1, int y1, int x2, int y2)
    {
        auto* w = new ProbeWindow(&journal, name);
        Place(w, x1, y1, x2, y2);
        parent->AdoptChild(w, false);
        return w;
    }

    void Send(int type, int x = 0, int y = 0, int param = 0)
    {
        TEvent e = Event(type, x, y, param);
        manager.HandleEvent(&e);
    }

    Journal journal;
    TWindowManager manager;
    ProbeModal* root = nullptr;
};

TEST_F(RoutingTest, UnhandledClickFallsToTheOverlappedSiblingThenTheParentAndStopsAtTheModal)
{
    ProbeWindow* panel = Add(root, "panel", 100, 100, 400, 400);
    Add(panel, "lower", 50, 50, 150, 150);
    Add(panel, "upper", 10, 10, 110, 110);  // adopted last: on top
    Send(TEvent::kMouseDown, 160, 160);
    EXPECT_EQ(journal, (Journal{"upper: down 50,50", "lower: down 10,10", "panel: down 60,60", "root: down 160,160"}));
}

TEST_F(RoutingTest, HandledClickStopsAndHiddenWindowsAreNotHit)
{
    ProbeWindow* target = Add(root, "target", 10, 10, 100, 100);
    target->handles = {TEvent::kMouseDown};
    ProbeWindow* hidden = Add(root, "hidden", 0, 0, 200, 200);
    Add(hidden, "inside", 0, 0, 200, 200);
    hidden->ClearFlags(TWindow::kVisible);
    Send(TEvent::kMouseDown, 20, 30);
    EXPECT_EQ(journal, (Journal{"target: down 10,20"}));
}

TEST_F(RoutingTest, UnhandledMouseUpAndKeyDownAtTheModalBecomePressAnyKey)
{
    Add(root, "w", 10, 10, 100, 100);
    Send(TEvent::kMouseUp, 20, 20);
    Send(TEvent::kMouseDown, 20, 20);
    manager.SetFocus(nullptr);
    Send(TEvent::kKeyDown, 0, 0, 'Q');
    EXPECT_EQ(journal, (Journal{"w: up 10,10", "root: up 20,20", "listener: msg 4 'mouse:up'",
                                "w: down 10,10", "root: down 20,20",
                                "root: key Q", "listener: msg 4 'raw:Q'"}));
}

TEST_F(RoutingTest, ClickGivesTheFocusToTheNearestFocusableWindowAndKeysFollowIt)
{
    ProbeWindow* edit = Add(root, "edit", 10, 10, 300, 100);
    edit->AddFlags(TWindow::kCanFocus);
    Add(edit, "caret", 0, 0, 20, 20);
    ASSERT_EQ(manager.GetFocus(), root);

    Send(TEvent::kMouseDown, 15, 15);
    EXPECT_EQ(manager.GetFocus(), edit);
    EXPECT_EQ(journal, (Journal{"caret: down 5,5", "edit: focus from root", "edit: down 5,5", "root: down 15,15"}));

    journal.clear();
    edit->handles = {TEvent::kChar};
    Send(TEvent::kChar, 0, 0, 'a');
    EXPECT_EQ(journal, (Journal{"edit: char a"}));

    // An unhandled key climbs from the focus to the modal.
    journal.clear();
    Send(TEvent::kKeyDown, 0, 0, 'A');
    EXPECT_EQ(journal, (Journal{"edit: key A", "root: key A", "listener: msg 4 'raw:A'"}));
}

TEST_F(RoutingTest, CapturedWindowsGetEveryMouseEventInTheirCoordinatesAndNoMessagesAreDispatched)
{
    ProbeWindow* dragged = Add(root, "dragged", 100, 100, 200, 200);
    ProbeWindow* other = Add(root, "other", 300, 300, 400, 400);
    EXPECT_EQ(manager.SetCapture(other), nullptr);
    EXPECT_EQ(manager.SetCapture(dragged), other);
    EXPECT_EQ(manager.SetCapture(dragged), dragged);
    EXPECT_EQ(manager.SetCapture(other), other);
    dragged->handles = {TEvent::kMouseMove};
    dragged->onEvent = [&] { manager.PostWindowMessage(new TMessage(kPressAnyKey, "posted", nullptr)); };

    // "other" does not handle the move, so it falls to "dragged", the sibling
    // below it at that point.
    Send(TEvent::kMouseMove, 150, 150);
    EXPECT_EQ(journal, (Journal{"dragged: move 50,50", "other: leave", "other: move -150,-150", "dragged: move 50,50"}));
    EXPECT_EQ(manager.GetQueuedMessageCount(), 2u);

    journal.clear();
    Send(TEvent::kMouseLeave);
    EXPECT_EQ(journal, (Journal{"dragged: leave", "other: leave", "listener: msg 4 'posted'", "listener: msg 4 'posted'"}));
}

TEST_F(RoutingTest, ReleasingACaptureInsideTheCaptureLoopIsSafe)
{
    ProbeWindow* first = Add(root, "first", 0, 0, 100, 100);
    ProbeWindow* second = Add(root, "second", 0, 0, 100, 100);
    manager.SetCapture(second);
    manager.SetCapture(first);
    first->handles = {TEvent::kMouseDown};
    first->onEvent = [&] {
        manager.ReleaseCapture(first);
        manager.ReleaseCapture(second);
    };
    Send(TEvent::kMouseDown, 10, 10);
    EXPECT_EQ(journal, (Journal{"first: down 10,10"}));
    EXPECT_TRUE(manager.GetCaptures().empty());
}

TEST_F(RoutingTest, ANullCaptureIsRefusedAndTheMouseStillRoutes)
{
    ProbeWindow* dragged = Add(root, "dragged", 100, 100, 200, 200);
    EXPECT_EQ(manager.SetCapture(dragged), nullptr);
    EXPECT_EQ(manager.SetCapture(nullptr), dragged);
    EXPECT_EQ(manager.GetCaptures().size(), 1u);
    dragged->handles = {TEvent::kMouseMove};
    Send(TEvent::kMouseMove, 150, 150);
    EXPECT_EQ(journal, (Journal{"dragged: move 50,50"}));

    manager.ReleaseCapture(dragged);
    EXPECT_EQ(manager.SetCapture(nullptr), nullptr);
    EXPECT_TRUE(manager.GetCaptures().empty());
}

TEST_F(RoutingTest, KeysWithoutFocusGoToTheTopModal)
{
    auto* dialog = new ProbeModal(&journal, "dialog");
    dialog->noteFocus = false;
    Place(dialog, 100, 100, 300, 300);
    manager.PushModal(dialog);
    manager.SetFocus(nullptr);
    journal.clear();
    dialog->handles = {TEvent::kKeyDown};
    Send(TEvent::kKeyDown, 0, 0, 'K');
    EXPECT_EQ(journal, (Journal{"dialog: key K"}));
}

TEST_F(RoutingTest, ClickOutsideTheTopModalStillGoesToIt)
{
    auto* dialog = new ProbeModal(&journal, "dialog");
    dialog->noteFocus = false;
    Place(dialog, 100, 100, 300, 300);
    manager.PushModal(dialog);
    journal.clear();
    Send(TEvent::kMouseDown, 10, 10);
    EXPECT_EQ(journal, (Journal{"dialog: down -90,-90"}));
}

}  // namespace
