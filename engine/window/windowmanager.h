// The one object that runs the window tree: the modal stack (the root screen
// at the bottom, the window being interacted with on top), routing of input
// events, focus and mouse capture, the message queue, late destruction of
// windows, and drawing the windows that were invalidated once per frame.
#pragma once

#include "engine/base/classid.h"
#include "engine/base/str.h"
#include "engine/platform/platform.h"
#include "engine/window/window.h"

#include <deque>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <vector>

class IWindowDisplay;
class IWindowScript;
class TLuaFunction;
class TMessage;
class TDialog;
class TModalWindow;
class TScreen;

class TWindowManager {
public:
    // The manager of the running engine, or null when there is none.
    static TWindowManager* GetInstance();

    TWindowManager();
    virtual ~TWindowManager();
    TWindowManager(const TWindowManager&) = delete;
    TWindowManager& operator=(const TWindowManager&) = delete;

    // ---- Scripting (the window script plugs in here) ----
    void AttachWindowScript(IWindowScript* script);
    IWindowScript* GetScript() const { return mScript; }
    void AddWindowType(const str& name, TClassId classId);
    // Runs a script file with w as the window that adopts what it builds.
    bool RunScript(TWindow* w, const char* file);
    // Returns the previous setting; false without a script.
    bool EnableStringTable(bool on);
    void AdoptWindowFactory(const str& name, TWindowFactory* factory);
    TWindowFactory* GetWindowFactory(const str& name) const;

    // ---- Modal stack, focus and capture ----
    // Installs the root window at the bottom of the stack, sized to the viewport.
    void SetScreen(TScreen* screen);
    TScreen* GetScreen() const { return mScreen; }
    void PushModal(TModalWindow* w);
    void PopModal();
    TModalWindow* GetTopModalWindow() const;
    // Makes a dialog from a dialog script with its body and title texts,
    // names it and pushes it; the screen waiting for messages then waits for
    // the dialog to close.
    TDialog* DisplayDialog(const str& script, const str& body, const str& title, const str& name);
    // Top first.
    const std::list<TModalWindow*>& GetModalStack() const { return mModalStack; }
    void SetTopModalOnly(bool on) { mTopModalOnly = on; }
    bool GetTopModalOnly() const { return mTopModalOnly; }

    TWindow* GetFocus() const { return mFocus; }
    void SetFocus(TWindow* w) { mFocus = w; }
    TWindow* SetCapture(TWindow* w);
    void ReleaseCapture(TWindow* w);
    // Most recent first.
    const std::list<TWindow*>& GetCaptures() const { return mCaptures; }

    // ---- Messages ----
    // The queue owns the message from here on.
    void PostWindowMessage(TMessage* m);
    void AdoptMessageListener(TMessageListener* listener);
    bool OrphanMessageListener(TMessageListener* listener);
    void DispatchMessages();
    void DispatchWindowMessage(TMessage* m);
    // Hands a message nobody in the tree handled to the window script.
    void OnScriptMessage(TMessage* m, TLuaFunction* f);
    size_t GetQueuedMessageCount() const { return mQueue.size(); }

    // ---- Drawing ----
    void AddDirtyWindow(TWindow* w) { mDirty.insert(w); }
    void ScreenWasInvalidated() { mScreenInvalidated = true; }
    bool IsDirty(TWindow* w) const { return mDirty.count(w) != 0; }
    size_t GetDirtyCount() const { return mDirty.size(); }
    void DirtyWindows();
    void DrawLayer(TWindow::EDrawMode mode);
    void DrawStack();
    // Set by movie playback: while a movie plays no frame is drawn.
    void SetMoviePlaying(bool playing) { mMoviePlaying = playing; }
    bool IsMoviePlaying() const { return mMoviePlaying; }

    // The drawing the window core does itself; not owned. Null: none.
    void SetWindowDisplay(IWindowDisplay* display) { mDisplay = display; }
    IWindowDisplay* GetWindowDisplay() const { return mDisplay; }

    // ---- Destruction ----
    // Deletes w (orphaned from its parent) at the start of the next event.
    void SafeDestroyWindow(TWindow* w);
    void ClearDestroyedWindows();
    // Called by the window destructor: forgets every reference to w.
    void OnDestroyWindow(TWindow* w);

    // ---- Input: every event of the main loop comes here ----
    void HandleEvent(TEvent* e);

    // What a quit message does; ends the process unless replaced (tests).
    using ExitHandler = std::function<void(int)>;
    void SetExitHandler(ExitHandler handler) { mExit = std::move(handler); }

private:
    void PopTop();
    void GiveFocusToTop();
    void RemoveFromModalStack(TWindow* w);
    void StripMessageTargets(TWindow* w);
    void RouteMouse(const TEvent& e, TModalWindow* top);
    void LeaveCaptures();
    bool IsCaptured(TWindow* w) const;
    void Exit(int code);

    std::map<str, std::unique_ptr<TWindowFactory>> mFactories;
    TScreen* mScreen = nullptr;
    std::list<TModalWindow*> mModalStack;  // front = top
    std::vector<TWindow*> mDestroyList;
    std::vector<TWindow*> mDoomed;  // being deleted by ClearDestroyedWindows
    bool mTopModalOnly = false;
    bool mMoviePlaying = false;
    std::list<TWindow*> mCaptures;  // front = most recent
    std::set<TWindow*> mDirty;
    TWindow* mFocus = nullptr;
    IWindowScript* mScript = nullptr;
    bool mScreenInvalidated = false;
    std::deque<TMessage*> mQueue;  // owned
    std::vector<std::unique_ptr<TMessageListener>> mListeners;
    ExitHandler mExit;
    IWindowDisplay* mDisplay = nullptr;
    TLifeline mLifeline;  // the manager's own Lua functions are bound to it
};

// True when w is inside ancestor (or is it).
bool IsWindowInside(const TWindow* w, const TWindow* ancestor);
