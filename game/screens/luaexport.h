// How the game's windows and services reach Lua. Every function they publish
// goes through here, so there is one place where a call from a script meets
// an object that may already be gone.
//
// A published function is a plain global of the window script that asks
// TLuaTarget<T> for the object: the most recently built one that still
// exists. A call after that object died logs and does nothing.
#pragma once

#include "engine/base/debuglog.h"

#include "lua.h"

namespace game {

// Publishes fn as the global `name` of the window script's state. False (and
// logged) when there is no window script.
bool PublishLua(const char* name, lua_CFunction fn);

template <typename T>
class TLuaTarget {
public:
    static void Bind(T* object) { sObject = object; }
    // Only the bound object unbinds itself: an older one dying leaves the
    // newest bound.
    static void Unbind(T* object)
    {
        if (sObject == object)
            sObject = nullptr;
    }
    // The object, or null after logging that `function` found none.
    static T* Get(const char* function)
    {
        if (!sObject)
            WriteDbg("%s: called after its object was destroyed; ignored", function);
        return sObject;
    }

private:
    static inline T* sObject = nullptr;
};

// A flag argument is read as Lua truth (nil and false are false); numbers
// and strings are checked with qm::lua::CheckNumber / CheckString.
inline bool LuaBoolArg(lua_State* L, int i) { return lua_toboolean(L, i) != 0; }

inline int LuaReturn(lua_State* L, bool b)
{
    lua_pushboolean(L, b ? 1 : 0);
    return 1;
}

}  // namespace game
