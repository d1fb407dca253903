#include "lundump.h"

#include "ldebug.h"
#include "ldo.h"

Proto* luaU_undump(lua_State* L, ZIO* Z, Mbuffer*)
{
    luaO_pushfstring(L, "%s: precompiled chunks are not supported yet", Z->name);
    luaD_throw(L, LUA_ERRSYNTAX);
}

int luaU_endianness()
{
    int x = 1;
    return *reinterpret_cast<char*>(&x);
}

void luaU_dump(lua_State*, const Proto*, lua_Chunkwriter, void*, int) {}
