// The game's own data files (levels, layouts, customer types, points,
// clothing, unlock rules, decor...) read as the release ships them: plain, or
// as the enciphered ".bin" sibling. A file that is missing or damaged is
// named once in the log, with what the game does without it, and the caller
// goes on as for a missing file.
#pragma once

#include "engine/base/str.h"

class TXmlNode;

namespace game {

enum class EConfigText { kRead, kMissing, kUndecipherable };

// The text of `path`, else the deciphered text of its ".bin" sibling.
EConfigText ReadConfigText(const str& path, str* text);

// Logs "<path> <problem>; <consequence>" the first time `path` is reported
// in this run (a file read again each level is named once, not each time;
// TAssetManager::FirstReportOf).
void ReportBadDataFile(const str& path, const char* problem, const char* consequence);

// Reads the XML document at `path` into `document` and checks that it holds
// the element `root` at its top. False when it is missing, refused by the
// reader or without that element: the file has been reported, and the
// document is left as it was.
bool ReadConfigDocument(const str& path, TXmlNode* document, const char* root, const char* consequence);
// The same checks, for a caller that reads the text itself: the text of a
// good document, or "" (the file has been reported).
str ReadConfigXmlText(const str& path, const char* root, const char* consequence);

}  // namespace game
