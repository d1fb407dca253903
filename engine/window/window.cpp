#include "engine/window/window.h"

#include "engine/base/debuglog.h"
#include "engine/base/classregistry.h"
#include "engine/window/message.h"
#include "engine/window/modalwindow.h"
#include "engine/window/screen.h"
#include "engine/window/windowdisplay.h"
#include "engine/window/windowanim.h"
#include "engine/window/windowmanager.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <vector>

namespace {

// Every window gets the next number; modal windows are addressed by it.
int sWindowId = 0;

bool IsMouseEvent(int type)
{
    switch (type) {
    case TEvent::kMouseDown:
    case TEvent::kExtendedMouse:
    case TEvent::kMouseUp:
    case TEvent::kMouseMove:
    case kMouseHoverEvent:
        return true;
    default:
        return false;
    }
}

TWindowManager* Manager()
{
    return TWindowManager::GetInstance();
}

}  // namespace

TWindow* TWindowDynamicCreate()
{
    return new TWindow;
}

TWindow::TWindow() : mId(sWindowId++)
{
}

TWindow::~TWindow()
{
    if (mAnim) {
        mAnim->ForgetWindow();
        if (mOwnsAnim)
            delete mAnim;
    }
    // Normally orphaned before deletion; a window deleted while still in the
    // tree leaves it here, so its parent never holds a dangling child. The
    // orphaning invalidates the area it covered.
    if (mParent)
        mParent->OrphanChild(this);
    // The whole subtree goes: children must not invalidate a parent that is
    // half destroyed, so they are cut loose before they are deleted.
    ChildList children;
    children.swap(mChildren);
    for (TWindow* child : children) {
        child->mParent = nullptr;
        delete child;
    }
    mDirtyRect.reset();
    mLifeline.Cut();
    if (TWindowManager* manager = Manager())
        manager->OnDestroyWindow(this);
}

TClassId TWindow::RegisterCreatable(TWindow* (*create)())
{
    const TClassId id = MakeClassId(create);
    TClassRegistry<TWindow>::Register(id, create);
    return id;
}

TClassId TWindow::ClassId()
{
    static const TClassId id = RegisterCreatable(&TWindowDynamicCreate);
    return id;
}

TWindow* TWindow::CreateFromId(TClassId id)
{
    TWindow* p = TClassRegistry<TWindow>::CreateFromId(id);
    if (p)
        QM_ASSERT(p->IsKindOf(id));
    return p;
}

str TWindow::GetIdText() const
{
    return FormatWindowId(mId);
}

// ---- Tree --------------------------------------------------------------

bool TWindow::AdoptChild(TWindow* child, bool init)
{
    if (!child || child == this)
        return false;
    // Adopting an ancestor would close a loop: each would own, and in the end
    // delete, the other.
    for (const TWindow* w = mParent; w; w = w->mParent) {
        if (w == child) {
            WriteDbg("TWindow::AdoptChild: window %s is an ancestor of %s", child->GetIdText().c_str(), GetIdText().c_str());
            return false;
        }
    }
    // A window has one parent: taking it from another tree keeps it from
    // being owned, and deleted, twice.
    if (child->mParent && child->mParent != this)
        child->mParent->OrphanChild(child);
    bool alreadyChild = false;
    for (TWindow* c : mChildren)
        alreadyChild = alreadyChild || c == child;
    if (!alreadyChild) {
        mChildren.push_front(child);
        child->mParent = this;
        // A parent grows to hold its children; its origin stays put.
        mRect.x2 = std::max(mRect.x2, child->mRect.x2);
        mRect.y2 = std::max(mRect.y2, child->mRect.y2);
    }
    if (init && !child->Init()) {
        child->mParent = nullptr;
        mChildren.remove(child);
        return false;
    }
    return true;
}

void TWindow::OrphanChild(TWindow* child)
{
    if (!child)
        return;
    for (auto it = mChildren.begin(); it != mChildren.end(); ++it) {
        if (*it != child)
            continue;
        TRect area = child->mRect;
        if (area.x2 != 0 && area.y2 != 0)
            InternalInvalidateRect(&area, true, true);
        mChildren.erase(it);
        break;
    }
    child->mParent = nullptr;
}

namespace {

class ChildrenDelete : public TWindowSpider {
public:
    explicit ChildrenDelete(TWindow* parent) : mParent(parent) {}
    bool Process(TWindow* w) override
    {
        mParent->OrphanChild(w);
        if (TWindowManager* manager = Manager())
            manager->SafeDestroyWindow(w);
        else
            delete w;  // no manager to defer to: nothing else can refer to it
        return true;
    }

private:
    TWindow* mParent;
};

}  // namespace

