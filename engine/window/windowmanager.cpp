#include "engine/window/windowmanager.h"

#include "engine/base/debuglog.h"
#include "engine/base/instanceholder.h"
#include "engine/window/dialog.h"
#include "engine/window/message.h"
#include "engine/window/modalwindow.h"
#include "engine/window/screen.h"
#include "engine/window/windowdisplay.h"
#include "engine/window/windowscripthook.h"
#include "engine/window/xsellwindow.h"

#include <algorithm>
#include <cstdlib>

namespace {

template <typename List>
bool Contains(const List& list, const TWindow* w)
{
    return std::find(list.begin(), list.end(), w) != list.end();
}

}  // namespace

bool IsWindowInside(const TWindow* w, const TWindow* ancestor)
{
    for (; w; w = w->GetParent()) {
        if (w == ancestor)
            return true;
    }
    return false;
}

TWindowManager* TWindowManager::GetInstance()
{
    return TInstanceHolder<TWindowManager>::Get();
}

TWindowManager::TWindowManager()
{
    // The first manager made stays the published one.
    if (!TInstanceHolder<TWindowManager>::Get())
        TInstanceHolder<TWindowManager>::Publish(this);
}

TWindowManager::~TWindowManager()
{
    mListeners.clear();
    mCaptures.clear();
    mDirty.clear();
    while (!mModalStack.empty())
        PopTop();
    ClearDestroyedWindows();
    for (TMessage* m : mQueue)
        delete m;
    mQueue.clear();
    mFactories.clear();
    TInstanceHolder<TWindowManager>::Withdraw(this);
}

// ---- Scripting ---------------------------------------------------------

void TWindowManager::AttachWindowScript(IWindowScript* script)
{
    QM_ASSERT(!mScript);
    mScript = script;
    if (!script)
        return;
    script->AddWindowType("XSellWindow", TXSellWindow::ClassId());
    if (TModalWindow* top = GetTopModalWindow())
        script->PushWindow(top);
    script->PublishBoolFunction("SetTopModalOnly", "TWindowManager", mLifeline, [this](bool on) { SetTopModalOnly(on); });
    TPlatform* platform = TPlatform::GetInstance();
    if (TTask* task = script->GetTask(); task && platform)
        platform->AdoptTask(task);
}

void TWindowManager::AddWindowType(const str& name, TClassId classId)
{
    QM_ASSERT(mScript);
    if (mScript)
        mScript->AddWindowType(name, classId);
}

bool TWindowManager::RunScript(TWindow* w, const char* file)
{
    QM_ASSERT(mScript);
    if (!mScript)
        return false;
    mScript->PushWindow(w);
    mScript->RunScript(file);
    return mScript->PopWindow();
}

bool TWindowManager::EnableStringTable(bool on)
{
    return mScript ? mScript->EnableStringTable(on) : false;
}

void TWindowManager::AdoptWindowFactory(const str& name, TWindowFactory* factory)
{
    mFactories[name].reset(factory);
}

TWindowFactory* TWindowManager::GetWindowFactory(const str& name) const
{
    auto found = mFactories.find(name);
    return found == mFactories.end() ? nullptr : found->second.get();
}

// ---- Modal stack, focus and capture ------------------------------------

void TWindowManager::SetScreen(TScreen* screen)
{
    mScreen = screen;
    PushModal(screen);
    if (!screen)
        return;
    if (mDisplay) {
        const TRect viewport = mDisplay->GetViewport();
        screen->SetWindowSize(viewport.Width(), viewport.Height());
    }
    // The root is initialised again now that it has its size.
    screen->Init();
}

TModalWindow* TWindowManager::GetTopModalWindow() const
{
    return mModalStack.empty() ? nullptr : mModalStack.front();
}

void TWindowManager::LeaveCaptures()
{
    const std::vector<TWindow*> captured(mCaptures.begin(), mCaptures.end());
    for (TWindow* w : captured) {
        if (IsCaptured(w))
            w->OnMouseLeave();
    }
}

void TWindowManager::PushModal(TModalWindow* w)
{
    if (!w) {
        WriteDbg("TWindowManager::PushModal: no window");
        return;
    }
    QM_ASSERT(w->IsModal());
    if (Contains(mModalStack, w)) {
        WriteDbg("TWindowManager::PushModal: window %s is already on the modal stack", w->GetIdText().c_str());
        return;
    }
    if (!mCaptures.empty()) {
        LeaveCaptures();
        mCaptures.clear();
    }
    TModalWindow* previous = GetTopModalWindow();
    mModalStack.push_front(w);
    if (previous)
        previous->AdoptChild(w, false);

    TWindow* former = mFocus;
    mFocus = w;
    w->OnSetFocus(former);

    if (mScript)
        mScript->NewModalWindow(w);
    const bool success = w->Init();
    QM_ASSERT(success && "w->Init()");

    if (w->GetWindowWidth() == 0 && w->GetParent())
        w->SetWindowSize(w->GetParent()->GetWindowWidth(), w->GetParent()->GetWindowHeight());
    w->InvalidateRect(nullptr);
}

