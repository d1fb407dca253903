// The auxiliary library.
#include "lauxlib.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "lua.h"
#include "lwork.h"

namespace {

// Registry slots kept by the library: the head of the free list of
// references, and the table of sizes set by luaL_setn.
constexpr int FREELIST_REF = 1;
constexpr int ARRAYSIZE_REF = 2;
constexpr int RESERVED_REFS = 2;

int abs_index(lua_State* L, int i) { return i > 0 || i <= LUA_REGISTRYINDEX ? i : lua_gettop(L) + i + 1; }

void tag_error(lua_State* L, int narg, int tag) { luaL_typerror(L, narg, lua_typename(L, tag)); }

} // namespace

extern "C" {

int luaL_argerror(lua_State* L, int narg, const char* extramsg)
{
    lua_Debug ar;
    lua_getstack(L, 0, &ar);
    lua_getinfo(L, "n", &ar);
    if (std::strcmp(ar.namewhat, "method") == 0) {
        narg--;
        if (narg == 0) // the error is in the self argument itself
            return luaL_error(L, "calling `%s' on bad self (%s)", ar.name, extramsg);
    }
    if (ar.name == nullptr)
        ar.name = "?";
    return luaL_error(L, "bad argument #%d to `%s' (%s)", narg, ar.name, extramsg);
}

int luaL_typerror(lua_State* L, int narg, const char* tname)
{
    const char* msg = lua_pushfstring(L, "%s expected, got %s", tname, lua_typename(L, lua_type(L, narg)));
    return luaL_argerror(L, narg, msg);
}

void luaL_where(lua_State* L, int level)
{
    lua_Debug ar;
    if (lua_getstack(L, level, &ar)) {
        lua_getinfo(L, "Sl", &ar);
        if (ar.currentline > 0) {
            lua_pushfstring(L, "%s:%d: ", ar.short_src, ar.currentline);
            return;
        }
    }
    lua_pushliteral(L, "");
}

int luaL_error(lua_State* L, const char* fmt, ...)
{
    va_list argp;
    va_start(argp, fmt);
    luaL_where(L, 1);
    lua_pushvfstring(L, fmt, argp);
    va_end(argp);
    lua_concat(L, 2);
    return lua_error(L);
}

int luaL_findstring(const char* name, const char* const list[])
{
    for (int i = 0; list[i]; i++)
        if (std::strcmp(list[i], name) == 0)
            return i;
    return -1;
}

int luaL_newmetatable(lua_State* L, const char* tname)
{
    lua_pushstring(L, tname);
    lua_rawget(L, LUA_REGISTRYINDEX);
    if (!lua_isnil(L, -1)) // name already in use
        return 0;
    lua_pop(L, 1);
    lua_newtable(L);
    lua_pushstring(L, tname);
    lua_pushvalue(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX); // registry.name = metatable
    lua_pushvalue(L, -1);
    lua_pushstring(L, tname);
    lua_rawset(L, LUA_REGISTRYINDEX); // registry[metatable] = name
    return 1;
}

void luaL_getmetatable(lua_State* L, const char* tname)
{
    lua_pushstring(L, tname);
    lua_rawget(L, LUA_REGISTRYINDEX);
}

void* luaL_checkudata(lua_State* L, int ud, const char* tname)
{
    if (!lua_getmetatable(L, ud))
        return nullptr;
    lua_pushstring(L, tname);
    lua_rawget(L, LUA_REGISTRYINDEX);
    bool same = lua_rawequal(L, -1, -2);
    lua_pop(L, 2);
    return same ? lua_touserdata(L, ud) : nullptr;
}

void luaL_checkstack(lua_State* L, int space, const char* mes)
{
    if (!lua_checkstack(L, space))
        luaL_error(L, "stack overflow (%s)", mes);
}

void luaL_checktype(lua_State* L, int narg, int t)
{
    if (lua_type(L, narg) != t)
        tag_error(L, narg, t);
}

void luaL_checkany(lua_State* L, int narg)
{
    if (lua_type(L, narg) == LUA_TNONE)
        luaL_argerror(L, narg, "value expected");
}

const char* luaL_checklstring(lua_State* L, int narg, size_t* len)
{
    const char* s = lua_tostring(L, narg);
    if (!s)
        tag_error(L, narg, LUA_TSTRING);
    if (len)
        *len = lua_strlen(L, narg);
    return s;
}

const char* luaL_optlstring(lua_State* L, int narg, const char* def, size_t* len)
{
    if (lua_isnoneornil(L, narg)) {
        if (len)
            *len = def ? std::strlen(def) : 0;
        return def;
    }
    return luaL_checklstring(L, narg, len);
}

const unsigned short* luaL_checklwstring(lua_State* L, int narg, size_t* len)
{
    const unsigned short* s = lua_towstring(L, narg);
    if (!s)
        tag_error(L, narg, LUA_TWSTRING);
    if (len)
        *len = lua_strlen(L, narg);
    return s;
}

lua_Number luaL_checknumber(lua_State* L, int narg)
{
    lua_Number d = lua_tonumber(L, narg);
    if (d == 0 && !lua_isnumber(L, narg)) // avoid extra test when d is not 0
        tag_error(L, narg, LUA_TNUMBER);
    return d;
}

lua_Number luaL_optnumber(lua_State* L, int narg, lua_Number def)
{
    if (lua_isnoneornil(L, narg))
        return def;
    return luaL_checknumber(L, narg);
}

int luaL_getmetafield(lua_State* L, int obj, const char* event)
{
    if (!lua_getmetatable(L, obj))
        return 0;
    lua_pushstring(L, event);
    lua_rawget(L, -2);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 2);
        return 0;
    }
    lua_remove(L, -2);
    return 1;
}

