// TTextEdit: the single-line text entry. A TText whose shown markup is
// rebuilt from the plain text (UTF-8; typed "<", ">" and "\\" are shown as
// themselves, never read as markup), the cursor and a blinking cursor marker. It
// filters typed characters, limits the length, can mask a password, joins
// the other edits of its modal window in a Tab ring, and posts a
// kTextChanged message for every accepted key.
#pragma once

#include "engine/base/clock.h"
#include "engine/window/text.h"

#include <list>
#include <memory>

class TTextEdit : public TText {
public:
    enum eKeyType {
        kInsert = 0,   // a character to insert
        kMove = 1,     // Left, Right, Backspace
        kEnterKey = 2,
        kTabKey = 3,
        kPasteKey = 4,
        kRefused = 5,  // a move or deletion at an end, or beyond the maximum length
    };
    using Ring = std::list<TTextEdit*>;

    TTextEdit();
    ~TTextEdit() override;

    static TClassId ClassId();
    bool IsKindOf(TClassId id) const override { return id == ClassId() || TText::IsKindOf(id); }

    bool Init() override;
    bool OnTaskAnimate() override;
    bool OnChar(char32_t c) override;
    bool OnKeyDown(char key, int modifiers) override;
    void SetText(str text) override;
    str GetText() override { return mText; }
    // True lets the key act; derived edits veto or react here. c is the
    // character (a code point) or the key's code.
    virtual bool KeyHit(eKeyType kind, char32_t c);

    void SetPassword(bool on);
    void SetIgnoreChars(str chars) { mIgnore = std::move(chars); }
    void SetMaxLength(int length) { mMaxLength = length; }
    int GetMaxLength() const { return mMaxLength; }  // in characters
    int GetLength() const;                           // in characters
    int GetCursor() const { return mCursor; }        // a byte offset into the text
    void Backspace();
    void UpdateText();
    // The edits Tab cycles through; null until Init.
    const std::shared_ptr<Ring>& GetRing() const { return mRing; }

private:
    bool IsIgnored(char32_t c) const;
    void FocusNextInRing();

    int mMaxLength = 10;
    std::shared_ptr<Ring> mRing;
    str mText;
    int mCursor = 0;
    bool mPassword = false;
    bool mCursorShown = false;
    str mIgnore;
    TClock mBlink;
};