void TWindow::DestroyAllChildren()
{
    ChildrenDelete spider(this);
    ForEachChild(&spider, false);
}

void TWindow::ForEachChild(TWindowSpider* spider, bool reverse)
{
    // A visitor may orphan any child, not only the one it is given: walk a
    // copy and skip the children that have left meanwhile.
    std::vector<TWindow*> snapshot(mChildren.begin(), mChildren.end());
    if (reverse)
        std::reverse(snapshot.begin(), snapshot.end());
    for (TWindow* child : snapshot) {
        if (child->mParent != this)
            continue;
        if (!spider->Process(child))
            break;
    }
}

TWindow* TWindow::GetChildWindow(const str& name, int depth)
{
    if (mName == name)
        return this;
    if (depth == 0)
        return nullptr;
    for (TWindow* child : mChildren) {
        if (TWindow* hit = child->GetChildWindow(name, depth - 1))
            return hit;
    }
    return nullptr;
}

TModalWindow* TWindow::FindParentModal() const
{
    for (TWindow* w = mParent; w; w = w->mParent) {
        if (w->IsModal())
            return ::GetCast<TModalWindow>(w);
    }
    return nullptr;
}

// ---- Geometry ----------------------------------------------------------

void TWindow::SetWindowPos(int x, int y)
{
    InternalInvalidateRect(nullptr, true, true);
    mRect.Offset(x - mRect.x1, y - mRect.y1);
    InternalInvalidateRect(nullptr, true, true);
}

void TWindow::SetWindowSize(int w, int h)
{
    if (mParent && mRect.x2 != 0 && mRect.y2 != 0) {
        TRect old = mRect;
        mParent->InternalInvalidateRect(&old, true, true);
    }
    mDirtyRect.reset();
    mRect.x2 = mRect.x1 + w;
    mRect.y2 = mRect.y1 + h;
    InternalInvalidateRect(nullptr, true, true);
}

void TWindow::GetClientRect(TRect* r) const
{
    QM_ASSERT(r);
    if (r)
        *r = {0, 0, mRect.Width(), mRect.Height()};
}

void TWindow::GetWindowRect(TRect* r) const
{
    QM_ASSERT(r);
    if (!r)
        return;
    *r = mRect;
    for (const TWindow* w = mParent; w; w = w->mParent)
        r->Offset(w->mRect.x1, w->mRect.y1);
}

void TWindow::ClientToParent(TPoint* p) const
{
    p->x += mRect.x1;
    p->y += mRect.y1;
}

void TWindow::ClientToScreen(TPoint* p) const
{
    TRect screen;
    GetWindowRect(&screen);
    p->x += screen.x1;
    p->y += screen.y1;
}

void TWindow::ScreenToClient(TPoint* p) const
{
    TRect screen;
    GetWindowRect(&screen);
    p->x -= screen.x1;
    p->y -= screen.y1;
}

void TWindow::ClientToScreen(TRect* r) const
{
    TRect screen;
    GetWindowRect(&screen);
    r->Offset(screen.x1, screen.y1);
}

// ---- Hit-testing -------------------------------------------------------

TWindow* TWindow::NextChildWindowFromPoint(const TPoint& p, ChildList::const_iterator from) const
{
    for (auto it = from; it != mChildren.end(); ++it) {
        TWindow* child = *it;
        if (child->IsVisible() && child->mRect.Contains(p))
            return child;
    }
    return const_cast<TWindow*>(this);
}

TWindow* TWindow::ChildWindowFromPoint(const TPoint& p, int depth)
{
    if (depth == 0)
        return nullptr;
    TWindow* c = NextChildWindowFromPoint(p, mChildren.begin());
    if (c == this)
        return this;
    return c->ChildWindowFromPoint({p.x - c->mRect.x1, p.y - c->mRect.y1}, depth - 1);
}

// ---- Invalidation ------------------------------------------------------

void TWindow::InvalidateRect(TRect* r)
{
    if (r && (r->x2 == 0 || r->y2 == 0))
        return;
    InternalInvalidateRect(r, true, true);
}

bool TWindow::OnDirtyRect(TRect* r)
{
    TRect area = r ? *r : TRect{0, 0, mRect.Width(), mRect.Height()};
    if (!mDirtyRect) {
        mDirtyRect = area;
        return false;
    }
    if (*mDirtyRect == area)
        return false;
    mDirtyRect = TRect::Union(*mDirtyRect, area);
    return true;
}

