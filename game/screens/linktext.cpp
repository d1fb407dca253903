#include "game/screens/linktext.h"

#include "game/screens/cursor.h"

// A widget made by the "linktext" factory: no screen of its own.
const contract::TScreenSpec TLinkText::kContract{"TLinkText", nullptr, nullptr, {}, {}};

TLinkText::TLinkText() : TScriptedWindow(false) {}

bool TLinkText::OnMouseMove(const TPoint& p)
{
    // The text reports a move only when the link under the pointer changed.
    if (!TText::OnMouseMove(p))
        return false;
    mOverLink = !mOverLink;
    TCursor::SetCurrent(mOverLink ? TCursor::kClick : TCursor::kArrow);
    return true;
}

bool TLinkText::OnMouseDown(const TPoint& p)
{
    const bool onLink = TText::OnMouseDown(p);
    mOverLink = onLink;
    if (onLink)
        TCursor::SetCurrent(TCursor::kClick2);
    return onLink;
}

bool TLinkText::OnMouseUp(const TPoint& p)
{
    if (!TText::OnMouseUp(p))
        return false;
    mOverLink = true;
    TCursor::SetCurrent(TCursor::kClick);
    return true;
}

bool TLinkText::OnMouseLeave()
{
    mOverLink = false;
    TCursor::SetCurrent(TCursor::kArrow);
    return TText::OnMouseLeave();
}

TWindow* TLinkTextFactory::Create(TWindowStyle*) { return new TLinkText; }
