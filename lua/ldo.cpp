#include "ldo.h"

#include <cstdlib>
#include <new>

#include "ldebug.h"
#include "lfunc.h"
#include "lgc.h"
#include "lmem.h"
#include "lparser.h"
#include "lstate.h"
#include "lstring.h"
#include "ltable.h"
#include "ltm.h"
#include "lundump.h"
#include "lvm.h"

// Largest stack a thread may have; beyond it is "stack overflow".
static constexpr int LUA_MAXSTACKSIZE = 1000000;

void luaD_seterrorobj(lua_State* L, int errcode, StkId oldtop)
{
    switch (errcode) {
    case LUA_ERRMEM: setsvalue(oldtop, luaS_newliteral(L, "not enough memory")); break;
    case LUA_ERRERR: setsvalue(oldtop, luaS_newliteral(L, "error in error handling")); break;
    case LUA_ERRSYNTAX:
    case LUA_ERRRUN: setobj(oldtop, L->top - 1); break;
    default: break;
    }
    L->top = oldtop + 1;
}

void luaD_throw(lua_State* L, int errcode)
{
    if (L->nProtected > 0)
        throw LuaException{errcode};
    // No protected caller: the host's panic function, then the fatal-error
    // function of the state, which ends the process (status 1).
    L->status = static_cast<lu_byte>(errcode);
    if (G(L)->panic)
        G(L)->panic(L);
    const char* msg = L->top > L->base && ttisstring(L->top - 1) ? svalue(L->top - 1) : "unprotected error";
    if (errcode == LUA_ERRMEM)
        msg = "not enough memory";
    if (G(L)->fatal)
        G(L)->fatal(L, msg);
    std::exit(EXIT_FAILURE);
}

// ---- native stack ----------------------------------------------------------------

static const char* nativeStackPosition()
{
#if defined(__GNUC__) || defined(__clang__)
    // the real frame, also when a sanitizer keeps locals elsewhere
    return static_cast<const char*>(__builtin_frame_address(0));
#else
    volatile char here = 0;
    return const_cast<const char*>(&here);
#endif
}

CStackEntry::CStackEntry(lua_State* L) : g(G(L))
{
    if (g->cstackEntries++ == 0)
        g->cstackBase = nativeStackPosition();
}

CStackEntry::~CStackEntry()
{
    if (--g->cstackEntries == 0)
        g->cstackBase = nullptr;
}

ptrdiff_t luaD_cstackused(lua_State* L)
{
    global_State* g = G(L);
    if (g->cstackBase == nullptr)
        return 0;
    ptrdiff_t used = g->cstackBase - nativeStackPosition();
    return used < 0 ? -used : used; // either way a stack grows
}

void luaD_checkcstack(lua_State* L)
{
    ptrdiff_t used = luaD_cstackused(L);
    if (used > LUA_MAXNATIVESTACK + LUA_MAXNATIVESTACK / 8)
        luaD_throw(L, LUA_ERRERR); // error while handling the overflow
    if (used > LUA_MAXNATIVESTACK)
        luaG_runerror(L, "C stack overflow");
}

int luaD_rawrunprotected(lua_State* L, Pfunc f, void* ud)
{
    CStackEntry entry(L);
    int status = 0;
    L->nProtected++;
    try {
        f(L, ud);
    } catch (const LuaException& e) {
        status = e.status;
    } catch (const std::bad_alloc&) {
        status = LUA_ERRMEM;
    }
    L->nProtected--;
    return status;
}

// ---- stack reallocation ------------------------------------------------------

static void correctstack(lua_State* L, TObject* oldstack)
{
    L->top = (L->top - oldstack) + L->stack;
    for (GCObject* up = L->openupval; up != nullptr; up = up->gch.next)
        up->uv.v = (up->uv.v - oldstack) + L->stack;
    for (CallInfo* ci = L->base_ci; ci <= L->ci; ci++) {
        ci->top = (ci->top - oldstack) + L->stack;
        ci->base = (ci->base - oldstack) + L->stack;
        ci->func = (ci->func - oldstack) + L->stack;
    }
    L->base = L->ci->base;
}

