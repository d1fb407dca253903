// TTextState: the markup parser's state while a text is laid out, and the
// parser of one tag. Tags are matched by prefix, in a fixed order, so a tag
// named "big" is bold and "img" italic; unknown tags are swallowed.
#pragma once

#include "engine/base/str.h"
#include "engine/text/text_types.h"

struct TFontEntry {
    str face;
    int size = 16;
    TColor colour;
};

class TTextState {
public:
    static constexpr int kStackSize = 32;
    static constexpr int kTagBufferSize = 128;

    TTextState();

    // Clears the state for a new layout with the text's own face, size and colour.
    void Reset(const str& face, int size, const TColor& colour);
    // The outline every layout starts with and "</outline>" returns to (size
    // 0: none); it outlives Reset. Light labels on busy pictures use it.
    void SetBaseOutline(float size, const TColor& colour);

    // Parses the tag at text (which must be NUL-terminated). False when text
    // does not start a complete tag; otherwise applies it, sets length to the
    // bytes consumed and sets (never clears) the flag outputs; tab is set to
    // the tab position in quarter pixels or 0.
    bool ParseTag(const char* text, int* length, bool* lineBreak, int* pad, bool* cursor, bool* justificationChanged,
                  int* tab);
    // The value of attribute name in a tag buffer (quoted with " or '); value
    // holds at least kTagBufferSize + 1 bytes.
    static bool GetAttribute(const char* tag, const char* name, char* value);
    // "#rrggbb" or "rrggbb" in hexadecimal; alpha is always 1.
    static TColor ParseColour(const char* value);

    // The font entry in force. Nesting deeper than the stack keeps counting, so
    // pops still match, but reuses the deepest entry.
    const TFontEntry& Font() const { return mFonts[Clamp(mFontTop)]; }
    // The justification in force: -1 means the graphic's own flags.
    int Justification() const { return mJustifications[Clamp(mJustificationTop)]; }

    bool mBold = false, mItalic = false, mUnderline = false;
    str mLinkId;
    TColor mLinkColour;
    float mOutlineSize = 0;
    TColor mOutlineColour;

private:
    static int Clamp(int top) { return top < kStackSize ? top : kStackSize - 1; }
    void PushJustification(int value);
    void PopJustification();
    void PushFont(const char* tag);

    float mBaseOutlineSize = 0;
    TColor mBaseOutlineColour;
    TFontEntry mFonts[kStackSize];
    int mFontTop = 0;
    int mJustifications[kStackSize];
    int mJustificationTop = 0;
};
