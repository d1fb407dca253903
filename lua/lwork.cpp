#include "lwork.h"

#include "ldo.h"
#include "lstate.h"

void luaW_poll(lua_State* L)
{
    if (L->hookmask & LUA_MASKWORK)
        luaD_callhook(L, LUA_HOOKCOUNT, -1);
}
