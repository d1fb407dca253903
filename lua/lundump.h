// Precompiled chunks: the loader (lundump.cpp) and the writer (ldump.cpp).
#pragma once

#include "lobject.h"
#include "lzio.h"

#define LUA_SIGNATURE "\033Lua" // binary files start with "<esc>Lua"
constexpr int VERSION = 0x50;
constexpr int VERSION0 = 0x50;
constexpr lua_Number TEST_NUMBER = 3.14159265358979323846E7;

Proto* luaU_undump(lua_State* L, ZIO* Z, Mbuffer* buff);
int luaU_endianness();
// Writes a function's chunk; bigEndian selects the byte order (-1 = the machine's).
void luaU_dump(lua_State* L, const Proto* Main, lua_Chunkwriter w, void* data, int bigEndian = -1);
