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
// Publishes fn as the global `name`.
void Publish(lua_State* L, const char* name, void* self, const TLifeline& life, lua_CFunction fn);
// Pushes the bound function onto the stack instead (for a table field or a
// closure handed to the script); `name` is what the log line calls it.
void PushBound(lua_State* L, const char* name, void* self, const TLifeline& life, lua_CFunction fn);
// A function bound to no object: it finds what it acts on by itself.
void Publish(lua_State* L, const char* name, std::nullptr_t, lua_CFunction fn);

// A registration table: one entry per Lua function.
struct TBinding {
    const char* name;
    lua_CFunction fn;
};
// Publishes every function of the table, bound to self and life.
void PublishAll(lua_State* L, std::span<const TBinding> table, void* self, const TLifeline& life);
// Publishes every function of the table, bound to no object.
void PublishAll(lua_State* L, std::span<const TBinding> table);

// The object the running bound function was published for.
void* BoundSelf(lua_State* L);

template <typename T>
T* Self(lua_State* L)
{
    return static_cast<T*>(BoundSelf(L));
}

}  // namespace qm::lua
