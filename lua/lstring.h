// Interned strings: every string (narrow or wide) with a given content exists
// once, so equality of strings is identity.
#pragma once

#include "lobject.h"

void luaS_resize(lua_State* L, int newsize);
TString* luaS_newlstr(lua_State* L, const char* str, size_t l);
TString* luaS_newlwstr(lua_State* L, const unsigned short* str, size_t l);
Udata* luaS_newudata(lua_State* L, size_t s);
void luaS_freeall(lua_State* L);
void luaS_freestr(lua_State* L, TString* ts);

inline TString* luaS_new(lua_State* L, const char* s) { return luaS_newlstr(L, s, std::strlen(s)); }
template <size_t N>
inline TString* luaS_newliteral(lua_State* L, const char (&s)[N])
{
    return luaS_newlstr(L, s, N - 1);
}
inline void luaS_fix(TString* s) { s->marked |= 0x10; } // FIXEDBIT: never collected
inline size_t sizestring(const TString* ts)
{
    return sizeof(TString) + (ts->tt == LUA_TWSTRING ? 2 * (ts->len + 1) : ts->len + 1);
}
