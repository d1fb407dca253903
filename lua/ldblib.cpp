// The debug library of Lua 5.0: information about functions and stack
// levels, locals and upvalues, hooks written in Lua, an interactive prompt and
// the stack traceback the interpreter prints with its errors
// (`debug.traceback', also installed as _TRACEBACK).
#include <climits>
#include <cstdio>
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

void settabss(lua_State* L, const char* i, const char* v)
{
    lua_pushstring(L, i);
    lua_pushstring(L, v);
    lua_rawset(L, -3);
}

void settabsi(lua_State* L, const char* i, int v)
{
    lua_pushstring(L, i);
    lua_pushnumber(L, static_cast<lua_Number>(v));
    lua_rawset(L, -3);
}

int getinfo(lua_State* L)
{
    lua_Debug ar;
    const char* options = luaL_optstring(L, 2, "flnSu");
    if (lua_isnumber(L, 1)) {
        if (!lua_getstack(L, static_cast<int>(lua_tonumber(L, 1)), &ar)) {
            lua_pushnil(L); // level out of range
            return 1;
        }
    } else if (lua_isfunction(L, 1)) {
        lua_pushfstring(L, ">%s", options);
        options = lua_tostring(L, -1);
        lua_pushvalue(L, 1);
    } else {
        return luaL_argerror(L, 1, "function or level expected");
    }
    if (!lua_getinfo(L, options, &ar))
        return luaL_argerror(L, 2, "invalid option");
    lua_newtable(L);
    for (; *options; options++) {
        switch (*options) {
        case 'S':
            settabss(L, "source", ar.source);
            settabss(L, "short_src", ar.short_src);
            settabsi(L, "linedefined", ar.linedefined);
            settabss(L, "what", ar.what);
            break;
        case 'l': settabsi(L, "currentline", ar.currentline); break;
        case 'u': settabsi(L, "nups", ar.nups); break;
        case 'n':
            settabss(L, "name", ar.name);
            settabss(L, "namewhat", ar.namewhat);
            break;
        case 'f':
            lua_pushliteral(L, "func");
            lua_pushvalue(L, -3);
            lua_rawset(L, -3);
            break;
        default: break;
        }
    }
    return 1;
}

int getlocal(lua_State* L)
{
    lua_Debug ar;
    if (!lua_getstack(L, luaL_checkint(L, 1), &ar))
        return luaL_argerror(L, 1, "level out of range");
    const char* name = lua_getlocal(L, &ar, luaL_checkint(L, 2));
    if (name == nullptr) {
        lua_pushnil(L);
        return 1;
    }
    lua_pushstring(L, name);
    lua_pushvalue(L, -2);
    return 2;
}

int setlocal(lua_State* L)
{
    lua_Debug ar;
    if (!lua_getstack(L, luaL_checkint(L, 1), &ar))
        return luaL_argerror(L, 1, "level out of range");
    luaL_checkany(L, 3);
    lua_pushstring(L, lua_setlocal(L, &ar, luaL_checkint(L, 2)));
    return 1;
}

int auxupvalue(lua_State* L, bool get)
{
    int n = luaL_checkint(L, 2);
    luaL_checktype(L, 1, LUA_TFUNCTION);
    if (lua_iscfunction(L, 1))
        return 0; // a C function's upvalues are not Lua's to touch
    const char* name = get ? lua_getupvalue(L, 1, n) : lua_setupvalue(L, 1, n);
    if (name == nullptr)
        return 0;
    lua_pushstring(L, name);
    lua_insert(L, get ? -2 : -1);
    return get ? 2 : 1;
}

int getupvalue(lua_State* L) { return auxupvalue(L, true); }

int setupvalue(lua_State* L)
{
    luaL_checkany(L, 3);
    return auxupvalue(L, false);
}

// The Lua function set by debug.sethook lives in the registry under this key.
const char KEY_HOOK = 'h';

