#include "game/screens/screenchildren.h"

#include "engine/platform/platform.h"
#include "engine/text/textgraphic.h"
#include "engine/window/showwindow.h"
#include "engine/window/stringtable.h"
#include "engine/window/text.h"
#include "engine/window/window.h"
#include "game/screens/screencontract.h"

namespace screens {

str Text(const str& label, const str& argument, const str& second)
{
    TPlatform* platform = TPlatform::GetInstance();
    if (label.length() == 0 || !platform || !platform->GetStringTable())
        return str();
    return platform->GetStringTable()->GetString(label, argument, second, "", "", "");
}

str TextWithNumber(const str& label, int number) { return Text(label, str::getFormatted("%d", number)); }

str PlainText(const str& text, int maxBytes)
{
    // U+2039 and U+203A: they read as "<" and ">" but are no markup.
    static const char kOpen[] = "\xE2\x80\xB9";
    static const char kClose[] = "\xE2\x80\xBA";
    std::string out;
    const std::string in(text.c_str());
    size_t i = 0;
    for (; i < in.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(in[i]);
        // Stop before a character that would not fit whole.
        const bool lead = (c & 0xC0) != 0x80;
        if (lead && out.size() + 3 > size_t(maxBytes))
            break;
        if (c == '<')
            out += kOpen;
        else if (c == '>')
            out += kClose;
        else if (c < 0x20 || c == 0x7F)
            out += ' ';
        else
            out += char(c);
    }
    if (i < in.size())
        out += "...";
    return str(out.c_str());
}

namespace {

bool FitsOnOneLine(const TText& text)
{
    TRect bounds;
    text.GetTextBounds(&bounds);
    return text.GetLineCount() <= 1 && bounds.x2 - bounds.x1 <= text.GetWindowWidth();
}

// The size the window lays its text out in: its first run's.
int OwnFontSize(const TText& text)
{
    const TTextGraphic* graphic = text.GetTextGraphic();
    if (!graphic)
        return 0;
    for (const TTextLine& line : graphic->GetLines()) {
        for (const TTextRun& run : line.runs) {
            if (run.size > 0)
                return run.size;
        }
    }
    return 0;
}

}  // namespace

void SetTextOnOneLine(TText* text, const str& markup)
{
    if (!text)
        return;
    text->SetText(markup);
    if (FitsOnOneLine(*text))
        return;
    for (int size = OwnFontSize(*text) - 1; size >= kSmallestOneLineSize; --size) {
        text->SetText(str::getFormatted("<font size=\"%d\">", size) + markup + str("</font>"));
        if (FitsOnOneLine(*text))
            return;
    }
}

TText* FindText(TWindow* parent, const char* name)
{
    contract::Check(parent, name);
    TWindow* child = parent ? parent->GetChildWindow(name, -1) : nullptr;
    return child ? child->GetCast<TText>() : nullptr;
}

void ShowChild(TWindow* parent, const char* name, bool show)
{
    contract::Check(parent, name);
    TWindow* child = parent ? parent->GetChildWindow(name, -1) : nullptr;
    if (child != parent)
        ShowWindow(child, show);
}

bool IsChildShown(TWindow* parent, const char* name)
{
    contract::Check(parent, name);
    TWindow* child = parent ? parent->GetChildWindow(name, -1) : nullptr;
    return child && child->IsVisible();
}

void SetChildText(TWindow* parent, const char* name, const str& text, bool onlyWhenChanged)
{
    TText* label = FindText(parent, name);
    if (!label || (onlyWhenChanged && label->GetText() == text))
        return;
    label->SetText(text);
    label->InvalidateRect(nullptr);
}

str GetChildText(TWindow* parent, const char* name)
{
    TText* label = FindText(parent, name);
    return label ? label->GetText() : str();
}

}  // namespace screens
