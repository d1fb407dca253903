#include "lzio.h"

#include "lmem.h"

void luaZ_init(ZIO* z, lua_Chunkreader reader, void* data, const char* name, lua_State* L)
{
    z->reader = reader;
    z->data = data;
    z->name = name;
    z->n = 0;
    z->p = nullptr;
    z->L = L;
    z->wide = 0;
}

int luaZ_fill(ZIO* z)
{
    size_t size;
    const char* buff = z->reader(z->L, z->data, &size);
    if (buff == nullptr || size == 0)
        return EOZ;
    z->n = size - 1;
    z->p = buff;
    return static_cast<unsigned char>(*(z->p++));
}

int luaZ_lookahead(ZIO* z)
{
    if (z->n == 0) {
        int c = luaZ_fill(z);
        if (c == EOZ)
            return c;
        z->n++;
        z->p--;
    }
    return static_cast<unsigned char>(*z->p);
}

// The next two bytes as a little-endian unit, without consuming them. The
// reader's blocks may split them; a split pair is treated as too short,
// which is fine for the one use (the byte-order mark at the very start).
int luaZ_lookahead_2(ZIO* z)
{
    if (z->n == 0) {
        int c = luaZ_fill(z);
        if (c == EOZ)
            return c;
        z->n++;
        z->p--;
    }
    if (z->n < 2)
        return EOZ;
    return static_cast<unsigned char>(z->p[0]) | (static_cast<unsigned char>(z->p[1]) << 8);
}

size_t luaZ_read(ZIO* z, void* b, size_t n)
{
    auto* out = static_cast<char*>(b);
    while (n) {
        if (luaZ_lookahead(z) == EOZ)
            return n;
        size_t m = n <= z->n ? n : z->n;
        std::memcpy(out, z->p, m);
        z->n -= m;
        z->p += m;
        out += m;
        n -= m;
    }
    return 0;
}

char* luaZ_openspace(lua_State* L, Mbuffer* buff, size_t n)
{
    if (n > buff->size) {
        if (n < 32)
            n = 32;
        L->allocTag = 1; // dialect: the allocation hook sees scratch growth tagged
        buff->buffer = static_cast<char*>(luaM_realloc(L, buff->buffer, buff->size, n));
        L->allocTag = 0;
        buff->size = n;
    }
    return buff->buffer;
}

void luaZ_freebuffer(lua_State* L, Mbuffer* buff)
{
    luaM_realloc(L, buff->buffer, buff->size, 0);
    buff->buffer = nullptr;
    buff->size = 0;
}
