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

bool IsControl(char32_t c)
{
    return c < 32 || c == 127 || (c >= 0x80 && c < 0xA0);
}

// What can be stored as UTF-8: no surrogates, nothing beyond Unicode.
bool IsCharacter(char32_t c)
{
    return c < 0x110000 && !(c >= 0xD800 && c < 0xE000);
}

std::string Utf8(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

bool IsContinuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Cursor steps go by whole characters, never into the middle of one.
int PreviousCharacter(const std::string& text, int at)
{
    do
        --at;
    while (at > 0 && IsContinuation(text[static_cast<size_t>(at)]));
    return at;
}

int NextCharacter(const std::string& text, int at)
{
    do
        ++at;
    while (at < static_cast<int>(text.size()) && IsContinuation(text[static_cast<size_t>(at)]));
    return at;
}

int CharacterCount(const std::string& text)
{
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char b) { return !IsContinuation(b); }));
}

// The text as markup that shows it as it is: the text layout reads "<" and
// ">" as markup and a backslash as an escape, so each is escaped.
std::string Shown(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '<' || c == '>' || c == '\\')
            out += '\\';
        out += c;
    }
    return out;
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

int TTextEdit::GetLength() const
{
    return CharacterCount(mText.c_str());
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
    const int start = PreviousCharacter(text, mCursor);
    text.erase(static_cast<size_t>(start), static_cast<size_t>(mCursor - start));
    mText = text.c_str();
    mCursor = start;
    UpdateText();
}

bool TTextEdit::KeyHit(eKeyType kind, char32_t c)
{
    switch (kind) {
    case kMove:
    case kPasteKey:
        return true;
    case kInsert:
        if (CharacterCount(mText.c_str()) < mMaxLength)
            return true;
        KeyHit(kRefused, c);
        return false;
    default:
        return false;
    }
}

void TTextEdit::UpdateText()
{
    const std::string text = mText.c_str();
    const size_t typed = std::min(static_cast<size_t>(std::max(mCursor, 0)), text.size());
    // Stars stand one for each character; the cursor sits after as many.
    const std::string before = mPassword ? std::string(static_cast<size_t>(CharacterCount(text.substr(0, typed))), '*')
                                         : Shown(text.substr(0, typed));
    const std::string after = mPassword ? std::string(static_cast<size_t>(CharacterCount(text.substr(typed))), '*')
                                        : Shown(text.substr(typed));
    const std::string plain = before + after;
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
    TText::SetText((before + "<cursor>" + after).c_str());
}

bool TTextEdit::IsIgnored(char32_t c) const
{
    return c != 0 && std::string(mIgnore.c_str()).find(Utf8(c)) != std::string::npos;
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

bool TTextEdit::OnChar(char32_t c)
{
    if (c == '\t') {
        if (!KeyHit(kTabKey, c)) {
            FocusNextInRing();
            return false;
        }
    } else if (c == static_cast<char32_t>(TEvent::kEnter)) {
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
    } else if (IsControl(c) || !IsCharacter(c)) {
        return false;
    } else if (!IsIgnored(c)) {
        if (!KeyHit(kInsert, c))
            return false;
        std::string text = mText.c_str();
        const std::string typed = Utf8(c);
        text.insert(static_cast<size_t>(mCursor), typed);
        mText = text.c_str();
        mCursor += static_cast<int>(typed.size());
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
        mCursor = PreviousCharacter(mText.c_str(), mCursor);
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
        mCursor = NextCharacter(mText.c_str(), mCursor);
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
    std::erase_if(text, [this](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x80 && (IsIgnored(byte) || IsControl(byte));
    });
    SetText(text.c_str());
    return true;
}
