// The math library of Lua 5.0 (for the command-line tool; the engine does not
// open it). It also registers the global __pow that `^' calls for operands
// that convert from strings.
#include <cmath>
#include <cstdlib>

#include "lauxlib.h"
#include "lua.h"
#include "lualib.h"

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double RADIANS_PER_DEGREE = PI / 180.0;

#define MATH_FN1(name, expr)                        \
    int math_##name(lua_State* L)                   \
    {                                               \
        lua_Number x = luaL_checknumber(L, 1);      \
        lua_pushnumber(L, expr);                    \
        return 1;                                   \
    }

MATH_FN1(abs, std::fabs(x))
MATH_FN1(sin, std::sin(x))
MATH_FN1(cos, std::cos(x))
MATH_FN1(tan, std::tan(x))
MATH_FN1(asin, std::asin(x))
MATH_FN1(acos, std::acos(x))
MATH_FN1(atan, std::atan(x))
MATH_FN1(ceil, std::ceil(x))
MATH_FN1(floor, std::floor(x))
MATH_FN1(sqrt, std::sqrt(x))
MATH_FN1(log, std::log(x))
MATH_FN1(log10, std::log10(x))
MATH_FN1(exp, std::exp(x))
MATH_FN1(deg, x / RADIANS_PER_DEGREE)
MATH_FN1(rad, x * RADIANS_PER_DEGREE)

int math_atan2(lua_State* L)
{
    lua_pushnumber(L, std::atan2(luaL_checknumber(L, 1), luaL_checknumber(L, 2)));
    return 1;
}

int math_mod(lua_State* L)
{
    lua_pushnumber(L, std::fmod(luaL_checknumber(L, 1), luaL_checknumber(L, 2)));
    return 1;
}

int math_pow(lua_State* L)
{
    lua_pushnumber(L, std::pow(luaL_checknumber(L, 1), luaL_checknumber(L, 2)));
    return 1;
}

int math_frexp(lua_State* L)
{
    int e;
    lua_pushnumber(L, std::frexp(luaL_checknumber(L, 1), &e));
    lua_pushnumber(L, e);
    return 2;
}

int math_ldexp(lua_State* L)
{
    lua_pushnumber(L, std::ldexp(luaL_checknumber(L, 1), luaL_checkint(L, 2)));
    return 1;
}

int math_min(lua_State* L)
{
    int n = lua_gettop(L);
    lua_Number dmin = luaL_checknumber(L, 1);
    for (int i = 2; i <= n; i++) {
        lua_Number d = luaL_checknumber(L, i);
        if (d < dmin)
            dmin = d;
    }
    lua_pushnumber(L, dmin);
    return 1;
}

int math_max(lua_State* L)
{
    int n = lua_gettop(L);
    lua_Number dmax = luaL_checknumber(L, 1);
    for (int i = 2; i <= n; i++) {
        lua_Number d = luaL_checknumber(L, i);
        if (d > dmax)
            dmax = d;
    }
    lua_pushnumber(L, dmax);
    return 1;
}

int math_random(lua_State* L)
{
    // the `%' avoids the (rare) case of r==1, and is needed also because on
    // some systems (SunOS!) `rand()' may return a value larger than RAND_MAX
    lua_Number r = static_cast<lua_Number>(std::rand() % RAND_MAX) / static_cast<lua_Number>(RAND_MAX);
    switch (lua_gettop(L)) {
    case 0: lua_pushnumber(L, r); break;
    case 1: {
        int u = luaL_checkint(L, 1);
        luaL_argcheck(L, 1 <= u, 1, "interval is empty");
        lua_pushnumber(L, static_cast<int>(std::floor(r * u)) + 1);
        break;
    }
    case 2: {
        int l = luaL_checkint(L, 1);
        int u = luaL_checkint(L, 2);
        luaL_argcheck(L, l <= u, 2, "interval is empty");
        lua_pushnumber(L, static_cast<int>(std::floor(r * (u - l + 1))) + l);
        break;
    }
    default: return luaL_error(L, "wrong number of arguments");
    }
    return 1;
}

int math_randomseed(lua_State* L)
{
    std::srand(static_cast<unsigned int>(luaL_checkint(L, 1)));
    return 0;
}

const luaL_reg mathlib[] = {{"abs", math_abs},     {"sin", math_sin},     {"cos", math_cos},
                            {"tan", math_tan},     {"asin", math_asin},   {"acos", math_acos},
                            {"atan", math_atan},   {"atan2", math_atan2}, {"ceil", math_ceil},
                            {"floor", math_floor}, {"mod", math_mod},     {"frexp", math_frexp},
                            {"ldexp", math_ldexp}, {"sqrt", math_sqrt},   {"min", math_min},
                            {"max", math_max},     {"log", math_log},     {"log10", math_log10},
                            {"exp", math_exp},     {"deg", math_deg},     {"pow", math_pow},
                            {"rad", math_rad},     {"random", math_random}, {"randomseed", math_randomseed},
                            {nullptr, nullptr}};

} // namespace

extern "C" int luaopen_math(lua_State* L)
{
    luaL_openlib(L, LUA_MATHLIBNAME, mathlib, 0);
    lua_pushliteral(L, "pi");
    lua_pushnumber(L, PI);
    lua_settable(L, -3);
    lua_pushliteral(L, "__pow");
    lua_pushcfunction(L, math_pow);
    lua_settable(L, LUA_GLOBALSINDEX);
    return 1;
}
