#include "game/screens/linktext.h"

#include "game/screens/cursor.h"

namespace {

TWindow* CreateLinkText() { return new TLinkText; }

}  // namespace

TClassId TLinkText::ClassId()
{
    static const TClassId id = RegisterCreatable(&CreateLinkText);
    return id;
}

TLinkText::TLinkText() : TText(false) {}

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
