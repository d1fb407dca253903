#include "ltable.h"

#include <cmath>
#include <cstring>

#include "ldebug.h"
#include "lgc.h"
#include "lmem.h"
#include "lstate.h"

namespace {

// A number key with an integral value in int range is an "array candidate".
bool numberToInt(lua_Number n, int* out)
{
    if (!(n >= -2147483648.0 && n <= 2147483647.0))
        return false;
    int i = static_cast<int>(n);
    if (static_cast<lua_Number>(i) != n)
        return false;
    *out = i;
    return true;
}

Node* hashmod(const Table* t, size_t n)
{
    return &t->node[n % static_cast<size_t>((sizenode(t) - 1) | 1)];
}

Node* hashpow2(const Table* t, unsigned int n) { return &t->node[n & (sizenode(t) - 1)]; }

Node* hashnum(const Table* t, lua_Number n)
{
    int i;
    if (numberToInt(n, &i))
        return hashmod(t, static_cast<unsigned int>(i));
    if (n == 0)
        n = 0; // +0 and -0 are the same key
    unsigned int a[sizeof(lua_Number) / sizeof(unsigned int)];
    std::memcpy(a, &n, sizeof(a));
    for (size_t k = 1; k < sizeof(a) / sizeof(a[0]); k++)
        a[0] += a[k];
    return hashmod(t, a[0]);
}

Node* mainposition(const Table* t, const TObject* key)
{
    switch (ttype(key)) {
    case LUA_TNUMBER: return hashnum(t, nvalue(key));
    case LUA_TSTRING:
    case LUA_TWSTRING: return hashpow2(t, tsvalue(key)->hash);
    case LUA_TBOOLEAN: return hashpow2(t, static_cast<unsigned int>(bvalue(key)));
    case LUA_TLIGHTUSERDATA: return hashmod(t, reinterpret_cast<size_t>(pvalue(key)) >> 3);
    default: return hashmod(t, reinterpret_cast<size_t>(gcvalue(key)) >> 3);
    }
}

// Index (1-based) of the array slot for a key, or 0.
int arrayindex(const TObject* key)
{
    int k;
    if (ttisnumber(key) && numberToInt(nvalue(key), &k) && k >= 1 && k <= (1 << MAXBITS))
        return k;
    return 0;
}

const TObject* getany(Table* t, const TObject* key)
{
    Node* n = mainposition(t, key);
    do {
        if (luaO_rawequalObj(gkey(n), key))
            return gval(n);
        n = n->next;
    } while (n);
    return &luaO_nilobject;
}

// ---- rehash ---------------------------------------------------------------

// nums[i] = number of integer keys k with 2^(i-1) < k <= 2^i
void countArray(const Table* t, int* nums, int* narray)
{
    int total = 0;
    int lim = 1;
    int i = 1;
    for (int lg = 0; lg <= MAXBITS; lg++, lim *= 2) {
        int n = 0;
        int top = lim < t->sizearray ? lim : t->sizearray;
        for (; i <= top; i++)
            if (!ttisnil(&t->array[i - 1]))
                n++;
        nums[lg] += n;
        total += n;
        if (i > t->sizearray)
            break;
    }
    *narray = total;
}

void countKey(const TObject* key, int* nums, int* nint)
{
    int k = arrayindex(key);
    if (k) {
        nums[luaO_log2(static_cast<unsigned int>(k - 1)) + 1]++;
        (*nint)++;
    }
}

// The largest power of two n such that more than half of 1..n is in use.
int computesizes(const int* nums, int total, int* narray)
{
    int a = 0;
    int na = 0;
    int best = 0;
    for (int i = 0, twotoi = 1; twotoi / 2 < total && i <= MAXBITS; i++, twotoi *= 2) {
        a += nums[i];
        if (a > twotoi / 2) {
            best = twotoi;
            na = a;
        }
    }
    *narray = best;
    return na;
}

void setarrayvector(lua_State* L, Table* t, int size)
{
    luaM_reallocvector(L, t->array, t->sizearray, size);
    for (int i = t->sizearray; i < size; i++)
        setnilvalue(&t->array[i]);
    t->sizearray = size;
}

void setnodevector(lua_State* L, Table* t, int lsize)
{
    if (lsize > MAXBITS)
        luaG_runerror(L, "table overflow");
    int size = 1 << lsize;
    if (lsize == 0) {
        t->node = G(L)->dummynode; // shared empty hash part, never written
    } else {
        t->node = luaM_newvector<Node>(L, size);
        for (int i = 0; i < size; i++) {
            t->node[i].next = nullptr;
            setnilvalue(gkey(&t->node[i]));
            setnilvalue(gval(&t->node[i]));
        }
    }
    t->lsizenode = static_cast<lu_byte>(lsize);
    t->firstfree = &t->node[size - 1];
}

TObject* newkey(lua_State* L, Table* t, const TObject* key);

void resize(lua_State* L, Table* t, int nasize, int nhsize)
{
    int oldasize = t->sizearray;
    int oldhsize = t->lsizenode;
    Node* nold = t->node;
    bool oldIsDummy = nold == G(L)->dummynode;
    if (nasize > oldasize)
        setarrayvector(L, t, nasize);
    setnodevector(L, t, nhsize);
    if (nasize < oldasize) { // array shrinks: move the tail into the hash part
        t->sizearray = nasize;
        for (int i = nasize; i < oldasize; i++)
            if (!ttisnil(&t->array[i]))
                setobj(luaH_setnum(L, t, i + 1), &t->array[i]);
        luaM_reallocvector(L, t->array, oldasize, nasize);
    }
    for (int i = (1 << oldhsize) - 1; i >= 0; i--) {
        Node* old = nold + i;
        if (!ttisnil(gval(old)))
            setobj(luaH_set(L, t, gkey(old)), gval(old));
    }
    if (!oldIsDummy)
        luaM_freearray(L, nold, 1 << oldhsize);
}

void rehash(lua_State* L, Table* t, const TObject* extraKey)
{
    int nums[MAXBITS + 1] = {};
    int nasize;
    countArray(t, nums, &nasize);
    int totaluse = nasize;
    for (int i = sizenode(t) - 1; i >= 0; i--) {
        Node* n = &t->node[i];
        if (!ttisnil(gval(n))) {
            countKey(gkey(n), nums, &nasize);
            totaluse++;
        }
    }
    countKey(extraKey, nums, &nasize);
    totaluse++;
    int arraySize;
    int inArray = computesizes(nums, nasize, &arraySize);
    int hashCount = totaluse - inArray;
    resize(L, t, arraySize, luaO_log2(static_cast<unsigned int>(hashCount)) + 1);
}

// Inserts a key known to be absent. A colliding node that is not in its
// main position moves to a free slot; otherwise the new key takes the free
// slot and joins the chain.
TObject* newkey(lua_State* L, Table* t, const TObject* key)
{
    Node* mp = mainposition(t, key);
    if (!ttisnil(gval(mp)) || mp == G(L)->dummynode) {
        Node* n = nullptr;
        while (t->node != G(L)->dummynode && t->firstfree >= t->node) {
            if (ttisnil(gkey(t->firstfree))) {
                n = t->firstfree;
                break;
            }
            t->firstfree--;
        }
        if (n == nullptr) {
            rehash(L, t, key);
            return luaH_set(L, t, key);
        }
        Node* othern = mainposition(t, gkey(mp));
        if (othern != mp) {
            while (othern->next != mp)
                othern = othern->next;
            othern->next = n;
            *n = *mp;
            mp->next = nullptr;
            setnilvalue(gval(mp));
        } else {
            n->next = mp->next;
            mp->next = n;
            mp = n;
        }
    }
    setobj(gkey(mp), key);
    return gval(mp);
}

} // namespace

