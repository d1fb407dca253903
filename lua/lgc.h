// The collector: stop-the-world mark and sweep, run only at safe points
// (luaC_checkGC), where every live object is reachable from the roots: the
// registry, the main thread (its stack and globals), the per-type default
// metatables, the fixed strings and the userdata whose finaliser waits.
#pragma once

#include "lobject.h"

constexpr lu_byte MARKBIT = 0x01;
constexpr lu_byte FIXEDBIT = 0x10;
constexpr lu_byte FINALIZEDBIT = 0x20; // a userdata whose `__gc' has run (or runs now)

void luaC_link(lua_State* L, GCObject* o, lu_byte tt);
// A full collection, then the finalisers that wait (unless `finalize' is
// false: they wait for the next collection). A host's count hook with
// LUA_MASKWORK may stop it with an error while it marks (nothing is freed
// then) and once it is over.
void luaC_collectgarbage(lua_State* L, bool finalize = true);
// Runs the finalisers that wait, one by one, each taken off the list first.
void luaC_callGCTM(lua_State* L);
// At close: every userdata with a `__gc' not run yet gets it.
void luaC_finalizeall(lua_State* L);
void luaC_freeall(lua_State* L);

// No collection starts while one lives: C++ code holds new objects the
// roots do not reach, or the collector is in the middle of its own work.
struct GCBlock {
    global_State* g;
    explicit GCBlock(lua_State* L) : g(G(L)) { g->gcBlocked++; }
    ~GCBlock() { g->gcBlocked--; }
    GCBlock(const GCBlock&) = delete;
    GCBlock& operator=(const GCBlock&) = delete;
};

inline void luaC_checkGC(lua_State* L)
{
    global_State* g = G(L);
    if (g->gcBlocked != 0)
        return;
    if (g->nblocks >= g->GCthreshold) {
        luaC_collectgarbage(L);
    } else if (g->gcStress) { // an extra collection that leaves the threshold alone
        lu_mem threshold = g->GCthreshold;
        // inside a finaliser the extra one leaves the others to the loop
        // that runs them, or every safe point would nest one more
        luaC_collectgarbage(L, g->gcFinalizing == 0);
        g->GCthreshold = threshold;
    }
}