TDialog* TWindowManager::DisplayDialog(const str& script, const str& body, const str& title, const str& name)
{
    auto* dialog = new TDialog(script, body, title);
    dialog->SetName(name);
    PushModal(dialog);
    return dialog;
}

void TWindowManager::PopModal()
{
    // The bottom of the stack is the root: popping it would leave nothing to
    // route events to or draw.
    if (mModalStack.size() <= 1) {
        WriteDbg("TWindowManager::PopModal: refused, %s", mModalStack.empty() ? "the modal stack is empty" : "only the root screen is left");
        return;
    }
    PopTop();
}

void TWindowManager::GiveFocusToTop()
{
    TModalWindow* top = GetTopModalWindow();
    if (mScript)
        mScript->NewModalWindow(top);
    if (!top)
        return;
    TWindow* former = mFocus;
    mFocus = top;
    top->OnSetFocus(former);
}

void TWindowManager::PopTop()
{
    TModalWindow* top = mModalStack.front();
    TRect area;
    top->GetWindowRect(&area);

    mModalStack.pop_front();
    if (top == mScreen)
        mScreen = nullptr;
    if (TWindow* parent = top->GetParent())
        parent->OrphanChild(top);
    SafeDestroyWindow(top);
    top->DestroyTasks();
    GiveFocusToTop();

    TModalWindow* root = mScreen ? mScreen : (mModalStack.empty() ? nullptr : mModalStack.back());
    if (root)
        root->InvalidateRect(&area);
}

TWindow* TWindowManager::SetCapture(TWindow* w)
{
    // Every captured window is handed the mouse: a null one would be called.
    if (!w) {
        WriteDbg("TWindowManager::SetCapture: no window");
        return mCaptures.empty() ? nullptr : mCaptures.front();
    }
    if (!mCaptures.empty() && mCaptures.front() == w)
        return w;
    TWindow* former = mCaptures.empty() ? nullptr : mCaptures.front();
    if (Contains(mCaptures, w))
        return w;
    mCaptures.push_front(w);
    return former;
}

void TWindowManager::ReleaseCapture(TWindow* w)
{
    auto found = std::find(mCaptures.begin(), mCaptures.end(), w);
    if (found != mCaptures.end())
        mCaptures.erase(found);
}

bool TWindowManager::IsCaptured(TWindow* w) const
{
    return Contains(mCaptures, w);
}

// ---- Messages ----------------------------------------------------------

void TWindowManager::PostWindowMessage(TMessage* m)
{
    if (m)
        mQueue.push_back(m);
}

void TWindowManager::AdoptMessageListener(TMessageListener* listener)
{
    if (!listener)
        return;
    // Owned once: a second entry would be deleted twice.
    for (auto& held : mListeners) {
        if (held.get() == listener)
            return;
    }
    mListeners.emplace_back(listener);
}

bool TWindowManager::OrphanMessageListener(TMessageListener* listener)
{
    for (auto it = mListeners.begin(); it != mListeners.end(); ++it) {
        if (it->get() == listener) {
            it->release();
            mListeners.erase(it);
            return true;
        }
    }
    return false;
}

void TWindowManager::DispatchMessages()
{
    // Messages posted while dispatching are dispatched in the same call.
    while (!mQueue.empty()) {
        TMessage* m = mQueue.front();
        mQueue.pop_front();
        DispatchWindowMessage(m);
    }
}

void TWindowManager::DispatchWindowMessage(TMessage* m)
{
    if (!m)
        return;
    if (m->GetType() == kQuitNow) {
        delete m;
        Exit(0);
        return;
    }
    if (TWindow* target = m->GetTarget()) {
        target->SendWindowMessage(m);
        return;
    }
    // A listener may orphan itself (or another) while it looks at the message.
    std::vector<TMessageListener*> listeners;
    for (auto& l : mListeners)
        listeners.push_back(l.get());
    for (TMessageListener* l : listeners) {
        bool stillThere = false;
        for (auto& held : mListeners)
            stillThere = stillThere || held.get() == l;
        if (stillThere && l->OnMessage(m)) {
            delete m;
            return;
        }
    }
    if (mFocus)
        mFocus->SendWindowMessage(m);
    else if (TModalWindow* top = GetTopModalWindow())
        top->SendWindowMessage(m);
    else
        delete m;
}