const TObject* luaH_getnum(Table* t, int key)
{
    // one unsigned comparison for 1 <= key <= sizearray (unsigned arithmetic:
    // key - 1 must not overflow at the bottom of the int range)
    if (static_cast<unsigned int>(key) - 1u < static_cast<unsigned int>(t->sizearray))
        return &t->array[key - 1];
    lua_Number nk = key;
    Node* n = hashnum(t, nk);
    do {
        if (ttisnumber(gkey(n)) && nvalue(gkey(n)) == nk)
            return gval(n);
        n = n->next;
    } while (n);
    return &luaO_nilobject;
}

const TObject* luaH_getany(Table* t, const TObject* key)
{
    switch (ttype(key)) {
    case LUA_TSTRING:
    case LUA_TWSTRING: return luaH_getstr(t, tsvalue(key));
    case LUA_TNUMBER: {
        int k;
        if (numberToInt(nvalue(key), &k))
            return luaH_getnum(t, k);
        return getany(t, key);
    }
    case LUA_TNIL: return &luaO_nilobject;
    default: return getany(t, key);
    }
}

TObject* luaH_set(lua_State* L, Table* t, const TObject* key)
{
    const TObject* p = luaH_get(t, key);
    t->flags = 0;
    if (p != &luaO_nilobject)
        return const_cast<TObject*>(p);
    if (ttisnil(key))
        luaG_runerror(L, "table index is nil");
    if (ttisnumber(key) && std::isnan(nvalue(key)))
        luaG_runerror(L, "table index is NaN");
    return newkey(L, t, key);
}

