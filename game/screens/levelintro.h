// The level intro ("LevelIntro", built by scripts/levelintro.lua as
// "levelintrowin"): the level's text, goal and expert targets and its doodle
// ("Doodle", TLevelIntroDoodle). The "letsplay" button slides the panel
// "introbackground" away, which closes the intro's modal window.
#pragma once

#include "engine/base/str.h"
#include "engine/window/window.h"
#include "game/screens/scriptedwindow.h"

#include <memory>

class TTexture;

class TLevelIntro : public TScriptedWindow<TLevelIntro> {
public:
    static const contract::TScreenSpec kContract;

    // mode 0 career, 1 endless.
    void SetupText(int mode, bool tutorial, const str& text, int goal, int expert);
    void SetDoodle(const str& file);
    bool OnMessage(TMessage* message) override;

private:

    bool mClosing = false;
};

class TLevelIntroDoodle : public TScriptedWindow<TLevelIntroDoodle> {
public:
    static const contract::TScreenSpec kContract;

    static constexpr float kMaxHeight = 125;

    void SetDoodle(const str& file);
    // 125 / height for pictures taller than 125 px, else 1.
    float Scale() const;
    void Draw() override;

private:
    std::shared_ptr<TTexture> mPicture;
};