int luaL_callmeta(lua_State* L, int obj, const char* event)
{
    obj = abs_index(L, obj);
    if (!luaL_getmetafield(L, obj, event))
        return 0;
    lua_pushvalue(L, obj);
    lua_call(L, 1, 1);
    return 1;
}

void luaL_openlib(lua_State* L, const char* libname, const luaL_reg* l, int nup)
{
    if (libname) {
        lua_pushstring(L, libname);
        lua_gettable(L, LUA_GLOBALSINDEX);
        if (lua_isnil(L, -1)) { // no such table: create it
            lua_pop(L, 1);
            lua_newtable(L);
            lua_pushstring(L, libname);
            lua_pushvalue(L, -2);
            lua_settable(L, LUA_GLOBALSINDEX);
        }
        lua_insert(L, -(nup + 1)); // move the library table below the upvalues
    }
    for (; l->name; l++) {
        lua_pushstring(L, l->name);
        for (int i = 0; i < nup; i++)
            lua_pushvalue(L, -(nup + 1));
        lua_pushcclosure(L, l->func, nup);
        lua_settable(L, -(nup + 3));
    }
    lua_pop(L, nup);
}

// ---- getn and setn: the `n' field, else the weak `sizes' table -------------------

// A size field outside the int range (or NaN) is no size: it reads as
// negative, as the machine's own conversion gives it.
static int checkint(lua_State* L, int topop)
{
    lua_Number x = lua_tonumber(L, -1);
    int n = x >= -2147483648.0 && x <= 2147483647.0 ? static_cast<int>(x) : INT_MIN;
    if (n == 0 && !lua_isnumber(L, -1))
        n = -1;
    lua_pop(L, topop);
    return n;
}

static void getsizes(lua_State* L)
{
    lua_rawgeti(L, LUA_REGISTRYINDEX, ARRAYSIZE_REF);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        lua_newtable(L);
        lua_pushvalue(L, -1); // the sizes table is its own metatable
        lua_setmetatable(L, -2);
        lua_pushliteral(L, "__mode");
        lua_pushliteral(L, "k");
        lua_rawset(L, -3);
        lua_pushvalue(L, -1);
        lua_rawseti(L, LUA_REGISTRYINDEX, ARRAYSIZE_REF);
    }
}

void luaL_setn(lua_State* L, int t, int n)
{
    t = abs_index(L, t);
    lua_pushliteral(L, "n");
    lua_rawget(L, t);
    if (checkint(L, 1) >= 0) { // a numeric field `n': use it
        lua_pushliteral(L, "n");
        lua_pushnumber(L, n);
        lua_rawset(L, t);
    } else {
        getsizes(L);
        lua_pushvalue(L, t);
        lua_pushnumber(L, n);
        lua_rawset(L, -3);
        lua_pop(L, 1);
    }
}

