// Precompiled chunks in: a truncated, bit-flipped or hostile chunk must fail
// with a loader message; one that passes the code checker must run safely.
// Inputs that are not chunks are compiled first and their dump is damaged
// by the input's own bytes, so the loader sees near-valid chunks.
#include <string>

#include "fuzz_common.h"
#include "lauxlib.h"

namespace {

int append(lua_State*, const void* p, size_t size, void* ud)
{
    static_cast<std::string*>(ud)->append(static_cast<const char*>(p), size);
    return 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0 && data[0] == 0x1b) {
        qmfuzz::loadAndRun(data, size);
        return 0;
    }
    // Use the first bytes as damage instructions, the rest as source.
    size_t cut = size < 4 ? size : 4;
    std::string source(reinterpret_cast<const char*>(data) + cut, size - cut);
    lua_State* L = lua_open();
    if (L == nullptr)
        return 0;
    std::string chunk;
    if (luaL_loadbuffer(L, source.data(), source.size(), "=src") == 0)
        lua_dump(L, append, &chunk);
    lua_close(L);
    if (chunk.empty())
        return 0;
    for (size_t i = 0; i + 1 < cut; i += 2) {
        size_t pos = data[i] * 7u % chunk.size();
        chunk[pos] = static_cast<char>(chunk[pos] ^ (data[i + 1] | 1));
    }
    if (cut >= 3 && (data[2] & 1))
        chunk.resize(chunk.size() * data[2] / 256); // truncated
    qmfuzz::loadAndRun(reinterpret_cast<const uint8_t*>(chunk.data()), chunk.size());
    return 0;
}
