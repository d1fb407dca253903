#include "lmem.h"

#include <cstdlib>

#include "ldebug.h"
#include "ldo.h"

namespace {

constexpr int MINSIZEARRAY = 4;

void* l_alloc(void*, void* block, size_t, size_t newsize, int, int)
{
    if (newsize == 0) {
        std::free(block);
        return nullptr;
    }
    if (block == nullptr) // most requests are new objects: the shorter way
        return std::malloc(newsize);
    return std::realloc(block, newsize);
}

} // namespace

extern "C" {
lua_Alloc luaHelper_defaultAlloc = l_alloc;
void* luaHelper_ud = nullptr;
int lua_minimumnumstrings = 31;
}

void* luaM_growaux(lua_State* L, void* block, int* size, int size_elems, int limit, const char* errormsg)
{
    int newsize;
    if (*size >= limit / 2) {
        if (*size >= limit - MINSIZEARRAY)
            luaG_runerror(L, errormsg);
        newsize = limit;
    } else {
        newsize = *size * 2;
        if (newsize < MINSIZEARRAY)
            newsize = MINSIZEARRAY;
    }
    void* newblock = luaM_realloc(L, block, static_cast<lu_mem>(*size) * size_elems,
                                  static_cast<lu_mem>(newsize) * size_elems);
    *size = newsize;
    return newblock;
}

void* luaM_realloc(lua_State* L, void* block, lu_mem oldsize, lu_mem size)
{
    // Sizes near 4 GiB are refused as the 32-bit core always did.
    if (size >= 4294967293u)
        luaG_runerror(L, "memory allocation error: block too big");
    global_State* g = G(L);
    void* result = g->frealloc(g->ud, block, oldsize, size, 0, L->allocTag);
    if (result == nullptr && size > 0)
        luaD_throw(L, LUA_ERRMEM);
    g->nblocks -= oldsize;
    g->nblocks += size;
    return size > 0 ? result : nullptr;
}
