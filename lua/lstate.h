// Creation and destruction of states and threads.
#pragma once

#include "lobject.h"

lua_State* luaE_newthread(lua_State* L);
void luaE_freethread(lua_State* L, lua_State* L1);
