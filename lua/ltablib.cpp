// The table library of Lua 5.0: sizes through getn/setn (the `n' field or
// the sizes table), insert, remove, concat, sort, foreach, foreachi.
#include <climits>

#include "lauxlib.h"
#include "lua.h"
#include "lualib.h"

namespace {

int aux_getn(lua_State* L, int n)
{
    luaL_checktype(L, n, LUA_TTABLE);
    return luaL_getn(L, n);
}

int luaB_foreachi(lua_State* L)
{
    int n = aux_getn(L, 1);
    luaL_checktype(L, 2, LUA_TFUNCTION);
    for (int i = 1; i <= n; i++) {
        lua_pushvalue(L, 2);
        lua_pushnumber(L, i);
        lua_rawgeti(L, 1, i);
        lua_call(L, 2, 1);
        if (!lua_isnil(L, -1))
            return 1;
        lua_pop(L, 1);
    }
    return 0;
}

int luaB_foreach(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_checktype(L, 2, LUA_TFUNCTION);
    lua_pushnil(L); // first key
    for (;;) {
        if (lua_next(L, 1) == 0)
            return 0;
        lua_pushvalue(L, 2);
        lua_pushvalue(L, -3); // key
        lua_pushvalue(L, -3); // value
        lua_call(L, 2, 1);
        if (!lua_isnil(L, -1))
            return 1;
        lua_pop(L, 2); // remove value and result
    }
}

int luaB_getn(lua_State* L)
{
    lua_pushnumber(L, aux_getn(L, 1));
    return 1;
}

int luaB_setn(lua_State* L)
{
    luaL_checktype(L, 1, LUA_TTABLE);
    luaL_setn(L, 1, luaL_checkint(L, 2));
    return 0;
}

// Positions are list indices, 1 and up: anything else would shift the list
// into keys it never had, one element at a time, for as long as 2^31 steps.
int luaB_tinsert(lua_State* L)
{
    int v = lua_gettop(L); // number of arguments
    int last = aux_getn(L, 1);
    if (last == INT_MAX)
        luaL_error(L, "table overflow");
    int n = last + 1;
    int pos; // where to insert the new element
    if (v == 2) {
        pos = n; // at the end
        luaL_argcheck(L, pos >= 1, 1, "position out of bounds");
    } else {
        pos = luaL_checkint(L, 2);
        luaL_argcheck(L, pos >= 1, 2, "position out of bounds");
        if (pos > n)
            n = pos; // `grow' the array if necessary
        v = 3; // the function may be called with more than 3 arguments
    }
    luaL_setn(L, 1, n);
    while (--n >= pos) { // move up elements
        lua_rawgeti(L, 1, n);
        lua_rawseti(L, 1, n + 1);
    }
    lua_pushvalue(L, v);
    lua_rawseti(L, 1, pos);
    return 0;
}

int luaB_tremove(lua_State* L)
{
    int n = aux_getn(L, 1);
    int pos = luaL_optint(L, 2, n);
    if (n <= 0)
        return 0; // the table is `empty'
    luaL_argcheck(L, 1 <= pos && pos <= n, 2, "position out of bounds");
    luaL_setn(L, 1, n - 1);
    lua_rawgeti(L, 1, pos); // result = t[pos]
    for (; pos < n; pos++) {
        lua_rawgeti(L, 1, pos + 1);
        lua_rawseti(L, 1, pos);
    }
    lua_pushnil(L);
    lua_rawseti(L, 1, n);
    return 1;
}

int str_concat(lua_State* L)
{
    luaL_Buffer b;
    size_t lsep;
    const char* sep = luaL_optlstring(L, 2, "", &lsep);
    int i = luaL_optint(L, 3, 1);
    int n = luaL_optint(L, 4, 0);
    luaL_checktype(L, 1, LUA_TTABLE);
    if (n == 0)
        n = luaL_getn(L, 1);
    luaL_buffinit(L, &b);
    for (; i <= n; i++) {
        lua_rawgeti(L, 1, i);
        luaL_argcheck(L, lua_isstring(L, -1), 1, "table contains non-strings");
        luaL_addvalue(&b);
        if (i != n)
            luaL_addlstring(&b, sep, lsep);
    }
    luaL_pushresult(&b);
    return 1;
}

// ---- sort: quicksort on the array part, median of three pivots -------------------

void set2(lua_State* L, int i, int j)
{
    lua_rawseti(L, 1, i);
    lua_rawseti(L, 1, j);
}

int sort_comp(lua_State* L, int a, int b)
{
    if (!lua_isnil(L, 2)) { // a comparison function
        lua_pushvalue(L, 2);
        lua_pushvalue(L, a - 1); // -1 to compensate the function
        lua_pushvalue(L, b - 2); // -2 to compensate the function and `a'
        lua_call(L, 2, 1);
        int res = lua_toboolean(L, -1);
        lua_pop(L, 1);
        return res;
    }
    return lua_lessthan(L, a, b);
}

void auxsort(lua_State* L, int l, int u)
{
    while (l < u) { // for tail recursion
        // sort elements a[l], a[(l+u)/2] and a[u]
        lua_rawgeti(L, 1, l);
        lua_rawgeti(L, 1, u);
        if (sort_comp(L, -1, -2)) // a[u] < a[l]?
            set2(L, l, u);
        else
            lua_pop(L, 2);
        if (u - l == 1)
            break; // only 2 elements
        int i = (l + u) / 2;
        lua_rawgeti(L, 1, i);
        lua_rawgeti(L, 1, l);
        if (sort_comp(L, -2, -1)) { // a[i] < a[l]?
            set2(L, i, l);
        } else {
            lua_pop(L, 1); // remove a[l]
            lua_rawgeti(L, 1, u);
            if (sort_comp(L, -1, -2)) // a[u] < a[i]?
                set2(L, i, u);
            else
                lua_pop(L, 2);
        }
        if (u - l == 2)
            break; // only 3 elements
        lua_rawgeti(L, 1, i); // pivot
        lua_pushvalue(L, -1);
        lua_rawgeti(L, 1, u - 1);
        set2(L, i, u - 1);
        // a[l] <= P == a[u-1] <= a[u], only need to sort from l+1 to u-2
        i = l;
        int j = u - 1;
        for (;;) { // invariant: a[l..i] <= P <= a[j..u]
            // repeat ++i until a[i] >= P
            while (lua_rawgeti(L, 1, ++i), sort_comp(L, -1, -2)) {
                if (i > u)
                    luaL_error(L, "invalid order function for sorting");
                lua_pop(L, 1);
            }
            // repeat --j until a[j] <= P
            while (lua_rawgeti(L, 1, --j), sort_comp(L, -3, -1)) {
                if (j < l)
                    luaL_error(L, "invalid order function for sorting");
                lua_pop(L, 1);
            }
            if (j < i) {
                lua_pop(L, 3); // pop pivot, a[i], a[j]
                break;
            }
            set2(L, i, j);
        }
        lua_rawgeti(L, 1, u - 1);
        lua_rawgeti(L, 1, i);
        set2(L, u - 1, i); // swap pivot (a[u-1]) with a[i]
        // a[l..i-1] <= a[i] == P <= a[i+1..u]; recurse into the smaller part
        if (i - l < u - i) {
            j = l;
            i = i - 1;
            l = i + 2;
        } else {
            j = i + 1;
            i = u;
            u = j - 2;
        }
        auxsort(L, j, i);
    }
}

int luaB_sort(lua_State* L)
{
    int n = aux_getn(L, 1);
    luaL_checkstack(L, 40, ""); // assume the array is smaller than 2^40
    if (!lua_isnoneornil(L, 2))
        luaL_checktype(L, 2, LUA_TFUNCTION);
    lua_settop(L, 2); // make sure there are two arguments
    auxsort(L, 1, n);
    return 0;
}

const luaL_reg tab_funcs[] = {{"concat", str_concat},   {"foreach", luaB_foreach}, {"foreachi", luaB_foreachi},
                              {"getn", luaB_getn},       {"setn", luaB_setn},       {"sort", luaB_sort},
                              {"insert", luaB_tinsert},  {"remove", luaB_tremove},  {nullptr, nullptr}};

} // namespace

extern "C" int luaopen_table(lua_State* L)
{
    luaL_openlib(L, LUA_TABLIBNAME, tab_funcs, 0);
    return 1;
}
