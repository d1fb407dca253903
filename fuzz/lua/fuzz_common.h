// Shared by the Lua fuzz targets: a bare state whose loaded code may run for
// a bounded number of instructions (a count hook raises an error).
#pragma once

#include <cstddef>
#include <cstdint>

#include "lauxlib.h"
#include "lua.h"

namespace qmfuzz {

inline void stopRunaway(lua_State* L, lua_Debug*)
{
    lua_pushstring(L, "instruction budget spent");
    lua_error(L);
}

// Loads the bytes as a chunk (source or precompiled) and, when that works,
// runs it with an instruction budget. Every failure must be a status code.
inline void loadAndRun(const uint8_t* data, size_t size)
{
    lua_State* L = lua_open();
    if (L == nullptr)
        return;
    const char* text = reinterpret_cast<const char*>(data);
    if (luaL_loadbuffer(L, text ? text : "", size, "=fuzz") == 0) {
        lua_sethook(L, stopRunaway, LUA_MASKCOUNT, 20000);
        lua_pcall(L, 0, 0, 0);
    }
    lua_close(L);
}

} // namespace qmfuzz
