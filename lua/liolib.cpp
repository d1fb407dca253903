// Thin io and os libraries for the command-line tool (the engine opens
// neither): writing and reading standard streams, time, environment, exit.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "lauxlib.h"
#include "lua.h"
#include "lualib.h"

namespace {

int io_write(lua_State* L)
{
    int nargs = lua_gettop(L);
    for (int arg = 1; arg <= nargs; arg++) {
        if (lua_type(L, arg) == LUA_TNUMBER) {
            std::printf(LUA_NUMBER_FMT, lua_tonumber(L, arg));
        } else {
            size_t l;
            const char* s = luaL_checklstring(L, arg, &l);
            std::fwrite(s, 1, l, stdout);
        }
    }
    return 0;
}

int io_read(lua_State* L)
{
    // one line without its newline, or nil at the end of the input
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    int c;
    bool any = false;
    while ((c = std::getchar()) != EOF && c != '\n') {
        luaL_putchar(&b, c);
        any = true;
    }
    luaL_pushresult(&b);
    if (c == EOF && !any) {
        lua_pop(L, 1);
        lua_pushnil(L);
    }
    return 1;
}

int os_clock(lua_State* L)
{
    lua_pushnumber(L, static_cast<lua_Number>(std::clock()) / CLOCKS_PER_SEC);
    return 1;
}

int os_time(lua_State* L)
{
    lua_pushnumber(L, static_cast<lua_Number>(std::time(nullptr)));
    return 1;
}

int os_getenv(lua_State* L)
{
    lua_pushstring(L, std::getenv(luaL_checkstring(L, 1)));
    return 1;
}

int os_exit(lua_State* L)
{
    std::fflush(stdout);
    std::exit(luaL_optint(L, 1, EXIT_SUCCESS));
}

const luaL_reg iolib[] = {{"write", io_write}, {"read", io_read}, {nullptr, nullptr}};
const luaL_reg syslib[] = {
    {"clock", os_clock}, {"time", os_time}, {"getenv", os_getenv}, {"exit", os_exit}, {nullptr, nullptr}};

} // namespace

extern "C" int luaopen_io(lua_State* L)
{
    luaL_openlib(L, LUA_OSLIBNAME, syslib, 0);
    luaL_openlib(L, LUA_IOLIBNAME, iolib, 0);
    return 1;
}

// loadlib: dynamic libraries are not offered; the function answers as a Lua
// without them does.
namespace {

int loadlib(lua_State* L)
{
    luaL_checkstring(L, 1);
    luaL_checkstring(L, 2);
    lua_pushnil(L);
    lua_pushliteral(L, "dynamic libraries not enabled; check your Lua installation");
    lua_pushliteral(L, "absent");
    return 3;
}

} // namespace

extern "C" int luaopen_loadlib(lua_State* L)
{
    lua_register(L, "loadlib", loadlib);
    return 0;
}
