// Tables: an array part for the keys 1..n and a hash part of chained nodes
// (collisions are resolved inside the node array; a colliding key that is
// not in its main position is moved away).
#pragma once

#include "lobject.h"

const TObject* luaH_getnum(Table* t, int key);
TObject* luaH_setnum(lua_State* L, Table* t, int key);
const TObject* luaH_getstr(Table* t, TString* key);
const TObject* luaH_get(Table* t, const TObject* key);
TObject* luaH_set(lua_State* L, Table* t, const TObject* key);
Table* luaH_new(lua_State* L, int narray, int lnhash);
void luaH_free(lua_State* L, Table* t);
int luaH_next(lua_State* L, Table* t, StkId key);
size_t luaH_bytes(const Table* t);

inline TObject* gkey(Node* n) { return &n->i_key; }
inline TObject* gval(Node* n) { return &n->i_val; }
