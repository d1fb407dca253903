// A window's method with no arguments and no result, as a Lua function bound
// to the window (qm::lua::Publish): the table entry names the method once.
#pragma once

#include "engine/script/luabind.h"

template <typename T, void (T::*Method)()>
int LuaMethod(lua_State* L)
{
    (qm::lua::Self<T>(L)->*Method)();
    return 0;
}
