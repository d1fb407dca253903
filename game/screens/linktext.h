// TLinkText (factory "linktext"): a text whose links show the pointing-hand
// cursor while the mouse is over one.
#pragma once

#include "engine/window/text.h"
#include "game/screens/scriptedwindow.h"

class TWindowStyle;

class TLinkText : public TScriptedWindow<TLinkText, TText> {
public:
    static const contract::TScreenSpec kContract;

    TLinkText();

    bool OnMouseDown(const TPoint& p) override;
    bool OnMouseUp(const TPoint& p) override;
    bool OnMouseMove(const TPoint& p) override;
    bool OnMouseLeave() override;

    bool IsOverLink() const { return mOverLink; }

private:
    bool mOverLink = false;
};

class TLinkTextFactory : public TWindowFactory {
public:
    TWindow* Create(TWindowStyle* style) override;
};
