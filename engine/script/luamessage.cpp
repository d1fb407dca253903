#include "engine/script/luamessage.h"

#include <cstring>

namespace {

const char kMetatable[] = "qmMessageMetatable";

int MessageGc(lua_State* L)
{
    auto** box = static_cast<TMessage**>(lua_touserdata(L, 1));
    if (box) {
        delete *box;
        *box = nullptr;
    }
    return 0;
}

int MessageIndex(lua_State* L)
{
    TMessage* m = LPCD::Get(L, 1);
    const char* key = lua_type(L, 2) == LUA_TSTRING ? lua_tostring(L, 2) : "";
    if (m && std::strcmp(key, "type") == 0)
        lua_pushnumber(L, m->GetType());
    else if (m && std::strcmp(key, "name") == 0)
        lua_pushstring(L, m->GetName().c_str());
    else
        lua_pushnil(L);
    return 1;
}

void PushMetatable(lua_State* L)
{
    lua_pushstring(L, kMetatable);
    lua_rawget(L, LUA_REGISTRYINDEX);
}

}  // namespace

namespace LPCD {

void Push(lua_State* L, TMessage* msg)
{
    *static_cast<TMessage**>(lua_newuserdata(L, sizeof(TMessage*))) = msg;
    PushMetatable(L);
    lua_setmetatable(L, -2);
}

TMessage* Get(lua_State* L, int i)
{
    if (!Match(L, i) || lua_isnil(L, i))
        return nullptr;
    return *static_cast<TMessage**>(lua_touserdata(L, i));
}

bool Match(lua_State* L, int i)
{
    if (lua_isnil(L, i))
        return true;
    if (lua_type(L, i) != LUA_TUSERDATA || !lua_getmetatable(L, i))
        return false;
    PushMetatable(L);
    const bool same = lua_rawequal(L, -1, -2) != 0;
    lua_pop(L, 2);
    return same;
}

}  // namespace LPCD

void RegisterMessageMetatable(lua_State* L)
{
    lua_pushstring(L, kMetatable);
    lua_newtable(L);
    lua_pushstring(L, "__gc");
    lua_pushcfunction(L, MessageGc);
    lua_rawset(L, -3);
    lua_pushstring(L, "__index");
    lua_pushcfunction(L, MessageIndex);
    lua_rawset(L, -3);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

namespace {

TMessage* BoxOnTop(lua_State* L)
{
    return LPCD::Get(L, -1);
}

}  // namespace

TLuaMessageWrapper::TLuaMessageWrapper(lua_State* L)
    : TMessage(BoxOnTop(L) ? BoxOnTop(L)->GetType() : 0, BoxOnTop(L) ? BoxOnTop(L)->GetName() : str(""),
               BoxOnTop(L) ? BoxOnTop(L)->GetTarget() : nullptr),
      mLuaMessage(L)
{
}

TClassId TLuaMessageWrapper::ClassId()
{
    return MakeClassId(&TLuaMessageWrapper::ClassId);
}
