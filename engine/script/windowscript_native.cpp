// What window classes of engine/window ask of the window script without
// knowing Lua: running text, handing a global function to the waiting screen,
// and publishing their own native functions.
#include "engine/script/luabind.h"
#include "engine/script/luaobject.h"
#include "engine/script/windowscript.h"
#include "engine/window/dialog.h"
#include "engine/window/windowmanager.h"

bool TWindowScript::RunLuaText(const str& text)
{
    return TScript::DoLuaString(text) == 0;
}

// The file's chunk is returned by the text run, and a function a text
// returns while no coroutine waits starts as the coroutine.
bool TWindowScript::StartScreen(const char* file)
{
    if (CoroutineActive())
        return false;
    RunLuaText("gMessageQueue = {} gCommandQueue = {}");
    const str path = str("assets/") + file;
    return RunLuaText(str("return assert(loadfile(") + TDialog::LuaLiteral(path) + "))") && CoroutineActive();
}

void TWindowScript::SendGlobalFunction(const char* name)
{
    lua_State* L = GetState();
    lua_pushstring(L, name);
    lua_rawget(L, LUA_GLOBALSINDEX);
    TLuaFunction function(L);
    if (TWindowManager* manager = TWindowManager::GetInstance())
        manager->OnScriptMessage(nullptr, &function);
    // The screen that took it holds the function on its own stack now.
    function.Clear();
}

// The entry lives as long as the state (a replaced global may still be
// running); the owner's lifeline decides whether a call reaches it.
template <typename Fn>
void TWindowScript::PublishNative(const char* name, const char* owner, const TLifeline& life, Fn fill,
                                  lua_CFunction call)
{
    auto& entry = mPublished.emplace_back(std::make_unique<TPublished>());
    fill(*entry);
    qm::lua::Publish(GetState(), name, owner, entry.get(), life, call);
}

void TWindowScript::PublishFunction(const char* name, const char* owner, const TLifeline& life,
                                    std::function<void()> fn)
{
    PublishNative(name, owner, life, [&fn](TPublished& e) { e.none = std::move(fn); },
                  qm::lua::Method<&TPublished::CallNone>);
}

void TWindowScript::PublishIntFunction(const char* name, const char* owner, const TLifeline& life,
                                       std::function<void(int)> fn)
{
    PublishNative(name, owner, life, [&fn](TPublished& e) { e.integer = std::move(fn); },
                  qm::lua::Method<&TPublished::CallInt>);
}

void TWindowScript::PublishBoolFunction(const char* name, const char* owner, const TLifeline& life,
                                        std::function<void(bool)> fn)
{
    PublishNative(name, owner, life, [&fn](TPublished& e) { e.boolean = std::move(fn); },
                  qm::lua::Method<&TPublished::CallBool>);
}
