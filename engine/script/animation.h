// TAnimation: a sprite animation driven by a script. An animated texture
// supplies the frames; a Lua coroutine in the animation's own interpreter
// (a TScript task on the platform task list) picks the frame, the alpha and
// the child animations over time, waiting between frames with
// WaitLuaNextFrame. Game code owns the animation, calls Init and Play, and
// Draw every frame.
//
// A script task is only ever deleted when it cannot be the coroutine that is
// running: a task taken off the task list goes at once when it is not
// running Lua and no pass of the task list still names it; otherwise it is
// kept as the "retired" script until the next retirement or the destructor.
#pragma once

#include "engine/base/lifeline.h"
#include "engine/base/str.h"
#include "engine/base/vec.h"

#include "lua.h"

#include <cstdint>
#include <list>
#include <memory>

class TAnimatedTexture;
class TAnimatedTextureCache;
class TAnimationData;
class TClock;
class TScript;
class TScriptCode;

class TAnimation {
public:
    TAnimation();
    virtual ~TAnimation();
    TAnimation(const TAnimation&) = delete;
    TAnimation& operator=(const TAnimation&) = delete;

    // The animated texture of a file (with image and mask overrides); true
    // when a texture is now loaded. The two are the same.
    bool Init(str name, str image, str mask);
    bool InitXML(str name, str image, str mask);

    // Starts `function` of the texture's script: in a fresh interpreter, or
    // with keepScript in the one already there.
    void Play(str function, bool keepScript);
    // Runs a script in this animation's interpreter (made when missing): a
    // ".lua" file name, or Lua text; then starts `function` when given.
    // False when the ".lua" file gives no code.
    bool PlayScript(str script, str function);
    // Ends the script, resets the alpha and deletes every child.
    void Stop();
    // Pauses (true) or resumes at once (false) this script and every descendant's.
    void Pause(bool pause);
    // Pauses this script and every descendant's.
    void Halt();

    bool IsPlaying() const;
    // No script task here nor in any descendant.
    bool IsDone() const;
    // Whether the child SpawnChild returned `id` for is playing.
    bool ChildIsPlaying(long id) const;

    // Null: the platform timer.
    void SetClock(TClock* clock);
    TClock* GetClock() const;

    int GetCurrentFrame() const;
    int GetNumFrames() const;
    std::shared_ptr<TAnimatedTexture> GetAnimatedTexture() const;
    str GetLastFunction() const;
    // -1 (no frame) up to the frame count - 1; other values are ignored.
    void SetCurrentFrame(int frame);
    void SetAlpha(float alpha);
    float GetAlpha() const;
    // Kept for scripts that call it; it has no effect.
    void Spin(float startRPM, float endRPM, float time);
    // lo up to hi - 1 from the platform's Rand; lo when hi <= lo.
    int Random(int lo, int hi);

    // A child placed at (x, y) from this animation: a ".lua" script runs with
    // PlayScript, anything else is an animation file played with Play.
    // Returns the child's identity (for ChildIsPlaying).
    long SpawnChild(str script, str function, int x, int y, str image, str mask);

    void Draw(float x, float y, float alpha, float scale, float rotation, int flags);
    void Draw(TAnimatedTextureCache* cache, float x, float y, float alpha, float scale, float rotation, int flags);

    // ---- layers and scrobs (scripts reach them through `layered`)
    // Makes the layer info and publishes the layered functions in the running interpreter.
    void InitLayered();
    void ReferenceImage(const char* name);
    // A null name clears the layer.
    void SetLayer(unsigned layer, const char* name);
    // frame counts from 1, as scripts do.
    void SetLayerFrame(int layer, int frame);
    void ClearLayer(int layer);
    void SetLayerAlpha(int layer, double alpha);

    // Yields the calling coroutine until the next frame (Lua's WaitLuaNextFrame).
    int WaitLuaNextFrame(lua_State* L);

    TAnimationData* GetData() const { return mData.get(); }
    // What the Lua functions bound to this animation (and its data) hold.
    const TLifeline& Lifeline() const { return mLifeline; }

    // The drawing position plus the first scrob's translation, as last drawn.
    int mReferenceX = 0;
    int mReferenceY = 0;

private:
    void NewScript();
    void PublishFunctions();
    void DrawOwnTexture(TAnimatedTextureCache* cache, float x, float y, float alpha, float scale, float rotation,
                        int flags);
    void UpdateReferencePoint(float x, float y);

    std::unique_ptr<TAnimationData> mData;
    TLifeline mLifeline;  // after mData: cut before the data and its script go
};

class TAnimationData {
public:
    // A spawned animation, placed at `offset` from its parent.
    struct ChildRecord {
        long id = 0;
        TVec2 offset;
        TAnimation animation;
    };

    // Layers and scrobs (animationlayers.h).
    struct Scrob;
    struct ScrobCompare;
    class LayeredAnimationInfo;

    TAnimationData();
    ~TAnimationData();
    TAnimationData(const TAnimationData&) = delete;
    TAnimationData& operator=(const TAnimationData&) = delete;

    // Ends the script (the script's `done`) and drops the texture.
    void Done();
    void StopChildren();
    // The texture's script text (empty without a texture).
    str GetScript() const;
    // Registers a bitmap for scrobs: folder + image (with folder + mask when given).
    void AddBitmap(int id, str image, str mask);
    void DrawChildren(float x, float y, float alpha, float scale, float rotation, int flags);

    // Takes the running script off the task list and deletes it, or, when it
    // cannot go yet (it is running Lua, or its task list is in a pass), holds
    // it as the retired one (paused when asked).
    void RetireScript(bool pause);
    // Adopts a fresh interpreter as the running script.
    void SetScript(std::unique_ptr<TScript> script);
    // Called by a script task as it is deleted, wherever that happens.
    void ScriptDeleted(const TScript* script);
    // Called by a script task whose coroutine failed.
    void ScriptFailed(const TScript* script);
    // Whether the texture's own script may run: it compiles and has not
    // failed before (a broken one is named in the log the first time).
    bool TextureScriptUsable(lua_State* L);
    // The layer info, made on first use.
    LayeredAnimationInfo* LayerInfo();
    LayeredAnimationInfo* LayerInfoIfAny() const { return mLayerInfo.get(); }

    int mCurrentFrame = 0;
    std::shared_ptr<TAnimatedTexture> mTexture;
    TClock* mClock = nullptr;                  // not owned
    TScript* mScript = nullptr;                // owned by the task list (or by us when never adopted)
    bool mScriptAdopted = false;               // mScript is on the platform task list
    std::shared_ptr<TScriptCode> mScriptCode;  // of the last ".lua" script
    str mFolder;                               // of the last ".lua" script, ending in "/"
    std::unique_ptr<TScript> mRetiredScript;
    float mAlpha = 1.0f;
    std::list<ChildRecord> mChildren;
    long mLastChildId = 0;
    str mLastFunction;
    bool mRunningTextureScript = false;  // the running script came from the texture's file
    std::uint32_t mStartTime = 0;

private:
    // Whether a script taken off the task list may be deleted now.
    static bool Disposable(const TScript& script);

    std::unique_ptr<LayeredAnimationInfo> mLayerInfo;
};
