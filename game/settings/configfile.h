// The game's own data files (levels, layouts, customer types, points,
// clothing, unlock rules, decor...) read as the release ships them: plain, or
// as the enciphered ".bin" sibling. A file that is missing or damaged is
// named once in the log, with what the game does without it, and the caller
// goes on as for a missing file.
#pragma once

#include "engine/base/safefile.h"
#include "engine/base/str.h"

#include <cstddef>

class TXmlNode;

namespace game {

// The largest data file read (a level, a layout, the customer types...):
// the largest shipped is some 40 KB, a level the player downloaded a few.
// Anything larger is treated as damaged.
inline constexpr std::size_t kMaxConfigFileBytes = std::size_t(4) << 20;

// kUnreadable: something stands there that is no file to read (a folder, a
// pipe, a device), or it is far too large, or it may not be read.
enum class EConfigText { kRead, kMissing, kUndecipherable, kUnreadable };

// The file that kept a data file from being read (the file or its ".bin"
// sibling), and why.
struct TRefusedFile {
    str path;
    qm::EFileProblem problem = qm::EFileProblem::kNone;
};

// The text of `path`, else the deciphered text of its ".bin" sibling. When
// neither can be read though one is there, `refused` (when given) says
// which and why.
EConfigText ReadConfigText(const str& path, str* text, TRefusedFile* refused = nullptr);
// The same, with a file that is missing or damaged reported (ReportBadDataFile)
// with the consequence; false then.
bool ReadReportedConfigText(const str& path, str* text, const char* consequence);

// Logs "<path> <problem>; <consequence>" the first time `path` is reported
// in this run (a file read again each level is named once, not each time;
// TAssetManager::FirstReportOf).
void ReportBadDataFile(const str& path, const char* problem, const char* consequence);
// ReportBadDataFile for a file that could not be read: "<path> cannot be
// read (it is a folder); <consequence>".
void ReportRefusedFile(const TRefusedFile& refused, const char* consequence);

// Reads the XML document at `path` into `document` and checks that it holds
// the element `root` at its top. False when it is missing, refused by the
// reader or without that element: the file has been reported, and the
// document is left as it was.
bool ReadConfigDocument(const str& path, TXmlNode* document, const char* root, const char* consequence);
// The same checks, for a caller that reads the text itself: the text of a
// good document, or "" (the file has been reported).
str ReadConfigXmlText(const str& path, const char* root, const char* consequence);

}  // namespace game
