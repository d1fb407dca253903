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
using qm::lua::Method;
using qm::lua::Publish;
using qm::lua::PublishAll;
using qm::lua::Self;
using LayeredAnimationInfo = TAnimationData::LayeredAnimationInfo;

namespace {

// The four that read more than plain arguments; every other function is the
// method it names (qm::lua::Method).

// With no delay (or nil) the script waits until Pause(false).
int LuaWaitLuaNextFrame(lua_State* L)
{
    if (!lua_isnoneornil(L, 1))
        CheckNumber(L, 1);
    return Self<TAnimation>(L)->WaitLuaNextFrame(L);
}

int LuaAddBitmap(lua_State* L)
{
    const int id = CheckInt(L, 1);
    const str image = CheckString(L, 2);
    const str mask = qm::lua::OptString(L, 3, "");
    Self<TAnimationData>(L)->AddBitmap(id, image, mask);
    return 0;
}

// A layer index is never negative; no name (or nil) empties the layer.
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

int LuaMoveScrob(lua_State* L)
{
    const int id = CheckInt(L, 1);
    qm::lua::CheckTable(L, 2);
    Self<LayeredAnimationInfo>(L)->MoveScrob(id, L, 2);
    return 0;
}

}  // namespace

namespace qm {

void PublishAnimationFunctions(lua_State* L, TAnimation* animation)
{
    static const qm::lua::TBinding kAnimationFunctions[] = {
        {"SetCurrentFrame", Method<&TAnimation::SetCurrentFrame>},
        {"Spin", Method<&TAnimation::Spin>},
        {"WaitLuaNextFrame", LuaWaitLuaNextFrame},
        {"SpawnChild", Method<&TAnimation::SpawnChild>},
        {"Halt", Method<&TAnimation::Halt>},
        {"ChildIsPlaying", Method<&TAnimation::ChildIsPlaying>},
        {"Load", Method<&TAnimation::InitXML>},
        {"SetAlpha", Method<&TAnimation::SetAlpha>},
        {"Random", Method<&TAnimation::Random>},
        {"layered", Method<&TAnimation::InitLayered>},
    };
    static const qm::lua::TBinding kDataFunctions[] = {
        {"Done", Method<&TAnimationData::Done>},
        {"GetScript", Method<&TAnimationData::GetScript>},
        {"StopChildren", Method<&TAnimationData::StopChildren>},
    };
    // Everything dies with the animation, so all of it hangs on its lifeline.
    const TLifeline& life = animation->Lifeline();
    PublishAll(L, kAnimationFunctions, "TAnimation", animation, life);
    PublishAll(L, kDataFunctions, "TAnimation", animation->GetData(), life);
}

void PublishLayeredFunctions(lua_State* L, TAnimation* animation)
{
    static const qm::lua::TBinding kLayerFunctions[] = {
        {"reference", Method<&TAnimation::ReferenceImage>},
        {"setLayer", LuaSetLayer},
        {"lframe", Method<&TAnimation::SetLayerFrame>},
        {"clearLayer", Method<&TAnimation::ClearLayer>},
        {"lalpha", Method<&TAnimation::SetLayerAlpha>},
    };
    static const qm::lua::TBinding kScrobFunctions[] = {
        {"AllocateScrobs", Method<&LayeredAnimationInfo::AllocateScrobs>},
        {"SetScrob", Method<&LayeredAnimationInfo::SetScrob>},
        {"MoveScrob", LuaMoveScrob},
        {"SetScrobAlpha", Method<&LayeredAnimationInfo::SetScrobAlpha>},
        {"RemoveScrob", Method<&LayeredAnimationInfo::RemoveScrob>},
        {"RemoveAll", Method<&LayeredAnimationInfo::RemoveAll>},
    };
    const TLifeline& life = animation->Lifeline();
    PublishAll(L, kLayerFunctions, "TAnimation", animation, life);
    Publish(L, "AddBitmap", "TAnimation", animation->GetData(), life, LuaAddBitmap);
    PublishAll(L, kScrobFunctions, "TAnimation", animation->GetData()->LayerInfo(), life);
}

}  // namespace qm
