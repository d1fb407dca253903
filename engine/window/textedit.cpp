#include "engine/window/textedit.h"

#include "engine/platform/event.h"
#include "engine/window/message.h"
#include "engine/window/modalwindow.h"
#include "engine/window/windowmanager.h"

#include <algorithm>
#include <string>

namespace {

TWindow* CreateTextEdit()
{
    return new TTextEdit;
}

TWindowManager* Manager()
{
    return TWindowManager::GetInstance();
}

// Finds the first other text edit of the modal window, depth first, so a
// new edit joins the ring the earlier edits already share.
class TextSpider : public TWindowSpider {
public:
    explicit TextSpider(TTextEdit* edit) : mEdit(edit) {}

    bool Process(TWindow* w) override
    {
        TTextEdit* other = ::GetCast<TTextEdit>(w);
        if (other && other != mEdit && other->GetRing()) {
            found = other;
            return false;
        }
        w->ForEachChild(this, false);
        return found == nullptr;
    }

    TTextEdit* found = nullptr;

private:
    TTextEdit* mEdit;
};

// Control characters and bytes 128-255 are negative or below 32 as signed bytes.
bool IsControl(char c)
{
    return static_cast<signed char>(c) < 32;
}

}  // namespace

TClassId TTextEdit::ClassId()
{
    static const TClassId id = RegisterCreatable(&CreateTextEdit);
    return id;
}

TTextEdit::TTextEdit() : TText(false)
{
    TWindow::AddFlags(kCanFocus);
    mBlink.Reset();
    mBlink.Start();
}

TTextEdit::~TTextEdit()
{
    if (mRing)
        mRing->remove(this);
}

bool TTextEdit::Init()
{
    StartWindowAnimation(200, true, true, false);
    TWindowManager* manager = Manager();
    if (TModalWindow* top = manager ? manager->GetTopModalWindow() : nullptr) {
        TextSpider spider(this);
        top->ForEachChild(&spider, false);
        if (spider.found) {
            mRing = spider.found->GetRing();
            mRing->push_back(this);
        }
    }
    if (!mRing)
        mRing = std::make_shared<Ring>(Ring{this});
    return true;
}

bool TTextEdit::OnTaskAnimate()
{
    UpdateText();
    return true;
}

void TTextEdit::SetText(str text)
{
    mText = std::move(text);
    mCursor = mText.length();
    UpdateText();
}

void TTextEdit::SetPassword(bool on)
{
    mPassword = on;
    UpdateText();
}

void TTextEdit::Backspace()
{
    if (mCursor <= 0)
        return;
    std::string text = mText.c_str();
    text.erase(static_cast<size_t>(mCursor - 1), 1);
    mText = text.c_str();
    --mCursor;
    UpdateText();
}

bool TTextEdit::KeyHit(eKeyType kind, char c)
{
    switch (kind) {
    case kMove:
    case kPasteKey:
        return true;
    case kInsert:
        if (mText.length() < mMaxLength)
            return true;
        KeyHit(kRefused, c);
        return false;
    default:
        return false;
    }
}

void TTextEdit::UpdateText()
{
    const std::string plain = mPassword ? std::string(static_cast<size_t>(mText.length()), '*') : mText.c_str();
    TWindowManager* manager = Manager();
    if (!manager || manager->GetFocus() != this) {
        TText::SetText(plain.c_str());
        return;
    }
    const unsigned t = static_cast<unsigned>(mBlink.GetTime()) % 800u;
    const bool visible = t > 400;
    if (visible != mCursorShown) {
        mCursorShown = visible;
        InvalidateRect(nullptr);
    }
    if (!visible) {
        TText::SetText(plain.c_str());
        return;
    }
    const size_t cursor = std::min(static_cast<size_t>(std::max(mCursor, 0)), plain.size());
    TText::SetText((plain.substr(0, cursor) + "<cursor>" + plain.substr(cursor)).c_str());
}

bool TTextEdit::IsIgnored(char c) const
{
    return c != 0 && std::string(mIgnore.c_str()).find(c) != std::string::npos;
}

void TTextEdit::FocusNextInRing()
{
    TWindowManager* manager = Manager();
    if (!manager || !mRing)
        return;
    auto it = std::find(mRing->begin(), mRing->end(), this);
    if (it == mRing->end())
        return;
    ++it;
    TTextEdit* next = it == mRing->end() ? mRing->front() : *it;
    TWindow* previous = manager->GetFocus();
    manager->SetFocus(next);
    next->OnSetFocus(previous);
}

bool TTextEdit::OnChar(char c)
{
    if (c == '\t') {
        if (!KeyHit(kTabKey, c)) {
            FocusNextInRing();
            return false;
        }
    } else if (c == TEvent::kEnter) {
        if (!KeyHit(kEnterKey, c))
            return false;
    } else if (c == '\b') {
        if (mCursor > 0) {
            if (!KeyHit(kMove, c))
                return false;
            Backspace();
        } else if (!KeyHit(kRefused, c)) {
            return false;
        }
    } else if (IsControl(c)) {
        return false;
    } else if (!IsIgnored(c)) {
        if (!KeyHit(kInsert, c))
            return false;
        std::string text = mText.c_str();
        text.insert(static_cast<size_t>(mCursor), 1, c);
        mText = text.c_str();
        ++mCursor;
        UpdateText();
    }
    if (TWindowManager* manager = Manager())
        manager->PostWindowMessage(new TMessage(kTextChanged, GetName(), nullptr));
    return true;
}

bool TTextEdit::OnKeyDown(char key, int modifiers)
{
    const int code = static_cast<signed char>(key);
    if (code == TEvent::kLeft) {
        if (mCursor == 0) {
            KeyHit(kRefused, key);
            return true;
        }
        if (!KeyHit(kMove, key))
            return false;
        --mCursor;
        UpdateText();
        return true;
    }
    if (code == TEvent::kRight) {
        if (mCursor >= mText.length()) {
            KeyHit(kRefused, key);
            return true;
        }
        if (!KeyHit(kMove, key))
            return false;
        ++mCursor;
        UpdateText();
        return true;
    }
    const bool paste = code <= 'Z' && ((code == 'V' && (modifiers & TEvent::kControlKey)) || code == TEvent::kPaste);
    if (!paste)
        return false;
    if (!KeyHit(kPasteKey, 0))
        return false;
    TPlatform* platform = TPlatform::GetInstance();
    const str clip = platform ? platform->StringFromClipboard() : str();
    if (clip.length() == 0)
        return false;
    std::string text = clip.c_str();
    text.resize(std::min(text.size(), static_cast<size_t>(std::max(mMaxLength, 0))));
    std::erase_if(text, [this](char c) { return IsIgnored(c) || IsControl(c); });
    SetText(text.c_str());
    return true;
}
