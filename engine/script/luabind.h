// The binding layer: how native functions are published to Lua and how they
// read their arguments. Arguments are checked strictly before any engine
// object is built: a declared string must be a string (a number is not
// taken), a declared number a number; anything else raises the Lua error
// "bad argument" for that argument, which unwinds (as a C++ exception) to
// the protected call that ran the Lua code.
#pragma once

#include "engine/base/lifeline.h"
#include "engine/base/str.h"

#include "lua.h"

#include <span>
#include <string>
#include <vector>

namespace qm::lua {

// Raises "bad argument #i to `f' (<expected> expected, got <type>)".
[[noreturn]] void BadArgument(lua_State* L, int i, const char* expected);

str CheckString(lua_State* L, int i);
double CheckNumber(lua_State* L, int i);
int CheckInt(lua_State* L, int i);  // a number, truncated toward zero; held at int's ends, NaN 0
int ToInt(double n);                // the same conversion for a number already read
void CheckTable(lua_State* L, int i);
void CheckFunction(lua_State* L, int i);

// Optional arguments: nil or absent gives the default; any other wrong type
// is a bad argument.
double OptNumber(lua_State* L, int i, double def);
str OptString(lua_State* L, int i, const char* def);

// Native functions bound to an object. Scripts keep functions as long as
// they like, so the function holds the object's lifeline, not the object: a
// call after the object died is logged ("<name>: called after its object was
// destroyed; ignored") and returns nothing, and fn never runs. fn finds its
// object with Self<T>(L); self must be the T* that fn asks for.
//
// Every global has one owner: the class (or service) named by `owner`. The
// state keeps a register of who published each name. A newer object of the
// same owner takes its global over (the script then calls the newest one),
// and so does anyone once the holder is dead; while the holder lives,
// another owner's publication is refused with a log line ("<name>: already
// published by <holder>; <owner>'s is refused") and the holder keeps it.
// A function bound to no object lives as long as the state.
//
// Publishes fn as the global `name`; false when it was refused.
bool Publish(lua_State* L, const char* name, const char* owner, void* self, const TLifeline& life, lua_CFunction fn);
// Pushes the bound function onto the stack instead (for a table field or a
// closure handed to the script); `name` is what the log line calls it. Not
// a global, so not in the register.
void PushBound(lua_State* L, const char* name, void* self, const TLifeline& life, lua_CFunction fn);
// A function bound to no object: it finds what it acts on by itself.
bool Publish(lua_State* L, const char* name, const char* owner, std::nullptr_t, lua_CFunction fn);

// A registration table: one entry per Lua function.
struct TBinding {
    const char* name;
    lua_CFunction fn;
};
// Publishes every function of the table, bound to self and life; answers
// how many were refused.
int PublishAll(lua_State* L, std::span<const TBinding> table, const char* owner, void* self, const TLifeline& life);
// Publishes every function of the table, bound to no object.
int PublishAll(lua_State* L, std::span<const TBinding> table, const char* owner);

// The register of a state: each published global with its owner, whether
// its holder is still alive and the native function behind it; and every
// publication refused so far, as its log line.
struct TPublication {
    std::string name;
    std::string owner;
    bool alive = false;
    lua_CFunction fn = nullptr;
};
std::vector<TPublication> Publications(lua_State* L);
std::vector<std::string> RefusedPublications(lua_State* L);

// The object the running bound function was published for.
void* BoundSelf(lua_State* L);

template <typename T>
T* Self(lua_State* L)
{
    return static_cast<T*>(BoundSelf(L));
}

}  // namespace qm::lua