bool TWindow::InternalInvalidateRect(TRect* r, bool /*first*/, bool propagate)
{
    const TRect before = r ? *r : mRect;
    const bool changed = OnDirtyRect(r) && r && !(*r == before);

    AddFlags(kNeedsDraw);
    TWindowManager* manager = Manager();
    if (manager) {
        manager->AddDirtyWindow(this);
        if (!r && manager->GetScreen() && mRect == manager->GetScreen()->GetRect())
            manager->ScreenWasInvalidated();
    }

    if (!propagate && !changed)
        return false;
    if (HasFlags(kLocalInvalidate) || !mParent)
        return changed;

    if (!r) {
        TRect area = mRect;
        mParent->InternalInvalidateRect(&area, false, true);
        return changed;
    }
    TRect inParent = *r;
    inParent.Offset(mRect.x1, mRect.y1);
    if (mParent->InternalInvalidateRect(&inParent, false, true)) {
        TRect grown = TRect::Intersect(inParent, mRect);
        grown.Offset(-mRect.x1, -mRect.y1);
        *r = grown;
        return true;
    }
    return changed;
}

// Spreads a dirty area of a window down to the children it overlaps. When a
// child (or one of its own children) widens the area, the walk stops and
// reports that it grew, so that the caller redraws the whole window.
class TDirtyChildren : public TWindowSpider {
public:
    explicit TDirtyChildren(TRect* area) : mArea(area) {}

    bool Process(TWindow* child) override
    {
        if (!mArea) {
            child->InternalInvalidateRect(nullptr, true, false);
            TDirtyChildren whole(nullptr);
            child->ForEachChild(&whole, false);
            return true;
        }
        if (!TRect::Overlaps(*mArea, child->mRect))
            return true;
        TRect inChild = TRect::Intersect(*mArea, child->mRect);
        inChild.Offset(-child->mRect.x1, -child->mRect.y1);
        child->InternalInvalidateRect(&inChild, true, false);
        TDirtyChildren nested(&inChild);
        child->ForEachChild(&nested, false);
        inChild.Offset(child->mRect.x1, child->mRect.y1);
        const TRect before = *mArea;
        *mArea = TRect::Union(*mArea, inChild);
        if (!(*mArea == before) || nested.mGrew) {
            mGrew = true;
            return false;
        }
        return true;
    }

    bool mGrew = false;

private:
    TRect* mArea;
};

void TWindow::DirtyChildren()
{
    if (!HasFlags(kNeedsDraw) || mChildren.empty())
        return;
    if (!mDirtyRect) {
        InternalInvalidateRect(nullptr, true, false);
        TDirtyChildren whole(nullptr);
        ForEachChild(&whole, false);
        return;
    }
    TRect inParent = *mDirtyRect;
    inParent.Offset(mRect.x1, mRect.y1);
    if (!TRect::Overlaps(inParent, mRect))
        return;
    TRect local = TRect::Intersect(inParent, mRect);
    local.Offset(-mRect.x1, -mRect.y1);
    InternalInvalidateRect(&local, true, false);
    TDirtyChildren spreader(&local);
    ForEachChild(&spreader, false);
    local.Offset(mRect.x1, mRect.y1);
    if (!(TRect::Union(inParent, local) == inParent) || spreader.mGrew) {
        mDirtyRect.reset();
        DirtyChildren();
    }
}

// ---- Drawing -----------------------------------------------------------

bool TWindow::DoDraw(EDrawMode mode)
{
    if (!IsVisible())
        return false;
    // Each window draws clipped to its own screen rectangle.
    TWindowManager* manager = Manager();
    IWindowDisplay* display = manager ? manager->GetWindowDisplay() : nullptr;
    bool pushed = false;
    if (display) {
        TRect screen;
        GetWindowRect(&screen);
        const TRect clip = TRect::Intersect(screen, display->GetViewport());
        pushed = clip.x2 != 0;
        if (pushed)
            display->PushViewport(clip);
    }

    if (HasFlags(kNeedsDraw)) {
        Draw();
        ClearFlags(kNeedsDraw);
    }
    // Bottom to top; modal children belong to the window manager's stack.
    std::vector<TWindow*> snapshot(mChildren.rbegin(), mChildren.rend());
    for (TWindow* child : snapshot) {
        if (child->mParent == this && !child->IsModal())
            child->DoDraw(mode);
    }

    if (pushed)
        display->PopViewport();
    mDirtyRect.reset();
    return true;
}

// ---- Events ------------------------------------------------------------

bool TWindow::HandleByType(const TEvent& e)
{
    const TPoint p{e.mX, e.mY};
    const char key = static_cast<char>(e.mParam);
    switch (e.mType) {
    case TEvent::kMouseDown:
        return OnMouseDown(p);
    case TEvent::kExtendedMouse:
        return OnExtendedMouseEvent(p, static_cast<TPlatform::ExtendedMouseEvents>(e.mParam));
    case TEvent::kMouseUp:
        return OnMouseUp(p);
    case TEvent::kMouseMove:
        return OnMouseMove(p);
    case kMouseHoverEvent:
        return OnMouseHover(p);
    case TEvent::kKeyDown:
        return OnKeyDown(key, e.mModifiers);
    case TEvent::kKeyUp:
        return OnKeyUp(key);
    case TEvent::kChar:
        return OnChar(key);
    default:
        return false;
    }
}

