// Loads precompiled chunks of either byte order and checks their code, so a
// damaged or hostile chunk fails with a loader message instead of crashing
// the virtual machine.
#include "lundump.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "ldebug.h"
#include "ldo.h"
#include "lfunc.h"
#include "lmem.h"
#include "lopcodes.h"
#include "lstring.h"

namespace {

struct LoadState {
    lua_State* L;
    ZIO* Z;
    const char* name;
    bool swap;
    int depth;
};

[[noreturn]] void fail(LoadState* S, const char* what) { luaG_runerror(S->L, what, S->name); }

int ezgetc(LoadState* S)
{
    int c = zgetc(S->Z);
    if (c == EOZ)
        fail(S, "unexpected end of file in %s");
    return c;
}

void ezread(LoadState* S, void* b, size_t n)
{
    if (luaZ_read(S->Z, b, n) != 0)
        fail(S, "unexpected end of file in %s");
}

void LoadMultiByte(LoadState* S, void* b, size_t size)
{
    ezread(S, b, size);
    if (S->swap) {
        auto* p = static_cast<unsigned char*>(b);
        for (size_t i = 0; i < size / 2; i++) {
            unsigned char t = p[i];
            p[i] = p[size - 1 - i];
            p[size - 1 - i] = t;
        }
    }
}

int LoadByte(LoadState* S) { return ezgetc(S); }

int LoadInt(LoadState* S)
{
    int32_t x;
    LoadMultiByte(S, &x, sizeof(x));
    if (x < 0)
        fail(S, "bad integer in %s");
    return x;
}

size_t LoadSize(LoadState* S)
{
    uint32_t x;
    LoadMultiByte(S, &x, sizeof(x));
    return x;
}

lua_Number LoadNumber(LoadState* S)
{
    lua_Number x;
    LoadMultiByte(S, &x, sizeof(x));
    return x;
}

// Reads n bytes in blocks, so a bogus length costs only the bytes present.
std::string LoadBytes(LoadState* S, size_t n)
{
    std::string out;
    char block[4096];
    while (n > 0) {
        size_t m = n < sizeof(block) ? n : sizeof(block);
        ezread(S, block, m);
        out.append(block, m);
        n -= m;
    }
    return out;
}

TString* LoadString(LoadState* S)
{
    size_t size = LoadSize(S);
    if (size == 0)
        return nullptr;
    std::string s = LoadBytes(S, size);
    return luaS_newlstr(S->L, s.data(), size - 1); // the last byte is the trailing zero
}

TString* LoadWString(LoadState* S)
{
    int count = LoadInt(S);
    if (count == 0)
        return nullptr;
    std::vector<unsigned short> units;
    for (int i = 0; i < count; i++) {
        unsigned short u;
        LoadMultiByte(S, &u, sizeof(u));
        units.push_back(u);
    }
    return luaS_newlwstr(S->L, units.data(), static_cast<size_t>(count - 1));
}

TString* nameOrUnknown(LoadState* S, TString* s) { return s ? s : luaS_newliteral(S->L, "?"); }

template <typename T, typename Reader>
void LoadVector(LoadState* S, T*& out, int& size, Reader read)
{
    int n = LoadInt(S);
    std::vector<T> items;
    for (int i = 0; i < n; i++)
        items.push_back(read());
    out = luaM_newvector<T>(S->L, n);
    for (int i = 0; i < n; i++)
        out[i] = items[i];
    size = n;
}

Proto* LoadFunction(LoadState* S, TString* p);

void LoadConstants(LoadState* S, Proto* f)
{
    int n = LoadInt(S);
    std::vector<TObject> items;
    for (int i = 0; i < n; i++) {
        TObject o;
        int t = LoadByte(S);
        switch (t) {
        case LUA_TNUMBER: setnvalue(&o, LoadNumber(S)); break;
        case LUA_TSTRING: {
            TString* s = LoadString(S);
            if (s)
                setsvalue(&o, s);
            else
                setnilvalue(&o);
            break;
        }
        case LUA_TWSTRING: {
            TString* s = LoadWString(S);
            if (s)
                setsvalue(&o, s);
            else
                setnilvalue(&o);
            break;
        }
        case LUA_TNIL: setnilvalue(&o); break;
        default: luaG_runerror(S->L, "bad constant type (%d) in %s", t, S->name);
        }
        items.push_back(o);
    }
    f->k = luaM_newvector<TObject>(S->L, n);
    for (int i = 0; i < n; i++)
        f->k[i] = items[i];
    f->sizek = n;
    n = LoadInt(S);
    std::vector<Proto*> nested; // grows with the data actually present
    for (int i = 0; i < n; i++)
        nested.push_back(LoadFunction(S, f->source));
    f->p = luaM_newvector<Proto*>(S->L, n);
    for (int i = 0; i < n; i++)
        f->p[i] = nested[static_cast<size_t>(i)];
    f->sizep = n;
}

Proto* LoadFunction(LoadState* S, TString* p)
{
    if (++S->depth > LUA_MAXPARSERLEVEL)
        fail(S, "bad code in %s");
    Proto* f = luaF_newproto(S->L);
    f->source = LoadString(S);
    if (f->source == nullptr)
        f->source = p ? p : luaS_newliteral(S->L, "=?");
    f->lineDefined = LoadInt(S);
    f->nups = static_cast<lu_byte>(LoadByte(S));
    f->numparams = static_cast<lu_byte>(LoadByte(S));
    f->is_vararg = static_cast<lu_byte>(LoadByte(S));
    f->maxstacksize = static_cast<lu_byte>(LoadByte(S));
    LoadVector(S, f->lineinfo, f->sizelineinfo, [&] {
        int32_t x;
        LoadMultiByte(S, &x, sizeof(x));
        return static_cast<int>(x);
    });
    LoadVector(S, f->locvars, f->sizelocvars, [&] {
        LocVar v;
        v.varname = nameOrUnknown(S, LoadString(S));
        v.startpc = LoadInt(S);
        v.endpc = LoadInt(S);
        return v;
    });
    LoadVector(S, f->upvalues, f->sizeupvalues, [&] { return nameOrUnknown(S, LoadString(S)); });
    if (f->sizeupvalues != 0 && f->sizeupvalues != f->nups)
        luaG_runerror(S->L, "bad nupvalues in %s: read %d; expected %d", S->name, f->sizeupvalues, f->nups);
    LoadConstants(S, f);
    LoadVector(S, f->code, f->sizecode, [&] {
        Instruction i;
        LoadMultiByte(S, &i, sizeof(i));
        return i;
    });
    if (!luaG_checkcode(f))
        fail(S, "bad code in %s");
    S->depth--;
    return f;
}

void LoadSignature(LoadState* S)
{
    const char* s = LUA_SIGNATURE;
    while (*s != 0 && ezgetc(S) == *s)
        ++s;
    if (*s != 0)
        fail(S, "bad signature in %s");
}

void TestSize(LoadState* S, int s, const char* what)
{
    int r = LoadByte(S);
    if (r != s)
        luaG_runerror(S->L, "virtual machine mismatch in %s: size of %s is %d but read %d", S->name, what, s, r);
}

void LoadHeader(LoadState* S)
{
    LoadSignature(S);
    int version = LoadByte(S);
    if (version > VERSION)
        luaG_runerror(S->L, "%s too new: read version %d.%d; expected at most %d.%d", S->name, version / 16,
                      version % 16, VERSION / 16, VERSION % 16);
    if (version < VERSION0)
        luaG_runerror(S->L, "%s too old: read version %d.%d; expected at least %d.%d", S->name, version / 16,
                      version % 16, VERSION0 / 16, VERSION0 % 16);
    S->swap = luaU_endianness() != LoadByte(S); // a chunk of the other byte order
    TestSize(S, 4, "int");
    TestSize(S, 4, "size_t");
    TestSize(S, sizeof(Instruction), "Instruction");
    TestSize(S, SIZE_OP, "OP");
    TestSize(S, SIZE_A, "A");
    TestSize(S, SIZE_B, "B");
    TestSize(S, SIZE_C, "C");
    TestSize(S, sizeof(lua_Number), "number");
    lua_Number x = LoadNumber(S);
    if (!(std::floor(x) == std::floor(TEST_NUMBER))) // NaN fails too
        fail(S, "unknown number format in %s");
}

} // namespace

Proto* luaU_undump(lua_State* L, ZIO* Z, Mbuffer*)
{
    LoadState S;
    const char* s = Z->name;
    if (*s == '@' || *s == '=')
        S.name = s + 1;
    else if (*s == LUA_SIGNATURE[0])
        S.name = "binary string";
    else
        S.name = s;
    S.L = L;
    S.Z = Z;
    S.swap = false;
    S.depth = 0;
    LoadHeader(&S);
    Proto* main = LoadFunction(&S, nullptr);
    if (main->nups != 0) // the main function is made with no upvalues
        fail(&S, "bad code in %s");
    return main;
}

int luaU_endianness()
{
    int x = 1;
    return *reinterpret_cast<char*>(&x);
}
