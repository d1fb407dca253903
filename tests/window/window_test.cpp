// The window tree on its own: rectangles, adoption, hit-testing, class
// identity and invalidation.
#include "probes.h"

#include <gtest/gtest.h>

namespace {

class WindowTreeTest : public ::testing::Test {
protected:
    Journal journal;  // outlives the windows the manager deletes
    TWindowManager manager;
};

TEST_F(WindowTreeTest, AdoptPutsChildOnTopAndGrowsParentOnlyAtFarEdges)
{
    TWindow parent;
    Place(&parent, 10, 10, 50, 50);
    auto* first = new TWindow;
    auto* second = new TWindow;
    Place(second, 0, 0, 80, 30);
    EXPECT_TRUE(parent.AdoptChild(first, false));
    EXPECT_TRUE(parent.AdoptChild(second, true));
    EXPECT_EQ(parent.GetChildren().front(), second);
    EXPECT_EQ(second->GetParent(), &parent);
    EXPECT_EQ(parent.GetRect(), (TRect{10, 10, 80, 50}));
    // Adopting again does not add a second entry.
    EXPECT_TRUE(parent.AdoptChild(first, false));
    EXPECT_EQ(parent.GetChildren().size(), 2u);
}

TEST_F(WindowTreeTest, AWindowHasOneParentAndLeavesItWhenDeleted)
{
    TWindow first;
    TWindow second;
    auto* child = new TWindow;
    first.AdoptChild(child, false);
    second.AdoptChild(child, false);
    EXPECT_TRUE(first.GetChildren().empty());
    EXPECT_EQ(child->GetParent(), &second);
    delete child;  // without orphaning first
    EXPECT_TRUE(second.GetChildren().empty());
}

TEST_F(WindowTreeTest, AWindowCannotAdoptItsOwnAncestor)
{
    TWindow root;
    auto* a = new TWindow;
    auto* b = new TWindow;
    root.AdoptChild(a, false);
    a->AdoptChild(b, false);
    EXPECT_FALSE(b->AdoptChild(&root, false));
    EXPECT_FALSE(b->AdoptChild(a, false));
    EXPECT_FALSE(a->AdoptChild(a, false));
    EXPECT_EQ(root.GetParent(), nullptr);
    EXPECT_EQ(a->GetParent(), &root);
    EXPECT_TRUE(b->GetChildren().empty());
}

TEST_F(WindowTreeTest, ChildWhoseInitFailsIsHandedBack)
{
    TWindow parent;
    ProbeWindow child(&journal, "child");
    child.initResult = false;
    EXPECT_FALSE(parent.AdoptChild(&child, true));
    EXPECT_TRUE(parent.GetChildren().empty());
    EXPECT_EQ(child.GetParent(), nullptr);
}

TEST_F(WindowTreeTest, OrphanInvalidatesTheAreaLeftBehind)
{
    TWindow parent;
    Place(&parent, 0, 0, 100, 100);
    auto* child = new TWindow;
    Place(child, 20, 30, 40, 50);
    parent.AdoptChild(child, false);
    parent.DoDraw(TWindow::kDrawNormal);  // clears flags and dirty areas
    ASSERT_FALSE(parent.HasFlags(TWindow::kNeedsDraw));

    parent.OrphanChild(child);
    EXPECT_EQ(child->GetParent(), nullptr);
    EXPECT_TRUE(parent.GetChildren().empty());
    EXPECT_TRUE(parent.HasFlags(TWindow::kNeedsDraw));
    EXPECT_EQ(parent.GetDirtyRect(), (TRect{20, 30, 40, 50}));
    delete child;
}

TEST_F(WindowTreeTest, GetChildWindowHonoursDepth)
{
    TWindow root;
    root.SetName("root");
    auto* a = new TWindow;
    a->SetName("a");
    auto* b = new TWindow;
    b->SetName("b");
    root.AdoptChild(a, false);
    a->AdoptChild(b, false);
    EXPECT_EQ(root.GetChildWindow("root", 0), &root);
    EXPECT_EQ(root.GetChildWindow("a", 0), nullptr);
    EXPECT_EQ(root.GetChildWindow("a", 1), a);
    EXPECT_EQ(root.GetChildWindow("b", 1), nullptr);
    EXPECT_EQ(root.GetChildWindow("b", -1), b);
}

TEST_F(WindowTreeTest, HitTestingFindsDeepestVisibleWindowAndSkipsHiddenSubtrees)
{
    TWindow root;
    Place(&root, 0, 0, 200, 200);
    auto* panel = new TWindow;
    Place(panel, 50, 50, 150, 150);
    auto* button = new TWindow;
    Place(button, 10, 10, 30, 30);
    root.AdoptChild(panel, false);
    panel->AdoptChild(button, false);
    auto* cover = new TWindow;  // on top of the panel, hidden with everything in it
    Place(cover, 0, 0, 200, 200);
    cover->AdoptChild(new TWindow, false);
    root.AdoptChild(cover, false);
    cover->ClearFlags(TWindow::kVisible);

    EXPECT_EQ(root.ChildWindowFromPoint({60, 60}, -1), button);
    EXPECT_EQ(root.ChildWindowFromPoint({80, 80}, -1), button);  // far edges are inside
    EXPECT_EQ(root.ChildWindowFromPoint({81, 60}, -1), panel);
    EXPECT_EQ(root.ChildWindowFromPoint({10, 10}, -1), &root);
    // A depth that runs out while windows are still hit gives nothing.
    EXPECT_EQ(root.ChildWindowFromPoint({60, 60}, 1), nullptr);
    EXPECT_EQ(root.ChildWindowFromPoint({10, 10}, 1), &root);
    EXPECT_EQ(root.ChildWindowFromPoint({60, 60}, 0), nullptr);

    cover->AddFlags(TWindow::kVisible);
    EXPECT_NE(root.ChildWindowFromPoint({60, 60}, -1), button);
}

TEST_F(WindowTreeTest, ScreenCoordinatesAddEveryAncestorsOrigin)
{
    TWindow root;
    Place(&root, 5, 5, 300, 300);
    auto* a = new TWindow;
    Place(a, 10, 20, 100, 100);
    auto* b = new TWindow;
    Place(b, 1, 2, 10, 10);
    root.AdoptChild(a, false);
    a->AdoptChild(b, false);
    TRect r;
    b->GetWindowRect(&r);
    EXPECT_EQ(r, (TRect{16, 27, 25, 35}));
    TPoint p{0, 0};
    b->ClientToScreen(&p);
    EXPECT_EQ(p, (TPoint{16, 27}));
    b->ScreenToClient(&p);
    EXPECT_EQ(p, (TPoint{0, 0}));
    b->GetClientRect(&r);
    EXPECT_EQ(r, (TRect{0, 0, 9, 8}));
}

TEST_F(WindowTreeTest, ClassIdentityCastsAndCreation)
{
    TWindow* made = TWindow::CreateFromId(TWindow::ClassId());
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsKindOf(TWindow::ClassId()));
    EXPECT_EQ(made->GetCast<TModalWindow>(), nullptr);
    delete made;