void TWindowManager::OnScriptMessage(TMessage* m, TLuaFunction* f)
{
    if (mScript)
        mScript->OnMessage(m, f);
    else
        delete m;
}

void TWindowManager::StripMessageTargets(TWindow* w)
{
    for (TMessage* m : mQueue) {
        if (m->GetTarget() && IsWindowInside(m->GetTarget(), w))
            m->SetTarget(nullptr);
    }
}

// ---- Drawing -----------------------------------------------------------

void TWindowManager::DirtyWindows()
{
    // Spreading marks more windows dirty; they are flagged and get drawn,
    // the set itself is walked as it was.
    const std::vector<TWindow*> dirty(mDirty.begin(), mDirty.end());
    for (TWindow* w : dirty)
        w->DirtyChildren();
    mDirty.clear();
}

void TWindowManager::DrawLayer(TWindow::EDrawMode mode)
{
    if (mModalStack.empty())
        return;
    if (mTopModalOnly) {
        mModalStack.front()->DoDraw(mode);
        return;
    }
    const std::vector<TModalWindow*> bottomUp(mModalStack.rbegin(), mModalStack.rend());
    for (TModalWindow* w : bottomUp)
        w->DoDraw(mode);
}

void TWindowManager::DrawStack()
{
    if (mMoviePlaying)
        return;
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform || (!platform->IsFullscreen() && !platform->GetDisplayReady()))
        return;
    if (mDirty.empty() || mModalStack.empty())
        return;
    platform->GetTaskList()->DoAll(TTask::kDrawContext);
    if (TModalWindow* top = GetTopModalWindow())
        top->DoModalProcess(TTask::kDrawContext);
    // A display that could not keep the last frame gets the whole screen.
    if (!mScreenInvalidated && mScreen && mDisplay && !mDisplay->KeepsLastFrame())
        mScreen->InvalidateRect(nullptr);
    DirtyWindows();
    if (platform->BeginDraw(!mScreenInvalidated)) {
        DrawLayer(TWindow::kDrawNormal);
        platform->EndDraw(true);
    }
    mScreenInvalidated = false;
}

// ---- Destruction -------------------------------------------------------

void TWindowManager::RemoveFromModalStack(TWindow* w)
{
    TModalWindow* topBefore = GetTopModalWindow();
    bool removed = false;
    for (auto it = mModalStack.begin(); it != mModalStack.end();) {
        if (IsWindowInside(*it, w)) {
            WriteDbg("TWindowManager: window %s leaves the modal stack because it is destroyed", (*it)->GetIdText().c_str());
            (*it)->DestroyTasks();
            if (*it == mScreen)
                mScreen = nullptr;
            it = mModalStack.erase(it);
            removed = true;
        } else {
            ++it;
        }
    }
    if (removed && GetTopModalWindow() != topBefore)
        GiveFocusToTop();
}

namespace {

void CutLifelines(TWindow* w)
{
    w->Lifeline().Cut();
    for (TWindow* child : w->GetChildren())
        CutLifelines(child);
}

}  // namespace

void TWindowManager::SafeDestroyWindow(TWindow* w)
{
    if (!w || Contains(mDestroyList, w))
        return;
    // Deleting a window that is still in the tree would delete it twice.
    if (TWindow* parent = w->GetParent())
        parent->OrphanChild(w);
    // A destroyed modal must not stay on the stack to be routed to or drawn.
    RemoveFromModalStack(w);
    mDestroyList.push_back(w);
    // Scripts lose the window and its children now: they have left the tree.
    CutLifelines(w);
    StripMessageTargets(w);
    mCaptures.remove_if([w](TWindow* c) { return IsWindowInside(c, w); });
    // Keys and undirected messages must not go to a window that has left
    // the tree: they go to the top modal until something takes the focus.
    if (IsWindowInside(mFocus, w))
        mFocus = nullptr;
}

void TWindowManager::ClearDestroyedWindows()
{
    if (mDestroyList.empty())
        return;
    // Deleting one window may delete another of the list (one adopted into
    // the other after both were handed over); OnDestroyWindow blanks the
    // entries of windows that are gone.
    mDoomed.swap(mDestroyList);
    for (size_t i = 0; i < mDoomed.size(); ++i) {
        TWindow* w = mDoomed[i];
        if (!w)
            continue;
        mDoomed[i] = nullptr;
        if (w->GetParent()) {
            // Adopted again after it was handed over: it lives in the tree now.
            WriteDbg("TWindowManager: window %s was adopted after SafeDestroyWindow; not deleted", w->GetIdText().c_str());
            continue;
        }
        delete w;
    }
    mDoomed.clear();
    mDirty.clear();
    if (TModalWindow* top = GetTopModalWindow())
        top->InvalidateRect(nullptr);
}

