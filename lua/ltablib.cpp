// The table library of Lua 5.0: sizes through getn/setn (the `n' field or
// the sizes table), insert, remove, concat, sort, foreach, foreachi.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "lauxlib.h"
#include "lobject.h"
#include "ltable.h"
#include "lua.h"
#include "lualib.h"
#include "lwork.h"

namespace {

int aux_getn(lua_State* L, int n)
{
    luaL_checktype(L, n, LUA_TTABLE);
    return luaL_getn(L, n);
}

// foreach and foreachi with a native function run no Lua instruction
// however long the table: the host's hook gets its turns from their steps.
int luaB_foreachi(lua_State* L)
{
    int n = aux_getn(L, 1);
    luaL_checktype(L, 2, LUA_TFUNCTION);
    WorkSteps work(L);
    for (int i = 1; i <= n; i++) {
        work.step();
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
    WorkSteps work(L);
    lua_pushnil(L); // first key
    for (;;) {
        work.step();
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

// ---- insert and remove: shifting a run of positions ------------------------------

// insert and remove move the elements of a run of positions one place, with
// raw reads and writes, whatever the positions: below 1, past the size, or
// over the whole integer range. Only a step whose source or destination holds
// a value changes the table, so a run much longer than the table is shifted
// by visiting the positions the table holds instead of every position.
constexpr int64_t DENSE_RUN = 64; // runs this short are shifted step by step

enum class Shift { Up, Down };

// One step: Up moves t[k] to t[k+1], Down moves t[k+1] to t[k].
void shiftStep(lua_State* L, int k, Shift dir)
{
    if (dir == Shift::Up) {
        lua_rawgeti(L, 1, k);
        lua_rawseti(L, 1, k + 1);
    } else {
        lua_rawgeti(L, 1, k + 1);
        lua_rawseti(L, 1, k);
    }
}

// Whether key is an integer in [lo, hi] with a value, and which.
bool heldPosition(const TObject* key, const TObject* value, int lo, int hi, int* k)
{
    if (!ttisnumber(key) || ttisnil(value))
        return false;
    lua_Number n = nvalue(key);
    if (!(n >= lo && n <= hi))
        return false;
    *k = static_cast<int>(n);
    return *k == n;
}

// The steps k in [lo, hi] where t[k] or t[k+1] holds a value, sorted; stored
// in a userdata left on the stack, their count through `count'.
int* stepsThatMatter(lua_State* L, int lo, int hi, int* count)
{
    auto* t = static_cast<Table*>(const_cast<void*>(lua_topointer(L, 1))); // checked by aux_getn
    size_t most = 2 * (static_cast<size_t>(t->sizearray) + static_cast<size_t>(sizenode(t)));
    auto* steps = static_cast<int*>(lua_newuserdata(L, (most ? most : 1) * sizeof(int)));
    int n = 0;
    auto add = [&](int k) { // a value at k matters to the steps k and k - 1
        if (k <= hi)
            steps[n++] = k;
        if (k > lo)
            steps[n++] = k - 1;
    };
    int k;
    for (int i = 0; i < t->sizearray; i++) {
        TObject key;
        setnvalue(&key, i + 1);
        if (heldPosition(&key, &t->array[i], lo, hi + 1, &k))
            add(k);
    }
    for (int i = 0; i < sizenode(t); i++) {
        Node* node = &t->node[i];
        if (heldPosition(gkey(node), gval(node), lo, hi + 1, &k))
            add(k);
    }
    std::sort(steps, steps + n);
    *count = static_cast<int>(std::unique(steps, steps + n) - steps);
    return steps;
}

// Runs the steps k = hi down to lo (Up) or k = lo up to hi (Down). A run
// over millions of elements takes a long time in this one call (an insert
// at the front of a long list): the host's hook gets its turns.
void shiftRun(lua_State* L, int lo, int hi, Shift dir)
{
    if (lo > hi)
        return;
    auto* t = static_cast<const Table*>(lua_topointer(L, 1));
    int64_t run = static_cast<int64_t>(hi) - lo + 1;
    int64_t held = static_cast<int64_t>(t->sizearray) + sizenode(t);
    WorkSteps work(L);
    if (run <= DENSE_RUN || run <= 2 * held) {
        for (int64_t i = 0; i < run; i++) {
            work.step();
            shiftStep(L, static_cast<int>(dir == Shift::Up ? hi - i : lo + i), dir);
        }
        return;
    }
    int count = 0;
    const int* steps = stepsThatMatter(L, lo, hi, &count);
    work.step(static_cast<size_t>(held));
    for (int i = 0; i < count; i++) {
        work.step();
        shiftStep(L, steps[dir == Shift::Up ? count - 1 - i : i], dir);
    }
    lua_pop(L, 1); // the steps
}

// insert(t, [pos,] v): the elements from pos to the size move one place up
// and v goes to pos; the size grows by one, or becomes pos when pos is
// past the end.
int luaB_tinsert(lua_State* L)
{
    int v = lua_gettop(L); // number of arguments
    int last = aux_getn(L, 1);
    if (last == INT_MAX) // the size would wrap around
        luaL_error(L, "table overflow");
    int n = last + 1;
    int pos; // where to insert the new element
    if (v == 2) {
        pos = n; // at the end
    } else {
        pos = luaL_checkint(L, 2);
        if (pos > n)
            n = pos; // `grow' the array if necessary
        v = 3; // the function may be called with more than 3 arguments
    }
    luaL_setn(L, 1, n);
    if (pos < n)
        shiftRun(L, pos, n - 1, Shift::Up);
    lua_pushvalue(L, v);
    lua_rawseti(L, 1, pos);
    return 0;
}

// remove(t [, pos]): returns t[pos]; the elements after it up to the size
// move one place down, the last one is cleared and the size shrinks by one.
// A position past the size moves nothing but still clears the last element.
int luaB_tremove(lua_State* L)
{
    int n = aux_getn(L, 1);
    int pos = luaL_optint(L, 2, n);
    if (n <= 0)
        return 0; // the table is `empty'
    luaL_setn(L, 1, n - 1);
    lua_rawgeti(L, 1, pos); // result = t[pos]
    if (pos < n)
        shiftRun(L, pos, n - 1, Shift::Down);
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
    WorkSteps work(L); // long strings joined many times over take seconds
    for (; i <= n; i++) {
        lua_rawgeti(L, 1, i);
        luaL_argcheck(L, lua_isstring(L, -1), 1, "table contains non-strings");
        work.copied(lua_strlen(L, -1) + lsep);
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

// Quadratic on some orders: the comparisons are counted as work.
void auxsort(lua_State* L, int l, int u, WorkSteps& work)
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
            while (lua_rawgeti(L, 1, ++i), work.step(), sort_comp(L, -1, -2)) {
                if (i > u)
                    luaL_error(L, "invalid order function for sorting");
                lua_pop(L, 1);
            }
            // repeat --j until a[j] <= P
            while (lua_rawgeti(L, 1, --j), work.step(), sort_comp(L, -3, -1)) {
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
        auxsort(L, j, i, work);
    }
}

int luaB_sort(lua_State* L)
{
    int n = aux_getn(L, 1);
    luaL_checkstack(L, 40, ""); // assume the array is smaller than 2^40
    if (!lua_isnoneornil(L, 2))
        luaL_checktype(L, 2, LUA_TFUNCTION);
    lua_settop(L, 2); // make sure there are two arguments
    WorkSteps work(L);
    auxsort(L, 1, n, work);
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