    // Classes made only by their constructors cannot be made from their identity.
    EXPECT_EQ(TWindow::CreateFromId(TModalWindow::ClassId()), nullptr);
    EXPECT_EQ(TWindow::CreateFromId(0), nullptr);

    TModalWindow modal;
    EXPECT_TRUE(modal.IsKindOf(TWindow::ClassId()));
    EXPECT_TRUE(modal.IsKindOf(TModalWindow::ClassId()));
    EXPECT_FALSE(modal.IsKindOf(TLayeredWindow::ClassId()));
    EXPECT_EQ(GetCast<TModalWindow>(static_cast<TWindow*>(&modal)), &modal);
    EXPECT_EQ(GetCast<TModalWindow>(nullptr), nullptr);
    EXPECT_TRUE(modal.HasFlags(TWindow::kModal | TWindow::kCanFocus | TWindow::kVisible));
    EXPECT_NE(TWindow::ClassId(), TModalWindow::ClassId());
    EXPECT_EQ(sizeof(TClassId), sizeof(void*));
}

TEST_F(WindowTreeTest, InvalidationMarksAncestorsInTheirOwnCoordinatesUpToALocalWindow)
{
    TWindow root;
    Place(&root, 0, 0, 400, 400);
    auto* local = new TWindow;
    Place(local, 100, 100, 300, 300);
    auto* child = new TWindow;
    Place(child, 20, 30, 60, 70);
    root.AdoptChild(local, false);
    local->AdoptChild(child, false);
    root.DoDraw(TWindow::kDrawNormal);
    local->AddFlags(TWindow::kLocalInvalidate);
    manager.DirtyWindows();

    TRect flat{0, 0, 10, 0};
    child->InvalidateRect(&flat);
    EXPECT_FALSE(child->HasFlags(TWindow::kNeedsDraw));
    EXPECT_EQ(manager.GetDirtyCount(), 0u);

    TRect area{1, 1, 5, 5};
    child->InvalidateRect(&area);
    EXPECT_EQ(child->GetDirtyRect(), (TRect{1, 1, 5, 5}));
    EXPECT_EQ(local->GetDirtyRect(), (TRect{21, 31, 25, 35}));
    EXPECT_TRUE(local->HasFlags(TWindow::kNeedsDraw));
    EXPECT_FALSE(root.HasFlags(TWindow::kNeedsDraw));
    EXPECT_TRUE(manager.IsDirty(child));
    EXPECT_TRUE(manager.IsDirty(local));

    // The dirty area of a window is one union rectangle.
    TRect more{10, 10, 12, 12};
    child->InvalidateRect(&more);
    EXPECT_EQ(child->GetDirtyRect(), (TRect{1, 1, 12, 12}));

    local->ClearFlags(TWindow::kLocalInvalidate);
    child->InvalidateRect(nullptr);
    EXPECT_TRUE(root.HasFlags(TWindow::kNeedsDraw));
    EXPECT_EQ(root.GetDirtyRect(), (TRect{120, 130, 160, 170}));
}