void luaD_reallocstack(lua_State* L, int newsize)
{
    TObject* oldstack = L->stack;
    int realsize = newsize + 1 + EXTRA_STACK;
    TObject* newstack = luaM_newvector<TObject>(L, realsize);
    int oldreal = L->stacksize;
    for (int i = 0; i < oldreal; i++)
        newstack[i] = oldstack[i];
    for (int i = oldreal; i < realsize; i++)
        setnilvalue(&newstack[i]);
    luaM_freearray(L, oldstack, oldreal);
    L->stack = newstack;
    L->stacksize = realsize;
    L->stack_last = L->stack + newsize;
    correctstack(L, oldstack);
}

void luaD_reallocCI(lua_State* L, int newsize)
{
    CallInfo* oldci = L->base_ci;
    luaM_reallocvector(L, L->base_ci, L->size_ci, newsize);
    L->size_ci = newsize;
    L->ci = (L->ci - oldci) + L->base_ci;
    L->end_ci = L->base_ci + L->size_ci;
}

void luaD_growstack(lua_State* L, int n)
{
    int size = L->stacksize;
    if (size > LUA_MAXSTACKSIZE) // already using the room kept for error handling
        luaD_throw(L, LUA_ERRERR);
    int newsize = n <= size ? 2 * size : size + n;
    if (newsize > LUA_MAXSTACKSIZE) {
        if (size + n > LUA_MAXSTACKSIZE + 2 * LUA_MINSTACK + EXTRA_STACK * 2)
            luaD_throw(L, LUA_ERRERR);
        luaD_reallocstack(L, LUA_MAXSTACKSIZE + 2 * LUA_MINSTACK);
        luaG_runerror(L, "stack overflow");
    }
    luaD_reallocstack(L, newsize);
}

void luaD_growCI(lua_State* L)
{
    if (L->size_ci > LUA_MAXCALLS) // overflow while handling overflow
        luaD_throw(L, LUA_ERRERR);
    luaD_reallocCI(L, 2 * L->size_ci);
    if (L->size_ci > LUA_MAXCALLS)
        luaG_runerror(L, "stack overflow");
}

static CallInfo* nextCI(lua_State* L)
{
    if (L->ci + 1 == L->end_ci)
        luaD_growCI(L);
    return ++L->ci;
}

// After an error the extra room given for handling an overflow is taken back.
static void restore_stack_limit(lua_State* L)
{
    if (L->size_ci > LUA_MAXCALLS) {
        int inuse = static_cast<int>(L->ci - L->base_ci);
        if (inuse + 1 < LUA_MAXCALLS)
            luaD_reallocCI(L, LUA_MAXCALLS);
    }
    if (L->stacksize > LUA_MAXSTACKSIZE) {
        int inuse = static_cast<int>(L->top - L->stack);
        if (inuse + 2 * LUA_MINSTACK < LUA_MAXSTACKSIZE)
            luaD_reallocstack(L, LUA_MAXSTACKSIZE);
    }
}

// ---- calls -----------------------------------------------------------------------

void luaD_callhook(lua_State* L, int event, int line)
{
    lua_Hook hook = L->hook;
    if (hook == nullptr || !L->allowhook)
        return;
    ptrdiff_t top = savestack(L, L->top);
    ptrdiff_t ci_top = savestack(L, L->ci->top);
    lua_Debug ar;
    ar.event = event;
    ar.currentline = line;
    // a simulated return from a lost tail call has no frame to describe
    ar.i_ci = event == LUA_HOOKTAILRET ? 0 : static_cast<int>(L->ci - L->base_ci);
    luaD_checkstack(L, LUA_MINSTACK); // the hook gets a minimum stack
    L->ci->top = L->top + LUA_MINSTACK;
    L->allowhook = 0; // no hooks inside a hook
    struct Restore { // also when the hook raises an error
        lua_State* L;
        ~Restore() { L->allowhook = 1; }
    } restore{L};
    (*hook)(L, &ar);
    L->ci->top = restorestack(L, ci_top);
    L->top = restorestack(L, top);
}

