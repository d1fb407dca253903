#include "game/screens/luaexport.h"

#include "engine/script/luabind.h"
#include "engine/script/windowscript.h"

namespace game {

bool PublishLua(const char* name, lua_CFunction fn)
{
    TWindowScript* script = TWindowScript::Get();
    if (!script) {
        WriteDbg("no window script: Lua function %s not published", name);
        return false;
    }
    qm::lua::Publish(script->GetState(), name, nullptr, fn);
    return true;
}

}  // namespace game
