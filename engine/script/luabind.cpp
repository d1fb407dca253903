#include "engine/script/luabind.h"

#include "lauxlib.h"

#include <cstdlib>
#include <limits>

namespace qm::lua {

void BadArgument(lua_State* L, int i, const char* expected)
{
    luaL_typerror(L, i, expected);
    std::abort();  // luaL_typerror raises; it never comes back here
}

str CheckString(lua_State* L, int i)
{
    if (lua_type(L, i) != LUA_TSTRING)
        BadArgument(L, i, "string");
    return str(lua_tostring(L, i), static_cast<int>(lua_strlen(L, i)));
}

double CheckNumber(lua_State* L, int i)
{
    if (lua_type(L, i) != LUA_TNUMBER)
        BadArgument(L, i, "number");
    return lua_tonumber(L, i);
}

int CheckInt(lua_State* L, int i)
{
    return ToInt(CheckNumber(L, i));
}

int ToInt(double n)
{
    // Scripts can pass any number: converting one beyond int (or NaN)
    // straight to int is undefined, so it is held at int's ends (NaN is 0).
    if (!(n == n))
        return 0;
    if (n <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    if (n >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(n);
}

void CheckTable(lua_State* L, int i)
{
    if (lua_type(L, i) != LUA_TTABLE)
        BadArgument(L, i, "table");
}

void CheckFunction(lua_State* L, int i)
{
    if (lua_type(L, i) != LUA_TFUNCTION)
        BadArgument(L, i, "function");
}

double OptNumber(lua_State* L, int i, double def)
{
    return lua_isnoneornil(L, i) ? def : CheckNumber(L, i);
}

str OptString(lua_State* L, int i, const char* def)
{
    return lua_isnoneornil(L, i) ? str(def) : CheckString(L, i);
}

void Publish(lua_State* L, const char* name, void* self, lua_CFunction fn)
{
    lua_pushstring(L, name);
    lua_pushlightuserdata(L, self);
    lua_pushcclosure(L, fn, 1);
    lua_settable(L, LUA_GLOBALSINDEX);
}

}  // namespace qm::lua
