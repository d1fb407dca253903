// Stack and call handling: frames, calls, protected execution. Errors are
// C++ exceptions (LuaException) so destructors of host objects run while a
// script error unwinds; luaD_rawrunprotected turns them back into status codes.
#pragma once

#include "lobject.h"
#include "lzio.h"

struct LuaException {
    int status;
};

using Pfunc = void (*)(lua_State* L, void* ud);

[[noreturn]] void luaD_throw(lua_State* L, int errcode);
int luaD_rawrunprotected(lua_State* L, Pfunc f, void* ud);

// Marks a nested entry from C: the outermost one fixes the native stack
// position the state's use of the stack is measured from.
struct CStackEntry {
    global_State* g;
    explicit CStackEntry(lua_State* L);
    ~CStackEntry();
    CStackEntry(const CStackEntry&) = delete;
    CStackEntry& operator=(const CStackEntry&) = delete;
};
// Bytes of native stack in use since the host's entry.
ptrdiff_t luaD_cstackused(lua_State* L);
// "C stack overflow" when the state has used more native stack than it may.
void luaD_checkcstack(lua_State* L);
int luaD_pcall(lua_State* L, Pfunc func, void* u, ptrdiff_t oldtop, ptrdiff_t ef);
int luaD_protectedparser(lua_State* L, ZIO* z, int bin);

// luaD_precall results
constexpr int PCR_LUA = 0;   // a Lua frame is ready for luaV_execute
constexpr int PCR_C = 1;     // a C function ran; its results are in place
constexpr int PCR_YIELD = 2; // a C function yielded

// A non-function's `__call' metamethod goes in its place (the value becomes
// the first argument); the new position of the function.
StkId luaD_tryfuncTM(lua_State* L, StkId func);
// `tailcall': the caller finishes the new Lua frame and runs the call hook.
int luaD_precall(lua_State* L, StkId func, int nresults, bool tailcall = false);
// The return hooks of the returning frame; the new place of its results.
StkId luaD_callrethooks(lua_State* L, StkId firstResult);
void luaD_call(lua_State* L, StkId func, int nResults);
void luaD_callhook(lua_State* L, int event, int line);
// Counts one instruction; true when the count event came (the hook ran).
bool luaD_counthook(lua_State* L);

void luaD_reallocCI(lua_State* L, int newsize);
void luaD_reallocstack(lua_State* L, int newsize);
void luaD_growstack(lua_State* L, int n);
void luaD_growCI(lua_State* L);
void luaD_seterrorobj(lua_State* L, int errcode, StkId oldtop);

inline void luaD_checkstack(lua_State* L, int n)
{
    if ((reinterpret_cast<char*>(L->stack_last) - reinterpret_cast<char*>(L->top)) <=
        static_cast<ptrdiff_t>(n) * static_cast<ptrdiff_t>(sizeof(TObject)))
        luaD_growstack(L, n);
}

inline void incr_top(lua_State* L)
{
    luaD_checkstack(L, 1);
    L->top++;
}

// Fills in the frame `ci' of Lua function `p' called at `func', the
// arguments already cut to its parameters and the stack long enough: the
// part of a call the interpreter loop also does itself for the usual case.
inline void luaD_initLuaFrame(lua_State* L, CallInfo* ci, StkId func, const Proto* p, int nresults)
{
    ci->func = func;
    L->base = ci->base = func + 1;
    ci->top = ci->base + p->maxstacksize;
    ci->savedpc = p->code;
    ci->nresults = nresults;
    ci->tailcalls = 0;
    ci->state = 0;
    ci->linepc = p->code;
    while (L->top < ci->top) // registers beyond the arguments start as nil
        setnilvalue(L->top++);
}

// Ends the current frame: its results, from `firstResult' to the top, go
// where its function was, `wanted' of them (LUA_MULTRET: all).
inline void luaD_poscall(lua_State* L, int wanted, StkId firstResult)
{
    if (L->hookmask & LUA_MASKRET)
        firstResult = luaD_callrethooks(L, firstResult);
    CallInfo* ci = L->ci;
    StkId res = ci->func;
    L->ci = ci - 1;
    L->base = L->ci->base;
    int i = wanted;
    while (i != 0 && firstResult < L->top) {
        setobj(res++, firstResult++);
        i--;
    }
    while (i-- > 0)
        setnilvalue(res++);
    L->top = res;
}
