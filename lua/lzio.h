// Buffered input streams for the loaders, and growable scratch buffers.
#pragma once

#include "lobject.h"

constexpr int EOZ = -1; // end of stream

struct ZIO {
    size_t n;        // bytes still unread
    const char* p;   // current position in buffer
    lua_Chunkreader reader;
    void* data;      // additional data for the reader
    const char* name;
    lua_State* L;
    int wide;        // dialect: 0 = 8-bit source, 1 = UTF-16LE source
};

void luaZ_init(ZIO* z, lua_Chunkreader reader, void* data, const char* name, lua_State* L);
size_t luaZ_read(ZIO* z, void* b, size_t n); // returns bytes NOT read
int luaZ_fill(ZIO* z);
int luaZ_lookahead(ZIO* z);
int luaZ_lookahead_2(ZIO* z);

inline int zgetc(ZIO* z)
{
    if (z->n > 0) {
        z->n--;
        return static_cast<unsigned char>(*z->p++);
    }
    return luaZ_fill(z);
}

char* luaZ_openspace(lua_State* L, Mbuffer* buff, size_t n);
void luaZ_freebuffer(lua_State* L, Mbuffer* buff);
