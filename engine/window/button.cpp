#include "engine/window/button.h"

#include "engine/base/debuglog.h"
#include "engine/render/texture.h"
#include "engine/sound/sound.h"
#include "engine/window/message.h"
#include "engine/window/text.h"
#include "engine/window/windowmanager.h"
#include "engine/window/windowscripthook.h"

#include <cstring>

namespace {

TWindowManager* Manager()
{
    return TWindowManager::GetInstance();
}

TWindow* CreateButton()
{
    return new TButton(TButton::kPush);
}

// Turns off the other buttons of the radio group that `button` belongs to.
// Pass 0 finds the group's first window (the last child with the group flag
// up to the button); pass 1 walks from it to the next group start.
class TRadioButtonSpider : public TWindowSpider {
public:
    explicit TRadioButtonSpider(TButton* button) : mButton(button) {}

    void SetPass(int pass) { mPass = pass; }

    bool Process(TWindow* w) override
    {
        if (mPass == 0) {
            if (w->HasFlags(TWindow::kBeginGroup))
                mGroupStart = w;
            return w != mButton;
        }
        if (!mStarted) {
            if (w != mGroupStart)
                return true;
            mStarted = true;
        } else if (w->HasFlags(TWindow::kBeginGroup)) {
            return false;  // the next group begins
        }
        if (w != mButton)
            if (auto* other = ::GetCast<TButton>(w))
                other->SetOn(false);
        return true;
    }

    bool HasGroup() const { return mGroupStart != nullptr; }

private:
    int mPass = 0;
    bool mStarted = false;
    TWindow* mGroupStart = nullptr;
    TButton* mButton;
};

// The modal window that holds w: the first window up from w itself that is
// modal or has no parent.
TWindow* EnclosingModal(TWindow* w)
{
    while (w && !w->IsModal() && w->GetParent())
        w = w->GetParent();
    return w;
}

}  // namespace

TClassId TButton::ClassId()
{
    static const TClassId id = RegisterCreatable(&CreateButton);
    return id;
}

TButton::TButton(EButtonType type)
    : TLayeredWindow(type == kPush ? 3 : 4), mKindAndState(static_cast<uint8_t>(type & 0x0f))
{
    SetCurrentLayer(0);
}

TButton::~TButton()
{
    if (GetState() != kNormal) {
        if (TWindowManager* manager = Manager())
            manager->ReleaseCapture(this);
        // A derived button's StateUpdate is gone by now: this runs ours.
        SetState(kNormal);
    }
}

bool TButton::Init()
{
    SetState(kNormal);
    return true;
}

void TButton::StoreState(EMouseState state)
{
    mKindAndState = static_cast<uint8_t>((mKindAndState & 0x8f) | ((state & 0x07) << 4));
}

void TButton::SetState(EMouseState state)
{
    const EMouseState previous = GetState();
    StoreState(state);
    StateUpdate(state, previous);
}

void TButton::PlaySound(EMouseState state)
{
    if (state < 0 || state > 2)
        return;
    if (mSounds[state] && IsVisible())
        mSounds[state]->Play(false);
}

void TButton::StateUpdate(EMouseState newState, EMouseState oldState)
{
    if (newState != oldState && (newState == kNormal || newState == kRollover))
        PlaySound(newState);
    const bool on = IsOn();
    switch (GetType()) {
    case kPush:
        if (newState <= kRollover)
            SetCurrentLayer(newState);
        break;
    case kToggle:
    case kRadio:
        if (newState == kNormal)
            SetCurrentLayer(on ? 1 : 0);
        else if (newState == kPressed)
            SetCurrentLayer(on ? 0 : 1);
        else if (newState == kRollover)
            SetCurrentLayer(on ? 3 : 2);
        break;
    }
}

void TButton::SetOn(bool on)
{
    if (GetType() == kRadio && on && GetParent()) {
        TRadioButtonSpider spider(this);
        GetParent()->ForEachChild(&spider, true);
        if (spider.HasGroup()) {
            spider.SetPass(1);
            GetParent()->ForEachChild(&spider, true);
        }
    }
    mOptions = static_cast<uint8_t>(on ? (mOptions | kOptionOn) : (mOptions & ~kOptionOn));
    SetState(GetState());
}

void TButton::SetCommand(Action* action)
{
    mCommand.reset(action);
}

void TButton::AddFlags(int bits)
{
    if (bits & 1)
        TWindow::AddFlags(kBeginGroup);
    if (bits & 2)
        mKindAndState = static_cast<uint8_t>(mKindAndState | 0x80);
    if (bits & 4)
        mOptions = static_cast<uint8_t>(mOptions | kOptionClose);
    if (bits & 8)
        mOptions = static_cast<uint8_t>(mOptions | kOptionDefault);
}

void TButton::SetSound(EMouseState state, str name)
{
    if (state < 0 || state > 2) {
        WriteDbg("TButton::SetSound: no sound for state %d", static_cast<int>(state));
        return;
    }
    mSounds[state] = TSound::Get(name.c_str(), true, 0);
}

