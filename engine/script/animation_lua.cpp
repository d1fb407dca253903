// The native functions an animation publishes in its own interpreter, each
// bound to the animation (or its data, or its layer info) through the
// closure's upvalue. Arguments are checked strictly: a wrong type raises a
// Lua error in the calling script, which the script task logs.
#include "engine/script/animation.h"
#include "engine/script/animationlayers.h"
#include "engine/script/luabind.h"

using qm::lua::CheckInt;
using qm::lua::CheckNumber;
using qm::lua::CheckString;
using qm::lua::Publish;
using qm::lua::PublishAll;
using qm::lua::Self;
using LayeredAnimationInfo = TAnimationData::LayeredAnimationInfo;

namespace {

// ---- bound to the animation

int LuaSetCurrentFrame(lua_State* L)
{
    Self<TAnimation>(L)->SetCurrentFrame(CheckInt(L, 1));
    return 0;
}

int LuaSpin(lua_State* L)
{
    Self<TAnimation>(L)->Spin(static_cast<float>(CheckNumber(L, 1)), static_cast<float>(CheckNumber(L, 2)),
                              static_cast<float>(CheckNumber(L, 3)));
    return 0;
}

int LuaWaitLuaNextFrame(lua_State* L)
{
    if (!lua_isnoneornil(L, 1))
        CheckNumber(L, 1);
    return Self<TAnimation>(L)->WaitLuaNextFrame(L);
}

int LuaSpawnChild(lua_State* L)
{
    const str script = CheckString(L, 1);
    const str function = CheckString(L, 2);
    const int x = CheckInt(L, 3);
    const int y = CheckInt(L, 4);
    const str image = CheckString(L, 5);
    const str mask = CheckString(L, 6);
    lua_pushnumber(L, static_cast<lua_Number>(Self<TAnimation>(L)->SpawnChild(script, function, x, y, image, mask)));
    return 1;
}

int LuaHalt(lua_State* L)
{
    Self<TAnimation>(L)->Halt();
    return 0;
}

int LuaChildIsPlaying(lua_State* L)
{
    lua_pushboolean(L, Self<TAnimation>(L)->ChildIsPlaying(CheckInt(L, 1)));
    return 1;
}

int LuaLoad(lua_State* L)
{
    const str name = CheckString(L, 1);
    const str image = CheckString(L, 2);
    const str mask = CheckString(L, 3);
    lua_pushboolean(L, Self<TAnimation>(L)->InitXML(name, image, mask));
    return 1;
}

int LuaSetAlpha(lua_State* L)
{
    Self<TAnimation>(L)->SetAlpha(static_cast<float>(CheckNumber(L, 1)));
    return 0;
}

int LuaRandom(lua_State* L)
{
    lua_pushnumber(L, Self<TAnimation>(L)->Random(CheckInt(L, 1), CheckInt(L, 2)));
    return 1;
}

int LuaLayered(lua_State* L)
{
    Self<TAnimation>(L)->InitLayered();
    return 0;
}

// ---- bound to the animation's data

int LuaDone(lua_State* L)
{
    Self<TAnimationData>(L)->Done();
    return 0;
}

int LuaGetScript(lua_State* L)
{
    const str script = Self<TAnimationData>(L)->GetScript();
    lua_pushlstring(L, script.c_str(), static_cast<size_t>(script.length()));
    return 1;
}

int LuaStopChildren(lua_State* L)
{
    Self<TAnimationData>(L)->StopChildren();
    return 0;
}

int LuaAddBitmap(lua_State* L)
{
    const int id = CheckInt(L, 1);
    const str image = CheckString(L, 2);
    const str mask = qm::lua::OptString(L, 3, "");
    Self<TAnimationData>(L)->AddBitmap(id, image, mask);
    return 0;
}

// ---- layers, bound to the animation

int LuaReference(lua_State* L)
{
    Self<TAnimation>(L)->ReferenceImage(CheckString(L, 1).c_str());
    return 0;
}

int LuaSetLayer(lua_State* L)
{
    const int layer = CheckInt(L, 1);
    if (layer < 0)
        qm::lua::BadArgument(L, 1, "layer index");
    if (lua_isnoneornil(L, 2)) {
        Self<TAnimation>(L)->SetLayer(static_cast<unsigned>(layer), nullptr);
    } else {
        const str name = CheckString(L, 2);
        Self<TAnimation>(L)->SetLayer(static_cast<unsigned>(layer), name.c_str());
    }
    return 0;
}

int LuaLayerFrame(lua_State* L)
{
    Self<TAnimation>(L)->SetLayerFrame(CheckInt(L, 1), CheckInt(L, 2));
    return 0;
}

int LuaClearLayer(lua_State* L)
{
    Self<TAnimation>(L)->ClearLayer(CheckInt(L, 1));
    return 0;
}

int LuaLayerAlpha(lua_State* L)
{
    Self<TAnimation>(L)->SetLayerAlpha(CheckInt(L, 1), CheckNumber(L, 2));
    return 0;
}

// ---- scrobs, bound to the layer info

int LuaAllocateScrobs(lua_State* L)
{
    Self<LayeredAnimationInfo>(L)->AllocateScrobs(CheckInt(L, 1));
    return 0;
}

int LuaSetScrob(lua_State* L)
{
    const int id = CheckInt(L, 1);
    const int depth = CheckInt(L, 2);
    const int bitmap = CheckInt(L, 3);
    const float width = static_cast<float>(CheckNumber(L, 4));
    const float height = static_cast<float>(CheckNumber(L, 5));
    Self<LayeredAnimationInfo>(L)->SetScrob(id, depth, bitmap, width, height);
    return 0;
}

int LuaMoveScrob(lua_State* L)
{
    const int id = CheckInt(L, 1);
    qm::lua::CheckTable(L, 2);
    Self<LayeredAnimationInfo>(L)->MoveScrob(id, L, 2);
    return 0;
}

int LuaSetScrobAlpha(lua_State* L)
{
    Self<LayeredAnimationInfo>(L)->SetScrobAlpha(CheckInt(L, 1), static_cast<float>(CheckNumber(L, 2)));
    return 0;
}

int LuaRemoveScrob(lua_State* L)
{
    Self<LayeredAnimationInfo>(L)->RemoveScrob(CheckInt(L, 1));
    return 0;
}

int LuaRemoveAll(lua_State* L)
{
    Self<LayeredAnimationInfo>(L)->RemoveAll();
    return 0;
}

}  // namespace

