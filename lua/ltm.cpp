#include "ltm.h"

#include "lstate.h"
#include "lstring.h"
#include "ltable.h"

const char* const luaT_typenames[] = {"nil",      "boolean", "userdata", "number", "string", "table",
                                      "function", "userdata", "thread",  "wstring", "proto", "upval"};

void luaT_init(lua_State* L)
{
    static const char* const eventnames[] = {"__index", "__newindex", "__gc",  "__mode", "__eq",
                                             "__add",   "__sub",      "__mul", "__div",  "__pow",
                                             "__unm",   "__lt",       "__le",  "__concat", "__call"};
    for (int i = 0; i < TM_N; i++) {
        G(L)->tmname[i] = luaS_new(L, eventnames[i]);
        luaS_fix(G(L)->tmname[i]);
    }
}

const TObject* luaT_gettm(Table* events, TMS event, TString* ename)
{
    const TObject* tm = luaH_getstr(events, ename);
    if (ttisnil(tm)) {
        events->flags |= static_cast<lu_byte>(1u << event); // cache the absence
        return nullptr;
    }
    return tm;
}

// The metatable the core consults for a value: a table's or a userdata's own,
// otherwise the default metatable of the value's type (dialect).
Table* luaT_getmetatable(lua_State* L, const TObject* o)
{
    switch (ttype(o)) {
    case LUA_TTABLE: return hvalue(o)->metatable;
    case LUA_TUSERDATA: return uvalue(o)->metatable;
    default: {
        const TObject* mt = &G(L)->mt[ttype(o)];
        return ttistable(mt) ? hvalue(mt) : nullptr;
    }
    }
}

// For tables and userdata the event is looked up in their metatable. For any
// other value the "tag method" is the type's default metatable itself: that
// makes `s:method()' index the string's table, and makes the arithmetic and
// order paths find a non-function and fail as the core does.
const TObject* luaT_gettmbyobj(lua_State* L, const TObject* o, TMS event)
{
    switch (ttype(o)) {
    case LUA_TTABLE: return luaH_getstr(hvalue(o)->metatable, G(L)->tmname[event]);
    case LUA_TUSERDATA: return luaH_getstr(uvalue(o)->metatable, G(L)->tmname[event]);
    default: return &G(L)->mt[ttype(o)];
    }
}
