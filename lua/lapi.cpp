// The C API.
#include <cstdarg>
#include <cstring>

#include "ldebug.h"
#include "ldo.h"
#include "lfunc.h"
#include "lgc.h"
#include "lmem.h"
#include "lstate.h"
#include "lstring.h"
#include "ltable.h"
#include "ltm.h"
#include "lundump.h"
#include "lvm.h"

namespace {

// Values a C function may have on its stack, its arguments included: what
// lua_checkstack grants, so `unpack' of a longer list is refused ("table too
// big to unpack") at the same size as in 5.0.
constexpr int LUA_MAXCSTACK = 2048;

TObject* negindex(lua_State* L, int idx)
{
    if (idx > LUA_REGISTRYINDEX)
        return L->top + idx;
    if (idx < -LUA_REGISTRYREFBASE) { // dialect: registry[k] for index -(40000 + k)
        int key = -idx - LUA_REGISTRYREFBASE;
        return const_cast<TObject*>(luaH_getnum(hvalue(registry(L)), key));
    }
    switch (idx) {
    case LUA_REGISTRYINDEX: return registry(L);
    case LUA_GLOBALSINDEX: return gt(L);
    default: {
        Closure* func = clvalue(L->base - 1);
        idx = LUA_GLOBALSINDEX - idx;
        if (func->c.isC && idx <= func->c.nupvalues)
            return &func->c.upvalue[idx - 1];
        return nullptr;
    }
    }
}

// The value at an index, or null when the index is not acceptable.
TObject* luaA_indexAcceptable(lua_State* L, int idx)
{
    if (idx > 0) {
        TObject* o = L->base + (idx - 1);
        return o >= L->top ? nullptr : o;
    }
    return negindex(L, idx);
}

TObject* luaA_index(lua_State* L, int idx)
{
    if (idx > 0)
        return L->base + (idx - 1);
    TObject* o = negindex(L, idx);
    return o ? o : const_cast<TObject*>(&luaO_nilobject);
}

// Pushes always have room: the stack grows as needed.
TObject* pushslot(lua_State* L)
{
    luaD_checkstack(L, 1);
    return L->top++;
}

struct CallS {
    StkId func;
    int nresults;
};

void f_call(lua_State* L, void* ud)
{
    auto* c = static_cast<CallS*>(ud);
    luaD_call(L, c->func, c->nresults);
}

struct CCallS {
    lua_CFunction func;
    void* ud;
};

void f_Ccall(lua_State* L, void* ud)
{
    auto* c = static_cast<CCallS*>(ud);
    Closure* cl = luaF_newCclosure(L, 0);
    cl->c.f = c->func;
    sethvalue(&cl->c.g, hvalue(gt(L)));
    setclvalue(L->top, cl);
    incr_top(L);
    setpvalue(L->top, c->ud);
    incr_top(L);
    luaD_call(L, L->top - 2, 0);
}

} // namespace