namespace qm {

void PublishAnimationFunctions(lua_State* L, TAnimation* animation)
{
    static const qm::lua::TBinding kAnimationFunctions[] = {
        {"SetCurrentFrame", LuaSetCurrentFrame},
        {"Spin", LuaSpin},
        {"WaitLuaNextFrame", LuaWaitLuaNextFrame},
        {"SpawnChild", LuaSpawnChild},
        {"Halt", LuaHalt},
        {"ChildIsPlaying", LuaChildIsPlaying},
        {"Load", LuaLoad},
        {"SetAlpha", LuaSetAlpha},
        {"Random", LuaRandom},
        {"layered", LuaLayered},
    };
    static const qm::lua::TBinding kDataFunctions[] = {
        {"Done", LuaDone},
        {"GetScript", LuaGetScript},
        {"StopChildren", LuaStopChildren},
    };
    // Everything dies with the animation, so all of it hangs on its lifeline.
    const TLifeline& life = animation->Lifeline();
    PublishAll(L, kAnimationFunctions, "TAnimation", animation, life);
    PublishAll(L, kDataFunctions, "TAnimation", animation->GetData(), life);
}

void PublishLayeredFunctions(lua_State* L, TAnimation* animation)
{
    static const qm::lua::TBinding kLayerFunctions[] = {
        {"reference", LuaReference},
        {"setLayer", LuaSetLayer},
        {"lframe", LuaLayerFrame},
        {"clearLayer", LuaClearLayer},
        {"lalpha", LuaLayerAlpha},
    };
    static const qm::lua::TBinding kScrobFunctions[] = {
        {"AllocateScrobs", LuaAllocateScrobs},
        {"SetScrob", LuaSetScrob},
        {"MoveScrob", LuaMoveScrob},
        {"SetScrobAlpha", LuaSetScrobAlpha},
        {"RemoveScrob", LuaRemoveScrob},
        {"RemoveAll", LuaRemoveAll},
    };
    const TLifeline& life = animation->Lifeline();
    PublishAll(L, kLayerFunctions, "TAnimation", animation, life);
    Publish(L, "AddBitmap", "TAnimation", animation->GetData(), life, LuaAddBitmap);
    PublishAll(L, kScrobFunctions, "TAnimation", animation->GetData()->LayerInfo(), life);
}

}  // namespace qm
