#include "engine/window/stringtable.h"

#include "engine/base/debuglog.h"
#include "engine/base/folders.h"
#include "engine/base/safefile.h"
#include "engine/base/xml.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr const char* kFailure = "#####";

bool allDigits(const std::string& token)
{
    for (char c : token)
        if (c < '0' || c > '9')
            return false;
    return !token.empty();
}

}  // namespace

bool TStringTable::LoadStringTable(str path)
{
    mStrings.clear();
    char fullPath[qm::kPathBufferSize];
    std::FILE* file = qm::OpenResource(path.c_str(), fullPath);
    if (!file) {
        WriteDbg("String table %s not found: texts show their labels", path.c_str());
        return false;
    }
    std::string text;
    if (!qm::ReadAndClose(file, &text)) {
        WriteDbg("String table %s cannot be read: texts show their labels", path.c_str());
        return false;
    }

    const char* begin = text.c_str();  // NUL-terminated
    const char* end = begin + std::strlen(begin);
    for (const char* row = std::strstr(begin, "<Row"); row;) {
        const char* next = std::strstr(row + 4, "<Row");
        const char* rowEnd = next ? next : end;
        str label, value;
        if (const char* afterLabel = GetRowString(rowEnd, row, &label)) {
            GetRowString(rowEnd, afterLabel, &value);
            mStrings[label] = value;  // a label that comes again: the last row wins
        }
        row = next;
    }
    // The table's end is the last thing in the file: without it the file was
    // cut short, and the strings after the cut are lost.
    if (!std::strstr(begin, "</Table>"))
        WriteDbg("String table %s is cut short: %zu strings read; the others show as \"#####\"", path.c_str(),
                 mStrings.size());
    return true;
}

const char* TStringTable::GetRowString(const char* rowEnd, const char* from, str* out)
{
    *out = str("");
    const char* cell = std::strstr(from, "<Data");
    if (!cell || (rowEnd && cell >= rowEnd))
        return nullptr;
    const char* start = std::strchr(cell + 5, '>');
    start = start ? start + 1 : cell + std::strlen(cell);
    const char* close = std::strchr(start, '<');
    const char* stop = close ? close : start + std::strlen(start);
    str cellText(start, static_cast<int>(stop - start));
    int length = cellText.length();
    removeXMLEscapeChars(cellText, &length, nullptr);
    *out = cellText;
    return close ? close + 1 : stop;
}

const str* TStringTable::Find(const str& label) const
{
    auto found = mStrings.find(label);
    return found == mStrings.end() ? nullptr : &found->second;
}

str TStringTable::GetString(str label, str a1, str a2, str a3, str a4, str a5) const
{
    const str arguments[5] = {a1, a2, a3, a4, a5};
    return GetString(label, 5, arguments);
}

str TStringTable::GetString(str label, int argc, const str* argv) const
{
    std::string result;
    const str* text = Find(label);
    if (text && Expand(*text, argc, argv, &result))
        return str(result.c_str());
    // Named once: a text asked for again and again (a label drawn each
    // frame, a damaged table) would fill the log.
    if (!mQuiet && mReportedMissing.insert(label.c_str()).second)
        WriteDbg(" ##### : Missing string for label '%s'", label.c_str());
    return str(kFailure);
}

bool TStringTable::Expand(const str& text, int argc, const str* argv, std::string* result) const
{
    const char* t = text.c_str();
    const int n = text.length();
    for (int i = 0; i < n;) {
        if (t[i] != '%') {
            *result += t[i++];
            continue;
        }
        const char* close = std::strchr(t + i + 1, '%');
        std::string token;
        int next;
        if (close) {
            token.assign(t + i + 1, close);
            next = static_cast<int>(close - t) + 1;
        } else {
            // No closing sign: the rest is looked up, then copied as plain text too.
            token.assign(t + i + 1);
            next = i + 1;
        }
        if (!ResolveToken(token, argc, argv, result))
            return false;
        i = next;
    }
    return true;
}

bool TStringTable::ResolveToken(const std::string& token, int argc, const str* argv, std::string* result) const
{
    if (token.empty()) {
        *result += '%';
        return true;
    }
    if (allDigits(token)) {
        // Longer numbers cannot name an argument (and would overflow).
        int number = token.size() > 9 ? 0 : std::stoi(token);
        if (number < 1 || number > argc || !argv)
            return false;
        const str& argument = argv[number - 1];
        int length = argument.length();
        if (argument[0] != '%') {
            *result += argument.c_str();
            return true;
        }
        if (argument == str("%%")) {
            *result += '%';
            return true;
        }
        if (length > 2 && argument[length - 1] == '%') {
            const str* stored = Find(argument.substr(1, length - 2));
            if (!stored)
                return false;
            *result += stored->c_str();
            return true;
        }
        return false;
    }
    const str* stored = Find(str(token.c_str()));
    if (!stored)
        return false;
    *result += stored->c_str();
    return true;
}
