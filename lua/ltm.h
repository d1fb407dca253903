// Tag methods (metamethods) and the per-type default metatables.
#pragma once

#include "lobject.h"

void luaT_init(lua_State* L);
const TObject* luaT_gettm(Table* events, TMS event, TString* ename);
const TObject* luaT_gettmbyobj(lua_State* L, const TObject* o, TMS event);
Table* luaT_getmetatable(lua_State* L, const TObject* o);

// A metatable's tag method for the events up to TM_EQ, with the absence cached.


#include "ltable.h"

inline const TObject* fasttm(lua_State* L, Table* et, TMS e)
{
    if (et == nullptr || (et->flags & (1u << e)))
        return nullptr;
    return luaT_gettm(et, e, G(L)->tmname[e]);
}
