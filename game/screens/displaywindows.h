// Three small windows the screen scripts place by type name, each sizing
// itself from what it shows: "QuessaWindow" (the heroine in her clothing),
// "SpriteWindow" (one image), "AnimWindow" (one animation).
#pragma once

#include "engine/base/str.h"
#include "engine/base/vec.h"
#include "engine/window/window.h"
#include "game/screens/scriptedwindow.h"

#include <memory>

class IHeroine;
class TAnimation;
class TTexture;

class TQuessaWindow : public TScriptedWindow<TQuessaWindow> {
public:
    static const contract::TScreenSpec kContract;

    TQuessaWindow();
    ~TQuessaWindow() override;

    void PostInit() override;
    void Draw() override;
    bool OnTaskAnimate() override;

    bool HasHeroine() const { return mQuessa != nullptr; }

private:
    std::unique_ptr<IHeroine> mQuessa;  // none when the floor's figure is not plugged in
};

class TSpriteWindow : public TScriptedWindow<TSpriteWindow> {
public:
    static const contract::TScreenSpec kContract;

    void PostInit() override;
    void Draw() override;
    bool OnDirtyRect(TRect* r) override;

    const std::shared_ptr<TTexture>& GetImage() const { return mImage; }
    int GetSpriteFlags() const { return mSpriteFlags; }

private:
    std::shared_ptr<TTexture> mImage;
    int mSpriteFlags = 0;  // kept for the scripts; nothing reads it
    float mScaleX = 1.0f;
    float mScaleY = 1.0f;
};

class TAnimWindow : public TScriptedWindow<TAnimWindow> {
public:
    static const contract::TScreenSpec kContract;

    TAnimWindow();
    ~TAnimWindow() override;

    void PostInit() override;
    void Draw() override;
    bool OnTaskAnimate() override;

    TAnimation& GetAnimation() { return *mAnimation; }

private:
    std::unique_ptr<TAnimation> mAnimation;
    str mPalette;
    TVec2 mDrawPoint{0.0f, 0.0f};
    bool mMirrored = false;
};