bool TWindow::TakeFocusOnClick()
{
    for (TWindow* w = this; w; w = w->mParent) {
        if (!w->HasFlags(kCanFocus))
            continue;
        if (TWindowManager* manager = Manager()) {
            TWindow* previous = manager->GetFocus();
            manager->SetFocus(w);
            w->OnSetFocus(previous);
        }
        return true;
    }
    return false;
}

void TWindow::HandleEvent(const TEvent* e, bool focusTaken)
{
    const bool handled = HandleByType(*e);

    // The click gives the focus whether or not it was handled.
    if (e->mType == TEvent::kMouseDown && !focusTaken)
        focusTaken = TakeFocusOnClick();
    if (handled)
        return;

    if (IsModal()) {
        // Input nobody wanted stops at the first modal window; a click's
        // release or a key becomes "press any key" for the waiting script.
        TWindowManager* manager = Manager();
        if (!manager)
            return;
        if (e->mType == TEvent::kMouseUp)
            manager->PostWindowMessage(new TMessage(kPressAnyKey, "mouse:up", nullptr));
        else if (e->mType == TEvent::kKeyDown)
            manager->PostWindowMessage(new TMessage(kPressAnyKey, str("raw:") + static_cast<char>(e->mParam), nullptr));
        return;
    }
    PassEventOn(*e, focusTaken);
}

// An event this window did not handle falls to whatever lies underneath:
// first a sibling stacked below it at that point, else the parent.
void TWindow::PassEventOn(const TEvent& e, bool focusTaken)
{
    TEvent copy = e;
    const bool mouse = IsMouseEvent(e.mType);
    if (mouse) {
        copy.mX += mRect.x1;
        copy.mY += mRect.y1;
    }
    TWindow* parent = mParent;
    if (!parent)
        return;

    auto self = std::find(parent->mChildren.cbegin(), parent->mChildren.cend(), this);
    TWindow* sibling = parent;
    if (self != parent->mChildren.cend())
        sibling = parent->NextChildWindowFromPoint({copy.mX, copy.mY}, std::next(self));
    if (sibling == parent) {
        parent->HandleEvent(&copy, focusTaken);
        return;
    }

    TWindow* receiver = sibling->ChildWindowFromPoint(
        {copy.mX - sibling->mRect.x1, copy.mY - sibling->mRect.y1}, -1);
    TRect parentScreen;
    parent->GetWindowRect(&parentScreen);
    copy.mX += parentScreen.x1;
    copy.mY += parentScreen.y1;
    if (mouse) {
        TPoint p{copy.mX, copy.mY};
        receiver->ScreenToClient(&p);
        copy.mX = p.x;
        copy.mY = p.y;
    }
    receiver->HandleEvent(&copy, focusTaken);
}

// ---- Messages ----------------------------------------------------------

void TWindow::SendWindowMessage(TMessage* m)
{
    std::unique_ptr<TMessage> message(m);
    TWindow* modal = nullptr;
    for (TWindow* w = this; w; w = w->mParent) {
        if (w->OnMessage(message.get()))
            return;
        if (w->IsModal()) {
            modal = w;
            break;
        }
    }
    if (!modal)
        return;  // reached no modal window: dropped

    if (TModalWindow* asModal = ::GetCast<TModalWindow>(modal)) {
        TWindow* focus = asModal->GetDefaultFocus();
        if (focus && focus->OnMessage(message.get()))
            return;
    }
    if (TWindowManager* manager = Manager())
        manager->OnScriptMessage(message.release(), nullptr);
}

// ---- Animation ---------------------------------------------------------

TWindowAnim* TWindow::GetWindowAnim()
{
    if (mAnim)
        return mAnim;
    mAnim = new TWindowAnim(this);
    TModalWindow* modal = nullptr;
    for (TWindow* w = mParent; w && !modal; w = w->mParent)
        modal = ::GetCast<TModalWindow>(w);
    QM_ASSERT(modal && "GetWindowAnimation or StartWindowAnimation called on a window outside of the hierarchy");
    if (modal)
        modal->AdoptTask(mAnim);
    else
        mOwnsAnim = true;  // never scheduled; kept so that it is not lost
    return mAnim;
}

void TWindow::StartWindowAnimation(int period, bool repeat, bool fromNow, bool catchUp)
{
    GetWindowAnim()->SetDelay(period, repeat, fromNow, catchUp);
}
