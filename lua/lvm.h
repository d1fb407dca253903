// The virtual machine: executes Lua frames, and the primitive operations on
// values with their metamethods (indexing, arithmetic, comparison, concat).
#pragma once

#include "lobject.h"
#include "ltm.h"

const TObject* luaV_tonumber(const TObject* obj, TObject* n);
int luaV_tostring(lua_State* L, StkId obj);
int luaV_towstring(lua_State* L, TObject* obj);
void luaV_gettable(lua_State* L, const TObject* t, const TObject* key, StkId val);
void luaV_settable(lua_State* L, const TObject* t, const TObject* key, const TObject* val);
int luaV_lessthan(lua_State* L, const TObject* l, const TObject* r);
int luaV_equalObj(lua_State* L, const TObject* t1, const TObject* t2);
void luaV_concat(lua_State* L, int total, int last);
void luaV_execute(lua_State* L);

inline bool tonumber(TObject* o, TObject* n)
{
    if (ttisnumber(o))
        return true;
    const TObject* r = luaV_tonumber(o, n);
    if (r == nullptr)
        return false;
    setobj(o, r);
    return true;
}

inline int equalobj(lua_State* L, const TObject* o1, const TObject* o2)
{
    return ttype(o1) == ttype(o2) && luaV_equalObj(L, o1, o2);
}
