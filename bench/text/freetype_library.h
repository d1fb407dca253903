// FreeType's library for the benchmarks, over memory of our own: every block
// zero-filled, and every allocation counted.
//
// Zero-filled because FreeType's cache manager is allocated without clearing
// and does not set its running weight: left to chance, that count may be
// taken as over the limit, and then every node the small-bitmap cache makes is
// thrown out at once, so each "cached" lookup renders its glyph again (and
// valgrind reports the uninitialised read in the lookup). Counted so that a
// benchmark can show that its warm passes render nothing: a lookup served
// from the cache allocates nothing.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H
#include FT_SYSTEM_H

#include <cstdlib>
#include <cstring>

namespace benchft {

inline long& Allocations()
{
    static long count = 0;
    return count;
}

inline void* Allocate(FT_Memory, long size)
{
    ++Allocations();
    return std::calloc(1, std::size_t(size));
}

inline void Free(FT_Memory, void* block)
{
    std::free(block);
}

inline void* Reallocate(FT_Memory, long current, long size, void* block)
{
    ++Allocations();
    void* grown = std::realloc(block, std::size_t(size));
    if (grown && size > current)
        std::memset(static_cast<char*>(grown) + current, 0, std::size_t(size - current));
    return grown;
}

inline FT_MemoryRec_& Memory()
{
    static FT_MemoryRec_ memory{nullptr, Allocate, Free, Reallocate};
    return memory;
}

// A library with the default modules over that memory; null on failure.
inline FT_Library NewLibrary()
{
    FT_Library library = nullptr;
    if (FT_New_Library(&Memory(), &library))
        return nullptr;
    FT_Add_Default_Modules(library);
    FT_Set_Default_Properties(library);
    return library;
}

inline void DoneLibrary(FT_Library library)
{
    if (library)
        FT_Done_Library(library);
}

}  // namespace benchft
