// Tables: an array part for the keys 1..n and a hash part of chained nodes
// (collisions are resolved inside the node array; a colliding key that is
// not in its main position is moved away).
#pragma once

#include "lobject.h"

const TObject* luaH_getnum(Table* t, int key);
TObject* luaH_setnum(lua_State* L, Table* t, int key);
// Any key; luaH_get below answers the usual ones (strings, array
// positions) without a call.
const TObject* luaH_getany(Table* t, const TObject* key);
TObject* luaH_set(lua_State* L, Table* t, const TObject* key);
Table* luaH_new(lua_State* L, int narray, int lnhash);
void luaH_free(lua_State* L, Table* t);
int luaH_next(lua_State* L, Table* t, StkId key);
size_t luaH_bytes(const Table* t);

inline TObject* gkey(Node* n) { return &n->i_key; }
inline TObject* gval(Node* n) { return &n->i_val; }

// The value of a string key (narrow or wide), or the nil object.
inline const TObject* luaH_getstr(Table* t, TString* key)
{
    Node* n = &t->node[key->hash & (sizenode(t) - 1)];
    do {
        if (gcvalue(gkey(n)) == obj2gco(key) && ttisanystring(gkey(n)))
            return gval(n);
        n = n->next;
    } while (n);
    return &luaO_nilobject;
}

inline const TObject* luaH_get(Table* t, const TObject* key)
{
    if (ttisanystring(key))
        return luaH_getstr(t, tsvalue(key));
    if (ttisnumber(key)) { // a position in the array part
        lua_Number n = nvalue(key);
        if (n >= 1 && n <= t->sizearray) {
            int k = static_cast<int>(n);
            if (static_cast<lua_Number>(k) == n)
                return &t->array[k - 1];
        }
    }
    return luaH_getany(t, key);
}
