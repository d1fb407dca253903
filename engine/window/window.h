// The node of the window tree. Every screen, dialog, widget and game view is
// a TWindow. A window owns its children, keeps its rectangle in its parent's
// client coordinates, and records the area of itself that must be redrawn.
// The window manager routes input into the tree, delivers messages and draws
// the windows that were invalidated.
#pragma once

#include "engine/base/classid.h"
#include "engine/base/lifeline.h"
#include "engine/base/str.h"
#include "engine/platform/platform.h"
#include "engine/base/rect.h"

#include <cstdint>
#include <list>
#include <optional>

class TMessage;
class TModalWindow;
class TWindow;
class TWindowAnim;
class TWindowStyle;

// Visits child windows; returning false ends the walk.
class TWindowSpider {
public:
    virtual ~TWindowSpider() = default;
    virtual bool Process(TWindow* window) = 0;
};

// Builds a window from a definition table; registered by name with the
// window manager, which owns it.
class TWindowFactory {
public:
    virtual ~TWindowFactory() = default;
    virtual TWindow* Create(TWindowStyle* style) = 0;
};

// Sees undirected messages before the focus window does; true consumes one.
class TMessageListener {
public:
    virtual ~TMessageListener() = default;
    virtual bool OnMessage(TMessage* message) = 0;
};

TWindow* TWindowDynamicCreate();

// Event types the window system knows beyond the platform's: routed ones
// this platform never produces, and the bounds of what the manager routes.
enum EWindowEventTypes {
    kUntypedEvent = 0,   // what the manager routes a type above kLastEventType as
    kDroppedEvent = 2,   // never routed: the manager returns at once
    kMouseHoverEvent = 11,
    kRedrawEvent = 15,   // redraw the top modal now
    kLastEventType = 18, // TEvent::kActivate
};

class TWindow {
public:
    using ChildList = std::list<TWindow*>;

    enum Flags : uint16_t {
        kModal = 0x0001,            // a TModalWindow on the modal stack
        kCanFocus = 0x0002,         // takes the focus when clicked
        kBackgroundLayer = 0x0004,  // marker of background images
        kLocalInvalidate = 0x0008,  // invalidation stops here, parent untouched
        kBeginGroup = 0x0010,       // first button of a radio group
        kVisible = 0x0100,          // hidden windows are neither drawn nor hit
        kNeedsDraw = 0x0800,        // Draw runs on the next pass that reaches it
    };

    enum EDrawMode { kDrawNormal = 0 };

    TWindow();
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    // Class identity. Windows that can be made from their identity register a
    // creation function with it; the others answer null from CreateFromId.
    static TClassId ClassId();
    static TWindow* CreateFromId(TClassId id);
    // Registers a creation function; returns the identity made from its
    // address. A creatable class's ClassId calls it once.
    static TClassId RegisterCreatable(TWindow* (*create)());
    virtual bool IsKindOf(TClassId id) const { return id == ClassId(); }
    template <typename T>
    T* GetCast()
    {
        return IsKindOf(T::ClassId()) ? static_cast<T*>(this) : nullptr;
    }

    // Life cycle hooks run by whoever builds the window.
    virtual bool Init() { return true; }
    virtual void PostInit() {}
    virtual void PostChildrenInit() {}
    // Draws this window only (children draw themselves); nothing by default.
    virtual void Draw() {}

    // Tree. Adopt takes ownership of the child; Orphan hands it back.
    virtual bool AdoptChild(TWindow* child, bool init);
    virtual void OrphanChild(TWindow* child);
    virtual void SetScroll(float, float) {}

    // Handlers: true means handled. Points are in this window's client coordinates.
    virtual bool OnMessage(TMessage*) { return false; }
    virtual bool OnTaskAnimate() { return false; }
    virtual bool OnMouseDown(const TPoint&) { return false; }
    virtual bool OnExtendedMouseEvent(const TPoint&, TPlatform::ExtendedMouseEvents) { return false; }
    virtual bool OnMouseUp(const TPoint&) { return false; }
    virtual bool OnMouseMove(const TPoint&) { return false; }
    virtual bool OnMouseLeave() { return false; }
    virtual bool CanAcceptFocus() { return false; }
    virtual bool OnChar(char) { return false; }
    virtual bool OnKeyDown(char, int /*modifiers*/) { return false; }
    virtual bool OnKeyUp(char) { return false; }
    virtual bool OnMouseHover(const TPoint&) { return false; }
    virtual void OnSetFocus(TWindow* /*previous*/) {}
    virtual void OnKillFocus(TWindow* /*next*/) {}
    // Records r (null: the whole client area) as dirty; see window.cpp.
    virtual bool OnDirtyRect(TRect* r);

