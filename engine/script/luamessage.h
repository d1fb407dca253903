// Window messages in Lua. A TMessage* is given to Lua as a userdata box whose
// metatable is the registry entry "qmMessageMetatable": Lua owns every box it
// receives (the box's __gc deletes the message) and reads its "type" and
// "name"; every other key reads nil.
#pragma once

#include "engine/script/luaobject.h"
#include "engine/window/message.h"

#include "lua.h"

namespace LPCD {

// Pushes msg as a new box; Lua owns the message from here on.
void Push(lua_State* L, TMessage* msg);
// The boxed message at index i, or null for nil.
TMessage* Get(lua_State* L, int i);
// Nil, or a box with the message metatable.
bool Match(lua_State* L, int i);

}  // namespace LPCD

// Creates the registry's "qmMessageMetatable".
void RegisterMessageMetatable(lua_State* L);

// A window message built from a Lua message box: posted through the window
// manager, it keeps the box alive so that the same box comes back to the
// script when the message is delivered.
class TLuaMessageWrapper : public TMessage {
public:
    // Takes the box on the top of the stack (popped); copies its type, name
    // and target.
    explicit TLuaMessageWrapper(lua_State* L);

    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TMessage::IsKindOf(id); }

    // Pushes the Lua box this message was built from.
    void PushLuaValue() const { mLuaMessage.Push(); }

private:
    TLuaMessage mLuaMessage;
};
