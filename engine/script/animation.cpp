#include "engine/script/animation.h"

#include "engine/base/asset.h"
#include "engine/base/clock.h"
#include "engine/base/debuglog.h"
#include "engine/base/timesource.h"
#include "engine/platform/platform.h"
#include "engine/render/animatedtexture.h"
#include "engine/script/animationlayers.h"
#include "engine/script/luabind.h"
#include "engine/script/scriptcode.h"
#include "engine/script/script.h"

#include "lauxlib.h"

#include <cstdint>

extern const unsigned char kAnimationScriptChunk[];
extern const std::size_t kAnimationScriptChunkSize;

namespace qm {
// animation_lua.cpp
void PublishAnimationFunctions(lua_State* L, TAnimation* animation);
void PublishLayeredFunctions(lua_State* L, TAnimation* animation);
}  // namespace qm

namespace {

// The script task of an animation. It tells the animation when it is
// deleted, so an animation never holds a task that the task list (or the
// platform's teardown) has already deleted.
class TAnimationScript : public TScript {
public:
    explicit TAnimationScript(TAnimationData* owner) : mOwner(owner) {}
    ~TAnimationScript() override { mOwner->ScriptDeleted(this); }

private:
    void OnScriptFailed() override { mOwner->ScriptFailed(this); }