void TWindowManager::OnDestroyWindow(TWindow* w)
{
    std::replace(mDestroyList.begin(), mDestroyList.end(), w, static_cast<TWindow*>(nullptr));
    std::replace(mDoomed.begin(), mDoomed.end(), w, static_cast<TWindow*>(nullptr));
    mDirty.erase(w);
    if (mFocus == w)
        mFocus = nullptr;
    mCaptures.remove(w);
    for (TModalWindow* modal : mModalStack) {
        if (modal->GetDefaultFocus() == w)
            modal->SetDefaultFocus(nullptr);
    }
    // Deleted without SafeDestroyWindow: forget it all the same.
    if (Contains(mModalStack, w)) {
        mModalStack.remove(static_cast<TModalWindow*>(w));
        if (mScreen == w)
            mScreen = nullptr;
    }
    for (TMessage* m : mQueue) {
        if (m->GetTarget() == w)
            m->SetTarget(nullptr);
    }
}

// ---- Input -------------------------------------------------------------

void TWindowManager::RouteMouse(const TEvent& e, TModalWindow* top)
{
    TEvent copy = e;
    if (!mCaptures.empty()) {
        // A handler may release captures (its own or others'): walk a copy.
        const std::vector<TWindow*> captured(mCaptures.begin(), mCaptures.end());
        for (TWindow* w : captured) {
            if (!IsCaptured(w))
                continue;
            TRect screen;
            w->GetWindowRect(&screen);
            if (!screen.Contains({e.mX, e.mY}))
                w->OnMouseLeave();
            TPoint p{e.mX, e.mY};
            w->ScreenToClient(&p);
            copy.mX = p.x;
            copy.mY = p.y;
            w->HandleEvent(&copy, false);
        }
        return;
    }
    TPoint p{e.mX, e.mY};
    top->ScreenToClient(&p);
    TWindow* w = top->ChildWindowFromPoint(p, -1);
    p = {e.mX, e.mY};
    w->ScreenToClient(&p);
    copy.mX = p.x;
    copy.mY = p.y;
    w->HandleEvent(&copy, false);
    DispatchMessages();
}

static_assert(static_cast<int>(kLastEventType) == TEvent::kActivate, "the manager routes every type the platform makes");

void TWindowManager::HandleEvent(TEvent* e)
{
    if (!e || e->mType == kDroppedEvent)
        return;
    TPlatform* platform = TPlatform::GetInstance();
    if (platform && platform->GetPlatformDirty() && mScreen)
        mScreen->InvalidateRect(nullptr);
    ClearDestroyedWindows();

    TModalWindow* top = GetTopModalWindow();
    if (!top)
        return;
    TEvent copy = *e;
    const int type = e->mType > kLastEventType ? kUntypedEvent : e->mType;

    switch (type) {
    case TEvent::kIdle:
        top->DoModalProcess(TTask::kEventContext);
        DispatchMessages();
        DrawStack();
        DispatchMessages();
        break;
    case TEvent::kMouseDown:
    case TEvent::kExtendedMouse:
    case TEvent::kMouseUp:
    case TEvent::kMouseMove:
    case kMouseHoverEvent:
        RouteMouse(*e, top);
        break;
    case TEvent::kMouseLeave:
        LeaveCaptures();
        DispatchMessages();
        break;
    case TEvent::kKeyDown:
    case TEvent::kKeyUp:
    case TEvent::kChar:
        (mFocus ? mFocus : top)->HandleEvent(&copy, false);
        DispatchMessages();
        break;
    case kRedrawEvent:
        top->InvalidateRect(nullptr);
        DispatchMessages();
        DrawStack();
        DispatchMessages();
        break;
    case TEvent::kActivate:
        break;
    default:
        // Types the platform never makes (0, 3, 4, 5, 16, 17) go to the top
        // modal after the queue, which may have changed the top.
        DispatchMessages();
        if (TModalWindow* now = GetTopModalWindow())
            now->HandleEvent(&copy, false);
        break;
    }
}

void TWindowManager::Exit(int code)
{
    if (mExit)
        mExit(code);
    else if (TPlatform* platform = TPlatform::GetInstance())
        platform->Exit(code);
    else
        std::exit(code);
}
