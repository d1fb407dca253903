#include "game/screens/credits.h"

#include "engine/base/debuglog.h"
#include "engine/platform/platform.h"
#include "engine/script/windowscript.h"
#include "engine/text/textgraphic.h"

#include <algorithm>
#include <cstdio>

str CreditLine(const str& line, const str& headerColor)
{
    int begin = 0;
    int end = line.length();
    while (begin < end && (line[begin] == ' ' || line[begin] == '\t'))
        ++begin;
    while (end > begin && (line[end - 1] == ' ' || line[end - 1] == '\t'))
        --end;
    str out;
    for (int i = begin; i < end; ++i) {
        if (line[i] == '[')
            out += str("<font color='") + headerColor + "'>";
        else if (line[i] == ']')
            out += "</font>";
        else
            out += str(line.c_str() + i, 1);
    }
    return out + '\n';
}

TCreditsColumns ReadCredits(const char* file, const str& headerColor, int fontSize)
{
    TCreditsColumns columns;
    FILE* in = (file && *file) ? std::fopen(file, "r") : nullptr;
    if (!in && file && *file)
        WriteDbg("Credits file %s cannot be read; the credits stay empty", file);
    if (in) {
        char buffer[1024];
        bool any = false;
        while (std::fgets(buffer, sizeof buffer, in)) {
            any = true;
            // Only the line end is cut, so a last line without one keeps
            // its last character.
            str line(buffer);
            while (line.length() > 0 && (line[line.length() - 1] == '\n' || line[line.length() - 1] == '\r'))
                line.erase(line.length() - 1);
            const int bar = line.find('|');
            if (bar >= 0) {
                columns.left += CreditLine(line.substr(0, bar), headerColor);
                columns.right += CreditLine(line.substr(bar + 1), headerColor);
                columns.centre += "\n";
            } else {
                columns.centre += CreditLine(line, headerColor);
                columns.left += "\n";
                columns.right += "\n";
            }
        }
        std::fclose(in);
        if (!any)
            WriteDbg("Credits file %s is empty", file);
    }
    for (int i = 0; i < TCredits::kGap / std::max(fontSize, 1); ++i) {
        columns.left += "\n";
        columns.right += "\n";
        columns.centre += "\n";
    }
    return columns;
}

int CreditsScroll(std::uint32_t elapsed, int scrollLength)
{
    // Nothing to scroll (an empty or missing file leaves only the gap, which
    // may measure nothing): stand still rather than divide by zero.
    if (scrollLength <= 0 || elapsed < 3000)
        return 0;
    const long long t = (elapsed - 3000) % 20000;
    return static_cast<int>((t * scrollLength / 20000) % scrollLength);
}

const contract::TScreenSpec TCredits::kContract{"TCredits", "CreditsWindow", "scripts/credits.lua", {}, {}};

TCredits::TCredits()
{
    if (TWindowScript* script = TWindowScript::Get()) {
        mFont = script->GetString("font", "");
        // A size below one pixel would make every line zero high.
        mFontSize = std::max(1, static_cast<int>(script->GetNumber("fontsize", 16)));
        const TColor white{1, 1, 1, 1};
        mFontColor = script->GetColor("fontcolor", white);
        const TColor header = script->GetColor("headercolor", white);
        mHeaderColor = str::getFormatted("%02x%02x%02x", static_cast<int>(header.r * 255),
                                         static_cast<int>(header.g * 255), static_cast<int>(header.b * 255));
        mFile = script->GetString("file", "");
    }
}

TCredits::~TCredits()
{
    for (TTextGraphic* column : mColumns)
        TTextGraphic::Destroy(column);
}

bool TCredits::Init()
{
    const TCreditsColumns text = ReadCredits(mFile.c_str(), mHeaderColor, mFontSize);
    const str* texts[3] = {&text.left, &text.right, &text.centre};
    const int widths[3] = {325, 325, 700};
    for (int i = 0; i < 3; ++i)
        mColumns[i] = TTextGraphic::Create(*texts[i] + *texts[i], widths[i], kGap, 1, mFont.c_str(), mFontSize,
                                           mFontColor);
    TRect bounds{};
    if (mColumns[0])
        mColumns[0]->GetTextBounds(&bounds);
    mScrollLength = bounds.y2 / 2;
    return true;
}

bool TCredits::OnTaskAnimate()
{
    InvalidateRect(nullptr);
    return true;
}

void TCredits::DrawColumn(TTextGraphic* column, int scroll, int left, int right)
{
    if (!column)
        return;
    column->mScrollLine = scroll / mFontSize;
    const int top = kTop - scroll % mFontSize;
    column->Draw(TRect{left, top, right, kBottom}, 1.0f, 0, 1.0f);
}

void TCredits::Draw()
{
    TPlatform* platform = TPlatform::GetInstance();
    if (!platform)
        return;
    if (!mStarted) {
        mStarted = true;
        mStartTime = platform->Timer();
        StartWindowAnimation(20, true, true, false);
    }
    const int scroll = CreditsScroll(platform->Timer() - mStartTime, mScrollLength);
    platform->PushViewport(0, kTop, 800, kBottom);
    if (platform->Begin2d()) {
        DrawColumn(mColumns[0], scroll, 50, 375);
        DrawColumn(mColumns[1], scroll, 425, 750);
        DrawColumn(mColumns[2], scroll, 50, 750);
        platform->End2d();
    }
    platform->PopViewport();
}
