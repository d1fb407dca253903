#include "lstate.h"

#include <cstdio>
#include <cstdlib>
#include <new>

#include "ldebug.h"
#include "ldo.h"
#include "lfunc.h"
#include "lgc.h"
#include "llex.h"
#include "lmem.h"
#include "lstring.h"
#include "ltable.h"
#include "ltm.h"

namespace {

// The main thread and the global state are allocated together.
struct LG {
    lua_State l;
    global_State g;
};

void defaultFatalErrorFunc(lua_State*, const char* msg)
{
    std::fprintf(stderr, "%s\n", msg ? msg : "fatal error");
    std::exit(1);
}

void stack_init(lua_State* L1, lua_State* L)
{
    L1->stack = luaM_newvector<TObject>(L, BASIC_STACK_SIZE + EXTRA_STACK);
    L1->stacksize = BASIC_STACK_SIZE + EXTRA_STACK;
    L1->top = L1->stack;
    L1->stack_last = L1->stack + (L1->stacksize - EXTRA_STACK) - 1;
    for (int i = 0; i < L1->stacksize; i++)
        setnilvalue(&L1->stack[i]);
    L1->base_ci = luaM_newvector<CallInfo>(L, BASIC_CI_SIZE);
    L1->ci = L1->base_ci;
    L1->ci->state = CI_C; // the base frame is C's
    setnilvalue(L1->top++); // `function' entry for this `ci'
    L1->base = L1->ci->base = L1->top;
    L1->ci->func = L1->top - 1;
    L1->ci->top = L1->top + LUA_MINSTACK;
    L1->ci->savedpc = nullptr;
    L1->ci->nresults = 0;
    L1->ci->tailcalls = 0;
    L1->ci->linepc = nullptr;
    L1->size_ci = BASIC_CI_SIZE;
    L1->end_ci = L1->base_ci + L1->size_ci;
}

void freestack(lua_State* L, lua_State* L1)
{
    luaM_freearray(L, L1->base_ci, L1->size_ci);
    luaM_freearray(L, L1->stack, L1->stacksize);
}

void preinit_state(lua_State* L)
{
    L->stack = nullptr;
    L->stacksize = 0;
    L->errfunc = 0;
    L->nCcalls = 0;
    L->nProtected = 0;
    L->base_ci = L->ci = nullptr;
    L->size_ci = 0;
    L->end_ci = nullptr;
    L->top = L->base = L->stack_last = nullptr;
    L->hook = nullptr;
    L->hookmask = 0;
    L->basehookcount = 0;
    L->allowhook = 1;
    L->hookinit = 0;
    L->hookcount = 0;
    L->openupval = nullptr;
    L->gclist = nullptr;
    L->status = 0;
    L->allocTag = 0;
    L->reserved2 = 0;
    setnilvalue(gt(L));
}

// Builds the registry, the globals, the default metatables and the strings
// the core needs. Runs protected: a memory error leaves a state to close.
void f_luaopen(lua_State* L, void*)
{
    global_State* g = G(L);
    stack_init(L, L);
    // the empty table every table starts with as its metatable
    sethvalue(defaultmeta(L), luaH_new(L, 0, 0));
    hvalue(defaultmeta(L))->metatable = hvalue(defaultmeta(L));
    sethvalue(gt(L), luaH_new(L, 0, 4));
    sethvalue(registry(L), luaH_new(L, 4, 4));
    luaS_resize(L, 32);
    luaT_init(L);
    luaX_init(L);
    luaS_fix(luaS_newliteral(L, "not enough memory"));
    luaS_fix(luaS_newliteral(L, "error in error handling"));
    // one default metatable per type: tag 0 (nil) has none
    setnilvalue(&g->mt[LUA_TNIL]);
    for (int t = 1; t < NUM_TAGS; t++)
        sethvalue(&g->mt[t], luaH_new(L, 0, 0));
    g->GCthreshold = 4 * g->nblocks;
}

void close_state(lua_State* L)
{
    luaF_close(L, L->stack);
    luaC_freeall(L);
    global_State* g = G(L);
    luaS_freeall(L);
    luaZ_freebuffer(L, &g->buff);
    freestack(L, L);
    lua_Alloc frealloc = g->frealloc;
    void* ud = g->ud;
    frealloc(ud, L, sizeof(LG), 0, 0, 0);
}

} // namespace