TEST_F(WindowTreeTest, DirtyChildrenSpreadsTheAreaToOverlappedChildrenOnly)
{
    TWindow root;
    Place(&root, 0, 0, 400, 400);
    auto* left = new TWindow;
    Place(left, 0, 0, 100, 100);
    auto* right = new TWindow;
    Place(right, 200, 0, 300, 100);
    root.AdoptChild(left, false);
    root.AdoptChild(right, false);
    root.DoDraw(TWindow::kDrawNormal);

    TRect area{10, 10, 50, 50};
    root.InvalidateRect(&area);
    manager.DirtyWindows();
    EXPECT_TRUE(left->HasFlags(TWindow::kNeedsDraw));
    EXPECT_EQ(left->GetDirtyRect(), (TRect{10, 10, 50, 50}));
    EXPECT_FALSE(right->HasFlags(TWindow::kNeedsDraw));

    // A window never invalidated before has no dirty area: all of it redraws.
    TWindow fresh;
    Place(&fresh, 0, 0, 50, 50);
    auto* inner = new TWindow;
    Place(inner, 40, 40, 50, 50);
    fresh.AdoptChild(inner, false);
    fresh.DoDraw(TWindow::kDrawNormal);
    fresh.AddFlags(TWindow::kNeedsDraw);
    fresh.DirtyChildren();
    EXPECT_TRUE(inner->HasFlags(TWindow::kNeedsDraw));
}

TEST_F(WindowTreeTest, VisitorMayOrphanAnyChildDuringTheWalk)
{
    TWindow root;
    auto* a = new TWindow;
    auto* b = new TWindow;
    auto* c = new TWindow;
    root.AdoptChild(c, false);
    root.AdoptChild(b, false);
    root.AdoptChild(a, false);  // order front to back: a, b, c

    struct OrphanNext : TWindowSpider {
        TWindow* parent;
        TWindow* victim;
        std::vector<TWindow*> seen;
        bool Process(TWindow* w) override
        {
            seen.push_back(w);
            if (victim) {
                parent->OrphanChild(victim);
                victim = nullptr;
            }
            return true;
        }
    } spider;
    spider.parent = &root;
    spider.victim = b;
    root.ForEachChild(&spider, false);
    EXPECT_EQ(spider.seen, (std::vector<TWindow*>{a, c}));
    delete b;
}

TEST_F(WindowTreeTest, DestroyAllChildrenDefersDeletionToTheNextEvent)
{
    auto* root = new ProbeModal(&journal, "root");
    Place(root, 0, 0, 100, 100);
    manager.PushModal(root);
    bool gone = false;
    struct Watched : TWindow {
        bool* gone;
        ~Watched() override { *gone = true; }
    };
    auto* child = new Watched;
    child->gone = &gone;
    root->AdoptChild(child, false);
    root->DestroyAllChildren();
    EXPECT_TRUE(root->GetChildren().empty());
    EXPECT_FALSE(gone);
    manager.ClearDestroyedWindows();
    EXPECT_TRUE(gone);
}

}  // namespace