// Count hooks run every `basehookcount' instructions of Lua code (a host can
// bound the work a script may do; the hook may raise an error).
bool luaD_counthook(lua_State* L)
{
    if (--L->hookcount > 0)
        return false;
    L->hookcount = L->basehookcount;
    luaD_callhook(L, LUA_HOOKCOUNT, -1);
    return true;
}

// The 5.0 vararg convention: the extra arguments go into a table `arg'
// (with field n) that becomes the local right after the fixed parameters.
static void adjust_varargs(lua_State* L, int nfixargs, StkId base)
{
    int actual = static_cast<int>(L->top - base);
    if (actual < nfixargs) {
        luaD_checkstack(L, nfixargs - actual);
        for (; actual < nfixargs; ++actual)
            setnilvalue(L->top++);
    }
    actual -= nfixargs;
    Table* htab = luaH_new(L, actual, 1);
    for (int i = 0; i < actual; i++)
        setobj(luaH_setnum(L, htab, i + 1), L->top - actual + i);
    TObject nname;
    setsvalue(&nname, luaS_newliteral(L, "n"));
    setnvalue(luaH_set(L, htab, &nname), actual);
    L->top -= actual;
    sethvalue(L->top, htab);
    incr_top(L);
}

// A non-function being called: its `__call' metamethod is called instead,
// with the value as first argument.
StkId luaD_tryfuncTM(lua_State* L, StkId func)
{
    const TObject* tm = luaT_gettmbyobj(L, func, TM_CALL);
    ptrdiff_t funcr = savestack(L, func);
    if (!ttisfunction(tm))
        luaG_typeerror(L, func, "call");
    for (StkId p = L->top; p > func; p--)
        setobj(p, p - 1);
    incr_top(L);
    func = restorestack(L, funcr);
    setobj(func, tm);
    return func;
}

int luaD_precall(lua_State* L, StkId func, int nresults, bool tailcall)
{
    if (!ttisfunction(func))
        func = luaD_tryfuncTM(L, func);
    Closure* cl = clvalue(func);
    ptrdiff_t funcr = savestack(L, func);
    if (!cl->c.isC) {
        Proto* p = cl->l.p;
        luaD_checkstack(L, p->maxstacksize);
        func = restorestack(L, funcr);
        StkId base = func + 1;
        if (p->is_vararg)
            adjust_varargs(L, p->numparams, base);
        else if (L->top > base + p->numparams)
            L->top = base + p->numparams;
        CallInfo* ci = nextCI(L);
        luaD_initLuaFrame(L, ci, restorestack(L, funcr), p, nresults);
        // a tail call's frame is finished by the caller, which runs the hook then
        if ((L->hookmask & LUA_MASKCALL) && !tailcall)
            luaD_callhook(L, LUA_HOOKCALL, -1);
        return PCR_LUA;
    }
    luaD_checkstack(L, LUA_MINSTACK);
    CallInfo* ci = nextCI(L);
    func = restorestack(L, funcr);
    ci->func = func;
    L->base = ci->base = func + 1;
    ci->top = L->top + LUA_MINSTACK;
    ci->savedpc = nullptr;
    ci->nresults = nresults;
    ci->tailcalls = 0;
    ci->state = CI_C;
    ci->linepc = nullptr;
    if (L->hookmask & LUA_MASKCALL)
        luaD_callhook(L, LUA_HOOKCALL, -1);
    int n = (*cl->c.f)(L);
    if (n < 0) // yielded
        return PCR_YIELD;
    luaD_poscall(L, nresults, L->top - n);
    return PCR_C;
}

