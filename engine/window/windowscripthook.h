// What the window manager needs of the window script, the one Lua state that
// builds screens from definition tables and waits for their messages. The
// script itself lives with the Lua bindings; it implements this interface
// so that the window system does not depend on the scripting layer.
#pragma once

#include "engine/base/classid.h"
#include "engine/base/lifeline.h"
#include "engine/base/str.h"

#include <functional>

class TLuaFunction;
class TMessage;
class TTask;
class TWindow;

class IWindowScript {
public:
    virtual ~IWindowScript() = default;

    // A modal window was pushed (or the stack emptied: null); windows built
    // from now on are adopted by it.
    virtual void NewModalWindow(TWindow* w) = 0;
    virtual void PushWindow(TWindow* w) = 0;
    virtual bool PopWindow() = 0;
    // Runs a script file in the Lua state; false when it failed.
    virtual bool RunScript(const char* file) = 0;
    // True while a screen of that script file waits for its messages.
    virtual bool IsRunningFile(const char* /*file*/) const { return false; }
    // True while a screen waits for its messages: a script run now runs
    // inside the screens' coroutine (and so may wait too). False before the
    // first screen and once the coroutine has ended (a screen script failed
    // or was stopped).
    virtual bool ScreenWaiting() const { return false; }
    // While no screen waits: starts a screen script file ("scripts/...",
    // read from "assets/" as the screens read theirs) as the screens'
    // coroutine, so that it can wait for its messages. Messages and
    // commands queued for a coroutine that ended are dropped first: they
    // have nobody to go to. False when it did not start.
    virtual bool StartScreen(const char* /*file*/) { return false; }
    virtual void AddWindowType(const str& name, TClassId classId) = 0;
    // Takes ownership of the message.
    virtual bool OnMessage(TMessage* m, TLuaFunction* f) = 0;
    virtual bool EnableStringTable(bool on) = 0;
    // The script runs as a task of the platform task list.
    virtual TTask* GetTask() = 0;
    // Sets a global string of the script (a close button leaves its name
    // in "gReturnValue").
    virtual void SetGlobalString(const str& name, const str& value) = 0;
    // Keys of the definition table being built, with its style chain;
    // windows read their own options here in Init. def when absent.
    virtual double GetNumber(const char* /*key*/, double def) { return def; }
    virtual str GetString(const char* /*key*/, const char* def) { return def; }
    virtual bool GetBool(const char* /*key*/, bool def) { return def; }

    // ---- What dialogs and native windows need of the Lua state ----
    // Runs Lua text; false when it failed (the error is logged).
    virtual bool RunLuaText(const str& /*text*/) { return false; }
    // Hands the global function `name`, with no message, to the window
    // manager's OnScriptMessage: the waiting screen runs it as a command.
    virtual void SendGlobalFunction(const char* /*name*/) {}
    // Publish native functions of an object as Lua globals. The global stays
    // for the life of the state; once `life` is cut a call logs one line
    // and does nothing. `owner` names the class: while a live object of
    // another owner holds the name, the publication is refused (and
    // logged). Arguments are checked: a wrong type raises "bad argument" in
    // Lua.
    virtual void PublishFunction(const char* /*name*/, const char* /*owner*/, const TLifeline& /*life*/,
                                 std::function<void()> /*fn*/) {}
    virtual void PublishIntFunction(const char* /*name*/, const char* /*owner*/, const TLifeline& /*life*/,
                                    std::function<void(int)> /*fn*/) {}
    // The argument is taken as Lua truth (nil and false are false).
    virtual void PublishBoolFunction(const char* /*name*/, const char* /*owner*/, const TLifeline& /*life*/,
                                     std::function<void(bool)> /*fn*/) {}
};
