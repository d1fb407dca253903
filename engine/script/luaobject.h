// Lua values held by native code. A wrapper keeps exactly one Lua value alive
// in the registry, under a light-userdata key equal to the wrapper's own
// address, so the collector never frees what an engine object still uses
// (a button's command, a definition table handed to a factory).
#pragma once

#include "lua.h"

class TLuaObjectWrapper {
public:
    // Takes the value on the top of the stack into the registry (popped).
    explicit TLuaObjectWrapper(lua_State* L);
    virtual ~TLuaObjectWrapper();
    TLuaObjectWrapper(const TLuaObjectWrapper&) = delete;
    TLuaObjectWrapper& operator=(const TLuaObjectWrapper&) = delete;

    lua_State* GetState() const { return mState; }
    // Pushes the held value.
    void Push() const;
    // Clears the registry entry: the wrapper holds nil from here on.
    void Clear();

private:
    lua_State* mState;
};

class TLuaTable : public TLuaObjectWrapper {
public:
    explicit TLuaTable(lua_State* L);
    // Pushes table[key] (raw access).
    void PushValue(double key) const;
    // table[key] as a number, or def when nil; the stack is unchanged.
    double GetNumber(double key, double def) const;
    // Hands this table to the owning script's deferred-delete list, for
    // tables that Lua code may still be using right now.
    void DeferDelete();
};

class TLuaFunction : public TLuaObjectWrapper {
public:
    using TLuaObjectWrapper::TLuaObjectWrapper;
};

class TLuaMessage : public TLuaObjectWrapper {
public:
    using TLuaObjectWrapper::TLuaObjectWrapper;
};

// Owns one object for as long as it lives.
class TLuaThread {
public:
    class TOwned {
    public:
        virtual ~TOwned() = default;
    };
    explicit TLuaThread(TOwned* owned = nullptr) : mOwned(owned) {}
    virtual ~TLuaThread() { delete mOwned; }
    TLuaThread(const TLuaThread&) = delete;
    TLuaThread& operator=(const TLuaThread&) = delete;

private:
    TOwned* mOwned;
};