// The return hook runs while the returning function is still the current
// level; a Lua frame then simulates one return for each tail call it made,
// counting each lost call off before its event: in the last one the frame
// is no longer a tail call, and the hook finds the name its caller used.
StkId luaD_callrethooks(lua_State* L, StkId firstResult)
{
    ptrdiff_t fr = savestack(L, firstResult); // the hook may move the stack
    luaD_callhook(L, LUA_HOOKRET, -1);
    if (isLua(L->ci)) {
        while (L->ci->tailcalls > 0 && (L->hookmask & LUA_MASKRET)) {
            L->ci->tailcalls--;
            luaD_callhook(L, LUA_HOOKTAILRET, -1);
        }
    }
    return restorestack(L, fr);
}

// Calls a function from C (or from a metamethod): the function and its
// arguments are on the stack; results replace them.
void luaD_call(lua_State* L, StkId func, int nResults)
{
    // Each thread counts its own C calls; the native stack they all share
    // (coroutines resumed inside one another) is measured on its own.
    CStackEntry entry(L);
    // An error leaves the count raised (the protected call that catches it
    // restores it), so an error handler that overflows again ends in
    // "error in error handling".
    if (++L->nCcalls >= LUA_MAXCCALLS) {
        if (L->nCcalls == LUA_MAXCCALLS)
            luaG_runerror(L, "C stack overflow");
        else if (L->nCcalls >= LUA_MAXCCALLS + (LUA_MAXCCALLS >> 3))
            luaD_throw(L, LUA_ERRERR); // error while handling the overflow
    }
    luaD_checkcstack(L);
    int r = luaD_precall(L, func, nResults);
    if (r == PCR_LUA) {
        L->ci->state |= CI_FRESH;
        luaV_execute(L);
    } else if (r == PCR_YIELD) {
        luaG_runerror(L, "attempt to yield across metamethod/C-call boundary");
    }
    L->nCcalls--;
}

int luaD_pcall(lua_State* L, Pfunc func, void* u, ptrdiff_t old_top, ptrdiff_t ef)
{
    int oldnCcalls = L->nCcalls;
    ptrdiff_t old_ci = saveci(L, L->ci);
    lu_byte old_allowhooks = L->allowhook;
    ptrdiff_t old_errfunc = L->errfunc;
    L->errfunc = ef;
    int status = luaD_rawrunprotected(L, func, u);
    if (status != 0) {
        StkId oldtop = restorestack(L, old_top);
        luaF_close(L, oldtop);
        luaD_seterrorobj(L, status, oldtop);
        L->nCcalls = oldnCcalls;
        L->ci = restoreci(L, old_ci);
        L->base = L->ci->base;
        L->allowhook = old_allowhooks;
        restore_stack_limit(L);
    }
    L->errfunc = old_errfunc;
    return status;
}

// ---- loading -----------------------------------------------------------------

namespace {

struct SParser {
    ZIO* z;
    Mbuffer buff;
    int bin;
};

void f_parser(lua_State* L, void* ud)
{
    auto* p = static_cast<SParser*>(ud);
    {
        // the parser holds new objects only in C++ variables
        GCBlock block(L);
        Proto* tf = p->bin ? luaU_undump(L, p->z, &p->buff) : luaY_parser(L, p->z, &p->buff);
        Closure* cl = luaF_newLclosure(L, 0, gt(L));
        cl->l.p = tf;
        setclvalue(L->top, cl);
        incr_top(L);
    }
    luaC_checkGC(L);
}

} // namespace

int luaD_protectedparser(lua_State* L, ZIO* z, int bin)
{
    SParser p;
    p.z = z;
    p.bin = bin;
    p.buff.buffer = nullptr;
    p.buff.size = 0;
    int status = luaD_pcall(L, f_parser, &p, savestack(L, L->top), L->errfunc);
    luaZ_freebuffer(L, &p.buff);
    return status;
}