void hookf(lua_State* L, lua_Debug* ar)
{
    static const char* const hooknames[] = {"call", "return", "line", "count", "tail return"};
    lua_pushlightuserdata(L, const_cast<char*>(&KEY_HOOK));
    lua_rawget(L, LUA_REGISTRYINDEX);
    if (!lua_isfunction(L, -1)) {
        lua_pop(L, 1);
        return;
    }
    lua_pushstring(L, hooknames[ar->event]);
    if (ar->currentline >= 0)
        lua_pushnumber(L, static_cast<lua_Number>(ar->currentline));
    else
        lua_pushnil(L);
    lua_call(L, 2, 0);
}

int makemask(const char* smask, int count)
{
    int mask = 0;
    if (std::strchr(smask, 'c'))
        mask |= LUA_MASKCALL;
    if (std::strchr(smask, 'r'))
        mask |= LUA_MASKRET;
    if (std::strchr(smask, 'l'))
        mask |= LUA_MASKLINE;
    if (count > 0)
        mask |= LUA_MASKCOUNT;
    return mask;
}

void unmakemask(int mask, char* smask)
{
    int i = 0;
    if (mask & LUA_MASKCALL)
        smask[i++] = 'c';
    if (mask & LUA_MASKRET)
        smask[i++] = 'r';
    if (mask & LUA_MASKLINE)
        smask[i++] = 'l';
    smask[i] = '\0';
}

int sethook(lua_State* L)
{
    if (lua_isnoneornil(L, 1)) {
        lua_settop(L, 1);
        lua_sethook(L, nullptr, 0, 0); // turn hooks off
    } else {
        const char* smask = luaL_checkstring(L, 2);
        int count = luaL_optint(L, 3, 0);
        luaL_checktype(L, 1, LUA_TFUNCTION);
        lua_sethook(L, hookf, makemask(smask, count), count);
    }
    lua_pushlightuserdata(L, const_cast<char*>(&KEY_HOOK));
    lua_pushvalue(L, 1);
    lua_rawset(L, LUA_REGISTRYINDEX);
    return 0;
}

int gethook(lua_State* L)
{
    char buff[5];
    int mask = lua_gethookmask(L);
    lua_Hook hook = lua_gethook(L);
    if (hook != nullptr && hook != hookf) { // a hook the host set
        lua_pushliteral(L, "external hook");
    } else {
        lua_pushlightuserdata(L, const_cast<char*>(&KEY_HOOK));
        lua_rawget(L, LUA_REGISTRYINDEX);
    }
    unmakemask(mask, buff);
    lua_pushstring(L, buff);
    lua_pushnumber(L, static_cast<lua_Number>(lua_gethookcount(L)));
    return 3;
}

// Runs each line typed on standard input until "cont" or the end of input.
int debug(lua_State* L)
{
    for (;;) {
        char buffer[250];
        std::fputs("lua_debug> ", stderr);
        if (std::fgets(buffer, sizeof(buffer), stdin) == nullptr || std::strcmp(buffer, "cont\n") == 0)
            return 0;
        if (luaL_loadbuffer(L, buffer, std::strlen(buffer), "=(debug command)") != 0 ||
            lua_pcall(L, 0, 0, 0) != 0) {
            const char* msg = lua_tostring(L, -1);
            std::fprintf(stderr, "%s\n", msg ? msg : "(error with no message)");
            std::fflush(stderr);
        }
        lua_settop(L, 0); // drop results and messages
    }
}

const luaL_reg dblib[] = {{"getlocal", getlocal},     {"getinfo", getinfo},     {"gethook", gethook},
                          {"getupvalue", getupvalue}, {"sethook", sethook},     {"setlocal", setlocal},
                          {"setupvalue", setupvalue}, {"debug", debug},         {"traceback", errorfb},
                          {nullptr, nullptr}};

} // namespace

extern "C" int luaopen_debug(lua_State* L)
{
    luaL_openlib(L, LUA_DBLIBNAME, dblib, 0);
    lua_pushliteral(L, "_TRACEBACK");
    lua_pushcfunction(L, errorfb);
    lua_settable(L, LUA_GLOBALSINDEX);
    return 1;
}
