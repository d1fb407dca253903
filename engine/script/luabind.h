// The binding layer: how native functions are published to Lua and how they
// read their arguments. Arguments are checked strictly before any engine
// object is built: a declared string must be a string (a number is not
// taken), a declared number a number; anything else raises the Lua error
// "bad argument" for that argument, which unwinds (as a C++ exception) to
// the protected call that ran the Lua code.
#pragma once

#include "engine/base/str.h"

#include "lua.h"

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

// Publishes fn as the global `name`; fn finds `self` with Self<T>(L).
void Publish(lua_State* L, const char* name, void* self, lua_CFunction fn);

template <typename T>
T* Self(lua_State* L)
{
    return static_cast<T*>(lua_touserdata(L, lua_upvalueindex(1)));
}

}  // namespace qm::lua
