// Run-time errors with the position and the name of the culprit, and the
// debug interface (stack levels, function information).
#pragma once

#include "lobject.h"

[[noreturn]] void luaG_typeerror(lua_State* L, const TObject* o, const char* opname);
[[noreturn]] void luaG_concaterror(lua_State* L, StkId p1, StkId p2);
[[noreturn]] void luaG_aritherror(lua_State* L, const TObject* p1, const TObject* p2);
[[noreturn]] void luaG_ordererror(lua_State* L, const TObject* p1, const TObject* p2);
[[noreturn]] void luaG_runerror(lua_State* L, const char* fmt, ...);
[[noreturn]] void luaG_errormsg(lua_State* L);
int luaG_checkcode(const Proto* pt);
int luaG_currentline(CallInfo* ci);
const char* luaG_getobjname(CallInfo* ci, int stackpos, const char** name);
int ci_nups(const Proto* p, int bx);
