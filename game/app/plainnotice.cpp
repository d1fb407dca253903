#include "game/app/plainnotice.h"

#include "engine/base/color.h"
#include "engine/base/vec.h"
#include "engine/platform/event.h"
#include "engine/platform/platform.h"
#include "engine/render/texture.h"
#include "engine/text/fontdata.h"
#include "engine/text/textgraphic.h"
#include "engine/window/text.h"

#include <utility>

namespace {

// The panel's place on the 800 x 600 screen, and the parts inside it.
constexpr TRect kPanel{120, 150, 680, 450};
constexpr TRect kTitle{140, 165, 660, 200};
constexpr TRect kBody{150, 215, 650, 370};
constexpr TRect kOk{340, 385, 460, 430};

const TColor kInk{0.1f, 0.1f, 0.12f, 1.0f};
const TColor kOkInk{1.0f, 1.0f, 1.0f, 1.0f};

}  // namespace

TPlainNotice::TPlainNotice(str title, str body, std::function<void()> dismissed)
    : mTitle(std::move(title)), mBody(std::move(body)), mOnDismiss(std::move(dismissed))
{
    SetName("plainnotice");
}

TPlainNotice::~TPlainNotice() = default;

bool TPlainNotice::Init()
{
    SetWindowPos(0, 0);
    SetWindowSize(800, 600);
    mWhite = TTexture::Create(1, 1, true);
    if (TPlatform* platform = TPlatform::GetInstance(); platform && mWhite) {
        const TColor white{1.0f, 1.0f, 1.0f, 1.0f};
        platform->FillRect(0, 0, 1, 1, &white, mWhite);
    }
    AddText(mTitle, kTitle, TTextGraphic::kHAlignCenter | TTextGraphic::kVAlignCenter, 22);
    AddText(mBody, kBody, TTextGraphic::kHAlignLeft | TTextGraphic::kVAlignTop, 16);
    AddText("OK", kOk, TTextGraphic::kHAlignCenter | TTextGraphic::kVAlignCenter, 20);
    return true;
}

void TPlainNotice::AddText(const str& text, const TRect& box, int justification, int size)
{
    auto* label = new TText(false);
    AdoptChild(label, true);
    label->SetWindowPos(box.x1, box.y1);
    label->SetWindowSize(box.Width(), box.Height());
    const bool ok = box.x1 == kOk.x1 && box.y1 == kOk.y1;
    label->Create(text, box.Width(), box.Height(), justification, TFontData::kDefaultName, size, ok ? kOkInk : kInk);
}

TRect TPlainNotice::OkBox() const { return kOk; }

void TPlainNotice::Fill(const TRect& box, float r, float g, float b)
{
    TRect screen = box;
    ClientToScreen(&screen);
    TRect viewport;
    TPlatform::GetInstance()->GetViewport(&viewport);
    const TVec2 centre{(screen.x1 + screen.x2) / 2.0f - static_cast<float>(viewport.x1),
                       (screen.y1 + screen.y2) / 2.0f - static_cast<float>(viewport.y1)};
    const TColor colour{r, g, b, 1.0f};
    mWhite->DrawSprite(centre, 1.0f, static_cast<float>(box.Width()), static_cast<float>(box.Height()), 0.0f, nullptr,
                       &colour, 0, nullptr);
}

void TPlainNotice::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!mWhite || !platform || !platform->Begin2d())
        return;
    Fill(TRect{0, 0, 800, 600}, 0.13f, 0.16f, 0.24f);
    Fill(TRect{kPanel.x1 - 3, kPanel.y1 - 3, kPanel.x2 + 3, kPanel.y2 + 3}, 0.05f, 0.05f, 0.07f);
    Fill(kPanel, 0.96f, 0.94f, 0.88f);
    Fill(kOk, 0.25f, 0.35f, 0.55f);
    platform->End2d();
}

bool TPlainNotice::OnMouseDown(const TPoint& p)
{
    if (kOk.Contains(p))
        Dismiss();
    return true;
}

bool TPlainNotice::OnChar(char32_t c)
{
    if (c == static_cast<char32_t>(TEvent::kEnter) || c == static_cast<char32_t>(TEvent::kEscape) || c == U' ')
        Dismiss();
    return true;
}

void TPlainNotice::Dismiss()
{
    if (mDismissed)
        return;
    mDismissed = true;
    if (mOnDismiss)
        mOnDismiss();
}
