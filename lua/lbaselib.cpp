// The base library and the coroutine library.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "lauxlib.h"
#include "lua.h"
#include "lualib.h"

namespace {

// Writes UTF-16 units as UTF-8 on stdout (the same byte stream as the rest
// of print's output); unpaired surrogates become U+FFFD.
void writeWide(const unsigned short* s, size_t n)
{
    std::string out;
    for (size_t i = 0; i < n; i++) {
        unsigned int c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            i++;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
}

// If your system does not support `stderr', redefine this function, or
// redefine _ERRORMESSAGE so that it won't need _ALERT.
int luaB__ALERT(lua_State* L)
{
    std::fputs(luaL_checkstring(L, 1), stderr);
    return 0;
}

int luaB_print(lua_State* L)
{
    int n = lua_gettop(L);
    // the converters are looked up once, before any argument is converted
    lua_getglobal(L, "tostring");
    lua_getglobal(L, "towstring");
    const int tostringIndex = n + 1;
    const int towstringIndex = n + 2;
    for (int i = 1; i <= n; i++) {
        bool wide = lua_type(L, i) == LUA_TWSTRING;
        lua_pushvalue(L, wide ? towstringIndex : tostringIndex);
        lua_pushvalue(L, i);
        lua_call(L, 1, 1);
        if (wide) {
            const unsigned short* s = lua_type(L, -1) == LUA_TWSTRING ? lua_towstring(L, -1) : nullptr;
            if (s == nullptr)
                return luaL_error(L, "`tostring' must return a string to `print'");
            if (i > 1)
                std::fputs("\t", stdout);
            writeWide(s, lua_strlen(L, -1));
        } else {
            const char* s = lua_tostring(L, -1);
            if (s == nullptr)
                return luaL_error(L, "`tostring' must return a string to `print'");
            if (i > 1)
                std::fputs("\t", stdout);
            std::fputs(s, stdout);
        }
        lua_pop(L, 1);
    }
    std::fputs("\n", stdout);
    return 0;
}

int luaB_tonumber(lua_State* L)
{
    int base = luaL_optint(L, 2, 10);
    if (base == 10) {
        luaL_checkany(L, 1);
        if (lua_isnumber(L, 1)) {
            lua_pushnumber(L, lua_tonumber(L, 1));
            return 1;
        }
    } else {
        std::string text;
        if (lua_type(L, 1) == LUA_TWSTRING) {
            size_t n = lua_strlen(L, 1);
            luaL_argcheck(L, 2 <= base && base <= 36, 2, "base out of range");
            if (n > 99) {
                lua_pushnil(L);
                return 1;
            }
            const unsigned short* w = lua_towstring(L, 1);
            for (size_t i = 0; i < n; i++)
                text += static_cast<char>(w[i] & 0xFF);
        } else {
            text = luaL_checkstring(L, 1);
            luaL_argcheck(L, 2 <= base && base <= 36, 2, "base out of range");
        }
        const char* s1 = text.c_str();
        char* s2;
        unsigned long n = std::strtoul(s1, &s2, base);
        if (s1 != s2) { // at least one valid digit
            while (std::isspace(static_cast<unsigned char>(*s2)))
                s2++;
            if (*s2 == '\0') {
                lua_pushnumber(L, static_cast<lua_Number>(n));
                return 1;
            }
        }
    }
    lua_pushnil(L);
    return 1;
}

int luaB_error(lua_State* L)
{
    int level = luaL_optint(L, 2, 1);
    luaL_checkany(L, 1);
    if (!lua_isstring(L, 1) || level == 0) {
        lua_pushvalue(L, 1);
    } else {
        luaL_where(L, level);
        lua_pushvalue(L, 1);
        lua_concat(L, 2);
    }
    return lua_error(L);
}

int luaB_getmetatable(lua_State* L)
{
    luaL_checkany(L, 1);
    if (!lua_getmetatable(L, 1)) {
        lua_pushnil(L);
        return 1;
    }
    luaL_getmetafield(L, 1, "__metatable"); // a protected metatable shows this field instead
    return 1;
}

int luaB_setmetatable(lua_State* L)
{
    int t = lua_type(L, 2);
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_argcheck(L, t == LUA_TNIL || t == LUA_TTABLE, 2, "nil or table expected");
    if (luaL_getmetafield(L, 1, "__metatable"))
        luaL_error(L, "cannot change a protected metatable");
    lua_settop(L, 2);
    lua_setmetatable(L, 1);
    return 1;
}

void getfunc(lua_State* L)
{
    if (lua_isfunction(L, 1)) {
        lua_pushvalue(L, 1);
        return;
    }
    lua_Debug ar;
    int level = luaL_optint(L, 1, 1);
    luaL_argcheck(L, level >= 0, 1, "level must be non-negative");
    if (lua_getstack(L, level, &ar) == 0)
        luaL_argerror(L, 1, "invalid level");
    lua_getinfo(L, "f", &ar);
    if (lua_isnil(L, -1))
        luaL_error(L, "no function environment for tail call at level %d", level);
}

int aux_getfenv(lua_State* L)
{
    lua_getfenv(L, -1);
    lua_pushliteral(L, "__fenv");
    lua_rawget(L, -2);
    return !lua_isnil(L, -1);
}

int luaB_getfenv(lua_State* L)
{
    getfunc(L);
    if (!aux_getfenv(L)) // no __fenv field: return the environment itself
        lua_pop(L, 1);
    return 1;
}

int luaB_setfenv(lua_State* L)
{
    luaL_checktype(L, 2, LUA_TTABLE);
    getfunc(L);
    if (aux_getfenv(L))
        luaL_error(L, "`setfenv' cannot change a protected environment");
    else
        lua_pop(L, 2);
    lua_pushvalue(L, 2);
    if (lua_isnumber(L, 1) && lua_tonumber(L, 1) == 0)
        lua_replace(L, LUA_GLOBALSINDEX);
    else if (lua_setfenv(L, -2) == 0)
        luaL_error(L, "`setfenv' cannot change environment of given function");
    return 0;
}

int luaB_rawequal(lua_State* L)
{
    luaL_checkany(L, 1);
    luaL_checkany(L, 2);
    lua_pushboolean(L, lua_rawequal(L, 1, 2));
    return 1;
}

int luaB_rawget(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_checkany(L, 2);
    lua_rawget(L, 1);
    return 1;
}

int luaB_rawset(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_checkany(L, 2);
    luaL_checkany(L, 3);
    lua_rawset(L, 1);
    return 1;
}

int luaB_gcinfo(lua_State* L)
{
    lua_pushnumber(L, lua_getgccount(L));
    lua_pushnumber(L, lua_getgcthreshold(L));
    return 2;
}

int luaB_collectgarbage(lua_State* L)
{
    lua_setgcthreshold(L, luaL_optint(L, 1, 0));
    return 0;
}

int luaB_type(lua_State* L)
{
    luaL_checkany(L, 1);
    lua_pushstring(L, lua_typename(L, lua_type(L, 1)));
    return 1;
}

int luaB_next(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    lua_settop(L, 2); // create a 2nd argument if there isn't one
    if (lua_next(L, 1))
        return 2;
    lua_pushnil(L);
    return 1;
}

int luaB_pairs(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    lua_pushliteral(L, "next");
    lua_rawget(L, LUA_GLOBALSINDEX); // generator,
    lua_pushvalue(L, 1);             // state,
    lua_pushnil(L);                  // and initial value
    return 3;
}

// ipairs is its own generator: called with one argument it starts a loop,
// with two it steps.
int luaB_ipairs(lua_State* L)
{
    lua_Number i = lua_tonumber(L, 2);
    luaL_checktype(L, 1, LUA_TTABLE);
    if (i == 0 && lua_isnone(L, 2)) {
        lua_pushliteral(L, "ipairs");
        lua_rawget(L, LUA_GLOBALSINDEX);
        lua_pushvalue(L, 1);
        lua_pushnumber(L, 0);
        return 3;
    }
    i++;
    lua_pushnumber(L, i);
    lua_rawgeti(L, 1, static_cast<int>(i));
    return lua_isnil(L, -1) ? 0 : 2;
}

int load_aux(lua_State* L, int status)
{
    if (status == 0)
        return 1;
    lua_pushnil(L);
    lua_insert(L, -2);
    return 2;
}

int luaB_loadstring(lua_State* L)
{
    size_t l;
    const char* s = luaL_checklstring(L, 1, &l);
    const char* chunkname = luaL_optstring(L, 2, s);
    return load_aux(L, luaL_loadbuffer(L, s, l, chunkname));
}

int luaB_loadfile(lua_State* L)
{
    const char* fname = luaL_optstring(L, 1, nullptr);
    return load_aux(L, luaL_loadfile(L, fname));
}

int luaB_dofile(lua_State* L)
{
    const char* fname = luaL_optstring(L, 1, nullptr);
    int status = luaL_loadfile(L, fname);
    if (status != 0)
        lua_error(L);
    lua_call(L, 0, LUA_MULTRET);
    return lua_gettop(L) - 1;
}

int luaB_assert(lua_State* L)
{
    luaL_checkany(L, 1);
    if (!lua_toboolean(L, 1))
        return luaL_error(L, "%s", luaL_optstring(L, 2, "assertion failed!"));
    lua_settop(L, 1);
    return 1;
}

int luaB_unpack(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    int n = luaL_getn(L, 1);
    luaL_checkstack(L, n, "table too big to unpack");
    for (int i = 1; i <= n; i++)
        lua_rawgeti(L, 1, i);
    return n;
}

int luaB_pcall(lua_State* L)
{
    luaL_checkany(L, 1);
    int status = lua_pcall(L, lua_gettop(L) - 1, LUA_MULTRET, 0);
    lua_pushboolean(L, status == 0);
    lua_insert(L, 1);
    return lua_gettop(L); // return status + all results
}

int luaB_xpcall(lua_State* L)
{
    luaL_checkany(L, 2);
    lua_settop(L, 2);
    lua_insert(L, 1); // put error function under function to be called
    int status = lua_pcall(L, 0, LUA_MULTRET, 1);
    lua_pushboolean(L, status == 0);
    lua_replace(L, 1);
    return lua_gettop(L);
}

int luaB_tostring(lua_State* L)
{
    char buff[128];
    luaL_checkany(L, 1);
    if (luaL_callmeta(L, 1, "__tostring"))
        return 1;
    switch (lua_type(L, 1)) {
    case LUA_TNUMBER: lua_pushstring(L, lua_tostring(L, 1)); return 1;
    case LUA_TSTRING: lua_pushvalue(L, 1); return 1;
    case LUA_TWSTRING: { // the low byte of every unit
        size_t n = lua_strlen(L, 1);
        const unsigned short* w = lua_towstring(L, 1);
        std::string s(n, '\0');
        for (size_t i = 0; i < n; i++)
            s[i] = static_cast<char>(w[i] & 0xFF);
        lua_pushlstring(L, s.data(), s.size());
        return 1;
    }
    case LUA_TBOOLEAN: lua_pushstring(L, lua_toboolean(L, 1) ? "true" : "false"); return 1;
    case LUA_TTABLE: std::snprintf(buff, sizeof(buff), "table: %p", lua_topointer(L, 1)); break;
    case LUA_TFUNCTION: std::snprintf(buff, sizeof(buff), "function: %p", lua_topointer(L, 1)); break;
    case LUA_TUSERDATA:
    case LUA_TLIGHTUSERDATA: std::snprintf(buff, sizeof(buff), "userdata: %p", lua_touserdata(L, 1)); break;
    case LUA_TTHREAD:
        std::snprintf(buff, sizeof(buff), "thread: %p", static_cast<void*>(lua_tothread(L, 1)));
        break;
    case LUA_TNIL: lua_pushliteral(L, "nil"); return 1;
    default: lua_pushliteral(L, "?"); return 1;
    }
    lua_pushstring(L, buff);
    return 1;
}

// towstring(v): the value as a wide string (dialect).
int luaB_towstring(lua_State* L)
{
    switch (lua_type(L, 1)) {
    case LUA_TWSTRING: lua_pushvalue(L, 1); return 1;
    case LUA_TNUMBER: {
        lua_pushvalue(L, 1);
        lua_towstring(L, -1);
        return 1;
    }
    case LUA_TSTRING: {
        // bytes widen with zero extension: text above 127 keeps its code
        size_t n = lua_strlen(L, 1);
        const unsigned char* s = reinterpret_cast<const unsigned char*>(lua_tostring(L, 1));
        std::u16string w(n, u'\0');
        for (size_t i = 0; i < n; i++)
            w[i] = s[i];
        lua_pushlwstring(L, reinterpret_cast<const unsigned short*>(w.data()), n);
        return 1;
    }
    case LUA_TNIL: {
        static const unsigned short nilText[] = {'n', 'i', 'l'};
        lua_pushlwstring(L, nilText, 3);
        return 1;
    }
    case LUA_TTABLE:
    case LUA_TFUNCTION:
    case LUA_TUSERDATA:
    case LUA_TTHREAD: {
        lua_pushcfunction(L, luaB_tostring);
        lua_pushvalue(L, 1);
        lua_call(L, 1, 1);
        size_t n = lua_strlen(L, -1);
        const char* s = lua_tostring(L, -1);
        std::u16string w(n, u'\0');
        for (size_t i = 0; i < n; i++)
            w[i] = static_cast<unsigned char>(s[i]);
        lua_pushlwstring(L, reinterpret_cast<const unsigned short*>(w.data()), n);
        return 1;
    }
    default: return luaL_argerror(L, 1, "value expected");
    }
}

// ---- require ------------------------------------------------------------------------

const char* getpath(lua_State* L)
{
    lua_getglobal(L, "LUA_PATH"); // try global variable
    if (lua_isstring(L, -1))
        return lua_tostring(L, -1);
    lua_pop(L, 1);
    const char* path = std::getenv("LUA_PATH"); // else try environment variable
    if (path == nullptr)
        path = "?;?.lua";
    lua_pushstring(L, path);
    return lua_tostring(L, -1);
}

const char* pushnextpath(lua_State* L, const char* path)
{
    if (*path == '\0')
        return nullptr;
    if (*path == ';')
        path++; // skip separator
    const char* l = std::strchr(path, ';');
    if (l == nullptr)
        l = path + std::strlen(path);
    lua_pushlstring(L, path, static_cast<size_t>(l - path));
    return l;
}

void pushcomposename(lua_State* L)
{
    const char* path = lua_tostring(L, -1);
    const char* wild;
    int n = 1;
    while ((wild = std::strchr(path, '?')) != nullptr) {
        luaL_checkstack(L, 3, "too many marks in a path component");
        lua_pushlstring(L, path, static_cast<size_t>(wild - path));
        lua_pushvalue(L, 1); // push package name (in place of the `?')
        path = wild + 1;
        n += 2;
    }
    lua_pushstring(L, path);
    lua_concat(L, n);
}

int luaB_require(lua_State* L)
{
    const char* path;
    int status = LUA_ERRFILE;
    luaL_checkstring(L, 1);
    lua_settop(L, 1);
    lua_getglobal(L, "_LOADED");
    if (!lua_istable(L, 2))
        return luaL_error(L, "`_LOADED' is not a table");
    path = getpath(L);
    lua_pushvalue(L, 1);
    lua_rawget(L, 2);
    if (lua_toboolean(L, -1)) // is it there?
        return 1;
    while (status == LUA_ERRFILE) { // try each path component
        lua_settop(L, 3); // reset stack position
        if ((path = pushnextpath(L, path)) == nullptr)
            break;
        pushcomposename(L);
        status = luaL_loadfile(L, lua_tostring(L, -1));
    }
    switch (status) {
    case 0: {
        lua_getglobal(L, "_REQUIREDNAME");
        lua_insert(L, -2);
        lua_pushvalue(L, 1);
        lua_setglobal(L, "_REQUIREDNAME");
        lua_call(L, 0, 1);
        lua_insert(L, -2);
        lua_setglobal(L, "_REQUIREDNAME"); // restore the previous name
        if (lua_isnil(L, -1)) { // no value returned: use true
            lua_pop(L, 1);
            lua_pushboolean(L, 1);
        }
        lua_pushvalue(L, 1);
        lua_pushvalue(L, -2);
        lua_rawset(L, 2); // _LOADED[name] = returned value
        return 1;
    }
    case LUA_ERRFILE:
        return luaL_error(L, "could not load package `%s' from path `%s'", lua_tostring(L, 1), getpath(L));
    default: return luaL_error(L, "error loading package `%s' (%s)", lua_tostring(L, 1), lua_tostring(L, -1));
    }
}

// newproxy(false|nil): an empty userdata; newproxy(true): one with a new
// metatable; newproxy(p): one sharing the metatable of proxy p. The upvalue
// is a weak-keyed set of the metatables made here, so only those are shared.
int luaB_newproxy(lua_State* L)
{
    lua_settop(L, 1);
    lua_newuserdata(L, 0);
    if (lua_toboolean(L, 1) == 0)
        return 1;
    if (lua_isboolean(L, 1)) {
        lua_newtable(L);
        lua_pushvalue(L, -1);
        lua_pushboolean(L, 1);
        lua_rawset(L, lua_upvalueindex(1)); // mark it as a proxy's metatable
    } else {
        bool validproxy = false;
        if (lua_getmetatable(L, 1)) {
            lua_rawget(L, lua_upvalueindex(1));
            validproxy = lua_toboolean(L, -1);
            lua_pop(L, 1);
        }
        luaL_argcheck(L, validproxy, 1, "boolean or proxy expected");
        lua_getmetatable(L, 1);
    }
    lua_setmetatable(L, 2);
    return 1;
}

const luaL_reg base_funcs[] = {
    {"error", luaB_error},
    {"getmetatable", luaB_getmetatable},
    {"setmetatable", luaB_setmetatable},
    {"getfenv", luaB_getfenv},
    {"setfenv", luaB_setfenv},
    {"next", luaB_next},
    {"ipairs", luaB_ipairs},
    {"pairs", luaB_pairs},
    {"print", luaB_print},
    {"tonumber", luaB_tonumber},
    {"tostring", luaB_tostring},
    {"towstring", luaB_towstring},
    {"type", luaB_type},
    {"assert", luaB_assert},
    {"unpack", luaB_unpack},
    {"rawequal", luaB_rawequal},
    {"rawget", luaB_rawget},
    {"rawset", luaB_rawset},
    {"pcall", luaB_pcall},
    {"xpcall", luaB_xpcall},
    {"collectgarbage", luaB_collectgarbage},
    {"gcinfo", luaB_gcinfo},
    {"loadfile", luaB_loadfile},
    {"dofile", luaB_dofile},
    {"loadstring", luaB_loadstring},
    {"require", luaB_require},
    {nullptr, nullptr}};

// ---- coroutines ------------------------------------------------------------------------

int auxresume(lua_State* L, lua_State* co, int narg)
{
    if (!lua_checkstack(co, narg))
        luaL_error(L, "too many arguments to resume");
    lua_xmove(L, co, narg);
    int status = lua_resume(co, narg);
    if (status == 0) {
        int nres = lua_gettop(co);
        if (!lua_checkstack(L, nres))
            luaL_error(L, "too many results to resume");
        lua_xmove(co, L, nres); // move yielded values
        return nres;
    }
    lua_xmove(co, L, 1); // move error message
    return -1;
}

int luaB_coresume(lua_State* L)
{
    lua_State* co = lua_tothread(L, 1);
    luaL_argcheck(L, co, 1, "coroutine expected");
    int r = auxresume(L, co, lua_gettop(L) - 1);
    if (r < 0) {
        lua_pushboolean(L, 0);
        lua_insert(L, -2);
        return 2; // return false + error message
    }
    lua_pushboolean(L, 1);
    lua_insert(L, -(r + 1));
    return r + 1; // return true + `resume' returns
}

int luaB_auxwrap(lua_State* L)
{
    lua_State* co = lua_tothread(L, lua_upvalueindex(1));
    int r = auxresume(L, co, lua_gettop(L));
    if (r < 0) {
        if (lua_isstring(L, -1)) { // error object is a string?
            luaL_where(L, 1);      // get extra info
            lua_insert(L, -2);
            lua_concat(L, 2);
        }
        lua_error(L); // propagate error
    }
    return r;
}

int luaB_cocreate(lua_State* L)
{
    lua_State* NL = lua_newthread(L);
    luaL_argcheck(L, lua_isfunction(L, 1) && !lua_iscfunction(L, 1), 1, "Lua function expected");
    lua_pushvalue(L, 1); // move function to top
    lua_xmove(L, NL, 1); // move function from L to NL
    return 1;
}

int luaB_cowrap(lua_State* L)
{
    luaB_cocreate(L);
    lua_pushcclosure(L, luaB_auxwrap, 1);
    return 1;
}

int luaB_yield(lua_State* L) { return lua_yield(L, lua_gettop(L)); }

int luaB_costatus(lua_State* L)
{
    lua_State* co = lua_tothread(L, 1);
    luaL_argcheck(L, co, 1, "coroutine expected");
    if (L == co) {
        lua_pushliteral(L, "running");
    } else {
        lua_Debug ar;
        if (lua_getstack(co, 0, &ar) == 0 && lua_gettop(co) == 0)
            lua_pushliteral(L, "dead");
        else
            lua_pushliteral(L, "suspended");
    }
    return 1;
}

const luaL_reg co_funcs[] = {{"create", luaB_cocreate}, {"wrap", luaB_cowrap},     {"resume", luaB_coresume},
                             {"yield", luaB_yield},     {"status", luaB_costatus}, {nullptr, nullptr}};

} // namespace

extern "C" int luaopen_base(lua_State* L)
{
    lua_pushliteral(L, "_G");
    lua_pushvalue(L, LUA_GLOBALSINDEX);
    luaL_openlib(L, nullptr, base_funcs, 0); // open lib into global table
    lua_pushliteral(L, "_VERSION");
    lua_pushliteral(L, LUA_VERSION);
    lua_rawset(L, -3); // set global _VERSION
    lua_pushliteral(L, "_ALERT");
    lua_pushcfunction(L, luaB__ALERT);
    lua_rawset(L, -3);
    lua_pushliteral(L, "newproxy");
    lua_newtable(L); // the set of proxy metatables, its own weak-keyed metatable
    lua_pushvalue(L, -1);
    lua_setmetatable(L, -2);
    lua_pushliteral(L, "__mode");
    lua_pushliteral(L, "k");
    lua_rawset(L, -3);
    lua_pushcclosure(L, luaB_newproxy, 1);
    lua_rawset(L, -3);
    lua_rawset(L, LUA_GLOBALSINDEX); // set global _G
    luaL_openlib(L, LUA_COLIBNAME, co_funcs, 0);
    lua_pop(L, 1);
    // _LOADED for require
    lua_pushliteral(L, "_LOADED");
    lua_newtable(L);
    lua_settable(L, LUA_GLOBALSINDEX);
    // The default metatables of the types go in the registry by name, so host
    // code can fill them.
    static const char* const names[] = {"_boolean", "_lightuserdata", "_number",  "_string",  "_table",
                                        "_function", "_userdata",     "_thread", "_wstring"};
    for (int tag = LUA_TBOOLEAN; tag <= LUA_TWSTRING; tag++) {
        lua_pushstring(L, names[tag - 1]);
        lua_getdefaultmetatable(L, tag);
        lua_rawset(L, LUA_REGISTRYINDEX);
    }
    return 0;
}