extern "C" {

lua_CFunction lua_atpanic(lua_State* L, lua_CFunction panicf)
{
    lua_CFunction old = G(L)->panic;
    G(L)->panic = panicf;
    return old;
}

lua_State* lua_newthread(lua_State* L)
{
    lua_State* L1 = luaE_newthread(L);
    setthvalue(pushslot(L), L1);
    luaC_checkGC(L);
    return L1;
}

// ---- basic stack manipulation ----------------------------------------------------

int lua_gettop(lua_State* L) { return static_cast<int>(L->top - L->base); }

void lua_settop(lua_State* L, int idx)
{
    if (idx >= 0) {
        luaD_checkstack(L, idx - static_cast<int>(L->top - L->base));
        while (L->top < L->base + idx)
            setnilvalue(L->top++);
        L->top = L->base + idx;
    } else {
        L->top += idx + 1;
    }
}

void lua_remove(lua_State* L, int idx)
{
    StkId p = luaA_index(L, idx);
    while (++p < L->top)
        setobj(p - 1, p);
    L->top--;
}

void lua_insert(lua_State* L, int idx)
{
    StkId p = luaA_index(L, idx);
    for (StkId q = L->top; q > p; q--)
        setobj(q, q - 1);
    setobj(p, L->top);
}

void lua_replace(lua_State* L, int idx)
{
    setobj(luaA_index(L, idx), L->top - 1);
    L->top--;
}

void lua_pushvalue(lua_State* L, int idx)
{
    TObject v = *luaA_index(L, idx);
    setobj(pushslot(L), &v);
}

int lua_checkstack(lua_State* L, int size)
{
    if (size < 0 || (L->top - L->base) + size > LUA_MAXCSTACK)
        return 0;
    luaD_checkstack(L, size);
    if (L->ci->top < L->top + size)
        L->ci->top = L->top + size;
    return 1;
}

void lua_xmove(lua_State* from, lua_State* to, int n)
{
    if (from == to)
        return;
    luaD_checkstack(to, n);
    from->top -= n;
    for (int i = 0; i < n; i++)
        setobj(to->top++, from->top + i);
}

// ---- access functions (stack -> C) ------------------------------------------------

int lua_type(lua_State* L, int idx)
{
    StkId o = luaA_indexAcceptable(L, idx);
    return o == nullptr ? LUA_TNONE : ttype(o);
}

const char* lua_typename(lua_State*, int t) { return t == LUA_TNONE ? "no value" : luaT_typenames[t]; }

int lua_iscfunction(lua_State* L, int idx)
{
    StkId o = luaA_indexAcceptable(L, idx);
    return o != nullptr && ttisfunction(o) && clvalue(o)->c.isC;
}

int lua_isnumber(lua_State* L, int idx)
{
    TObject n;
    const TObject* o = luaA_indexAcceptable(L, idx);
    return o != nullptr && luaV_tonumber(o, &n) != nullptr;
}

int lua_isstring(lua_State* L, int idx)
{
    int t = lua_type(L, idx);
    return t == LUA_TSTRING || t == LUA_TNUMBER;
}

int lua_isuserdata(lua_State* L, int idx)
{
    const TObject* o = luaA_indexAcceptable(L, idx);
    return o != nullptr && (ttisuserdata(o) || ttislightuserdata(o));
}

int lua_rawequal(lua_State* L, int index1, int index2)
{
    StkId o1 = luaA_indexAcceptable(L, index1);
    StkId o2 = luaA_indexAcceptable(L, index2);
    return o1 == nullptr || o2 == nullptr ? 0 : luaO_rawequalObj(o1, o2);
}

int lua_equal(lua_State* L, int index1, int index2)
{
    StkId o1 = luaA_indexAcceptable(L, index1);
    StkId o2 = luaA_indexAcceptable(L, index2);
    return o1 == nullptr || o2 == nullptr ? 0 : equalobj(L, o1, o2);
}

int lua_lessthan(lua_State* L, int index1, int index2)
{
    StkId o1 = luaA_indexAcceptable(L, index1);
    StkId o2 = luaA_indexAcceptable(L, index2);
    return o1 == nullptr || o2 == nullptr ? 0 : luaV_lessthan(L, o1, o2);
}

lua_Number lua_tonumber(lua_State* L, int idx)
{
    TObject n;
    const TObject* o = luaA_indexAcceptable(L, idx);
    if (o != nullptr && (o = luaV_tonumber(o, &n)) != nullptr)
        return nvalue(o);
    return 0;
}

int lua_toboolean(lua_State* L, int idx)
{
    const TObject* o = luaA_indexAcceptable(L, idx);
    return o != nullptr && !l_isfalse(o);
}

const char* lua_tostring(lua_State* L, int idx)
{
    StkId o = luaA_indexAcceptable(L, idx);
    if (o == nullptr)
        return nullptr;
    if (ttisstring(o))
        return svalue(o);
    if (o != &luaO_nilobject && luaV_tostring(L, o))
        return svalue(o);
    return nullptr;
}

const unsigned short* lua_towstring(lua_State* L, int idx)
{
    StkId o = luaA_indexAcceptable(L, idx);
    if (o == nullptr)
        return nullptr;
    if (ttiswstring(o))
        return getwstr(tsvalue(o));
    if (o != &luaO_nilobject && luaV_towstring(L, o))
        return getwstr(tsvalue(o));
    return nullptr;
}

size_t lua_strlen(lua_State* L, int idx)
{
    StkId o = luaA_indexAcceptable(L, idx);
    if (o == nullptr)
        return 0;
    if (ttisanystring(o))
        return tsvalue(o)->len;
    if (lua_tostring(L, idx))
        return tsvalue(o)->len;
    return 0;
}

lua_CFunction lua_tocfunction(lua_State* L, int idx)
{
    StkId o = luaA_indexAcceptable(L, idx);
    return o == nullptr || !ttisfunction(o) || !clvalue(o)->c.isC ? nullptr : clvalue(o)->c.f;
}

void* lua_touserdata(lua_State* L, int idx)
{
    StkId o = luaA_indexAcceptable(L, idx);
    if (o == nullptr)
        return nullptr;
    switch (ttype(o)) {
    case LUA_TUSERDATA: {
        Udata* u = uvalue(o);
        if (u->len == USERDATA_BOX) { // a box: the held pointer
            void* p;
            std::memcpy(&p, udataBlock(u), sizeof(p));
            return p;
        }
        return udataBlock(u);
    }
    case LUA_TLIGHTUSERDATA: return pvalue(o);
    default: return nullptr;
    }
}

lua_State* lua_tothread(lua_State* L, int idx)
{
    StkId o = luaA_indexAcceptable(L, idx);
    return o == nullptr || !ttisthread(o) ? nullptr : thvalue(o);
}

const void* lua_topointer(lua_State* L, int idx)
{
    StkId o = luaA_indexAcceptable(L, idx);
    if (o == nullptr)
        return nullptr;
    switch (ttype(o)) {
    case LUA_TTABLE:
    case LUA_TFUNCTION:
    case LUA_TTHREAD: return gcvalue(o);
    case LUA_TUSERDATA:
    case LUA_TLIGHTUSERDATA: return lua_touserdata(L, idx);
    default: return nullptr;
    }
}

// ---- push functions (C -> stack) -------------------------------------------------------

void lua_pushnil(lua_State* L) { setnilvalue(pushslot(L)); }

void lua_pushnumber(lua_State* L, lua_Number n) { setnvalue(pushslot(L), n); }

void lua_pushlstring(lua_State* L, const char* s, size_t len)
{
    luaD_checkstack(L, 1);
    setsvalue(L->top, luaS_newlstr(L, s, len));
    L->top++;
    luaC_checkGC(L);
}

void lua_pushstring(lua_State* L, const char* s)
{
    if (s == nullptr)
        lua_pushnil(L);
    else
        lua_pushlstring(L, s, std::strlen(s));
}

void lua_pushlwstring(lua_State* L, const unsigned short* s, size_t len)
{
    luaD_checkstack(L, 1);
    setsvalue(L->top, luaS_newlwstr(L, s, len));
    L->top++;
    luaC_checkGC(L);
}

void lua_pushwstring(lua_State* L, const unsigned short* s)
{
    if (s == nullptr) {
        lua_pushnil(L);
        return;
    }
    size_t n = 0;
    while (s[n])
        n++;
    lua_pushlwstring(L, s, n);
}

const char* lua_pushvfstring(lua_State* L, const char* fmt, va_list argp)
{
    luaD_checkstack(L, 1);
    const char* ret = luaO_pushvfstring(L, fmt, argp);
    luaC_checkGC(L);
    return ret;
}

const char* lua_pushfstring(lua_State* L, const char* fmt, ...)
{
    va_list argp;
    va_start(argp, fmt);
    const char* ret = lua_pushvfstring(L, fmt, argp);
    va_end(argp);
    return ret;
}

void lua_pushcclosure(lua_State* L, lua_CFunction fn, int n)
{
    Closure* cl = luaF_newCclosure(L, n);
    cl->c.f = fn;
    setobj(&cl->c.g, gt(L));
    L->top -= n;
    while (n--)
        setobj(&cl->c.upvalue[n], L->top + n);
    setclvalue(pushslot(L), cl);
    luaC_checkGC(L);
}

void lua_pushboolean(lua_State* L, int b) { setbvalue(pushslot(L), b != 0); }

void lua_pushlightuserdata(lua_State* L, void* p) { setpvalue(pushslot(L), p); }

// ---- get functions (Lua -> stack) ---------------------------------------------------------

void lua_gettable(lua_State* L, int idx)
{
    StkId t = luaA_index(L, idx);
    TObject key = *(L->top - 1);
    luaV_gettable(L, t, &key, L->top - 1);
}

void lua_rawget(lua_State* L, int idx)
{
    StkId t = luaA_index(L, idx);
    if (!ttistable(t))
        luaG_runerror(L, "table expected in `lua_rawget'");
    setobj(L->top - 1, luaH_get(hvalue(t), L->top - 1));
}

void lua_rawgeti(lua_State* L, int idx, int n)
{
    StkId o = luaA_index(L, idx);
    if (!ttistable(o))
        luaG_runerror(L, "table expected in `lua_rawgeti'");
    TObject v = *luaH_getnum(hvalue(o), n);
    setobj(pushslot(L), &v);
}

void lua_newtable(lua_State* L)
{
    luaD_checkstack(L, 1);
    sethvalue(L->top, luaH_new(L, 0, 0));
    L->top++;
    luaC_checkGC(L);
}

int lua_getmetatable(lua_State* L, int objindex)
{
    StkId obj = luaA_indexAcceptable(L, objindex);
    if (obj == nullptr)
        return 0;
    Table* mt = luaT_getmetatable(L, obj);
    if (mt == nullptr || mt == hvalue(defaultmeta(L)))
        return 0;
    sethvalue(pushslot(L), mt);
    return 1;
}

void lua_getfenv(lua_State* L, int idx)
{
    StkId o = luaA_index(L, idx);
    TObject v = (ttisfunction(o) && !clvalue(o)->c.isC) ? clvalue(o)->l.g : *gt(L);
    setobj(pushslot(L), &v);
}

void lua_getdefaultmetatable(lua_State* L, int type)
{
    TObject v;
    if (type >= 0 && type < NUM_TAGS)
        v = G(L)->mt[type];
    else
        setnilvalue(&v);
    setobj(pushslot(L), &v);
}

// ---- set functions (stack -> Lua) ------------------------------------------------------------

void lua_settable(lua_State* L, int idx)
{
    StkId t = luaA_index(L, idx);
    TObject tv = *t;
    luaV_settable(L, &tv, L->top - 2, L->top - 1);
    L->top -= 2;
}

void lua_rawset(lua_State* L, int idx)
{
    StkId t = luaA_index(L, idx);
    if (!ttistable(t))
        luaG_runerror(L, "table expected in `lua_rawset'");
    setobj(luaH_set(L, hvalue(t), L->top - 2), L->top - 1);
    L->top -= 2;
}

void lua_rawseti(lua_State* L, int idx, int n)
{
    StkId o = luaA_index(L, idx);
    if (!ttistable(o))
        luaG_runerror(L, "table expected in `lua_rawseti'");
    setobj(luaH_setnum(L, hvalue(o), n), L->top - 1);
    L->top--;
}

int lua_setmetatable(lua_State* L, int objindex)
{
    StkId obj = luaA_index(L, objindex);
    StkId mtv = L->top - 1;
    Table* mt;
    if (ttisnil(mtv))
        mt = hvalue(defaultmeta(L));
    else if (ttistable(mtv))
        mt = hvalue(mtv);
    else {
        L->top--;
        return 0;
    }
    int res = 1;
    switch (ttype(obj)) {
    case LUA_TTABLE: hvalue(obj)->metatable = mt; break;
    case LUA_TUSERDATA: uvalue(obj)->metatable = mt; break;
    default: res = 0; break;
    }
    L->top--;
    return res;
}

int lua_setfenv(lua_State* L, int idx)
{
    StkId o = luaA_index(L, idx);
    int res = 0;
    if (ttisfunction(o) && !clvalue(o)->c.isC && ttistable(L->top - 1)) {
        clvalue(o)->l.g = *(L->top - 1);
        res = 1;
    }
    L->top--;
    return res;
}

void lua_setdefaultmetatable(lua_State* L, int type)
{
    StkId v = L->top - 1;
    if (type > 0 && type < NUM_TAGS && ttistable(v))
        G(L)->mt[type] = *v;
    L->top--;
}

// ---- calls and loading ---------------------------------------------------------------------

void lua_call(lua_State* L, int nargs, int nresults)
{
    StkId func = L->top - (nargs + 1);
    luaD_call(L, func, nresults);
}

int lua_pcall(lua_State* L, int nargs, int nresults, int errfunc)
{
    ptrdiff_t func = errfunc == 0 ? 0 : savestack(L, luaA_index(L, errfunc));
    CallS c;
    c.func = L->top - (nargs + 1);
    c.nresults = nresults;
    return luaD_pcall(L, f_call, &c, savestack(L, c.func), func);
}

int lua_cpcall(lua_State* L, lua_CFunction func, void* ud)
{
    CCallS c;
    c.func = func;
    c.ud = ud;
    return luaD_pcall(L, f_Ccall, &c, savestack(L, L->top), 0);
}

int lua_load(lua_State* L, lua_Chunkreader reader, void* data, const char* chunkname)
{
    ZIO z;
    if (!chunkname)
        chunkname = "?";
    luaZ_init(&z, reader, data, chunkname, L);
    // A UTF-16LE byte-order mark selects a wide source; it is not part of the text.
    if (luaZ_lookahead_2(&z) == 0xFEFF) {
        zgetc(&z);
        zgetc(&z);
        z.wide = 1;
    }
    int c = luaZ_lookahead(&z);
    return luaD_protectedparser(L, &z, c == LUA_SIGNATURE[0]);
}

int lua_dump(lua_State* L, lua_Chunkwriter writer, void* data)
{
    TObject* o = L->top - 1;
    // A function with upvalues cannot be rebuilt from a chunk.
    if (ttisfunction(o) && !clvalue(o)->c.isC && clvalue(o)->l.nupvalues == 0) {
        luaU_dump(L, clvalue(o)->l.p, writer, data);
        return 1;
    }
    return 0;
}

// ---- coroutines -------------------------------------------------------------------------

static int resume_error(lua_State* L, const char* msg)
{
    L->top = L->ci->base;
    setsvalue(L->top, luaS_new(L, msg));
    incr_top(L);
    return LUA_ERRRUN;
}

static void resume(lua_State* L, void* ud)
{
    int nargs = *static_cast<int*>(ud);
    CallInfo* ci = L->ci;
    if (ci == L->base_ci) { // start the function lying below the arguments
        StkId func = L->top - (nargs + 1);
        if (luaD_precall(L, func, LUA_MULTRET) == PCR_LUA) {
            L->ci->state |= CI_FRESH;
            luaV_execute(L);
        }
        return;
    }
    // Resume after a yield: the arguments are the results of the pending call.
    ci->state &= ~CI_YIELD;
    int wanted = ci->nresults;
    luaD_poscall(L, wanted, L->top - nargs);
    if (wanted >= 0)
        L->top = L->ci->top;
    if (isLua(L->ci)) {
        // the resumed Lua function is entered again: a call event, as at its start
        if (L->hookmask & LUA_MASKCALL)
            luaD_callhook(L, LUA_HOOKCALL, -1);
        luaV_execute(L);
    }
}

int lua_resume(lua_State* L, int nargs)
{
    if (L->ci == L->base_ci) {
        if (nargs >= L->top - L->base)
            return resume_error(L, "cannot resume dead coroutine");
    } else if (!(L->ci->state & CI_YIELD)) {
        return resume_error(L, "cannot resume non-suspended coroutine");
    }
    if (luaD_cstackused(L) > LUA_MAXNATIVESTACK) { // refused, the coroutine stays as it was
        L->top -= nargs;
        setsvalue(L->top, luaS_newliteral(L, "C stack overflow"));
        incr_top(L);
        return LUA_ERRRUN;
    }
    // a resumed coroutine counts its own C calls from none, as any thread
    int oldnCcalls = L->nCcalls;
    L->nCcalls = 0;
    int status = luaD_rawrunprotected(L, resume, &nargs);
    L->nCcalls = oldnCcalls;
    if (status != 0) { // error: the coroutine is dead, its frames are gone
        StkId msg = L->top - 1;
        TObject err = *msg;
        L->ci = L->base_ci;
        L->base = L->ci->base;
        luaF_close(L, L->base);
        L->top = L->base;
        if (status == LUA_ERRMEM)
            setsvalue(L->top, luaS_newliteral(L, "not enough memory"));
        else if (status == LUA_ERRERR)
            setsvalue(L->top, luaS_newliteral(L, "error in error handling"));
        else
            setobj(L->top, &err);
        L->top++;
    }
    return status;
}

int lua_yield(lua_State* L, int nresults)
{
    CallInfo* ci = L->ci;
    if (L->nCcalls > 0 || !L->allowhook) // C calls, or a hook, lie between
        luaG_runerror(L, "attempt to yield across metamethod/C-call boundary");
    if (ci->state & CI_C) {
        if (ci - 1 == L->base_ci || ((ci - 1)->state & CI_C))
            luaG_runerror(L, "cannot yield a C function");
        if (L->top - nresults > ci->base) { // move the results down
            for (int i = 0; i < nresults; i++)
                setobj(ci->base + i, L->top - nresults + i);
            L->top = ci->base + nresults;
        }
    }
    ci->state |= CI_YIELD;
    return -1;
}

int lua_issuspended(lua_State* L) { return L->ci != L->base_ci && (L->ci->state & CI_YIELD) != 0; }

int lua_isidle(lua_State* L) { return L->ci == L->base_ci; }

int lua_canyield(lua_State* L)
{
    CallInfo* ci = L->ci;
    return L->nCcalls == 0 && ci != L->base_ci && (ci->state & CI_C) && ci - 1 != L->base_ci &&
           !((ci - 1)->state & CI_C);
}

// ---- garbage collection ---------------------------------------------------------------

int lua_getgcthreshold(lua_State* L) { return static_cast<int>(G(L)->GCthreshold >> 10); }

int lua_getgccount(lua_State* L) { return static_cast<int>(G(L)->nblocks >> 10); }

void lua_setgcthreshold(lua_State* L, int newthreshold)
{
    if (newthreshold < 0)
        newthreshold = 0;
    if (static_cast<lu_mem>(newthreshold) > (static_cast<lu_mem>(-1) >> 11))
        G(L)->GCthreshold = static_cast<lu_mem>(-1) >> 1;
    else
        G(L)->GCthreshold = static_cast<lu_mem>(newthreshold) << 10;
    luaC_checkGC(L);
}

// ---- miscellaneous -----------------------------------------------------------------------

const char* lua_version(void) { return LUA_VERSION; }

int lua_error(lua_State* L) { luaG_errormsg(L); }

int lua_errorbare(lua_State* L)
{
    luaD_throw(L, LUA_ERRRUN);
    return 0;
}

int lua_next(lua_State* L, int idx)
{
    StkId t = luaA_index(L, idx);
    if (!ttistable(t))
        luaG_runerror(L, "table expected in `lua_next'");
    luaD_checkstack(L, 1);
    int more = luaH_next(L, hvalue(t), L->top - 1);
    if (more)
        L->top++;
    else
        L->top--;
    return more;
}

void lua_concat(lua_State* L, int n)
{
    if (n >= 2) {
        luaV_concat(L, n, static_cast<int>(L->top - L->base) - 1);
        L->top -= n - 1;
        luaC_checkGC(L);
    } else if (n == 0) {
        luaD_checkstack(L, 1);
        setsvalue(L->top, luaS_newlstr(L, "", 0));
        L->top++;
    }
}

void* lua_newuserdata(lua_State* L, size_t size)
{
    luaD_checkstack(L, 1);
    Udata* u = luaS_newudata(L, size);
    setuvalue(L->top, u);
    L->top++;
    luaC_checkGC(L);
    return udataBlock(u);
}

void* lua_newuserdatabox(lua_State* L, void* p)
{
    luaD_checkstack(L, 1);
    Udata* u = luaS_newudata(L, sizeof(void*)); // holds a whole pointer
    u->len = USERDATA_BOX;
    std::memcpy(udataBlock(u), &p, sizeof(p));
    setuvalue(L->top, u);
    L->top++;
    luaC_checkGC(L);
    return p;
}

int lua_pushupvalues(lua_State* L)
{
    Closure* func = clvalue(L->base - 1);
    int n = func->c.nupvalues;
    luaD_checkstack(L, n + LUA_MINSTACK);
    for (int i = 0; i < n; i++)
        setobj(L->top++, &func->c.upvalue[i]);
    return n;
}

static const char* aux_upvalue(lua_State* L, int funcindex, int n, TObject** val)
{
    StkId fi = luaA_index(L, funcindex);
    if (!ttisfunction(fi))
        return nullptr;
    Closure* f = clvalue(fi);
    if (f->c.isC) {
        if (n > f->c.nupvalues || n < 1)
            return nullptr;
        *val = &f->c.upvalue[n - 1];
        return "";
    }
    Proto* p = f->l.p;
    if (n > p->sizeupvalues || n < 1)
        return nullptr;
    *val = f->l.upvals[n - 1]->v;
    return getstr(p->upvalues[n - 1]);
}

const char* lua_getupvalue(lua_State* L, int funcindex, int n)
{
    TObject* val;
    const char* name = aux_upvalue(L, funcindex, n, &val);
    if (name) {
        TObject v = *val;
        setobj(pushslot(L), &v);
    }
    return name;
}

const char* lua_setupvalue(lua_State* L, int funcindex, int n)
{
    TObject* val;
    const char* name = aux_upvalue(L, funcindex, n, &val);
    if (name)
        setobj(val, L->top - 1);
    L->top--;
    return name;
}

} // extern "C"