TObject* luaH_setnum(lua_State* L, Table* t, int key)
{
    const TObject* p = luaH_getnum(t, key);
    if (p != &luaO_nilobject)
        return const_cast<TObject*>(p);
    TObject k;
    setnvalue(&k, key);
    return newkey(L, t, &k);
}

Table* luaH_new(lua_State* L, int narray, int lnhash)
{
    auto* t = static_cast<Table*>(luaM_realloc(L, nullptr, 0, sizeof(Table)));
    luaC_link(L, obj2gco(t), LUA_TTABLE);
    t->metatable = ttistable(defaultmeta(L)) ? hvalue(defaultmeta(L)) : nullptr; // null only for the default itself
    t->flags = static_cast<lu_byte>(~0);
    t->array = nullptr;
    t->sizearray = 0;
    t->lsizenode = 0;
    t->node = nullptr;
    t->gclist = nullptr;
    setarrayvector(L, t, narray);
    setnodevector(L, t, lnhash);
    return t;
}

void luaH_free(lua_State* L, Table* t)
{
    if (t->node != G(L)->dummynode)
        luaM_freearray(L, t->node, sizenode(t));
    luaM_freearray(L, t->array, t->sizearray);
    luaM_freemem(L, t, sizeof(Table));
}

size_t luaH_bytes(const Table* t)
{
    return sizeof(Table) + sizeof(TObject) * t->sizearray + sizeof(Node) * sizenode(t);
}

int luaH_next(lua_State* L, Table* t, StkId key)
{
    int i; // position of the key: 0 = start, 1..sizearray array, then nodes
    if (ttisnil(key)) {
        i = 0;
    } else {
        int k = arrayindex(key);
        if (k > 0 && k <= t->sizearray) {
            i = k;
        } else {
            const TObject* v = getany(t, key);
            if (v == &luaO_nilobject)
                luaG_runerror(L, "invalid key for `next'");
            // the value lies in a Node right after its key
            const Node* n = reinterpret_cast<const Node*>(reinterpret_cast<const char*>(v) - offsetof(Node, i_val));
            i = static_cast<int>(n - t->node) + 1 + t->sizearray;
        }
    }
    for (; i < t->sizearray; i++) {
        if (!ttisnil(&t->array[i])) {
            setnvalue(key, i + 1);
            setobj(key + 1, &t->array[i]);
            return 1;
        }
    }
    for (i -= t->sizearray; i < sizenode(t); i++) {
        if (!ttisnil(gval(&t->node[i]))) {
            setobj(key, gkey(&t->node[i]));
            setobj(key + 1, gval(&t->node[i]));
            return 1;
        }
    }
    return 0;
}
