// Writes a function prototype as a precompiled chunk: the 5.0 header and
// layout, wide-string constants as type 9, in either byte order.
#include <cstring>
#include <vector>

#include "lobject.h"
#include "lopcodes.h"
#include "lundump.h"

namespace {

struct DumpState {
    lua_State* L;
    lua_Chunkwriter writer;
    void* data;
    bool swap; // the chunk's byte order is not the machine's
};

void DumpBlock(const void* b, size_t size, DumpState* D)
{
    D->writer(D->L, b, size, D->data);
}

void DumpByte(int y, DumpState* D)
{
    char x = static_cast<char>(y);
    DumpBlock(&x, sizeof(x), D);
}

// A multi-byte value, reversed when the chunk's byte order differs.
void DumpMultiByte(const void* b, size_t size, DumpState* D)
{
    if (!D->swap) {
        DumpBlock(b, size, D);
        return;
    }
    unsigned char tmp[16];
    for (size_t i = 0; i < size; i++)
        tmp[i] = static_cast<const unsigned char*>(b)[size - 1 - i];
    DumpBlock(tmp, size, D);
}

void DumpInt(int x, DumpState* D) { DumpMultiByte(&x, sizeof(x), D); }

// size_t is a 4-byte field on the wire whatever the machine's width.
void DumpSize(size_t x, DumpState* D)
{
    uint32_t v = static_cast<uint32_t>(x);
    DumpMultiByte(&v, sizeof(v), D);
}

void DumpNumber(lua_Number x, DumpState* D) { DumpMultiByte(&x, sizeof(x), D); }

void DumpString(const TString* s, DumpState* D)
{
    if (s == nullptr || getstr(s) == nullptr) {
        DumpSize(0, D);
        return;
    }
    size_t size = s->len + 1; // include the trailing zero
    DumpSize(size, D);
    DumpBlock(getstr(s), size, D);
}

// Wide strings: the count of units including the terminating zero unit, then
// the units, each in the chunk's byte order.
void DumpWString(const TString* s, DumpState* D)
{
    size_t count = s->len + 1;
    DumpInt(static_cast<int>(count), D);
    const unsigned short* units = getwstr(s);
    for (size_t i = 0; i < count; i++)
        DumpMultiByte(&units[i], sizeof(unsigned short), D);
}

void DumpCode(const Proto* f, DumpState* D)
{
    DumpInt(f->sizecode, D);
    for (int i = 0; i < f->sizecode; i++)
        DumpMultiByte(&f->code[i], sizeof(Instruction), D);
}

void DumpLocals(const Proto* f, DumpState* D)
{
    DumpInt(f->sizelocvars, D);
    for (int i = 0; i < f->sizelocvars; i++) {
        DumpString(f->locvars[i].varname, D);
        DumpInt(f->locvars[i].startpc, D);
        DumpInt(f->locvars[i].endpc, D);
    }
}

void DumpLines(const Proto* f, DumpState* D)
{
    DumpInt(f->sizelineinfo, D);
    for (int i = 0; i < f->sizelineinfo; i++)
        DumpInt(f->lineinfo[i], D);
}

void DumpUpvalues(const Proto* f, DumpState* D)
{
    DumpInt(f->sizeupvalues, D);
    for (int i = 0; i < f->sizeupvalues; i++)
        DumpString(f->upvalues[i], D);
}

void DumpFunction(const Proto* f, const TString* p, DumpState* D);

void DumpConstants(const Proto* f, DumpState* D)
{
    DumpInt(f->sizek, D);
    for (int i = 0; i < f->sizek; i++) {
        const TObject* o = &f->k[i];
        DumpByte(ttype(o), D);
        switch (ttype(o)) {
        case LUA_TNUMBER: DumpNumber(nvalue(o), D); break;
        case LUA_TSTRING: DumpString(tsvalue(o), D); break;
        case LUA_TWSTRING: DumpWString(tsvalue(o), D); break;
        default: break; // nil
        }
    }
    DumpInt(f->sizep, D);
    for (int i = 0; i < f->sizep; i++)
        DumpFunction(f->p[i], f->source, D);
}

void DumpFunction(const Proto* f, const TString* p, DumpState* D)
{
    DumpString(f->source == p ? nullptr : f->source, D);
    DumpInt(f->lineDefined, D);
    DumpByte(f->nups, D);
    DumpByte(f->numparams, D);
    DumpByte(f->is_vararg, D);
    DumpByte(f->maxstacksize, D);
    DumpLines(f, D);
    DumpLocals(f, D);
    DumpUpvalues(f, D);
    DumpConstants(f, D);
    DumpCode(f, D);
}

void DumpHeader(DumpState* D, int endianness)
{
    DumpBlock(LUA_SIGNATURE, std::strlen(LUA_SIGNATURE), D);
    DumpByte(VERSION, D);
    DumpByte(endianness, D);
    DumpByte(4, D); // int
    DumpByte(4, D); // size_t, a wire constant
    DumpByte(sizeof(Instruction), D);
    DumpByte(SIZE_OP, D);
    DumpByte(SIZE_A, D);
    DumpByte(SIZE_B, D);
    DumpByte(SIZE_C, D);
    DumpByte(sizeof(lua_Number), D);
    DumpNumber(TEST_NUMBER, D);
}

} // namespace

void luaU_dump(lua_State* L, const Proto* Main, lua_Chunkwriter w, void* data, int bigEndian)
{
    int machine = luaU_endianness();
    int endianness = bigEndian < 0 ? machine : (bigEndian ? 0 : 1);
    DumpState D{L, w, data, endianness != machine};
    DumpHeader(&D, endianness);
    DumpFunction(Main, nullptr, &D);
}
