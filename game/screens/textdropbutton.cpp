#include "game/screens/textdropbutton.h"

#include "engine/base/str.h"
#include "engine/platform/platform.h"
#include "engine/script/windowstyle.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowmanager.h"
#include "game/screens/cursor.h"

namespace {

constexpr int kLookCount = 4;
constexpr int kBlinkPeriodMs = 1000;
constexpr int kBlinkShownMs = 800;  // off for the rest of each second

}  // namespace

// A widget of every screen, made by the "_button" factory: no screen of its own.
const contract::TScreenSpec TTextDropButton::kContract{"TTextDropButton", nullptr, nullptr, {}, {}};

TWindow* TTextDropButton::DynamicCreate() { return new TTextDropButton(TButton::kPush); }

TTextDropButton::TTextDropButton(EButtonType type) : TScriptedWindow(type) {}

TTextDropButton::~TTextDropButton()
{
    if (mSetCursor)
        TCursor::SetCurrent(TCursor::kArrow);
}

bool TTextDropButton::Init()
{
    if (mFlash)
        StartWindowAnimation(20, true, true, false);
    if (mXOffset != 0 || mYOffset != 0)
        SetWindowSize(GetWindowWidth() + mXOffset, GetWindowHeight() + mYOffset);
    return TButton::Init();
}

bool TTextDropButton::OnTaskAnimate()
{
    InvalidateRect(nullptr);
    return true;
}

void TTextDropButton::DisableFlash()
{
    if (!mFlash)
        return;
    mFlash = false;
    HideChildren(false);
}

void TTextDropButton::OffsetText(bool dropped)
{
    if (dropped == mTextDropped)
        return;
    mTextDropped = dropped;
    TWindow* label = GetChildWindow("label", 1);
    if (!label)
        return;
    const int sign = dropped ? 1 : -1;
    const TRect& r = label->GetRect();
    label->SetWindowPos(r.x1 + sign * mXOffset, r.y1 + sign * mYOffset);
}

void TTextDropButton::HideChildren(bool hide)
{
    for (int i = 0; i < kLookCount; ++i) {
        TWindow* look = GetChildWindow(str::getFormatted("image%d", i), 1);
        if (!look)
            continue;
        if (hide || i != GetState())
            look->ClearFlags(kVisible);
        else
            look->AddFlags(kVisible);
    }
    if (TWindow* label = GetChildWindow("label", 1)) {
        if (hide)
            label->ClearFlags(kVisible);
        else
            label->AddFlags(kVisible);
    }
}

void TTextDropButton::Draw()
{
    TWindowManager* manager = TWindowManager::GetInstance();
    const bool onTop = manager && FindParentModal() == manager->GetTopModalWindow();
    if (!mFlash || !onTop) {
        TButton::Draw();
        return;
    }
    TPlatform* platform = TPlatform::GetInstance();
    const std::uint32_t now = platform ? platform->Timer() : 0;
    HideChildren(now % kBlinkPeriodMs >= kBlinkShownMs);
}

bool TTextDropButton::OnMouseMove(const TPoint& p)
{
    const bool handled = TButton::OnMouseMove(p);
    return mPassMessages ? false : handled;
}

bool TTextDropButton::IsShown() const
{
    for (const TWindow* w = this; w; w = w->GetParent()) {
        if (!w->IsVisible())
            return false;
    }
    return true;
}

void TTextDropButton::StateUpdate(EMouseState newState, EMouseState oldState)
{
    if (IsShown()) {
        switch (newState) {
        case kPressed:
            TCursor::SetCurrent(TCursor::kClick2);
            OffsetText(true);
            mSetCursor = true;
            break;
        case kRollover:
            TCursor::SetCurrent(TCursor::kClick);
            OffsetText(false);
            mSetCursor = true;
            break;
        case kNormal:
            TCursor::SetCurrent(TCursor::kArrow);
            mSetCursor = false;
            OffsetText(false);
            break;
        default:
            break;
        }
    }
    TButton::StateUpdate(newState, oldState);
}

TWindow* TTextDropButtonFactory::Create(TWindowStyle* style)
{
    auto number = [style](const char* key) { return style ? static_cast<int>(style->GetNumber(key, 0)) : 0; };
    int type = number("type");
    // An unknown type is a push button rather than a button without looks.
    if (type < TButton::kPush || type > TButton::kRadio)
        type = TButton::kPush;
    auto* button = new TTextDropButton(static_cast<TButton::EButtonType>(type));
    button->SetOffsets(number("xoffset"), number("yoffset"));
    button->SetFlash(number("flash") == 1);
    button->SetPassMessages(number("passmessages") == 1);
    return button;
}
