// Every allocation of a state goes through luaM_realloc, which calls the
// state's allocation function and keeps the count of allocated bytes.
#pragma once

#include "lobject.h"

void* luaM_realloc(lua_State* L, void* block, lu_mem oldsize, lu_mem size);
void* luaM_growaux(lua_State* L, void* block, int* size, int size_elem, int limit, const char* errormsg);

template <typename T>
T* luaM_newvector(lua_State* L, int n)
{
    return static_cast<T*>(luaM_realloc(L, nullptr, 0, sizeof(T) * static_cast<lu_mem>(n)));
}
template <typename T>
void luaM_freearray(lua_State* L, T* b, int n)
{
    luaM_realloc(L, b, sizeof(T) * static_cast<lu_mem>(n), 0);
}
template <typename T>
void luaM_reallocvector(lua_State* L, T*& v, int oldn, int n)
{
    v = static_cast<T*>(luaM_realloc(L, v, sizeof(T) * static_cast<lu_mem>(oldn), sizeof(T) * static_cast<lu_mem>(n)));
}
// Grows v (of capacity `size') so that index nelems fits; `size' is updated.
template <typename T>
void luaM_growvector(lua_State* L, T*& v, int nelems, int& size, int limit, const char* e)
{
    if (nelems + 1 > size)
        v = static_cast<T*>(luaM_growaux(L, v, &size, sizeof(T), limit, e));
}
inline void luaM_freemem(lua_State* L, void* b, lu_mem s) { luaM_realloc(L, b, s, 0); }
