#include "engine/text/textstate.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

bool StartsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

// Numbers in markup are limited to what a screen could use, so no later
// arithmetic overflows; text that is not a number reads as 0.
constexpr long kLargestMarkupNumber = 100000;
int ParseNumber(const char* value)
{
    long n = std::strtol(value, nullptr, 10);
    if (n > kLargestMarkupNumber)
        n = kLargestMarkupNumber;
    if (n < -kLargestMarkupNumber)
        n = -kLargestMarkupNumber;
    return int(n);
}

// Font sizes, in pixels.
constexpr int kLargestFontSize = 1000;

}  // namespace

TTextState::TTextState() { Reset(str(), 16, TColor{}); }

void TTextState::Reset(const str& face, int size, const TColor& colour)
{
    for (TFontEntry& entry : mFonts)
        entry = TFontEntry{};
    mFonts[0] = TFontEntry{face, size, colour};
    mFontTop = 0;
    mBold = mItalic = mUnderline = false;
    for (int& j : mJustifications)
        j = -1;
    mJustificationTop = 0;
    mLinkId = str();
    mLinkColour = TColor{};
    mOutlineSize = mBaseOutlineSize;
    mOutlineColour = mBaseOutlineColour;
}

void TTextState::SetBaseOutline(float size, const TColor& colour)
{
    mBaseOutlineSize = size;
    mBaseOutlineColour = colour;
}

TColor TTextState::ParseColour(const char* value)
{
    if (*value == '#')
        ++value;
    const unsigned long rgb = std::strtoul(value, nullptr, 16);
    return TColor{((rgb >> 16) & 0xff) / 255.0f, ((rgb >> 8) & 0xff) / 255.0f, (rgb & 0xff) / 255.0f, 1.0f};
}

bool TTextState::GetAttribute(const char* tag, const char* name, char* value)
{
    const char* at = std::strstr(tag, name);
    if (!at)
        return false;
    at += std::strlen(name);
    const char* open = std::strchr(at, '"');
    if (!open)
        open = std::strchr(at, '\'');
    if (!open)
        return false;
    const char* close = std::strchr(open + 1, '"');
    if (!close)
        close = std::strchr(open + 1, '\'');
    if (!close)
        return false;
    size_t n = size_t(close - open - 1);
    if (n > size_t(kTagBufferSize))
        n = kTagBufferSize;
    std::memcpy(value, open + 1, n);
    value[n] = 0;
    return true;
}

void TTextState::PushJustification(int value)
{
    ++mJustificationTop;
    if (mJustificationTop < kStackSize)
        mJustifications[mJustificationTop] = value;
}

void TTextState::PopJustification()
{
    if (mJustificationTop > 0)
        --mJustificationTop;
}

void TTextState::PushFont(const char* tag)
{
    const TFontEntry current = Font();
    ++mFontTop;
    if (mFontTop >= kStackSize)
        return;  // too deep: counted, so the pops match, but not stored
    TFontEntry& entry = mFonts[mFontTop];
    entry = current;
    char value[kTagBufferSize + 1];
    if (GetAttribute(tag, "size", value))
        entry.size = std::clamp(ParseNumber(value), 0, kLargestFontSize);
    if (GetAttribute(tag, "color", value))
        entry.colour = ParseColour(value);
    if (GetAttribute(tag, "face", value))
        entry.face = value;
}

bool TTextState::ParseTag(const char* text, int* length, bool* lineBreak, int* pad, bool* cursor,
                          bool* justificationChanged, int* tab)
{
    *tab = 0;
    if (text[0] != '<')
        return false;

    // Copy the tag without blanks outside quotes, up to and including '>'.
    char tag[kTagBufferSize + 1];
    int stored = 0, i = 0;
    bool quoted = false;
    for (;; ++i) {
        const char c = text[i];
        if (c == 0)
            return false;  // no '>' before the end: the '<' is text
        if (c == '"' || c == '\'')
            quoted = !quoted;
        if ((c == ' ' || c == '\t') && !quoted)
            continue;
        tag[stored++] = c;
        if (c == '>' || stored == kTagBufferSize)
            break;
    }
    tag[stored] = 0;
    *length = i + 1;

    const char* name = tag + 1;
    char value[kTagBufferSize + 1];
    if (StartsWith(name, "br")) {
        *lineBreak = true;
        if (GetAttribute(tag, "pad", value))
            *pad = ParseNumber(value);
    } else if (StartsWith(name, "/p")) {
        *lineBreak = true;
    } else if (name[0] == 'a') {
        mLinkId = GetAttribute(tag, "id", value) ? str(value) : str();
        mLinkColour = GetAttribute(tag, "color", value) ? ParseColour(value) : Font().colour;
    } else if (StartsWith(name, "/a")) {
        mLinkId = str();
        mLinkColour = Font().colour;
    } else if (name[0] == 'b') {
        mBold = true;
    } else if (StartsWith(name, "/b")) {
        mBold = false;
    } else if (name[0] == 'i') {
        mItalic = true;
    } else if (StartsWith(name, "/i")) {
        mItalic = false;
    } else if (name[0] == 'u') {
        mUnderline = true;
    } else if (StartsWith(name, "/u")) {
        mUnderline = false;
    } else if (StartsWith(name, "cursor")) {
        *cursor = true;
    } else if (StartsWith(name, "center")) {
        *justificationChanged = true;
        PushJustification(1);
    } else if (StartsWith(name, "/center")) {
        *justificationChanged = true;
        PopJustification();
    } else if (StartsWith(name, "left")) {
        *justificationChanged = true;
        PushJustification(0);
    } else if (StartsWith(name, "/left")) {
        *justificationChanged = true;
        PopJustification();
    } else if (StartsWith(name, "right")) {
        *justificationChanged = true;
        PushJustification(2);
    } else if (StartsWith(name, "/right")) {
        *justificationChanged = true;
        PopJustification();
    } else if (StartsWith(name, "font")) {
        PushFont(tag);
    } else if (StartsWith(name, "/font")) {
        if (mFontTop > 0)
            --mFontTop;
    } else if (StartsWith(name, "outline")) {
        if (GetAttribute(tag, "color", value))
            mOutlineColour = ParseColour(value);
        mOutlineSize = GetAttribute(tag, "size", value) ? float(std::clamp(ParseNumber(value), -100, 100)) : 2.0f;
    } else if (StartsWith(name, "/outline")) {
        mOutlineSize = mBaseOutlineSize;
        mOutlineColour = mBaseOutlineColour;
    } else if (StartsWith(name, "tab")) {
        if (GetAttribute(tag, "pos", value))
            *tab = ParseNumber(value) * 4;
    }
    return true;
}
