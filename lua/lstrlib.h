// Pieces of the string library kept apart: the dialect's binary records
// (pack, unpack) and escape expansion (lualex), in lstrpack.cpp.
#pragma once

#include "lauxlib.h"

int str_lualex(lua_State* L);
extern const luaL_reg strpacklib[];