void TButton::SetClickMask(std::shared_ptr<TTexture> mask)
{
    unsigned char* pixels = nullptr;
    int surfaceWidth = 0;
    int surfaceHeight = 0;
    int pitch = 0;
    if (!mask || !mask->Lock(&pixels, &surfaceWidth, &surfaceHeight, &pitch) || !pixels)
        return;
    const int width = mask->GetWidth();
    const int height = mask->GetHeight();
    // The image may be smaller than its surface, never larger: rows are read
    // within the surface that was locked.
    const int rowPixels = std::min(width, surfaceWidth);
    const int rows = std::min(height, surfaceHeight);
    const int rowBytes = pitch > 0 ? pitch : surfaceWidth * 4;
    mMask.assign(static_cast<size_t>(std::max(width, 0)) * std::max(height, 0), 0);
    for (int y = 0; y < rows; ++y)
        std::memcpy(&mMask[static_cast<size_t>(y) * width], pixels + static_cast<size_t>(y) * rowBytes,
                    static_cast<size_t>(std::max(rowPixels, 0)) * 4);
    mMaskWidth = width;
    mMaskHeight = height;
    mask->Unlock();
}

str TButton::GetLabel()
{
    TText* text = ::GetCast<TText>(GetChildWindow("label", -1));
    return text ? text->GetText() : str();
}

void TButton::SetLabel(str label)
{
    if (TText* text = ::GetCast<TText>(GetChildWindow("label", -1)))
        text->SetText(label);
}

bool TButton::ReleaseCapture(const TPoint& p)
{
    TRect r;
    GetClientRect(&r);
    bool outside = !r.Contains(p);
    if (!outside && !mMask.empty() && mMaskWidth >= 1 && mMaskHeight >= 1) {
        const float w = static_cast<float>(r.x2 - r.x1);
        const float h = static_cast<float>(r.y2 - r.y1);
        // A button of no width or height has only its edge: the first column or row.
        const int column = w > 0 ? static_cast<int>(static_cast<float>(p.x - r.x1) * mMaskWidth / w) : 0;
        const int row = h > 0 ? static_cast<int>(static_cast<float>(p.y - r.y1) * mMaskHeight / h) : 0;
        if (column < 0 || row < 0 || column >= mMaskWidth || row >= mMaskHeight) {
            outside = true;
        } else {
            const uint32_t pixel = mMask[static_cast<size_t>(row) * mMaskWidth + column];
            unsigned char bytes[4];
            std::memcpy(bytes, &pixel, 4);
            outside = bytes[0] <= 19 && bytes[1] <= 19 && bytes[2] <= 19;
        }
    }
    if (outside)
        OnMouseLeave();
    return outside;
}

bool TButton::OnMouseDown(const TPoint& p)
{
    if (GetState() == kNormal)
        if (TWindowManager* manager = Manager())
            manager->SetCapture(this);
    SetState(kPressed);
    ReleaseCapture(p);
    return true;
}

bool TButton::OnMouseMove(const TPoint& p)
{
    if (ReleaseCapture(p))
        return false;
    if (GetState() != kNormal)
        return true;
    SetState(kRollover);
    if (TWindowManager* manager = Manager())
        manager->SetCapture(this);
    return true;
}

bool TButton::OnMouseLeave()
{
    if (GetState() != kNormal)
        if (TWindowManager* manager = Manager())
            manager->ReleaseCapture(this);
    SetState(kNormal);
    return true;
}

bool TButton::OnMouseUp(const TPoint& p)
{
    if (GetState() == kNormal || ReleaseCapture(p))
        return true;
    if (GetState() == kPressed) {
        StateUpdate(kClicked, kPressed);
        if (mSounds[kPressed] && IsVisible())
            mSounds[kPressed]->Play(false);
        if (DoCommand())
            return true;
    }
    if (GetType() == kRadio)
        SetOn(true);
    else if (GetType() == kToggle)
        mOptions = static_cast<uint8_t>(mOptions ^ kOptionOn);
    SetState(kRollover);
    return true;
}

bool TButton::DoCommand()
{
    TWindowManager* manager = Manager();
    if (!manager) {
        WriteDbg("TButton::DoCommand: no window manager");
        return false;
    }
    if (ClosesModal()) {
        if (TModalWindow* modal = FindParentModal()) {
            manager->PostWindowMessage(new TMessage(kCloseWindow, modal->GetIdText(), nullptr));
            if (IWindowScript* script = manager->GetScript())
                script->SetGlobalString("gReturnValue", GetName());
        }
    }
    TWindow* target = GetParent();
    if (SendsToParent()) {
        TModalWindow* top = manager->GetTopModalWindow();
        target = top ? top->GetParent() : nullptr;
    }
    auto message = std::make_unique<TMessage>(kButtonPress, GetName(), target);
    if (!mCommand) {
        manager->PostWindowMessage(message.release());
        return false;
    }
    // The command may destroy windows (only late) or change the modal stack.
    mCommand->DoAction(this);
    if (EnclosingModal(this) == manager->GetTopModalWindow()) {
        manager->PostWindowMessage(message.release());
        return false;
    }
    if (SendsToParent())
        manager->PostWindowMessage(message.release());
    return true;
}
