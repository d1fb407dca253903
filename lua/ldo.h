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
void luaD_poscall(lua_State* L, int wanted, StkId firstResult);
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