int luaL_getn(lua_State* L, int t)
{
    t = abs_index(L, t);
    lua_pushliteral(L, "n");
    lua_rawget(L, t);
    int n = checkint(L, 1);
    if (n >= 0)
        return n;
    getsizes(L);
    lua_pushvalue(L, t);
    lua_rawget(L, -2);
    if ((n = checkint(L, 2)) >= 0)
        return n;
    WorkSteps work(L); // a long table counted again and again is long work between two instructions
    for (n = 1;; n++) { // count the elements
        work.step();
        lua_rawgeti(L, t, n);
        if (lua_isnil(L, -1))
            break;
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    return n - 1;
}

// ---- buffers ---------------------------------------------------------------------

#define bufflen(B) ((B)->p - (B)->buffer)
#define bufffree(B) (static_cast<size_t>(LUAL_BUFFERSIZE - bufflen(B)))

static constexpr int LIMIT = LUA_MINSTACK / 2;

static int emptybuffer(luaL_Buffer* B)
{
    size_t l = static_cast<size_t>(bufflen(B));
    if (l == 0)
        return 0;
    if (B->wide) {
        unsigned short units[LUAL_BUFFERSIZE / 2];
        std::memcpy(units, B->buffer, l & ~static_cast<size_t>(1));
        lua_pushlwstring(B->L, units, l / 2);
    } else {
        lua_pushlstring(B->L, B->buffer, l);
    }
    B->p = B->buffer;
    B->lvl++;
    return 1;
}

static void adjuststack(luaL_Buffer* B)
{
    if (B->lvl > 1) {
        lua_State* L = B->L;
        int toget = 1; // number of levels to concatenate
        size_t toplen = lua_strlen(L, -1);
        do {
            size_t l = lua_strlen(L, -(toget + 1));
            if (B->lvl - toget + 1 >= LIMIT || toplen > l) {
                toplen += l;
                toget++;
            } else {
                break;
            }
        } while (toget < B->lvl);
        lua_concat(L, toget);
        B->lvl = B->lvl - toget + 1;
    }
}

char* luaL_prepbuffer(luaL_Buffer* B)
{
    if (emptybuffer(B))
        adjuststack(B);
    return B->buffer;
}

void luaL_addlstring(luaL_Buffer* B, const char* s, size_t l)
{
    while (l--)
        luaL_putchar(B, *s++);
}

void luaL_addlwstring(luaL_Buffer* B, const unsigned short* s, size_t l)
{
    while (l--) {
        if (bufffree(B) < 2)
            luaL_prepbuffer(B);
        std::memcpy(B->p, s++, 2);
        B->p += 2;
    }
}

void luaL_addstring(luaL_Buffer* B, const char* s) { luaL_addlstring(B, s, std::strlen(s)); }

void luaL_pushresult(luaL_Buffer* B)
{
    emptybuffer(B);
    lua_concat(B->L, B->lvl);
    B->lvl = 1;
}

void luaL_addvalue(luaL_Buffer* B)
{
    lua_State* L = B->L;
    size_t vl = lua_strlen(L, -1);
    if (!B->wide && vl <= bufffree(B)) { // fits into the buffer
        std::memcpy(B->p, lua_tostring(L, -1), vl);
        B->p += vl;
        lua_pop(L, 1);
    } else {
        if (emptybuffer(B))
            lua_insert(L, -2); // put the buffer before the new value
        B->lvl++;
        adjuststack(B);
    }
}

void luaL_buffinit(lua_State* L, luaL_Buffer* B)
{
    B->L = L;
    B->p = B->buffer;
    B->lvl = 0;
    B->wide = 0;
}

void luaL_wbuffinit(lua_State* L, luaL_Buffer* B)
{
    luaL_buffinit(L, B);
    B->wide = 1;
}

// ---- references ------------------------------------------------------------------

int luaL_ref(lua_State* L, int t)
{
    t = abs_index(L, t);
    if (lua_isnil(L, -1)) {
        lua_pop(L, 1);
        return LUA_REFNIL; // nil has a fixed reference
    }
    lua_rawgeti(L, t, FREELIST_REF);
    int ref = static_cast<int>(lua_tonumber(L, -1));
    lua_pop(L, 1);
    if (ref != 0) { // reuse a free reference
        lua_rawgeti(L, t, ref);
        lua_rawseti(L, t, FREELIST_REF);
    } else {
        ref = luaL_getn(L, t);
        if (ref < RESERVED_REFS)
            ref = RESERVED_REFS;
        ref++;
        luaL_setn(L, t, ref);
    }
    lua_rawseti(L, t, ref);
    return ref;
}

void luaL_unref(lua_State* L, int t, int ref)
{
    if (ref >= 0) {
        t = abs_index(L, t);
        lua_rawgeti(L, t, FREELIST_REF);
        lua_rawseti(L, t, ref); // t[ref] = first free
        lua_pushnumber(L, ref);
        lua_rawseti(L, t, FREELIST_REF); // first free = ref
    }
}

// ---- loading ---------------------------------------------------------------------

namespace {

struct LoadF {
    FILE* f;
    int readerror; // errno of a failed read, kept until the load is over
    char buff[LUAL_BUFFERSIZE];
};

const char* getF(lua_State*, void* ud, size_t* size)
{
    auto* lf = static_cast<LoadF*>(ud);
    if (std::feof(lf->f))
        return nullptr;
    *size = std::fread(lf->buff, 1, LUAL_BUFFERSIZE, lf->f);
    if (*size == 0 && std::ferror(lf->f))
        lf->readerror = errno;
    return *size > 0 ? lf->buff : nullptr;
}

// The message says why, as the system tells it ("No such file or
// directory", "Is a directory").
int errfile(lua_State* L, int fnameindex, int error)
{
    const char* filename = lua_tostring(L, fnameindex) + 1;
    lua_pushfstring(L, "cannot read %s: %s", filename, std::strerror(error));
    lua_remove(L, fnameindex);
    return LUA_ERRFILE;
}

struct LoadS {
    const char* s;
    size_t size;
};

const char* getS(lua_State*, void* ud, size_t* size)
{
    auto* ls = static_cast<LoadS*>(ud);
    if (ls->size == 0)
        return nullptr;
    *size = ls->size;
    ls->size = 0;
    return ls->s;
}

} // namespace

int luaL_loadfile(lua_State* L, const char* filename)
{
    LoadF lf;
    lf.readerror = 0;
    int fnameindex = lua_gettop(L) + 1;
    if (filename == nullptr) {
        lua_pushliteral(L, "=stdin");
        lf.f = stdin;
    } else {
        lua_pushfstring(L, "@%s", filename);
        lf.f = std::fopen(filename, "rb");
    }
    if (lf.f == nullptr)
        return errfile(L, fnameindex, errno);
    int status = lua_load(L, getF, &lf, lua_tostring(L, -1));
    int readstatus = std::ferror(lf.f);
    if (lf.f != stdin)
        std::fclose(lf.f);
    if (readstatus) {
        lua_settop(L, fnameindex);
        return errfile(L, fnameindex, lf.readerror != 0 ? lf.readerror : EIO);
    }
    lua_remove(L, fnameindex);
    return status;
}

int luaL_loadbuffer(lua_State* L, const char* buff, size_t size, const char* name)
{
    LoadS ls;
    ls.s = buff;
    ls.size = size;
    return lua_load(L, getS, &ls, name);
}

// ---- compatibility: lua_dofile and friends report through _ALERT -------------------

static void callalert(lua_State* L, int status)
{
    if (status != 0) {
        lua_pushliteral(L, "_ALERT");
        lua_gettable(L, LUA_GLOBALSINDEX);
        if (lua_isfunction(L, -1)) {
            lua_insert(L, -2);
            lua_call(L, 1, 0);
        } else { // no _ALERT function: print it on stderr
            std::fprintf(stderr, "%s\n", lua_tostring(L, -2));
            lua_pop(L, 2);
        }
    }
}

static int aux_do(lua_State* L, int status)
{
    if (status == 0)
        status = lua_pcall(L, 0, LUA_MULTRET, 0);
    callalert(L, status);
    return status;
}

int lua_dofile(lua_State* L, const char* filename) { return aux_do(L, luaL_loadfile(L, filename)); }

int lua_dobuffer(lua_State* L, const char* buff, size_t size, const char* name)
{
    return aux_do(L, luaL_loadbuffer(L, buff, size, name));
}

int lua_dostring(lua_State* L, const char* str) { return lua_dobuffer(L, str, std::strlen(str), str); }

} // extern "C"
