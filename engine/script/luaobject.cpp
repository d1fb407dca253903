#include "engine/script/luaobject.h"

#include "engine/base/debuglog.h"
#include "engine/script/script.h"

TLuaObjectWrapper::TLuaObjectWrapper(lua_State* L) : mState(L)
{
    lua_pushlightuserdata(L, this);
    lua_insert(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

TLuaObjectWrapper::~TLuaObjectWrapper()
{
    Clear();
}

void TLuaObjectWrapper::Push() const
{
    lua_pushlightuserdata(mState, const_cast<TLuaObjectWrapper*>(this));
    lua_rawget(mState, LUA_REGISTRYINDEX);
}

void TLuaObjectWrapper::Clear()
{
    lua_pushlightuserdata(mState, this);
    lua_pushnil(mState);
    lua_rawset(mState, LUA_REGISTRYINDEX);
}

namespace {

// Checks before the value is taken into the registry.
lua_State* CheckedTable(lua_State* L)
{
    QM_ASSERT_TEXT(lua_istable(L, -1), "lua_istable(state,-1)");
    return L;
}

}  // namespace

TLuaTable::TLuaTable(lua_State* L) : TLuaObjectWrapper(CheckedTable(L)) {}

void TLuaTable::PushValue(double key) const
{
    Push();
    if (!lua_istable(GetState(), -1)) {
        lua_pop(GetState(), 1);
        lua_pushnil(GetState());
        return;
    }
    lua_pushnumber(GetState(), key);
    lua_rawget(GetState(), -2);
    lua_remove(GetState(), -2);
}

double TLuaTable::GetNumber(double key, double def) const
{
    PushValue(key);
    const double value = lua_isnil(GetState(), -1) ? def : lua_tonumber(GetState(), -1);
    lua_pop(GetState(), 1);
    return value;
}

void TLuaTable::DeferDelete()
{
    lua_State* L = GetState();
    lua_pushstring(L, "_SCRIPT");
    lua_rawget(L, LUA_GLOBALSINDEX);
    // Only the light userdata the script set names it: a script may have
    // put anything else under that name.
    auto* script = lua_islightuserdata(L, -1) ? static_cast<TScript*>(lua_touserdata(L, -1)) : nullptr;
    lua_pop(L, 1);
    if (script)
        script->DeferDeleteTable(this);
    else
        delete this;  // no script owns the state: nothing can still use it
}
