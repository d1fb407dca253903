// The collector: stop-the-world mark and sweep, run only at safe points
// (luaC_checkGC), where every live object is reachable from the roots: the
// registry, the main thread (its stack and globals), the per-type default
// metatables and the fixed strings.
#pragma once

#include "lobject.h"

constexpr lu_byte MARKBIT = 0x01;
constexpr lu_byte FIXEDBIT = 0x10;
constexpr lu_byte FINALIZEDBIT = 0x20; // a userdata whose `__gc' has run

void luaC_link(lua_State* L, GCObject* o, lu_byte tt);
void luaC_collectgarbage(lua_State* L);
void luaC_callGCTM(lua_State* L);
void luaC_sweep(lua_State* L, int all);
void luaC_freeall(lua_State* L);

inline void luaC_checkGC(lua_State* L)
{
    global_State* g = G(L);
    if (g->gcBlocked != 0)
        return;
    if (g->nblocks >= g->GCthreshold) {
        luaC_collectgarbage(L);
    } else if (g->gcStress) { // an extra collection that leaves the threshold alone
        lu_mem threshold = g->GCthreshold;
        luaC_collectgarbage(L);
        g->GCthreshold = threshold;
    }
}