    TAnimationData* mOwner;
};

str ChunkName(const TAnimatedTexture& texture)
{
    return str("@") + texture.GetName();
}

std::uint32_t CurrentTime(TClock* clock)
{
    if (clock)
        return clock->GetTime();
    if (TPlatform* platform = TPlatform::GetInstance())
        return platform->Timer();
    return qm::Timer();
}

bool EndsWith(const str& text, const char* suffix)
{
    const std::string s = text.c_str();
    const std::string end = suffix;
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

bool Contains(const str& text, const char* part)
{
    return std::string(text.c_str()).find(part) != std::string::npos;
}

}  // namespace

// ---- TAnimationData ------------------------------------------------------------

TAnimationData::TAnimationData() = default;

TAnimationData::~TAnimationData()
{
    mRetiredScript.reset();
    if (mScript) {
        TScript* script = mScript;
        TPlatform* platform = TPlatform::GetInstance();
        const bool orphaned = platform && platform->OrphanTask(script);
        // A task still listed somewhere we cannot reach is left to its list;
        // one we never gave away, or just took back, is ours to delete.
        if (orphaned || !mScriptAdopted)
            delete script;
        mScript = nullptr;
    }
    mChildren.clear();
    mLayerInfo.reset();
}

void TAnimationData::ScriptDeleted(const TScript* script)
{
    if (mScript == script)
        mScript = nullptr;
}

void TAnimationData::ScriptFailed(const TScript* script)
{
    // Only the animation's own script: a ".lua" one is a file of its own.
    // Its error named the file (the chunk is named after it); later ones of
    // the same file are not logged again: it goes on running, quietly.
    if (script != mScript || !mTexture || !mRunningTextureScript)
        return;
    // One the watchdog stopped ran without end: played again, it would hold
    // the game again, for seconds at every play.
    if (script->WatchdogStoppedRun()) {
        WriteDbg("Animation %s: its script was stopped by the watchdog; the animation plays without it",
                 mTexture->GetName().c_str());
        mTexture->SetScriptVerdict(TAnimatedTexture::EScriptVerdict::kStopped);
    } else {
        mTexture->SetScriptVerdict(TAnimatedTexture::EScriptVerdict::kFailed);
    }
    mScript->SetQuiet(true);
}

bool TAnimationData::TextureScriptUsable(lua_State* L)
{
    using EVerdict = TAnimatedTexture::EScriptVerdict;
    if (mTexture->GetScriptVerdict() != EVerdict::kUnchecked)
        return mTexture->GetScriptVerdict() != EVerdict::kDoesNotCompile &&
               mTexture->GetScriptVerdict() != EVerdict::kStopped;
    // Compiled once, not at every play; one that does not compile plays
    // without it, and is named once.
    const str text = mTexture->GetScript();
    const int top = lua_gettop(L);
    const bool compiles = luaL_loadbuffer(L, text.c_str(), static_cast<size_t>(text.length()),
                                          ChunkName(*mTexture).c_str()) == 0;
    if (!compiles && TAssetManager::FirstReportOf(str("animation script:") + mTexture->GetName())) {
        const char* message = lua_tostring(L, -1);
        WriteDbg("Animation %s: its script does not compile (%s); the animation plays without it",
                 mTexture->GetName().c_str(), message ? message : "no message");
    }
    mTexture->SetScriptVerdict(compiles ? EVerdict::kCompiles : EVerdict::kDoesNotCompile);
    lua_settop(L, top);
    return compiles;
}

void TAnimationData::RetireScript(bool pause)
{
    if (mRetiredScript && Disposable(*mRetiredScript))
        mRetiredScript.reset();
    if (!mScript)
        return;
    TScript* script = mScript;
    mScript = nullptr;
    TPlatform* platform = TPlatform::GetInstance();
    const bool orphaned = platform && platform->OrphanTask(script);
    if (!orphaned && mScriptAdopted)
        return;  // on a task list we cannot reach: it stays that list's
    // Nothing resumes a script off the task list: its interpreter goes now
    // (not at the next play, or every animation played twice would hold
    // two), unless it must outlive this call.
    std::unique_ptr<TScript> retired(script);
    if (Disposable(*retired))
        return;
    if (pause)
        retired->Pause();
    mRetiredScript = std::move(retired);
}

bool TAnimationData::Disposable(const TScript& script)
{
    // A script running Lua is on the stack below us (its own `done`); one
    // still on the task list (orphaned during a pass, unlinked when the pass
    // ends) must outlive the pass, or a new task at its address would be
    // taken for it.
    if (script.IsRunningLua())
        return false;
    TPlatform* platform = TPlatform::GetInstance();
    return !platform || !platform->GetTaskList()->Contains(&script);
}

void TAnimationData::SetScript(std::unique_ptr<TScript> script)
{
    mScript = script.release();
    mScript->SetClock(mClock);
    if (TPlatform* platform = TPlatform::GetInstance()) {
        platform->AdoptTask(mScript);
        mScriptAdopted = true;
    } else {
        mScriptAdopted = false;  // no task list: nothing runs it, we own it
    }
}

void TAnimationData::Done()
{
    RetireScript(true);
    mTexture.reset();
}

void TAnimationData::StopChildren()
{
    mChildren.clear();
}

str TAnimationData::GetScript() const
{
    return mTexture ? mTexture->GetScript() : str();
}

TAnimationData::LayeredAnimationInfo* TAnimationData::LayerInfo()
{
    if (!mLayerInfo)
        mLayerInfo = std::make_unique<LayeredAnimationInfo>();
    return mLayerInfo.get();
}

void TAnimationData::AddBitmap(int id, str image, str mask)
{
    LayeredAnimationInfo* info = LayerInfo();
    if (mask.length() > 0)
        info->mBitmaps[id] = TTexture::GetMerged(mFolder + image, mFolder + mask, 0);
    else
        info->mBitmaps[id] = TTexture::Get(mFolder + image, 0);
}

void TAnimationData::DrawChildren(float x, float y, float alpha, float scale, float rotation, int flags)
{
    for (auto it = mChildren.begin(); it != mChildren.end();) {
        if (it->animation.IsDone()) {
            it = mChildren.erase(it);
            continue;
        }
        it->animation.Draw(x + it->offset.x, y + it->offset.y, alpha * mAlpha, scale, rotation, flags);
        ++it;
    }
    if (mLayerInfo) {
        mLayerInfo->DrawLayers(x, y, alpha, scale, rotation, flags);
        mLayerInfo->DrawScrobs(x, y);
    }
}

// ---- TAnimation: set-up and scripts ---------------------------------------------

TAnimation::TAnimation() : mData(std::make_unique<TAnimationData>()) {}

TAnimation::~TAnimation() = default;

bool TAnimation::Init(str name, str image, str mask)
{
    mData->mTexture = TAnimatedTexture::Get(name, image, mask);
    return mData->mTexture != nullptr;
}

bool TAnimation::InitXML(str name, str image, str mask)
{
    return Init(name, image, mask);
}

void TAnimation::NewScript()
{
    mData->RetireScript(false);
    mData->mAlpha = 1.0f;
    mData->SetScript(std::make_unique<TAnimationScript>(mData.get()));

    lua_State* L = mData->mScript->GetState();
    const int top = lua_gettop(L);
    if (lua_dobuffer(L, reinterpret_cast<const char*>(kAnimationScriptChunk), kAnimationScriptChunkSize,
                     "ganimationscript") != 0)
        WriteDbg("The animation script library did not load: %s",
                 lua_tostring(L, -1) ? lua_tostring(L, -1) : "(no message)");
    lua_settop(L, top);
    PublishFunctions();
}

void TAnimation::PublishFunctions()
{
    qm::PublishAnimationFunctions(mData->mScript->GetState(), this);
}

void TAnimation::InitLayered()
{
    mData->LayerInfo();
    if (mData->mScript)
        qm::PublishLayeredFunctions(mData->mScript->GetState(), this);
}

bool TAnimation::PlayScript(str script, str function)
{
    if (!mData->mScript)
        NewScript();
    TScript* running = mData->mScript;
    running->SetQuiet(false);

    if (EndsWith(script, ".lua")) {
        std::string name = script.c_str();
        if (name.find_first_of("/\\") != std::string::npos) {
            for (char& c : name)
                if (c == '\\')
                    c = '/';
            mData->mFolder = str(name.substr(0, name.rfind('/') + 1).c_str());
        }
        mData->mScriptCode = TScriptCode::Get(str(name.c_str()), "");
        if (!mData->mScriptCode) {
            WriteDbg("Animation script %s: no code", name.c_str());
            return false;
        }
        running->DoLuaString(str(mData->mScriptCode->GetBytes(), mData->mScriptCode->GetSize()),
                             mData->mScriptCode->GetSize());
        script = str();
    }
    if (function.length() > 0) {
        // The texture's own script is named after its file in every error.
        const str text = script + "\nreturn " + function;
        mData->mRunningTextureScript =
            mData->mTexture && script.length() > 0 && script == mData->mTexture->GetScript();
        if (mData->mRunningTextureScript) {
            running->SetQuiet(mData->mTexture->GetScriptVerdict() == TAnimatedTexture::EScriptVerdict::kFailed);
            running->DoLuaStringCompiledOnce(text, ChunkName(*mData->mTexture).c_str());
        } else {
            running->DoLuaStringCompiledOnce(text);
        }
    }

    mData->mLastFunction = function;
    mData->mStartTime = CurrentTime(mData->mClock);
    return true;
}

void TAnimation::Play(str function, bool keepScript)
{
    if (mData->mTexture) {
        if (!keepScript) {
            mData->RetireScript(true);
            mData->mAlpha = 1.0f;
        }
        if (!mData->mScript)
            NewScript();
        if (!mData->TextureScriptUsable(mData->mScript->GetState()))
            return;
        PlayScript(mData->mTexture->GetScript(), function);
    } else if (mData->mScript) {
        mData->mScript->DoLuaString(str("return ") + function);
    }
}

void TAnimation::Stop()
{
    mData->RetireScript(false);
    mData->mAlpha = 1.0f;
    mData->StopChildren();
}

void TAnimation::Pause(bool pause)
{
    if (TScript* script = mData->mScript) {
        if (pause)
            script->Pause();
        else if (script->CoroutineActive())  // nothing to resume otherwise
            script->Resume(0);
    }
    for (auto& child : mData->mChildren)
        child.animation.Pause(pause);
}

void TAnimation::Halt()
{
    if (mData->mScript)
        mData->mScript->Pause();
    for (auto& child : mData->mChildren)
        child.animation.Pause(true);
}

bool TAnimation::IsPlaying() const
{
    if (mData->mScript && mData->mScript->CoroutineActive())
        return true;
    for (const auto& child : mData->mChildren)
        if (child.animation.IsPlaying())
            return true;
    return false;
}

bool TAnimation::IsDone() const
{
    if (mData->mScript)
        return false;
    for (const auto& child : mData->mChildren)
        if (!child.animation.IsDone())
            return false;
    return true;
}

bool TAnimation::ChildIsPlaying(long id) const
{
    for (const auto& child : mData->mChildren)
        if (child.id == id)
            return child.animation.IsPlaying();
    return false;
}

void TAnimation::SetClock(TClock* clock)
{
    mData->mClock = clock;
    if (mData->mScript)
        mData->mScript->SetClock(clock);
}

TClock* TAnimation::GetClock() const
{
    return mData->mClock;
}

int TAnimation::WaitLuaNextFrame(lua_State* L)
{
    // Only the running script's task is timed; a retired script that goes on
    // after `done` just yields, and nothing resumes it.
    TScript* script = mData->mScript;
    if (script && script->GetState() == L) {
        if (lua_gettop(L) == 1 && lua_type(L, 1) == LUA_TNUMBER)
            script->SetDelay(qm::lua::CheckInt(L, 1), false, true, false);  // held within int, NaN is 0
        else
            script->Pause();
    }
    if (!lua_canyield(L))
        return 0;
    return lua_yield(L, 0);
}

// ---- TAnimation: state --------------------------------------------------------

int TAnimation::GetCurrentFrame() const
{
    return mData->mCurrentFrame;
}

int TAnimation::GetNumFrames() const
{
    return mData->mTexture ? mData->mTexture->GetNumFrames() : 0;
}

std::shared_ptr<TAnimatedTexture> TAnimation::GetAnimatedTexture() const
{
    return mData->mTexture;
}

str TAnimation::GetLastFunction() const
{
    return mData->mLastFunction;
}

void TAnimation::SetCurrentFrame(int frame)
{
    if (frame < -1 || frame >= GetNumFrames())
        return;
    mData->mCurrentFrame = frame;
    if (mData->mTexture)
        mData->mTexture->SetCurrentFrame(frame);
}

void TAnimation::SetAlpha(float alpha)
{
    mData->mAlpha = alpha;
}

float TAnimation::GetAlpha() const
{
    return mData->mAlpha;
}

void TAnimation::Spin(float, float, float) {}

int TAnimation::Random(int lo, int hi)
{
    if (hi <= lo)
        return lo;
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform)
        return lo;
    const std::int64_t range = static_cast<std::int64_t>(hi) - lo;
    return static_cast<int>(lo + platform->Rand() % range);
}