lua_State* luaE_newthread(lua_State* L)
{
    auto* L1 = static_cast<lua_State*>(luaM_realloc(L, nullptr, 0, sizeof(lua_State)));
    preinit_state(L1);
    L1->l_G = L->l_G;
    luaC_link(L, reinterpret_cast<GCObject*>(L1), LUA_TTHREAD);
    stack_init(L1, L);
    setobj(gt(L1), gt(L)); // share the table of globals
    return L1;
}

void luaE_freethread(lua_State* L, lua_State* L1)
{
    luaF_close(L1, L1->stack);
    freestack(L, L1);
    luaM_freemem(L, L1, sizeof(lua_State));
}

extern "C" lua_State* lua_open(void)
{
    // A temporary state carries the allocation function for the first block.
    lua_State tempL{};
    global_State tempG{};
    tempL.l_G = &tempG;
    tempG.frealloc = luaHelper_defaultAlloc;
    tempG.ud = luaHelper_ud;
    void* block = tempG.frealloc(tempG.ud, nullptr, 0, sizeof(LG), 0, tempL.allocTag);
    if (block == nullptr)
        return nullptr;
    auto* lg = new (block) LG{};
    lua_State* L = &lg->l;
    global_State* g = &lg->g;
    L->tt = LUA_TTHREAD;
    L->marked = FIXEDBIT;
    L->next = nullptr;
    preinit_state(L);
    L->l_G = g;
    g->frealloc = tempG.frealloc;
    g->ud = tempG.ud;
    g->mainthread = L;
    g->GCthreshold = 0; // no collections while building the state
    g->gcBlocked = 1;
    g->gcFinalizing = 0;
    g->gcStress = 0;
    g->cstackBase = nullptr;
    g->cstackEntries = 0;
    g->strt.size = 0;
    g->strt.nuse = 0;
    g->strt.hash = nullptr;
    setnilvalue(registry(L));
    setnilvalue(defaultmeta(L));
    g->buff.buffer = nullptr;
    g->buff.size = 0;
    g->panic = nullptr;
    g->fatal = defaultFatalErrorFunc;
    g->minimumnumstrings = lua_minimumnumstrings;
    g->rootgc = nullptr;
    g->rootudata = nullptr;
    g->tmudata = nullptr;
    g->nblocks = sizeof(LG);
    setnilvalue(gkey(g->dummynode));
    setnilvalue(gval(g->dummynode));
    g->dummynode->next = nullptr;
    for (auto& m : g->mt)
        setnilvalue(&m);
    for (auto& t : g->tmname)
        t = nullptr;
    if (luaD_rawrunprotected(L, f_luaopen, nullptr) != 0) {
        close_state(L);
        return nullptr;
    }
    g->gcBlocked = 0;
    // Tests set QMLUA_GCSTRESS to run the collector at every safe point, so
    // an object the collector cannot reach fails at once.
    const char* stress = std::getenv("QMLUA_GCSTRESS");
    g->gcStress = stress != nullptr && *stress != '\0' && *stress != '0';
    return L;
}

extern "C" void lua_close(lua_State* L)
{
    L = G(L)->mainthread; // only the main thread can be closed
    luaF_close(L, L->stack);
    luaC_finalizeall(L); // `__gc' of every userdata that has one
    L->ci = L->base_ci;
    L->base = L->top = L->ci->base;
    L->nCcalls = 0;
    close_state(L);
}
