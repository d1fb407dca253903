// Windows that write what reaches them into a shared journal, and can be
// told which input and messages to handle.
#pragma once

#include "engine/window/message.h"
#include "engine/window/modalwindow.h"
#include "engine/window/window.h"
#include "engine/window/windowmanager.h"
#include "engine/window/windowscripthook.h"
#include "engine/window/layeredwindow.h"

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

using Journal = std::vector<std::string>;

inline std::string At(const TPoint& p)
{
    return " " + std::to_string(p.x) + "," + std::to_string(p.y);
}

template <typename Base>
class Probe : public Base {
public:
    template <typename... Args>
    Probe(Journal* journal, const char* name, Args&&... args) : Base(std::forward<Args>(args)...), mJournal(journal)
    {
        this->SetName(name);
    }

    // Event types (TEvent::mType) and message types this window handles.
    std::set<int> handles;
    std::set<int> handlesMessages;
    // Runs inside the handler of the given event type, before it answers.
    std::function<void()> onEvent;
    bool initResult = true;
    bool noteFocus = true;
    int draws = 0;

    bool Init() override { return initResult; }
    void Draw() override
    {
        ++draws;
        Note("draw");
    }
    bool OnMouseDown(const TPoint& p) override { return Event(TEvent::kMouseDown, "down" + At(p)); }
    bool OnMouseUp(const TPoint& p) override { return Event(TEvent::kMouseUp, "up" + At(p)); }
    bool OnMouseMove(const TPoint& p) override { return Event(TEvent::kMouseMove, "move" + At(p)); }
    bool OnMouseLeave() override
    {
        Note("leave");
        return false;
    }
    bool OnKeyDown(char c, int) override { return Event(TEvent::kKeyDown, std::string("key ") + c); }
    bool OnChar(char32_t c) override
    {
        return Event(TEvent::kChar, std::string("char ") + static_cast<char>(c)) || Base::OnChar(c);
    }
    void OnSetFocus(TWindow* previous) override
    {
        if (noteFocus)
            Note(std::string("focus from ") + (previous ? previous->GetName().c_str() : "null"));
        Base::OnSetFocus(previous);
    }
    bool OnMessage(TMessage* m) override
    {
        Note("msg " + std::to_string(m->GetType()) + " '" + m->GetName().c_str() + "'");
        if (handlesMessages.count(m->GetType()))
            return true;
        return Base::OnMessage(m);
    }

    void Note(const std::string& what) { mJournal->push_back(std::string(this->GetName().c_str()) + ": " + what); }

private:
    bool Event(int type, const std::string& what)
    {
        Note(what);
        if (onEvent)
            onEvent();
        return handles.count(type) != 0;
    }

    Journal* mJournal;
};

using ProbeWindow = Probe<TWindow>;
using ProbeModal = Probe<TModalWindow>;

// Places a window at (x1, y1) with the given far edges, in its parent's coordinates.
inline void Place(TWindow* w, int x1, int y1, int x2, int y2)
{
    w->SetWindowPos(x1, y1);
    w->SetWindowSize(x2 - x1, y2 - y1);
}

// Pushes a new probe modal window placed at (x1, y1)-(x2, y2) that does not
// note focus changes in the journal (fixtures build their stacks with it).
inline ProbeModal* PushProbeModal(TWindowManager& manager, Journal* journal, const char* name, int x1, int y1, int x2, int y2)
{
    auto* modal = new ProbeModal(journal, name);
    modal->noteFocus = false;
    Place(modal, x1, y1, x2, y2);
    manager.PushModal(modal);
    return modal;
}

inline TEvent Event(int type, int x = 0, int y = 0, int param = 0)
{
    TEvent e{};
    e.mType = type;
    e.mParam = param;
    e.mX = x;
    e.mY = y;
    return e;
}

// A listener that records the undirected messages it sees and consumes the listed types.
class ProbeListener : public TMessageListener {
public:
    ProbeListener(Journal* journal, std::string name, std::set<int> consumes)
        : mJournal(journal), mName(std::move(name)), mConsumes(std::move(consumes))
    {
    }
    bool OnMessage(TMessage* m) override
    {
        mJournal->push_back(mName + ": msg " + std::to_string(m->GetType()) + " '" + m->GetName().c_str() + "'");
        return mConsumes.count(m->GetType()) != 0;
    }

private:
    Journal* mJournal;
    std::string mName;
    std::set<int> mConsumes;
};

// Stands in for the window script: records what the manager tells it and
// takes the messages addressed to scripts.
class FakeScript : public IWindowScript {
public:
    explicit FakeScript(Journal* journal) : mJournal(journal) {}

    void NewModalWindow(TWindow* w) override { Note(std::string("new modal ") + (w ? w->GetName().c_str() : "null")); }
    void PushWindow(TWindow* w) override { Note(std::string("push ") + w->GetName().c_str()); }
    bool PopWindow() override
    {
        Note("pop");
        return true;
    }
    bool RunScript(const char* file) override
    {
        Note(std::string("run ") + file);
        return true;
    }
    void AddWindowType(const str& name, TClassId) override { Note(std::string("type ") + name.c_str()); }
    bool OnMessage(TMessage* m, TLuaFunction*) override
    {
        Note("msg " + std::to_string(m->GetType()) + " '" + m->GetName().c_str() + "'");
        delete m;
        return true;
    }
    bool EnableStringTable(bool on) override
    {
        std::swap(on, mStrings);
        return on;
    }
    TTask* GetTask() override { return nullptr; }
    void SetGlobalString(const str& name, const str& value) override
    {
        Note(std::string("global ") + name.c_str() + " = " + value.c_str());
    }

private:
    void Note(const std::string& what) { mJournal->push_back("script: " + what); }

    Journal* mJournal;
    bool mStrings = false;
};
