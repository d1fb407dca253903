#include "engine/window/text.h"

#include "engine/base/debuglog.h"
#include "engine/text/textgraphic.h"
#include "engine/window/button.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowmanager.h"

namespace {

TWindow* CreateText()
{
    return new TText(false);
}

}  // namespace

TClassId TText::ClassId()
{
    static const TClassId id = RegisterCreatable(&CreateText);
    return id;
}

TText::TText(bool background)
{
    if (background)
        TWindow::AddFlags(kBackgroundLayer);
}

TText::~TText()
{
    TTextGraphic::Destroy(mGraphic);
}

bool TText::Create(str text, int width, int height, int justification, const char* font, int size,
                   const TColor& colour)
{
    if (width == 0 || height == 0) {
        if (width == 0)
            WriteDbg("ASSERT(%s) FAILED!! %s, %d", "w", "src/core/text", __LINE__);
        if (height == 0)
            WriteDbg("ASSERT(%s) FAILED!! %s, %d", "h", "src/core/text", __LINE__);
        return false;
    }
    // A second Create replaces the layout rather than leaking it.
    TTextGraphic::Destroy(mGraphic);
    mGraphic = TTextGraphic::Create(text, width, height, justification, font ? font : "", size, colour);
    if (mGraphic && mOutlineSize != 0)
        mGraphic->SetOutline(mOutlineSize, mOutlineColour);
    SetWindowSize(width, height);
    SetText(text);
    return mGraphic != nullptr;
}

void TText::SetOutline(float size, const TColor& colour)
{
    mOutlineSize = size;
    mOutlineColour = colour;
    if (mGraphic) {
        mGraphic->SetOutline(size, colour);
        InvalidateRect(nullptr);
    }
}

void TText::Draw()
{
    if (!mGraphic)
        return;
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform)
        return;
    platform->Begin2d();
    TRect r;
    GetWindowRect(&r);
    mGraphic->Draw(r, mScale, mLineSpacing, mAlpha);
    platform->End2d();
}

void TText::SetText(str text)
{
    if (!mGraphic || mGraphic->GetText() == text)
        return;
    if (mGraphic->GetText().length() != 0)
        InvalidateRect(nullptr);
    mGraphic->SetText(text);
}

str TText::GetText()
{
    return mGraphic ? mGraphic->GetText() : str();
}

void TText::GetTextBounds(TRect* r) const
{
    if (mGraphic && r)
        mGraphic->GetTextBounds(r);
}

int TText::GetLineCount() const
{
    return mGraphic ? mGraphic->GetLineCount() : 0;
}

void TText::SetRotation(float degrees, int centreX, int centreY)
{
    if (mGraphic)
        mGraphic->SetRotation(degrees, centreX, centreY);
}

void TText::SetScroll(float fraction, float)
{
    if (!mGraphic)
        return;
    const int line = static_cast<int>((mGraphic->GetMaxScroll(mScale, mLineSpacing) + 0.5f) * fraction);
    if (line == mGraphic->GetLineCount())
        return;
    mGraphic->mScrollLine = line;
    InvalidateRect(nullptr);
}

bool TText::OnDirtyRect(TRect* r)
{
    if (!r)
        return false;
    GetClientRect(r);
    return true;
}

bool TText::OnMouseDown(const TPoint& p)
{
    if (!mGraphic)
        return false;
    mPressedLink = mGraphic->Pick(p, mLineSpacing);
    return mPressedLink.length() != 0;
}

bool TText::OnMouseUp(const TPoint& p)
{
    if (mPressedLink.length() == 0)
        return false;
    const str link = mPressedLink;
    mPressedLink = str();
    if (!mGraphic || mGraphic->Pick(p, mLineSpacing) != link)
        return true;
    TModalWindow* modal = FindParentModal();
    TWindow* target = modal ? modal->GetChildWindow(link, -1) : nullptr;
    if (!target)
        WriteDbg("ERROR: Command window %s not found", link.c_str());
    else if (TButton* button = ::GetCast<TButton>(target))
        button->DoCommand();
    else
        WriteDbg("ERROR: Command window %s not a derived class of TButton", link.c_str());
    return true;
}

bool TText::OnMouseMove(const TPoint& p)
{
    if (!mGraphic || !mGraphic->Rollover(&p, mLineSpacing))
        return false;
    InvalidateRect(nullptr);
    if (TWindowManager* manager = TWindowManager::GetInstance())
        manager->SetCapture(this);
    return true;
}

bool TText::OnMouseLeave()
{
    if (mGraphic) {
        mGraphic->Rollover(nullptr, 0);
        InvalidateRect(nullptr);
    }
    if (TWindowManager* manager = TWindowManager::GetInstance())
        manager->ReleaseCapture(this);
    return true;
}