long TAnimation::SpawnChild(str script, str function, int x, int y, str image, str mask)
{
    TAnimationData::ChildRecord& child = mData->mChildren.emplace_back();
    child.id = ++mData->mLastChildId;
    child.animation.SetClock(mData->mClock);
    child.offset = TVec2(static_cast<float>(x), static_cast<float>(y));
    if (Contains(script, ".lua")) {
        child.animation.PlayScript(script, function);
    } else {
        child.animation.Init(script, image, mask);
        child.animation.Play(function, false);
    }
    return child.id;
}

// ---- TAnimation: drawing --------------------------------------------------------

void TAnimation::DrawOwnTexture(TAnimatedTextureCache* cache, float x, float y, float alpha, float scale,
                                float rotation, int flags)
{
    const std::shared_ptr<TAnimatedTexture>& texture = mData->mTexture;
    if (!texture)
        return;
    texture->SetCurrentFrame(mData->mCurrentFrame);
    if (cache)
        texture->DrawSprite(cache, TVec2(x, y), alpha, scale, rotation, nullptr, flags);
    else
        texture->DrawSprite(x, y, alpha, scale, rotation, flags);
}

void TAnimation::UpdateReferencePoint(float x, float y)
{
    const auto* info = mData->LayerInfoIfAny();
    if (!info || !info->HasScrobsInUse())
        return;
    const TAnimationData::Scrob* first = info->FirstScrob();
    mReferenceX = static_cast<int>(x + first->translation.x);
    mReferenceY = static_cast<int>(y + first->translation.y);
}

void TAnimation::Draw(float x, float y, float alpha, float scale, float rotation, int flags)
{
    DrawOwnTexture(nullptr, x, y, alpha * mData->mAlpha, scale, rotation, flags);
    mData->DrawChildren(x, y, alpha * mData->mAlpha, scale, rotation, flags);
    UpdateReferencePoint(x, y);
}

void TAnimation::Draw(TAnimatedTextureCache* cache, float x, float y, float alpha, float scale, float rotation,
                      int flags)
{
    DrawOwnTexture(cache, x, y, alpha * mData->mAlpha, scale, rotation, flags);
    mData->DrawChildren(x, y, alpha * mData->mAlpha, scale, rotation, flags);
    UpdateReferencePoint(x, y);
}
