// The binding layer: how native functions are published to Lua and how they
// read their arguments. Arguments are checked strictly before any engine
// object is built: a declared string must be a string (a number is not
// taken), a declared number a number; anything else raises the Lua error
// "bad argument" for that argument, which unwinds (as a C++ exception) to
// the protected call that ran the Lua code.
#pragma once

#include "engine/base/lifeline.h"
#include "engine/base/str.h"

#include "lua.h"

#include <span>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace qm::lua {

// Raises "bad argument #i to `f' (<expected> expected, got <type>)".
[[noreturn]] void BadArgument(lua_State* L, int i, const char* expected);

str CheckString(lua_State* L, int i);
const char* CheckCString(lua_State* L, int i);  // the string on the stack: valid while it stays there
double CheckNumber(lua_State* L, int i);
int CheckInt(lua_State* L, int i);  // a number, truncated toward zero; held at int's ends, NaN 0
int ToInt(double n);                // the same conversion for a number already read
void CheckTable(lua_State* L, int i);
void CheckFunction(lua_State* L, int i);

// A flag: Lua truth (nil and false are false, anything else true), so a
// script may pass any value, or none.
bool ToBool(lua_State* L, int i);

// Optional arguments: nil or absent gives the default; any other wrong type
// is a bad argument.
double OptNumber(lua_State* L, int i, double def);
str OptString(lua_State* L, int i, const char* def);

// Native functions bound to an object. Scripts keep functions as long as
// they like, so the function holds the object's lifeline, not the object: a
// call after the object died is logged ("<name>: called after its object was
// destroyed; ignored") and returns nothing, and fn never runs. fn finds its
// object with Self<T>(L); self must be the T* that fn asks for.
//
// Every global has one owner: the class (or service) named by `owner`. The
// state keeps a register of who published each name. A newer object of the
// same owner takes its global over (the script then calls the newest one),
// and so does anyone once the holder is dead; while the holder lives,
// another owner's publication is refused with a log line ("<name>: already
// published by <holder>; <owner>'s is refused") and the holder keeps it.
// A function bound to no object lives as long as the state.
//
// Publishes fn as the global `name`; false when it was refused.
bool Publish(lua_State* L, const char* name, const char* owner, void* self, const TLifeline& life, lua_CFunction fn);
// Pushes the bound function onto the stack instead (for a table field or a
// closure handed to the script); `name` is what the log line calls it. Not
// a global, so not in the register.
void PushBound(lua_State* L, const char* name, void* self, const TLifeline& life, lua_CFunction fn);
// A function bound to no object: it finds what it acts on by itself.
bool Publish(lua_State* L, const char* name, const char* owner, std::nullptr_t, lua_CFunction fn);

// A registration table: one entry per Lua function.
struct TBinding {
    const char* name;
    lua_CFunction fn;
};
// Publishes every function of the table, bound to self and life; answers
// how many were refused.
int PublishAll(lua_State* L, std::span<const TBinding> table, const char* owner, void* self, const TLifeline& life);
// Publishes every function of the table, bound to no object.
int PublishAll(lua_State* L, std::span<const TBinding> table, const char* owner);

// The register of a state: each published global with its owner, whether
// its holder is still alive and the native function behind it; and every
// publication refused so far, as its log line.
struct TPublication {
    std::string name;
    std::string owner;
    bool alive = false;
    lua_CFunction fn = nullptr;
};
std::vector<TPublication> Publications(lua_State* L);
std::vector<std::string> RefusedPublications(lua_State* L);

// The object the running bound function was published for.
void* BoundSelf(lua_State* L);

template <typename T>
T* Self(lua_State* L)
{
    return static_cast<T*>(BoundSelf(L));
}

// ---- Publishing a C++ method
//
// Method<&TClass::Fn> is the Lua function that calls Fn on the object the
// bound function was published for (Self<TClass>); Method<&TClass::Fn, Find>
// calls it on what Find(L) answers (a TClass*; null: the call does nothing
// and returns nothing), for classes that are reached another way. Every
// argument is read, strictly and in order, before the object is looked for:
// int (and the other signed integers, as CheckInt reads them), float and
// double are numbers, str and const char* strings, bool a flag (ToBool). A
// bool, number or string result is pushed; a void method returns nothing.
// So a registration table names the method once:
//   {"SetTables", qm::lua::Method<&TFloorWindow::SetTables>}
// Fn's class must be the class of the published object; for an inherited
// method give the finder: Method<&TBase::Fn, BoundObject<TDerived>>.

namespace detail {

template <class M>
struct TMethodTraits;

template <class R, class C, class... A>
struct TMethodTraits<R (C::*)(A...)> {
    using Class = C;
    using Result = R;
    using Args = std::tuple<std::decay_t<A>...>;
};

template <class R, class C, class... A>
struct TMethodTraits<R (C::*)(A...) const> : TMethodTraits<R (C::*)(A...)> {};

template <class A>
A ReadArg(lua_State* L, int i)
{
    if constexpr (std::is_same_v<A, bool>)
        return ToBool(L, i);
    else if constexpr (std::is_integral_v<A> && std::is_signed_v<A>)
        return static_cast<A>(CheckInt(L, i));
    else if constexpr (std::is_floating_point_v<A>)
        return static_cast<A>(CheckNumber(L, i));
    else if constexpr (std::is_same_v<A, str>)
        return CheckString(L, i);
    else if constexpr (std::is_same_v<A, const char*>)
        return CheckCString(L, i);
    else
        static_assert(sizeof(A) == 0, "a published method takes bool, int, float, double, str or const char*");
}

template <class R>
int PushResult(lua_State* L, const R& result)
{
    if constexpr (std::is_same_v<R, bool>)
        lua_pushboolean(L, result ? 1 : 0);
    else if constexpr (std::is_arithmetic_v<R>)
        lua_pushnumber(L, static_cast<lua_Number>(result));
    else if constexpr (std::is_same_v<R, str>)
        lua_pushlstring(L, result.c_str(), static_cast<size_t>(result.length()));
    else if constexpr (std::is_same_v<R, const char*>)
        lua_pushstring(L, result);
    else
        static_assert(sizeof(R) == 0, "a published method answers nothing, a bool, a number or a string");
    return 1;
}

// The arguments as a tuple, read from stack index 1 on. Braced initialisation
// reads them in order, so the first wrong one is the one reported.
template <class Args, std::size_t... I>
Args ReadArgs([[maybe_unused]] lua_State* L, std::index_sequence<I...>)
{
    return Args{ReadArg<std::tuple_element_t<I, Args>>(L, static_cast<int>(I) + 1)...};
}

}  // namespace detail

// The object of a bound function: Self<T>, as a finder for Method.
template <class T>
T* BoundObject(lua_State* L)
{
    return Self<T>(L);
}

template <auto Fn, auto Find = &BoundObject<typename detail::TMethodTraits<decltype(Fn)>::Class>>
int Method(lua_State* L)
{
    using Traits = detail::TMethodTraits<decltype(Fn)>;
    using Args = typename Traits::Args;
    Args args = detail::ReadArgs<Args>(L, std::make_index_sequence<std::tuple_size_v<Args>>{});
    auto* object = Find(L);
    if (!object)
        return 0;
    auto call = [object](auto&&... a) -> decltype(auto) { return (object->*Fn)(std::move(a)...); };
    if constexpr (std::is_void_v<typename Traits::Result>) {
        std::apply(call, std::move(args));
        return 0;
    } else {
        return detail::PushResult(L, std::apply(call, std::move(args)));
    }
}

}  // namespace qm::lua
