#include "engine/script/luabind.h"

#include "engine/base/debuglog.h"

#include "lauxlib.h"

#include <cstdlib>
#include <limits>
#include <map>
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

const char* CheckCString(lua_State* L, int i)
{
    if (lua_type(L, i) != LUA_TSTRING)
        BadArgument(L, i, "string");
    return lua_tostring(L, i);
}

bool ToBool(lua_State* L, int i)
{
    return lua_toboolean(L, i) != 0;
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

namespace {

const char kRegisterKey[] = "qmPublications";

// Who holds each global name of a state. It lives in the state's registry
// (a userdata whose __gc destroys it), so it goes with the state.
struct THolder {
    std::string owner;
    bool bound = false;  // bound to an object's lifeline (else to nothing: always alive)
    TLifeHandle life;
    lua_CFunction fn = nullptr;

    bool IsAlive() const { return !bound || life.IsAlive(); }
};

struct TRegister {
    std::map<std::string, THolder> holders;
    std::vector<std::string> refused;
};

int RegisterGc(lua_State* L)
{
    if (auto* reg = static_cast<TRegister*>(lua_touserdata(L, 1)))
        reg->~TRegister();
    return 0;
}

TRegister& RegisterOf(lua_State* L)
{
    lua_pushstring(L, kRegisterKey);
    lua_rawget(L, LUA_REGISTRYINDEX);
    auto* reg = static_cast<TRegister*>(lua_touserdata(L, -1));
    lua_pop(L, 1);
    if (reg)
        return *reg;
    reg = new (lua_newuserdata(L, sizeof(TRegister))) TRegister;
    lua_newtable(L);
    lua_pushstring(L, "__gc");
    lua_pushcfunction(L, RegisterGc);
    lua_rawset(L, -3);
    lua_setmetatable(L, -2);
    lua_pushstring(L, kRegisterKey);
    lua_insert(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
    return *reg;
}

// Enters the new holder of `name`, or refuses it while another owner's
// holder lives.
bool Claim(lua_State* L, const char* name, const char* owner, THolder holder)
{
    TRegister& reg = RegisterOf(L);
    holder.owner = owner ? owner : "";
    auto found = reg.holders.find(name);
    if (found != reg.holders.end() && found->second.owner != holder.owner && found->second.IsAlive()) {
        std::string line = std::string(name) + ": already published by " + found->second.owner + "; " +
                           holder.owner + "'s is refused";
        WriteDbg("%s", line.c_str());
        reg.refused.push_back(std::move(line));
        return false;
    }
    reg.holders[name] = std::move(holder);
    return true;
}

}  // namespace

bool Publish(lua_State* L, const char* name, const char* owner, void* self, const TLifeline& life, lua_CFunction fn)
{
    if (!Claim(L, name, owner, THolder{{}, true, life.Handle(), fn}))
        return false;
    lua_pushstring(L, name);
    PushBound(L, name, self, life, fn);
    lua_settable(L, LUA_GLOBALSINDEX);
    return true;
}

bool Publish(lua_State* L, const char* name, const char* owner, std::nullptr_t, lua_CFunction fn)
{
    if (!Claim(L, name, owner, THolder{{}, false, {}, fn}))
        return false;
    lua_pushstring(L, name);
    lua_pushcfunction(L, fn);
    lua_settable(L, LUA_GLOBALSINDEX);
    return true;
}

int PublishAll(lua_State* L, std::span<const TBinding> table, const char* owner, void* self, const TLifeline& life)
{
    int refused = 0;
    for (const TBinding& entry : table)
        refused += Publish(L, entry.name, owner, self, life, entry.fn) ? 0 : 1;
    return refused;
}

int PublishAll(lua_State* L, std::span<const TBinding> table, const char* owner)
{
    int refused = 0;
    for (const TBinding& entry : table)
        refused += Publish(L, entry.name, owner, nullptr, entry.fn) ? 0 : 1;
    return refused;
}

std::vector<TPublication> Publications(lua_State* L)
{
    std::vector<TPublication> list;
    for (const auto& [name, holder] : RegisterOf(L).holders)
        list.push_back({name, holder.owner, holder.IsAlive(), holder.fn});
    return list;
}

std::vector<std::string> RefusedPublications(lua_State* L) { return RegisterOf(L).refused; }

void* BoundSelf(lua_State* L)
{
    TBound* box = BoxAt(L, lua_upvalueindex(1));
    return box ? box->self : nullptr;
}

}  // namespace qm::lua
