// TTextDropButton: the game's button (factory "_button"). Its label drops by
// an offset while it is pressed, it can blink to draw the eye, and it shows
// the pointing-hand cursor while the mouse is over it.
#pragma once

#include "engine/window/button.h"
#include "game/screens/scriptedwindow.h"

class TWindowStyle;

class TTextDropButton : public TScriptedWindow<TTextDropButton, TButton> {
public:
    static const contract::TScreenSpec kContract;
    static TWindow* DynamicCreate();

    explicit TTextDropButton(EButtonType type);
    ~TTextDropButton() override;

    void SetOffsets(int x, int y)
    {
        mXOffset = x;
        mYOffset = y;
    }
    void SetFlash(bool flash) { mFlash = flash; }
    void SetPassMessages(bool pass) { mPassMessages = pass; }
    bool IsFlashing() const { return mFlash; }

    // Stops blinking and shows the current look and the label.
    void DisableFlash();
    // Moves the label down by the offsets (true) or back (false), once.
    void OffsetText(bool dropped);
    // True hides the looks and the label; false shows the current state's
    // look and the label.
    void HideChildren(bool hide);

    bool Init() override;
    void Draw() override;
    bool OnTaskAnimate() override;
    bool OnMouseMove(const TPoint& p) override;
    void StateUpdate(EMouseState newState, EMouseState oldState) override;

private:
    bool IsShown() const;

    int mXOffset = 0;
    int mYOffset = 0;
    bool mTextDropped = false;
    bool mSetCursor = false;
    bool mFlash = false;
    bool mPassMessages = false;
};

class TTextDropButtonFactory : public TWindowFactory {
public:
    // Style keys: "type", "xoffset", "yoffset", "flash", "passmessages".
    TWindow* Create(TWindowStyle* style) override;
};