    TWindow* GetParent() const { return mParent; }
    const ChildList& GetChildren() const { return mChildren; }
    void DestroyAllChildren();
    void ForEachChild(TWindowSpider* spider, bool reverse);
    // This window or the first descendant with the name, at most depth levels
    // down (-1: no limit), depth first in child order.
    TWindow* GetChildWindow(const str& name, int depth);
    TModalWindow* FindParentModal() const;

    const str& GetName() const { return mName; }
    void SetName(const str& name) { mName = name; }
    int GetId() const { return mId; }
    // What scripts and callbacks hold instead of the window's address; the
    // window manager cuts it when it deletes the window.
    TLifeline& Lifeline() { return mLifeline; }
    // The id as modal windows are addressed in messages ("%8x").
    str GetIdText() const;

    uint16_t GetFlags() const { return mFlags; }
    void SetFlags(uint16_t flags) { mFlags = flags; }
    void AddFlags(uint16_t flags) { mFlags = static_cast<uint16_t>(mFlags | flags); }
    void ClearFlags(uint16_t flags) { mFlags = static_cast<uint16_t>(mFlags & ~flags); }
    bool HasFlags(uint16_t flags) const { return (mFlags & flags) == flags; }
    bool IsModal() const { return HasFlags(kModal); }
    bool IsVisible() const { return HasFlags(kVisible); }

    // Geometry. The rectangle is in the parent's client coordinates.
    const TRect& GetRect() const { return mRect; }
    void SetWindowPos(int x, int y);
    void SetWindowSize(int w, int h);
    int GetWindowWidth() const { return mRect.Width(); }
    int GetWindowHeight() const { return mRect.Height(); }
    void GetClientRect(TRect* r) const;
    void GetWindowRect(TRect* r) const;
    void ClientToParent(TPoint* p) const;
    void ClientToScreen(TPoint* p) const;
    void ScreenToClient(TPoint* p) const;
    void ClientToScreen(TRect* r) const;

    // Hit-testing; p in this window's client coordinates.
    TWindow* NextChildWindowFromPoint(const TPoint& p, ChildList::const_iterator from) const;
    TWindow* ChildWindowFromPoint(const TPoint& p, int depth);

    // Invalidation; r in client coordinates, null for the whole window.
    void InvalidateRect(TRect* r);
    bool InternalInvalidateRect(TRect* r, bool first, bool propagate);
    void DirtyChildren();
    // The area recorded for redrawing, when any.
    std::optional<TRect> GetDirtyRect() const { return mDirtyRect; }

    bool DoDraw(EDrawMode mode);

    void HandleEvent(const TEvent* e, bool focusTaken);
    void SendWindowMessage(TMessage* m);

    TWindowAnim* GetWindowAnim();
    void StartWindowAnimation(int period, bool repeat, bool fromNow, bool catchUp);

private:
    friend class TWindowAnim;
    friend class TDirtyChildren;

    bool HandleByType(const TEvent& e);
    bool TakeFocusOnClick();
    void PassEventOn(const TEvent& e, bool focusTaken);
    void ForgetDirtyArea() { mDirtyRect.reset(); }

    TWindow* mParent = nullptr;
    ChildList mChildren;  // front = topmost: hit first, drawn last
    TRect mRect;
    str mName;
    uint16_t mFlags = kVisible;
    int mId;
    // The dirty area is one union rectangle; empty until something is invalidated.
    std::optional<TRect> mDirtyRect;
    TWindowAnim* mAnim = nullptr;  // owned by the enclosing modal's task list
    bool mOwnsAnim = false;        // no modal took the animation task
    TLifeline mLifeline;
};

// GetCast that also accepts a null window.
template <typename T>
T* GetCast(TWindow* window)
{
    return window ? window->template GetCast<T>() : nullptr;
}
