// Every user-visible text, looked up by label.
//
// Loaded from a spreadsheet-style XML file ("assets/strings.xml"): each
// "<Row" holds cells; the text of a row's first "<Data" cell is the label,
// that of its second the string. A cell's text runs from the first ">" after
// "<Data" to the next "<" (so markup inside a cell ends it) and has its XML
// escapes decoded.
//
// Strings may hold tokens between percent signs: "%%" is a percent sign,
// "%n%" the n-th argument (an argument "%label%" inserts that label's text,
// "%%" a percent sign), and "%label%" another label's text, inserted as it is
// stored (one level, not expanded). A lookup that fails in any way yields
// "#####" and logs the label, so a missing text shows on screen.
#pragma once

#include "engine/base/str.h"

#include <map>
#include <set>
#include <string>

class TStringTable {
public:
    TStringTable() = default;

    // Replaces the table with the file's rows; the file is opened by the
    // resource rules (the name, then "assets/" + name). False when it cannot
    // be opened (the table is then empty).
    bool LoadStringTable(str path);

    str GetString(str label, int argc, const str* argv) const;
    // The form every caller uses; unneeded arguments are empty strings.
    str GetString(str label, str a1, str a2, str a3, str a4, str a5) const;

    // The next cell at or after `from`: its text goes to *out and the position
    // after the cell's closing "<" is returned. Null, with *out empty, when
    // there is no further cell or it starts at or after rowEnd (null: no end).
    static const char* GetRowString(const char* rowEnd, const char* from, str* out);

    // Quiet tables do not log failed lookups (for optional labels).
    void SetQuiet(bool quiet) { mQuiet = quiet; }
    int Count() const { return static_cast<int>(mStrings.size()); }

private:
    bool Expand(const str& text, int argc, const str* argv, std::string* result) const;
    bool ResolveToken(const std::string& token, int argc, const str* argv, std::string* result) const;
    const str* Find(const str& label) const;

    std::map<str, str> mStrings;
    bool mQuiet = false;
    mutable std::set<std::string> mReportedMissing;
};
