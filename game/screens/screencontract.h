// What a window class of the game and the Lua script that builds it share,
// stated once beside the class (its `kContract`): the window type scripts
// name it by, the script that builds it, the Lua functions its constructor
// publishes, and every child it reads or toggles by name with the class it
// expects. The code finds its children through the statement
// (TScriptedWindow::Child); a name the statement does not hold is logged
// and asserted. The contract test opens every shipped script and holds it to
// the statements; the content lint gets them as "window" lines.
#pragma once

#include "engine/base/classid.h"
#include "engine/script/luabind.h"
#include "engine/window/window.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace contract {

// Where the code looks for a child.
enum class EScope : std::uint8_t {
    kInside,  // below the window itself
    kScreen,  // anywhere in the screen (the modal window) the script builds
};

struct TChildSpec {
    const char* name;          // "served"; a name with "%d" stands for first..last
    TClassId (*cls)();         // the class the code takes it as (it may be of a class derived from it)
    bool optional = false;     // the code does without it
    EScope scope = EScope::kInside;
    const char* script = nullptr;  // built by another script (in its screen), not by the class's own
    int first = 0;
    int last = 0;
    // The script joins the name from parts ("top" .. "left"): the content
    // lint cannot find it in the text; the contract test, which runs the
    // script, still does.
    bool composed = false;

    constexpr TChildSpec Optional() const
    {
        TChildSpec c = *this;
        c.optional = true;
        return c;
    }
    // Found in the screen: beside the window, or around it.
    constexpr TChildSpec InScreen() const
    {
        TChildSpec c = *this;
        c.scope = EScope::kScreen;
        return c;
    }
    constexpr TChildSpec Composed() const
    {
        TChildSpec c = *this;
        c.composed = true;
        return c;
    }
    // Built by another script, whose screen the code looks in.
    constexpr TChildSpec In(const char* otherScript) const
    {
        TChildSpec c = InScreen();
        c.script = otherScript;
        return c;
    }
    bool IsNumbered() const;
    // The name of number n of a numbered child.
    std::string NameOf(int n) const;
    bool Matches(const char* childName) const;
};

// A child by name, of a class (a plain window when none is said).
constexpr TChildSpec Child(const char* name, TClassId (*cls)() = &TWindow::ClassId)
{
    return TChildSpec{name, cls};
}
// Children "name0".."name4" from a pattern holding one "%d".
constexpr TChildSpec Numbered(const char* pattern, int first, int last, TClassId (*cls)() = &TWindow::ClassId)
{
    TChildSpec c{pattern, cls};
    c.first = first;
    c.last = last;
    return c;
}

// A stated child as a constant that knows the class the code takes it as:
// the name is spelled once, in the statement's line, and every lookup goes
// through the constant (TScriptedWindow::Child(kServed) answers a TText*).
//   constexpr auto kServed = contract::Child<TText>("served");
//   const contract::TChildSpec kChildren[] = {kServed, ...};
template <class T>
struct TChild : TChildSpec {
    using Type = T;

    constexpr TChild Optional() const { return TChild{TChildSpec::Optional()}; }
    constexpr TChild InScreen() const { return TChild{TChildSpec::InScreen()}; }
    constexpr TChild Composed() const { return TChild{TChildSpec::Composed()}; }
    constexpr TChild In(const char* otherScript) const { return TChild{TChildSpec::In(otherScript)}; }
};

template <class T>
constexpr TChild<T> Child(const char* name)
{
    return TChild<T>{Child(name, &T::ClassId)};
}
template <class T>
constexpr TChild<T> Numbered(const char* pattern, int first, int last)
{
    return TChild<T>{Numbered(pattern, first, last, &T::ClassId)};
}

struct TScreenSpec {
    const char* className;  // "TLevelOver": the owner of its Lua functions, in log lines
    const char* typeName;   // the window type scripts name it by; null for a class made by code
    const char* script;     // the script that builds it; null when no one script does
    std::span<const qm::lua::TBinding> functions;  // published by its constructor, bound to it
    std::span<const TChildSpec> children;
    // The owner its functions are published under: the class, unless
    // several classes share them (the newest of any of them takes them).
    const char* functionOwner = nullptr;

    const char* FunctionOwner() const { return functionOwner ? functionOwner : className; }
    const TChildSpec* Find(const char* childName) const;
};

// What TScriptedWindow adds to every stated window, so helpers that are
// handed only a TWindow can find its statement.
class IStated {
public:
    virtual const TScreenSpec& Contract() const = 0;

protected:
    ~IStated() = default;
};

// The statement of a window, or null for a window of no stated class.
const TScreenSpec* ContractOf(const TWindow* window);

// True when `name` is in the statement of `window`'s class (or the class
// states nothing). A name it does not hold is logged once per class and
// name, with an assertion line: a lookup of a child the script was never
// promised to build.
bool Check(const TWindow* window, const char* name);
// Every lookup Check refused so far, once each: "TLevelOver: \"name\"".
std::vector<std::string> UnstatedLookups();

// The child `name` below `root`, taken as T; null when missing or of
// another class. `owner` is the stated window whose statement must hold it.
template <class T>
T* Find(const TWindow* owner, TWindow* root, const char* name)
{
    Check(owner, name);
    TWindow* child = root ? root->GetChildWindow(name, -1) : nullptr;
    return ::GetCast<T>(child);
}

// Publishes the statement's functions, bound to `self` (the object the
// functions take as Self) and the window's lifeline, with the class as
// their owner.
void PublishFunctions(const TScreenSpec& spec, void* self, TWindow* window);

}  // namespace contract
