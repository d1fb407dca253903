// Black covers over the whole 800 x 600 screen. TScreenFade ("ScreenFade")
// is as dark as a script last asked through the Lua global SetFade;
// TTimedFade ("TimedFade") starts black, clears over its definition's
// "length" seconds and then closes the modal window that holds it.
#pragma once

#include "engine/window/window.h"
#include "game/screens/texturerefresh.h"
#include "game/screens/scriptedwindow.h"

#include <cstdint>
#include <memory>

class TTexture;

class TScreenFade : public TScriptedWindow<TScreenFade> {
public:
    static const contract::TScreenSpec kContract;

    TScreenFade();
    ~TScreenFade() override;

    // 0 clear to 1 black; the next draw shows it.
    void SetFade(float fade);
    float GetFade() const { return mFade; }
    // Fills the fade texture with opaque black (again after a texture loss).
    void CreateFadeTexture();

    void Draw() override;
    // A fade always repaints the whole screen.
    bool OnDirtyRect(TRect* r) override;

protected:
    float mFade = 0.0f;

private:
    std::shared_ptr<TTexture> mTexture;
    std::unique_ptr<TTextureRefresh> mRefresh;
};

class TTimedFade : public TScriptedWindow<TTimedFade, TScreenFade> {
public:
    static const contract::TScreenSpec kContract;

    TTimedFade();

    void PostInit() override;
    bool OnTaskAnimate() override;

private:
    // Closes the modal window this fade belongs to, whether or not it is on top.
    void CloseOwnModal();

    float mLength = 0.0f;  // seconds
    std::uint32_t mStart = 0;
    std::uint32_t mEnd = 0;
    bool mFirstRun = true;
};

