#include "engine/script/luabind.h"

#include "engine/base/debuglog.h"

#include "lauxlib.h"

#include <cstdlib>
#include <limits>
#include <new>
#include <string>

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

namespace {

const char kBoundMetatable[] = "qmBoundMetatable";

// The userdata box a bound function holds as its only upvalue. Lua owns it;
// its __gc destroys it, which drops the hold on the lifeline's flag.
struct TBound {
    void* self;
    TLifeHandle life;
    lua_CFunction fn;
    std::string name;
};

TBound* BoxAt(lua_State* L, int index)
{
    return static_cast<TBound*>(lua_touserdata(L, index));
}

int BoundGc(lua_State* L)
{
    if (TBound* box = BoxAt(L, 1))
        box->~TBound();
    return 0;
}

void PushBoundMetatable(lua_State* L)
{
    lua_pushstring(L, kBoundMetatable);
    lua_rawget(L, LUA_REGISTRYINDEX);
    if (lua_istable(L, -1))
        return;
    lua_pop(L, 1);
    lua_newtable(L);
    lua_pushstring(L, "__gc");
    lua_pushcfunction(L, BoundGc);
    lua_rawset(L, -3);
    lua_pushstring(L, kBoundMetatable);
    lua_pushvalue(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

int CallBound(lua_State* L)
{
    TBound* box = BoxAt(L, lua_upvalueindex(1));
    if (!box->life.IsAlive()) {
        WriteDbg("%s: called after its object was destroyed; ignored", box->name.c_str());
        return 0;
    }
    return box->fn(L);
}

}  // namespace

void PushBound(lua_State* L, const char* name, void* self, const TLifeline& life, lua_CFunction fn)
{
    void* memory = lua_newuserdata(L, sizeof(TBound));
    new (memory) TBound{self, life.Handle(), fn, name};
    PushBoundMetatable(L);
    lua_setmetatable(L, -2);
    lua_pushcclosure(L, CallBound, 1);
}

void Publish(lua_State* L, const char* name, void* self, const TLifeline& life, lua_CFunction fn)
{
    lua_pushstring(L, name);
    PushBound(L, name, self, life, fn);
    lua_settable(L, LUA_GLOBALSINDEX);
}

void Publish(lua_State* L, const char* name, std::nullptr_t, lua_CFunction fn)
{
    lua_pushstring(L, name);
    lua_pushcfunction(L, fn);
    lua_settable(L, LUA_GLOBALSINDEX);
}

void PublishAll(lua_State* L, std::span<const TBinding> table, void* self, const TLifeline& life)
{
    for (const TBinding& entry : table)
        Publish(L, entry.name, self, life, entry.fn);
}

void PublishAll(lua_State* L, std::span<const TBinding> table)
{
    for (const TBinding& entry : table)
        Publish(L, entry.name, nullptr, entry.fn);
}

void* BoundSelf(lua_State* L)
{
    TBound* box = BoxAt(L, lua_upvalueindex(1));
    return box ? box->self : nullptr;
}

}  // namespace qm::lua
