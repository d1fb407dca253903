#include "lstring.h"

#include "lmem.h"
#include "lstate.h"
#include "ltm.h"

namespace {

template <typename Unit>
unsigned int hashUnits(const Unit* str, size_t l)
{
    unsigned int h = static_cast<unsigned int>(l);
    size_t step = (l >> 5) + 1; // long strings are hashed on a sample of their units
    for (size_t l1 = l; l1 >= step; l1 -= step)
        h = h ^ ((h << 5) + (h >> 2) + static_cast<unsigned int>(str[l1 - 1]));
    return h;
}

TString* newString(lua_State* L, const void* data, size_t l, unsigned int h, int tag)
{
    size_t unit = tag == LUA_TWSTRING ? 2 : 1;
    size_t bytes = sizeof(TString) + (l + 1) * unit;
    auto* ts = static_cast<TString*>(luaM_realloc(L, nullptr, 0, bytes));
    ts->tt = static_cast<lu_byte>(tag);
    ts->marked = 0;
    ts->reserved = 0;
    ts->hash = h;
    ts->len = l;
    if (l > 0)
        std::memcpy(getstr(ts), data, l * unit);
    std::memset(getstr(ts) + l * unit, 0, unit);
    stringtable* tb = &G(L)->strt;
    int slot = static_cast<int>(h & (tb->size - 1));
    ts->next = tb->hash[slot];
    tb->hash[slot] = obj2gco(ts);
    tb->nuse++;
    if (tb->nuse > tb->size && tb->size <= (1 << 30))
        luaS_resize(L, tb->size * 2);
    return ts;
}

} // namespace

void luaS_resize(lua_State* L, int newsize)
{
    GCObject** newhash = luaM_newvector<GCObject*>(L, newsize);
    stringtable* tb = &G(L)->strt;
    for (int i = 0; i < newsize; i++)
        newhash[i] = nullptr;
    for (int i = 0; i < tb->size; i++) {
        GCObject* p = tb->hash[i];
        while (p) {
            GCObject* next = p->gch.next;
            int h1 = static_cast<int>(p->ts.hash & (newsize - 1));
            p->gch.next = newhash[h1];
            newhash[h1] = p;
            p = next;
        }
    }
    luaM_freearray(L, tb->hash, tb->size);
    tb->size = newsize;
    tb->hash = newhash;
}

TString* luaS_newlstr(lua_State* L, const char* str, size_t l)
{
    unsigned int h = hashUnits(reinterpret_cast<const unsigned char*>(str), l);
    stringtable* tb = &G(L)->strt;
    for (GCObject* o = tb->hash[h & (tb->size - 1)]; o != nullptr; o = o->gch.next) {
        TString* ts = &o->ts;
        if (ts->tt == LUA_TSTRING && ts->len == l && (l == 0 || std::memcmp(str, getstr(ts), l) == 0)) {
            return ts;
        }
    }
    return newString(L, str, l, h, LUA_TSTRING);
}

TString* luaS_newlwstr(lua_State* L, const unsigned short* str, size_t l)
{
    unsigned int h = hashUnits(str, l);
    stringtable* tb = &G(L)->strt;
    for (GCObject* o = tb->hash[h & (tb->size - 1)]; o != nullptr; o = o->gch.next) {
        TString* ts = &o->ts;
        if (ts->tt == LUA_TWSTRING && ts->len == l && (l == 0 || std::memcmp(str, getstr(ts), l * 2) == 0)) {
            return ts;
        }
    }
    return newString(L, str, l, h, LUA_TWSTRING);
}

Udata* luaS_newudata(lua_State* L, size_t s)
{
    s = (s + 1) & ~static_cast<size_t>(1); // the size is always even: odd sizes mark boxes
    auto* u = static_cast<Udata*>(luaM_realloc(L, nullptr, 0, sizeof(Udata) + s));
    u->tt = LUA_TUSERDATA;
    u->marked = 0;
    u->len = s;
    const TObject* mt = &G(L)->mt[LUA_TUSERDATA];
    u->metatable = ttistable(mt) ? hvalue(mt) : hvalue(defaultmeta(L));
    // userdata are chained apart so the collector can run their `__gc' first
    u->next = G(L)->rootudata;
    G(L)->rootudata = obj2gco(u);
    return u;
}

void luaS_freestr(lua_State* L, TString* ts)
{
    G(L)->strt.nuse--;
    luaM_freemem(L, ts, sizestring(ts));
}

void luaS_freeall(lua_State* L)
{
    stringtable* tb = &G(L)->strt;
    for (int i = 0; i < tb->size; i++) {
        GCObject* p = tb->hash[i];
        while (p) {
            GCObject* next = p->gch.next;
            luaS_freestr(L, &p->ts);
            p = next;
        }
    }
    luaM_freearray(L, tb->hash, tb->size);
    tb->hash = nullptr;
    tb->size = 0;
}
