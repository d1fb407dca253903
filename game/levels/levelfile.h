// A level file of its own (one the player downloaded, or an extra level):
// read whole, and what keeps it from being played when it cannot be. The
// extra levels page lists a downloaded level as one to play only when this
// reads it, and the level manager plays the same reading, so a level the
// page offers is one the game can play.
#pragma once

#include "engine/base/str.h"
#include "game/settings/configfile.h"

class TXmlNode;

namespace game {

enum class ELevelFileProblem {
    kNone,        // the level is there to play
    kMissing,     // no file by that name (the level editor starts a new level there)
    kRefused,     // no file to read: a folder, a pipe, far too large, not allowed (`refused` says which)
    kEmpty,       // the file holds nothing
    kDamaged,     // not a whole XML document: cut short, not XML, or a ".bin" that does not decipher
    kNoLevel,     // a document without the level: no <career> element of level 1 under <dataroot>
};

struct TLevelFileRead {
    ELevelFileProblem problem = ELevelFileProblem::kNone;
    TRefusedFile refused;  // for kRefused: the file refused and why
    str detail;            // for kDamaged: the reader's words (XmlParseProblem), "" otherwise
};

// Reads the level file at `path` (or its enciphered ".bin" sibling) into
// `document`, which is left as it was unless the file holds a whole XML
// document.
TLevelFileRead ReadLevelFile(const str& path, TXmlNode* document);

// The <career> element of level 1 under the document's <dataroot>: the
// level a file of its own holds; null without one.
TXmlNode* LevelOfItsOwn(TXmlNode* document);

// Logs once why the level at `path` cannot be played, with `consequence`.
void ReportLevelFileProblem(const str& path, const TLevelFileRead& read, const char* consequence);

}  // namespace game
