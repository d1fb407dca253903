// A thin debug library: the stack traceback the interpreter prints with its
// errors (`debug.traceback', also installed as _TRACEBACK).
#include <climits>
#include <cstring>

#include "lauxlib.h"
#include "lua.h"
#include "lualib.h"

namespace {

constexpr int LEVELS1 = 12; // size of the first part of the stack
constexpr int LEVELS2 = 10; // size of the second part of the stack

// The deepest level lua_getstack knows, given one that exists. Endless tail
// recursion leaves a level for every call it made, so the levels are found
// by doubling and halving rather than one by one.
int lastLevel(lua_State* L, int known)
{
    lua_Debug ar;
    int lo = known; // exists
    int hi = known; // lo < hi and hi does not exist, once found
    for (int step = 1;; step = step > INT_MAX / 2 ? INT_MAX : 2 * step) {
        if (lo >= INT_MAX - 1)
            return lo;
        hi = lo > INT_MAX - 1 - step ? INT_MAX - 1 : lo + step;
        if (!lua_getstack(L, hi, &ar))
            break;
        lo = hi;
    }
    while (hi - lo > 1) {
        int mid = lo + (hi - lo) / 2;
        if (lua_getstack(L, mid, &ar))
            lo = mid;
        else
            hi = mid;
    }
    return lo;
}

int errorfb(lua_State* L)
{
    int level = 1; // skip level 0 (it's this function)
    bool firstpart = true;
    lua_Debug ar;
    if (lua_gettop(L) == 0)
        lua_pushliteral(L, "");
    else if (!lua_isstring(L, 1))
        return 1; // no string message
    else
        lua_pushliteral(L, "\n");
    lua_pushliteral(L, "stack traceback:");
    while (level < INT_MAX && lua_getstack(L, level++, &ar)) {
        if (level > LEVELS1 && firstpart) {
            // no more than `LEVELS2' more levels?
            if (!lua_getstack(L, level + LEVELS2, &ar)) {
                level--; // keep going
            } else {
                lua_pushliteral(L, "\n\t..."); // too many levels
                level = lastLevel(L, level + LEVELS2) - LEVELS2 + 1; // to the last levels
            }
            firstpart = false;
            continue;
        }
        lua_pushliteral(L, "\n\t");
        lua_getinfo(L, "Snl", &ar);
        lua_pushfstring(L, "%s:", ar.short_src);
        if (ar.currentline > 0)
            lua_pushfstring(L, "%d:", ar.currentline);
        switch (*ar.namewhat) {
        case 'g': // global
        case 'l': // local
        case 'f': // field
        case 'm': // method
            lua_pushfstring(L, " in function `%s'", ar.name);
            break;
        default:
            if (*ar.what == 'm') // main?
                lua_pushfstring(L, " in main chunk");
            else if (*ar.what == 'C' || *ar.what == 't')
                lua_pushliteral(L, " ?"); // C function or tail call
            else
                lua_pushfstring(L, " in function <%s:%d>", ar.short_src, ar.linedefined);
        }
        lua_concat(L, lua_gettop(L));
    }
    lua_concat(L, lua_gettop(L));
    return 1;
}

const luaL_reg dblib[] = {{"traceback", errorfb}, {nullptr, nullptr}};

} // namespace

extern "C" int luaopen_debug(lua_State* L)
{
    luaL_openlib(L, LUA_DBLIBNAME, dblib, 0);
    lua_pushliteral(L, "_TRACEBACK");
    lua_pushcfunction(L, errorfb);
    lua_settable(L, LUA_GLOBALSINDEX);
    return 1;
}
